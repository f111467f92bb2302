// The main window and the screen over SDL2: one window whose 800 x 600
// picture is shown either as a fixed-size window (800 x 600, or 1600 x 1200
// with every pixel doubled on a desktop large enough for it) or full screen at
// the desktop's own mode, scaled to fit with black bars. No monitor mode
// switch ever happens.
//
// The frame reaches the screen by the path chosen at start (PresentPath.h):
// SDL's renderer with one streaming texture, or the window surface with our
// own scaler (FrameScaler.h) when the only OpenGL would be a software one.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"
#include "platform/sdl/FrameScaler.h"
#include "platform/sdl/PresentPath.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;
union SDL_Event;

constexpr int32_t ClientWidth = 800;
constexpr int32_t ClientHeight = 600;

class TSdlDisplay : public IDisplay {
public:
    TSdlDisplay() = default;
    ~TSdlDisplay() override;
    TSdlDisplay(const TSdlDisplay&) = delete;
    TSdlDisplay& operator=(const TSdlDisplay&) = delete;

    // Creates the (still hidden) window and chooses how frames reach it
    // (renderer and texture, or the window surface). False with SDL's reason
    // in error when there is no way to show a window.
    bool Create(std::string& error);

    void SetMode(bool windowed) override;
    void Present(const TSurface& frame, const TRect& srcRect) override;
    void GetDesktopSize(int32_t& width, int32_t& height) override;
    void GetWindowPos(int32_t& left, int32_t& top) override;
    void MoveWindow(int32_t left, int32_t top) override;
    void ShowCursor(bool show) override;
    void SetCursorPos(int32_t x, int32_t y) override;
    void Minimize() override;
    void Show() override;
    void SetTitle(const std::string& title) override;
    void RequestQuit() override { QuitRequested = true; }
    void ShowError(const std::string& title, const std::string& message) override;

    bool IsQuitRequested() const { return QuitRequested; }
    bool IsWindowed() const { return Windowed; }
    uint32_t WindowId() const;
    SDL_Window* Window() const { return Win; }
    const char* RendererName() const { return RendererName_; }
    TPresentPath Path() const { return Path_; }
    // What the decision was made from (for the figures and the tests).
    const TPresentFacts& PresentFacts() const { return Facts; }
    // The window's size in window mode: 800 x 600, or 1600 x 1200 on a
    // desktop where that and the window's frame fit.
    int32_t WindowScale() const { return Scale; }
    // A position in window pixels as a position on the 800 x 600 frame, the
    // same mapping mouse events get.
    void WindowToFrame(int32_t& x, int32_t& y);

private:
    bool CreateRenderer(std::string& error);
    void DestroyRenderer();
    bool MakeWindowSurface();
    void PresentToSurface(const TSurface& frame, const TRect& s);
    void KeepWindowSize();
    static int MapMouseEvent(void* display, SDL_Event* e);

    SDL_Window* Win = nullptr;
    SDL_Renderer* Renderer = nullptr;
    SDL_Texture* Texture = nullptr;
    const char* RendererName_ = "";
    TPresentPath Path_ = TPresentPath::Renderer;
    TPresentFacts Facts;
    TFrameScaler Scaler;                // draws the frame onto the window surface
    TFrameScaler MouseMapper;           // window pixels to frame pixels
    SDL_Surface* LastSurface = nullptr; // the surface the bars were painted on
    int32_t LastW = 0, LastH = 0;
    int32_t RefusedW = 0, RefusedH = 0; // the last size given back to the window manager
    int32_t Scale = 1;
    bool WatchingMouse = false;
    bool Windowed = true;
    bool Shown = false;
    bool QuitRequested = false;
};
