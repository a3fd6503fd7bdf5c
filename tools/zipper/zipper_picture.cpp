// Bitmap decoding and JPEG encoding of the screenshot.
#include "zipper_picture.h"

#include "jpeg_writer.h"

// Larger than any screen; keeps a forged header from asking for gigabytes.
static const int64_t maxSide = 16384;
static const int64_t maxPixels = 40 * 1000 * 1000;

static uint32_t le(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) {
        v = v << 8 | p[i];
    }
    return v;
}

// A colour channel given by a bit mask, scaled to 0..255.
struct Channel {
    int shift = 0;
    int bits = 0;
};

static Channel channelOf(uint32_t mask)
{
    Channel c;
    if (mask == 0) {
        return c;
    }
    while (!(mask & 1)) {
        mask >>= 1;
        c.shift++;
    }
    while (mask & 1) {
        mask >>= 1;
        c.bits++;
    }
    return c;
}

static uint8_t channelValue(uint32_t pixel, Channel c)
{
    if (c.bits == 0) {
        return 0;
    }
    uint32_t v = (pixel >> c.shift) & ((c.bits >= 32 ? 0 : (1u << c.bits)) - 1);
    uint32_t max = c.bits >= 32 ? 0xFFFFFFFFu : (1u << c.bits) - 1;
    return uint8_t((uint64_t(v) * 255 + max / 2) / max);
}

bool decodeBmp(const uint8_t* data, size_t size, Picture& out)
{
    if (size < 26 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    uint32_t pixelOffset = le(data + 10, 4);
    uint32_t headerSize = le(data + 14, 4);
    if (headerSize < 12 || uint64_t(14) + headerSize > size) {
        return false;
    }
    int64_t width, height;
    int bpp;
    uint32_t compression = 0, coloursUsed = 0;
    int paletteEntrySize = 4;
    const uint8_t* h = data + 14;
    if (headerSize == 12) {  // the oldest header: 16-bit sizes, 3-byte palette entries
        width = int16_t(le(h + 4, 2));
        height = int16_t(le(h + 6, 2));
        bpp = int(le(h + 10, 2));
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40) {
            return false;
        }
        width = int32_t(le(h + 4, 4));
        height = int32_t(le(h + 8, 4));
        bpp = int(le(h + 14, 2));
        compression = le(h + 16, 4);
        coloursUsed = le(h + 32, 4);
    }
    bool topDown = height < 0;
    if (topDown) {
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide || width * height > maxPixels) {
        return false;
    }

    Channel red, green, blue;
    if (compression == 3 && (bpp == 16 || bpp == 32)) {
        // Masks follow a 40-byte header, or sit inside a longer one.
        if (uint64_t(14) + 40 + 12 > size) {
            return false;
        }
        red = channelOf(le(data + 54, 4));
        green = channelOf(le(data + 58, 4));
        blue = channelOf(le(data + 62, 4));
    } else if (compression != 0) {
        return false;
    } else if (bpp == 16) {
        red = channelOf(0x7C00);
        green = channelOf(0x03E0);
        blue = channelOf(0x001F);
    } else if (bpp == 32) {
        red = channelOf(0x00FF0000);
        green = channelOf(0x0000FF00);
        blue = channelOf(0x000000FF);
    } else if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) {
        return false;
    }

    // The palette: what the header promises, as far as the file holds it before the pixels.
    uint8_t palette[256][3] = {};
    if (bpp <= 8) {
        uint32_t count = 1u << bpp;
        if (coloursUsed != 0 && coloursUsed < count) {
            count = coloursUsed;
        }
        uint64_t at = uint64_t(14) + headerSize;
        if (compression == 3) {
            at += 12;
        }
        for (uint32_t i = 0; i < count; i++, at += paletteEntrySize) {
            if (at + paletteEntrySize > size || at + paletteEntrySize > pixelOffset) {
                break;
            }
            palette[i][0] = data[at + 2];
            palette[i][1] = data[at + 1];
            palette[i][2] = data[at];
        }
    }

    uint64_t stride = (uint64_t(width) * bpp + 31) / 32 * 4;
    if (pixelOffset > size || (size - pixelOffset) / stride < uint64_t(height)) {
        return false;
    }
    out.width = int(width);
    out.height = int(height);
    out.rgb.assign(size_t(width * height * 3), 0);
    for (int64_t y = 0; y < height; y++) {
        const uint8_t* row = data + pixelOffset + stride * uint64_t(topDown ? y : height - 1 - y);
        uint8_t* to = out.rgb.data() + y * width * 3;
        for (int64_t x = 0; x < width; x++, to += 3) {
            if (bpp <= 8) {
                int perByte = 8 / bpp;
                int shift = 8 - bpp * int(x % perByte + 1);
                int index = (row[x / perByte] >> shift) & ((1 << bpp) - 1);
                to[0] = palette[index][0];
                to[1] = palette[index][1];
                to[2] = palette[index][2];
            } else if (bpp == 24) {
                to[0] = row[x * 3 + 2];
                to[1] = row[x * 3 + 1];
                to[2] = row[x * 3];
            } else {
                uint32_t pixel = le(row + x * (bpp / 8), bpp / 8);
                to[0] = channelValue(pixel, red);
                to[1] = channelValue(pixel, green);
                to[2] = channelValue(pixel, blue);
            }
        }
    }
    return true;
}

bool encodeJpeg(const Picture& picture, int quality, std::vector<uint8_t>& out)
{
    return encodeRgbJpeg(picture.rgb.data(), picture.rgb.size(), picture.width, picture.height, quality, out);
}
