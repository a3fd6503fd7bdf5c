// font.bmp can be replaced by anyone: its offset and size fields must never lead a read
// outside the file, and whatever decodes must scale into a strip of the right size.
#include "render/font.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> ink;
    int result = decodeFontFile(data, size, ink);
    if (result != 0 && result != -1 && result != -2) std::abort();
    if (result != 0) return 0;
    if (ink.size() != size_t(fontImageWidth) * fontCellHeight) std::abort();
    int scale = 1 + (size % 12);
    std::vector<uint8_t> strip(size_t(scale) * scale * 320);
    scaleFont(ink, scale, strip.data());
    for (uint8_t v : strip)
        if (v > 1) std::abort();
    return 0;
}
