#include "screen_fixture.h"

#include "render/draw_access.h"
#include "shell/game_system.h"
#include "shell/main_loop.h"
#include "files/options_file.h"
#include "text_reader.h"
#include "race/race_frame.h"
#include "ui/dialog.h"
#include "ui/main_menu.h"
#include "ui/screens.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

void ScreenTest::startGame(int width, int height, const std::string& language)
{
    ASSERT_TRUE(sdl.ok());
    fs::path built = buildFolder() / "tarmacade";
    ASSERT_TRUE(fs::exists(built / "font.bmp")) << "the game folder is built with the game";
    for (const char* part : {"font.bmp", "tm.pal", "tracks", "cars", "lang"})
        fs::copy(built / part, folder.path(part), fs::copy_options::recursive);
    for (const char* name : {"Ada", "Bruno", "Chen", "Dora"}) folder.write(std::string("drivers/") + name + ".drv", "");
    setDefaultOptions(game.options);
    std::strncpy(game.options.language, language.c_str(), sizeof game.options.language - 1);
    game.options.windowedMode = 1;
    game.screenWidth = width;
    game.screenHeight = height;
    ASSERT_EQ(initGameSystem(), 1);
    drainEvents();
    releaseAllKeys();
}

void ScreenTest::TearDown()
{
    releaseAllKeys();
    game.raceRunning = 0;
    game.raceHooks = RaceHooks{};
    game.seasonTracks.clear();
    drainEvents();
    shutdownGameSystem(false);
    for (int k = 0; k < maxCars; ++k) game.drivers[k] = nullptr, game.driverNames[k][0] = 0;
    game.carCount = 0;
    game.raceRunning = 0;
}

int ScreenTest::centreX(int index)
{
    const Widget& w = game.dialog.widgets[index];
    return int(w.x + w.w / 2);
}

int ScreenTest::centreY(int index)
{
    const Widget& w = game.dialog.widgets[index];
    return int(w.y + w.h / 2);
}

int ScreenTest::listIndex(int index, const std::string& text)
{
    const std::vector<ListItem*>& items = game.dialog.widgets[index].list->items;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i]->text == text) return int(i);
    return -1;
}

void ScreenTest::clickListItem(int index, int item)
{
    const Widget& w = game.dialog.widgets[index];
    float row = float(item - w.value * std::max(w.list->columns, 1));
    click(int(w.x + w.list->itemWidth / 2), int(w.y + (row + 0.5f) * w.list->itemHeight));
}

bool ScreenTest::pumpEventsOnce() { return pumpEvents(0); }

void ScreenTest::click(int x, int y)
{
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(x), uint16_t(y));
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(x), uint16_t(y));
    pump();
}

bool ScreenTest::shows(const std::string& text, uint8_t colour)
{
    bool lockedHere = !game.lockedSurface && lockDraw();
    bool found = !textreader::find(text, colour).empty();
    if (lockedHere) unlockDraw();
    return found;
}

void ScreenTest::picture(const std::string& name)
{
    const char* folderName = std::getenv("TM_UI_PICTURES");
    if (!folderName || !*folderName || !game.drawSurface) return;
    fs::create_directories(folderName);
    std::string size = std::to_string(game.screenWidth) + "x" + std::to_string(game.screenHeight);
    SDL_SaveBMP(game.drawSurface, (std::string(folderName) + "/" + name + "-" + size + ".bmp").c_str());
}

void ScreenTest::pauseSeason()
{
    const Widget* w = game.dialog.widgets;
    int s = game.guiScale;
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    click(int(w[menuDrivers].x) + 2 * s, int(w[menuDrivers].y) + s);
    click(int(w[menuTracks].x) + 2 * s, int(w[menuTracks].y) + s);
    clickWidget(menuStart);
    ASSERT_TRUE(game.raceRunning);
    holdKey(SDLK_ESCAPE, true);
    raceStep();
    holdKey(SDLK_ESCAPE, false);
    ASSERT_EQ(activeScreen(), uint32_t(screenPauseMenu));
}
