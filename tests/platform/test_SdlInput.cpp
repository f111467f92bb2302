// The keyboard and mouse devices as the game polls them.
#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/sdl/SdlInput.h"

namespace {

struct TMouseState {
    int32_t X, Y, Z;
    uint8_t Buttons[4];
    uint8_t Pad[4];
};
static_assert(sizeof(TMouseState) == 20);

class KeyboardTest : public ::testing::Test {
protected:
    std::vector<uint8_t> SdlState = std::vector<uint8_t>(SDL_NUM_SCANCODES, 0);
    TSdlKeyboard Keyboard{[this](int32_t& count) {
        count = static_cast<int32_t>(SdlState.size());
        return SdlState.data();
    }};
};

TEST_F(KeyboardTest, HeldKeysLandAtTheirSet1Codes)
{
    Keyboard.Acquire();
    SdlState[SDL_SCANCODE_LEFT] = 1;
    SdlState[SDL_SCANCODE_RCTRL] = 1;
    SdlState[SDL_SCANCODE_SPACE] = 1;
    SdlState[SDL_SCANCODE_P] = 1;
    uint8_t state[256];
    std::memset(state, 0x55, sizeof state);
    ASSERT_EQ(Keyboard.GetDeviceState(256, state), DD_OK);
    for (int i = 0; i < 256; ++i) {
        const bool down = i == 203 || i == 157 || i == 57 || i == 0x19;
        EXPECT_EQ(state[i], down ? 0x80 : 0) << "code " << i;
    }
    // Released keys read as up on the next poll.
    SdlState[SDL_SCANCODE_LEFT] = 0;
    ASSERT_EQ(Keyboard.GetDeviceState(256, state), DD_OK);
    EXPECT_EQ(state[203], 0);
    EXPECT_EQ(state[157], 0x80);
}

TEST_F(KeyboardTest, ReleasedDeviceLeavesTheCallersZeroedStateAlone)
{
    SdlState[SDL_SCANCODE_UP] = 1;
    uint8_t state[256] = {};
    // Never acquired, then acquired and released again.
    EXPECT_EQ(Keyboard.GetDeviceState(256, state), DIERR_NOTACQUIRED);
    Keyboard.Acquire();
    Keyboard.Unacquire();
    EXPECT_EQ(Keyboard.GetDeviceState(256, state), DIERR_NOTACQUIRED);
    for (uint8_t b : state)
        EXPECT_EQ(b, 0);
    Keyboard.Acquire();
    EXPECT_EQ(Keyboard.GetDeviceState(256, state), DD_OK);
    EXPECT_EQ(state[200], 0x80);
    // A wrong size or no buffer is refused without writing.
    EXPECT_EQ(Keyboard.GetDeviceState(20, state), DIERR_INVALIDPARAM);
    EXPECT_EQ(Keyboard.GetDeviceState(256, nullptr), DIERR_INVALIDPARAM);
}

struct TMotionStep {
    int32_t DX, DY, Wheel;
};

struct TMouseCase {
    const char* Name;
    std::vector<TMotionStep> Steps; // SDL events between two reads
    int32_t X, Y, Z;
};

TEST(SdlMouse, MotionAccumulatesBetweenReadsAndIsClearedByARead)
{
    const TMouseCase cases[] = {
        {"no motion", {}, 0, 0, 0},
        {"one move", {{5, -3, 0}}, 5, -3, 0},
        {"moves add up", {{5, -3, 0}, {2, 7, 0}, {-10, 0, 0}}, -3, 4, 0},
        {"back and forth cancels", {{4, 4, 0}, {-4, -4, 0}}, 0, 0, 0},
        {"wheel notches in 120ths", {{0, 0, 1}, {0, 0, 2}}, 0, 0, 360},
        {"wheel down", {{0, 0, -1}}, 0, 0, -120},
        {"huge motion saturates", {{INT32_MAX, INT32_MIN, 0}, {5, -5, 0}}, INT32_MAX, INT32_MIN, 0},
    };
    for (const TMouseCase& c : cases) {
        TSdlMouse mouse;
        mouse.Acquire();
        for (const TMotionStep& s : c.Steps) {
            mouse.AddMotion(s.DX, s.DY);
            if (s.Wheel)
                mouse.AddWheel(s.Wheel);
        }
        TMouseState state{};
        ASSERT_EQ(mouse.GetDeviceState(20, &state), DD_OK) << c.Name;
        EXPECT_EQ(state.X, c.X) << c.Name;
        EXPECT_EQ(state.Y, c.Y) << c.Name;
        EXPECT_EQ(state.Z, c.Z) << c.Name;
        TMouseState again{};
        ASSERT_EQ(mouse.GetDeviceState(20, &again), DD_OK) << c.Name;
        EXPECT_EQ(again.X, 0) << c.Name;
        EXPECT_EQ(again.Y, 0) << c.Name;
        EXPECT_EQ(again.Z, 0) << c.Name;
    }
}

TEST(SdlMouse, ButtonsAreHeldBytesInTheOrderLeftRightMiddleSide)
{
    TSdlMouse mouse;
    mouse.Acquire();
    mouse.SetButton(0, true);
    mouse.SetButton(3, true);
    mouse.SetButton(7, true); // a button the device does not have
    TMouseState state{};
    ASSERT_EQ(mouse.GetDeviceState(20, &state), DD_OK);
    const uint8_t held[4] = {0x80, 0, 0, 0x80};
    EXPECT_EQ(std::memcmp(state.Buttons, held, 4), 0);
    // Buttons stay down across reads until released.
    mouse.SetButton(0, false);
    mouse.SetButton(1, true);
    ASSERT_EQ(mouse.GetDeviceState(20, &state), DD_OK);
    const uint8_t after[4] = {0, 0x80, 0, 0x80};
    EXPECT_EQ(std::memcmp(state.Buttons, after, 4), 0);
}

TEST(SdlMouse, MotionWhileReleasedIsNotReported)
{
    TSdlMouse mouse;
    TMouseState state{};
    EXPECT_EQ(mouse.GetDeviceState(20, &state), DIERR_NOTACQUIRED);
    mouse.AddMotion(50, 50);
    mouse.Acquire();
    mouse.AddMotion(1, 2);
    mouse.Unacquire();
    mouse.AddMotion(100, 100);
    EXPECT_EQ(mouse.GetDeviceState(20, &state), DIERR_NOTACQUIRED);
    mouse.Acquire();
    ASSERT_EQ(mouse.GetDeviceState(20, &state), DD_OK);
    EXPECT_EQ(state.X, 0); // what came before the new acquire is gone
    EXPECT_EQ(state.Y, 0);
    EXPECT_EQ(mouse.GetDeviceState(16, &state), DIERR_INVALIDPARAM);
}

} // namespace
