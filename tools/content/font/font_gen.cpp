// Renders the game's font.bmp: the printable ASCII characters and the Latin-1 letters 192..255,
// one per 20 x 40 cell, from a TrueType face.
//
// The game shrinks the cells to guiScale pixels across (8 at 640 x 480) and inks a pixel when
// a quarter of its 2.5 x 2.5 source square is ink, which thickens every stroke. So the strokes
// are thinned a little first, enough to keep the two dots of a diaeresis and the bars of '='
// apart at that size, and the baseline sits on a multiple of 5 rows, where both the full and
// the reduced grid have a pixel edge.
#include "render/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdio>
#include <vector>

constexpr int pixelSize = 31;
constexpr int baseline = 30;          // rows above it: ascent; a multiple of 5
constexpr int emboldenSixtyFourths = -20;  // thinner, in 1/64 pixel
constexpr int inkThreshold = 136;     // of 255 coverage

static unsigned codeOfGlyph(int g)
{
    if (g >= 1 && g <= 94) return unsigned(g + 32);   // '!' .. '~'
    if (g >= 96 && g <= 159) return unsigned(g + 96); // U+00C0 .. U+00FF
    return 0;                                          // blank, and DEL
}

static bool renderGlyph(FT_Face face, unsigned code, int g, std::vector<uint8_t>& ink)
{
    FT_UInt index = FT_Get_Char_Index(face, code);
    if (!index || FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT)) return false;
    if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) FT_Outline_Embolden(&face->glyph->outline, emboldenSixtyFourths);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL)) return false;
    const FT_Bitmap& bm = face->glyph->bitmap;
    // Centre the ink in the cell; the face is monospaced, so this keeps the rhythm.
    int left = (fontCellWidth - int(bm.width)) / 2;
    int top = baseline - face->glyph->bitmap_top;
    for (unsigned r = 0; r < bm.rows; ++r) {
        int y = top + int(r);
        if (y < 0 || y >= fontCellHeight) continue;
        for (unsigned c = 0; c < bm.width; ++c) {
            int x = left + int(c);
            if (x < 0 || x >= fontCellWidth) continue;
            if (bm.buffer[r * bm.pitch + c] >= inkThreshold) ink[size_t(y) * fontImageWidth + g * fontCellWidth + x] = 1;
        }
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tmfontgen <face.ttf> <font.bmp>\n");
        return 2;
    }
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face)) {
        std::fprintf(stderr, "tmfontgen: cannot open %s\n", argv[1]);
        return 1;
    }
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    std::vector<uint8_t> ink(size_t(fontImageWidth) * fontCellHeight, 0);
    for (int g = 0; g < fontGlyphCount; ++g) {
        unsigned code = codeOfGlyph(g);
        if (code && !renderGlyph(face, code, g, ink)) {
            std::fprintf(stderr, "tmfontgen: no glyph for U+%04X\n", code);
            return 1;
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    std::string image = fontFileImage(ink);
    std::FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(image.data(), 1, image.size(), f) != image.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "tmfontgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
