// The screenshot tmzipper packs may be any file named like one: it decodes into exactly its
// pixels or not at all, and what decodes converts to JPEG.
#include "zipper_picture.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Picture picture;
    if (!decodeBmp(data, size, picture)) return 0;
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() != size_t(picture.width) * size_t(picture.height) * 3) {
        std::abort();
    }
    // Small ones only: the encoder is libjpeg's, a large picture only costs time.
    std::vector<uint8_t> jpeg;
    if (size_t(picture.width) * size_t(picture.height) <= 4096 && !encodeJpeg(picture, 75, jpeg)) std::abort();
    return 0;
}
