#include "ui_fixture.h"

#include "render/palette.h"
#include "text_reader.h"

#include <cmath>
#include <cstring>

std::vector<int> activated;

static void record(Widget* w)
{
    activated.push_back(int(w->id & 0xFFFF));
}

std::vector<uint8_t> codedFontInk()
{
    std::vector<uint8_t> ink(size_t(fontImageWidth) * fontCellHeight, 0);
    auto set = [&](int g, int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) ink[size_t(y) * fontImageWidth + g * fontCellWidth + x] = 1;
    };
    for (int g = 1; g < fontGlyphCount; ++g) {
        set(g, 0, fontCellWidth, 0, 5);
        set(g, 0, 3, 0, fontCellHeight);
        for (int bit = 0; bit < 8; ++bit) {
            if (!(g >> bit & 1)) continue;
            int band = 1 + bit % 7;
            if (bit < 7) set(g, 10, 20, band * 5, band * 5 + 5);
            else set(g, 5, 8, 5, 40);
        }
    }
    return ink;
}

void UiTest::startGame(int width, int height, const std::string& fontImage)
{
    ASSERT_TRUE(sdl.ok());
    game.screenWidth = width;
    game.screenHeight = height;
    game.options.windowedMode = 1;
    folder.write("font.bmp", fontImage.empty() ? fontFileImage(codedFontInk()) : fontImage);
    ASSERT_EQ(initGameSystem(), 1);
    // Every start opens the main menu; these tests bring their own dialog.
    closeDialog();
    drainEvents();
    releaseAllKeys();
    activated.clear();
    human.controls[0] = 273;
    computer.controls[1] = 100;
    game.carCount = 2;
    std::strcpy(game.driverNames[0], "Ada");
    std::strcpy(game.driverNames[1], "Bot");
    game.drivers[0] = &human;
    game.drivers[1] = &computer;
    setCarColours(0, 0x0000E0, 0xF0F0F0);  // red in the low byte, as driver files keep it
    fillRect(nullptr, 30);
}

void UiTest::TearDown()
{
    closeDialog();
    freeDialog(demoWidgetCount, demo);
    demo = nullptr;
    game.carCount = 0;
    game.drivers[0] = game.drivers[1] = nullptr;
    game.driverNames[0][0] = game.driverNames[1][0] = 0;
    drainEvents();
    shutdownGameSystem(false);
}

static void button(Widget& w, const char* label, float x, float y, float width, float height, uint32_t flags = 0)
{
    w.kind = widgetButton;
    w.label = label;
    w.x = x, w.y = y, w.w = width, w.h = height;
    w.flags = flags;
    w.callback = record;
}

static void slider(Widget& w, float x, float y, float width, float height, int min, int max, int value)
{
    w.kind = widgetSlider;
    w.x = x, w.y = y, w.w = width, w.h = height;
    w.min = min, w.max = max, w.value = value;
    w.callback = record;
}

Widget* UiTest::buildDemo()
{
    demo = newDialog(demoWidgetCount);
    Widget* d = demo;
    button(d[demoCancel], "Cancel", 0, 56, 20, 4, widgetCancel);
    button(d[demoOk], "OK", 60, 56, 20, 4, widgetDefault);
    makeTextField(d[demoName], 0, "", 14, 6, 16, 3, 8);
    slider(d[demoPoints], 40, 6.5f, 26, 2, 0, 10, 3);
    d[demoPoints].label = "point|points";
    makeList(d[demoTracks], 0, 14, 12, 30, 16, 14, 2, 2);
    for (int i = 1; i <= 20; ++i) addListItem(d[demoTracks], "Track " + std::to_string(i));
    d[demoTracks].callback = record;
    button(d[demoHidden], "Hidden", 50, 12, 16, 3, widgetHidden);
    button(d[demoCount], "3 selected", 50, 16, 16, 3, widgetUnreachable);
    d[demoCount].style = 7;
    button(d[demoLeft], "Left", 50, 20, 16, 3);
    d[demoLeft].style = 1;
    button(d[demoResume], "Resume", 50, 24, 16, 3);
    d[demoResume].sub = 3;
    button(d[demoFolder], "[all tracks]", 14, 30, 22, 3);
    d[demoFolder].style = 5;
    button(d[demoCreate], "Create", 36, 30, 10, 3);
    d[demoCreate].style = 6;
    slider(d[demoResolution], 50, 31, 16, 2, 0, 22, 7);
    d[demoResolution].style = 1;
    d[demoResolution].flags = widgetShortArrows;
    button(d[demoPlayer], "", 14, 36, 15, 3);
    d[demoPlayer].style = 10;
    button(d[demoPlayerCar], "", 30, 36, 18, 3);
    d[demoPlayerCar].style = 20;
    button(d[demoComputer], "", 14, 39, 15, 3);
    d[demoComputer].style = 11;
    makeList(d[demoDrivers], 0, 50, 36, 16, 12, 14, 2, 2);
    d[demoDrivers].style = 1;
    addListItem(d[demoDrivers], "Ada");
    addListItem(d[demoDrivers], "Bot")->computer = 1;
    d[demoStatic].x = 0, d[demoStatic].y = 0, d[demoStatic].w = 80, d[demoStatic].h = 60;
    placeDialog(demoWidgetCount, demo);
    return demo;
}

int UiTest::openDemo(uint32_t flags)
{
    if (!demo) buildDemo();
    return openDialog(demoWidgetCount, 4, 1, demo, drawTextField, drawSlider, drawList, flags);
}

int UiTest::centreX(int index)
{
    const Widget& w = game.dialog.widgets[index];
    return int(w.x + w.w / 2);
}

int UiTest::centreY(int index)
{
    const Widget& w = game.dialog.widgets[index];
    return int(w.y + w.h / 2);
}

void UiTest::click(int x, int y)
{
    pushMouseButton(SDL_BUTTON_LEFT, true, uint16_t(x), uint16_t(y));
    pushMouseButton(SDL_BUTTON_LEFT, false, uint16_t(x), uint16_t(y));
    pump();
}

uint8_t UiTest::pixel(int x, int y)
{
    SDL_Surface* s = game.drawSurface;
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0;
    return static_cast<const uint8_t*>(s->pixels)[size_t(y) * s->pitch + x];
}

bool UiTest::showsIn(const std::string& text, int x0, int y0, int x1, int y1, uint8_t colour)
{
    bool lockedHere = !game.lockedSurface && lockDraw();
    bool found = false;
    int s = game.guiScale;
    for (const textreader::Place& p : textreader::find(text, colour))
        found = found || (p.x >= x0 && p.y >= y0 && p.x + int(text.size()) * s <= x1 && p.y + 2 * s <= y1);
    if (lockedHere) unlockDraw();
    return found;
}
