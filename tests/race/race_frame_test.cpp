#include "race/race_frame.h"
#include "race/race_pause.h"
#include "race/race_screens.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "support/harness.h"
#include "support/race_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

int hookCalls[4];
void countPause() { ++hookCalls[0]; }
void countLeave() { ++hookCalls[1]; game.raceRunning = 0; }
void countFinal() { ++hookCalls[2]; game.racePhase = FinalHeld; }

// The race frame over a hand-made race without cars: what runs is the timing and the phase
// machine alone.
class RaceFrame : public RaceInputTest {
protected:
    RaceFrame() : RaceInputTest(5000) {}
    void SetUp() override
    {
        RaceInputTest::SetUp();
        std::memset(hookCalls, 0, sizeof hookCalls);
        game.carCount = 0;
        game.alternativeSpeedSetting = 0;
        game.options.stepRate = 100;
        game.stepMs = 10;
        game.raceRunning = 1;
        game.racePhase = Racing;
        game.phaseCounter = 71;
        game.raceClock = 1;
        game.raceLaps = 5;
        game.leaderLaps = 0;
        game.seasonRace = 0;
        game.seasonRaceCount = 1;
        game.startLight = -1;
        for (int i = 0; i < maxCars; ++i) {
            game.runningOrder[i] = i;
            game.cars[i] = CarState{};
        }
        game.lastTick = DrivenTicks::now();
        game.pendingMs = 0;
    }
    // A key as the player holds it: in SDL's state, and in the snapshot as a step takes it.
    void hold(SDLKey key, bool down)
    {
        holdKey(key, down);
        if (key < SDLK_NUMLOCK || key > SDLK_SCROLLOCK) keys[key] = down;
    }

    // One pass after ms of real time; the steps it ran, counted on the race clock.
    int pass(uint32_t ms)
    {
        clock.advance(ms);
        int before = game.raceClock;
        raceFrame();
        return game.raceClock - before;
    }
};

TEST_F(RaceFrame, AStallRunsTwentyStepsAndDropsTheRest)
{
    EXPECT_EQ(pass(250), 20);
    EXPECT_EQ(game.pendingMs, 0u);
    EXPECT_EQ(game.lastTick, DrivenTicks::now());
    // The 50 ms beyond the cap are gone for good.
    EXPECT_EQ(pass(0), 0);
    EXPECT_EQ(pass(9), 0);
    EXPECT_EQ(pass(1), 1);
}

TEST_F(RaceFrame, QuarterStepPassesAlternateTwoAndThreeSteps)
{
    int total = 0;
    for (int i = 0; i < 8; ++i) {
        int steps = pass(25);
        EXPECT_EQ(steps, i % 2 == 0 ? 2 : 3) << "pass " << i;
        total += steps;
    }
    EXPECT_EQ(total, 20);
}

TEST_F(RaceFrame, TheAlternativeSettingMeasuresTheRemainderFromTheLastStep)
{
    game.alternativeSpeedSetting = 1;
    EXPECT_EQ(pass(25), 2);
    EXPECT_EQ(game.pendingMs, 5u);
    EXPECT_EQ(game.lastTick, DrivenTicks::now() - 5);
    EXPECT_EQ(pass(25), 3);
    // A zero step length from a broken rate is not divided by.
    game.stepMs = 0;
    game.options.stepRate = 0;
    EXPECT_EQ(pass(30), 3);
}

TEST_F(RaceFrame, OnlyARealKeyStartsTheCountdown)
{
    game.racePhase = WaitForKey;
    hold(SDLK_CAPSLOCK, true);
    hold(SDLK_F11, true);
    hold(SDLK_F12, true);
    pass(100);
    EXPECT_EQ(game.racePhase, WaitForKey);
    hold(SDLK_SPACE, true);
    pass(10);
    EXPECT_EQ(game.racePhase, Countdown);
    EXPECT_EQ(game.phaseCounter, 0);
}

TEST_F(RaceFrame, AResumeShowsTheLightsAgainWhileTheClockStands)
{
    game.carCount = 1;
    game.raceClock = 12345;
    game.cars[0].controls[0] = SDLK_UP;
    game.cars[0].revvingCounter = 7;
    hold(SDLK_UP, true);
    resumeRace();
    EXPECT_EQ(game.racePhase, Countdown);
    EXPECT_EQ(game.phaseCounter, 0);
    EXPECT_EQ(game.raceRunning, 1);
    int firstSeen[4] = {-1, -1, -1, -1};
    for (int step = 0; step < 211; ++step) {
        ASSERT_EQ(game.racePhase, Countdown) << "step " << step;
        raceStep();
        if (game.startLight >= 0 && firstSeen[game.startLight] < 0) firstSeen[game.startLight] = step;
    }
    EXPECT_EQ(game.racePhase, Racing);
    EXPECT_EQ(firstSeen[0], 0);
    EXPECT_EQ(firstSeen[1], 70);
    EXPECT_EQ(firstSeen[2], 140);
    EXPECT_EQ(firstSeen[3], 210);
    EXPECT_EQ(game.raceClock, 12345);
    EXPECT_EQ(game.cars[0].revvingCounter, 7);  // a resumed race costs no revving penalty
}

TEST_F(RaceFrame, TheClockStopsSixtySecondsAfterTheWinnerAndTheResultsFollow)
{
    game.leaderLaps = game.raceLaps;
    game.runningOrder[0] = 2;
    game.cars[2].lastCrossing = 1000;
    game.raceClock = 1000;
    game.raceHooks.showFinalStandings = countFinal;
    int steps = 0;
    while (game.racePhase == Racing && steps < 10000) raceStep(), ++steps;
    EXPECT_EQ(game.racePhase, Finishing);
    EXPECT_EQ(game.raceClock, 7000);  // the step that ends the race does not count
    EXPECT_EQ(steps, 6001);
    steps = 0;
    while (game.racePhase == Finishing && steps < 1000) raceStep(), ++steps;
    EXPECT_EQ(steps, 200);
    EXPECT_EQ(game.racePhase, RaceOver);
    EXPECT_FALSE(raceStep());
    EXPECT_EQ(game.racePhase, ResultsShown);
    // Results wait for a key; the last race of a season goes on to the final standings.
    raceStep();
    EXPECT_EQ(hookCalls[2], 0);
    hold(SDLK_RETURN, true);
    raceStep();
    EXPECT_EQ(hookCalls[2], 1);
    EXPECT_EQ(game.racePhase, FinalHeld);
}

TEST_F(RaceFrame, TheLeaderStillRacingKeepsTheClockGoingPastSixtySeconds)
{
    game.leaderLaps = game.raceLaps - 1;
    game.cars[0].lastCrossing = 0;
    game.raceClock = 9000;
    for (int i = 0; i < 100; ++i) raceStep();
    EXPECT_EQ(game.racePhase, Racing);
    EXPECT_EQ(game.raceClock, 9100);
    // A running order without a leader does not read outside the cars.
    game.leaderLaps = game.raceLaps;
    game.runningOrder[0] = -1;
    raceStep();
    EXPECT_EQ(game.racePhase, Finishing);
}

TEST_F(RaceFrame, EscapePausesAtOnceAndEndsAnUndecidedRace)
{
    game.raceHooks.pauseMenu = countPause;
    hold(SDLK_ESCAPE, true);
    EXPECT_EQ(pass(100), 0);
    EXPECT_EQ(hookCalls[0], 1);  // one pause, then the pass ended
    EXPECT_EQ(game.raceRunning, 0);

    // Without a pause menu the race ends as "End race" ends it: abandoned while undecided ...
    game.raceHooks = RaceHooks{};
    game.raceHooks.leaveRace = countLeave;
    game.raceRunning = 1;
    pass(10);
    EXPECT_EQ(hookCalls[1], 1);
    // ... and on to its results once the leader has finished.
    game.raceRunning = 1;
    game.leaderLaps = game.raceLaps;
    game.startLight = 2;
    pass(10);
    EXPECT_EQ(game.racePhase, RaceOver);
    EXPECT_EQ(game.startLight, -1);
    EXPECT_EQ(game.raceRunning, 1);
    EXPECT_EQ(game.pendingMs, 0u);
}

TEST_F(RaceFrame, FinalStandingsWaitForTheKeysToComeUpAndSendUpFireworks)
{
    std::srand(3);
    fillRandomTable();
    allocateParticleRing();
    clearParticles();
    game.options.effects = particleRingSize;
    game.trackSize = 100;
    game.racePhase = FinalHeld;
    game.fireworksDelay = 0;
    game.raceHooks.leaveRace = countLeave;
    hold(SDLK_SPACE, true);
    for (int i = 0; i < 300; ++i) raceStep();
    EXPECT_EQ(game.racePhase, FinalHeld);
    int shells = 0;
    for (int i = 0; i < particleRingSize; ++i) {
        const Particle& p = game.particles[i];
        if (p.life == 0) continue;
        ++shells;
        EXPECT_GE(p.type, 9);
        EXPECT_LE(p.type, 13);
        EXPECT_EQ(p.life, 100);
        EXPECT_FLOAT_EQ(p.velocity.y, 30.0f);
        EXPECT_GE(p.position.x, 0.0f);
        EXPECT_LT(p.position.x, 100.0f);
    }
    EXPECT_GT(shells, 0);
    hold(SDLK_SPACE, false);
    raceStep();
    EXPECT_EQ(game.racePhase, FinalShown);
    EXPECT_EQ(hookCalls[1], 0);
    hold(SDLK_SPACE, true);
    EXPECT_FALSE(raceStep());
    EXPECT_EQ(hookCalls[1], 1);
    // Escape does not pause over the final standings.
    game.racePhase = FinalHeld;
    hold(SDLK_SPACE, false);
    hold(SDLK_ESCAPE, true);
    raceStep();
    EXPECT_EQ(game.racePhase, FinalHeld);
}

TEST(RaceSounds, SkidAndImpactLevelsFollowTheVolumeLaw)
{
    EXPECT_EQ(effectVolume(1e8f, 100), 128);
    EXPECT_EQ(effectVolume(1e12f, 100), 128);  // capped at 1e8
    EXPECT_EQ(effectVolume(0, 100), 0);
    EXPECT_EQ(effectVolume(1e8f, 0), 0);
    // 80 % of 1e8: the menu volume 80 plays at 114 of 128.
    EXPECT_EQ(effectVolume(1e8f, 80), 114);
    EXPECT_EQ(effectVolume(std::numeric_limits<float>::quiet_NaN(), 100), 0);
    EXPECT_EQ(effectVolume(-5, 100), 0);
    EXPECT_EQ(stepMsFor(100), 10);
    EXPECT_EQ(stepMsFor(30), 33);
    EXPECT_EQ(stepMsFor(0), 10);
}

TEST(RaceResultsFromCars, GapsLapsBehindAndTheRecordRank)
{
    game.carCount = 3;
    game.raceLaps = 3;
    game.lapLength = 1000;
    const int order[3] = {2, 0, 1};
    for (int p = 0; p < 3; ++p) game.runningOrder[p] = order[p];
    std::strcpy(game.driverNames[0], "Ann");
    std::strcpy(game.driverNames[1], "Bob");
    std::strcpy(game.driverNames[2], "Cyd");
    game.cars[2].laps = 3, game.cars[2].lastCrossing = 9000, game.cars[2].bestLap = 2900;
    game.cars[0].laps = 3, game.cars[0].lastCrossing = 9250, game.cars[0].bestLap = 2950;
    game.cars[1].laps = 1, game.cars[1].lastCrossing = 4000, game.cars[1].bestLap = 4000;
    game.fastestLapTime = 2900;
    game.fastestLapCar = 2;
    game.trackRecordCar = 2;
    game.trackRecords.time[0] = 2900;
    RaceResults r = raceResults();
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_FALSE(r.timeTrial);
    EXPECT_EQ(r.lines[0].name, "Cyd");
    EXPECT_EQ(r.lines[0].totalTime, 9000);
    EXPECT_EQ(r.lines[1].gap, 250);
    EXPECT_EQ(r.lines[1].lapsBehind, 0);
    EXPECT_EQ(r.lines[2].lapsBehind, 2);
    EXPECT_EQ(r.fastestLapHolder, "Cyd");
    EXPECT_EQ(r.fastestLapRank, 0);
    // The record was beaten later by someone else: the fastest lap is no longer a record.
    game.trackRecords.time[0] = 2800;
    EXPECT_EQ(raceResults().fastestLapRank, -1);

    RaceInformation info = raceInformation();
    EXPECT_EQ(info.laps, 3);
    EXPECT_EQ(info.distanceMetres, 3000u);
    EXPECT_EQ(info.recordTime, 2800);
}

}  // namespace
