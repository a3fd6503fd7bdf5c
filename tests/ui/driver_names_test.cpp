// Names typed into the create-driver box of the Driver options page: every refusal shows its
// message in a box, and whatever is typed, no file appears outside drivers\.
#include "screen_fixture.h"

#include "season/driver_list.h"
#include "ui/main_menu.h"
#include "ui/message_box.h"
#include "ui/option_pages.h"
#include "ui/screens.h"

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

std::set<std::string> filesBelow(const fs::path& root)
{
    std::set<std::string> out;
    for (auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory()) out.insert(fs::relative(e.path(), root).string());
    return out;
}

// What the message box showed when Enter reached it.
std::string expectedLine;
bool messageSeen = false, boxSeen = false;
void (*realEnterDown)() = nullptr;

void enterDownWatching()
{
    boxSeen = boxSeen || modalBoxRunning();
    if (modalBoxRunning() && !expectedLine.empty()) {
        for (uint8_t colour : {240, 242}) messageSeen = messageSeen || ScreenTest::shows(expectedLine, colour);
    }
    if (realEnterDown) realEnterDown();
}

class DriverNames : public ScreenTest {
protected:
    void SetUp() override
    {
        startGame(640, 480);
        before = filesBelow(folder.root());
        clickWidget(menuCreateDriver);
        ASSERT_EQ(game.dialog.dialogId, uint32_t(screenDriverOptions));
        ASSERT_FALSE(game.dialog.widgets[drvName].flags & widgetHidden);
        // The box stands alone: no page button beside it leads away.
        for (int i : {pageCancel, pageFirstLink, pageSecondLink, pageOk})
            EXPECT_TRUE(game.dialog.widgets[i].flags & widgetHidden) << i;
        realEnterDown = game.dialogInput.enterDown;
        game.dialogInput.enterDown = enterDownWatching;
    }
    void TearDown() override
    {
        game.dialogInput.enterDown = realEnterDown;
        ScreenTest::TearDown();
    }

    // Types the name key by key into the emptied field.
    void type(const std::string& text)
    {
        Widget& field = game.dialog.widgets[drvName];
        field.label.clear();
        field.value = 0;
        clickWidget(drvName);
        for (char c : text) {
            bool upper = c >= 'A' && c <= 'Z';
            pushKeyPress(SDLKey(upper ? c - 'A' + 'a' : c), upper ? KMOD_LSHIFT : KMOD_NONE);
        }
        pump();
    }
    // What no keyboard types (control characters, Latin-1 letters) as a paste would leave it.
    void paste(const std::string& text)
    {
        Widget& field = game.dialog.widgets[drvName];
        field.label = text;
        field.value = int(text.size());
    }
    // OK of the box; a refusal's box is answered with Enter (none is sent for an empty
    // message, as Enter would press the page's OK). True when a message box showed the
    // message's first line.
    bool confirm(const std::string& message)
    {
        std::vector<std::string> lines = breakMessageLines(message);
        expectedLine = lines.empty() ? std::string() : lines[0];
        while (!expectedLine.empty() && expectedLine.back() == ' ') expectedLine.pop_back();
        messageSeen = boxSeen = false;
        const Widget& ok = game.dialog.widgets[drvCreateOk];
        pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(ok.x + 5), uint16_t(ok.y + 5));
        pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(ok.x + 5), uint16_t(ok.y + 5));
        if (!message.empty()) pushKeyPress(SDLK_RETURN);
        pump();
        drainEvents();
        return messageSeen;
    }
    bool boxStillOpen() const { return !(game.dialog.widgets[drvName].flags & widgetHidden); }

    std::set<std::string> before;
};

}  // namespace

TEST_F(DriverNames, EveryRefusedNameShowsItsMessageAndMakesNoFile)
{
    struct Case {
        std::string name;
        bool typed;
        int check;
    };
    const Case cases[] = {
        {"", true, driverNameEmpty},
        {"   ", true, driverNameEmpty},
        {"a/b", true, driverNameNotAllowed},
        {"a\\b", true, driverNameNotAllowed},
        {"..", true, driverNameNotAllowed},
        {"../x", true, driverNameNotAllowed},
        {"..\\x", true, driverNameNotAllowed},
        {".hidden", true, driverNameNotAllowed},
        {"what?", true, driverNameNotAllowed},
        {"tab\there", false, driverNameNotAllowed},
        {"bell\a", false, driverNameNotAllowed},
        {"Thirteen ch13", false, driverNameTooLong},
        {"..\\..\\much too long", false, driverNameTooLong},
        {"ADA", true, driverNameTaken},
        {"\xc9mile\x01", false, driverNameNotAllowed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.typed) type(c.name);
        else paste(c.name);
        EXPECT_EQ(game.dialog.widgets[drvName].label, c.name);
        EXPECT_TRUE(confirm(driverNameMessage(c.check)));
        EXPECT_TRUE(boxSeen);
        // The box stays open for another try.
        EXPECT_TRUE(boxStillOpen());
    }
    clickWidget(drvCreateCancel);
    clickWidget(pageOk);
    EXPECT_EQ(game.dialog.dialogId, uint32_t(screenMainMenu));
    EXPECT_EQ(game.driverList.size(), 4u);
    EXPECT_EQ(filesBelow(folder.root()), before);
    EXPECT_FALSE(fs::exists(folder.root().parent_path() / "x.drv"));
}

TEST_F(DriverNames, TypingStopsAtTwelveAndLatin1NamesBecomeFilesInDrivers)
{
    type("Thirteen ch13");
    EXPECT_EQ(game.dialog.widgets[drvName].label, "Thirteen ch1");
    EXPECT_FALSE(confirm(""));
    EXPECT_FALSE(boxSeen);
    EXPECT_FALSE(boxStillOpen());

    clickWidget(drvCreate);
    paste("J\xf6rg \xc5gren");
    EXPECT_FALSE(confirm(""));
    EXPECT_FALSE(boxSeen);
    // Latin-1 letters fold as Windows folds them in file names.
    clickWidget(drvCreate);
    paste("J\xd6RG \xe5GREN");
    EXPECT_TRUE(confirm(driverNameMessage(driverNameTaken)));
    clickWidget(drvCreateCancel);

    clickWidget(pageOk);
    std::set<std::string> now = filesBelow(folder.root()), added;
    for (const std::string& f : now)
        if (!before.count(f)) added.insert(f);
    EXPECT_EQ(added, (std::set<std::string>{"drivers/Thirteen ch1.drv", "drivers/J\xf6rg \xc5gren.drv"}));
}

// Whichever way the box opens, from the main menu or from the page, the first key typed goes
// into the name and Enter then makes the driver.
TEST_F(DriverNames, TheBoxTakesTypingAtOnce)
{
    for (bool fromPage : {false, true}) {
        SCOPED_TRACE(fromPage ? "from the page" : "from the main menu");
        if (fromPage) {
            clickWidget(drvCreateCancel);
            clickWidget(drvCreate);
        }
        EXPECT_EQ(game.dialog.focus, int(drvName));
        EXPECT_EQ(game.dialog.editing, int(drvName));
        const std::string name = fromPage ? "Eve" : "Fay";
        pushKeyPress(SDLKey(name[0] - 'A' + 'a'), KMOD_LSHIFT);
        for (size_t i = 1; i < name.size(); ++i) pushKeyPress(SDLKey(name[i]));
        pump();
        EXPECT_EQ(game.dialog.widgets[drvName].label, name);
        // The first Enter ends the edit, the second presses OK.
        pushKeyPress(SDLK_RETURN);
        pushKeyPress(SDLK_RETURN);
        pump();
        EXPECT_FALSE(boxStillOpen());
        EXPECT_GE(findDriver(name), 0);
    }
}
