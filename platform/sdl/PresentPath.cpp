#include "platform/sdl/PresentPath.h"

#include <algorithm>
#include <cctype>

bool IsSoftwareRasteriser(const std::string& glRenderer)
{
    std::string name = glRenderer;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* soft : {"llvmpipe", "softpipe", "software rasterizer", "swrast"})
        if (name.find(soft) != std::string::npos)
            return true;
    return false;
}

TPresentPath ChoosePresentPath(const TPresentFacts& f)
{
    if (!f.RequestedRenderDriver.empty() || f.SurfaceFailed)
        return TPresentPath::Renderer;
    // Drivers without any GPU: nothing to accelerate.
    if (f.VideoDriver == "dummy" || f.VideoDriver == "offscreen")
        return TPresentPath::WindowSurface;
    // Only X11 has the shared-memory window surface we want; elsewhere
    // (Wayland above all) the renderer is the safe way.
    if (f.VideoDriver != "x11")
        return TPresentPath::Renderer;
    // An X server without direct rendering (Xvfb, a remote or virtual
    // display) can only offer a software rasteriser: never load it.
    if (!f.DirectRendering)
        return TPresentPath::WindowSurface;
    if (!f.Probed)
        return TPresentPath::ProbeRenderer;
    // A renderer without OpenGL (none could be made) or a software one:
    // the window surface. A real GPU driver: keep the renderer.
    if (f.GlRenderer.empty() || IsSoftwareRasteriser(f.GlRenderer))
        return TPresentPath::WindowSurface;
    return TPresentPath::Renderer;
}

const char* PresentPathName(TPresentPath path)
{
    switch (path) {
    case TPresentPath::Renderer: return "renderer";
    case TPresentPath::WindowSurface: return "window surface";
    case TPresentPath::ProbeRenderer: return "probe";
    }
    return "?";
}
