// The buttons of the menu screens: the main menu column with its six items,
// the two high-score buttons, and the small Back / Previous / Next buttons.
// A lit image is drawn over the unlit one at the button's rectangle, so both
// are painted from the same plate geometry and the lit one covers it exactly.
#include <cmath>
#include <string>

#include "ArtSizes.h"
#include "MenuArt.h"

namespace {

// Where the unlit main menu picture sits and the items' rectangles on screen.
constexpr int ColumnX = 461, ColumnY = 327, ColumnW = 335, ColumnH = 256;
struct TItem {
    int Left, Top, Right, Bottom;
    const char* Label;
};
// clang-format off
constexpr TItem MainItems[6] = {
    {470, 337, 786, 375, "New game"}, {470, 376, 786, 413, "Options"}, {470, 415, 786, 451, "High scores"},
    {470, 452, 786, 491, "Help"},     {470, 492, 786, 532, "Web site"}, {470, 533, 786, 573, "Exit"},
};
// clang-format on
constexpr double ItemLabelSize = 22;
constexpr double ItemLabelX = 50; // from the item's left edge

void ItemBullet(cairo_t* cr, double x, double midY, TColor colour, double alpha)
{
    cairo_save(cr);
    cairo_move_to(cr, x, midY - 5);
    cairo_line_to(cr, x + 5, midY);
    cairo_line_to(cr, x, midY + 5);
    cairo_line_to(cr, x - 5, midY);
    cairo_close_path(cr);
    SetColor(cr, colour, alpha);
    cairo_fill(cr);
    cairo_restore(cr);
}

// The unlit column over the backdrop, kept for the lit items painted over it.
cairo_surface_t* RenderColumn()
{
    cairo_surface_t* s = NewCanvas(ColumnW, ColumnH);
    cairo_t* cr = cairo_create(s);
    PaintBackdrop(cr, ColumnX, ColumnY);
    // the glass panel holding the items
    TPlateStyle panel;
    panel.FillAlpha = 0.62;
    panel.Top = {0.02, 0.09, 0.07};
    panel.Bottom = {0.01, 0.035, 0.04};
    panel.EdgeWidth = 2;
    PaintPlate(cr, 2, 2, ColumnW - 4, ColumnH - 4, 16, panel);
    // an inner glow along the panel's edge
    cairo_save(cr);
    ChamferPath(cr, 2, 2, ColumnW - 4, ColumnH - 4, 16);
    cairo_clip(cr);
    BlurredHalo(cr, 8, 0.8, [](cairo_t* g) {
        ChamferPath(g, 2, 2, ColumnW - 4, ColumnH - 4, 16);
        cairo_set_source_rgba(g, 0.1, 0.6, 0.2, 0.5);
        cairo_set_line_width(g, 4);
        cairo_stroke(g);
    });
    cairo_restore(cr);
    // corner ticks
    for (int corner = 0; corner < 4; ++corner) {
        const double x = corner % 2 ? ColumnW - 22 : 22, y = corner / 2 ? ColumnH - 5 : 5;
        cairo_move_to(cr, x - 10, y);
        cairo_line_to(cr, x + 10, y);
        StrokeWith(cr, MidGreen, 2, 0.9);
    }
    for (const TItem& item : MainItems) {
        const double x = item.Left - ColumnX, y = item.Top - ColumnY;
        const double w = item.Right - item.Left, h = item.Bottom - item.Top;
        TPlateStyle slot;
        slot.FillAlpha = 0.55;
        slot.Top = {0.03, 0.10, 0.07};
        slot.Bottom = {0.01, 0.04, 0.035};
        slot.Edge = {0.08, 0.32, 0.12};
        slot.EdgeWidth = 1;
        PaintPlate(cr, x + 1, y + 1, w - 2, h - 2, 7, slot);
        const double base = CentredBaseline(cr, ItemLabelSize, y, h);
        ItemBullet(cr, x + 28, y + h / 2, DarkGreen, 0.8);
        EngravedLabel(cr, item.Label, x + ItemLabelX, base, ItemLabelSize, DarkGreen);
    }
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* MenuColumn()
{
    static cairo_surface_t* column = RenderColumn();
    return column;
}

// The bright highlight bar of a lit button inside w x h at (x, y).
void LitBar(cairo_t* cr, double x, double y, double w, double h, double chamfer)
{
    BlurredHalo(cr, 5, 1.0, [&](cairo_t* g) {
        ChamferPath(g, x, y, w, h, chamfer);
        cairo_set_source_rgba(g, 0.2, 1.0, 0.3, 0.9);
        cairo_set_line_width(g, 3);
        cairo_stroke(g);
    });
    cairo_save(cr);
    ChamferPath(cr, x, y, w, h, chamfer);
    // dark enough inside for the bright label to stand out
    cairo_pattern_t* fill = cairo_pattern_create_linear(x, 0, x + w, 0);
    cairo_pattern_add_color_stop_rgba(fill, 0, 0.05, 0.34, 0.09, 0.95);
    cairo_pattern_add_color_stop_rgba(fill, 0.3, 0.02, 0.17, 0.06, 0.93);
    cairo_pattern_add_color_stop_rgba(fill, 1, 0.01, 0.09, 0.04, 0.9);
    FillWithPattern(cr, fill, true);
    // glassy sheen on the upper edge, a green light rising from below
    cairo_save(cr);
    cairo_clip(cr);
    cairo_pattern_t* sheen = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(sheen, 0, 0.7, 1.0, 0.7, 0.30);
    cairo_pattern_add_color_stop_rgba(sheen, 0.22, 0.5, 1.0, 0.5, 0.04);
    cairo_pattern_add_color_stop_rgba(sheen, 0.7, 0.0, 0.4, 0.0, 0.0);
    cairo_pattern_add_color_stop_rgba(sheen, 1, 0.1, 0.7, 0.15, 0.35);
    cairo_set_source(cr, sheen);
    cairo_paint(cr);
    cairo_pattern_destroy(sheen);
    cairo_restore(cr);
    ChamferPath(cr, x + 0.75, y + 0.75, w - 1.5, h - 1.5, chamfer);
    StrokeWith(cr, BrightGreen, 1.5);
    cairo_restore(cr);
}

// Small buttons: the label plate and where it sits inside the lit image.
struct TSmallButton {
    int LitEntry, LabelEntry;
    const char* Label;
    int ArrowDir; // -1 left, +1 right, 0 a return arrow
    int OffsetX, OffsetY;
    int HelpX, HelpY; // the label's place on the help pages
};
constexpr TSmallButton SmallButtons[3] = {
    {74, 94, "Back", 0, 7, 7, 660, 530},
    {75, 84, "Previous", -1, 6, 7, 440, 530},
    {76, 83, "Next", 1, 6, 7, 550, 530},
};

const TSmallButton& SmallByEntry(int entry)
{
    for (const TSmallButton& b : SmallButtons)
        if (b.LitEntry == entry || b.LabelEntry == entry)
            return b;
    return SmallButtons[0];
}

void ReturnArrow(cairo_t* cr, double x, double midY, TColor colour)
{
    cairo_save(cr);
    SetColor(cr, colour);
    cairo_set_line_width(cr, 2.2);
    cairo_move_to(cr, x + 12, midY - 6);
    cairo_line_to(cr, x + 12, midY + 1);
    cairo_line_to(cr, x + 4, midY + 1);
    cairo_stroke(cr);
    cairo_move_to(cr, x, midY + 1);
    cairo_line_to(cr, x + 6, midY - 4);
    cairo_line_to(cr, x + 6, midY + 6);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Label and arrow of a small button inside w x h at (x, y).
void SmallButtonFace(cairo_t* cr, const TSmallButton& b, double x, double y, double w, double h, bool lit)
{
    const double size = 17;
    const double textW = LabelWidth(cr, b.Label, size);
    const double arrowW = 14, gap = 6;
    const double total = textW + arrowW + gap;
    const double left = x + std::round((w - total) / 2);
    const double base = CentredBaseline(cr, size, y, h);
    const double mid = base - CapHeight(cr, size) / 2;
    const TColor colour = lit ? BrightGreen : DarkGreen;
    double textX = left + arrowW + gap, arrowX = left;
    if (b.ArrowDir > 0) {
        textX = left;
        arrowX = left + textW + gap;
    }
    auto arrow = [&](cairo_t* c, TColor col) {
        if (b.ArrowDir == 0)
            ReturnArrow(c, arrowX, mid, col);
        else if (b.ArrowDir < 0)
            Chevron(c, arrowX, mid, 6, false, col);
        else
            Chevron(c, arrowX + arrowW - 4, mid, 6, true, col);
    };
    if (lit) {
        BlurredHalo(cr, 4, 1.3, [&](cairo_t* g) {
            DrawLabel(g, b.Label, textX, base, size, LightGreen.R, LightGreen.G, LightGreen.B);
            arrow(g, LightGreen);
        });
        DrawLabel(cr, b.Label, textX, base, size, 0.75, 1.0, 0.75);
        DrawLabel(cr, b.Label, textX, base, size, colour.R, colour.G, colour.B);
        arrow(cr, colour);
    } else {
        EngravedLabel(cr, b.Label, textX, base, size, colour);
        arrow(cr, colour);
    }
}

TPlateStyle LabelPlate()
{
    TPlateStyle s;
    s.Top = {0.035, 0.12, 0.08};
    s.Bottom = {0.012, 0.045, 0.04};
    s.Edge = DarkGreen;
    s.EdgeWidth = 1.5;
    return s;
}

// The high-score screen's two big buttons.
struct TScoreButton {
    int LitEntry, LabelEntry;
    const char* Label;
    int LabelX, LabelY; // where the unlit label is drawn
    int RectX, RectY;   // the button rectangle's top-left (where the lit image goes)
};
constexpr TScoreButton ScoreButtons[2] = {
    {71, 92, "Clear table", 50, 140, 43, 133},
    {72, 93, "World table", 50, 210, 44, 203},
};
constexpr int ScoreLabelW = 170, ScoreLabelH = 58;

void BinIcon(cairo_t* cr, double x, double midY, TColor c)
{
    cairo_save(cr);
    SetColor(cr, c);
    cairo_set_line_width(cr, 1.8);
    cairo_move_to(cr, x + 2, midY - 6);
    cairo_line_to(cr, x + 4, midY + 9);
    cairo_line_to(cr, x + 14, midY + 9);
    cairo_line_to(cr, x + 16, midY - 6);
    cairo_stroke(cr);
    cairo_move_to(cr, x, midY - 8.5);
    cairo_line_to(cr, x + 18, midY - 8.5);
    cairo_stroke(cr);
    cairo_rectangle(cr, x + 6.5, midY - 12, 5, 3);
    cairo_stroke(cr);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, x + 6 + 3 * i, midY - 3);
        cairo_line_to(cr, x + 6.3 + 3 * i, midY + 6);
    }
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void GlobeIcon(cairo_t* cr, double x, double midY, TColor c)
{
    cairo_save(cr);
    SetColor(cr, c);
    cairo_set_line_width(cr, 1.6);
    const double cx = x + 9, r = 9;
    cairo_new_path(cr);
    cairo_arc(cr, cx, midY, r, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, midY);
    cairo_scale(cr, 0.45, 1.0);
    cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - r, midY);
    cairo_line_to(cr, cx + r, midY);
    cairo_move_to(cr, cx - r * 0.8, midY - 4.5);
    cairo_line_to(cr, cx + r * 0.8, midY - 4.5);
    cairo_move_to(cr, cx - r * 0.8, midY + 4.5);
    cairo_line_to(cr, cx + r * 0.8, midY + 4.5);
    cairo_set_line_width(cr, 1.1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void ScoreButtonFace(cairo_t* cr, int index, double x, double y, bool lit)
{
    const TScoreButton& b = ScoreButtons[index];
    const double size = 19;
    const double textW = LabelWidth(cr, b.Label, size);
    const double iconW = 20, gap = 8;
    const double left = x + std::round((ScoreLabelW - textW - iconW - gap) / 2);
    const double base = CentredBaseline(cr, size, y, ScoreLabelH);
    const double mid = base - CapHeight(cr, size) / 2;
    const TColor colour = lit ? BrightGreen : DarkGreen;
    auto icon = [&](cairo_t* c, TColor col) {
        if (index == 0)
            BinIcon(c, left, mid + 1, col);
        else
            GlobeIcon(c, left, mid, col);
    };
    if (lit) {
        BlurredHalo(cr, 4, 1.3, [&](cairo_t* g) {
            DrawLabel(g, b.Label, left + iconW + gap, base, size, LightGreen.R, LightGreen.G, LightGreen.B);
            icon(g, LightGreen);
        });
        DrawLabel(cr, b.Label, left + iconW + gap, base, size, colour.R, colour.G, colour.B);
    } else {
        EngravedLabel(cr, b.Label, left + iconW + gap, base, size, colour);
    }
    icon(cr, colour);
}

// Fine rulings along the bottom of a score button's plate.
void PlateTicks(cairo_t* cr, double x, double y, double w, double h, TColor c, double alpha)
{
    cairo_save(cr);
    SetColor(cr, c, alpha);
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < 6; ++i) {
        const double tx = x + w / 2 - 25 + i * 10 + 0.5;
        cairo_move_to(cr, tx, y + h - 9);
        cairo_line_to(cr, tx, y + h - 5);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

} // namespace

TPicture DrawMainMenuItems()
{
    TCanvas c(91);
    cairo_set_source_surface(c.cr(), MenuColumn(), 0, 0);
    cairo_paint(c.cr());
    return c.Keyed(MatteInk);
}

TPicture DrawMainMenuItemLit(int item)
{
    const TItem& it = MainItems[item];
    TCanvas c(61 + item);
    cairo_t* cr = c.cr();
    cairo_set_source_surface(cr, MenuColumn(), ColumnX - it.Left, ColumnY - it.Top);
    cairo_paint(cr);
    const double w = c.Width, h = c.Height;
    LitBar(cr, 1.5, 1.5, w - 3, h - 3, 7);
    const double base = CentredBaseline(cr, ItemLabelSize, 0, h);
    HaloLabel(cr, it.Label, ItemLabelX, base, ItemLabelSize, BrightGreen, {0.3, 1.0, 0.4}, 5, 1.0);
    // a pointer in front of the label, and speed marks at the far end
    BlurredHalo(cr, 3, 1.0, [&](cairo_t* g) {
        Chevron(g, 24, h / 2, 6, true, LightGreen);
        Chevron(g, 36, h / 2, 6, true, LightGreen);
    });
    Chevron(cr, 24, h / 2, 6, true, BrightGreen, 0.6);
    Chevron(cr, 36, h / 2, 6, true, BrightGreen);
    for (int i = 0; i < 4; ++i) {
        const double x = w - 52 + i * 9;
        cairo_move_to(cr, x, h / 2 + 6);
        cairo_line_to(cr, x + 6, h / 2 - 6);
        StrokeWith(cr, BrightGreen, 2.5, 0.35 + 0.2 * i);
    }
    return c.Keyed(MatteInk);
}

TPicture DrawScoreButtonLabel(int button)
{
    const TScoreButton& b = ScoreButtons[button];
    TCanvas c(b.LabelEntry);
    PaintBackdrop(c.cr(), b.LabelX, b.LabelY);
    TPlateStyle s = LabelPlate();
    s.FillAlpha = 0.8;
    PaintPlate(c.cr(), 1, 1, c.Width - 2, c.Height - 2, 10, s);
    PlateTicks(c.cr(), 1, 1, c.Width - 2, c.Height - 2, DarkGreen, 0.6);
    ScoreButtonFace(c.cr(), button, 0, 0, false);
    return c.Keyed(MatteInk);
}

TPicture DrawScoreButtonLit(int button)
{
    const TScoreButton& b = ScoreButtons[button];
    TCanvas c(b.LitEntry);
    PaintBackdrop(c.cr(), b.RectX, b.RectY);
    const double px = b.LabelX - b.RectX, py = b.LabelY - b.RectY;
    LitBar(c.cr(), px + 1, py + 1, ScoreLabelW - 2, ScoreLabelH - 2, 10);
    PlateTicks(c.cr(), px + 1, py + 1, ScoreLabelW - 2, ScoreLabelH - 2, BrightGreen, 0.8);
    ScoreButtonFace(c.cr(), button, px, py, true);
    return c.Keyed(MatteInk);
}

TPicture DrawSmallButtonLabel(int entry)
{
    const TSmallButton& b = SmallByEntry(entry);
    TCanvas c(entry);
    // opaque: the Back label also stands alone on the high-score screen, and
    // the Next label is the badge of the connection dialogs; the corners
    // outside the plate show the sky of the help pages, where all three sit
    PaintBackdrop(c.cr(), b.HelpX, b.HelpY);
    PaintPlate(c.cr(), 0.5, 0.5, c.Width - 1, c.Height - 1, 7, LabelPlate());
    SmallButtonFace(c.cr(), b, 0, 0, c.Width, c.Height, false);
    return c.Opaque();
}

TPicture DrawSmallButtonLit(int entry)
{
    const TSmallButton& b = SmallByEntry(entry);
    const TSize label = EntrySize(b.LabelEntry);
    TCanvas c(entry);
    // the unlit label is opaque to its corners: the lit image must hide all of it
    cairo_rectangle(c.cr(), b.OffsetX, b.OffsetY, label.Width, label.Height);
    SetColor(c.cr(), SpaceInk);
    cairo_fill(c.cr());
    LitBar(c.cr(), b.OffsetX + 0.5, b.OffsetY + 0.5, label.Width - 1, label.Height - 1, 7);
    SmallButtonFace(c.cr(), b, b.OffsetX, b.OffsetY, label.Width, label.Height, true);
    return c.Keyed(MatteInk);
}
