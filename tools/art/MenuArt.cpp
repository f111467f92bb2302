// The menu and interface pictures of the asset pack, entries 60 to 101 (menu
// sheet = entry - 60), handed out by entry number.
#include "ArtSizes.h"
#include "MenuArtKit.h"

namespace {

// Loaded but never shown: a small green mark, so the slot still holds a picture.
TPicture DrawUnusedMark(int entry)
{
    TCanvas c(entry);
    const double w = c.Width, h = c.Height;
    cairo_move_to(c.Cr, w / 2, 1);
    cairo_line_to(c.Cr, w - 1, h / 2);
    cairo_line_to(c.Cr, w / 2, h - 1);
    cairo_line_to(c.Cr, 1, h / 2);
    cairo_close_path(c.Cr);
    SetRgb(c.Cr, DarkGreen);
    cairo_fill(c.Cr);
    return c.Keyed();
}

} // namespace

TPicture DrawMenuEntry(int entry)
{
    switch (entry) {
    case 60: return DrawMenuBackground();
    case 61: case 62: case 63: case 64: case 65: case 66: return DrawMainMenuItemLit(entry - 61);
    case 67: return DrawLevelMarker();
    case 68: return DrawEditField(false);
    case 69: case 77: case 78: case 95: case 96: case 98: return DrawOptionFrame(entry);
    case 70: return DrawScoreRow();
    case 71: case 72: return DrawScoreButtonLit(entry - 71);
    case 74: case 75: case 76: return DrawSmallButtonLit(entry);
    case 79: return DrawDialogPanel();
    case 80: return DrawHudTop();
    case 81: return DrawHudFrame();
    case 82: return DrawHudRight();
    case 83: case 84: case 94: return DrawSmallButtonLabel(entry);
    case 89: return DrawTitle();
    case 90: return DrawTitleBanner();
    case 91: return DrawMainMenuItems();
    case 92: case 93: return DrawScoreButtonLabel(entry - 92);
    case 97: return DrawEditField(true);
    case 99: return DrawHudIcon(true);
    case 100: return DrawHudIcon(false);
    case 101: return DrawAboutPicture();
    default: return DrawUnusedMark(entry);  // 73, 85..88
    }
}
