// Start-up and shutdown of the real platform, and the message loop that turns
// SDL's events into the main window's events and calls the idle handler
// whenever the queue is empty, sleeping until the next tick of the clock so
// the game draws its 64 frames a second without spinning a core.
#include <SDL.h>

#include <cstdio>
#include <memory>

#include "platform/App.h"
#include "platform/sdl/KeyTables.h"
#include "platform/sdl/SdlClock.h"
#include "platform/sdl/SdlDisplay.h"
#include "platform/sdl/SdlGamepad.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/SdlMixer.h"
#include "platform/sdl/SdlText.h"
#include "platform/sdl/Services.h"
#include "platform/sdl/SpawnOpener.h"

namespace {

struct TSdlServices {
    std::unique_ptr<TSdlDisplay> Display;
    std::unique_ptr<TSdlClock> Clock;
    std::unique_ptr<TSdlKeyboard> Keyboard;
    std::unique_ptr<TSdlMouse> Mouse;
    std::unique_ptr<TSdlText> Text;
    std::unique_ptr<TSpawnOpener> Opener;
    std::unique_ptr<IEffectMixer> Mixer;
    std::unique_ptr<IModulePlayer> Music;
    std::unique_ptr<IHttpClient> Http;
    std::unique_ptr<TSdlGamepad> Gamepad;
};

TSdlServices* Services = nullptr;

// Mouse buttons as the old window events numbered them: left, right, middle,
// then the side buttons.
int32_t ButtonIndex(uint8_t sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    case SDL_BUTTON_X2: return 4;
    default: return -1;
    }
}

class TEventPump {
public:
    TEventPump(TSdlServices& services, IAppHandler& handler) : S(services), Handler(handler) {}
    bool Ended() const { return Closed || S.Display->IsQuitRequested(); }
    void Dispatch(const SDL_Event& e);

private:
    void WindowEvent(const SDL_WindowEvent& w);
    TSdlServices& S;
    IAppHandler& Handler;
    bool Minimized = false;
    bool Closed = false;
    // Where the pointer was last seen over the window (client pixels).
    int32_t PointerX = 0, PointerY = 0;
    bool PointerInside = false;
};

void TEventPump::Dispatch(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_KEYDOWN: {
        // Held keys repeat, as the old key-down messages did, except the Alt
        // combinations: a held Alt+Enter switches the display mode once.
        const uint16_t vk = KeyDownVk(e.key.keysym.sym, e.key.keysym.scancode);
        const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0 || vk == VkCode::Menu;
        if (vk && !(alt && e.key.repeat))
            Handler.OnKeyDown(vk, alt);
        break;
    }
    case SDL_MOUSEMOTION:
        PointerX = e.motion.x;
        PointerY = e.motion.y;
        PointerInside = true;
        S.Mouse->AddMotion(e.motion.xrel, e.motion.yrel);
        Handler.OnMouseMove(e.motion.x, e.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const int32_t button = ButtonIndex(e.button.button);
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        S.Mouse->SetButton(button, down);
        if (down && button >= 0)
            Handler.OnMouseDown(button, e.button.x, e.button.y);
        break;
    }
    case SDL_MOUSEWHEEL: {
        const int32_t notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        S.Mouse->AddWheel(notches);
        break;
    }
    case SDL_WINDOWEVENT:
        if (e.window.windowID == S.Display->WindowId())
            WindowEvent(e.window);
        break;
    case SDL_QUIT:
        // Only a signal (Ctrl+C, a session's end) brings this: the window's
        // own close button comes as a window event and asks the game first.
        Closed = true;
        break;
    default:
        break;
    }
}

void TEventPump::WindowEvent(const SDL_WindowEvent& w)
{
    switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        // Some desktops give focus before they report the restore.
        if (Minimized) {
            Minimized = false;
            Handler.OnRestore();
        }
        SetEffectsInFront(true);
        Handler.OnActivate();
        // The pointer may have moved over the window while another program
        // was in front: the game learns where it is before the next click.
        if (PointerInside)
            Handler.OnMouseMove(PointerX, PointerY);
        break;
    case SDL_WINDOWEVENT_ENTER:
        PointerInside = true;
        break;
    case SDL_WINDOWEVENT_LEAVE:
        PointerInside = false;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // Effects are heard only while the game is in front.
        SetEffectsInFront(false);
        Handler.OnDeactivate();
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        SetEffectsInFront(false);
        Minimized = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
        // Also sent when a maximised window returns to normal: only a way back
        // from the taskbar counts as a restore.
        if (Minimized) {
            Minimized = false;
            Handler.OnRestore();
        }
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        Handler.OnMaximize();
        break;
    case SDL_WINDOWEVENT_MOVED:
        Handler.OnWindowMove();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        if (Handler.OnCloseQuery())
            Closed = true;
        break;
    default:
        break;
    }
}

} // namespace

bool OpenPlatform()
{
    if (Services)
        return true;
    // The game decides itself what losing focus does in full screen.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Closing the window is a request the game may refuse.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // A click that activates the window also reaches the menus.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Full screen scales the 800 x 600 picture smoothly.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "Zephyrion: cannot start the video system: %s\n", SDL_GetError());
        return false;
    }
    // Without a sound device the game runs silent.
    SDL_InitSubSystem(SDL_INIT_AUDIO);

    auto services = std::make_unique<TSdlServices>();
    services->Display = std::make_unique<TSdlDisplay>();
    std::string error;
    if (!services->Display->Create(error)) {
        std::fprintf(stderr, "Zephyrion: cannot open the window: %s\n", error.c_str());
        services.reset();
        SDL_Quit();
        return false;
    }
    // Key-down events are all the game reads; no text input methods.
    SDL_StopTextInput();
    services->Clock = std::make_unique<TSdlClock>();
    services->Keyboard = std::make_unique<TSdlKeyboard>();
    services->Mouse = std::make_unique<TSdlMouse>();
    services->Text = std::make_unique<TSdlText>();
    services->Opener = std::make_unique<TSpawnOpener>();
    services->Mixer.reset(CreateSdlMixer());
    services->Music.reset(CreateXmpPlayer());
    services->Http.reset(CreateCurlHttp());
    // Controllers are optional: without the system, the pad stays idle.
    services->Gamepad = std::make_unique<TSdlGamepad>();

    Platform.Clock = services->Clock.get();
    Platform.Keyboard = services->Keyboard.get();
    Platform.Mouse = services->Mouse.get();
    Platform.Display = services->Display.get();
    Platform.Mixer = services->Mixer.get();
    Platform.Music = services->Music.get();
    Platform.Http = services->Http.get();
    Platform.Opener = services->Opener.get();
    Platform.Text = services->Text.get();
    Platform.Gamepad = services->Gamepad.get();
    Services = services.release();
    return true;
}

void ClosePlatform()
{
    if (!Services)
        return;
    Platform = TPlatform{};
    // The module player and the mixer stop their device first; the objects
    // themselves belong to this layer.
    DestroySdlAudio();
    delete Services;
    Services = nullptr;
    SDL_Quit();
}

void RunMessageLoop(IAppHandler& handler)
{
    if (!Services)
        return;
    TEventPump pump(*Services, handler);
    SDL_Event e;
    while (!pump.Ended()) {
        while (!pump.Ended() && SDL_PollEvent(&e))
            pump.Dispatch(e);
        if (pump.Ended())
            break;
        handler.OnIdle();
        if (pump.Ended())
            break;
        // Nothing new can be drawn before the tick count moves on.
        const uint32_t wait = Services->Clock->MsUntilNextTick();
        if (SDL_WaitEventTimeout(&e, static_cast<int>(wait)))
            pump.Dispatch(e);
    }
}
