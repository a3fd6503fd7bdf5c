#include "ui_fixture.h"

namespace {

class WidgetInput : public UiTest {
protected:
    void SetUp() override { startGame(640, 480); }
    Widget& at(int index) { return game.dialog.widgets[index]; }
};

}  // namespace

TEST_F(WidgetInput, OpenStampsIdsRefusesASecondDialogAndCloseClearsListSelections)
{
    ASSERT_EQ(openDemo(dialogFocusFirstButton), 0);
    EXPECT_EQ(at(demoTracks).id, (4u << 16) + demoTracks);
    EXPECT_EQ(game.dialog.focus, demoCancel);
    EXPECT_TRUE(at(demoCancel).state & stateFocused);
    Widget other[1];
    EXPECT_EQ(openDialog(1, 5, 1, other, nullptr, nullptr, nullptr, 0), -1);
    click(centreX(demoTracks) - 60, int(at(demoTracks).y) + 3);  // first item
    EXPECT_EQ(demo[demoTracks].list->selected, 0);
    closeDialog();
    EXPECT_FALSE(game.dialog.active);
    EXPECT_EQ(demo[demoTracks].list->selected, -1);
    EXPECT_EQ(demo[demoTracks].list->items[0]->selected, 0);
}

TEST_F(WidgetInput, EnterAndEscapeNeedTheirButtonsAndActOnRelease)
{
    // Without a default button and without a focus Enter does nothing.
    ASSERT_EQ(openDemo(), 0);
    at(demoOk).flags &= ~widgetDefault;
    pushKeyPress(SDLK_RETURN);
    pump();
    EXPECT_TRUE(activated.empty());
    EXPECT_EQ(game.dialog.focus, -1);

    at(demoOk).flags |= widgetDefault;
    pushKey(SDLK_RETURN, true);
    pump();
    EXPECT_EQ(game.dialog.focus, demoOk);
    EXPECT_TRUE(at(demoOk).state & statePressed);
    EXPECT_TRUE(activated.empty());
    pushKey(SDLK_RETURN, false);
    pump();
    EXPECT_EQ(activated, std::vector<int>{demoOk});

    // Escape presses Cancel on the way down and clicks it on the way up.
    activated.clear();
    pushKey(SDLK_ESCAPE, true);
    pump();
    EXPECT_EQ(game.dialog.focus, demoCancel);
    EXPECT_TRUE(activated.empty());
    pushKey(SDLK_ESCAPE, false);
    pump();
    EXPECT_EQ(activated, std::vector<int>{demoCancel});

    // A release whose press went elsewhere does nothing, even on a pressed Cancel.
    activated.clear();
    pushKey(SDLK_ESCAPE, false);
    pump();
    pushKey(SDLK_ESCAPE, true);
    click(centreX(demoLeft), centreY(demoLeft));
    EXPECT_EQ(activated, std::vector<int>{demoLeft});
    at(demoCancel).state |= stateFocused | statePressed;
    game.dialog.focus = demoCancel;
    pushKey(SDLK_ESCAPE, false);
    pump();
    EXPECT_EQ(activated, std::vector<int>{demoLeft});

    // The first Enter after typing confirms the text only; the second one clicks the default.
    activated.clear();
    click(centreX(demoName), centreY(demoName));
    pushKey(SDLK_a, true);
    pushKeyPress(SDLK_RETURN);
    pump();
    EXPECT_EQ(game.dialog.editing, -1);
    EXPECT_EQ(game.dialog.focus, demoOk);
    EXPECT_FALSE(at(demoOk).state & statePressed);
    EXPECT_TRUE(activated.empty());
    pushKeyPress(SDLK_RETURN);
    pump();
    EXPECT_EQ(activated, std::vector<int>{demoOk});
}

TEST_F(WidgetInput, TextFieldsStopAtMaxAndBackspaceOnAnIdleFieldOnlyStartsEditing)
{
    ASSERT_EQ(openDemo(), 0);
    click(centreX(demoName), centreY(demoName));
    EXPECT_EQ(game.dialog.editing, demoName);
    for (char c : std::string("abcdefghij")) pushKey(SDLKey(c), true);
    pushKey(SDLK_z, true, KMOD_LSHIFT);
    pump();
    EXPECT_EQ(at(demoName).label, "abcdefgh");
    EXPECT_EQ(at(demoName).value, 8);

    pushKeyPress(SDLK_RETURN);  // no default button pressed while editing: only the edit ends
    at(demoOk).flags &= ~widgetDefault;
    pump();
    EXPECT_EQ(game.dialog.editing, -1);
    EXPECT_FALSE(at(demoName).state & stateEditing);
    EXPECT_EQ(game.dialog.focus, demoName);

    pushKey(SDLK_BACKSPACE, true);
    pump();
    EXPECT_EQ(at(demoName).label, "abcdefgh");
    EXPECT_EQ(game.dialog.editing, demoName);
    pushKey(SDLK_BACKSPACE, true);
    pushKey(SDLK_BACKSPACE, true);
    pushKey(SDLK_x, true, KMOD_RSHIFT);
    pump();
    EXPECT_EQ(at(demoName).label, "abcdefX");
    EXPECT_EQ(at(demoName).value, 7);

    // A click elsewhere ends the edit; characters then reach no field.
    click(centreX(demoLeft), centreY(demoLeft));
    EXPECT_EQ(game.dialog.editing, -1);
    EXPECT_EQ(at(demoName).state & (stateFocused | stateEditing), 0u);
    pushKey(SDLK_q, true);
    pump();
    EXPECT_EQ(at(demoName).label, "abcdefX");
}

TEST_F(WidgetInput, WheelStepsWholeNotchesAndStopsAtTheEnds)
{
    ASSERT_EQ(openDemo(), 0);
    Widget& points = at(demoPoints);
    pushMouseButton(4, true, 1, 1);  // nothing focused: nothing moves
    pump();
    EXPECT_EQ(points.value, 3);
    click(int(points.x + points.w - points.h / 2), centreY(demoPoints));  // the "+" end
    EXPECT_EQ(points.value, 4);
    points.value = 10;
    activated.clear();
    pushMouseButton(5, true, 1, 1);
    pump();
    EXPECT_EQ(points.value, 10);
    EXPECT_TRUE(activated.empty());
    wheelStep(60);
    EXPECT_EQ(points.value, 10);
    wheelStep(60);
    EXPECT_EQ(points.value, 9);
    EXPECT_EQ(activated, std::vector<int>{demoPoints});
    wheelStep(-360);
    EXPECT_EQ(points.value, 10);

    // A list scrolls its first visible row the same way, within its rows.
    click(centreX(demoTracks) - 60, int(at(demoTracks).y) + 3);
    Widget& tracks = at(demoTracks);
    EXPECT_EQ(tracks.max, 2);  // 20 items in 2 columns, 8 rows shown
    wheelStep(-120 * 5);
    EXPECT_EQ(tracks.value, 2);
}

TEST_F(WidgetInput, TabReachesEveryControlButHiddenUnreachableAndEmptyOnesAndWraps)
{
    ASSERT_EQ(openDemo(dialogArrowKeys), 0);
    clearList(at(demoDrivers));  // nothing to take
    std::vector<int> order;
    for (int i = 0; i < 14; ++i) {
        pushKeyPress(SDLK_TAB);
        pump();
        order.push_back(game.dialog.focus);
    }
    std::vector<int> expected{demoCancel, demoOk, demoName, demoPoints, demoTracks, demoLeft, demoResume,
                              demoFolder, demoCreate, demoResolution, demoPlayer, demoPlayerCar, demoComputer,
                              demoCancel};
    EXPECT_EQ(order, expected);
    pushKey(SDLK_TAB, true, KMOD_LSHIFT);
    pump();
    EXPECT_EQ(game.dialog.focus, demoComputer);
    EXPECT_FALSE(at(demoCancel).state & stateFocused);
    EXPECT_TRUE(at(demoComputer).state & stateFocused);
    // On a button every arrow moves the focus: Up and Right back, Down and Left on.
    for (SDLKey key : {SDLK_UP, SDLK_RIGHT, SDLK_DOWN, SDLK_LEFT}) pushKey(key, true);
    pump();
    EXPECT_EQ(game.dialog.focus, demoComputer);

    // With the arrow keys on, Enter and Space press the focused button, not the default one.
    pushKeyPress(SDLK_RETURN);
    pushKeyPress(SDLK_SPACE);
    pump();
    EXPECT_EQ(activated, (std::vector<int>{demoComputer, demoComputer}));

    // A dialog without the flag ignores arrows; a focused widget hidden meanwhile is dropped.
    at(demoComputer).flags |= widgetHidden;
    wheelStep(120);
    EXPECT_EQ(game.dialog.focus, -1);
    game.dialog.flags = 0;
    stepFocus(1);
    arrowKey(0, 1);
    EXPECT_EQ(game.dialog.focus, -1);
}

TEST_F(WidgetInput, SlidersStepWithLeftAndRightListsMoveAndTakeTheirCursor)
{
    ASSERT_EQ(openDemo(dialogArrowKeys), 0);
    Widget& points = at(demoPoints);
    focusWidget(demoPoints);
    for (SDLKey key : {SDLK_RIGHT, SDLK_LEFT, SDLK_LEFT, SDLK_LEFT, SDLK_LEFT, SDLK_LEFT}) pushKey(key, true);
    pump();
    EXPECT_EQ(points.value, 0);  // 3, 4, then down to the end and no further
    EXPECT_EQ(activated.size(), 5u);
    pushKey(SDLK_UP, true);
    pump();
    EXPECT_EQ(game.dialog.focus, demoName);

    // The tracks: 20 items in 2 columns, 8 rows shown. The cursor starts on the first item
    // shown, moves a row with Up and Down and an item with Left and Right, and scrolls along.
    Widget& tracks = at(demoTracks);
    ListData& l = *tracks.list;
    activated.clear();
    pushKey(SDLK_DOWN, true);
    pushKey(SDLK_DOWN, true);
    pump();
    EXPECT_EQ(game.dialog.focus, demoTracks);
    EXPECT_EQ(l.cursor, 0);
    pushKey(SDLK_LEFT, true);
    pushKey(SDLK_RIGHT, true);
    pushKey(SDLK_DOWN, true);
    pump();
    EXPECT_EQ(l.cursor, 3);
    for (int i = 0; i < 8; ++i) pushKey(SDLK_DOWN, true);
    pump();
    EXPECT_EQ(l.cursor, 19);
    EXPECT_EQ(tracks.value, 2);  // the last row shows
    EXPECT_TRUE(activated.empty());  // moving takes nothing
    // Down from the last row leaves the list; Up comes back to the same item.
    pushKey(SDLK_DOWN, true);
    pump();
    EXPECT_EQ(game.dialog.focus, demoLeft);
    pushKey(SDLK_UP, true);
    pump();
    EXPECT_EQ(game.dialog.focus, demoTracks);
    EXPECT_EQ(l.cursor, 19);

    // Enter and Space take the item as a click does (toggling it), on the release; Enter
    // presses no default button there.
    pushKeyPress(SDLK_RETURN);
    pump();
    EXPECT_EQ(l.selected, 19);
    EXPECT_EQ(l.items[19]->selected, 1);
    EXPECT_EQ(activated, std::vector<int>{demoTracks});
    EXPECT_FALSE(at(demoOk).state & statePressed);
    pushKey(SDLK_SPACE, true);
    pump();
    EXPECT_EQ(l.items[19]->selected, 1);
    pushKey(SDLK_SPACE, false);
    pump();
    EXPECT_EQ(l.items[19]->selected, 0);

    // A click puts the cursor on its item; a list that shrank keeps it within its items.
    click(int(tracks.x) + 4, int(tracks.y) + 4);
    EXPECT_EQ(l.cursor, 4);  // row 0 of the rows from 2 on
    clearList(tracks);
    addListItem(tracks, "Only");
    activated.clear();
    pushKeyPress(SDLK_SPACE);
    pump();
    EXPECT_EQ(l.cursor, 0);
    EXPECT_EQ(l.items[0]->selected, 1);
    EXPECT_EQ(activated, std::vector<int>{demoTracks});
    // Up in a one-item list leaves it.
    pushKey(SDLK_UP, true);
    pump();
    EXPECT_EQ(game.dialog.focus, demoPoints);

    // Space in a text field is a blank.
    focusWidget(demoName);
    pushKeyPress(SDLK_a);
    pushKeyPress(SDLK_SPACE);
    pushKeyPress(SDLK_b);
    pump();
    EXPECT_EQ(at(demoName).label, "a b");
}

TEST_F(WidgetInput, SlidersFollowTheTrackAndButtonsReleasedOutsideDoNotClick)
{
    ASSERT_EQ(openDemo(), 0);
    Widget& points = at(demoPoints);
    float h = points.h, start = points.x + 1.5f * h, span = points.w - 3 * h;
    click(int(points.x + 1), centreY(demoPoints));
    EXPECT_EQ(points.value, 2);
    EXPECT_FALSE(points.state & stateSteppedDown);  // the mark ends with the release
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(start + 0.7f * span), uint16_t(centreY(demoPoints)));
    pump();
    EXPECT_EQ(points.value, 7);
    pushMouseMotion(uint16_t(start + 0.2f * span), uint16_t(points.y - 20), 1);  // the drag leaves the slider
    pump();
    EXPECT_EQ(points.value, 2);
    pushMouseMotion(uint16_t(points.x + points.w + 50), uint16_t(points.y), 1);
    pump();
    EXPECT_EQ(points.value, 10);
    pushMouseMotion(uint16_t(start), uint16_t(points.y), 0);  // the button is up: nothing
    pump();
    EXPECT_EQ(points.value, 10);

    // Short-arrow sliders run their track from x + h.
    Widget& res = at(demoResolution);
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(res.x + res.h + 1), uint16_t(centreY(demoResolution)));
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(res.x + res.h + 1), uint16_t(centreY(demoResolution)));
    pump();
    EXPECT_EQ(res.value, 0);

    activated.clear();
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(centreX(demoOk)), uint16_t(centreY(demoOk)));
    pushMouseMotion(10, 10, 1);
    pump();
    EXPECT_FALSE(at(demoOk).state & statePressed);
    pushMouseButton(SDL_BUTTON_LEFT, false, 10, 10);
    pump();
    EXPECT_TRUE(activated.empty());
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(centreX(demoOk)), uint16_t(centreY(demoOk)));
    pushMouseMotion(10, 10, 1);
    pushMouseMotion(uint16_t(centreX(demoOk)), uint16_t(centreY(demoOk)), 1);  // and back in
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(centreX(demoOk)), uint16_t(centreY(demoOk)));
    pump();
    EXPECT_EQ(activated, std::vector<int>{demoOk});

    // A click on nothing only takes the focus away; static widgets are never hit.
    click(2, 2);
    EXPECT_EQ(game.dialog.focus, -1);
    EXPECT_FALSE(at(demoOk).state & stateFocused);
}

TEST_F(WidgetInput, ListsSelectByRowAndColumnAndScrollByTheirBar)
{
    ASSERT_EQ(openDemo(), 0);
    Widget& tracks = at(demoTracks);
    ListData& l = *tracks.list;
    EXPECT_EQ(l.columns, 2);
    EXPECT_EQ(l.visibleRows, 8);
    int itemW = int(l.itemWidth), itemH = int(l.itemHeight);
    int x = int(tracks.x) + itemW + itemW / 2, y = int(tracks.y) + 2 * itemH + itemH / 2;  // row 2, column 1
    click(x, y);
    EXPECT_EQ(l.selected, 5);
    EXPECT_EQ(l.items[5]->selected, 1);
    EXPECT_EQ(activated, std::vector<int>{demoTracks});  // on the release over an item
    click(x, y);
    EXPECT_EQ(l.items[5]->selected, 0);  // clicks toggle
    EXPECT_EQ(l.previousSelected, 5);

    int barX = int(tracks.x + tracks.w) - 2;
    click(barX, int(tracks.y + tracks.h) - 2);  // "+" at the bottom
    EXPECT_EQ(tracks.value, 1);
    click(x, y);
    EXPECT_EQ(l.selected, 7);
    click(barX, int(tracks.y) + 2);  // "-" at the top
    EXPECT_EQ(tracks.value, 0);

    // Rows past the items select nothing.
    clearList(tracks);
    addListItem(tracks, "Only");
    activated.clear();
    click(x, y);
    EXPECT_EQ(l.selected, -1);
    EXPECT_TRUE(activated.empty());
    tracks.flags |= widgetEveryClick;
    click(int(tracks.x) + 4, int(tracks.y) + 4);
    EXPECT_EQ(activated, (std::vector<int>{demoTracks, demoTracks}));  // on the press and the release
}
