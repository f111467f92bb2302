// The menu and interface pictures of the asset pack, entries 60 to 101 (menu
// sheet = entry - 60), handed out by entry number, and the interface's plates
// and decorations.
#include "MenuArt.h"

#include <algorithm>
#include <cmath>

namespace {

// Loaded but never shown: a small green mark, so the slot still holds a picture.
TPicture DrawUnusedMark(int entry)
{
    TCanvas c(entry);
    cairo_t* cr = c.cr();
    const double w = c.Width, h = c.Height;
    cairo_move_to(cr, w / 2, 1);
    cairo_line_to(cr, w - 1, h / 2);
    cairo_line_to(cr, w / 2, h - 1);
    cairo_line_to(cr, 1, h / 2);
    cairo_close_path(cr);
    SetColor(cr, DarkGreen);
    cairo_fill(cr);
    return c.Keyed(MatteInk);
}

} // namespace

TPicture DrawMenuEntry(int entry)
{
    switch (entry) {
    case 60: return DrawMenuBackground();
    case 61:
    case 62:
    case 63:
    case 64:
    case 65:
    case 66: return DrawMainMenuItemLit(entry - 61);
    case 67: return DrawLevelMarker();
    case 68: return DrawEditField(false);
    case 69:
    case 77:
    case 78:
    case 95:
    case 96:
    case 98: return DrawOptionFrame(entry);
    case 70: return DrawScoreRow();
    case 71:
    case 72: return DrawScoreButtonLit(entry - 71);
    case 74:
    case 75:
    case 76: return DrawSmallButtonLit(entry);
    case 79: return DrawDialogPanel();
    case 80: return DrawHudTop();
    case 81: return DrawHudFrame();
    case 82: return DrawHudRight();
    case 83:
    case 84:
    case 94: return DrawSmallButtonLabel(entry);
    case 89: return DrawTitle();
    case 90: return DrawTitleBanner();
    case 91: return DrawMainMenuItems();
    case 92:
    case 93: return DrawScoreButtonLabel(entry - 92);
    case 97: return DrawEditField(true);
    case 99: return DrawHudIcon(true);
    case 100: return DrawHudIcon(false);
    case 101: return DrawAboutPicture();
    default: return DrawUnusedMark(entry); // 73, 85..88
    }
}

void PaintPlate(cairo_t* cr, double x, double y, double w, double h, double chamfer, const TPlateStyle& s)
{
    if (s.HaloRadius > 0 && s.HaloStrength > 0) {
        BlurredHalo(cr, s.HaloRadius, s.HaloStrength, [&](cairo_t* g) {
            ChamferPath(g, x, y, w, h, chamfer);
            SetColor(g, s.Edge);
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
    FillWithPattern(cr, fill, true);
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
    SetColor(cr, s.Edge, s.EdgeAlpha);
    cairo_set_line_width(cr, s.EdgeWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Chevron(cairo_t* cr, double tipX, double midY, double size, bool pointsRight, TColor colour, double alpha)
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
    SetColor(cr, colour, alpha);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Rivet(cairo_t* cr, double x, double y, double r, TColor colour)
{
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.35, y - r * 0.35, 0, x, y, r);
    cairo_pattern_add_color_stop_rgb(p, 0, std::min(1.0, colour.R + 0.5), std::min(1.0, colour.G + 0.5),
                                     std::min(1.0, colour.B + 0.5));
    cairo_pattern_add_color_stop_rgb(p, 1, colour.R * 0.4, colour.G * 0.4, colour.B * 0.4);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    FillWithPattern(cr, p);
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
