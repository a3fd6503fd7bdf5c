#include "render/font.h"
#include "render/text.h"
#include "render_fixture.h"

#include <string>

namespace {

// A font whose glyph g has ink only in its own column band g..g+?, so glyphs are told apart:
// glyph g is a filled bar of (g % 19) + 1 columns, full height.
std::vector<uint8_t> barFont()
{
    std::vector<uint8_t> ink(size_t(fontImageWidth) * fontCellHeight, 0);
    for (int g = 1; g < fontGlyphCount; ++g)
        for (int y = 0; y < fontCellHeight; ++y)
            for (int x = 0; x <= g % 19; ++x) ink[size_t(y) * fontImageWidth + g * fontCellWidth + x] = 1;
    return ink;
}

void u32At(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s[at + i] = char(v >> (8 * i));
}

// Inked columns of one text cell at (x, y).
int cellInk(int x, int y)
{
    int n = 0;
    for (int j = 0; j < 2 * game.guiScale; ++j)
        for (int i = 0; i < game.guiScale; ++i) n += Screen::at(x + i, y + j) != 0;
    return n;
}

}  // namespace

TEST(GuiMetrics, FollowTheSmallerOfWidthOver80AndHeightOver60)
{
    setGuiMetrics(640, 480);
    EXPECT_EQ(game.guiScale, 8);
    EXPECT_EQ(game.guiQuarter, 2);
    EXPECT_EQ(game.textShadowOffset, 1);
    setGuiMetrics(1920, 1080);
    EXPECT_EQ(game.guiScale, 18);
    EXPECT_EQ(game.guiQuarter, 4);
    EXPECT_EQ(game.textShadowOffset, 2);
    setGuiMetrics(2560, 1920);
    EXPECT_EQ(game.guiScale, 32);
    setGuiMetrics(40, 30);  // never a zero-sized cell
    EXPECT_EQ(game.guiScale, 1);
}

TEST(GlyphIndex, AsciiAccentedLettersAndBlanks)
{
    EXPECT_EQ(glyphIndex('!'), 1);
    EXPECT_EQ(glyphIndex('~'), 94);
    EXPECT_EQ(glyphIndex(char(127)), 95);
    EXPECT_EQ(glyphIndex(char(192)), 96);
    EXPECT_EQ(glyphIndex(char(233)), 137);
    EXPECT_EQ(glyphIndex(char(255)), 159);
    for (int c : {0, 9, 10, 32, 128, 150, 191}) EXPECT_EQ(glyphIndex(char(c)), 0) << c;
}

TEST(FontFile, RoundTripsAndRejectsSizesAndOffsetsOutsideTheFile)
{
    std::vector<uint8_t> ink = barFont(), back;
    std::string image = fontFileImage(ink);
    ASSERT_EQ(image.size(), 62u + 16000u);
    const auto* data = reinterpret_cast<const uint8_t*>(image.data());
    ASSERT_EQ(decodeFontFile(data, image.size(), back), 0);
    EXPECT_EQ(back, ink);

    std::string bad = image;
    u32At(bad, 34, 15999);
    EXPECT_EQ(decodeFontFile(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), back), -2);
    EXPECT_EQ(decodeFontFile(data, 37, back), -2);  // cut inside the header
    bad = image;
    u32At(bad, 10, 63);  // pixel data would run one byte past the end
    EXPECT_EQ(decodeFontFile(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), back), -1);
    u32At(bad, 10, 0xFFFFFFF0u);
    EXPECT_EQ(decodeFontFile(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), back), -1);
    EXPECT_EQ(decodeFontFile(data, image.size() - 1, back), -1);
}

TEST(LoadFont, MissingWrongSizeAndTruncatedFilesFailWithABlankStrip)
{
    TempGameFolder folder;
    game.screenWidth = 640;
    game.screenHeight = 480;
    EXPECT_EQ(loadFont(), -1);
    ASSERT_NE(game.glyphStrip, nullptr);
    EXPECT_EQ(game.guiScale, 8);
    std::string image = fontFileImage(barFont());
    std::string wrong = image;
    u32At(wrong, 34, 16001);
    folder.write("font.bmp", wrong);
    EXPECT_EQ(loadFont(), -2);
    folder.write("font.bmp", image.substr(0, 30));
    EXPECT_EQ(loadFont(), -2);
    wrong = image;
    u32At(wrong, 10, 5000);
    folder.write("font.bmp", wrong);
    EXPECT_EQ(loadFont(), -1);
    for (int i = 0; i < 8 * 8 * 320; ++i) ASSERT_EQ(game.glyphStrip[i], 0) << i;
    folder.write("Font.BMP", image);  // found without regard to case
    std::remove(folder.path("font.bmp").c_str());
    EXPECT_EQ(loadFont(), 0);
    freeFont();
}

TEST(ScaleFont, CountsAQuarterOfEachSquareAndKeepsGlyphsInTheirCells)
{
    // At scale 8 a square is 2.5 source pixels wide, in whole pixels 2 or 3; it needs a quarter
    // of 6.25 pixels, so one inked pixel is too little and two are enough.
    std::vector<uint8_t> ink(size_t(fontImageWidth) * fontCellHeight, 0);
    ink[20] = 1;                                                // glyph 1, top left
    ink[40] = ink[41] = 1;                                      // glyph 2, top left
    ink[size_t(39) * fontImageWidth + 59] = 1;                  // glyph 2, bottom right
    ink[size_t(39) * fontImageWidth + 58] = 1;
    std::vector<uint8_t> strip(8 * 8 * 320);
    scaleFont(ink, 8, strip.data());
    int stripWidth = 160 * 8;
    EXPECT_EQ(strip[8], 0);
    EXPECT_EQ(strip[16], 1);
    EXPECT_EQ(strip[17], 0);
    EXPECT_EQ(strip[15 * stripWidth + 23], 1);  // the glyph's last pixel, inside its own cell
    EXPECT_EQ(strip[15 * stripWidth + 24], 0);
    std::vector<uint8_t> big(32 * 32 * 320);
    scaleFont(ink, 32, big.data());  // finer than the source: each pixel samples one
    EXPECT_EQ(big[32], 1);
    EXPECT_EQ(big[33], 1);
    EXPECT_EQ(big[34], 0);
}

namespace {

class Text : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        folder.write("font.bmp", fontFileImage(barFont()));
        ASSERT_EQ(loadFont(), 0);
        fillRect(nullptr, 0);
        ASSERT_TRUE(lockDraw());
    }
    void TearDown() override { freeFont(); }
    TempGameFolder folder;
    Screen screen{640, 480};
};

}  // namespace

TEST_F(Text, BlanksAdvanceOneCellAndAccentedBytesUseTheirGlyphs)
{
    std::string s = std::string("! \t") + char(150) + "!" + char(233);
    drawText(s, 16, 16, 5, 0);
    EXPECT_GT(cellInk(16, 16), 0);
    for (int cell = 1; cell <= 3; ++cell) EXPECT_EQ(cellInk(16 + 8 * cell, 16), 0) << cell;
    EXPECT_EQ(cellInk(16 + 32, 16), cellInk(16, 16));
    // Glyph 137 is a bar of 137 % 19 + 1 = 5 source columns: 2 columns at scale 8.
    std::vector<uint8_t> strip(8 * 8 * 320);
    scaleFont(barFont(), 8, strip.data());
    int expected = 0;
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 8; ++i) expected += strip[j * 1280 + 137 * 8 + i];
    EXPECT_EQ(cellInk(16 + 40, 16), expected);
    EXPECT_GT(expected, 0);
    drawText(std::string("!\0!", 3), 100, 100, 5, 0);  // stops at the NUL
    EXPECT_EQ(cellInk(108, 100), 0);
}

TEST_F(Text, ShadowsFallBelowRightAndTheGlyphCoversItsOwn)
{
    drawText("!", 100, 100, 5, 9);  // glyph 1: a bar of 2 source columns, 1 pixel at scale 8
    EXPECT_EQ(Screen::at(100, 100), 5);
    EXPECT_EQ(Screen::at(101, 101), 9);
    EXPECT_EQ(Screen::at(101, 100), 0);
    EXPECT_EQ(Screen::at(100, 116), 0);   // 2 guiScale rows, then nothing
    EXPECT_EQ(Screen::at(101, 116), 9);   // but the shadow reaches one row further
    drawText("2", 200, 100, 5, 9);       // glyph 18, a full-width bar: its shadow hides under its ink
    EXPECT_EQ(Screen::at(201, 101), 5);
}

TEST_F(Text, BoxesCentreAndClip)
{
    TextBox box{100, 100, 139, 139};  // 40 x 40
    drawTextInBox("!!", box, 6, centreHorizontally | centreVertically);
    // (139 - 16 - 100) / 2 = 11 across, (139 - 16 - 100) / 2 = 11 down
    EXPECT_EQ(Screen::at(111, 111), 6);
    EXPECT_EQ(Screen::at(110, 111), 0);
    EXPECT_EQ(Screen::at(111, 110), 0);
    fillRect(nullptr, 0);
    TextBox narrow{100, 100, 103, 105};
    drawTextInBox("ZZZZ", narrow, 7, 0);
    for (int y = 95; y < 130; ++y)
        for (int x = 95; x < 140; ++x)
            if (x < 100 || x > 103 || y < 100 || y > 105) {
                ASSERT_EQ(Screen::at(x, y), 0) << x << "," << y;
            }
    EXPECT_EQ(Screen::at(100, 100), 7);
    drawText("2222", 630, 470, 7, 9);  // off the right and bottom edges: cut, not written past
    EXPECT_EQ(Screen::at(639, 479), 7);
}
