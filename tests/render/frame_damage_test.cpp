#include "race/car_models.h"
#include "render/car_view.h"
#include "render/frame_damage.h"
#include "render/race_view.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "race_scene.h"
#include "render_fixture.h"

#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const SDL_Surface* s)
{
    Bytes b;
    for (int y = 0; y < s->h; ++y) {
        const auto* row = static_cast<const uint8_t*>(s->pixels) + size_t(y) * s->pitch;
        b.insert(b.end(), row, row + s->w);
    }
    return b;
}

uint8_t& pixel(SDL_Surface* s, int x, int y) { return static_cast<uint8_t*>(s->pixels)[size_t(y) * s->pitch + x]; }

// What happens before a picture of the run.
enum class Before { Nothing, CarsMove, BackgroundCell, UntrackedPixel, UntrackedFill };

// Six cars trailing smoke, dust and sparks over the flat race ground, pictured again and again
// while they move, the background changes under them and others write the draw surface.
class FrameDamage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        racescene::flatGround(48);
        background = bytesOf(game.backgroundSurface);
        game.startLight = -1;
        game.racePhase = Racing;
        game.options.effects = particleRingSize;
        std::srand(5);
        fillRandomTable();
        allocateParticleRing();
        selectCarView(1);
    }
    void TearDown() override { racescene::clearScene(); }

    void placeCars(int moved)
    {
        for (int k = 0; k < maxCars; ++k)
            racescene::placeCar(k, generalCarModel(), 6 + 7 * k + 0.6f * moved, 20 + (k % 2) * 6 - 0.3f * moved, 0.7f * k);
    }

    // Every picture's draw surface and screen; whole: each picture copied and shown whole.
    std::vector<std::pair<Bytes, Bytes>> run(bool whole)
    {
        SDL_Surface* bg = game.backgroundSurface;
        for (int y = 0; y < bg->h; ++y) std::copy_n(&background[size_t(y) * bg->w], bg->w, &pixel(bg, 0, y));
        forgetFrames();
        placeCars(0);
        clearParticles();
        game.randomIndex = 0;
        const uint8_t kinds[] = {0, 0, 1, 2, 3, 5, 8, 14};
        for (int i = 0; i < 120; ++i) {
            const CarState& car = game.cars[i % maxCars];
            Vec3 at = car.positionVector - car.forwardAxis * (2.5f + 0.3f * float(i / maxCars));
            startParticle(kinds[i % sizeof kinds], uint8_t(30 + i % 50), at, car.forwardAxis * -2.0f);
        }
        const Before sequence[] = {Before::Nothing,        Before::CarsMove, Before::CarsMove,      Before::BackgroundCell,
                                   Before::CarsMove,       Before::Nothing,  Before::UntrackedPixel, Before::CarsMove,
                                   Before::UntrackedFill,  Before::CarsMove, Before::Nothing,        Before::CarsMove};
        std::vector<std::pair<Bytes, Bytes>> pictures;
        int moved = 0;
        for (Before b : sequence) {
            switch (b) {
            case Before::Nothing: break;
            case Before::CarsMove: placeCars(++moved); break;
            case Before::BackgroundCell:
                // As a repainted ground cell does it: written, then marked.
                for (int y = 30; y < 42; ++y)
                    for (int x = 20; x < 40; ++x) pixel(bg, x, y) = 77;
                markBackgroundChanged(20, 30, 40, 42);
                break;
            case Before::UntrackedPixel:
                if (lockDraw()) Screen::at(3, 3) = 99, unlockDraw();
                break;
            case Before::UntrackedFill: fillRect(200, 10, 30, 20, 98); break;
            }
            if (whole) forgetFrames();
            EXPECT_TRUE(drawRaceView(1));
            presentDrawSurface();
            pictures.emplace_back(bytesOf(game.drawSurface), bytesOf(SDL_GetVideoSurface()));
        }
        return pictures;
    }

    Screen screen{320, 240};
    Bytes background;
};

}  // namespace

TEST_F(FrameDamage, PicturesRestoredAndShownInPartsAreThoseOfWholeCopies)
{
    auto parts = run(false);
    auto wholes = run(true);
    ASSERT_EQ(parts.size(), wholes.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_TRUE(parts[i].first == wholes[i].first) << "draw surface of picture " << i;
        EXPECT_TRUE(parts[i].second == wholes[i].first) << "screen after picture " << i;
        EXPECT_TRUE(wholes[i].second == wholes[i].first) << "whole screen after picture " << i;
    }
}

// The pictures above would match if every frame copied the whole surfaces: a byte written
// behind the bookkeeping's back, where nothing moves, shows that a picture copies only parts.
TEST_F(FrameDamage, APictureCopiesOnlyWhatMovedAndWhatLeftWholeCopiesBehind)
{
    placeCars(0);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(drawRaceView(0));
        presentDrawSurface();
    }
    SDL_Surface* video = SDL_GetVideoSurface();
    pixel(game.drawSurface, 319, 0) = 201;
    pixel(video, 0, 239) = 202;
    ASSERT_TRUE(drawRaceView(0));
    presentDrawSurface();
    EXPECT_EQ(pixel(game.drawSurface, 319, 0), 201);
    EXPECT_EQ(pixel(video, 0, 239), 202);

    // New surfaces, a new background or a new palette: the next picture is whole again.
    buildCircleTable();
    uint32_t colours[paletteSize] = {};
    builtInPalette(colours);
    applyPalette(colours);
    ASSERT_TRUE(drawRaceView(0));
    presentDrawSurface();
    EXPECT_EQ(pixel(game.drawSurface, 319, 0), 201);  // the draw surface was known
    EXPECT_NE(pixel(video, 0, 239), 202);             // the screen was not
    forgetFrames();
    ASSERT_TRUE(drawRaceView(0));
    EXPECT_NE(pixel(game.drawSurface, 319, 0), 201);
}
