#include "screen_fixture.h"

#include "render/draw_access.h"
#include "render/font.h"
#include "render/palette.h"
#include "render/race_panels.h"
#include "render/text.h"
#include "ui/about_box.h"
#include "ui/dialog.h"
#include "ui/dialog_events.h"
#include "ui/driver_stats.h"
#include "ui/file_dialog.h"
#include "ui/main_menu.h"
#include "ui/option_pages.h"
#include "ui/pause_menu.h"
#include "ui/screens.h"
#include "ui/track_info.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace fs = std::filesystem;

namespace {

// Every text drawn, by its colour and the colour most of its cells show around the ink.
std::map<std::pair<uint8_t, uint8_t>, std::string> textsSeen;

void noteText(std::string_view text, int x, int y, uint8_t colour, const TextBox& clip)
{
    if (colour >= firstCarSlot && colour <= lastCarSlot) return;  // the drivers' own colours
    int s = game.guiScale, stripWidth = fontGlyphCount * s;
    int behind[paletteSize] = {};
    for (size_t c = 0; c < text.size(); ++c) {
        int g = glyphIndex(text[c]);
        if (g == 0) continue;
        const uint8_t* glyph = game.glyphStrip + size_t(g) * s;
        for (int j = 0; j < 2 * s; ++j)
            for (int i = 0; i < s; ++i) {
                int px = x + int(c) * s + i, py = y + j;
                if (glyph[j * stripWidth + i] || px < clip.left || px > clip.right || py < clip.top || py > clip.bottom)
                    continue;
                ++behind[game.pixelBase[size_t(py) * game.pixelPitch + px]];
            }
    }
    int most = int(std::max_element(behind, behind + paletteSize) - behind);
    if (behind[most] == 0) return;
    textsSeen.emplace(std::make_pair(colour, uint8_t(most)), std::string(text));
}

double luminance(uint32_t rgb)
{
    auto linear = [](int v) {
        double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear((rgb >> 16) & 255) + 0.7152 * linear((rgb >> 8) & 255) + 0.0722 * linear(rgb & 255);
}

double contrastRatio(uint32_t a, uint32_t b)
{
    double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The shipped palettes: tm.pal and palettes\*.pal of the built game folder.
std::vector<fs::path> shippedPalettes()
{
    fs::path built = buildFolder() / "tarmacade";
    std::vector<fs::path> paths{built / "tm.pal"};
    for (const fs::directory_entry& e : fs::directory_iterator(built / "palettes"))
        if (e.path().extension() == ".pal") paths.push_back(e.path());
    return paths;
}

bool readPaletteFile(const fs::path& path, uint32_t colours[paletteSize])
{
    std::ifstream in(path, std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    builtInPalette(colours);
    return parsePaletteFile(reinterpret_cast<const uint8_t*>(image.data()), image.size(), colours);
}

// With TM_UI_PALETTE naming a file of the game folder (palettes/dusk.pal), pictures show it.
void usePicturePalette()
{
    const char* name = std::getenv("TM_UI_PALETTE");
    uint32_t colours[paletteSize];
    if (name && *name && readPaletteFile(buildFolder() / "tarmacade" / name, colours)) {
        uint32_t now[paletteSize];
        readPalette(now);
        for (int i = firstCarSlot; i <= lastCarSlot; ++i) colours[i] = now[i];
        applyPalette(colours);
    }
}

// The race's own panels, drawn over the main menu's picture as the race draws them over its view.
void photographRacePanels()
{
    RaceInformation info;
    info.distanceMetres = 4200, info.laps = 3, info.recordTime = 4321, info.recordHolder = "Ada";
    info.trackName = "gp";
    RaceResults results;
    results.lapLength = 1400;
    results.lines = {{"Ada", 13000, 0, 0, 4300, 3}, {"Bruno", 13250, 250, 0, 4350, 3}, {"Chen", 9000, 0, 1, 4400, 2}};
    results.fastestLapTime = 4300, results.fastestLapHolder = "Ada", results.fastestLapRank = 0;
    PointsTable points;
    points.race = 1, points.races = 2;
    points.lines = {{"Ada", 10, false}, {"Bruno", 6, false}, {"Chen", 6, true}};
    for (int k = 0; k < 5; ++k) {
        redrawShownScreen();
        ASSERT_TRUE(lockDraw());
        const char* name = "";
        switch (k) {
        case 0: drawRaceInformation(info), name = "race-information"; break;
        case 1: drawRaceResults(results), name = "race-results"; break;
        case 2: drawChampionshipPoints(points), name = "championship-points"; break;
        case 3: drawSeasonStandings(points), name = "season-standings"; break;
        default: drawLoadingScreen(), name = "loading"; break;
        }
        unlockDraw();
        ScreenTest::picture(name);
    }
}

// Every screen at two sizes; with TM_UI_PICTURES set, a BMP of each for a person to look at.
class ScreenPictures : public ScreenTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

std::string boxPicture;

// A modal box is photographed from inside its own loop.
void snapshotThenMove(int x, int y, bool held)
{
    ScreenTest::picture(boxPicture);
    pointerMove(x, y, held);
}

void photographBox(const std::string& name, void (*open)())
{
    boxPicture = name;
    game.dialogInput.pointerMove = snapshotThenMove;
    pushMouseMotion(1, 1, 0);
    pushKeyPress(SDLK_RETURN);
    open();
    game.dialogInput.pointerMove = pointerMove;
}

}  // namespace

TEST_P(ScreenPictures, EveryScreenOpensAndComesBack)
{
    auto [width, height] = GetParam();
    textsSeen.clear();
    watchText(noteText);
    startGame(width, height);
    usePicturePalette();
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));
    const Widget* w = game.dialog.widgets;
    int s = game.guiScale;
    // Two players and two tracks.
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + 3 * s);
    EXPECT_EQ(game.carCount, 2);
    EXPECT_STREQ(game.driverNames[1], "Chen");
    click(int(w[menuTracks].x) + 2 * s, int(w[menuTracks].y) + s);
    click(int(w[menuTracks].x) + 16 * s, int(w[menuTracks].y) + 3 * s);
    EXPECT_EQ(trackSelection().size(), 2u);
    picture("main-menu");

    clickWidget(menuFirstCar + 1);
    ASSERT_EQ(activeScreen(), uint32_t(screenCarChooser));
    picture("car-chooser");
    const Widget& cars = game.dialog.widgets[0];
    click(int(cars.x) + 2 * s, int(cars.y) + 3 * s);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));

    // A player's name sends the driver back to the list.
    clickWidget(menuFirstName);
    EXPECT_EQ(game.carCount, 1);
    EXPECT_STREQ(game.driverNames[0], "Chen");

    photographBox("help", showHelpBox);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));

    clickWidget(menuOptions);
    ASSERT_EQ(activeScreen(), uint32_t(screenOptions));
    picture("options");
    clickWidget(pageSecondLink);
    ASSERT_EQ(activeScreen(), uint32_t(screenAdvancedOptions));
    picture("advanced-options");
    clickWidget(advLanguage);
    picture("advanced-language-list");
    clickWidget(advLanguage);
    clickWidget(pageSecondLink);
    ASSERT_EQ(activeScreen(), uint32_t(screenDriverOptions));
    picture("driver-options");
    clickWidget(drvCreate);
    picture("driver-create");
    clickWidget(drvCreateCancel);
    clickWidget(pageCancel);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    openTrackInfo("\\gp");
    ASSERT_EQ(activeScreen(), uint32_t(screenTrackInfo));
    picture("track-info");
    clickWidget(infoOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    w = game.dialog.widgets;
    pushMouseButton(SDL_BUTTON_RIGHT, false, uint16_t(w[menuFirstName].x + s), uint16_t(w[menuFirstName].y + s));
    pump();
    ASSERT_EQ(activeScreen(), uint32_t(screenDriverStats));
    picture("driver-stats");
    clickWidget(statsOk);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    clickWidget(menuLoad);
    ASSERT_EQ(activeScreen(), uint32_t(screenFileDialog));
    picture("file-dialog");
    clickWidget(fileCancel);
    ASSERT_EQ(activeScreen(), uint32_t(screenMainMenu));

    // A race would have drawn its picture; the menu's will do. Ending it goes back to the menu.
    game.raceHooks = RaceHooks{};
    game.raceHooks.leaveRace = backToMainMenu;
    game.raceLaps = 3;
    parkScreen();
    openPauseMenu();
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
    picture("pause-menu");
    clickWidget(pauseEndRace);
    EXPECT_EQ(activeScreen(), uint32_t(screenMainMenu));
    EXPECT_EQ(game.parkedDialog, nullptr);
    EXPECT_FALSE(game.raceRunning);
    game.raceHooks = RaceHooks{};
    photographRacePanels();
    watchText(nullptr);

    // Every text against what is behind it, in every shipped palette: 4.5 to 1 for the
    // ordinary dark texts on the button faces, 3 to 1 for everything else.
    ASSERT_FALSE(textsSeen.empty());
    for (const fs::path& path : shippedPalettes()) {
        uint32_t colours[paletteSize];
        ASSERT_TRUE(readPaletteFile(path, colours)) << path;
        double lowest = 100;
        std::string lowestText;
        for (const auto& [pair, text] : textsSeen) {
            auto [colour, behind] = pair;
            bool ordinary = (colour == 240 || colour == 241) && (behind == 100 || behind == 95 || behind == 97);
            double ratio = contrastRatio(colours[colour], colours[behind]);
            EXPECT_GE(ratio, ordinary ? 4.5 : 3.0) << path.filename() << ": \"" << text << "\" in " << int(colour)
                                                   << " on " << int(behind);
            if (ratio < lowest) lowest = ratio, lowestText = text + " (" + std::to_string(colour) + " on " + std::to_string(behind) + ")";
        }
        std::printf("%s: lowest contrast %.2f to 1, \"%s\"\n", path.filename().c_str(), lowest, lowestText.c_str());
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenPictures, ::testing::Values(std::make_pair(640, 480), std::make_pair(1280, 720),
                                                                    std::make_pair(1920, 1080)));
