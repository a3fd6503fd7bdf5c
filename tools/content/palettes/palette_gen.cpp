// Writes tm.pal, the built-in palette with legible interface colours, and three variations of
// it for the palette switcher: a dusk light, autumn leaves and a high-contrast set for bright
// rooms.
#include "render/palette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

struct Rgb {
    float r, g, b;
};

Rgb split(uint32_t c) { return {float((c >> 16) & 255), float((c >> 8) & 255), float(c & 255)}; }

uint32_t join(Rgb c)
{
    auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 255.0f))); };
    return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

// The slots the menus draw their texts and faces with: 240 and 241 dark texts (and the race's
// panels under white), 90 the computer drivers and captions (and a chosen item's face under
// 240), 92 the page, 95, 97 and 100 the button faces. Every text must stand out from what is
// behind it by 3 to 1, the dark texts on the faces by 4.5 to 1; a test checks each palette.
struct Slot {
    int slot;
    uint32_t colour;
};

const Slot legibleBase[] = {{240, 0x002240}, {241, 0x001428}, {90, 0x427098}, {92, 0xBECFDD}};
const Slot legibleDusk[] = {{240, 0x140628}, {241, 0x0E041E}, {90, 0x745A9E}, {92, 0xCCC2E4},
                            {95, 0xC8BEE0}, {97, 0xD2CAE8}, {100, 0xE2DAF2}};
const Slot legibleAutumn[] = {{240, 0x381C00}, {241, 0x261200}, {90, 0x9C6228}, {92, 0xE8D6B4},
                              {95, 0xE2D0AE}, {97, 0xEADABC}, {100, 0xF4E8D2}};
const Slot legibleContrast[] = {{90, 0x286096}, {92, 0xD6E2EE}};

template <size_t n>
void setSlots(uint32_t colours[paletteSize], const Slot (&slots)[n])
{
    for (const Slot& s : slots) colours[s.slot] = s.colour;
}

// Low evening sun: everything darker and bluer.
uint32_t dusk(uint32_t c, int)
{
    Rgb v = split(c);
    return join({v.r * 0.72f + 10, v.g * 0.62f + 8, v.b * 0.8f + 30});
}

// Greens turn to ochre and rust.
uint32_t autumn(uint32_t c, int)
{
    Rgb v = split(c);
    if (v.g > v.r && v.g > v.b) {
        float excess = v.g - std::max(v.r, v.b);
        return join({v.r + excess * 1.1f, v.g - excess * 0.35f, v.b * 0.7f});
    }
    return join({v.r * 1.05f, v.g * 0.92f, v.b * 0.75f});
}

// Stretched around the middle grey; panels black, so white and yellow text stands out.
uint32_t contrast(uint32_t c, int slot)
{
    Rgb v = split(c);
    if (slot == 240) return 0x000000;
    if (slot == 241) return 0x404040;
    auto stretch = [](float x) { return (x - 110.0f) * 1.6f + 110.0f; };
    return join({stretch(v.r), stretch(v.g), stretch(v.b)});
}

bool write(const std::string& path, const uint32_t colours[paletteSize])
{
    std::string image = paletteFileImage(colours);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(image.data(), 1, image.size(), f) == image.size();
    if (f && std::fclose(f) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "tmpalgen: cannot write %s\n", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tmpalgen <game folder>\n");
        return 2;
    }
    std::string folder = argv[1];
    uint32_t base[paletteSize] = {};
    builtInPalette(base);
    setSlots(base, legibleBase);
    bool ok = write(folder + "/tm.pal", base);
    struct Variant {
        const char* name;
        uint32_t (*change)(uint32_t, int);
        void (*legible)(uint32_t*);
    };
    const Variant variants[] = {
        {"dusk", dusk, [](uint32_t* c) { setSlots(c, legibleDusk); }},
        {"autumn", autumn, [](uint32_t* c) { setSlots(c, legibleAutumn); }},
        {"contrast", contrast, [](uint32_t* c) { setSlots(c, legibleContrast); }},
    };
    for (const Variant& v : variants) {
        uint32_t colours[paletteSize] = {};
        for (int i = 0; i < paletteSize; ++i)
            colours[i] = (i >= firstCarSlot && i <= lastCarSlot) ? 0 : v.change(base[i], i);
        v.legible(colours);
        ok = write(folder + "/palettes/" + v.name + ".pal", colours) && ok;
    }
    return ok ? 0 : 1;
}
