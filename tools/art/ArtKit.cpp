#include "ArtKit.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "ArtSizes.h"

void SetColor(cairo_t* cr, const TColor& c, double alpha)
{
    cairo_set_source_rgba(cr, c.R, c.G, c.B, alpha);
}

void StrokeWith(cairo_t* cr, const TColor& c, double width, double alpha)
{
    SetColor(cr, c, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void AddStop(cairo_pattern_t* p, double offset, const TColor& c, double alpha)
{
    cairo_pattern_add_color_stop_rgba(p, offset, c.R, c.G, c.B, alpha);
}

void RadialGlow(cairo_t* cr, double x, double y, double r, const TColor& c, double alpha)
{
    RadialGlowEllipse(cr, x, y, r, r, c, alpha);
}

void RadialGlowEllipse(cairo_t* cr, double x, double y, double rx, double ry, const TColor& c, double alpha)
{
    if (rx <= 0 || ry <= 0 || alpha <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    AddStop(p, 0.0, c, alpha);
    AddStop(p, 0.35, c, alpha * 0.55);
    AddStop(p, 0.7, c, alpha * 0.15);
    AddStop(p, 1.0, c, 0.0);
    cairo_set_source(cr, p);
    cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void MirroredPath(cairo_t* cr, double axis, std::initializer_list<std::pair<double, double>> half)
{
    bool first = true;
    for (const auto& [x, y] : half) {
        if (first)
            cairo_move_to(cr, axis + x, y);
        else
            cairo_line_to(cr, axis + x, y);
        first = false;
    }
    for (auto it = std::rbegin(half); it != std::rend(half); ++it)
        cairo_line_to(cr, axis - it->first, it->second);
    cairo_close_path(cr);
}

void PolyPath(cairo_t* cr, std::initializer_list<std::pair<double, double>> points)
{
    bool first = true;
    for (const auto& [x, y] : points) {
        if (first)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
        first = false;
    }
    cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double x, double y, double rx, double ry)
{
    if (rx <= 0 || ry <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
    cairo_restore(cr);
}

static void FillAndRim(cairo_t* cr, cairo_pattern_t* p, const TColor& base, double rim)
{
    cairo_set_source(cr, p);
    if (rim > 0) {
        cairo_fill_preserve(cr);
        SetColor(cr, base.Scaled(0.3), 0.95);
        cairo_set_line_width(cr, rim);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_pattern_destroy(p);
}

void MetalFill(cairo_t* cr, double x0, double x1, const TColor& base, double light, double rim)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
    const double l = TColor::Clamp(light);
    AddStop(p, 0.0, base.Scaled(0.45));
    AddStop(p, std::max(0.0, l - 0.25), base.Scaled(0.85));
    AddStop(p, l, base.Lighter(0.45));
    AddStop(p, std::min(1.0, l + 0.2), base);
    AddStop(p, 1.0, base.Scaled(0.35));
    FillAndRim(cr, p, base, rim);
}

void MetalFillVertical(cairo_t* cr, double y0, double y1, const TColor& base, double light, double rim)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    const double l = TColor::Clamp(light);
    AddStop(p, 0.0, base.Scaled(0.6));
    AddStop(p, l, base.Lighter(0.4));
    AddStop(p, std::min(1.0, l + 0.3), base);
    AddStop(p, 1.0, base.Scaled(0.35));
    FillAndRim(cr, p, base, rim);
}

void PlateFill(cairo_t* cr, double lx, double ly, double dx, double dy, const TColor& base, double rim)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(lx, ly, dx, dy);
    AddStop(p, 0.0, base.Lighter(0.3));
    AddStop(p, 0.45, base);
    AddStop(p, 1.0, base.Scaled(0.45));
    FillAndRim(cr, p, base, rim);
}

void FillWithPattern(cairo_t* cr, cairo_pattern_t* pattern, bool keepPath)
{
    cairo_set_source(cr, pattern);
    if (keepPath)
        cairo_fill_preserve(cr);
    else
        cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void Lamp(cairo_t* cr, double x, double y, double r, const TColor& c)
{
    RadialGlow(cr, x, y, r * 2.2, c, 0.7);
    EllipsePath(cr, x, y, r * 0.8, r * 0.8);
    SetColor(cr, c.Lighter(0.3));
    cairo_fill(cr);
    EllipsePath(cr, x - r * 0.15, y - r * 0.15, r * 0.4, r * 0.4);
    SetColor(cr, c.Lighter(0.85));
    cairo_fill(cr);
}

void Canopy(cairo_t* cr, double x, double y, double rx, double ry, const TColor& c)
{
    EllipsePath(cr, x, y, rx, ry);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - rx * 0.3, y - ry * 0.4, 0, x, y, std::max(rx, ry) * 1.1);
    AddStop(p, 0.0, c.Lighter(0.7));
    AddStop(p, 0.35, c);
    AddStop(p, 1.0, c.Scaled(0.25));
    FillWithPattern(cr, p, true);
    StrokeWith(cr, c.Scaled(0.15), 0.8, 0.9);
    // the glint
    EllipsePath(cr, x - rx * 0.3, y - ry * 0.4, rx * 0.28, ry * 0.22);
    SetColor(cr, {1, 1, 1}, 0.75);
    cairo_fill(cr);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1, const TColor& c, double alpha, double width)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    SetColor(cr, c, alpha);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

void FlipVertically(cairo_t* cr, double height)
{
    cairo_translate(cr, 0, height);
    cairo_scale(cr, 1, -1);
}

TCanvas::TCanvas(int width, int height) : Width(width), Height(height), Surface(NewCanvas(width, height)),
                                          Cr(cairo_create(Surface))
{
    cairo_set_antialias(Cr, CAIRO_ANTIALIAS_BEST);
}

TCanvas::TCanvas(int entry) : TCanvas(EntrySize(entry).Width, EntrySize(entry).Height) {}

TCanvas::~TCanvas()
{
    cairo_destroy(Cr);
    cairo_surface_destroy(Surface);
}

TPicture TCanvas::Keyed(uint32_t matte) { return Flatten(Surface, Magenta, matte); }

TPicture TCanvas::KeyedOnBlack() { return Flatten(Surface, 0); }

TPicture TCanvas::Opaque()
{
    TPicture p = FlattenOpaque(Surface);
    // an opaque picture must not show the transparent colour anywhere, even
    // where it is drawn with the colour key
    for (uint32_t& px : p.Pixels)
        if (px == Magenta)
            px ^= 0x000100;
    return p;
}

double SmoothStep(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -Pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, Pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, Pi / 2, Pi);
    cairo_arc(cr, x + r, y + r, r, Pi, 3 * Pi / 2);
    cairo_close_path(cr);
}

void ChamferPath(cairo_t* cr, double x, double y, double w, double h, double c)
{
    c = std::min({c, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_move_to(cr, x + c, y);
    cairo_line_to(cr, x + w - c, y);
    cairo_line_to(cr, x + w, y + c);
    cairo_line_to(cr, x + w, y + h - c);
    cairo_line_to(cr, x + w - c, y + h);
    cairo_line_to(cr, x + c, y + h);
    cairo_line_to(cr, x, y + h - c);
    cairo_line_to(cr, x, y + c);
    cairo_close_path(cr);
}

// One box pass along rows (dx = 1) or columns, on the four premultiplied channels.
static void BoxPass(uint32_t* px, int w, int h, int stride, int radius, bool alongRows)
{
    const int n = alongRows ? w : h;
    const int lines = alongRows ? h : w;
    std::vector<uint32_t> line(static_cast<size_t>(n));
    const int span = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> uint32_t& {
            return alongRows ? px[size_t(l) * stride + i] : px[size_t(i) * stride + l];
        };
        for (int i = 0; i < n; ++i)
            line[size_t(i)] = at(i);
        uint32_t sum[4] = {0, 0, 0, 0};
        auto add = [&](int i, int sign) {
            if (i < 0 || i >= n)
                return;
            const uint32_t v = line[size_t(i)];
            for (int c = 0; c < 4; ++c)
                sum[c] += uint32_t(sign) * ((v >> (8 * c)) & 0xFF);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        for (int i = 0; i < n; ++i) {
            uint32_t out = 0;
            for (int c = 0; c < 4; ++c)
                out |= std::min(255u, sum[c] / uint32_t(span)) << (8 * c);
            at(i) = out;
            add(i - radius, -1);
            add(i + radius + 1, 1);
        }
    }
}

void BlurCanvas(cairo_surface_t* canvas, int radius)
{
    if (radius <= 0)
        return;
    cairo_surface_flush(canvas);
    const int w = cairo_image_surface_get_width(canvas);
    const int h = cairo_image_surface_get_height(canvas);
    const int stride = cairo_image_surface_get_stride(canvas) / 4;
    auto* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(canvas));
    // three box passes of a third of the radius approximate a gaussian
    const int r = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(px, w, h, stride, r, true);
        BoxPass(px, w, h, stride, r, false);
    }
    cairo_surface_mark_dirty(canvas);
}

void BlurredHalo(cairo_t* cr, double radius, double strength, const std::function<void(cairo_t*)>& paint)
{
    cairo_surface_t* target = cairo_get_target(cr);
    const int w = cairo_image_surface_get_width(target);
    const int h = cairo_image_surface_get_height(target);
    cairo_surface_t* scratch = NewCanvas(w, h);
    cairo_t* g = cairo_create(scratch);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_set_matrix(g, &m);
    paint(g);
    cairo_destroy(g);
    BlurCanvas(scratch, int(std::lround(radius)));
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, scratch, 0, 0);
    // strength above 1 is reached by painting the halo twice
    double left = strength;
    while (left > 0) {
        cairo_paint_with_alpha(cr, std::min(1.0, left));
        left -= 1.0;
    }
    cairo_restore(cr);
    cairo_surface_destroy(scratch);
}

static void SelectFace(cairo_t* cr, double size, bool bold)
{
    cairo_select_font_face(cr, "Play", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double CapHeight(cairo_t* cr, double size, bool bold)
{
    cairo_save(cr);
    SelectFace(cr, size, bold);
    cairo_text_extents_t e;
    cairo_text_extents(cr, "H", &e);
    cairo_restore(cr);
    return -e.y_bearing;
}

double CentredBaseline(cairo_t* cr, double size, double top, double height, bool bold)
{
    return std::round(top + (height + CapHeight(cr, size, bold)) / 2);
}

void HaloLabel(cairo_t* cr, const std::string& text, double x, double baseline, double size, TColor core,
               TColor halo, double radius, double strength)
{
    BlurredHalo(cr, radius, strength,
                [&](cairo_t* g) { DrawLabel(g, text, x, baseline, size, halo.R, halo.G, halo.B); });
    DrawLabel(cr, text, x, baseline, size, core.R, core.G, core.B);
}

void EngravedLabel(cairo_t* cr, const std::string& text, double x, double baseline, double size, TColor colour)
{
    DrawLabel(cr, text, x, baseline + 1, size, 0.10, 0.30, 0.16);
    DrawLabel(cr, text, x, baseline - 1, size, 0.0, 0.0, 0.0);
    DrawLabel(cr, text, x, baseline, size, colour.R, colour.G, colour.B);
}
