// The track manager on the main menu, driven by clicks and keys: the folder choice and its
// button, the selection across folders, and each file operation with its boxes, checked on disk.
#include "screen_fixture.h"

#include "race/race_frame.h"
#include "ui/main_menu.h"
#include "ui/message_box.h"
#include "ui/screens.h"
#include "ui/track_folders.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

class TrackManager : public ScreenTest {
protected:
    void SetUp() override
    {
        startGame(640, 480);
        realEnterUp = game.dialogInput.enterUp;
        realEscapeUp = game.dialogInput.escapeUp;
        game.dialogInput.enterUp = enterUpNoting;
        game.dialogInput.escapeUp = escapeUpNoting;
        seen.clear();
    }
    void TearDown() override
    {
        // The screens' tests after this one start from a race that has not begun.
        game.racePhase = WaitForKey;
        game.seasonRace = game.seasonRaceCount = 0;
        ScreenTest::TearDown();
    }

    // The box texts looked for whenever a box is answered, and those found, in order.
    static inline std::vector<std::string> watched, seen;
    static inline void (*realEnterUp)() = nullptr;
    static inline void (*realEscapeUp)() = nullptr;
    static void note()
    {
        if (!modalBoxRunning()) return;
        for (const std::string& t : watched)
            if (shows(t, 240)) seen.push_back(t);
    }
    static void enterUpNoting()
    {
        note();
        if (realEnterUp) realEnterUp();
    }
    static void escapeUpNoting()
    {
        note();
        if (realEscapeUp) realEscapeUp();
    }

    static Widget* menuWidgets() { return game.dialog.widgets; }
    static bool hidden(int index) { return (menuWidgets()[index].flags & widgetHidden) != 0; }
    static std::vector<std::string> texts(int index)
    {
        std::vector<std::string> out;
        for (const ListItem* item : menuWidgets()[index].list->items) out.push_back(item->text);
        return out;
    }
    static int itemIndex(int index, const std::string& text)
    {
        std::vector<std::string> all = texts(index);
        return int(std::find(all.begin(), all.end(), text) - all.begin());
    }
    // A click on an item, then the keys that answer what it opens.
    static void clickItemThen(int index, int item, const std::function<void()>& answers)
    {
        const Widget& w = menuWidgets()[index];
        int columns = std::max(w.list->columns, 1);
        float row = float(item / columns - w.value), column = float(item % columns);
        int x = int(w.x + (column + 0.5f) * w.list->itemWidth), y = int(w.y + (row + 0.5f) * w.list->itemHeight);
        pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(x), uint16_t(y));
        pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(x), uint16_t(y));
        answers();
        pump();
    }
    static void clickItem(int index, int item) { clickItemThen(index, item, [] {}); }
    static void clickTrack(const std::string& name) { clickItem(menuTracks, itemIndex(menuTracks, name)); }
    static void chooseFolder(const std::string& name, SDLKey modifier = SDLK_UNKNOWN)
    {
        clickWidget(menuFolder);
        ASSERT_FALSE(hidden(menuFolders));
        if (modifier != SDLK_UNKNOWN) holdKey(modifier, true);
        clickItem(menuFolders, itemIndex(menuFolders, name));
        if (modifier != SDLK_UNKNOWN) holdKey(modifier, false);
    }
    // A click on a button whose box or prompt then takes the keys queued by answers.
    static void clickThen(int index, const std::function<void()>& answers)
    {
        pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(centreX(index)), uint16_t(centreY(index)));
        pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(centreX(index)), uint16_t(centreY(index)));
        answers();
        pump();
    }
    static void yes() { pushKeyPress(SDLK_RETURN); }
    static void no() { pushKeyPress(SDLK_ESCAPE); }
    static void type(const std::string& text)
    {
        for (char c : text) pushKey(SDLKey(c), true);
        pushKeyPress(SDLK_RETURN);  // ends the edit
        pushKeyPress(SDLK_RETURN);  // OK
    }
};

}  // namespace

TEST_F(TrackManager, MiscTracksAndOneFolderReadMultipleFoldersAndTheSelectionOutlivesTheChoice)
{
    Widget* w = menuWidgets();
    EXPECT_EQ(w[menuFolder].label, "[all tracks]");
    EXPECT_EQ(texts(menuFolders), (std::vector<std::string>{"[all tracks]", "[misc. tracks]", "rally"}));
    EXPECT_EQ(texts(menuTracks), (std::vector<std::string>{"gp", "hills", "lake", "snow", "street", "forest"}));
    clickTrack("gp");

    // The open folder list takes the place of what lies under it.
    clickWidget(menuFolder);
    EXPECT_FALSE(hidden(menuFolders));
    EXPECT_TRUE(hidden(menuTracks) && hidden(menuExit) && hidden(menuMoveTo));
    EXPECT_FALSE(hidden(menuStart) || hidden(menuCreateFolder));
    clickItem(menuFolders, 1);
    EXPECT_TRUE(hidden(menuFolders));
    EXPECT_FALSE(hidden(menuTracks) || hidden(menuExit));
    EXPECT_EQ(w[menuFolder].label, "[misc. tracks]");
    EXPECT_EQ(texts(menuTracks).size(), 5u);
    EXPECT_TRUE(w[menuTracks].list->items[0]->selected);

    chooseFolder("rally", SDLK_LCTRL);
    EXPECT_EQ(w[menuFolder].label, "[multiple folders]");
    EXPECT_TRUE(shows("[multiple folders]", 241));
    EXPECT_EQ(texts(menuTracks).size(), 6u);
    EXPECT_EQ(w[menuSelectCount].max, 6);

    chooseFolder("rally");
    EXPECT_EQ(w[menuFolder].label, "rally");
    EXPECT_EQ(texts(menuTracks), std::vector<std::string>{"forest"});
    EXPECT_EQ(w[menuSelectedCount].label, "1 selected");
    clickTrack("forest");
    EXPECT_EQ(trackSelection(), (std::vector<std::string>{"\\gp", "\\rally\\forest"}));

    // Shift from "[all tracks]" to rally: three entries, each track listed once.
    chooseFolder("[all tracks]");
    chooseFolder("rally", SDLK_LSHIFT);
    EXPECT_EQ(w[menuFolder].label, "[multiple folders]");
    for (const ListItem* item : w[menuFolders].list->items) EXPECT_TRUE(item->selected) << item->text;
    EXPECT_EQ(texts(menuTracks).size(), 6u);
    int marked = 0;
    for (const ListItem* item : w[menuTracks].list->items) marked += item->selected;
    EXPECT_EQ(marked, 2);
    EXPECT_EQ(w[menuSelectedCount].label, "2 selected");
}

TEST_F(TrackManager, CreateAFolderMoveTwoTracksInDeleteOneAndDeleteTheFolder)
{
    watched = {"Really delete 'Cup\\gp'?", "Are you sure you want to delete the", "Failed to create a folder."};
    Widget* w = menuWidgets();
    clickThen(menuCreateFolder, [] { type("Cup"); });
    EXPECT_TRUE(fs::is_directory(folder.path("tracks/Cup")));
    EXPECT_EQ(w[menuFolder].label, "Cup");
    EXPECT_TRUE(texts(menuTracks).empty());
    EXPECT_EQ(texts(menuMoveTargets), (std::vector<std::string>{"Cup", "rally"}));

    chooseFolder("[all tracks]");
    clickTrack("gp");
    clickTrack("hills");
    clickWidget(menuMoveTo);
    for (int i = 0; i < mainMenuWidgetCount; ++i)
        EXPECT_EQ(hidden(i), i != menuMoveTo && i != menuMoveTargets) << i;
    clickItem(menuMoveTargets, itemIndex(menuMoveTargets, "Cup"));
    EXPECT_TRUE(folder.exists("tracks/Cup/gp.trk") && folder.exists("tracks/Cup/hills.trk"));
    EXPECT_FALSE(folder.exists("tracks/gp.trk") || folder.exists("tracks/hills.trk"));
    EXPECT_TRUE(hidden(menuMoveTargets) && hidden(menuFolders));
    EXPECT_FALSE(hidden(menuExit) || hidden(menuTracks));
    EXPECT_TRUE(trackSelection().empty());
    EXPECT_EQ(w[menuSelectedCount].label, "0 selected");

    chooseFolder("Cup");
    EXPECT_EQ(texts(menuTracks), (std::vector<std::string>{"gp", "hills"}));
    clickTrack("gp");
    clickThen(menuDeleteTracks, yes);
    EXPECT_EQ(seen, std::vector<std::string>{"Really delete 'Cup\\gp'?"});
    EXPECT_FALSE(folder.exists("tracks/Cup/gp.trk"));
    EXPECT_EQ(texts(menuTracks), std::vector<std::string>{"hills"});

    // One question for the folder, none for the track in it.
    seen.clear();
    clickThen(menuDeleteFolder, yes);
    EXPECT_EQ(seen, std::vector<std::string>{"Are you sure you want to delete the"});
    EXPECT_FALSE(fs::exists(folder.path("tracks/Cup")));
    EXPECT_EQ(w[menuFolder].label, "[all tracks]");
    EXPECT_EQ(texts(menuFolders), (std::vector<std::string>{"[all tracks]", "[misc. tracks]", "rally"}));
    EXPECT_TRUE(folder.exists("tracks/rally/forest.trk"));
}

TEST_F(TrackManager, ATrackAlreadyInTheTargetStaysAndTheOthersMoveAndEveryRefusalSaysWhy)
{
    watched = {"Some tracks could not be moved.", "Failed to create a folder.", "Select a folder first.",
               "Select atleast one track first.", "2 tracks?"};
    folder.write("tracks/rally/gp.trk", "old gp");
    const auto gpSize = fs::file_size(folder.path("tracks/gp.trk"));
    clickTrack("gp");
    clickTrack("hills");
    clickWidget(menuMoveTo);
    clickItemThen(menuMoveTargets, itemIndex(menuMoveTargets, "rally"), yes);
    EXPECT_EQ(seen, std::vector<std::string>{"Some tracks could not be moved."});
    EXPECT_EQ(fs::file_size(folder.path("tracks/gp.trk")), gpSize);
    EXPECT_EQ(folder.read("tracks/rally/gp.trk"), "old gp");
    EXPECT_TRUE(folder.exists("tracks/rally/hills.trk"));
    EXPECT_FALSE(folder.exists("tracks/hills.trk"));

    seen.clear();
    auto before = fs::recursive_directory_iterator(folder.root());
    size_t entries = std::distance(before, fs::recursive_directory_iterator());
    clickThen(menuCreateFolder, [] {
        type("..");
        yes();
    });
    clickThen(menuCreateFolder, [] {
        type("a\\b");
        yes();
    });
    clickThen(menuDeleteFolder, yes);  // "[all tracks]" is no folder to delete
    clickThen(menuMoveTo, yes);
    clickThen(menuDeleteTracks, yes);
    EXPECT_EQ(seen, (std::vector<std::string>{"Failed to create a folder.", "Failed to create a folder.",
                                              "Select a folder first.", "Select atleast one track first.",
                                              "Select atleast one track first."}));
    EXPECT_EQ(size_t(std::distance(fs::recursive_directory_iterator(folder.root()), fs::recursive_directory_iterator())),
              entries);
    EXPECT_FALSE(hidden(menuTracks));

    // No keeps both tracks.
    seen.clear();
    clickTrack("lake");
    clickTrack("snow");
    clickThen(menuDeleteTracks, no);
    EXPECT_EQ(seen, std::vector<std::string>{"2 tracks?"});
    EXPECT_TRUE(folder.exists("tracks/lake.trk") && folder.exists("tracks/snow.trk"));
    EXPECT_EQ(trackSelection().size(), 2u);
}

TEST_F(TrackManager, TracksMovedOrDeletedDuringASeasonAreSkippedLikeTracksThatDoNotLoad)
{
    const Widget* w = menuWidgets();
    int s = game.guiScale;
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    clickTrack("gp");
    clickTrack("hills");
    clickWidget(menuStart);
    ASSERT_TRUE(game.raceRunning);
    ASSERT_EQ(game.trackEntry, "\\gp");

    // The race's own track goes into a folder and the next one is deleted while the race runs.
    EXPECT_EQ(moveTracks({"\\gp"}, "rally"), 0);
    EXPECT_EQ(deleteTracks({"\\hills"}), 0);
    game.racePhase = RaceOver;
    raceStep();
    ASSERT_EQ(game.racePhase, ResultsShown);
    holdKey(SDLK_SPACE, true);
    raceStep();
    holdKey(SDLK_SPACE, false);
    // The records found no file to go into and made none; the deleted track was skipped, and
    // a time trial without points ends the season there.
    EXPECT_FALSE(folder.exists("tracks/gp.trk"));
    EXPECT_TRUE(folder.exists("tracks/rally/gp.trk"));
    EXPECT_EQ(game.seasonRace, 1);
    EXPECT_FALSE(game.raceRunning);
    ASSERT_EQ(game.dialog.dialogId, uint32_t(screenMainMenu));

    // The selection still names both: Start finds neither and comes straight back.
    ASSERT_EQ(trackSelection().size(), 2u);
    clickWidget(menuStart);
    EXPECT_FALSE(game.raceRunning);
    EXPECT_TRUE(game.dialog.active);
    EXPECT_EQ(game.dialog.dialogId, uint32_t(screenMainMenu));
}
