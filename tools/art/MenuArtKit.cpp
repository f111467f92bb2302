#include "MenuArtKit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ArtSizes.h"

TRgb Mix(TRgb a, TRgb b, double t)
{
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
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

void Glow(cairo_t* cr, double radius, double strength, const std::function<void(cairo_t*)>& paint)
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

void GlowLabel(cairo_t* cr, const std::string& text, double x, double baseline, double size, TRgb core,
               TRgb halo, double radius, double strength)
{
    Glow(cr, radius, strength, [&](cairo_t* g) { DrawLabel(g, text, x, baseline, size, halo.R, halo.G, halo.B); });
    DrawLabel(cr, text, x, baseline, size, core.R, core.G, core.B);
}

void EngravedLabel(cairo_t* cr, const std::string& text, double x, double baseline, double size, TRgb colour)
{
    DrawLabel(cr, text, x, baseline + 1, size, 0.10, 0.30, 0.16);
    DrawLabel(cr, text, x, baseline - 1, size, 0.0, 0.0, 0.0);
    DrawLabel(cr, text, x, baseline, size, colour.R, colour.G, colour.B);
}

void PaintPlate(cairo_t* cr, double x, double y, double w, double h, double chamfer, const TPlateStyle& s)
{
    if (s.GlowRadius > 0 && s.GlowStrength > 0) {
        Glow(cr, s.GlowRadius, s.GlowStrength, [&](cairo_t* g) {
            ChamferPath(g, x, y, w, h, chamfer);
            SetRgb(g, s.Edge);
            cairo_set_line_width(g, s.EdgeWidth + 2);
            cairo_stroke(g);
        });
    }
    cairo_save(cr);
    ChamferPath(cr, x, y, w, h, chamfer);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(fill, 0, s.Top.R, s.Top.G, s.Top.B, s.FillAlpha);
    cairo_pattern_add_color_stop_rgba(fill, 0.55, s.Bottom.R, s.Bottom.G, s.Bottom.B, s.FillAlpha);
    cairo_pattern_add_color_stop_rgba(fill, 1, s.Bottom.R * 0.7, s.Bottom.G * 0.7, s.Bottom.B * 0.7, s.FillAlpha);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    if (s.Bevel) {
        // light from the top left: a bright inner edge above, a dark one below
        cairo_save(cr);
        cairo_clip(cr);
        ChamferPath(cr, x + 1.5, y + 1.5, w - 3, h - 3, std::max(0.0, chamfer - 0.6));
        cairo_set_line_width(cr, 1.0);
        cairo_pattern_t* bevel = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h);
        cairo_pattern_add_color_stop_rgba(bevel, 0, 0.65, 1.0, 0.7, 0.35);
        cairo_pattern_add_color_stop_rgba(bevel, 0.5, 0.4, 0.8, 0.5, 0.06);
        cairo_pattern_add_color_stop_rgba(bevel, 1, 0.0, 0.0, 0.0, 0.45);
        cairo_set_source(cr, bevel);
        cairo_stroke(cr);
        cairo_pattern_destroy(bevel);
        cairo_restore(cr);
    }
    cairo_new_path(cr);
    ChamferPath(cr, x + s.EdgeWidth / 2, y + s.EdgeWidth / 2, w - s.EdgeWidth, h - s.EdgeWidth,
                std::max(0.0, chamfer - s.EdgeWidth / 3));
    SetRgb(cr, s.Edge, s.EdgeAlpha);
    cairo_set_line_width(cr, s.EdgeWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Chevron(cairo_t* cr, double tipX, double midY, double size, bool pointsRight, TRgb colour, double alpha)
{
    const double d = pointsRight ? -1 : 1;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, tipX, midY);
    cairo_line_to(cr, tipX + d * size, midY - size);
    cairo_line_to(cr, tipX + d * size * 1.45, midY - size);
    cairo_line_to(cr, tipX + d * size * 0.45, midY);
    cairo_line_to(cr, tipX + d * size * 1.45, midY + size);
    cairo_line_to(cr, tipX + d * size, midY + size);
    cairo_close_path(cr);
    SetRgb(cr, colour, alpha);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Rivet(cairo_t* cr, double x, double y, double r, TRgb colour)
{
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.35, y - r * 0.35, 0, x, y, r);
    cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, colour.R + 0.5), std::min(1.0, colour.G + 0.5),
                                     std::min(1.0, colour.B + 0.5));
    cairo_pattern_add_color_stop_rgb(p, 1, colour.R * 0.4, colour.G * 0.4, colour.B * 0.4);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void PaintBackdrop(cairo_t* cr, int screenX, int screenY)
{
    cairo_save(cr);
    cairo_set_source_surface(cr, MenuBackdrop(), -screenX, -screenY);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_restore(cr);
}

TCanvas::TCanvas(int entry) : TCanvas(EntrySize(entry).Width, EntrySize(entry).Height) {}

TCanvas::TCanvas(int width, int height) : Width(width), Height(height)
{
    Surface = NewCanvas(width, height);
    Cr = cairo_create(Surface);
    cairo_set_antialias(Cr, CAIRO_ANTIALIAS_BEST);
}

TCanvas::~TCanvas()
{
    cairo_destroy(Cr);
    cairo_surface_destroy(Surface);
}

TPicture TCanvas::Keyed(uint32_t matte) { return Flatten(Surface, Magenta, matte); }

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
