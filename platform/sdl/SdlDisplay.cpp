#include "platform/sdl/SdlDisplay.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cstdio>

namespace {

// Does the X server offer direct rendering? Without it (Xvfb, a remote or a
// virtual display) every OpenGL context would be Mesa's software one. Asked
// through the X library SDL has already loaded, so nothing new is mapped;
// when the answer cannot be had, the renderer is probed instead.
bool XServerHasDirectRendering(SDL_Window* win)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(win, &info) || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return true;
    void* lib = SDL_LoadObject("libX11.so.6");
    if (!lib)
        return true;
    using TQueryExtension = int (*)(Display*, const char*, int*, int*, int*);
    auto query = reinterpret_cast<TQueryExtension>(SDL_LoadFunction(lib, "XQueryExtension"));
    bool direct = !query;
    for (const char* name : {"DRI3", "DRI2", "NV-GLX"}) {
        int opcode = 0, event = 0, error = 0;
        if (query && query(info.info.x11.display, name, &opcode, &event, &error))
            direct = true;
    }
    SDL_UnloadObject(lib);
    return direct;
#else
    (void)win;
    return true;
#endif
}

// The OpenGL renderer string of the current context ("llvmpipe (LLVM 15.0.6,
// 256 bits)", "AMD Radeon ..."), empty without OpenGL.
std::string CurrentGlRenderer()
{
    using TGetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<TGetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString)
        return "";
    constexpr unsigned int GlRenderer = 0x1F01;
    const unsigned char* name = getString(GlRenderer);
    return name ? reinterpret_cast<const char*>(name) : "";
}

bool IsXrgb8888(const SDL_Surface* s)
{
    return s && s->format && (s->format->format == SDL_PIXELFORMAT_RGB888 || s->format->format == SDL_PIXELFORMAT_ARGB8888);
}

} // namespace

TSdlDisplay::~TSdlDisplay()
{
    if (WatchingMouse)
        SDL_DelEventWatch(MapMouseEvent, this);
    DestroyRenderer();
    if (Win)
        SDL_DestroyWindow(Win);
}

bool TSdlDisplay::Create(std::string& error)
{
    // Hidden until the game has set its display mode, so the first picture
    // the player sees is already in the saved mode. Resizable so that the
    // window manager offers maximise (which goes full screen); any other size
    // change is undone.
    Win = SDL_CreateWindow("Zephyrion", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, ClientWidth,
                           ClientHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!Win) {
        error = SDL_GetError();
        return false;
    }
    const char* requested = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const char* video = SDL_GetCurrentVideoDriver();
    Facts.RequestedRenderDriver = requested ? requested : "";
    Facts.VideoDriver = video ? video : "";
    Facts.DirectRendering = Facts.VideoDriver == "x11" && XServerHasDirectRendering(Win);
    Path_ = ChoosePresentPath(Facts);
    if (Path_ == TPresentPath::ProbeRenderer) {
        Facts.Probed = true;
        std::string ignored;
        if (CreateRenderer(ignored) && std::string(RendererName_).rfind("opengl", 0) == 0)
            Facts.GlRenderer = CurrentGlRenderer();
        Path_ = ChoosePresentPath(Facts);
        if (Path_ == TPresentPath::WindowSurface)
            DestroyRenderer();
    }
    if (Path_ == TPresentPath::WindowSurface && !MakeWindowSurface()) {
        Facts.SurfaceFailed = true;
        Path_ = ChoosePresentPath(Facts);
    }
    if (Path_ == TPresentPath::WindowSurface) {
        RendererName_ = "window surface";
        // Without a renderer nobody maps mouse positions to the frame: we do,
        // before the events are queued, as the renderer would.
        SDL_AddEventWatch(MapMouseEvent, this);
        WatchingMouse = true;
        return true;
    }
    return Renderer || CreateRenderer(error);
}

bool TSdlDisplay::CreateRenderer(std::string& error)
{
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
        DestroyRenderer();
        return false;
    }
    // Frames are 0x00RRGGBB: the top byte is not alpha and must not blend.
    SDL_SetTextureBlendMode(Texture, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    return true;
}

void TSdlDisplay::DestroyRenderer()
{
    if (Texture)
        SDL_DestroyTexture(Texture);
    if (Renderer)
        SDL_DestroyRenderer(Renderer);
    Texture = nullptr;
    Renderer = nullptr;
    RendererName_ = "";
}

bool TSdlDisplay::MakeWindowSurface()
{
    // The direct path: an image in X shared memory, no OpenGL behind it.
    // Must be set before the first window surface exists.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* s = SDL_GetWindowSurface(Win);
    return IsXrgb8888(s);
}

uint32_t TSdlDisplay::WindowId() const { return Win ? SDL_GetWindowID(Win) : 0; }

void TSdlDisplay::SetMode(bool windowed)
{
    if (!Win)
        return;
    Windowed = windowed;
    RefusedW = RefusedH = 0;
    if (windowed) {
        SDL_SetWindowFullscreen(Win, 0);
        if (SDL_GetWindowFlags(Win) & SDL_WINDOW_MAXIMIZED)
            SDL_RestoreWindow(Win);
        SDL_SetWindowBordered(Win, SDL_TRUE);
        // Twice the size on a desktop that has room for it; the frame's size
        // is known once the window manager has framed the window.
        SDL_Rect usable;
        int top = 0, left = 0, bottom = 0, right = 0;
        const int display = std::max(SDL_GetWindowDisplayIndex(Win), 0);
        if (SDL_GetWindowBordersSize(Win, &top, &left, &bottom, &right) != 0 || top + bottom == 0) {
            top = 32;
            left = right = bottom = 8;
        }
        Scale = SDL_GetDisplayUsableBounds(display, &usable) == 0
                    ? WindowScaleFor(usable.w, usable.h, left + right, top + bottom, ClientWidth, ClientHeight)
                    : 1;
        SDL_SetWindowSize(Win, ClientWidth * Scale, ClientHeight * Scale);
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
    if (Renderer) {
        // Doubled pixels stay sharp in the window; full screen scales smoothly.
        if (Texture)
            SDL_SetTextureScaleMode(Texture, windowed ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        SDL_RenderClear(Renderer);
        SDL_RenderPresent(Renderer);
    } else if (SDL_Surface* s = SDL_GetWindowSurface(Win)) {
        SDL_FillRect(s, nullptr, 0);
        SDL_UpdateWindowSurface(Win);
        LastSurface = s;
        LastW = s->w;
        LastH = s->h;
    }
}

void TSdlDisplay::KeepWindowSize()
{
    // Dragging the border never changes the window's size: a size the window
    // manager gave it is undone once (a window manager that insists on its
    // size keeps it, rather than a fight every frame).
    if (!Windowed || !Shown)
        return;
    if (SDL_GetWindowFlags(Win) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED))
        return;
    int w = 0, h = 0;
    SDL_GetWindowSize(Win, &w, &h);
    if ((w == ClientWidth * Scale && h == ClientHeight * Scale) || (w == RefusedW && h == RefusedH))
        return;
    RefusedW = w;
    RefusedH = h;
    SDL_SetWindowSize(Win, ClientWidth * Scale, ClientHeight * Scale);
}

void TSdlDisplay::Present(const TSurface& frame, const TRect& srcRect)
{
    if (!Win)
        return;
    KeepWindowSize();
    // The part of srcRect that lies on the frame, at most one screen.
    TRect s = srcRect;
    s.Left = std::max(s.Left, 0);
    s.Top = std::max(s.Top, 0);
    s.Right = std::min({s.Right, frame.Width(), s.Left + ClientWidth});
    s.Bottom = std::min({s.Bottom, frame.Height(), s.Top + ClientHeight});
    if (!Renderer) {
        PresentToSurface(frame, s);
        return;
    }
    if (!Texture)
        return;
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

void TSdlDisplay::PresentToSurface(const TSurface& frame, const TRect& s)
{
    SDL_Surface* surface = SDL_GetWindowSurface(Win);
    if (!IsXrgb8888(surface) || s.Width() <= 0 || s.Height() <= 0)
        return;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return;
    // A new surface (the window's size changed) gets its bars once and is
    // sent whole; after that only the picture changes.
    const bool fresh = surface != LastSurface || surface->w != LastW || surface->h != LastH;
    Scaler.Resize(surface->w, surface->h, s.Width(), s.Height());
    auto* out = static_cast<uint32_t*>(surface->pixels);
    const int32_t outPitch = surface->pitch / 4;
    if (fresh)
        Scaler.ClearBars(out, outPitch);
    const uint32_t* first = frame.Pixels() + static_cast<size_t>(s.Top) * frame.Width() + s.Left;
    Scaler.Draw(first, frame.Width(), out, outPitch);
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    const TPictureRect& p = Scaler.Picture();
    const SDL_Rect area = fresh ? SDL_Rect{0, 0, surface->w, surface->h} : SDL_Rect{p.X, p.Y, p.W, p.H};
    SDL_UpdateWindowSurfaceRects(Win, &area, 1);
    LastSurface = surface;
    LastW = surface->w;
    LastH = surface->h;
}

void TSdlDisplay::WindowToFrame(int32_t& x, int32_t& y)
{
    if (!Win)
        return;
    if (Renderer) {
        float lx = 0, ly = 0;
        SDL_RenderWindowToLogical(Renderer, x, y, &lx, &ly);
        x = static_cast<int32_t>(lx);
        y = static_cast<int32_t>(ly);
        return;
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(Win, &w, &h);
    MouseMapper.Resize(w, h, ClientWidth, ClientHeight);
    MouseMapper.MapPoint(x, y);
}

int TSdlDisplay::MapMouseEvent(void* display, SDL_Event* e)
{
    auto* self = static_cast<TSdlDisplay*>(display);
    const uint32_t id = self->WindowId();
    switch (e->type) {
    case SDL_WINDOWEVENT:
        // A new size means a new surface, whose bars must be painted.
        if (e->window.windowID == id && e->window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            self->LastSurface = nullptr;
        break;
    case SDL_MOUSEMOTION:
        if (e->motion.windowID == id) {
            self->WindowToFrame(e->motion.x, e->motion.y);
            self->MouseMapper.MapMotion(e->motion.xrel, e->motion.yrel);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (e->button.windowID == id)
            self->WindowToFrame(e->button.x, e->button.y);
        break;
    default:
        break;
    }
    return 0;
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
