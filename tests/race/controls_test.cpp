#include "race/controls.h"
#include "state/game_state.h"
#include "state/joystick_state.h"
#include "support/harness.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t axisCode(int joystick, int direction) { return (joystick + 1) * 1024 + 0xFF0000 + direction * 0x1000000u; }
uint32_t buttonCode(int joystick, int button) { return (joystick + 1) * 1024 + button * 65536; }
constexpr int minusX = 1, plusX = 2;

class Controls : public ::testing::Test {
protected:
    uint8_t keys[keySnapshotSize] = {};
    JoystickState sticks[2] = {};

    void SetUp() override
    {
        game.keySnapshot = keys;
        game.joysticks = sticks;
        game.joystickCount = 2;
        game.cars[0] = CarState{};
    }
    void TearDown() override
    {
        game.keySnapshot = nullptr;
        game.joysticks = nullptr;
        game.joystickCount = 0;
        releaseAllKeys();
    }
    void bind(uint32_t accelerate, uint32_t brake, uint32_t left, uint32_t right)
    {
        uint32_t codes[4] = {accelerate, brake, left, right};
        std::memcpy(game.cars[0].controls, codes, sizeof codes);
    }
};

TEST_F(Controls, SnapshotNeverHoldsALockKey)
{
    holdKey(SDLK_CAPSLOCK, true);
    holdKey(SDLK_NUMLOCK, true);
    holdKey(SDLK_SCROLLOCK, true);
    holdKey(SDLK_UP, true);
    takeKeySnapshot();
    EXPECT_EQ(readControl(SDLK_CAPSLOCK), 0);
    EXPECT_EQ(readControl(SDLK_NUMLOCK), 0);
    EXPECT_EQ(readControl(SDLK_SCROLLOCK), 0);
    EXPECT_EQ(readControl(SDLK_UP), 100);
}

TEST_F(Controls, KeysGiveOnOffThrottleWithADeadZone)
{
    bind(SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT);
    int throttle = 0;
    float steering = 5;
    keys[SDLK_UP] = keys[SDLK_DOWN] = 1;
    humanInputs(0, throttle, steering);
    EXPECT_EQ(throttle, 1);  // both held cancel out
    EXPECT_FLOAT_EQ(steering, 0);
    keys[SDLK_DOWN] = 0;
    keys[SDLK_LEFT] = 1;
    humanInputs(0, throttle, steering);
    EXPECT_EQ(throttle, 2);
    EXPECT_FLOAT_EQ(steering, 1);

    // An axis at 5 % against a brake key still brakes; a few percent alone is dead.
    bind(axisCode(0, plusX), SDLK_DOWN, 0, 0);
    keys[SDLK_DOWN] = 1;
    sticks[0].axes[0] = 5;
    humanInputs(0, throttle, steering);
    EXPECT_EQ(throttle, -1);
    keys[SDLK_DOWN] = 0;
    humanInputs(0, throttle, steering);
    EXPECT_EQ(throttle, 1);
    sticks[0].axes[0] = 11;
    humanInputs(0, throttle, steering);
    EXPECT_EQ(throttle, 2);
}

TEST_F(Controls, AnAxisSteersInProportionBothWays)
{
    bind(0, 0, axisCode(0, minusX), axisCode(0, plusX));
    int throttle = 0;
    float steering = 0;
    sticks[0].axes[0] = axisPercent(-32768);
    EXPECT_EQ(sticks[0].axes[0], -100);
    humanInputs(0, throttle, steering);
    EXPECT_FLOAT_EQ(steering, 1.0f);
    sticks[0].axes[0] = 0;
    humanInputs(0, throttle, steering);
    EXPECT_FLOAT_EQ(steering, 0.0f);
    sticks[0].axes[0] = axisPercent(16384);
    humanInputs(0, throttle, steering);
    EXPECT_FLOAT_EQ(steering, -0.5f);
    EXPECT_EQ(axisPercent(32767), 100);
}

TEST_F(Controls, JoystickCodesOutsideWhatIsPolledReadZero)
{
    sticks[0].buttons[3] = 1;
    sticks[0].axes[5] = -40;
    EXPECT_EQ(readControl(buttonCode(0, 3)), 100);
    EXPECT_EQ(readControl(axisCode(0, 11)), 40);  // -Rz
    EXPECT_EQ(readControl(axisCode(0, 12)), 0);   // +Rz
    // Only the first joystick is polled, so the second one's record stays zero.
    game.joysticks[0].buttons[0] = 1;
    EXPECT_EQ(readControl(buttonCode(1, 0)), 0);
    EXPECT_EQ(readControl(buttonCode(2, 3)), 0);              // not attached
    EXPECT_EQ(readControl(buttonCode(62, 3)), 0);
    EXPECT_EQ(readControl((1 * 1024) + 100 * 65536), 0);       // button beyond 31
    EXPECT_EQ(readControl(axisCode(0, 0)), 0);                 // direction outside 1..16
    EXPECT_EQ(readControl(axisCode(0, 17)), 0);
    EXPECT_EQ(readControl(0xFFFFFFFFu), 0);

    game.joysticks = nullptr;
    EXPECT_EQ(readControl(buttonCode(0, 3)), 0);
    EXPECT_FALSE(pollJoystick());
    game.keySnapshot = nullptr;
    EXPECT_EQ(readControl(SDLK_UP), 0);
    takeKeySnapshot();  // nowhere to copy to: nothing happens
}

TEST_F(Controls, RevvingAtTheStartIsSpentInNeutral)
{
    bind(SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT);
    keys[SDLK_UP] = keys[SDLK_LEFT] = 1;
    game.cars[0].revvingCounter = 211;
    int throttle = 0;
    float steering = 0;
    for (int step = 0; step < 211; ++step) {
        humanInputs(0, throttle, steering);
        ASSERT_EQ(throttle, 1) << step;
        ASSERT_FLOAT_EQ(steering, 0) << step;
    }
    EXPECT_EQ(game.cars[0].revvingCounter, 0);
    humanInputs(0, throttle, steering);
    EXPECT_EQ(throttle, 2);
    EXPECT_FLOAT_EQ(steering, 1);
}

}  // namespace

namespace {

JoystickState fakeStick{};
int fakeAxes = 8;

int fakeReader(int index, JoystickState& out)
{
    if (index != 0 || fakeAxes < 0) return -1;
    out = fakeStick;
    return fakeAxes;
}

}  // namespace

TEST_F(Controls, EveryAxisOfTheFirstStickActsInARace)
{
    setJoystickReader(fakeReader);
    fakeStick = JoystickState{};
    fakeStick.axes[6] = -30;  // SL1
    fakeStick.axes[7] = 70;   // SL2
    fakeAxes = 8;
    ASSERT_TRUE(pollJoystick());
    EXPECT_EQ(readControl(axisCode(0, 13)), 30);  // -SL1
    EXPECT_EQ(readControl(axisCode(0, 16)), 70);  // +SL2
    bind(axisCode(0, 16), SDLK_DOWN, axisCode(0, 13), 0);
    int throttle = 0;
    float steering = 0;
    humanInputs(0, throttle, steering);
    EXPECT_EQ(throttle, 2);
    EXPECT_FLOAT_EQ(steering, 0.3f);
    // A stick that cannot be read leaves the last record.
    fakeAxes = -1;
    ASSERT_TRUE(pollJoystick());
    EXPECT_EQ(readControl(axisCode(0, 16)), 70);
    setJoystickReader(nullptr);
}
