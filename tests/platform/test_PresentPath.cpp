// The choice of the present path over everything it is made from.
#include <gtest/gtest.h>

#include "platform/sdl/PresentPath.h"

namespace {

struct TPathCase {
    const char* Name;
    TPresentFacts Facts;
    TPresentPath Expected;
};

TPresentFacts X11(bool direct, bool probed = false, const char* gl = "")
{
    TPresentFacts f;
    f.VideoDriver = "x11";
    f.DirectRendering = direct;
    f.Probed = probed;
    f.GlRenderer = gl;
    return f;
}

TPresentFacts With(TPresentFacts f, const char* request, bool surfaceFailed = false)
{
    f.RequestedRenderDriver = request;
    f.SurfaceFailed = surfaceFailed;
    return f;
}

TPresentFacts Driver(const char* video)
{
    TPresentFacts f;
    f.VideoDriver = video;
    return f;
}

TEST(PresentPath, ChosenByWhatTheMachineHas)
{
    using P = TPresentPath;
    const TPathCase cases[] = {
        // Xvfb, a remote or virtual X server: no direct rendering, so any
        // OpenGL would be software; it is never even probed.
        {"x11 without direct rendering", X11(false), P::WindowSurface},
        {"x11 with direct rendering, not asked yet", X11(true), P::ProbeRenderer},
        {"a GPU driver", X11(true, true, "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)"), P::Renderer},
        {"another GPU driver", X11(true, true, "NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2"), P::Renderer},
        {"Mesa llvmpipe", X11(true, true, "llvmpipe (LLVM 15.0.6, 256 bits)"), P::WindowSurface},
        {"Mesa softpipe", X11(true, true, "softpipe"), P::WindowSurface},
        {"the old software rasteriser", X11(true, true, "Software Rasterizer"), P::WindowSurface},
        {"no OpenGL from the probe", X11(true, true, ""), P::WindowSurface},
        // The player's explicit request always wins.
        {"request on Xvfb", With(X11(false), "opengl"), P::Renderer},
        {"request over llvmpipe", With(X11(true, true, "llvmpipe (LLVM 15.0.6, 256 bits)"), "software"), P::Renderer},
        {"request before probing", With(X11(true), "opengles2"), P::Renderer},
        // No surface: the renderer, never a black screen.
        {"surface failed on Xvfb", With(X11(false), "", true), P::Renderer},
        {"surface failed after llvmpipe", With(X11(true, true, "llvmpipe (LLVM 15.0.6, 256 bits)"), "", true), P::Renderer},
        {"Wayland", Driver("wayland"), P::Renderer},
        {"KMS/DRM", Driver("kmsdrm"), P::Renderer},
        {"headless dummy driver", Driver("dummy"), P::WindowSurface},
        {"offscreen driver", Driver("offscreen"), P::WindowSurface},
        {"dummy driver without a surface", With(Driver("dummy"), "", true), P::Renderer},
    };
    for (const TPathCase& c : cases)
        EXPECT_EQ(PresentPathName(ChoosePresentPath(c.Facts)), std::string(PresentPathName(c.Expected))) << c.Name;
}

TEST(PresentPath, SoftwareRasterisersAreKnownByName)
{
    const std::pair<const char*, bool> cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"LLVMPIPE", true},
        {"softpipe", true},
        {"Software Rasterizer", true},
        {"Mesa DRI swrast", true},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"AMD Radeon RX 6600", false},
        {"virgl (Intel)", false},
        {"", false},
    };
    for (const auto& [name, soft] : cases)
        EXPECT_EQ(IsSoftwareRasteriser(name), soft) << name;
}

} // namespace
