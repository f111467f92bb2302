// The game's sprite sheets, pack entries 0..59: the dispatcher and the small
// interface strips.
#include "GameArt.h"

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

// A gauge strip: the game shows its bottom rows as the gauge fills, so the
// bottom is the low end of the colour ramp and the top the full end.
static TPicture DrawGaugeStrip(const TColor& low, const TColor& high)
{
    const TSize s = EntrySize(0);
    TCanvas canvas(s.Width, s.Height);
    cairo_t* cr = canvas.cr();
    SetColor(cr, TColor::Hex(0x050A08));
    cairo_paint(cr);
    // the colour ramp, bottom to top
    cairo_pattern_t* ramp = cairo_pattern_create_linear(0, s.Height, 0, 0);
    AddStop(ramp, 0.0, low);
    AddStop(ramp, 1.0, high);
    // cylinder shading across
    cairo_rectangle(cr, 1, 0, s.Width - 2, s.Height);
    FillWithPattern(cr, ramp);
    cairo_pattern_t* shade = cairo_pattern_create_linear(1, 0, s.Width - 1, 0);
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(shade, 0.3, 1, 1, 1, 0.35);
    cairo_pattern_add_color_stop_rgba(shade, 0.5, 1, 1, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(shade, 1.0, 0, 0, 0, 0.6);
    cairo_rectangle(cr, 1, 0, s.Width - 2, s.Height);
    FillWithPattern(cr, shade);
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
    TCanvas canvas(16, 16);
    cairo_t* cr = canvas.cr();
    RadialGlow(cr, 8, 8, 7, TColor::Hex(0x22AA44), 0.9);
    return canvas.Keyed();
}
