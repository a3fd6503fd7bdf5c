// The screenshot's bitmap and its JPEG copy.
#include "compose.h"
#include "zipper_picture.h"

#include "jpeg_reader.h"

static void expectPixel(const Picture& p, int x, int y, int r, int g, int b, int tolerance = 0)
{
    const uint8_t* px = p.rgb.data() + (size_t(y) * p.width + x) * 3;
    EXPECT_NEAR(px[0], r, tolerance) << x << "," << y;
    EXPECT_NEAR(px[1], g, tolerance) << x << "," << y;
    EXPECT_NEAR(px[2], b, tolerance) << x << "," << y;
}

TEST(Bitmap, PalettedAndTrueColourPicturesBothWays)
{
    for (int bpp : {8, 24}) {
        for (bool topDown : {false, true}) {
            Bytes b = composeBmp(13, 7, bpp, topDown);  // odd width: padded rows
            Picture p;
            ASSERT_TRUE(decodeBmp(b.data(), b.size(), p)) << bpp;
            ASSERT_EQ(p.width, 13);
            ASSERT_EQ(p.height, 7);
            expectPixel(p, 0, 0, 0, 0, 100);
            expectPixel(p, 12, 6, 12 * 8, 6 * 8, 100);
            expectPixel(p, 5, 3, 40, 24, 100);
        }
    }
}

TEST(Bitmap, BrokenFilesAreRefusedWithoutReadingPastThem)
{
    Bytes whole = composeBmp(16, 16, 8);
    Picture p;
    for (size_t size = 0; size < whole.size(); size += 7) {
        Bytes cut(whole.begin(), whole.begin() + long(size));
        EXPECT_FALSE(decodeBmp(cut.data(), cut.size(), p)) << size;
    }
    Bytes b = whole;
    putU32(b, 18, 100000);  // wider than the file
    EXPECT_FALSE(decodeBmp(b.data(), b.size(), p));
    b = whole;
    putU32(b, 22, 0x80000000u);  // the most negative height
    EXPECT_FALSE(decodeBmp(b.data(), b.size(), p));
    b = whole;
    putU32(b, 10, 0xFFFFFFF0u);  // pixels beyond the file
    EXPECT_FALSE(decodeBmp(b.data(), b.size(), p));
    b = whole;
    putU32(b, 30, 1);  // run-length compressed
    EXPECT_FALSE(decodeBmp(b.data(), b.size(), p));
    // Colours beyond those the header counts are black.
    b = whole;
    putU32(b, 46, 2);  // two colours used
    ASSERT_TRUE(decodeBmp(b.data(), b.size(), p));
    expectPixel(p, 1, 0, 8, 0, 100);
    expectPixel(p, 2, 0, 0, 0, 0);
}

TEST(Jpeg, TheSamePictureAtTheSameSize)
{
    Bytes b = composeBmp(32, 24, 24);
    Picture p;
    ASSERT_TRUE(decodeBmp(b.data(), b.size(), p));
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(encodeJpeg(p, 90, jpeg));
    ASSERT_GT(jpeg.size(), 2u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    Picture back;
    ASSERT_TRUE(decodeJpeg(jpeg, back.width, back.height, back.rgb));
    ASSERT_EQ(back.width, 32);
    ASSERT_EQ(back.height, 24);
    expectPixel(back, 4, 4, 32, 32, 100, 12);
    expectPixel(back, 28, 20, 224, 160, 100, 12);

    Picture empty;
    EXPECT_FALSE(encodeJpeg(empty, 90, jpeg));
    Picture wrong = p;
    wrong.rgb.pop_back();
    EXPECT_FALSE(encodeJpeg(wrong, 90, jpeg));
}
