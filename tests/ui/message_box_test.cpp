#include "ui_fixture.h"

namespace {

class ModalBox : public UiTest {
protected:
    void SetUp() override { startGame(640, 480); }
    static int px(float units) { return int(game.guiOriginX + units * game.guiScale); }
    static int py(float units) { return int(game.guiOriginY + units * game.guiScale); }
};

int helpCalls = 0;
void countHelp() { ++helpCalls; }

Widget* replacement = nullptr;
void openReplacement() { openDialog(1, 7, 1, replacement, nullptr, nullptr, nullptr, 0); }

}  // namespace

TEST(MessageLines, BreakAfterBlanksAndPunctuationCutLongWordsAndStopAtTwenty)
{
    EXPECT_TRUE(breakMessageLines("").empty());
    EXPECT_EQ(breakMessageLines("Select player(s) and track(s) first!"),
              std::vector<std::string>{"Select player(s) and track(s) first!"});
    // 44 characters: cut after the last blank within the first 39.
    std::vector<std::string> two = breakMessageLines("Are you sure you want to delete the folder and");
    EXPECT_EQ(two, (std::vector<std::string>{"Are you sure you want to delete the ", "folder and"}));
    EXPECT_EQ(breakMessageLines("one,two.three-four!five"), std::vector<std::string>{"one,two.three-four!five"});
    std::vector<std::string> punct = breakMessageLines(std::string(30, 'a') + "-" + std::string(20, 'b'));
    EXPECT_EQ(punct, (std::vector<std::string>{std::string(30, 'a') + "-", std::string(20, 'b')}));
    std::vector<std::string> word = breakMessageLines(std::string(90, 'x'));
    EXPECT_EQ(word, (std::vector<std::string>{std::string(40, 'x'), std::string(40, 'x'), std::string(10, 'x')}));
    EXPECT_EQ(breakMessageLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));

    std::string message;
    for (int i = 1; i <= 21; ++i) message += "Line " + std::to_string(i) + "\n";
    std::vector<std::string> lines = breakMessageLines(message);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines.back(), "Line 20");
    EXPECT_EQ(breakMessageLines(std::string(39 * 25, 'y')).size(), 20u);
}

TEST_F(ModalBox, ButtonsAnswerAndTheParkedDialogComesBack)
{
    ASSERT_EQ(openDemo(), 0);
    click(centreX(demoName), centreY(demoName));
    ASSERT_EQ(game.dialog.editing, demoName);

    pushKeyPress(SDLK_RETURN);
    EXPECT_EQ(messageBox(messageBoxOk, "Driver needs a name.", "Oops!"), 1);
    EXPECT_TRUE(game.dialog.active);
    EXPECT_EQ(game.dialog.widgets, demo);
    EXPECT_EQ(game.dialog.editing, demoName);  // the dialog is as it was left
    EXPECT_EQ(game.parkedDialog, nullptr);
    EXPECT_TRUE(activated.empty());

    pushKeyPress(SDLK_ESCAPE);
    EXPECT_EQ(messageBox(messageBoxYesNo, "Are you sure?", "Exit"), 0);
    pushKeyPress(SDLK_RETURN);
    EXPECT_EQ(messageBox(messageBoxYesNo, "Are you sure?", "Exit"), 1);

    // One line: buttons at 33 units; No at x 42, Yes at 26, OK hidden in between.
    int y = py(34);
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(px(40)), uint16_t(y));  // where OK would be: nothing
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(px(40)), uint16_t(y));
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(px(48)), uint16_t(y));
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(px(48)), uint16_t(y));
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(px(30)), uint16_t(y));
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(px(30)), uint16_t(y));
    EXPECT_EQ(messageBox(messageBoxYesNo, "Are you sure?", "Exit"), 0);
    EXPECT_EQ(messageBox(messageBoxYesNo, "Are you sure?", "Exit"), 1);
    EXPECT_TRUE(activated.empty());
}

TEST_F(ModalBox, ClosingTheWindowEndsTheBoxAndTheQuitReachesTheMainLoop)
{
    ASSERT_EQ(openDemo(), 0);
    pushQuit();
    EXPECT_EQ(messageBox(messageBoxYesNo, "Really delete 'Ada'?", "Delete driver"), 0);
    EXPECT_EQ(game.dialog.widgets, demo);
    EXPECT_FALSE(pumpEvents(0));

    std::string text = "kept";
    pushQuit();
    EXPECT_FALSE(textPrompt("Enter a name for the folder", "Create folder", text));
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(pumpEvents(0));
}

TEST_F(ModalBox, NoBoxOverABoxAndAScreenOpenedAfterwardsTakesThePlace)
{
    // Nothing active to park: F1 must still not open the about box over this box.
    game.dialogInput.helpUp = countHelp;
    helpCalls = 0;
    pushKey(SDLK_F1, false);
    pushKeyPress(SDLK_RETURN);
    EXPECT_EQ(messageBox(messageBoxOk, "Hello", "Tarmacade"), 1);
    EXPECT_EQ(helpCalls, 0);
    EXPECT_FALSE(game.dialog.active);
    pushKey(SDLK_F1, false);
    pump();
    EXPECT_EQ(helpCalls, 1);

    ASSERT_EQ(openDemo(), 0);
    replacement = newDialog(1);
    pushKeyPress(SDLK_RETURN);
    EXPECT_EQ(messageBox(messageBoxOk, "Load failed!", "Oops!", openReplacement), 1);
    EXPECT_EQ(game.dialog.widgets, replacement);
    EXPECT_EQ(game.dialog.dialogId, 7u);
    EXPECT_EQ(game.parkedDialog, nullptr);
    closeDialog();
    freeDialog(1, replacement);
}

TEST_F(ModalBox, PromptTypesStraightIntoItsFieldAndReturnsTheTextOnOk)
{
    ASSERT_EQ(openDemo(), 0);
    std::string name;
    for (char c : std::string("pit lane")) pushKey(SDLKey(c), true, c == 'p' ? KMOD_LSHIFT : KMOD_NONE);
    pushKeyPress(SDLK_RETURN);  // ends the edit
    pushKeyPress(SDLK_RETURN);  // presses OK
    EXPECT_TRUE(textPrompt("Enter a name for the folder", "Create folder", name));
    EXPECT_EQ(name, "Pit lane");
    EXPECT_EQ(game.dialog.widgets, demo);

    for (int i = 0; i < 25; ++i) pushKey(SDLK_a, true);
    pushKeyPress(SDLK_ESCAPE);
    EXPECT_FALSE(textPrompt("Enter a name for the folder", "Create folder", name));
    EXPECT_EQ(name, "Pit lane");

    for (int i = 0; i < 25; ++i) pushKey(SDLK_b, true);
    pushKeyPress(SDLK_RETURN);
    pushKeyPress(SDLK_RETURN);
    EXPECT_TRUE(textPrompt("Name", "Create folder", name));
    EXPECT_EQ(name, std::string(20, 'b'));
}

TEST_F(ModalBox, TheBoxShowsItsTitleAndLinesOnTheGrid)
{
    std::string message = "Some tracks could not be moved.\nLine two";
    pushKeyPress(SDLK_RETURN);
    EXPECT_EQ(messageBox(messageBoxOk, message, "Move tracks"), 1);
    // Nothing was parked: the box is still on the screen. Two lines: the box spans 22 .. 38.
    int n = 2;
    EXPECT_TRUE(showsIn("Move tracks", px(16), py(24 - n), px(64), py(27 - n), 242));
    EXPECT_TRUE(showsIn("Some tracks could not be moved.", px(20), py(30 - n), px(63), py(32 - n), 240));
    EXPECT_TRUE(showsIn("Line two", px(20), py(32 - n), px(63), py(34 - n), 240));
    EXPECT_TRUE(showsIn("OK", px(34), py(n + 32), px(46), py(n + 35), 241));
    EXPECT_EQ(pixel(px(16) - 1, py(36 + n)), 241);  // the frame
    EXPECT_EQ(pixel(px(16), py(36 + n) - 1), 100);  // the face
}
