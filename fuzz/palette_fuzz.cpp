// Palette files come from anywhere: short ones change nothing, and no file reaches the car slots.
#include "render/palette.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint32_t colours[paletteSize];
    for (int i = 0; i < paletteSize; ++i) colours[i] = 0xA5A5A5u ^ uint32_t(i);
    bool ok = parsePaletteFile(data, size, colours);
    if (ok != (size >= size_t(paletteFileSize))) std::abort();
    for (int i = 0; i < paletteSize; ++i) {
        bool carSlot = i >= firstCarSlot && i <= lastCarSlot;
        if ((!ok || carSlot) && colours[i] != (0xA5A5A5u ^ uint32_t(i))) std::abort();
        if (colours[i] > 0xFFFFFFu) std::abort();
    }
    return 0;
}
