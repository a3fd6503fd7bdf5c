// hueswap rewrites a hand-edited tm.ini: whatever the text, setting the palette is stable
// (setting it again changes nothing, setting another replaces it) and the value is in the text.
#include "hueswap_core.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    const std::string a = paletteValue("Dusk.pal"), b = paletteValue("Noon.pal");
    std::string once = setPaletteInText(text, a);
    if (once.find(a) == std::string::npos) std::abort();
    if (setPaletteInText(once, a) != once) std::abort();
    if (setPaletteInText(once, b) != setPaletteInText(text, b)) std::abort();
    return 0;
}
