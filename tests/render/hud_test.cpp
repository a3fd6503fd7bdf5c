#include "render/hud.h"
#include "render/font.h"
#include "render_fixture.h"

namespace {

class Hud : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.ok);
        setGuiMetrics(640, 480);
        fillRect(nullptr, 0);
        ASSERT_TRUE(lockDraw());
    }
    void TearDown() override { game.startLight = -1; }
    Screen screen{640, 480};
};

// A pixel of lamp i below its glow.
uint8_t lamp(int i) { return Screen::at(32 * (i + 1) - 1, 25); }

}  // namespace

TEST_F(Hud, StartLightsLightUpOneByOneAndGoDarkTogether)
{
    game.startLight = -1;
    drawStartLights();
    EXPECT_EQ(Screen::count(0), 640 * 480);

    game.startLight = 0;
    drawStartLights();
    EXPECT_EQ(Screen::at(0, 0), 240);
    EXPECT_EQ(Screen::at(127, 31), 240);
    EXPECT_EQ(Screen::at(128, 0), 0);
    EXPECT_EQ(Screen::at(0, 32), 0);
    EXPECT_EQ(lamp(0), 244);
    EXPECT_EQ(lamp(1), 1);
    EXPECT_EQ(Screen::at(31, 11), 242);  // highlight at 1.4a - 0.5
    EXPECT_EQ(Screen::at(63, 11), 25);

    game.startLight = 2;
    drawStartLights();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lamp(i), 244) << i;
    EXPECT_EQ(Screen::at(31, 16 - 14), 241);  // rim between 1.5a and 1.8a above the centre

    game.startLight = 3;
    drawStartLights();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lamp(i), 1) << i;
    EXPECT_EQ(Screen::count(244), 0);
}

TEST_F(Hud, EmptyGaugesShowTheirFrameAndFullOnesReachTheTop)
{
    CarState& car = game.cars[0];
    car.tyres = 0, car.damage = 0, car.fuel = 65535;
    drawCarGauges(0);
    // c 8, b 2, m 1: bars from row 480 - 16 - 4 = 460 to 475, 6 wide, first at 1 + 160 + 4.
    int x = 165;
    EXPECT_EQ(Screen::count(247), 0);
    EXPECT_EQ(Screen::at(x, 475), 241);   // tyres: frame only, rows 475 .. 476
    EXPECT_EQ(Screen::at(x + 5, 476), 241);
    EXPECT_EQ(Screen::at(x, 474), 0);
    int fuel = x + 2 * 7;
    EXPECT_EQ(Screen::at(fuel + 1, 460), 245);  // full: the inside reaches the bar's top
    EXPECT_EQ(Screen::at(fuel + 4, 475), 245);
    EXPECT_EQ(Screen::at(fuel, 460), 241);      // inside m pixels in from the frame
    EXPECT_EQ(Screen::at(fuel + 5, 460), 241);
    EXPECT_EQ(Screen::at(fuel, 459), 241);      // and the frame m rows above
    EXPECT_EQ(Screen::at(fuel, 458), 0);
    EXPECT_EQ(Screen::count(245), 4 * 16);

    fillRect(nullptr, 0);
    game.cars[5] = CarState{};
    game.cars[5].damage = 32768;
    drawCarGauges(5);  // the last car's bars still lie inside the screen
    EXPECT_EQ(Screen::count(244), 4 * (16 - 16 * 32767 / 65535));
}
