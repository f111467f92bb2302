#include "platform/sdl/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

TSdlDisplay::~TSdlDisplay()
{
    if (Texture)
        SDL_DestroyTexture(Texture);
    if (Renderer)
        SDL_DestroyRenderer(Renderer);
    if (Win)
        SDL_DestroyWindow(Win);
}

bool TSdlDisplay::Create(std::string& error)
{
    // Hidden until the game has set its display mode, so the first picture
    // the player sees is already in the saved mode.
    Win = SDL_CreateWindow("Zephyrion", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, ClientWidth,
                           ClientHeight, SDL_WINDOW_HIDDEN);
    if (!Win) {
        error = SDL_GetError();
        return false;
    }
    // No vsync: the message loop paces the frames by the tick count.
    Renderer = SDL_CreateRenderer(Win, -1, SDL_RENDERER_ACCELERATED);
    if (!Renderer)
        Renderer = SDL_CreateRenderer(Win, -1, SDL_RENDERER_SOFTWARE);
    if (!Renderer) {
        error = SDL_GetError();
        return false;
    }
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(Renderer, &info) == 0 && info.name)
        RendererName_ = info.name;
    // Letterboxing at any window size; also maps mouse positions back to 800 x 600.
    SDL_RenderSetLogicalSize(Renderer, ClientWidth, ClientHeight);
    Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, ClientWidth,
                                ClientHeight);
    if (!Texture) {
        error = SDL_GetError();
        return false;
    }
    // Frames are 0x00RRGGBB: the top byte is not alpha and must not blend.
    SDL_SetTextureBlendMode(Texture, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    return true;
}

uint32_t TSdlDisplay::WindowId() const { return Win ? SDL_GetWindowID(Win) : 0; }

void TSdlDisplay::SetMode(bool windowed)
{
    if (!Win)
        return;
    Windowed = windowed;
    if (windowed) {
        SDL_SetWindowFullscreen(Win, 0);
        if (SDL_GetWindowFlags(Win) & SDL_WINDOW_MAXIMIZED)
            SDL_RestoreWindow(Win);
        SDL_SetWindowBordered(Win, SDL_TRUE);
        SDL_SetWindowSize(Win, ClientWidth, ClientHeight);
        SDL_SetWindowPosition(Win, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
        // The window first covers the whole screen by itself: a desktop
        // without a window manager (a bare X server) ignores the full-screen
        // request, and the picture must fill the screen there too.
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(Win), 0), &bounds) == 0) {
            SDL_SetWindowBordered(Win, SDL_FALSE);
            SDL_SetWindowPosition(Win, bounds.x, bounds.y);
            SDL_SetWindowSize(Win, bounds.w, bounds.h);
        }
        SDL_SetWindowFullscreen(Win, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (!Shown) {
        SDL_ShowWindow(Win);
        Shown = true;
    }
    // Whatever was on the screen before the switch is not the game's picture.
    SDL_RenderClear(Renderer);
    SDL_RenderPresent(Renderer);
}

void TSdlDisplay::Present(const TSurface& frame, const TRect& srcRect)
{
    if (!Renderer || !Texture)
        return;
    // The part of srcRect that lies on the frame, at most one screen.
    TRect s = srcRect;
    s.Left = std::max(s.Left, 0);
    s.Top = std::max(s.Top, 0);
    s.Right = std::min({s.Right, frame.Width(), s.Left + ClientWidth});
    s.Bottom = std::min({s.Bottom, frame.Height(), s.Top + ClientHeight});
    SDL_RenderClear(Renderer);
    if (s.Width() > 0 && s.Height() > 0) {
        const SDL_Rect area{0, 0, s.Width(), s.Height()};
        const uint32_t* first = frame.Pixels() + static_cast<size_t>(s.Top) * frame.Width() + s.Left;
        SDL_UpdateTexture(Texture, &area, first, frame.Width() * 4);
        // Stretched over the whole 800 x 600 picture, as the present blit was.
        SDL_RenderCopy(Renderer, Texture, &area, nullptr);
    }
    SDL_RenderPresent(Renderer);
}

void TSdlDisplay::GetDesktopSize(int32_t& width, int32_t& height)
{
    SDL_DisplayMode mode;
    const int index = Win ? std::max(SDL_GetWindowDisplayIndex(Win), 0) : 0;
    if (SDL_GetDesktopDisplayMode(index, &mode) == 0) {
        width = mode.w;
        height = mode.h;
    } else {
        width = ClientWidth;
        height = ClientHeight;
    }
}

void TSdlDisplay::GetWindowPos(int32_t& left, int32_t& top)
{
    int x = 0, y = 0;
    if (Win)
        SDL_GetWindowPosition(Win, &x, &y);
    left = x;
    top = y;
}

void TSdlDisplay::MoveWindow(int32_t left, int32_t top)
{
    if (Win && Windowed)
        SDL_SetWindowPosition(Win, left, top);
}

void TSdlDisplay::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void TSdlDisplay::SetCursorPos(int32_t x, int32_t y)
{
    if (!Win)
        return;
    int left = 0, top = 0;
    SDL_GetWindowPosition(Win, &left, &top);
    SDL_WarpMouseInWindow(Win, x - left, y - top);
}

void TSdlDisplay::Minimize()
{
    if (Win)
        SDL_MinimizeWindow(Win);
}

void TSdlDisplay::Show()
{
    if (!Win)
        return;
    SDL_ShowWindow(Win);
    SDL_RestoreWindow(Win);
    SDL_RaiseWindow(Win);
    Shown = true;
}

void TSdlDisplay::SetTitle(const std::string& title)
{
    if (Win)
        SDL_SetWindowTitle(Win, title.c_str());
}

void TSdlDisplay::ShowError(const std::string& title, const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", title.c_str(), message.c_str());
    std::fflush(stderr);
    // Without a desktop there is nobody to show a box to: standard error is enough.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), Win);
}
