#include "ui_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

class WidgetDrawing : public UiTest {
protected:
    void SetUp() override { startGame(640, 480); }
    // Whether a widget of the active dialog shows the text inside its rectangle.
    static bool shows(int index, const std::string& text, uint8_t colour)
    {
        const Widget& w = game.dialog.widgets[index];
        return showsIn(text, int(w.x), int(w.y), int(w.x + w.w) + 1, int(w.y + w.h) + 1, colour);
    }
};

}  // namespace

TEST(SliderText, ResolutionsAndSingularPluralPairs)
{
    Widget w;
    w.label = "point|points";
    w.value = 1;
    EXPECT_EQ(sliderText(w), "1 point");
    w.value = 6;
    EXPECT_EQ(sliderText(w), "6 points");
    w.label = "";
    EXPECT_EQ(sliderText(w), "6");
    w.label = "%";
    EXPECT_EQ(sliderText(w), "6 %");
    w.style = 1;
    w.value = 17;
    EXPECT_EQ(sliderText(w), "1920x1080");
    w.value = 23;
    EXPECT_EQ(sliderText(w), "???");
    w.value = -1;
    EXPECT_EQ(sliderText(w), "???");
}

TEST_F(WidgetDrawing, CaptionsValuesAndItemsReadBackThroughTheFont)
{
    ASSERT_EQ(openDemo(), 0);
    EXPECT_TRUE(shows(demoOk, "OK", 241));
    EXPECT_TRUE(shows(demoCancel, "Cancel", 241));
    EXPECT_TRUE(shows(demoPoints, "3 points", 241));
    EXPECT_TRUE(shows(demoResolution, "1280x720", 241));
    EXPECT_TRUE(shows(demoPlayer, "Ada", 240));
    EXPECT_TRUE(shows(demoComputer, "Bot", 90));
    EXPECT_TRUE(shows(demoPlayerCar, "General", 240));
    EXPECT_TRUE(shows(demoCount, "3 selected", 90));
    const Widget& tracks = game.dialog.widgets[demoTracks];
    const ListData& l = *tracks.list;
    int column1 = int(tracks.x + l.itemWidth), column2 = int(tracks.x + 2 * l.itemWidth);
    EXPECT_TRUE(showsIn("Track 1", int(tracks.x), int(tracks.y), column1, int(tracks.y + l.itemHeight), 240));
    int row7 = int(tracks.y + 7 * l.itemHeight);
    EXPECT_TRUE(showsIn("Track 16", column1, row7, column2, int(row7 + l.itemHeight), 240));
    const Widget& drivers = game.dialog.widgets[demoDrivers];
    int secondRow = int(drivers.y + l.itemHeight);
    EXPECT_TRUE(showsIn("Bot", int(drivers.x), secondRow, int(drivers.x + l.itemWidth), int(secondRow + l.itemHeight), 90));
    // Hidden widgets are not drawn; unused player slots are skipped.
    const Widget& hidden = game.dialog.widgets[demoHidden];
    EXPECT_EQ(pixel(int(hidden.x + hidden.w / 2), int(hidden.y + hidden.h / 2)), 30);

    click(centreX(demoName), centreY(demoName));
    pushKey(SDLK_a, true, KMOD_LSHIFT);
    pushKey(SDLK_l, true);
    pump();
    EXPECT_TRUE(shows(demoName, "Al|", 240));
    pushKeyPress(SDLK_RETURN);
    pump();
    EXPECT_TRUE(shows(demoName, "Al", 240));
    EXPECT_FALSE(shows(demoName, "Al|", 240));
    wheelStep(0);
    click(int(game.dialog.widgets[demoPoints].x) + 1, centreY(demoPoints));
    click(int(game.dialog.widgets[demoPoints].x) + 1, centreY(demoPoints));
    EXPECT_TRUE(shows(demoPoints, "1 point", 241));
    EXPECT_FALSE(shows(demoPoints, "1 points", 241));
}

TEST_F(WidgetDrawing, FacesFramesAndBarsUseTheirPaletteSlots)
{
    ASSERT_EQ(openDemo(), 0);
    const Widget& ok = game.dialog.widgets[demoOk];
    int x = int(ok.x) + 3, y = int(ok.y) + 3;  // inside the bevel, clear of the caption
    EXPECT_EQ(pixel(x, y), 100);
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(x), uint16_t(y));
    pump();
    EXPECT_EQ(pixel(x, y), 95);
    EXPECT_EQ(pixel(int(ok.x), int(ok.y)), 241);  // pressed: dark edge at the top left
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(x), uint16_t(y));
    pump();
    EXPECT_EQ(pixel(x, y), 100);

    // Pause-menu buttons light up when focused, caption and all.
    const Widget& resume = game.dialog.widgets[demoResume];
    EXPECT_TRUE(shows(demoResume, "Resume", 241));
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(resume.x + 3), uint16_t(resume.y + 3));
    pushMouseMotion(2, 2, 1);
    pump();
    EXPECT_EQ(pixel(int(resume.x) + 3, int(resume.y) + 3), 97);
    EXPECT_TRUE(shows(demoResume, "Resume", 115));
    EXPECT_FALSE(shows(demoResume, "Resume", 241));

    // Text fields: a frame a quarter unit wide around a light face.
    const Widget& name = game.dialog.widgets[demoName];
    EXPECT_EQ(pixel(int(name.x) - 2, int(name.y) - 2), 241);
    EXPECT_EQ(pixel(int(name.x) - 3, int(name.y) - 3), 30);
    EXPECT_EQ(pixel(int(name.x) + 1, int(name.y) + 1), 100);

    // Value 8 of 0..10: the bar reaches 80 % along the track between the arrows.
    Widget& points = game.dialog.widgets[demoPoints];
    points.value = 8;
    redrawWidget(demoPoints, redrawValue);
    int start = int(points.x + 1.5f * points.h), end = int(start + 0.8f * (points.w - 3 * points.h));
    int barY = int(points.y + points.h / 2);
    EXPECT_EQ(pixel(start + 1, barY), 90);
    EXPECT_EQ(pixel(end - 1, barY), 90);
    EXPECT_EQ(pixel(end + 1, barY), 100);

    // A selected item is drawn in 90; a driver list marks only the last click, in 95.
    const Widget& tracks = game.dialog.widgets[demoTracks];
    click(int(tracks.x) + 3, int(tracks.y) + 3);
    EXPECT_EQ(pixel(int(tracks.x) + 3, int(tracks.y) + 3), 90);
    const Widget& drivers = game.dialog.widgets[demoDrivers];
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(drivers.x + 3), uint16_t(drivers.y + 3));
    pump();
    EXPECT_EQ(pixel(int(drivers.x) + 3, int(drivers.y) + 3), 95);
    EXPECT_EQ(drivers.list->items[0]->selected, 0);
    EXPECT_EQ(drivers.list->selected, 0);
}

TEST_F(WidgetDrawing, TheKeyboardsFocusIsMarkedOnEveryKind)
{
    constexpr uint8_t mark = 115;
    ASSERT_EQ(openDemo(dialogArrowKeys), 0);
    // A button: a ring just inside its bevel, gone when the focus moves on.
    const Widget& ok = game.dialog.widgets[demoOk];
    int ringX = int(ok.x) + 1, ringY = int(ok.y + ok.h / 2);
    EXPECT_EQ(pixel(ringX, ringY), 100);
    click(int(ok.x + ok.w / 2), int(ok.y) + 3);  // the mouse's focus shows nothing
    EXPECT_EQ(game.dialog.focus, demoOk);
    EXPECT_EQ(pixel(ringX, ringY), 100);
    focusWidget(demoOk);
    EXPECT_EQ(pixel(ringX, ringY), mark);
    EXPECT_EQ(pixel(int(ok.x + ok.w / 2), int(ok.y) + 2), mark);
    EXPECT_TRUE(shows(demoOk, "OK", 241));
    // A text field, a slider and a list: their outer frame.
    for (int index : {int(demoName), int(demoPoints), int(demoTracks)}) {
        const Widget& w = game.dialog.widgets[index];
        focusWidget(index);
        EXPECT_EQ(pixel(int(w.x) - 1, int(w.y + w.h / 2)), mark) << index;
    }
    EXPECT_EQ(pixel(ringX, ringY), 100);
    EXPECT_EQ(pixel(int(game.dialog.widgets[demoName].x) - 1, int(game.dialog.widgets[demoName].y) + 2), 241);
    // The list's cursor item is ringed too, and only while the list has the focus.
    const Widget& tracks = game.dialog.widgets[demoTracks];
    int itemX = int(tracks.x + tracks.list->itemWidth) + 1, itemY = int(tracks.y + tracks.list->itemHeight / 2);
    click(int(tracks.x) + 3, itemY);
    EXPECT_EQ(pixel(int(tracks.x) - 1, itemY), 241);  // clicked: no mark until a key
    pushKey(SDLK_RIGHT, true);
    pump();
    EXPECT_EQ(pixel(int(tracks.x) - 1, itemY), mark);
    EXPECT_EQ(pixel(itemX, itemY), mark);
    EXPECT_NE(pixel(int(tracks.x) + 1, itemY), mark);
    focusWidget(demoLeft);
    EXPECT_EQ(pixel(itemX, itemY), 100);
    // The pause menu's buttons keep their own lit face.
    const Widget& resume = game.dialog.widgets[demoResume];
    focusWidget(demoResume);
    EXPECT_EQ(pixel(int(resume.x) + 1, int(resume.y + resume.h / 2)), 97);
}

TEST_F(WidgetDrawing, SuspendedDialogsTakeNoInputAndComeBackWhole)
{
    ASSERT_EQ(openDemo(), 0);
    click(centreX(demoName), centreY(demoName));
    DialogContext* parked = suspendDialog();
    ASSERT_NE(parked, nullptr);
    EXPECT_FALSE(game.dialog.active);
    EXPECT_EQ(suspendDialog(), nullptr);
    pushKey(SDLK_a, true);
    click(int(demo[demoOk].x) + 4, int(demo[demoOk].y) + 4);
    EXPECT_TRUE(activated.empty());
    fillRect(nullptr, 30);
    resumeDialog(parked);
    EXPECT_EQ(game.dialog.editing, demoName);
    EXPECT_TRUE(shows(demoName, "|", 240));
    EXPECT_TRUE(shows(demoOk, "OK", 241));
}

TEST(FontForReading, EveryGlyphDiffersAtTheGuiScalesUsed)
{
    std::vector<uint8_t> ink = codedFontInk();
    for (int scale : {8, 18}) {
        std::vector<uint8_t> strip(size_t(scale) * scale * 320);
        scaleFont(ink, scale, strip.data());
        int width = fontGlyphCount * scale;
        std::vector<std::string> cells;
        for (int g = 0; g < fontGlyphCount; ++g) {
            std::string s;
            for (int j = 0; j < 2 * scale; ++j)
                for (int i = 0; i < scale; ++i) s += char(strip[size_t(j) * width + g * scale + i]);
            cells.push_back(s);
        }
        std::sort(cells.begin(), cells.end());
        EXPECT_EQ(std::adjacent_find(cells.begin(), cells.end()), cells.end()) << scale;
    }
}

namespace {

// Pictures of the demonstration dialog for a person to look at: written only when
// TM_UI_PICTURES names a folder.
class DemoPicture : public UiTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

const char* pictureFolder = nullptr;
std::string pictureName;

void snapshotThenMove(int x, int y, bool held)
{
    SDL_SaveBMP(game.drawSurface, pictureName.c_str());
    pointerMove(x, y, held);
}

}  // namespace

TEST_P(DemoPicture, EveryWidgetKindDrawsInsideTheScreen)
{
    auto [width, height] = GetParam();
    std::string font = readHostFile(buildFolder() / "tarmacade" / "font.bmp");
    startGame(width, height, font);
    ASSERT_EQ(openDemo(), 0);
    click(centreX(demoName), centreY(demoName));
    for (char c : std::string("Ada")) pushKey(SDLKey(std::tolower(c)), true, c == 'A' ? KMOD_LSHIFT : KMOD_NONE);
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(centreX(demoTracks) - 20), uint16_t(centreY(demoTracks)));
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(centreX(demoTracks) - 20), uint16_t(centreY(demoTracks)));
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(centreX(demoOk)), uint16_t(centreY(demoOk)));
    pump();
    EXPECT_EQ(game.dialog.widgets[demoName].label, "Ada");
    EXPECT_GE(game.dialog.widgets[demoTracks].list->selected, 0);

    pictureFolder = std::getenv("TM_UI_PICTURES");
    if (!pictureFolder || !*pictureFolder) return;
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::filesystem::create_directories(pictureFolder);
    SDL_SaveBMP(game.drawSurface, (std::string(pictureFolder) + "/widgets-" + size + ".bmp").c_str());
    // And a Yes/No box over it, photographed from inside its own loop.
    pictureName = std::string(pictureFolder) + "/message-" + size + ".bmp";
    game.dialogInput.pointerMove = snapshotThenMove;
    pushMouseMotion(1, 1, 0);
    pushKeyPress(SDLK_ESCAPE);
    EXPECT_EQ(messageBox(messageBoxYesNo, "Really delete 'Ada'? Her statistics go with the file, and this cannot be undone.",
                         "Delete driver"),
              0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DemoPicture, ::testing::Values(std::make_pair(640, 480), std::make_pair(1920, 1080)));
