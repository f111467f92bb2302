// The game's name plate at the top left, the banner behind the screen titles
// at the top right, and the warship badge of the About page.
#include <cmath>
#include <string>

#include "MenuArt.h"

namespace {

constexpr int BannerX = 388;
constexpr int AboutX = 40, AboutY = 220;

// The warship seen from above, nose up, centred on (cx, cy), `s` pixels long.
void WarshipPath(cairo_t* cr, double cx, double cy, double s)
{
    const double k = s / 100.0;
    auto p = [&](double x, double y) { return std::pair<double, double>{cx + x * k, cy + y * k}; };
    // clang-format off
    const std::pair<double, double> outline[] = {
        p(0, -50),  p(6, -32),  p(8, -12),  p(20, -2),  p(44, 16),  p(46, 26), p(20, 22),
        p(14, 34),  p(24, 46),  p(8, 44),   p(0, 50),   p(-8, 44),  p(-24, 46), p(-14, 34),
        p(-20, 22), p(-46, 26), p(-44, 16), p(-20, -2), p(-8, -12), p(-6, -32),
    };
    // clang-format on
    cairo_new_sub_path(cr);
    cairo_move_to(cr, outline[0].first, outline[0].second);
    for (const auto& q : outline)
        cairo_line_to(cr, q.first, q.second);
    cairo_close_path(cr);
}

// Sets polished green chrome as the source: bright from `top`, a dark band
// at the middle, bright again at `bottom`.
void SetTitleMetal(cairo_t* cr, double top, double bottom)
{
    cairo_pattern_t* m = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgb(m, 0.0, 0.92, 1.0, 0.94);
    cairo_pattern_add_color_stop_rgb(m, 0.42, 0.55, 0.70, 0.60);
    cairo_pattern_add_color_stop_rgb(m, 0.50, 0.16, 0.30, 0.20);
    cairo_pattern_add_color_stop_rgb(m, 0.62, 0.25, 0.62, 0.32);
    cairo_pattern_add_color_stop_rgb(m, 1.0, 0.55, 1.0, 0.55);
    cairo_set_source(cr, m);
    cairo_pattern_destroy(m);
}

// "ZEPHYRION" letter by letter with wide tracking; returns the path's width.
double TitleText(cairo_t* cr, double x, double baseline, double size, double tracking, bool measureOnly)
{
    const std::string word = "ZEPHYRION";
    double pen = x;
    cairo_select_font_face(cr, "Play", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    for (size_t i = 0; i < word.size(); ++i) {
        const std::string letter(1, word[i]);
        cairo_text_extents_t e;
        cairo_text_extents(cr, letter.c_str(), &e);
        if (!measureOnly) {
            cairo_move_to(cr, pen, baseline);
            cairo_text_path(cr, letter.c_str());
        }
        pen += e.x_advance + (i + 1 < word.size() ? tracking : 0);
    }
    return pen - x;
}

} // namespace

TPicture DrawTitle()
{
    TCanvas c(89);
    cairo_t* cr = c.cr();
    const double size = 35, tracking = 2.5;
    const double textW = TitleText(cr, 0, 0, size, tracking, true);
    const double x = std::round((c.Width - textW) / 2), base = 96;
    const double cap = CapHeight(cr, size);
    // the emblem: the warship's wings above the name
    auto emblem = [&](cairo_t* g) { WarshipPath(g, c.Width / 2.0, 33, 46); };
    BlurredHalo(cr, 8, 1.6, [&](cairo_t* g) {
        emblem(g);
        SetColor(g, {0.1, 0.9, 0.3});
        cairo_fill(g);
        cairo_new_path(g);
        TitleText(g, x, base, size, tracking, false);
        SetColor(g, {0.1, 0.85, 0.25});
        cairo_set_line_width(g, 3);
        cairo_stroke_preserve(g);
        cairo_fill(g);
    });
    // swept lines either side of the emblem
    for (int side : {-1, 1}) {
        for (int i = 0; i < 3; ++i) {
            const double y = 38 + i * 5;
            const double inner = c.Width / 2.0 + side * (30 + i * 4), outer = c.Width / 2.0 + side * (108 - i * 16);
            cairo_pattern_t* p = cairo_pattern_create_linear(inner, 0, outer, 0);
            cairo_pattern_add_color_stop_rgba(p, 0, 0.5, 1.0, 0.55, 0.95);
            cairo_pattern_add_color_stop_rgba(p, 1, 0.0, 0.6, 0.1, 0.0);
            cairo_move_to(cr, inner, y);
            cairo_line_to(cr, outer, y);
            cairo_set_source(cr, p);
            cairo_set_line_width(cr, 2.0 - i * 0.4);
            cairo_stroke(cr);
            cairo_pattern_destroy(p);
        }
    }
    emblem(cr);
    SetTitleMetal(cr, 10, 56);
    cairo_fill_preserve(cr);
    StrokeWith(cr, {0.02, 0.15, 0.05}, 1.2);
    // canopy
    cairo_save(cr);
    cairo_translate(cr, c.Width / 2.0, 21);
    cairo_scale(cr, 1.6, 4.2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColor(cr, {0.1, 1.0, 0.4});
    cairo_fill(cr);
    // the name: a dark outline, then the metal face
    TitleText(cr, x, base, size, tracking, false);
    SetColor(cr, {0.0, 0.08, 0.02});
    cairo_set_line_width(cr, 3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    SetTitleMetal(cr, base - cap, base);
    cairo_fill_preserve(cr);
    StrokeWith(cr, {0.8, 1.0, 0.8}, 0.8, 0.5);
    // the underline: a thin glowing rule fading at both ends, with a bright centre
    const double ruleY = 110;
    BlurredHalo(cr, 5, 1.4, [&](cairo_t* g) {
        cairo_rectangle(g, 30, ruleY - 1.5, c.Width - 60, 3);
        SetColor(g, BrightGreen, 0.9);
        cairo_fill(g);
    });
    cairo_pattern_t* rule = cairo_pattern_create_linear(14, 0, c.Width - 14, 0);
    cairo_pattern_add_color_stop_rgba(rule, 0, 0.0, 0.6, 0.1, 0.0);
    cairo_pattern_add_color_stop_rgba(rule, 0.5, 0.75, 1.0, 0.75, 1.0);
    cairo_pattern_add_color_stop_rgba(rule, 1, 0.0, 0.6, 0.1, 0.0);
    cairo_rectangle(cr, 14, ruleY - 1, c.Width - 28, 2);
    FillWithPattern(cr, rule);
    // small marks under the rule
    for (int i = -2; i <= 2; ++i) {
        const double mx = c.Width / 2.0 + i * 14;
        cairo_move_to(cr, mx - 4, ruleY + 8);
        cairo_line_to(cr, mx + 4, ruleY + 8);
        StrokeWith(cr, i == 0 ? BrightGreen : MidGreen, 2, i == 0 ? 1.0 : 0.7);
    }
    return c.Keyed(MatteInk);
}

TPicture DrawTitleBanner()
{
    TCanvas c(90);
    cairo_t* cr = c.cr();
    PaintBackdrop(cr, BannerX, 0);
    const double w = c.Width;
    // the plate hangs from the top edge; its left side is cut at a slant
    auto outline = [&](cairo_t* g) {
        cairo_new_sub_path(g);
        cairo_move_to(g, 4, -4);
        cairo_line_to(g, w + 4, -4);
        cairo_line_to(g, w + 4, 68);
        cairo_line_to(g, 40, 68);
        cairo_line_to(g, 30, 58);
        cairo_line_to(g, 14, 14);
        cairo_close_path(g);
    };
    BlurredHalo(cr, 6, 1.0, [&](cairo_t* g) {
        outline(g);
        SetColor(g, {0.05, 0.7, 0.2});
        cairo_set_line_width(g, 3);
        cairo_stroke(g);
    });
    outline(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, 68);
    cairo_pattern_add_color_stop_rgba(body, 0, 0.02, 0.07, 0.06, 0.92);
    cairo_pattern_add_color_stop_rgba(body, 0.8, 0.03, 0.10, 0.07, 0.92);
    cairo_pattern_add_color_stop_rgba(body, 1, 0.06, 0.18, 0.10, 0.95);
    FillWithPattern(cr, body, true);
    StrokeWith(cr, DarkGreen, 2);
    // the title window, where "Options", "High Score" and "HELP" are written
    TPlateStyle window;
    window.Top = {0.005, 0.02, 0.02};
    window.Bottom = {0.01, 0.045, 0.035};
    window.Edge = {0.10, 0.40, 0.14};
    window.EdgeWidth = 1;
    window.Bevel = false;
    PaintPlate(cr, 22, 14, 218, 50, 8, window);
    cairo_move_to(cr, 30, 62.5);
    cairo_line_to(cr, 232, 62.5);
    StrokeWith(cr, MidGreen, 1, 0.5);
    // the right-hand side: vents, running lights and a rule
    for (int i = 0; i < 9; ++i) {
        const double vx = 262 + i * 8;
        cairo_move_to(cr, vx, 24);
        cairo_line_to(cr, vx + 10, 52);
        StrokeWith(cr, {0.0, 0.0, 0.0}, 3, 0.75);
        cairo_move_to(cr, vx + 1.5, 24);
        cairo_line_to(cr, vx + 11.5, 52);
        StrokeWith(cr, {0.15, 0.45, 0.25}, 1, 0.6);
    }
    for (int i = 0; i < 3; ++i) {
        const double lx = 352 + i * 16, ly = 30;
        BlurredHalo(cr, 4, 1.2, [&](cairo_t* g) {
            cairo_arc(g, lx, ly, 3.5, 0, 2 * M_PI);
            SetColor(g, BrightGreen, i == 0 ? 1.0 : 0.5);
            cairo_fill(g);
        });
        Rivet(cr, lx, ly, 3, i == 0 ? BrightGreen : DarkGreen);
    }
    cairo_move_to(cr, 346, 46.5);
    cairo_line_to(cr, 402, 46.5);
    StrokeWith(cr, DarkGreen, 1);
    Rivet(cr, 252, 20, 2, {0.3, 0.5, 0.35});
    Rivet(cr, 252, 58, 2, {0.3, 0.5, 0.35});
    // a bright accent along the bottom edge
    cairo_pattern_t* accent = cairo_pattern_create_linear(40, 0, w, 0);
    cairo_pattern_add_color_stop_rgba(accent, 0, 0.5, 1.0, 0.5, 0.9);
    cairo_pattern_add_color_stop_rgba(accent, 0.6, 0.1, 0.8, 0.2, 0.5);
    cairo_pattern_add_color_stop_rgba(accent, 1, 0.0, 0.5, 0.1, 0.1);
    cairo_move_to(cr, 41, 67);
    cairo_line_to(cr, w, 67);
    cairo_set_source(cr, accent);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_pattern_destroy(accent);
    return c.Keyed(MatteInk);
}

TPicture DrawAboutPicture()
{
    TCanvas c(101);
    cairo_t* cr = c.cr();
    PaintBackdrop(cr, AboutX, AboutY);
    const double cx = 60, cy = 60, r = 56;
    // the badge: deep space inside a ring
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_pattern_t* sky = cairo_pattern_create_radial(cx, cy - 20, 5, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.03, 0.10, 0.12);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.005, 0.015, 0.03);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    TArtRandom rnd(101);
    for (int i = 0; i < 40; ++i) {
        cairo_arc(cr, rnd.Range(0, 120), rnd.Range(0, 80), rnd.Range(0.3, 0.9), 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 0.9, 1.0, 0.95, rnd.Range(0.3, 0.9));
        cairo_fill(cr);
    }
    // a planet rising below the ship
    cairo_arc(cr, cx - 10, cy + 150, 110, 0, 2 * M_PI);
    cairo_pattern_t* planet = cairo_pattern_create_radial(cx - 40, cy + 40, 10, cx - 10, cy + 150, 110);
    cairo_pattern_add_color_stop_rgb(planet, 0, 0.20, 0.60, 0.45);
    cairo_pattern_add_color_stop_rgb(planet, 0.5, 0.05, 0.20, 0.16);
    cairo_pattern_add_color_stop_rgb(planet, 1, 0.01, 0.05, 0.05);
    cairo_set_source(cr, planet);
    cairo_fill(cr);
    BlurredHalo(cr, 4, 1.0, [&](cairo_t* g) {
        cairo_arc(g, cx - 10, cy + 150, 110, M_PI * 1.2, M_PI * 1.75);
        SetColor(g, {0.3, 1.0, 0.7});
        cairo_set_line_width(g, 2);
        cairo_stroke(g);
    });
    // engine flames, then the ship
    for (double ex : {-7.0, 7.0}) {
        cairo_pattern_t* flame = cairo_pattern_create_linear(0, cy + 22, 0, cy + 44);
        cairo_pattern_add_color_stop_rgba(flame, 0, 0.8, 1.0, 0.8, 1.0);
        cairo_pattern_add_color_stop_rgba(flame, 0.4, 0.2, 1.0, 0.4, 0.8);
        cairo_pattern_add_color_stop_rgba(flame, 1, 0.0, 0.5, 0.2, 0.0);
        cairo_move_to(cr, cx + ex - 3.5, cy + 22);
        cairo_line_to(cr, cx + ex + 3.5, cy + 22);
        cairo_line_to(cr, cx + ex, cy + 46);
        cairo_close_path(cr);
        FillWithPattern(cr, flame);
    }
    WarshipPath(cr, cx, cy - 2, 62);
    SetTitleMetal(cr, cy - 34, cy + 30);
    cairo_fill_preserve(cr);
    StrokeWith(cr, {0.0, 0.12, 0.04}, 1);
    cairo_move_to(cr, cx, cy - 28);
    cairo_line_to(cr, cx, cy + 24);
    SetColor(cr, {0.05, 0.3, 0.1}, 0.8);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy - 16);
    cairo_scale(cr, 2.2, 5.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    SetColor(cr, {0.2, 1.0, 0.5});
    cairo_fill(cr);
    cairo_restore(cr);
    // the ring: a glow outside, a bevelled metal band
    BlurredHalo(cr, 5, 1.2, [&](cairo_t* g) {
        cairo_arc(g, cx, cy, r, 0, 2 * M_PI);
        SetColor(g, {0.1, 0.9, 0.3});
        cairo_set_line_width(g, 3);
        cairo_stroke(g);
    });
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_pattern_t* band = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgb(band, 0, 0.7, 1.0, 0.7);
    cairo_pattern_add_color_stop_rgb(band, 0.5, 0.1, 0.5, 0.15);
    cairo_pattern_add_color_stop_rgb(band, 1, 0.02, 0.2, 0.05);
    cairo_set_source(cr, band);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
    cairo_pattern_destroy(band);
    for (int i = 0; i < 4; ++i) {
        const double a = M_PI / 4 + i * M_PI / 2;
        Rivet(cr, cx + std::cos(a) * r, cy + std::sin(a) * r, 2.6, BrightGreen);
    }
    return c.Keyed(MatteInk);
}
