// The picture comes back from the JPEG at its size and close to its colours.
#include "jpeg_reader.h"
#include "jpeg_writer.h"

#include <gtest/gtest.h>

TEST(JpegWriter, APictureComesBackAtItsSizeAndColours)
{
    // Left half red, right half blue: wide enough blocks that compression keeps them.
    const int w = 48, h = 16;
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = x < w / 2 ? 200 : 20;
            p[2] = x < w / 2 ? 20 : 200;
        }
    }
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(encodeRgbJpeg(rgb.data(), rgb.size(), w, h, 90, jpeg));
    int bw = 0, bh = 0;
    std::vector<uint8_t> back;
    ASSERT_TRUE(decodeJpeg(jpeg, bw, bh, back));
    ASSERT_EQ(bw, w);
    ASSERT_EQ(bh, h);
    EXPECT_NEAR(back[(8 * w + 4) * 3], 200, 12);
    EXPECT_NEAR(back[(8 * w + 44) * 3 + 2], 200, 12);
}

TEST(JpegWriter, SizesThatDoNotFitThePixelsLeaveTheOutputAlone)
{
    std::vector<uint8_t> rgb(4 * 4 * 3, 128);
    std::vector<uint8_t> out{1, 2, 3};
    EXPECT_FALSE(encodeRgbJpeg(rgb.data(), rgb.size() - 1, 4, 4, 90, out));
    EXPECT_FALSE(encodeRgbJpeg(rgb.data(), rgb.size(), 0, 4, 90, out));
    EXPECT_FALSE(encodeRgbJpeg(rgb.data(), rgb.size(), 4, -4, 90, out));
    EXPECT_FALSE(encodeRgbJpeg(nullptr, 0, 0, 0, 90, out));
    // Larger than libjpeg's limit of 65500 a side: its error fails the call, not the program.
    std::vector<uint8_t> wide(size_t(70000) * 3, 0);
    EXPECT_FALSE(encodeRgbJpeg(wide.data(), wide.size(), 70000, 1, 90, out));
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));
}
