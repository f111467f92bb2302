// Game controllers: the stick's dead zone and sectors, the presses and their
// repeat, and the real pad over SDL's virtual controllers (buttons, triggers,
// several controllers, plugging in and pulling out).
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fakes/VirtualPad.h"
#include "platform/sdl/SdlGamepad.h"

namespace {

constexpr uint32_t Up = PadBit(PadUp), Down = PadBit(PadDown), Left = PadBit(PadLeft), Right = PadBit(PadRight);

struct StickCase {
    int32_t X, Y;
    bool WasOut;
    uint32_t Directions;
};

TEST(StickDirections, DeadZoneSectorsAndRelease)
{
    // clang-format off
    const StickCase cases[] = {
        {0, 0, false, 0},
        {7999, 0, false, 0},                 // inside the dead zone
        {0, -8000, false, 0},                // on its edge
        {8001, 0, false, Right},             // just past it
        {-20000, 0, false, Left},
        {0, -20000, false, Up},              // the stick's y grows downwards
        {0, 32767, false, Down},
        {5600, 5600, false, 0},              // a diagonal inside the zone (7920 from the centre)
        {5700, 5700, false, Down | Right},   // and just past it (8061)
        {20000, -7000, false, Right},        // 19 degrees off the axis: still straight
        {20000, -9000, false, Up | Right},   // 24 degrees: the diagonal's sector
        {20000, -20000, false, Up | Right},
        {-32768, 32767, false, Down | Left},
        {7000, 0, true, Right},              // once out, it stays out down to the release zone
        {5999, 0, true, 0},
        {7000, 0, false, 0},
    };
    // clang-format on
    for (const StickCase& c : cases)
        EXPECT_EQ(StickDirections(c.X, c.Y, c.WasOut), c.Directions)
            << "stick at " << c.X << ", " << c.Y << (c.WasOut ? " (was out)" : "");
}

struct PressStep {
    uint32_t Held;
    uint32_t Now;
    std::vector<TPadButton> Presses;
};

std::vector<TPadButton> Take(TPadPresses& p)
{
    std::vector<TPadButton> out;
    TPadButton b;
    while (p.Next(b))
        out.push_back(b);
    return out;
}

void RunSteps(const char* name, const std::vector<PressStep>& steps)
{
    TPadPresses presses;
    for (size_t i = 0; i < steps.size(); ++i) {
        presses.Update(steps[i].Held, steps[i].Now);
        EXPECT_EQ(Take(presses), steps[i].Presses) << name << ", step " << i << " at " << steps[i].Now << " ms";
    }
}

TEST(PadPresses, DirectionsRepeatLikeAHeldKey)
{
    RunSteps("held down", {{Down, 1000, {PadDown}},
                           {Down, 1016, {}},
                           {Down, 1399, {}},
                           {Down, 1400, {PadDown}}, // the delay
                           {Down, 1450, {}},
                           {Down, 1500, {PadDown}}, // then the interval
                           {Down, 1600, {PadDown}},
                           {0, 1650, {}},
                           {Down, 1700, {PadDown}}, // a new press starts a new delay
                           {Down, 2000, {}},
                           {Down, 2100, {PadDown}}});
    RunSteps("a stall", {{Left, 0, {PadLeft}},
                         {Left, 3000, {PadLeft}}, // one repeat, not thirty
                         {Left, 3099, {}},
                         {Left, 3100, {PadLeft}}});
    RunSteps("the tick count wraps", {{Up, 0xFFFFFF00u, {PadUp}},
                                      {Up, 0xFFFFFF00u + 399, {}},
                                      {Up, 0xFFFFFF00u + 400, {PadUp}}});
}

TEST(PadPresses, ButtonsPressOnceAndTogetherInOrder)
{
    const uint32_t a = PadBit(PadA), start = PadBit(PadStart), back = PadBit(PadBack);
    RunSteps("A held", {{a, 0, {PadA}}, {a, 400, {}}, {a, 5000, {}}, {0, 5016, {}}, {a, 5032, {PadA}}});
    RunSteps("together", {{start | back | Up, 0, {PadUp, PadBack, PadStart}}, {start | back | Up, 16, {}}});
    RunSteps("let go and pressed between two polls is not seen", {{0, 0, {}}, {0, 16, {}}});
}

TEST(PadPresses, UntakenPressesAreCapped)
{
    TPadPresses presses;
    for (uint32_t t = 0; t < 1000; ++t)
        presses.Update(t % 2 ? PadBit(PadA) : 0, t * 16);
    EXPECT_EQ(Take(presses).size(), TPadPresses::MaxWaiting);
}

// The real pad over SDL's virtual controllers, headless.
class SdlGamepadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        Pad = std::make_unique<TSdlGamepad>();
        ASSERT_EQ(SDL_WasInit(SDL_INIT_GAMECONTROLLER), static_cast<Uint32>(SDL_INIT_GAMECONTROLLER));
    }
    void TearDown() override
    {
        Pads.clear();
        Pad.reset();
    }
    TVirtualPad& PlugIn()
    {
        Pads.push_back(std::make_unique<TVirtualPad>());
        EXPECT_TRUE(Pads.back()->Plugged()) << SDL_GetError();
        return *Pads.back();
    }
    uint32_t Poll()
    {
        Now += 16;
        return Pad->Poll(Now);
    }
    std::vector<TPadButton> Presses()
    {
        std::vector<TPadButton> out;
        TPadButton b;
        while (Pad->NextPress(b))
            out.push_back(b);
        return out;
    }

    std::unique_ptr<TSdlGamepad> Pad;
    std::vector<std::unique_ptr<TVirtualPad>> Pads;
    uint32_t Now = 0;
};

struct ControlCase {
    const char* Name;
    int Button; // an SDL controller button, or -1
    int Axis;   // an SDL controller axis, or -1
    int16_t Value;
    uint32_t Held;
};

TEST_F(SdlGamepadTest, EachControlHoldsItsButton)
{
    TVirtualPad& v = PlugIn();
    const ControlCase cases[] = {
        {"d-pad up", SDL_CONTROLLER_BUTTON_DPAD_UP, -1, 0, Up},
        {"d-pad down", SDL_CONTROLLER_BUTTON_DPAD_DOWN, -1, 0, Down},
        {"d-pad left", SDL_CONTROLLER_BUTTON_DPAD_LEFT, -1, 0, Left},
        {"d-pad right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT, -1, 0, Right},
        {"A", SDL_CONTROLLER_BUTTON_A, -1, 0, PadBit(PadA)},
        {"B", SDL_CONTROLLER_BUTTON_B, -1, 0, PadBit(PadB)},
        {"X", SDL_CONTROLLER_BUTTON_X, -1, 0, PadBit(PadX)},
        {"Y", SDL_CONTROLLER_BUTTON_Y, -1, 0, PadBit(PadY)},
        {"Back", SDL_CONTROLLER_BUTTON_BACK, -1, 0, PadBit(PadBack)},
        {"Start", SDL_CONTROLLER_BUTTON_START, -1, 0, PadBit(PadStart)},
        {"guide", SDL_CONTROLLER_BUTTON_GUIDE, -1, 0, 0},
        {"left shoulder", SDL_CONTROLLER_BUTTON_LEFTSHOULDER, -1, 0, 0},
        {"right trigger pulled", -1, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, PadBit(PadRightTrigger)},
        {"right trigger past half", -1, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 200, PadBit(PadRightTrigger)},
        {"right trigger under half", -1, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -200, 0},
        {"left trigger", -1, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, 0},
        {"stick left past the dead zone", -1, SDL_CONTROLLER_AXIS_LEFTX, -12000, Left},
        {"stick left inside the dead zone", -1, SDL_CONTROLLER_AXIS_LEFTX, -7000, 0},
        {"stick down past the dead zone", -1, SDL_CONTROLLER_AXIS_LEFTY, 30000, Down},
        {"stick up inside the dead zone", -1, SDL_CONTROLLER_AXIS_LEFTY, -5000, 0},
        {"right stick", -1, SDL_CONTROLLER_AXIS_RIGHTX, 32767, 0},
    };
    for (const ControlCase& c : cases) {
        if (c.Button >= 0)
            v.Button(static_cast<SDL_GameControllerButton>(c.Button), true);
        else
            v.Axis(static_cast<SDL_GameControllerAxis>(c.Axis), c.Value);
        EXPECT_EQ(Poll(), c.Held) << c.Name;
        if (c.Button >= 0)
            v.Button(static_cast<SDL_GameControllerButton>(c.Button), false);
        else
            v.Axis(static_cast<SDL_GameControllerAxis>(c.Axis),
                   c.Axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || c.Axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT ? -32768 : 0);
        EXPECT_EQ(Poll(), 0u) << c.Name << " let go";
    }
}

TEST_F(SdlGamepadTest, EachControllersStickKeepsItsOwnDeadZoneState)
{
    TVirtualPad& first = PlugIn();
    TVirtualPad& second = PlugIn();
    // clang-format off
    const struct {
        int16_t FirstX, SecondX;
        uint32_t Held;
    } steps[] = {
        {7000, 0, 0},            // resting near the edge, from the centre: still centred
        {20000, 7000, Right},    // out: the first counts, the second still does not
        {7000, 7000, Right},     // back to 7000: the first stays out until the release zone
        {5000, 7000, 0},         // inside the release zone: centred again
        {7000, -7000, 0},
        {0, -9000, Left},
        {0, -6500, Left},
        {0, -5500, 0},
    };
    // clang-format on
    for (const auto& s : steps) {
        first.Stick(s.FirstX, 0);
        second.Stick(s.SecondX, 0);
        EXPECT_EQ(Poll(), s.Held) << "sticks at " << s.FirstX << " and " << s.SecondX;
    }
}

TEST_F(SdlGamepadTest, ControllersComeAndGoWhileRunning)
{
    EXPECT_EQ(Poll(), 0u);
    EXPECT_EQ(Pad->Count(), 0u);

    TVirtualPad& first = PlugIn();
    first.Button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(Poll(), PadBit(PadA)) << "a controller plugged in is read at the next poll";
    EXPECT_EQ(Pad->Count(), 1u);

    TVirtualPad& second = PlugIn();
    second.Stick(0, 32767);
    EXPECT_EQ(Poll(), PadBit(PadA) | Down) << "both controllers count";
    EXPECT_EQ(Pad->Count(), 2u);
    second.Button(SDL_CONTROLLER_BUTTON_A, true);
    first.Button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(Poll(), PadBit(PadA) | Down) << "A held on either is held";

    second.Unplug();
    EXPECT_EQ(Poll(), 0u) << "a controller pulled out lets go of what it held";
    EXPECT_EQ(Pad->Count(), 1u);

    TVirtualPad& third = PlugIn();
    third.Button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(Poll(), PadBit(PadStart));
    first.Unplug();
    third.Unplug();
    EXPECT_EQ(Poll(), 0u);
    EXPECT_EQ(Pad->Count(), 0u);
}

TEST_F(SdlGamepadTest, PressesComeFromEveryControllerAndDirectionsRepeat)
{
    TVirtualPad& first = PlugIn();
    TVirtualPad& second = PlugIn();
    Poll();
    first.Button(SDL_CONTROLLER_BUTTON_A, true);
    Poll();
    EXPECT_EQ(Presses(), std::vector<TPadButton>{PadA});
    second.Button(SDL_CONTROLLER_BUTTON_A, true);
    Poll();
    EXPECT_EQ(Presses(), std::vector<TPadButton>{}) << "A already held on the other controller";

    second.Stick(0, -30000);
    Poll();
    EXPECT_EQ(Presses(), std::vector<TPadButton>{PadUp});
    for (int i = 0; i < 24; ++i) // 384 ms
        Poll();
    EXPECT_EQ(Presses(), std::vector<TPadButton>{});
    Poll(); // 400 ms: the repeat
    EXPECT_EQ(Presses(), std::vector<TPadButton>{PadUp});
    second.Stick(0, 0);
    Poll();
    second.Stick(0, -30000);
    Poll();
    EXPECT_EQ(Presses(), std::vector<TPadButton>{PadUp}) << "the stick let go and pushed again";
}

TEST(SdlGamepad, AJoystickWithoutAMappingIsLeftAlone)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TSdlGamepad pad;
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_WHEEL;
    desc.naxes = 1;
    desc.nbuttons = 1;
    desc.name = "Test wheel";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_FALSE(SDL_IsGameController(index)) << "SDL maps a wheel as a controller";
    EXPECT_EQ(pad.Poll(16), 0u);
    EXPECT_EQ(pad.Count(), 0u);
    TVirtualPad controller;
    EXPECT_EQ(pad.Poll(32), 0u);
    EXPECT_EQ(pad.Count(), 1u) << "a controller plugged in beside it is read";
    controller.Unplug();
    SDL_JoystickDetachVirtual(0);
    EXPECT_EQ(pad.Poll(48), 0u);
    EXPECT_EQ(pad.Count(), 0u);
}

} // namespace
