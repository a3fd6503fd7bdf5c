#include "audio/sound.h"
#include "audio/sound_registry.h"
#include "race/race_frame.h"
#include "race/replay_buffer.h"
#include "replay/replay_controls.h"
#include "replay/replay_playback.h"
#include "replay/replay_screen.h"
#include "state/game_state.h"
#include "support/harness.h"
#include "support/race_fixture.h"
#include "ui/screen_actions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

int pauses = 0;
void countPause() { ++pauses; }

// The replay pictures drawn, and where the first car stood in the last.
int pictures = 0;
float pictureX = 0;
void notePicture(int)
{
    ++pictures;
    pictureX = game.cars[0].positionVector.x;
    replayLandingShown();
}

// Two cars whose rings hold 25 frames recorded at x = 3 m per frame: a ring of 20 that has
// wrapped, so frame 0 of the replay is the sixth recorded.
class ReplayPlayback : public RaceInputTest {
protected:
    ReplayPlayback() : RaceInputTest(5000) {}
    void SetUp() override
    {
        RaceInputTest::SetUp();
        pauses = 0;
        game.carCount = 2;
        game.replayFrameStep = 5;
        game.replayLength = 1;
        game.racePhase = Racing;
        game.startLight = -1;
        game.raceRunning = 1;
        game.stepMs = 10;
        for (int car = 0; car < maxCars; ++car) {
            game.cars[car] = CarState{};
            game.carModels[car] = CarModel{};
            game.engineSound[car] = 0;
        }
        game.carModels[0].wheelPositions[1] = Vec3{1, -0.5f, 2};
        setupReplay(5, 0);
        for (int frame = 0; frame < 25; ++frame) {
            for (int car = 0; car < 2; ++car) {
                CarState& c = game.cars[car];
                c.positionVector = Vec3{3.0f * frame, 2, 10.0f + car};
                c.rightAxis = Vec3{1, 0, 0};
                c.forwardAxis = frame % 2 ? Vec3{0, 0, 1} : Vec3{0, 0, -1};
                c.wheelPoints[1].y = 0.5f * car;
                c.wheelSpeed = float(frame);
            }
            for (int s = 0; s < 5; ++s) recordReplayFrame();
        }
    }
    void TearDown() override
    {
        for (int32_t& h : game.engineSound) {
            freeSound(h);
            h = 0;
        }
        freeReplay();
        RaceInputTest::TearDown();
        game.carCount = 0;
        game.racePhase = WaitForKey;
    }
    // One press of a key between steps of playback.
    void press(SDLKey key)
    {
        keys[key] = 1;
        replayStep();
        keys[key] = 0;
        replayStep();
    }
    std::string rate() { return std::to_string(game.replay.rateNumerator) + ":" + std::to_string(game.replay.rateDenominator); }
};

TEST_F(ReplayPlayback, KeypadPlusAndMinusStepTheRateOncePerPress)
{
    startReplay();
    ASSERT_EQ(game.racePhase, Replay);
    game.replay.direction = 0;  // the position stays put
    std::string faster;
    for (int i = 0; i < 8; ++i) press(SDLK_KP_PLUS), faster += rate() + " ";
    EXPECT_EQ(faster, "2:1 3:1 4:1 5:1 6:1 7:1 8:1 8:1 ");
    // Held over many steps it is still one press.
    for (int i = 0; i < 6; ++i) press(SDLK_KP_MINUS);
    keys[SDLK_KP_MINUS] = 1;
    for (int i = 0; i < 5; ++i) replayStep();
    keys[SDLK_KP_MINUS] = 0;
    replayStep();
    EXPECT_EQ(rate(), "1:1");
    std::string slower;
    for (int i = 0; i < 8; ++i) press(SDLK_KP_MINUS), slower += rate() + " ";
    EXPECT_EQ(slower, "1:2 1:3 1:4 1:5 1:6 1:7 1:8 1:8 ");
    for (int i = 0; i < 9; ++i) replayFaster();
    EXPECT_EQ(rate(), "3:1");
    replaySlower();
    EXPECT_EQ(rate(), "2:1");

    // The speed: the rate times the direction, four times it with a fast key held.
    keys[SDLK_LEFT] = 1;
    replayStep();
    EXPECT_FLOAT_EQ(game.replay.speed, -2);
    EXPECT_EQ(replayRateText(), "-2:1");
    keys[SDLK_PAGEUP] = 1;
    replayStep();
    EXPECT_FLOAT_EQ(game.replay.speed, 8);
    EXPECT_EQ(replayRateText(), " 2:1");
}

TEST_F(ReplayPlayback, PositionsFollowTheRingThroughItsWrap)
{
    const ReplayState& r = game.replay;
    ASSERT_EQ(r.frameCount, 20);
    ASSERT_EQ(r.start, 5);
    // Frame i of the replay is recorded frame i + 5; on a straight line the spline is the
    // line itself, at the frames and between them.
    for (float p : {0.0f, 3.0f, 7.25f, 14.0f, 14.5f, 16.8f, 19.0f}) {
        placeReplayCars(p);
        EXPECT_NEAR(game.cars[0].positionVector.x, 3 * (p + 5), 1e-3f) << p;
        EXPECT_NEAR(game.cars[1].positionVector.z, 11, 1e-3f) << p;
    }
    // Axes blend between frames; the third is the cross product of the two stored.
    placeReplayCars(4.0f);
    const CarState& c = game.cars[0];
    EXPECT_NEAR(c.forwardAxis.z, 1, 1e-6f);  // recorded frame 9: odd
    EXPECT_NEAR(c.upAxis.y, 1, 1e-6f);        // forward x right
    placeReplayCars(4.25f);
    EXPECT_NEAR(c.forwardAxis.z, 0.5f, 1e-6f);
    // The wheel point from the model, on the ground the frame recorded under it.
    placeReplayCars(3.0f);
    EXPECT_NEAR(c.wheelPoints[1].x, c.positionVector.x + 1, 1e-4f);
    EXPECT_NEAR(c.wheelPoints[1].z, c.positionVector.z - 2, 1e-4f);  // forward (0, 0, -1)
    EXPECT_NEAR(game.cars[1].wheelPoints[1].y, 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(c.wheelSpeed, 8);
}

TEST_F(ReplayPlayback, EndsHoldThePositionAndShowNothing)
{
    startReplay();
    ReplayState& r = game.replay;
    float end = 20 - 1.0f / 5;
    EXPECT_FLOAT_EQ(replayEndPosition(), end);
    EXPECT_EQ(replayTimeText(), "  0:00");
    keys[SDLK_END] = 1;
    EXPECT_TRUE(replayStep());  // the jump is shown, though forward play holds at the end
    keys[SDLK_END] = 0;
    EXPECT_FLOAT_EQ(r.position, end);
    EXPECT_NEAR(game.cars[0].positionVector.x, 3 * 24, 0.1f);  // the newest frame held
    EXPECT_EQ(replayTimeText(), "  0:00");  // 99 steps: under a second
    keys[SDLK_LEFT] = 1;
    EXPECT_TRUE(replayStep());
    EXPECT_FLOAT_EQ(r.position, end - 0.2f);
    keys[SDLK_HOME] = 1;
    replayLandingShown();
    EXPECT_TRUE(replayStep());  // the jump is shown, though backwards play holds at the start
    replayLandingShown();
    EXPECT_FALSE(replayStep());  // from 0 backwards: below the start
    EXPECT_EQ(r.position, 0);
    keys[SDLK_HOME] = keys[SDLK_LEFT] = 0;
    keys[SDLK_DOWN] = 1;
    EXPECT_TRUE(replayStep());  // stopped at the start is still a frame to show
    keys[SDLK_DOWN] = 0;
    keys[SDLK_PAGEUP] = 1;
    EXPECT_TRUE(replayStep());
    EXPECT_FLOAT_EQ(r.position, 0.8f);
    keys[SDLK_PAGEUP] = 0;
    r.position = std::nanf("");  // an odd position never reaches an index
    EXPECT_TRUE(replayStep());  // stopped since Down
    EXPECT_EQ(r.position, 0);

    // An empty replay has nothing to show and cannot be started.
    freeReplay();
    EXPECT_FALSE(replayRecorded());
    EXPECT_FALSE(replayStep());
}

TEST_F(ReplayPlayback, HomeAndEndArePicturedWhereTheyLandThoughPlaybackHoldsThere)
{
    startReplay();
    game.raceHooks.drawReplay = notePicture;
    pictures = 0;
    game.lastTick = clock.now();
    auto pass = [this] {
        clock.advance(3 * game.stepMs);
        raceFrame();
    };
    game.replay.position = 10;
    holdKey(SDLK_END, true);  // playing forward
    pass();
    holdKey(SDLK_END, false);
    EXPECT_EQ(pictures, 1);
    EXPECT_NEAR(pictureX, 3 * 24, 0.1f);  // the newest frame
    pass();
    EXPECT_EQ(pictures, 1);  // held at the end: nothing new
    holdKey(SDLK_LEFT, true);  // playing backwards
    holdKey(SDLK_HOME, true);
    pass();
    releaseAllKeys();
    EXPECT_EQ(pictures, 2);
    EXPECT_NEAR(pictureX, 3 * 5, 0.1f);  // the oldest frame
}

TEST_F(ReplayPlayback, CarsComeBackExactlyWhenPlaybackEnds)
{
    for (int car = 0; car < maxCars; ++car) std::memset(static_cast<void*>(&game.cars[car]), 0x30 + car, sizeof(CarState));
    CarState before[maxCars];
    std::memcpy(before, game.cars, sizeof before);
    game.startLight = 2;
    startReplay();
    EXPECT_EQ(game.startLight, -1);
    keys[SDLK_c] = 1;  // half a cut, dropped by Escape
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(replayStep());
    keys[SDLK_c] = 0;
    EXPECT_NE(std::memcmp(before, game.cars, sizeof before), 0);
    EXPECT_GE(game.replay.cutBegin, 0);

    // Escape is held through ReplayEnd; the race comes back once it is let go.
    holdKey(SDLK_ESCAPE, true);
    raceStep();
    EXPECT_EQ(game.racePhase, ReplayEnd);
    raceStep();
    EXPECT_EQ(game.racePhase, ReplayEnd);
    holdKey(SDLK_ESCAPE, false);
    raceStep();
    EXPECT_EQ(game.racePhase, Countdown);  // a resumed race shows the lights again
    EXPECT_EQ(game.startLight, 2);
    EXPECT_EQ(std::memcmp(before, game.cars, sizeof before), 0);
    EXPECT_EQ(game.replay.cutBegin, -1);
    EXPECT_EQ(game.replay.cutEnd, -1);
    EXPECT_EQ(pauses, 0);
}

TEST_F(ReplayPlayback, SecondCutPressEndsPlaybackIntoThePausedRace)
{
    game.raceHooks.pauseMenu = countPause;
    CarState before = game.cars[0];
    startReplay();
    ReplayState& r = game.replay;
    r.position = 12;
    keys[SDLK_c] = 1;
    replayStep();
    replayStep();  // held: no second press
    keys[SDLK_c] = 0;
    keys[SDLK_LEFT] = 1;  // marked backwards: the same stretch
    for (int i = 0; i < 20; ++i) replayStep();
    EXPECT_EQ(game.racePhase, Replay);
    keys[SDLK_c] = 1;
    EXPECT_FALSE(replayStep());
    // Begun at 12, two steps on, twenty back: ended at 8.4.
    EXPECT_NEAR(r.cutBegin, 8.4f, 1e-4f);
    EXPECT_FLOAT_EQ(r.cutEnd, 12);
    EXPECT_EQ(game.racePhase, Racing);
    EXPECT_EQ(game.raceRunning, 0);
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(std::memcmp(&before, &game.cars[0], sizeof before), 0);
}

TEST_F(ReplayPlayback, EnginesFollowOnlyNormalForwardPlay)
{
    for (int car = 0; car < 2; ++car) game.engineSound[car] = registerSound(newSound(new SampleData{new int16_t[16](), 16, 0}));
    game.options.engineVolume = 100;
    game.carModels[0].topSpeed = game.carModels[1].topSpeed = 50;
    startReplay();
    game.replay.position = 5;
    auto volume = [](int car) { return soundAt(game.engineSound[car])->volume; };
    EXPECT_TRUE(replayStep());
    EXPECT_GT(volume(0), 0);
    EXPECT_GT(volume(1), 0);
    replayFaster();
    replayStep();
    EXPECT_EQ(volume(0), 0);
    replaySlower();
    replayStep();
    EXPECT_GT(volume(1), 0);
    keys[SDLK_LEFT] = 1;
    replayStep();
    EXPECT_EQ(volume(1), 0);
    keys[SDLK_LEFT] = 0;
    keys[SDLK_RIGHT] = keys[SDLK_PAGEUP] = 1;
    replayStep();
    EXPECT_EQ(volume(0), 0);
    keys[SDLK_PAGEUP] = 0;
    replayStep();
    EXPECT_GT(volume(0), 0);
    keys[SDLK_ESCAPE] = 1;
    EXPECT_FALSE(replayStep());
    EXPECT_EQ(volume(0), 0);
    EXPECT_EQ(game.racePhase, ReplayEnd);
    EXPECT_EQ(game.replay.rateNumerator, 1);
}

}  // namespace
