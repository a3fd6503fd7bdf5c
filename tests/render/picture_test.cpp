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
#include "text_reader.h"
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

// Pixels of the locked surface inside [x0, x1) x [y0, y1) that the test picks.
template <class Pick>
int countIn(int x0, int y0, int x1, int y1, Pick pick)
{
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, game.screenHeight); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, game.screenWidth); ++x) n += pick(Screen::at(x, y));
    return n;
}
int countColour(int x0, int y0, int x1, int y1, uint8_t colour)
{
    return countIn(x0, y0, x1, y1, [colour](uint8_t c) { return c == colour; });
}
int everywhere(bool (*pick)(uint8_t)) { return countIn(0, 0, game.screenWidth, game.screenHeight, pick); }

bool isCarSlot(uint8_t c, int car) { return c >= carSlot(car, 0) && c <= carSlot(car, 7); }
bool isWaterTint(uint8_t c) { return c >= firstCarSlot && c <= lastCarSlot && (c - firstCarSlot) % 8 % 4 == 3; }

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
        if (stage < 0) {
            EXPECT_EQ(countIn(x, lightsY, x + 16 * s, lightsY + 4 * s, [](uint8_t c) { return c != 3; }), 0);
        }
        for (int i = 0; i < 3 && stage >= 0; ++i) {
            int left = x + 4 * s * (i + 1) - 2 * s, right = left + 4 * s;
            bool lit = i <= stage && stage <= 2;
            EXPECT_EQ(countColour(left, lightsY, right, lightsY + 4 * s, 244) > 0, lit) << "stage " << stage << " lamp " << i;
            EXPECT_EQ(countColour(left, lightsY, right, lightsY + 4 * s, 1) > 0, !lit) << "stage " << stage << " lamp " << i;
        }
    }
    game.startLight = -1;
    unlockDraw();
    fillCorners(0, 0, 16 * s, 4 * s, 3);
    lockDraw();

    // Every glyph, 40 to a row.
    auto glyphX = [&](int g) { return ox + (g % 40 + 20) * s; };
    auto glyphY = [&](int g) { return oy + 2 * s + (g / 40) * 2 * s + 12 * s; };
    auto glyphChar = [](int g) { return g == 0 ? ' ' : g <= 95 ? char(g + 32) : char(g + 96); };
    for (int g = 0; g < fontGlyphCount; ++g) drawText(std::string(1, glyphChar(g)), glyphX(g), glyphY(g), 242, 241);
    const std::string sample = "Tarmacade 12.34s 1:05 +0.07s", accents = "Ren\xe9 M\xfcller \xc5ngstr\xf6m";
    drawText(sample, ox + 20 * s, oy + 22 * s, 245, 241);
    drawText(accents, ox + 20 * s, oy + 25 * s, 242, 241);
    // Read back: each glyph whole in its own cell, the lines where they were written.
    for (int g = 0; g < fontGlyphCount; ++g) EXPECT_TRUE(textreader::cellShows(glyphX(g), glyphY(g), glyphChar(g), 242)) << "glyph " << g;
    EXPECT_TRUE(textreader::shows(sample, ox + 20 * s, oy + 22 * s, 245));
    EXPECT_TRUE(textreader::shows(accents, ox + 20 * s, oy + 25 * s, 242));

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
        // The portrait is the car's alone, in its own slots, and stays in its place.
        auto own = [k](uint8_t c) { return isCarSlot(c, k); };
        int near = countIn(int(x) - 13 * s / 2, int(y) - 8 * s, int(x) + 13 * s / 2, int(y) + 4 * s, own);
        EXPECT_GT(near, 8 * s) << m.name << " of car " << k;
        EXPECT_EQ(countIn(0, 0, width, height, own), near) << m.name << " of car " << k;
    }
    EXPECT_EQ(everywhere(isWaterTint), 0);

    // Gauges of six cars: tyres, damage and fuel at different wear.
    for (int k = 0; k < 6; ++k) {
        game.cars[k].tyres = uint16_t(65535 - k * 13107);
        game.cars[k].damage = uint16_t(k * 13107);
        game.cars[k].fuel = uint16_t(k % 2 ? 65535 : 30000);
        drawCarGauges(k);
    }
    // Each car's bars below its eighth of the screen: tyres wear down, damage grows, fuel
    // alternates between full and part full.
    for (int k = 0; k < 6; ++k) {
        int x0 = (k + 2) * width / 8, x1 = (k + 3) * width / 8, y0 = height - 3 * s;
        int tyres = countColour(x0, y0, x1, height, 247), damage = countColour(x0, y0, x1, height, 244);
        int fuel = countColour(x0, y0, x1, height, 245);
        if (k == 5) {
            EXPECT_EQ(tyres, 0);
        } else {
            EXPECT_GT(tyres, countColour(x0 + width / 8, y0, x1 + width / 8, height, 247)) << "car " << k;
        }
        if (k == 0) {
            EXPECT_EQ(damage, 0);
        } else {
            EXPECT_GT(damage, countColour(x0 - width / 8, y0, x1 - width / 8, height, 244)) << "car " << k;
        }
        if (k % 2) {
            EXPECT_GT(fuel, countColour(x0 - width / 8, y0, x1 - width / 8, height, 245)) << "car " << k;
        }
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

    // Every car shows in its own colours and none in a water tint on this dry ground; the
    // shadows darken the ground; the gauges show.
    for (int k = 0; k < 6; ++k)
        EXPECT_GT(countIn(0, 0, width, height, [k](uint8_t c) { return isCarSlot(c, k); }), 0) << "car " << k;
    EXPECT_EQ(everywhere(isWaterTint), 0);
    EXPECT_GT(everywhere([](uint8_t c) { return c == racescene::grassShade || c == racescene::tarmacShade; }), 0);
    EXPECT_GT(everywhere([](uint8_t c) { return c == 247; }), 0);
    // The particles: the same view without them differs in many pixels.
    std::vector<uint8_t> withParticles;
    for (int y = 0; y < height; ++y) withParticles.insert(withParticles.end(), &Screen::at(0, y), &Screen::at(0, y) + width);
    unlockDraw();
    clearParticles();
    ASSERT_TRUE(drawRaceView(0));
    lockDraw();
    int changed = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) changed += Screen::at(x, y) != withParticles[size_t(y) * width + x];
    EXPECT_GT(changed, width * height / 1000) << changed;
    unlockDraw();
    racescene::clearScene();
}

}  // namespace

TEST(Pictures, RaceView1920x1080) { raceView(1920, 1080, 1); }
TEST(Pictures, RaceView640x480FixedOrder) { raceView(640, 480, 0); }
