// The heads-up display over the play area: the top bar behind the level, lives
// and score texts, the frame ornaments, the right-hand panel with the gauge
// slots, the level-progress track and the icon boxes, the progress marker and
// the two special-weapon icons.
#include <cmath>

#include "MenuArt.h"

namespace {

// Screen places the HUD draws at.
constexpr int TopX = 80, TopY = 4;
constexpr int RightX = 652, RightY = 37;
constexpr int GaugeTop = 330, GaugeBottom = 454;
constexpr int ArmourX = 747, EnergyX = 780, GaugeW = 10;
constexpr int TrackX = 760, TrackTop = 55, TrackBottom = 245, MarkerH = 14;
constexpr int BombBoxX = 670, SkullBoxX = 733, IconBoxY = 545, IconW = 48, IconH = 40;
constexpr int WeaponX = 663, WeaponTop = 508, WeaponBottom = 545, WeaponW = 52;

TPlateStyle HudGlass()
{
    TPlateStyle s;
    s.Top = {0.04, 0.13, 0.09};
    s.Bottom = {0.012, 0.05, 0.04};
    s.Edge = DarkGreen;
    s.EdgeWidth = 1.5;
    return s;
}

// A recessed dark slot with a thin edge.
void Slot(cairo_t* cr, double x, double y, double w, double h, double chamfer)
{
    cairo_save(cr);
    ChamferPath(cr, x, y, w, h, chamfer);
    SetColor(cr, {0.004, 0.018, 0.016});
    cairo_fill_preserve(cr);
    StrokeWith(cr, {0.12, 0.45, 0.18}, 1);
    cairo_restore(cr);
}

// The player's ship as a small icon (the lives counter).
void ShipIcon(cairo_t* cr, double cx, double cy, double len, TColor c)
{
    const double k = len / 20.0;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, k, k);
    cairo_move_to(cr, 0, -10);
    cairo_line_to(cr, 2, -4);
    cairo_line_to(cr, 9, 4);
    cairo_line_to(cr, 9, 7);
    cairo_line_to(cr, 3, 6);
    cairo_line_to(cr, 2, 10);
    cairo_line_to(cr, -2, 10);
    cairo_line_to(cr, -3, 6);
    cairo_line_to(cr, -9, 7);
    cairo_line_to(cr, -9, 4);
    cairo_line_to(cr, -2, -4);
    cairo_close_path(cr);
    cairo_restore(cr);
    SetColor(cr, c);
    cairo_fill(cr);
}

void SkullShape(cairo_t* cr, double cx, double cy, double s, TColor bone, TColor dark)
{
    // cranium and jaw
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, s / 30.0, s / 30.0);
    cairo_new_path(cr);
    cairo_arc(cr, 0, -3, 12, M_PI * 0.85, M_PI * 2.15);
    cairo_line_to(cr, 8, 8);
    cairo_line_to(cr, 6, 13);
    cairo_line_to(cr, -6, 13);
    cairo_line_to(cr, -8, 8);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(-4, -8, 1, 0, 0, 16);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 1.0, 0.95);
    cairo_pattern_add_color_stop_rgb(p, 1, bone.R, bone.G, bone.B);
    FillWithPattern(cr, p);
    // eyes, nose and teeth
    SetColor(cr, dark);
    for (double ex : {-5.0, 5.0}) {
        cairo_save(cr);
        cairo_translate(cr, ex, -1);
        cairo_scale(cr, 1.0, 0.85);
        cairo_arc(cr, 0, 0, 3.8, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
    }
    cairo_move_to(cr, 0, 3);
    cairo_line_to(cr, 2, 7);
    cairo_line_to(cr, -2, 7);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.2);
    for (double tx : {-3.0, 0.0, 3.0}) {
        cairo_move_to(cr, tx, 9);
        cairo_line_to(cr, tx, 13);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void BombShape(cairo_t* cr, double cx, double cy, double r)
{
    // the fuse and its spark first, the shell over the fuse's root
    cairo_save(cr);
    cairo_move_to(cr, cx + r * 0.55, cy - r * 0.8);
    cairo_curve_to(cr, cx + r * 0.8, cy - r * 1.3, cx + r * 1.2, cy - r * 1.0, cx + r * 1.25, cy - r * 1.35);
    StrokeWith(cr, {0.75, 0.7, 0.55}, 1.6);
    BlurredHalo(cr, 3, 1.6, [&](cairo_t* g) {
        cairo_arc(g, cx + r * 1.25, cy - r * 1.35, 3, 0, 2 * M_PI);
        SetColor(g, {1.0, 0.9, 0.3});
        cairo_fill(g);
    });
    for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3 + 0.3;
        cairo_move_to(cr, cx + r * 1.25, cy - r * 1.35);
        cairo_line_to(cr, cx + r * 1.25 + std::cos(a) * 4.5, cy - r * 1.35 + std::sin(a) * 4.5);
    }
    StrokeWith(cr, {1.0, 1.0, 0.7}, 1);
    // collar
    cairo_save(cr);
    cairo_translate(cr, cx + r * 0.5, cy - r * 0.62);
    cairo_rotate(cr, 0.75);
    cairo_rectangle(cr, -3.5, -2.5, 7, 5);
    cairo_restore(cr);
    SetColor(cr, {0.35, 0.45, 0.4});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_pattern_t* shell = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.4, 1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(shell, 0, 0.55, 0.75, 0.62);
    cairo_pattern_add_color_stop_rgb(shell, 0.35, 0.12, 0.22, 0.17);
    cairo_pattern_add_color_stop_rgb(shell, 1, 0.02, 0.04, 0.035);
    FillWithPattern(cr, shell);
    // a green band round the shell
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy + r * 0.15);
    cairo_scale(cr, 1.0, 0.35);
    cairo_arc(cr, 0, 0, r, 0, M_PI);
    cairo_restore(cr);
    StrokeWith(cr, {0.1, 0.8, 0.25}, 2, 0.8);
    cairo_restore(cr);
    cairo_restore(cr);
}

// The dark plate of a special-weapon icon (the icons are drawn without a key).
void IconPlate(cairo_t* cr, double w, double h)
{
    SetColor(cr, SpaceInk);
    cairo_paint(cr);
    TPlateStyle s = HudGlass();
    s.Top = {0.05, 0.16, 0.10};
    s.Edge = BrightGreen;
    s.EdgeWidth = 1.5;
    PaintPlate(cr, 0.5, 0.5, w - 1, h - 1, 6, s);
    cairo_save(cr);
    ChamferPath(cr, 2, 2, w - 4, h - 4, 5);
    cairo_clip(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(w / 2, h / 2, 2, w / 2, h / 2, w * 0.55);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.1, 0.7, 0.2, 0.45);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.0, 0.2, 0.05, 0.0);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

// A box the HUD puts an icon in; empty boxes show a faint outline of what fits there.
void IconBox(cairo_t* cr, double x, double y, double w, double h)
{
    TPlateStyle frame = HudGlass();
    frame.Edge = MidGreen;
    PaintPlate(cr, x - 3, y - 3, w + 6, h + 6, 7, frame);
    Slot(cr, x - 0.5, y - 0.5, w + 1, h + 1, 5);
}

} // namespace

TPicture DrawLevelMarker()
{
    TCanvas c(67);
    cairo_t* cr = c.cr();
    const double w = c.Width, h = c.Height;
    // an arrowhead pointing at the track on its left, with a notched tail
    auto arrow = [&](cairo_t* g, double inset) {
        cairo_new_path(g);
        cairo_move_to(g, 0.5 + inset * 1.8, h / 2);
        cairo_line_to(g, 11, 0.5 + inset);
        cairo_line_to(g, w - 0.5 - inset, 0.5 + inset);
        cairo_line_to(g, w - 6 - inset * 0.5, h / 2);
        cairo_line_to(g, w - 0.5 - inset, h - 0.5 - inset);
        cairo_line_to(g, 11, h - 0.5 - inset);
        cairo_close_path(g);
    };
    arrow(cr, 0);
    SetColor(cr, {0.0, 0.2, 0.04});
    cairo_fill(cr);
    arrow(cr, 1.5);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.75, 1.0, 0.75);
    cairo_pattern_add_color_stop_rgb(body, 0.45, 0.1, 1.0, 0.2);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.0, 0.5, 0.08);
    FillWithPattern(cr, body);
    cairo_move_to(cr, 5, h / 2);
    cairo_line_to(cr, w - 9, h / 2);
    StrokeWith(cr, {0.0, 0.25, 0.05}, 1, 0.8);
    return c.Keyed(MatteInk);
}

TPicture DrawHudTop()
{
    TCanvas c(80);
    cairo_t* cr = c.cr();
    const double w = c.Width, h = c.Height;
    // the bar: flat on top, its lower corners cut
    auto bar = [&](cairo_t* g) {
        cairo_new_sub_path(g);
        cairo_move_to(g, 1, 1);
        cairo_line_to(g, w - 1, 1);
        cairo_line_to(g, w - 1, h - 12);
        cairo_line_to(g, w - 12, h - 1);
        cairo_line_to(g, 12, h - 1);
        cairo_line_to(g, 1, h - 12);
        cairo_close_path(g);
    };
    bar(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.05, 0.16, 0.11);
    cairo_pattern_add_color_stop_rgb(body, 0.5, 0.02, 0.07, 0.05);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.01, 0.04, 0.03);
    FillWithPattern(cr, body, true);
    StrokeWith(cr, DarkGreen, 1.5);
    // windows behind the texts (screen x: lives 92..195, level 300..420, score 522..728)
    struct TWindow {
        double Left, Right;
    };
    const TWindow windows[] = {{92, 195}, {300, 420}, {522, 728}};
    for (const TWindow& win : windows)
        Slot(cr, win.Left - TopX, 3, win.Right - win.Left, 20, 4);
    // the ship icon of the lives counter, left of the number at x 140
    BlurredHalo(cr, 3, 1.2, [&](cairo_t* g) { ShipIcon(g, 116 - TopX, 13, 17, BrightGreen); });
    ShipIcon(cr, 116 - TopX, 13, 17, {0.6, 1.0, 0.6});
    cairo_move_to(cr, 129 - TopX, 9);
    cairo_line_to(cr, 135 - TopX, 17);
    cairo_move_to(cr, 135 - TopX, 9);
    cairo_line_to(cr, 129 - TopX, 17);
    StrokeWith(cr, MidGreen, 1.5);
    // between the windows: grilles and running lights
    for (double gx = 205 - TopX; gx < 290 - TopX; gx += 6) {
        cairo_move_to(cr, gx, 7);
        cairo_line_to(cr, gx + 4, 19);
    }
    for (double gx = 430 - TopX; gx < 512 - TopX; gx += 6) {
        cairo_move_to(cr, gx, 7);
        cairo_line_to(cr, gx + 4, 19);
    }
    StrokeWith(cr, {0.1, 0.4, 0.18}, 1.5, 0.7);
    for (double lx : {247.0 - TopX, 471.0 - TopX}) {
        Rivet(cr, lx, 13, 3, BrightGreen);
    }
    return c.Keyed(MatteInk);
}

TPicture DrawHudFrame()
{
    TCanvas c(81);
    cairo_t* cr = c.cr();
    const double w = c.Width, h = c.Height;
    // a hairline round the play area, brighter at the corners
    BlurredHalo(cr, 4, 1.6, [&](cairo_t* g) {
        for (int corner = 0; corner < 4; ++corner) {
            const double sx = corner % 2 ? -1 : 1, sy = corner / 2 ? -1 : 1;
            const double x0 = corner % 2 ? w - 2.5 : 2.5, y0 = corner / 2 ? h - 2.5 : 2.5;
            cairo_move_to(g, x0, y0 + sy * 60);
            cairo_line_to(g, x0, y0 + sy * 8);
            cairo_line_to(g, x0 + sx * 8, y0);
            cairo_line_to(g, x0 + sx * 60, y0);
        }
        SetColor(g, {0.1, 1.0, 0.3});
        cairo_set_line_width(g, 3);
        cairo_stroke(g);
    });
    cairo_rectangle(cr, 1.5, 1.5, w - 3, h - 3);
    StrokeWith(cr, DarkGreen, 1, 0.8);
    for (int corner = 0; corner < 4; ++corner) {
        const double sx = corner % 2 ? -1 : 1, sy = corner / 2 ? -1 : 1;
        const double x0 = corner % 2 ? w - 2.5 : 2.5, y0 = corner / 2 ? h - 2.5 : 2.5;
        cairo_move_to(cr, x0, y0 + sy * 60);
        cairo_line_to(cr, x0, y0 + sy * 8);
        cairo_line_to(cr, x0 + sx * 8, y0);
        cairo_line_to(cr, x0 + sx * 60, y0);
    }
    StrokeWith(cr, {0.5, 1.0, 0.55}, 2);
    // range ticks down the left edge
    for (int y = 100; y < h - 60; y += 50) {
        cairo_move_to(cr, 3, y + 0.5);
        cairo_line_to(cr, y % 100 == 0 ? 12 : 8, y + 0.5);
    }
    StrokeWith(cr, MidGreen, 1, 0.9);
    return c.Keyed(MatteInk);
}

TPicture DrawHudRight()
{
    TCanvas c(82);
    cairo_t* cr = c.cr();
    const double ox = RightX, oy = RightY; // screen to panel coordinates
    // the progress track: a rail left of the marker's tip, the stage's goal at the top
    const double railX = TrackX - 8 - ox;
    const double railTop = TrackTop - oy, railBottom = TrackBottom + MarkerH - oy;
    TPlateStyle spine = HudGlass();
    PaintPlate(cr, railX - 6, railTop - 14, 12, railBottom - railTop + 26, 4, spine);
    Slot(cr, railX - 2, railTop, 4, railBottom - railTop, 1);
    for (int i = 0; i <= 10; ++i) {
        const double y = std::round(railTop + MarkerH / 2.0 + i * (railBottom - railTop - MarkerH) / 10.0) + 0.5;
        cairo_move_to(cr, railX + 6, y);
        cairo_line_to(cr, railX + (i % 5 == 0 ? 14 : 10), y);
    }
    StrokeWith(cr, MidGreen, 1);
    // the goal flag at the top of the track
    BlurredHalo(cr, 3, 1.3, [&](cairo_t* g) {
        cairo_arc(g, railX, railTop - 7, 3.5, 0, 2 * M_PI);
        SetColor(g, BrightGreen);
        cairo_fill(g);
    });
    Rivet(cr, railX, railTop - 7, 3, BrightGreen);

    // the gauge housing: armour (A) and energy (E) slots
    const double housingL = ArmourX - 10 - ox, housingR = EnergyX + GaugeW + 8 - ox;
    const double housingT = GaugeTop - 12 - oy, housingB = GaugeBottom + 26 - oy;
    PaintPlate(cr, housingL, housingT, housingR - housingL, housingB - housingT, 8, HudGlass());
    for (int x : {ArmourX, EnergyX}) {
        Slot(cr, x - 2 - ox, GaugeTop - 2 - oy, GaugeW + 4, GaugeBottom - GaugeTop + 4, 2);
        // quarter marks beside the slot
        for (int q = 1; q < 4; ++q) {
            const double y = GaugeTop + q * (GaugeBottom - GaugeTop) / 4.0 - oy + 0.5;
            cairo_move_to(cr, x + GaugeW + 3 - ox, y);
            cairo_line_to(cr, x + GaugeW + 7 - ox, y);
        }
    }
    StrokeWith(cr, MidGreen, 1);
    const double capY = GaugeBottom + 19 - oy;
    DrawLabel(cr, "A", ArmourX + GaugeW / 2.0 - LabelWidth(cr, "A", 12) / 2 - ox, capY, 12, MidGreen.R,
              MidGreen.G, MidGreen.B);
    DrawLabel(cr, "E", EnergyX + GaugeW / 2.0 - LabelWidth(cr, "E", 12) / 2 - ox, capY, 12, MidGreen.R,
              MidGreen.G, MidGreen.B);

    // the weapon console: the weapon icon's window, the timer's strip, the two special-weapon boxes
    const double consoleT = WeaponTop - 8 - oy;
    PaintPlate(cr, 2, consoleT, c.Width - 2, c.Height - consoleT, 10, HudGlass());
    Slot(cr, WeaponX - 3 - ox, WeaponTop - 3 - oy, WeaponW + 6, WeaponBottom - WeaponTop, 4);
    Slot(cr, WeaponX + WeaponW + 5 - ox, 517 - oy, 73, 25, 4);
    IconBox(cr, BombBoxX - ox, IconBoxY - oy, IconW, IconH);
    IconBox(cr, SkullBoxX - ox, IconBoxY - oy, IconW, IconH);
    // faint outlines of the special weapons in their empty boxes
    cairo_push_group(cr);
    BombShape(cr, BombBoxX + 22 - ox, IconBoxY + 25 - oy, 10);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.22);
    cairo_push_group(cr);
    SkullShape(cr, SkullBoxX + 24 - ox, IconBoxY + 21 - oy, 26, {0.6, 0.8, 0.65}, {0.0, 0.02, 0.01});
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.22);
    return c.Keyed(MatteInk);
}

TPicture DrawHudIcon(bool skull)
{
    TCanvas c(skull ? 99 : 100);
    cairo_t* cr = c.cr();
    IconPlate(cr, c.Width, c.Height);
    if (skull) {
        BlurredHalo(cr, 4, 1.2, [&](cairo_t* g) {
            cairo_arc(g, c.Width / 2.0, c.Height / 2.0, 13, 0, 2 * M_PI);
            SetColor(g, {0.3, 1.0, 0.4}, 0.9);
            cairo_fill(g);
        });
        SkullShape(cr, c.Width / 2.0, c.Height / 2.0 - 1, 28, {0.72, 0.86, 0.74}, {0.02, 0.12, 0.04});
    } else {
        BombShape(cr, c.Width / 2.0 - 3, c.Height / 2.0 + 4, 11);
    }
    return c.Opaque();
}
