// The real platform on SDL's headless video driver: services installed, the
// frame shown with its unused top byte ignored, window events turned into the
// main window's events, and a loop that sleeps between ticks.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/App.h"
#include "platform/sdl/SdlDisplay.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/SdlMixer.h"

namespace {

class TRecorder : public IAppHandler {
public:
    void OnIdle() override
    {
        ++Idles;
        if (Idle)
            Idle(Idles);
    }
    void OnKeyDown(uint16_t vk, bool alt) override { Log.push_back("key " + std::to_string(vk) + (alt ? " alt" : "")); }
    void OnMouseMove(int32_t x, int32_t y) override
    {
        Log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnMouseDown(int32_t button, int32_t x, int32_t y) override
    {
        Log.push_back("down " + std::to_string(button) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnActivate() override { Log.push_back("activate"); }
    void OnDeactivate() override { Log.push_back("deactivate"); }
    void OnRestore() override { Log.push_back("restore"); }
    bool OnCloseQuery() override
    {
        Log.push_back("close?");
        return AllowClose;
    }
    void OnMaximize() override { Log.push_back("maximize"); }
    void OnWindowMove() override { Log.push_back("window moved"); }

    std::vector<std::string> Log;
    int Idles = 0;
    bool AllowClose = false;
    std::function<void(int)> Idle;
};

class SdlAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(OpenPlatform());
        Display = static_cast<TSdlDisplay*>(Platform.Display);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override { ClosePlatform(); }

    SDL_Event Window(SDL_WindowEventID id)
    {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = Display->WindowId();
        e.window.event = static_cast<Uint8>(id);
        return e;
    }
    SDL_Event Key(SDL_Keycode sym, SDL_Scancode sc, Uint16 mod = KMOD_NONE, Uint8 repeat = 0)
    {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = Display->WindowId();
        e.key.state = SDL_PRESSED;
        e.key.repeat = repeat;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = sc;
        e.key.keysym.mod = mod;
        return e;
    }
    // Pushes the events and runs the loop until its first idle call.
    std::vector<std::string> Run(std::vector<SDL_Event> events, TRecorder& recorder)
    {
        for (SDL_Event& e : events)
            SDL_PushEvent(&e);
        if (!recorder.Idle)
            recorder.Idle = [](int) { Platform.Display->RequestQuit(); };
        RunMessageLoop(recorder);
        return recorder.Log;
    }
    // What the screen shows at its centre and 5 pixels into the picture's
    // top-left corner, through whichever path the display chose.
    void ReadShown(int& ow, int& oh, uint32_t& centre, uint32_t& topLeft)
    {
        SDL_Renderer* renderer = SDL_GetRenderer(Display->Window());
        SDL_Surface* surface = renderer ? nullptr : SDL_GetWindowSurface(Display->Window());
        if (renderer)
            SDL_GetRendererOutputSize(renderer, &ow, &oh);
        else if (surface)
            ow = surface->w, oh = surface->h;
        const SDL_Rect c{ow / 2, oh / 2, 1, 1};
        const SDL_Rect t{ow / 2 - 400 * oh / 600 + 5, 5, 1, 1};
        if (renderer) {
            ASSERT_EQ(SDL_RenderReadPixels(renderer, &c, SDL_PIXELFORMAT_ARGB8888, &centre, 4), 0) << SDL_GetError();
            ASSERT_EQ(SDL_RenderReadPixels(renderer, &t, SDL_PIXELFORMAT_ARGB8888, &topLeft, 4), 0);
        } else {
            ASSERT_NE(surface, nullptr) << SDL_GetError();
            auto at = [&](const SDL_Rect& r) {
                return static_cast<const uint32_t*>(surface->pixels)[r.y * (surface->pitch / 4) + r.x];
            };
            centre = at(c);
            topLeft = at(t);
        }
    }
    TSdlDisplay* Display = nullptr;
};

TEST_F(SdlAppTest, EveryServiceIsInstalledAndTheWindowAnswers)
{
    EXPECT_NE(Platform.Clock, nullptr);
    EXPECT_NE(Platform.Keyboard, nullptr);
    EXPECT_NE(Platform.Mouse, nullptr);
    EXPECT_NE(Platform.Display, nullptr);
    EXPECT_NE(Platform.Mixer, nullptr);
    EXPECT_NE(Platform.Music, nullptr);
    EXPECT_NE(Platform.Http, nullptr);
    EXPECT_NE(Platform.Opener, nullptr);
    EXPECT_NE(Platform.Text, nullptr);
    int32_t w = 0, h = 0;
    Platform.Display->GetDesktopSize(w, h);
    EXPECT_EQ(w, 1024); // the headless driver's screen
    EXPECT_EQ(h, 768);
    Platform.Display->SetTitle("Zephyrion");
    EXPECT_STREQ(SDL_GetWindowTitle(Display->Window()), "Zephyrion");
    // No desktop to show a box on: the message goes to standard error only.
    Platform.Display->ShowError("Zephyrion", "a test message, not an error");
    ClosePlatform();
    EXPECT_EQ(Platform.Display, nullptr);
    EXPECT_TRUE(OpenPlatform()); // and it opens again
}

TEST_F(SdlAppTest, FramesAreShownWithTheirTopByteIgnoredInBothModes)
{
    TDirectDraw dd;
    TSurface* frame = dd.CreateSurface(800, 600);
    for (const bool windowed : {true, false}) {
        Platform.Display->SetMode(windowed);
        // 0x00RRGGBB pixels: a zero top byte is not transparency.
        frame->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0x00123456);
        const TRect corner{0, 0, 100, 100};
        frame->Blt(&corner, nullptr, nullptr, DDBLT_COLORFILL, 0x00FF8000);
        Platform.Display->Present(*frame, TRect{0, 0, 800, 600});
        int ow = 0, oh = 0;
        uint32_t centre = 0, topLeft = 0;
        ReadShown(ow, oh, centre, topLeft);
        EXPECT_EQ(centre & 0xFFFFFF, 0x123456u) << (windowed ? "window" : "full screen");
        EXPECT_EQ(topLeft & 0xFFFFFF, 0xFF8000u) << (windowed ? "window" : "full screen");
        if (!windowed) {
            EXPECT_EQ(ow, 1024);
            EXPECT_EQ(oh, 768);
        }
    }
    // A source rectangle off the frame shows what lies on it and nothing else.
    Platform.Display->Present(*frame, TRect{-50, -50, 2000, 2000});
    dd.Release(frame);
}

TEST_F(SdlAppTest, KeysArriveAsVirtualKeyCodesWithAltAndRepeats)
{
    TRecorder r;
    const auto log = Run({Key(SDLK_F12, SDL_SCANCODE_F12), Key(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT),
                          Key(SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT), Key(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT),
                          Key(SDLK_y, SDL_SCANCODE_Y), Key(SDLK_DOWN, SDL_SCANCODE_DOWN, KMOD_NONE, 1),
                          Key(SDLK_DOWN, SDL_SCANCODE_DOWN, KMOD_NONE, 1), Key(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN)},
                         r);
    EXPECT_EQ(log, (std::vector<std::string>{"key 123", "key 13 alt", "key 18 alt", "key 16", "key 89", "key 40",
                                             "key 40"}));
}

TEST_F(SdlAppTest, MouseEventsReachTheWindowAndTheDevice)
{
    Platform.Mouse->Acquire();
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = Display->WindowId();
    move.motion.x = 400;
    move.motion.y = 300;
    move.motion.xrel = 7;
    move.motion.yrel = -3;
    SDL_Event move2 = move;
    move2.motion.x = 402;
    move2.motion.xrel = 2;
    move2.motion.yrel = 0;
    SDL_Event down{};
    down.type = SDL_MOUSEBUTTONDOWN;
    down.button.windowID = Display->WindowId();
    down.button.button = SDL_BUTTON_RIGHT;
    down.button.state = SDL_PRESSED;
    down.button.x = 402;
    down.button.y = 300;
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = Display->WindowId();
    wheel.wheel.y = 1;
    TRecorder r;
    const auto log = Run({move, move2, down, wheel}, r);
    EXPECT_EQ(log, (std::vector<std::string>{"move 400,300", "move 402,300", "down 1 402,300"}));
    struct {
        int32_t X, Y, Z;
        uint8_t Buttons[4];
        uint8_t Pad[4];
    } state{};
    ASSERT_EQ(Platform.Mouse->GetDeviceState(20, &state), DD_OK);
    EXPECT_EQ(state.X, 9);
    EXPECT_EQ(state.Y, -3);
    EXPECT_EQ(state.Z, 120);
    EXPECT_EQ(state.Buttons[0], 0);
    EXPECT_EQ(state.Buttons[1], 0x80);
}

TEST_F(SdlAppTest, WindowEventsBecomeActivationRestoreMaximiseAndMove)
{
    struct TCase {
        const char* Name;
        std::vector<SDL_WindowEventID> Events;
        std::vector<std::string> Log;
    } cases[] = {
        {"switching away and back", {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED}, {"deactivate", "activate"}},
        {"minimise and restore",
         {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_FOCUS_GAINED},
         {"deactivate", "restore", "activate"}},
        {"focus reported before the restore",
         {SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_RESTORED},
         {"restore", "activate"}},
        {"restored from maximised is no restore", {SDL_WINDOWEVENT_RESTORED}, {}},
        {"maximise", {SDL_WINDOWEVENT_MAXIMIZED}, {"maximize"}},
        {"moved", {SDL_WINDOWEVENT_MOVED}, {"window moved"}},
        {"other events are nothing", {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_ENTER, SDL_WINDOWEVENT_LEAVE}, {}},
    };
    for (const TCase& c : cases) {
        // A fresh window for each case: a loop that ended stays ended.
        TearDown();
        SetUp();
        std::vector<SDL_Event> events;
        for (SDL_WindowEventID id : c.Events)
            events.push_back(Window(id));
        TRecorder r;
        EXPECT_EQ(Run(events, r), c.Log) << c.Name;
    }
}

TEST_F(SdlAppTest, CloseOnlyWhenTheGameAgrees)
{
    TRecorder r;
    SDL_Event close = Window(SDL_WINDOWEVENT_CLOSE);
    r.Idle = [&](int n) {
        // The first request was refused and the loop went on; the second is granted.
        if (n == 3) {
            r.AllowClose = true;
            SDL_PushEvent(&close);
        }
        if (n > 10)
            Platform.Display->RequestQuit();
    };
    const auto log = Run({close}, r);
    EXPECT_EQ(log, (std::vector<std::string>{"close?", "close?"}));
    EXPECT_EQ(r.Idles, 3);
}

TEST_F(SdlAppTest, LoopSleepsUntilTheNextTick)
{
    // Each idle call sees a new tick count: the loop neither spins between
    // ticks nor skips them.
    TRecorder r;
    std::vector<uint32_t> ticks;
    r.Idle = [&](int) {
        ticks.push_back(Platform.Clock->GetTickCount());
        if (ticks.size() == 24)
            Platform.Display->RequestQuit();
    };
    Run({}, r);
    ASSERT_EQ(ticks.size(), 24u);
    int repeats = 0;
    for (size_t i = 1; i < ticks.size(); ++i)
        if (ticks[i] == ticks[i - 1])
            ++repeats;
    EXPECT_LE(repeats, 4); // an early wake-up may give one more idle call on a tick
    EXPECT_GE(ticks.back() - ticks.front(), 18u * 15u);
}

} // namespace

namespace {

TEST_F(SdlAppTest, CursorPlacedInScreenCoordinatesLandsInTheClientAreaWithoutDeviceMotion)
{
    // The game puts the cursor at the window's corner + (200, 200) every
    // frame while the mouse flies the ship; the device must not see that as
    // the player's motion.
    Platform.Display->SetMode(true);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Platform.Mouse->Acquire();
    int32_t left = 0, top = 0;
    Platform.Display->GetWindowPos(left, top);
    Platform.Display->SetCursorPos(left + 200, top + 200);
    TRecorder r;
    const auto log = Run({}, r);
    EXPECT_EQ(log, (std::vector<std::string>{"move 200,200"}));
    int32_t state[5] = {};
    ASSERT_EQ(Platform.Mouse->GetDeviceState(20, state), DD_OK);
    EXPECT_EQ(state[0], 0);
    EXPECT_EQ(state[1], 0);
}

} // namespace

namespace {

TEST_F(SdlAppTest, AHeldAltCombinationArrivesOnce)
{
    // Key repeats of Alt+Enter would switch the display mode again and again;
    // plain keys keep repeating.
    TRecorder r;
    const auto log = Run({Key(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT),
                          Key(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, 1),
                          Key(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT, 1),
                          Key(SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT, 1),
                          Key(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_NONE, 1)},
                         r);
    EXPECT_EQ(log, (std::vector<std::string>{"key 13 alt", "key 13"}));
}

TEST_F(SdlAppTest, EffectsAreHeardOnlyWhileTheWindowIsInFront)
{
    const struct {
        const char* Name;
        std::vector<SDL_WindowEventID> Events;
        bool Heard;
    } cases[] = {
        {"at start", {}, true},
        {"another program in front", {SDL_WINDOWEVENT_FOCUS_LOST}, false},
        {"minimised", {SDL_WINDOWEVENT_MINIMIZED}, false},
        {"back in front", {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED}, true},
        {"restored from the taskbar",
         {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED,
          SDL_WINDOWEVENT_FOCUS_GAINED},
         true},
    };
    for (const auto& c : cases) {
        TearDown();
        SetUp();
        std::vector<SDL_Event> events;
        for (SDL_WindowEventID id : c.Events)
            events.push_back(Window(id));
        TRecorder r;
        Run(events, r);
        EXPECT_EQ(EffectsInFront(), c.Heard) << c.Name;
    }
}

TEST_F(SdlAppTest, ThePointerPositionReachesTheGameWhenTheWindowComesToTheFront)
{
    // The pointer crosses the window while another program is in front
    // (moves the game does not keep then), and the window is activated with
    // the pointer resting there: the game hears where it is. A pointer that
    // left the window tells nothing.
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = Display->WindowId();
    move.motion.x = 300;
    move.motion.y = 250;
    // clang-format off
    const struct {
        const char* Name;
        std::vector<SDL_Event> Events;
        std::vector<std::string> Log;
    } cases[] = {
        {"pointer over the window",
         {Window(SDL_WINDOWEVENT_FOCUS_LOST), Window(SDL_WINDOWEVENT_ENTER), move, Window(SDL_WINDOWEVENT_FOCUS_GAINED)},
         {"deactivate", "move 300,250", "activate", "move 300,250"}},
        {"pointer gone",
         {Window(SDL_WINDOWEVENT_FOCUS_LOST), move, Window(SDL_WINDOWEVENT_LEAVE), Window(SDL_WINDOWEVENT_FOCUS_GAINED)},
         {"deactivate", "move 300,250", "activate"}},
        {"pointer never seen", {Window(SDL_WINDOWEVENT_FOCUS_LOST), Window(SDL_WINDOWEVENT_FOCUS_GAINED)},
         {"deactivate", "activate"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        TearDown();
        SetUp();
        std::vector<SDL_Event> events = c.Events;
        for (SDL_Event& e : events)
            if (e.type == SDL_WINDOWEVENT)
                e.window.windowID = Display->WindowId();
            else
                e.motion.windowID = Display->WindowId();
        TRecorder r;
        EXPECT_EQ(Run(events, r), c.Log) << c.Name;
    }
}

} // namespace

namespace {

TEST_F(SdlAppTest, WithoutAGpuTheWindowSurfaceShowsTheFrameAndNoRendererIsMade)
{
    // The headless driver has no OpenGL at all: the window surface path.
    EXPECT_EQ(Display->Path(), TPresentPath::WindowSurface);
    EXPECT_EQ(SDL_GetRenderer(Display->Window()), nullptr);
    EXPECT_STREQ(Display->RendererName(), "window surface");
}

TEST_F(SdlAppTest, MousePositionsOnTheFullScreenPictureArriveInFramePixels)
{
    // 1024 x 768 full screen shows the frame 1.28 times: window pixel 640,
    // 384 is frame pixel 500, 300 (the centre sampled), and relative motion
    // shrinks by the same factor.
    Platform.Display->SetMode(false);
    Platform.Mouse->Acquire();
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = Display->WindowId();
    move.motion.x = 640;
    move.motion.y = 384;
    move.motion.xrel = 64;
    move.motion.yrel = -32;
    SDL_Event down{};
    down.type = SDL_MOUSEBUTTONDOWN;
    down.button.windowID = Display->WindowId();
    down.button.button = SDL_BUTTON_LEFT;
    down.button.state = SDL_PRESSED;
    down.button.x = 1023;
    down.button.y = 767;
    TRecorder r;
    const auto log = Run({move, down}, r);
    EXPECT_EQ(log, (std::vector<std::string>{"move 500,300", "down 0 799,599"}));
    int32_t state[5] = {};
    ASSERT_EQ(Platform.Mouse->GetDeviceState(20, state), DD_OK);
    EXPECT_EQ(state[0], 50);
    EXPECT_EQ(state[1], -25);
    int32_t x = 512, y = 384;
    Display->WindowToFrame(x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
}

TEST_F(SdlAppTest, TheWindowKeepsItsSizeWhenTheBorderIsDragged)
{
    // The window is resizable only so that maximise is offered; a new size
    // from outside is undone at the next frame.
    TDirectDraw dd;
    TSurface* frame = dd.CreateSurface(800, 600);
    Platform.Display->SetMode(true);
    EXPECT_TRUE(SDL_GetWindowFlags(Display->Window()) & SDL_WINDOW_RESIZABLE);
    const int scale = Display->WindowScale();
    SDL_SetWindowSize(Display->Window(), 900, 500);
    Platform.Display->Present(*frame, TRect{0, 0, 800, 600});
    int w = 0, h = 0;
    SDL_GetWindowSize(Display->Window(), &w, &h);
    EXPECT_EQ(w, 800 * scale);
    EXPECT_EQ(h, 600 * scale);
    // Full screen is left alone.
    Platform.Display->SetMode(false);
    Platform.Display->Present(*frame, TRect{0, 0, 800, 600});
    SDL_GetWindowSize(Display->Window(), &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    dd.Release(frame);
}

} // namespace
