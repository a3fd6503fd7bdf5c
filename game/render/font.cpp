#include "render/font.h"

#include "platform/exe_folder.h"
#include "state/game_state.h"
#include "track/track_file.h"

#include <algorithm>
#include <cstring>

constexpr size_t headerBytes = 38;  // through the image size field
constexpr int rowBytes = fontImageWidth / 8;

int glyphIndex(char c)
{
    int s = static_cast<signed char>(c);
    if (s >= 33) return s - 32;
    if (s < 0 && s >= -64) return s + 160;
    return 0;
}

void setGuiMetrics(int screenWidth, int screenHeight)
{
    int scale = std::min(screenWidth / 80, screenHeight / 60);
    game.guiScale = std::max(scale, 1);
    game.guiQuarter = game.guiScale / 4;
    game.textShadowOffset = (game.guiQuarter + 1) / 2;
}

static uint32_t u32At(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

static void unpack(const uint8_t* pixels, std::vector<uint8_t>& ink)
{
    ink.assign(size_t(fontImageWidth) * fontCellHeight, 0);
    for (int stored = 0; stored < fontCellHeight; ++stored) {
        // Rows are stored bottom-up.
        uint8_t* out = ink.data() + size_t(fontCellHeight - 1 - stored) * fontImageWidth;
        const uint8_t* in = pixels + size_t(stored) * rowBytes;
        for (int x = 0; x < fontImageWidth; ++x) out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

int decodeFontFile(const uint8_t* data, size_t size, std::vector<uint8_t>& ink)
{
    if (!data || size < headerBytes || u32At(data + 34) != fontImageBytes) return -2;
    uint32_t offset = u32At(data + 10);
    if (offset > size || size - offset < fontImageBytes) return -1;
    unpack(data + offset, ink);
    return 0;
}

void scaleFont(const std::vector<uint8_t>& ink, int scale, uint8_t* strip)
{
    // Each output pixel samples a square of 20 / scale source pixels, in whole source pixels,
    // and is inked when a quarter of that square's area is ink.
    int width = fontGlyphCount * scale, height = 2 * scale;
    for (int v = 0; v < height; ++v) {
        int y0 = v * fontCellWidth / scale;
        int y1 = std::max((v + 1) * fontCellWidth / scale, y0 + 1);
        for (int u = 0; u < width; ++u) {
            int x0 = u * fontCellWidth / scale;
            int x1 = std::max((u + 1) * fontCellWidth / scale, x0 + 1);
            int count = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) count += ink[size_t(y) * fontImageWidth + x];
            // count >= R * R / 4 with R = 20 / scale, kept in integers
            strip[size_t(v) * width + u] = count * 4 * scale * scale >= fontCellWidth * fontCellWidth ? 1 : 0;
        }
    }
}

std::string fontFileImage(const std::vector<uint8_t>& ink)
{
    std::string s;
    auto u16 = [&](uint32_t v) { s += char(v & 255), s += char((v >> 8) & 255); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    const uint32_t offset = 14 + 40 + 8;
    s += "BM";
    u32(offset + fontImageBytes);
    u32(0);
    u32(offset);
    u32(40);
    u32(fontImageWidth);
    u32(fontCellHeight);
    u16(1);
    u16(1);
    u32(0);
    u32(fontImageBytes);
    u32(2835), u32(2835);  // 72 dpi
    u32(2), u32(2);
    u32(0x000000), u32(0xFFFFFF);  // bit 0 paper black, bit 1 ink white
    for (int stored = 0; stored < fontCellHeight; ++stored) {
        const uint8_t* row = ink.data() + size_t(fontCellHeight - 1 - stored) * fontImageWidth;
        for (int b = 0; b < rowBytes; ++b) {
            uint8_t byte = 0;
            for (int k = 0; k < 8; ++k) byte = uint8_t(byte << 1 | (row[b * 8 + k] ? 1 : 0));
            s += char(byte);
        }
    }
    return s;
}

void freeFont()
{
    delete[] game.glyphStrip;
    game.glyphStrip = nullptr;
    game.glyphStripScale = 0;
}

static int readFont(std::vector<uint8_t>& ink)
{
    changeToFolder(game.exeFolder);
    TrackFile file;
    if (!file.open("font.bmp", trackFileRead)) return -1;
    uint8_t header[headerBytes];
    uint32_t imageSize = 0, offset = 0;
    if (!file.readBytes(header, sizeof header)) return -2;
    imageSize = u32At(header + 34);
    offset = u32At(header + 10);
    if (imageSize != fontImageBytes) return -2;
    std::vector<uint8_t> pixels(fontImageBytes);
    if (offset > 0x7FFFFFFFu || !file.seek(long(offset), SEEK_SET)) return -1;
    if (!file.readBytes(pixels.data(), pixels.size())) return -1;
    unpack(pixels.data(), ink);
    return 0;
}

int loadFont()
{
    setGuiMetrics(game.screenWidth, game.screenHeight);
    freeFont();
    int scale = game.guiScale;
    size_t bytes = size_t(scale) * scale * 320;
    game.glyphStrip = new uint8_t[bytes];
    std::memset(game.glyphStrip, 0, bytes);
    game.glyphStripScale = scale;
    std::vector<uint8_t> ink;
    int result = readFont(ink);
    if (result == 0) scaleFont(ink, scale, game.glyphStrip);
    return result;
}
