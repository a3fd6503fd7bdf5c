#include "race/replay_buffer.h"
#include "state/game_state.h"

#include <gtest/gtest.h>

class ReplayBufferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        game.carCount = 2;
        game.replayFrameStep = 5;
        game.replayLength = 10;
    }
    void TearDown() override { freeReplay(); }
};

TEST_F(ReplayBufferTest, SizesFromTheSettingsAndClampsOddOnes)
{
    setupReplay(0, 0);
    EXPECT_EQ(game.replay.frameStep, 5);
    EXPECT_EQ(game.replay.capacity, 200);  // 20 frames a second for 10 s
    EXPECT_NE(game.replay.frames[1], nullptr);
    EXPECT_EQ(game.replay.frames[2], nullptr);

    game.replayFrameStep = 0;
    setupReplay(0, 0);
    EXPECT_EQ(game.replay.frameStep, 1);
    EXPECT_EQ(game.replay.capacity, 1000);
    game.replayFrameStep = 500;
    setupReplay(0, 0);
    EXPECT_EQ(game.replay.frameStep, 100);
    EXPECT_EQ(game.replay.capacity, 10);  // 10 s at one frame a second, raised to the floor

    game.replayLength = 2000000000;
    setupReplay(1, 0);
    EXPECT_EQ(game.replay.capacity, 360000);
    setupReplay(7, 400000);  // a loaded replay may need more than the settings give
    EXPECT_EQ(game.replay.capacity, 400000);
}

TEST_F(ReplayBufferTest, RingKeepsTheNewestFramesInOrder)
{
    setupReplay(5, 0);
    int steps = 0;
    // 250 frames into a ring of 200: the oldest 50 drop out.
    for (int frame = 0; frame < 250; ++frame)
        for (int s = 0; s < 5; ++s) {
            game.cars[0].positionVector = {frame * 0.1f, 1, 2};
            game.cars[1].rightAxis = {-1, 0, 0};
            game.cars[1].wheelPoints[2].y = 40;  // above the range: clamped
            recordReplayFrame();
            ++steps;
        }
    const ReplayState& r = game.replay;
    EXPECT_EQ(r.frameCount, 200);
    EXPECT_EQ(r.start, 50);
    // The first call records, then every fifth: frame k holds the value set at step 5k.
    EXPECT_EQ(r.frames[0][r.start].position[0], static_cast<uint16_t>(50 * 0.1f * 150 + 0.5f));
    EXPECT_EQ(r.frames[0][(r.start + 199) % r.capacity].position[0], static_cast<uint16_t>(249 * 0.1f * 150 + 0.5f));
    EXPECT_EQ(r.frames[1][0].right[0], -119);  // -1 * 120 + 0.5 truncated
    EXPECT_EQ(r.frames[1][0].wheelHeight[2], 255);
    EXPECT_EQ(r.frames[0][0].flag, 0);
}
