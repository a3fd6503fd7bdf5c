#pragma once
// A flat square of ground for contact tests: cars of the built-in model standing on it and a
// plain step (gravity, integration and the contacts) to drive them.
#include "race/car_models.h"
#include "race/collisions.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "track/terrain_height.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

class ContactWorld : public ::testing::Test {
public:
    std::vector<uint8_t> heights = std::vector<uint8_t>(heightMapCells, 20);  // 1.0 m everywhere
    std::vector<uint8_t> surface = std::vector<uint8_t>(surfaceMapCells, 0);  // asphalt
    std::vector<TrackObject> objects;

    void SetUp() override
    {
        game.trackSize = 200;
        game.surfaceCell = game.trackSize / 512;
        game.heightCell = game.trackSize / 63;
        game.heightMap = heights.data();
        game.surfaceMap = surface.data();
        game.trackObjects = nullptr;
        game.objectCount = 0;
        game.carCount = 2;
        game.options.damage = 100;
        game.options.effects = 256;
        game.impactLevel = 0;
        allocateParticleRing();
        clearParticles();
        for (int car = 0; car < maxCars; ++car) place(car, {100, groundY(), 100}, {0, 0, 1});
    }

    void TearDown() override
    {
        game.heightMap = nullptr;
        game.surfaceMap = nullptr;
        game.trackObjects = nullptr;
        game.objectCount = 0;
        freeParticleRing();
    }

    static float groundY() { return 1.0f; }

    // A fresh car at rest with its centre at p, facing `forward` (horizontal).
    static void place(int car, Vec3 p, Vec3 forward)
    {
        game.carModels[car] = generalCarModel();
        CarState& c = game.cars[car];
        c = CarState{};
        forward = normalised(forward);
        c.forwardAxis = forward;
        c.upAxis = {0, 1, 0};
        c.rightAxis = cross(c.upAxis, forward);
        c.positionVector = p;
        c.mass = 600;
        c.massFactor = 1200.0f / (c.mass + 200.0f);
        c.engineCountdown = 10;
    }

    // Objects 0..5 are the grid and never collide; the ones given follow them.
    void placeObjects(const std::vector<TrackObject>& list)
    {
        objects.assign(maxCars, TrackObject{0, {1, 0, 1}, {1, 0, 0}});
        objects.insert(objects.end(), list.begin(), list.end());
        game.trackObjects = objects.data();
        game.objectCount = uint16_t(objects.size());
    }

    // One 10 ms step of a car without its engine and tyres: gravity, integration, turning,
    // then the contacts in the order the race calls them.
    static void step(int car, bool withObjects = true)
    {
        CarState& c = game.cars[car];
        c.velocity = c.velocity + game.gravity * 0.01f;
        c.positionVector = c.positionVector + c.velocity * 0.01f;
        float angle = std::sqrt(dot(c.angularVelocity, c.angularVelocity)) * 0.01f;
        if (angle > 0) {
            Vec3 k = normalised(c.angularVelocity);
            auto turn = [&](Vec3 v) {
                return v * std::cos(angle) + cross(k, v) * std::sin(angle) + k * (dot(k, v) * (1 - std::cos(angle)));
            };
            c.rightAxis = turn(c.rightAxis);
            c.upAxis = turn(c.upAxis);
            c.forwardAxis = turn(c.forwardAxis);
        }
        c.angularVelocity = c.angularVelocity * 0.92f;
        for (int w = 0; w < 4; ++w) {
            c.wheelLoads[w] = 0;
            c.wheelPoints[w] = c.positionVector + c.rightAxis * game.carModels[car].wheelPositions[w].x +
                               c.forwardAxis * game.carModels[car].wheelPositions[w].z;
            c.wheelPoints[w].y = 0;
            c.wheelContactKind[w] = 0;
        }
        c.bodyLoad = c.loadShare = 0;
        float speed = std::sqrt(dot(c.velocity, c.velocity));
        c.speedFactor = 1 - 3 / (speed + 3);
        groundAndWallContacts(car);
        if (withObjects) objectContacts(car);
    }

    // Lets a car settle on the ground.
    static void settle(int car, int steps = 300)
    {
        for (int s = 0; s < steps; ++s) step(car, false);
        game.cars[car].velocity = Vec3{};
        game.cars[car].angularVelocity = Vec3{};
    }

    static int sparks()
    {
        int n = 0;
        for (int i = 0; i < particleRingSize; ++i) n += game.particles[i].life > 0 && game.particles[i].type == 2;
        return n;
    }

    static bool finite(const CarState& c)
    {
        for (Vec3 v : {c.positionVector, c.velocity, c.angularVelocity})
            if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
        return true;
    }
};
