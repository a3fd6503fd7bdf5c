#include "audio_fixture.h"

TEST_F(AudioDevice, LoadsPlainPcmConvertedToSixteenBitMonoAtTheDeviceRate)
{
    auto same = wav16({1, -2, 32767, -32768});
    Sound* s = loadWavFromMemory(same.data(), same.size());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->data->count, 4);
    EXPECT_EQ(s->data->samples[3], -32768);
    EXPECT_EQ(s->data->references, 1);
    EXPECT_FLOAT_EQ(s->rate, 1.0f);
    EXPECT_EQ(s->volume, 128);
    deleteSound(s);

    // 8-bit stereo at half the rate: twice the samples, one channel, silence stays silence.
    std::vector<uint8_t> pcm(2 * 500, 128);
    auto small = wavFile(pcm, {1, 2, 22050, 8});
    s = loadWavFromMemory(small.data(), small.size());
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(s->data->count, 1000, 4);
    EXPECT_EQ(s->data->samples[10], 0);
    deleteSound(s);
}

TEST_F(AudioDevice, SizesAFileDoesNotHoldAreCutToWhatItHolds)
{
    WavShape lying;
    lying.dataSize = 0x7FFFFFF0;
    auto bytes = wav16({5, 6, 7}, lying);
    Sound* s = loadWavFromMemory(bytes.data(), bytes.size());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->data->count, 3);
    deleteSound(s);

    // Half a sample at the end is dropped, not read past.
    bytes = wav16({5, 6, 7});
    bytes.push_back(9);
    s = loadWavFromMemory(bytes.data(), bytes.size());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->data->count, 3);
    deleteSound(s);
}

TEST_F(AudioDevice, RefusesWhatIsNoPlainPcmAndNeverReadsPastTheBuffer)
{
    auto good = wav16({1, 2, 3});
    // Every cut of a good file; the sanitizer build sees any read beyond it.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
        Sound* s = loadWavFromMemory(cut.data(), cut.size());
        if (s) {
            EXPECT_LE(s->data->count, 3);
        }
        deleteSound(s);
    }
    WavShape shapes[4];
    shapes[0].formatTag = 2;  // compressed
    shapes[1].bits = 24;
    shapes[2].channels = 0;
    shapes[3].rate = 1;
    for (auto& shape : shapes) {
        auto bytes = wavFile({0, 0, 0, 0}, shape);
        EXPECT_EQ(loadWavFromMemory(bytes.data(), bytes.size()), nullptr);
    }
    EXPECT_EQ(loadWavFromMemory(nullptr, 0), nullptr);
    EXPECT_EQ(loadWav("sounds\\none.wav"), nullptr);
}

TEST(WavLoader, NothingLoadsWhileTheDeviceIsClosed)
{
    TempGameFolder folder;
    folder.write("a.wav", wavOf(3, 10));
    EXPECT_EQ(loadWav("a.wav"), nullptr);
    EXPECT_EQ(loadSound("a.wav"), 0);
}
