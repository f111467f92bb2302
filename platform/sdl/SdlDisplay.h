// The main window and the screen over SDL2: one window whose 800 x 600
// picture is shown through one streaming texture, either as a fixed-size
// window or full screen at the desktop's own mode, scaled to fit with black
// bars. No monitor mode switch ever happens.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

constexpr int32_t ClientWidth = 800;
constexpr int32_t ClientHeight = 600;

class TSdlDisplay : public IDisplay {
public:
    TSdlDisplay() = default;
    ~TSdlDisplay() override;
    TSdlDisplay(const TSdlDisplay&) = delete;
    TSdlDisplay& operator=(const TSdlDisplay&) = delete;

    // Creates the (still hidden) window, its renderer and texture. False with
    // SDL's reason in error when there is no way to show a window.
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

private:
    SDL_Window* Win = nullptr;
    SDL_Renderer* Renderer = nullptr;
    SDL_Texture* Texture = nullptr;
    const char* RendererName_ = "";
    bool Windowed = true;
    bool Shown = false;
    bool QuitRequested = false;
};
