// Pictures to look at, written under the build folder (pictures/*.bmp): every glyph of the
// shipped font, the start lights at each stage, six cars' gauges and the portraits of the car
// models, at the smallest common and at a large screen size; and a race view of six cars with
// their shadows, pit crews and every kind of particle.
#include "race/car_models.h"
#include "render/car_portrait.h"
#include "render/car_view.h"
#include "render/font.h"
#include "render/hud.h"
#include "render/particle_view.h"
#include "render/race_panels.h"
#include "render/race_view.h"
#include "render/text.h"
#include "pictures.h"
#include "race_scene.h"
#include "render_fixture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A small closed body: a lower hull and a narrower cabin, every face turned outwards so that
// (c - a) x (b - a) points away from the body, as the race view expects.
CarModel body(const char* name, float halfWidth, float halfLength, float height, uint8_t cabinColour)
{
    CarModel m{};
    std::strncpy(m.name, name, 11);
    float w = halfWidth, l = halfLength, h = height, y0 = 0.15f;
    Vec3 v[10] = {
        {-w, y0, -l}, {w, y0, -l}, {w, y0, l}, {-w, y0, l},                       // floor
        {-w, h * 0.5f, -l}, {w, h * 0.5f, -l}, {w, h * 0.45f, l * 0.7f}, {-w, h * 0.45f, l * 0.7f},  // waist
        {0, h, -l * 0.3f}, {0, h * 0.5f, l},                                      // roof ridge, nose
    };
    const uint8_t faces[][4] = {
        // a, b, c, colour
        {0, 1, 5, 0}, {0, 5, 4, 0},       // back
        {1, 2, 6, 1}, {1, 6, 5, 1},       // right side
        {3, 0, 4, 1}, {3, 4, 7, 1},       // left side
        {2, 3, 9, 2}, {3, 7, 9, 2}, {2, 9, 6, 2},  // nose
        {4, 5, 8, cabinColour}, {5, 6, 8, cabinColour}, {6, 7, 8, 6}, {7, 4, 8, cabinColour},  // cabin
        {7, 6, 9, 0},                     // bonnet
        {0, 3, 2, 6}, {0, 2, 1, 6},       // floor
    };
    m.vertexCount = 10;
    for (int i = 0; i < 10; ++i) m.vertices[i] = v[i];
    Vec3 centre{0, h * 0.35f, 0};
    int n = 0;
    for (const auto& f : faces) {
        uint8_t a = f[0], b = f[1], c = f[2];
        Vec3 normal = cross(v[c] - v[a], v[b] - v[a]);
        Vec3 mid = (v[a] + v[b] + v[c]) * (1.0f / 3);
        if (dot(normal, mid - centre) < 0) std::swap(b, c);
        m.triangles[3 * n] = a, m.triangles[3 * n + 1] = b, m.triangles[3 * n + 2] = c;
        m.triangleColours[n] = f[3];
        ++n;
    }
    m.triangleIndexCount = uint8_t(3 * n);
    for (float& r : m.wheelRadius) r = 0.45f;
    m.wheelPositions[0] = {w, 0.2f, l * 0.65f};
    m.wheelPositions[1] = {-w, 0.2f, l * 0.65f};
    m.wheelPositions[2] = {w, 0.2f, -l * 0.65f};
    m.wheelPositions[3] = {-w, 0.2f, -l * 0.65f};
    m.headPosition = {0, h * 0.95f, -l * 0.05f};
    return m;
}

void save(const std::string& name) { EXPECT_TRUE(savePicture(name)) << name; }

// Copies a block of the locked surface elsewhere in it (the blocks must not overlap).
void copyBlock(int fromX, int fromY, int width, int height, int toX, int toY)
{
    for (int y = 0; y < height; ++y)
        std::memmove(&Screen::at(toX, toY + y), &Screen::at(fromX, fromY + y), size_t(width));
}

const uint32_t driverColours[6][2] = {
    {0x2020E0, 0xFFFFFF}, {0xE06010, 0x202020}, {0x20C040, 0xFFFF00},
    {0x00D0FF, 0x800000}, {0xC040C0, 0x00FF80}, {0xF0F0F0, 0xFF0000},
};

void showcase(int width, int height)
{
    TempGameFolder folder;
    folder.provideFont();
    Screen screen(width, height);
    ASSERT_TRUE(screen.ok);
    ASSERT_EQ(loadFont(), 0);
    game.guiOriginX = (width - 80.0f * game.guiScale) * 0.5f;
    game.guiOriginY = (height - 60.0f * game.guiScale) * 0.5f;
    for (int k = 0; k < 6; ++k) setCarColours(k, driverColours[k][0], driverColours[k][1]);
    fillRect(nullptr, 3);
    ASSERT_TRUE(lockDraw());
    int s = game.guiScale, ox = int(game.guiOriginX), oy = int(game.guiOriginY);

    // Start lights at -1 .. 3, each copied out of the corner where they are drawn.
    int lightsY = 6 * s;
    for (int stage = -1; stage <= 3; ++stage) {
        game.startLight = stage;
        unlockDraw();
        fillCorners(0, 0, 16 * s, 4 * s, 3);
        lockDraw();
        drawStartLights();
        int x = ox + (stage + 1) * 16 * s;
        copyBlock(0, 0, 16 * s, 4 * s, x, lightsY);
        drawText(std::to_string(stage), x + 7 * s, lightsY + 4 * s, 242, 241);
    }
    game.startLight = -1;
    unlockDraw();
    fillCorners(0, 0, 16 * s, 4 * s, 3);
    lockDraw();

    // Every glyph, 40 to a row.
    for (int g = 0; g < fontGlyphCount; ++g) {
        char c = g == 0 ? ' ' : g <= 95 ? char(g + 32) : char(g + 96);
        drawText(std::string(1, c), ox + (g % 40 + 20) * s, oy + 2 * s + (g / 40) * 2 * s + 12 * s, 242, 241);
    }
    drawText("Tarmacade 12.34s 1:05 +0.07s", ox + 20 * s, oy + 22 * s, 245, 241);
    drawText(std::string("Ren\xe9 M\xfcller \xc5ngstr\xf6m"), ox + 20 * s, oy + 25 * s, 242, 241);

    // Portraits of each model in each car's colours.
    std::vector<CarModel> models = {body("Wedge", 0.9f, 1.8f, 1.0f, 4), body("Brick", 1.0f, 1.6f, 1.5f, 4),
                                    body("Dart", 0.8f, 2.1f, 0.8f, 5)};
    float orientation[9];
    portraitOrientation(2.3f, 0.6f, orientation);
    for (int k = 0; k < 6; ++k) {
        const CarModel& m = models[k % models.size()];
        float x = game.guiOriginX + (8 + 13 * k) * s, y = game.guiOriginY + 36 * s;
        drawCarPortrait(m, k, x, y, orientation, width / (2.2f * s));
        drawText(m.name, int(x) - 3 * s, int(y) + 4 * s, 242, 241);
    }

    // Gauges of six cars: tyres, damage and fuel at different wear.
    for (int k = 0; k < 6; ++k) {
        game.cars[k].tyres = uint16_t(65535 - k * 13107);
        game.cars[k].damage = uint16_t(k * 13107);
        game.cars[k].fuel = uint16_t(k % 2 ? 65535 : 30000);
        drawCarGauges(k);
    }
    save("showcase_" + std::to_string(width) + "x" + std::to_string(height) + ".bmp");
    freeFont();
}

}  // namespace

TEST(Pictures, Showcase640x480) { showcase(640, 480); }
TEST(Pictures, Showcase1920x1080) { showcase(1920, 1080); }

namespace {

void raceView(int width, int height, int tyreAutoSort)
{
    TempGameFolder folder;
    Screen screen(width, height);
    ASSERT_TRUE(screen.ok);
    for (int k = 0; k < 6; ++k) setCarColours(k, driverColours[k][0], driverColours[k][1]);
    racescene::flatGround(48);

    // The built-in car and the shipped ones, as the game folder holds them.
    std::vector<CarModel> models = {generalCarModel()};
    std::filesystem::path shipped = buildFolder() / "tarmacade" / "cars";
    for (const char* name : {"arrow", "brute", "dustdevil", "sprite"})
        if (std::filesystem::exists(shipped / (std::string(name) + ".car"))) {
            folder.write(std::string("cars/") + name + ".car", readHostFile(shipped / (std::string(name) + ".car")));
            readCarFile(std::string("cars\\") + name + ".car", models);
        }
    // Five on the road at different headings, the sixth in its pit box.
    for (int k = 0; k < 5; ++k)
        racescene::placeCar(k, models[k % models.size()], 8 + 8 * k, 22 + (k % 2) * 5, 0.5f + 0.9f * k);
    racescene::placeCar(5, models[5 % models.size()], 30, 38, 0.3f);
    racescene::placePitBox(0, 30, 38, 0.3f, 5);
    racescene::placePitBox(1, 14, 40, 0.3f, 100);
    game.carCount = 6;

    // The gauges show each car's wear.
    game.guiScale = std::min(width / 80, height / 60);
    game.guiQuarter = game.guiScale / 4;
    game.textShadowOffset = (game.guiQuarter + 1) / 2;
    for (int k = 0; k < 6; ++k) {
        game.cars[k].tyres = uint16_t(65535 - k * 10000);
        game.cars[k].damage = uint16_t(k * 10000);
        game.cars[k].fuel = uint16_t(65535 - k * 5000);
    }

    // A burst of every kind along the near grass, aged by 20 steps: the shells burst after 5,
    // and their sixty sparks leave the ring room for the rest.
    game.options.effects = 256;
    allocateParticleRing();
    clearParticles();
    for (int type = 0; type <= 13; ++type)
        for (int i = 0; i < (type >= 9 ? 2 : 6); ++i) {
            Vec3 at{4.0f + 3.2f * type + 0.4f * i, 1.0f + 0.3f * i, 8.0f + (i % 3)};
            uint8_t life = type >= 9 ? 5 : uint8_t(100 - 15 * i);
            startParticle(uint8_t(type), life, at, {float(i - 3), type >= 9 ? 30.0f : 2.0f, 0});
        }
    lockDraw();
    drawParticles(20);
    unlockDraw();
    game.startLight = -1;
    selectCarView(tyreAutoSort);
    ASSERT_TRUE(drawRaceView(1));
    lockDraw();
    save("race_view_" + std::to_string(width) + "x" + std::to_string(height) + (tyreAutoSort ? "" : "_fixed") + ".bmp");
    unlockDraw();
    racescene::clearScene();
}

}  // namespace

TEST(Pictures, RaceView1920x1080) { raceView(1920, 1080, 1); }
TEST(Pictures, RaceView640x480FixedOrder) { raceView(640, 480, 0); }
