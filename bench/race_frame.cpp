// One race picture at 1920 x 1080 against the bare copy of the terrain picture and its
// present: six cars with shadows, two pit crews, 256 live particles and the gauges, drawn
// frame after frame as a race draws them (each picture puts back and shows only what the last
// ones covered), should stay within 1.3 times the bare frame.
#include "race/car_models.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "render/car_view.h"
#include "render/palette.h"
#include "render/race_view.h"
#include "render/surfaces.h"
#include "render/race_scene.h"
#include "shell/game_system.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

constexpr int width = 1920, height = 1080;

bool openScreen()
{
    static bool ok = [] {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
        game.screenWidth = width;
        game.screenHeight = height;
        if (!setVideoMode(width, height, true)) return false;
        buildCircleTable();
        setProjectionScale(width, height);
        uint32_t colours[paletteSize] = {};
        builtInPalette(colours);
        applyPalette(colours);
        game.guiScale = std::min(width / 80, height / 60);
        game.guiQuarter = game.guiScale / 4;
        game.textShadowOffset = (game.guiQuarter + 1) / 2;
        return true;
    }();
    return ok;
}

// The least a frame can do, copying the background as the race picture copies it.
void copyAndPresent()
{
    copyWholeSurface(game.backgroundSurface, game.drawSurface);
    presentDrawSurface();
}

// Six cars across the road, a served and a free pit box, every slot of the ring alive.
std::vector<Particle> buildRace()
{
    racescene::flatGround(48);
    game.startLight = -1;
    game.racePhase = Racing;
    CarModel general = generalCarModel();
    for (int k = 0; k < maxCars; ++k) racescene::placeCar(k, general, 6 + 7 * k, 20 + (k % 2) * 6, 0.7f * k);
    racescene::placePitBox(0, 30, 38, 0.3f, 5);
    racescene::placePitBox(1, 14, 40, 0.3f, 100);
    game.options.effects = particleRingSize;
    fillRandomTable();
    allocateParticleRing();
    clearParticles();
    // Trails behind the cars, as a race leaves them: smoke, dust, splashes and sparks.
    const uint8_t kinds[] = {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 14, 16, 18};
    for (int i = 0; i < particleRingSize; ++i) {
        const CarState& car = game.cars[i % maxCars];
        float behind = 2.5f + 0.25f * float(i / maxCars);
        Vec3 at = car.positionVector - car.forwardAxis * behind + Vec3{0, 0.3f + 0.01f * (i % 40), 0};
        startParticle(kinds[i % sizeof kinds], uint8_t(40 + i % 60), at, car.forwardAxis * -2.0f);
    }
    selectCarView(1);
    return std::vector<Particle>(game.particles, game.particles + particleRingSize);
}

void BM_CopyAndPresent(benchmark::State& state)
{
    if (!openScreen()) return state.SkipWithError("no dummy video");
    buildRace();
    for (auto _ : state) copyAndPresent();
}
BENCHMARK(BM_CopyAndPresent)->Unit(benchmark::kMillisecond);

void BM_RaceFrame(benchmark::State& state)
{
    if (!openScreen()) return state.SkipWithError("no dummy video");
    std::vector<Particle> ring = buildRace();
    // The bare frame, measured in the same run, is the unit of the reported multiple.
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 200; ++i) copyAndPresent();
    double bare = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / 200;
    int64_t frames = 0;
    auto t1 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        // The same 256 particles every frame, so none dies out during the run.
        std::copy(ring.begin(), ring.end(), game.particles);
        if (!drawRaceView(1)) return state.SkipWithError("the draw surface does not lock");
        presentDrawSurface();
        ++frames;
    }
    double frame = std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count() / double(frames);
    state.counters["bare_ms"] = bare * 1000;
    state.counters["frame_ms"] = frame * 1000;
    state.counters["x_bare"] = frame / bare;
}
BENCHMARK(BM_RaceFrame)->Unit(benchmark::kMillisecond);

}  // namespace
