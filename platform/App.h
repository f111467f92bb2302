// The application's message loop. The real loop (platform/sdl) turns window
// events into these calls and calls OnIdle whenever the queue is empty,
// sleeping until the next tick of the clock is due instead of spinning.
#pragma once
#include <cstdint>

struct IAppHandler {
    virtual ~IAppHandler() = default;
    virtual void OnIdle() = 0;
    // Key-down with the old platform's virtual-key code; alt: Alt is held.
    virtual void OnKeyDown(uint16_t vk, bool alt) = 0;
    virtual void OnMouseMove(int32_t x, int32_t y) = 0; // client pixels, 800 x 600
    virtual void OnMouseDown(int32_t button, int32_t x, int32_t y) = 0;
    virtual void OnActivate() = 0;
    virtual void OnDeactivate() = 0;
    virtual void OnRestore() = 0;    // back from minimised
    virtual bool OnCloseQuery() = 0; // true: the window may close
    virtual void OnMaximize() = 0;   // maximise or caption double click
    virtual void OnWindowMove() = 0;
};

// Opens the real platform services (SDL video, audio, fonts, HTTP, opener) and
// installs them into Platform. False when the video system cannot start.
bool OpenPlatform();
void ClosePlatform();
// Runs the message loop until IDisplay::RequestQuit or a granted close.
void RunMessageLoop(IAppHandler& handler);
