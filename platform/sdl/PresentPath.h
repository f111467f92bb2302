// How the frame reaches the screen, decided once at start from what the
// machine has:
//   - the renderer (SDL's accelerated renderer, one streaming texture) when a
//     real GPU driver is there: scaling in full screen costs the GPU nothing;
//   - the window surface (an image in X shared memory, no OpenGL context at
//     all) when the only OpenGL is a software rasteriser, as under Xvfb or on
//     a machine without a GPU driver: the rasteriser would spend most of a
//     core on scaling and showing each frame.
// An explicit SDL_RENDER_DRIVER from the player wins; Wayland, and any case
// where the window surface cannot be made, use the renderer, never a black
// screen.
#pragma once
#include <string>

enum class TPresentPath {
    Renderer,      // SDL's renderer
    WindowSurface, // the window surface and our own scaler
    ProbeRenderer, // not known yet: make the renderer and read its OpenGL name
};

struct TPresentFacts {
    std::string RequestedRenderDriver; // SDL_RENDER_DRIVER or its hint; empty when not asked for
    std::string VideoDriver;           // "x11", "wayland", "dummy", ...
    bool DirectRendering = false;      // the X server offers direct rendering (DRI2, DRI3, NVIDIA's GLX)
    bool Probed = false;               // the renderer was made and asked for its name
    std::string GlRenderer;            // its OpenGL renderer string; empty when it has none
    bool SurfaceFailed = false;        // the window surface could not be made or has an unusable format
};

// One step of the decision: ProbeRenderer asks the caller to make the
// renderer, fill in Probed and GlRenderer, and ask again.
TPresentPath ChoosePresentPath(const TPresentFacts& facts);

// Mesa's software rasterisers as their OpenGL renderer string names them.
bool IsSoftwareRasteriser(const std::string& glRenderer);

const char* PresentPathName(TPresentPath path);
