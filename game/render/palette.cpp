#include "render/palette.h"

#include "platform/exe_folder.h"
#include "state/game_state.h"
#include "render/frame_damage.h"
#include "track/track_file.h"

#include <vector>

static uint32_t rgb(int r, int g, int b)
{
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

static int red(uint32_t c) { return (c >> 16) & 255; }
static int green(uint32_t c) { return (c >> 8) & 255; }
static int blue(uint32_t c) { return c & 255; }

uint32_t waterTint(uint32_t c)
{
    return rgb(red(c) / 2, 64 + green(c) / 2, 128 + blue(c) / 2);
}

namespace {

struct Band {
    int first, count;
    float r0, dr, g0, dg, b0, db;
};

// Ground, object and effect shades; the terrain pass picks its colours from these.
const Band bands[] = {
    {0, 30, 0, 200, 0, 200, 0, 200},
    {30, 15, 60, 100, 100, 120, 40, 60},
    {45, 15, 70, 90, 60, 75, 50, 60},
    {60, 15, 100, 120, 70, 110, 40, 120},
    {75, 15, 160, 90, 110, 110, 90, 120},
    {90, 15, 160, 85, 180, 70, 200, 55},
    {105, 5, 200, 55, 200, 50, 200, 45},
    {110, 5, 200, 55, 200, 50, 0, 60},
    {115, 5, 200, 55, 0, 60, 0, 60},
};

// Base colours of the twelve object groups at 144..191: posts, metal, brick, foliage, wood,
// roofs, tyres and crews, sparks, dust, concrete, and two signal colours.
const uint32_t groupColours[12] = {
    0xFF7800, 0x9696A0, 0xAA3C28, 0x287828, 0x825A32, 0x3C50A0,
    0x323237, 0xFFC83C, 0xC8AA6E, 0xB4B4AA, 0x963CA0, 0x28A0A0,
};

const uint32_t interfaceColours[8] = {
    0x006496, 0x00324B, 0xFFFFFF, 0xFF6464, 0xFF0000, 0xFFFF00, 0xC0C000, 0x00FF00,
};

uint32_t shade(uint32_t base, float t)
{
    float f = 0.4f + 0.6f * t;
    return rgb(int(red(base) * f), int(green(base) * f), int(blue(base) * f));
}

}  // namespace

void builtInPalette(uint32_t out[paletteSize])
{
    for (const Band& b : bands) {
        for (int k = 0; k < b.count; ++k) {
            float t = float(k) / float(b.count - 1);
            out[b.first + k] = rgb(int(b.r0 + b.dr * t), int(b.g0 + b.dg * t), int(b.b0 + b.db * t));
        }
    }
    for (int k = 0; k < 24; ++k) out[120 + k] = waterTint(out[2 + 5 * k]);
    for (int g = 0; g < 12; ++g) {
        uint32_t* slot = out + 144 + 4 * g;
        slot[0] = shade(groupColours[g], 0.0f);
        slot[1] = shade(groupColours[g], 0.5f);
        slot[2] = shade(groupColours[g], 1.0f);
        slot[3] = waterTint(slot[1]);
    }
    for (int k = 0; k < 8; ++k) out[240 + k] = interfaceColours[k];
    for (int k = 0; k < 8; ++k) {
        float t = float(k) / 7.0f;
        out[248 + k] = rgb(int(64 + 191 * t), int(160 + 95 * t), 255);
    }
}

bool parsePaletteFile(const uint8_t* data, size_t size, uint32_t out[paletteSize])
{
    if (!data || size < size_t(paletteFileSize)) return false;
    for (int i = 0; i < paletteSize; ++i) {
        if (i >= firstCarSlot && i <= lastCarSlot) continue;
        const uint8_t* e = data + 24 + 4 * i;
        out[i] = rgb(e[0], e[1], e[2]);
    }
    return true;
}

std::string paletteFileImage(const uint32_t colours[paletteSize])
{
    std::string s;
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 255);
    };
    s += "RIFF";
    u32(paletteFileSize - 8);
    s += "PAL data";
    u32(4 + 4 * paletteSize);
    s += char(0x00), s += char(0x03);  // version 3.0
    s += char(paletteSize & 255), s += char(paletteSize >> 8);
    for (int i = 0; i < paletteSize; ++i) {
        s += char(red(colours[i])), s += char(green(colours[i])), s += char(blue(colours[i])), s += char(0);
    }
    return s;
}

void readPalette(uint32_t out[paletteSize])
{
    for (int i = 0; i < paletteSize; ++i) out[i] = game.palette[i];
}

void applyPalette(const uint32_t colours[paletteSize])
{
    SDL_Color sdl[paletteSize];
    for (int i = 0; i < paletteSize; ++i) {
        game.palette[i] = colours[i] & 0xFFFFFF;
        sdl[i].r = Uint8(red(colours[i]));
        sdl[i].g = Uint8(green(colours[i]));
        sdl[i].b = Uint8(blue(colours[i]));
        sdl[i].unused = 0;
    }
    SDL_Surface* surfaces[] = {SDL_GetVideoSurface(), game.drawSurface, game.backgroundSurface};
    for (SDL_Surface* s : surfaces)
        if (s) SDL_SetPalette(s, SDL_LOGPAL | SDL_PHYSPAL, sdl, 0, paletteSize);
    forgetScreen();  // a partial present would leave the rest of the screen in the old colours
}

static bool readPaletteFile(uint32_t colours[paletteSize])
{
    if (game.paletteFile.empty()) return false;
    changeToFolder(game.exeFolder);
    TrackFile file;
    if (!file.open(game.paletteFile, trackFileRead)) return false;
    std::vector<uint8_t> image(paletteFileSize);
    if (!file.readBytes(image.data(), image.size())) return false;
    return parsePaletteFile(image.data(), image.size(), colours);
}

void loadPalette()
{
    uint32_t colours[paletteSize];
    readPalette(colours);
    if (!readPaletteFile(colours)) builtInPalette(colours);
    applyPalette(colours);
}

void setCarColours(int car, uint32_t colour1, uint32_t colour2)
{
    if (car < 0 || car >= maxCars) return;
    uint32_t colours[paletteSize];
    readPalette(colours);
    uint32_t* slot = colours + firstCarSlot + 8 * car;
    const uint32_t driver[2] = {colour1, colour2};
    for (int k = 0; k < 2; ++k) {
        // Driver files keep red in the low byte; the palette keeps it high.
        uint32_t c = rgb(driver[k] & 255, (driver[k] >> 8) & 255, (driver[k] >> 16) & 255);
        slot[4 * k + 0] = shade(c, 0.0f);
        slot[4 * k + 1] = shade(c, 0.5f);
        slot[4 * k + 2] = shade(c, 1.0f);
        slot[4 * k + 3] = waterTint(slot[4 * k + 1]);
    }
    applyPalette(colours);
}
