// Frames the program writes into: the options screen's value frames, the text
// fields, the high-score rows and the question dialogs' panel.
#include <cmath>

#include "ArtSizes.h"
#include "MenuArt.h"

namespace {

// A value frame of the options screen and where it sits in its lit image.
struct TOptionFrame {
    int Entry, LitEntry;
    int OffsetX, OffsetY; // unlit frame's place inside the lit image
};
// clang-format off
constexpr TOptionFrame OptionFrames[3] = {
    {77, 96, 5, 4},   // display mode
    {78, 95, 5, 5},   // music and sound
    {69, 98, 4, 4},   // boss key
};
// clang-format on

// A recessed dark well, the inside of every frame the program writes into.
void Well(cairo_t* cr, double x, double y, double w, double h, double chamfer, TColor edge, double edgeAlpha)
{
    cairo_save(cr);
    ChamferPath(cr, x, y, w, h, chamfer);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(fill, 0, 0.0, 0.01, 0.01);
    cairo_pattern_add_color_stop_rgb(fill, 0.3, 0.008, 0.035, 0.028);
    cairo_pattern_add_color_stop_rgb(fill, 1, 0.02, 0.06, 0.045);
    FillWithPattern(cr, fill, true);
    // sunk into the panel: dark above and left, a light lip below and right
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_pattern_t* lip = cairo_pattern_create_linear(x, y, x + w * 0.2, y + h);
    cairo_pattern_add_color_stop_rgba(lip, 0, 0, 0, 0, 0.9);
    cairo_pattern_add_color_stop_rgba(lip, 0.55, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(lip, 1, 0.4, 0.9, 0.5, 0.35);
    cairo_set_source(cr, lip);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_pattern_destroy(lip);
    cairo_restore(cr);
    cairo_new_path(cr);
    ChamferPath(cr, x + 0.5, y + 0.5, w - 1, h - 1, chamfer);
    StrokeWith(cr, edge, 1, edgeAlpha);
    cairo_restore(cr);
}

// The little end caps of an options value frame.
void EndCaps(cairo_t* cr, double x, double y, double w, double h, TColor c, double alpha)
{
    cairo_save(cr);
    SetColor(cr, c, alpha);
    for (double ex : {x + 2.0, x + w - 4.0}) {
        cairo_rectangle(cr, ex, y + h * 0.3, 2, h * 0.4);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void PaintOptionFrame(cairo_t* cr, double x, double y, double w, double h, bool lit)
{
    if (lit) {
        BlurredHalo(cr, 4, 1.5, [&](cairo_t* g) {
            ChamferPath(g, x, y, w, h, 6);
            SetColor(g, {0.2, 1.0, 0.3});
            cairo_set_line_width(g, 3);
            cairo_stroke(g);
        });
    }
    cairo_save(cr);
    ChamferPath(cr, x, y, w, h, 6);
    SetColor(cr, lit ? TColor{0.05, 0.35, 0.10} : TColor{0.03, 0.14, 0.07});
    cairo_fill(cr);
    cairo_restore(cr);
    Well(cr, x + 2, y + 2, w - 4, h - 4, 4.5, lit ? BrightGreen : DarkGreen, lit ? 0.9 : 0.7);
    if (lit) {
        // a faint green light inside the well behind the value
        cairo_save(cr);
        ChamferPath(cr, x + 3, y + 3, w - 6, h - 6, 4);
        cairo_clip(cr);
        cairo_pattern_t* light = cairo_pattern_create_radial(x + w / 2, y + h, 2, x + w / 2, y + h, w * 0.6);
        cairo_pattern_add_color_stop_rgba(light, 0, 0.1, 0.6, 0.15, 0.35);
        cairo_pattern_add_color_stop_rgba(light, 1, 0.0, 0.2, 0.05, 0.0);
        cairo_set_source(cr, light);
        cairo_paint(cr);
        cairo_pattern_destroy(light);
        cairo_restore(cr);
    }
    ChamferPath(cr, x + 0.75, y + 0.75, w - 1.5, h - 1.5, 6);
    StrokeWith(cr, lit ? BrightGreen : DarkGreen, 1.5);
    EndCaps(cr, x, y, w, h, lit ? LightGreen : MidGreen, lit ? 1.0 : 0.6);
}

} // namespace

TPicture DrawOptionFrame(int entry)
{
    for (const TOptionFrame& f : OptionFrames) {
        if (entry == f.Entry) {
            TCanvas c(entry);
            PaintOptionFrame(c.cr(), 0, 0, c.Width, c.Height, false);
            return c.Keyed(MatteInk);
        }
        if (entry == f.LitEntry) {
            const TSize unlit = EntrySize(f.Entry);
            TCanvas c(entry);
            // the lit frame stands where the unlit one is, grown by a pixel all round
            const double w = std::min<double>(unlit.Width + 2, c.Width - f.OffsetX + 1);
            const double h = std::min<double>(unlit.Height + 2, c.Height - f.OffsetY + 1);
            PaintOptionFrame(c.cr(), f.OffsetX - 1, f.OffsetY - 1, w, h, true);
            return c.Keyed(MatteInk);
        }
    }
    return TCanvas(entry).Keyed(MatteInk);
}

TPicture DrawEditField(bool active)
{
    TCanvas c(active ? 97 : 68);
    cairo_t* cr = c.cr();
    // the idle field is drawn opaque 4 pixels inside the field's rectangle; the
    // active one covers the whole rectangle with the same well and a glowing rim
    const double inset = active ? 4 : 0;
    const double w = c.Width - 2 * inset, h = c.Height - 2 * inset;
    if (!active) {
        SetColor(cr, SpaceInk);
        cairo_paint(cr);
    } else {
        BlurredHalo(cr, 4, 1.6, [&](cairo_t* g) {
            ChamferPath(g, inset - 1, inset - 1, w + 2, h + 2, 7);
            SetColor(g, {0.2, 1.0, 0.3});
            cairo_set_line_width(g, 3);
            cairo_stroke(g);
        });
    }
    ChamferPath(cr, inset, inset, w, h, 6);
    SetColor(cr, active ? TColor{0.05, 0.30, 0.10} : TColor{0.03, 0.12, 0.07});
    cairo_fill(cr);
    Well(cr, inset + 2, inset + 2, w - 4, h - 4, 4.5, active ? BrightGreen : DarkGreen, active ? 0.8 : 0.6);
    // faint scan lines in the well
    cairo_save(cr);
    ChamferPath(cr, inset + 3, inset + 3, w - 6, h - 6, 4);
    cairo_clip(cr);
    for (double y = inset + 5.5; y < inset + h - 3; y += 3) {
        cairo_move_to(cr, inset + 3, y);
        cairo_line_to(cr, inset + w - 3, y);
    }
    StrokeWith(cr, {0.1, 0.4, 0.15}, 1, active ? 0.10 : 0.06);
    cairo_restore(cr);
    ChamferPath(cr, inset + 0.75, inset + 0.75, w - 1.5, h - 1.5, 6);
    StrokeWith(cr, active ? BrightGreen : DarkGreen, 1.5);
    return active ? c.Keyed(MatteInk) : c.Opaque();
}

TPicture DrawScoreRow()
{
    TCanvas c(70);
    cairo_t* cr = c.cr();
    SetColor(cr, SpaceInk);
    cairo_paint(cr);
    TPlateStyle row;
    row.Top = {0.03, 0.10, 0.075};
    row.Bottom = {0.012, 0.04, 0.035};
    row.Edge = {0.08, 0.36, 0.14};
    row.EdgeWidth = 1;
    PaintPlate(cr, 0.5, 0.5, c.Width - 1, c.Height - 1, 6, row);
    // the columns: place | name | score
    for (double x : {148.5, 378.5}) {
        cairo_move_to(cr, x, 6);
        cairo_line_to(cr, x, c.Height - 6);
        StrokeWith(cr, {0.0, 0.0, 0.0}, 1, 0.7);
        cairo_move_to(cr, x + 1, 6);
        cairo_line_to(cr, x + 1, c.Height - 6);
        SetColor(cr, DarkGreen, 0.45);
        cairo_stroke(cr);
    }
    // a lit notch at the left end
    cairo_rectangle(cr, 4, 9, 3, c.Height - 18);
    SetColor(cr, MidGreen, 0.7);
    cairo_fill(cr);
    return c.Opaque();
}

TPicture DrawDialogPanel()
{
    TCanvas c(79);
    cairo_t* cr = c.cr();
    const double w = c.Width, h = c.Height;
    SetColor(cr, SpaceInk);
    cairo_paint(cr);
    // outer hull
    TPlateStyle hull;
    hull.Top = {0.05, 0.15, 0.10};
    hull.Bottom = {0.02, 0.07, 0.05};
    hull.Edge = DarkGreen;
    hull.EdgeWidth = 2;
    PaintPlate(cr, 1, 1, w - 2, h - 2, 18, hull);
    // the inner screen where the question is written
    Well(cr, 9, 9, w - 18, h - 18, 13, {0.1, 0.45, 0.16}, 0.9);
    cairo_save(cr);
    ChamferPath(cr, 11, 11, w - 22, h - 22, 12);
    cairo_clip(cr);
    cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2, h * 0.35, 10, w / 2, h * 0.4, w * 0.55);
    cairo_pattern_add_color_stop_rgba(glow, 0, 0.05, 0.25, 0.12, 0.28);
    cairo_pattern_add_color_stop_rgba(glow, 1, 0.0, 0.05, 0.03, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    for (double y = 13.5; y < h - 11; y += 4) {
        cairo_move_to(cr, 11, y);
        cairo_line_to(cr, w - 11, y);
    }
    StrokeWith(cr, {0.1, 0.45, 0.2}, 1, 0.05);
    // a faint rule between the question and the answers
    cairo_pattern_t* rule = cairo_pattern_create_linear(30, 0, w - 30, 0);
    cairo_pattern_add_color_stop_rgba(rule, 0, 0.1, 0.5, 0.2, 0.0);
    cairo_pattern_add_color_stop_rgba(rule, 0.5, 0.1, 0.6, 0.2, 0.45);
    cairo_pattern_add_color_stop_rgba(rule, 1, 0.1, 0.5, 0.2, 0.0);
    cairo_rectangle(cr, 30, 129, w - 60, 1);
    FillWithPattern(cr, rule);
    cairo_restore(cr);
    // bright corner brackets
    const double m = 5, len = 26;
    for (int corner = 0; corner < 4; ++corner) {
        const double sx = corner % 2 ? -1 : 1, sy = corner / 2 ? -1 : 1;
        const double x0 = corner % 2 ? w - m : m, y0 = corner / 2 ? h - m : m;
        cairo_move_to(cr, x0, y0 + sy * len);
        cairo_line_to(cr, x0, y0 + sy * 10);
        cairo_line_to(cr, x0 + sx * 10, y0);
        cairo_line_to(cr, x0 + sx * len, y0);
        StrokeWith(cr, BrightGreen, 2, 0.85);
    }
    // rivets along the hull
    for (double x : {60.0, w - 60}) {
        Rivet(cr, x, 5, 1.8, {0.3, 0.55, 0.35});
        Rivet(cr, x, h - 5, 1.8, {0.3, 0.55, 0.35});
    }
    return c.Opaque();
}
