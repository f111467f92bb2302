// The game's sprite sheets, pack entries 0..59: the dispatcher, the drawing
// helpers every subject shares, and the small interface strips.
#include "GameArt.h"

#include <algorithm>
#include <iterator>

#include "ArtSizes.h"

TPicture DrawGameEntry(int entry)
{
    if (entry == 0) return DrawArmorStrip();
    if (entry == 1) return DrawEnergyStrip();
    if (entry == 2) return DrawFarLayer();
    if (entry >= 3 && entry <= 7) return DrawNearTile(entry - 3);
    if (entry == 8) return DrawPlayerShipSheet();
    if (entry == 9) return DrawPauseStripe();
    if (entry >= 10 && entry <= 18) return DrawEnemy(entry - 10);
    if (entry >= 19 && entry <= 21) return DrawBoss(entry - 19);
    if (entry >= 22 && entry <= 36) return DrawShotSheet(entry - 22);
    if (entry >= 37 && entry <= 38) return DrawAsteroidSheet(entry - 37);
    if (entry >= 39 && entry <= 44) return DrawHitSheet(entry - 39);
    if (entry >= 45 && entry <= 53) return DrawBonusSheet(entry - 45);
    if (entry >= 55 && entry <= 59) return DrawWeaponIcon(entry);
    return DrawUnusedEntry();
}

void SetColor(cairo_t* cr, const TColor& c, double alpha)
{
    cairo_set_source_rgba(cr, c.R, c.G, c.B, alpha);
}

void AddStop(cairo_pattern_t* p, double offset, const TColor& c, double alpha)
{
    cairo_pattern_add_color_stop_rgba(p, offset, c.R, c.G, c.B, alpha);
}

void Glow(cairo_t* cr, double x, double y, double r, const TColor& c, double alpha)
{
    GlowEllipse(cr, x, y, r, r, c, alpha);
}

void GlowEllipse(cairo_t* cr, double x, double y, double rx, double ry, const TColor& c, double alpha)
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

void Lamp(cairo_t* cr, double x, double y, double r, const TColor& c)
{
    Glow(cr, x, y, r * 2.2, c, 0.7);
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
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    SetColor(cr, c.Scaled(0.15), 0.9);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
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

// A gauge strip: the game shows its bottom rows as the gauge fills, so the
// bottom is the low end of the colour ramp and the top the full end.
static TPicture DrawGaugeStrip(const TColor& low, const TColor& high)
{
    const TSize s = EntrySize(0);
    TArtCanvas canvas(s.Width, s.Height);
    cairo_t* cr = canvas.cr();
    SetColor(cr, TColor::Hex(0x050A08));
    cairo_paint(cr);
    // the colour ramp, bottom to top
    cairo_pattern_t* ramp = cairo_pattern_create_linear(0, s.Height, 0, 0);
    AddStop(ramp, 0.0, low);
    AddStop(ramp, 1.0, high);
    // cylinder shading across
    cairo_rectangle(cr, 1, 0, s.Width - 2, s.Height);
    cairo_set_source(cr, ramp);
    cairo_fill(cr);
    cairo_pattern_destroy(ramp);
    cairo_pattern_t* shade = cairo_pattern_create_linear(1, 0, s.Width - 1, 0);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(shade, 0.3, 1, 1, 1, 0.35);
    cairo_pattern_add_color_stop_rgba(shade, 0.5, 1, 1, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0, 0, 0, 0.6);
    cairo_rectangle(cr, 1, 0, s.Width - 2, s.Height);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    // segment ticks every 4 rows, a heavier one every 16, counted from the bottom
    for (int row = s.Height - 4; row > 0; row -= 4) {
        const bool major = (s.Height - row) % 16 == 0;
        cairo_rectangle(cr, 0, row, s.Width, 1);
        cairo_set_source_rgba(cr, 0, 0.05, 0.03, major ? 0.85 : 0.5);
        cairo_fill(cr);
    }
    // dark side rails
    cairo_rectangle(cr, 0, 0, 1, s.Height);
    cairo_rectangle(cr, s.Width - 1, 0, 1, s.Height);
    SetColor(cr, TColor::Hex(0x0C2A14));
    cairo_fill(cr);
    return canvas.Opaque();
}

TPicture DrawArmorStrip()
{
    return DrawGaugeStrip(TColor::Hex(0x0A5A78), TColor::Hex(0x6CF6F0));
}

TPicture DrawEnergyStrip()
{
    return DrawGaugeStrip(TColor::Hex(0x13A020), TColor::Hex(0xF2F23A));
}

TPicture DrawPauseStripe()
{
    TPicture p;
    const TSize s = EntrySize(9);
    p.Width = s.Width;
    p.Height = s.Height;
    // a very dark green-black: every other row of the frozen frame goes dim
    p.Pixels.assign(size_t(p.Width) * p.Height, 0x00040A06);
    return p;
}

TPicture DrawUnusedEntry()
{
    TArtCanvas canvas(16, 16);
    cairo_t* cr = canvas.cr();
    Glow(cr, 8, 8, 7, TColor::Hex(0x22AA44), 0.9);
    return canvas.Sprite();
}
