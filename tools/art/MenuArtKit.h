// Shared brushes of the interface art: the game's greens, plates with bevels,
// glows, labels, and the menu backdrop that fixed pictures are painted over.
#pragma once
#include <functional>
#include <string>

#include "Art.h"

struct TRgb {
    double R, G, B;
};

// The interface colours of the game's screens.
constexpr TRgb BrightGreen{0.0, 1.0, 0.0};
constexpr TRgb DarkGreen{34 / 255.0, 136 / 255.0, 34 / 255.0};
constexpr TRgb LightGreen{120 / 255.0, 1.0, 120 / 255.0};
constexpr TRgb MidGreen{48 / 255.0, 187 / 255.0, 48 / 255.0};
// Deep-space tones behind the interface.
constexpr TRgb SpaceInk{0.012, 0.024, 0.035};
constexpr TRgb GlassDark{0.016, 0.055, 0.045};
constexpr TRgb GlassLight{0.035, 0.12, 0.085};
// Dark matte that keyed edges blend into (close to the screens' average).
constexpr uint32_t MatteInk = 0x00050A10;

inline void SetRgb(cairo_t* cr, TRgb c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.R, c.G, c.B, alpha);
}
TRgb Mix(TRgb a, TRgb b, double t);

// Outline paths.
void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r);
// A rectangle with its four corners cut at 45 degrees (the game's panel shape).
void ChamferPath(cairo_t* cr, double x, double y, double w, double h, double c);

// Blurs a canvas in place (three box passes, close to a gaussian).
void BlurCanvas(cairo_surface_t* canvas, int radius);
// Paints what `paint` draws on a scratch canvas of the target's size, blurred
// by `radius`, over the target with the given strength: a soft glow.
void Glow(cairo_t* cr, double radius, double strength, const std::function<void(cairo_t*)>& paint);

// Label metrics in the interface face.
double CapHeight(cairo_t* cr, double size, bool bold = true);
// The baseline that centres capitals of that size in a band top..top+height.
double CentredBaseline(cairo_t* cr, double size, double top, double height, bool bold = true);
// A label with a soft halo around it.
void GlowLabel(cairo_t* cr, const std::string& text, double x, double baseline, double size, TRgb core,
               TRgb halo, double radius, double strength);
// A label engraved into a plate: a dark cut above, a faint light edge below.
void EngravedLabel(cairo_t* cr, const std::string& text, double x, double baseline, double size, TRgb colour);

// Style of a glass plate.
struct TPlateStyle {
    TRgb Top = GlassLight, Bottom = GlassDark;
    double FillAlpha = 1.0;
    TRgb Edge = DarkGreen;
    double EdgeWidth = 1.5;
    double EdgeAlpha = 1.0;
    double GlowRadius = 0;     // 0: no glow around the edge
    double GlowStrength = 0.0;
    bool Bevel = true;         // light top-left inner edge, dark bottom-right
};
// A chamfered glass plate with edge, bevel and optional glow.
void PaintPlate(cairo_t* cr, double x, double y, double w, double h, double chamfer, const TPlateStyle& style);

// Small decorations.
void Chevron(cairo_t* cr, double tipX, double midY, double size, bool pointsRight, TRgb colour, double alpha = 1.0);
void Rivet(cairo_t* cr, double x, double y, double r, TRgb colour);

// The menu backdrop (pack entry 60), drawn once and kept.
cairo_surface_t* MenuBackdrop();
// Paints the backdrop so that canvas (0, 0) shows screen pixel (screenX, screenY):
// pictures that always sit at one place on the menu screens are drawn over it,
// which lets their glass look through to the sky.
void PaintBackdrop(cairo_t* cr, int screenX, int screenY);

// A canvas of the entry's size (ArtSizes.h) with its context.
struct TCanvas {
    cairo_surface_t* Surface = nullptr;
    cairo_t* Cr = nullptr;
    int Width = 0, Height = 0;
    explicit TCanvas(int entry);
    TCanvas(int width, int height);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    TPicture Keyed(uint32_t matte = MatteInk);  // transparent parts become magenta
    TPicture Opaque();                          // every pixel kept (over black)
};

// Entries by subject.
TPicture DrawMenuBackground();                 // 60
TPicture DrawMainMenuItemLit(int item);        // 61..66
TPicture DrawMainMenuItems();                  // 91
TPicture DrawTitle();                          // 89
TPicture DrawTitleBanner();                    // 90
TPicture DrawAboutPicture();                   // 101
TPicture DrawScoreButtonLit(int button);       // 71, 72
TPicture DrawScoreButtonLabel(int button);     // 92, 93
TPicture DrawSmallButtonLit(int entry);        // 74, 75, 76
TPicture DrawSmallButtonLabel(int entry);      // 83, 84, 94
TPicture DrawEditField(bool active);           // 68, 97
TPicture DrawOptionFrame(int entry);           // 69, 77, 78, 95, 96, 98
TPicture DrawScoreRow();                       // 70
TPicture DrawDialogPanel();                    // 79
TPicture DrawLevelMarker();                    // 67
TPicture DrawHudTop();                         // 80
TPicture DrawHudFrame();                       // 81
TPicture DrawHudRight();                       // 82
TPicture DrawHudIcon(bool skull);              // 99, 100
