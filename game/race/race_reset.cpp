#include "race/race_reset.h"

#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"

void resetRaceControl(const int startingOrder[], int carCount)
{
    game.raceClock = 0;
    game.leaderLaps = 0;
    game.fastestLapTime = emptyLapTime;
    game.fastestLapCar = -1;
    game.startLight = -1;
    clearParticles();
    for (int i = 0; i < maxCars; ++i) game.runningOrder[i] = i < carCount ? startingOrder[i] : i;
}

void resetCarForRace(int car, int gridPosition)
{
    CarState& c = game.cars[car];
    c.position = static_cast<uint8_t>(gridPosition);
    c.revvingCounter = 0;
    game.boxApproachSteps[car] = 0;
    c.serviceState = 0;
    c.laps = 0;
    c.nextCheckpoint = 0;
    c.lastCrossing = 0;
    c.lastLap = 0;
    c.bestLap = emptyLapTime;
    c.tyres = 65535;
    c.fuel = 65535;
    c.damage = 0;
    c.engineCountdown = 10;
    for (auto& d : c.wheelDirt) d = 0;
    c.upsideDownCounter = static_cast<int32_t>(20.0f * nextRandom());
    c.wheelSpeed = 0.2f;
    c.mass = game.carModels[car].mass + game.options.fuelMass * 65535.0f / 65536.0f;
    c.massFactor = 1200.0f / (c.mass + 200.0f);
    c.velocity = Vec3{};
    c.angularVelocity = Vec3{};
}
