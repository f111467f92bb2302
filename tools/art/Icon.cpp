// Writes the program icon: the warship climbing over a star field, 256 x 256.
//   zephyrion-icon <png path>
#include <cstdio>
#include <vector>

#include "GameArt.h"
#include "platform/Files.h"

namespace {

constexpr int IconSize = 256;

void DrawIcon(cairo_t* cr)
{
    // the deep-space tile with a nebula glow
    RoundRectPath(cr, 8, 8, IconSize - 16, IconSize - 16, 36);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, IconSize);
    AddStop(sky, 0.0, TColor::Hex(0x0A0620));
    AddStop(sky, 1.0, TColor::Hex(0x02040C));
    FillWithPattern(cr, sky);
    RadialGlow(cr, 70, 70, 120, TColor::Hex(0x4A1C70), 0.55);
    RadialGlow(cr, 200, 190, 110, TColor::Hex(0x0E4060), 0.55);
    DrawStarSky(cr, IconSize, IconSize, 0x1C0Au, 160, 1.0);
    // the warship, big and level, engines burning
    cairo_save(cr);
    const double scale = 2.1;
    cairo_translate(cr, IconSize / 2.0 - 65 * scale / 2, 22);
    cairo_scale(cr, scale, scale);
    DrawWarship(cr, 0, 1);
    cairo_restore(cr);
    cairo_restore(cr);
    // the interface's green rim
    RoundRectPath(cr, 8, 8, IconSize - 16, IconSize - 16, 36);
    SetColor(cr, DarkGreen);
    cairo_set_line_width(cr, 6);
    cairo_stroke_preserve(cr);
    StrokeWith(cr, BrightGreen, 2, 0.8);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <png path>\n", argv[0]);
        return 2;
    }
    TCanvas canvas(IconSize, IconSize);
    DrawIcon(canvas.cr());
    cairo_surface_flush(canvas.surface());
    std::vector<uint8_t> png;
    const auto collect = [](void* to, const unsigned char* data, unsigned int length) {
        auto* bytes = static_cast<std::vector<uint8_t>*>(to);
        bytes->insert(bytes->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
    };
    if (cairo_surface_write_to_png_stream(canvas.surface(), collect, &png) != CAIRO_STATUS_SUCCESS ||
        !Files().WriteAtomically(argv[1], png)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
