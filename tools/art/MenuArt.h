// The menu and interface pictures, pack entries 60..101, drawn with the art
// kit: the deep-space tones, the glass plates and the menu backdrop that fixed
// pictures are painted over.
#pragma once
#include "ArtKit.h"

// Deep-space tones behind the interface.
constexpr TColor SpaceInk{0.012, 0.024, 0.035};
constexpr TColor GlassDark{0.016, 0.055, 0.045};
constexpr TColor GlassLight{0.035, 0.12, 0.085};
// Dark matte that keyed edges blend into (close to the screens' average).
constexpr uint32_t MatteInk = 0x00050A10;

// Style of a glass plate.
struct TPlateStyle {
    TColor Top = GlassLight, Bottom = GlassDark;
    double FillAlpha = 1.0;
    TColor Edge = DarkGreen;
    double EdgeWidth = 1.5;
    double EdgeAlpha = 1.0;
    double HaloRadius = 0; // 0: no halo around the edge
    double HaloStrength = 0.0;
    bool Bevel = true; // light top-left inner edge, dark bottom-right
};
// A chamfered glass plate with edge, bevel and optional halo.
void PaintPlate(cairo_t* cr, double x, double y, double w, double h, double chamfer, const TPlateStyle& style);

// Small decorations.
void Chevron(cairo_t* cr, double tipX, double midY, double size, bool pointsRight, TColor colour, double alpha = 1.0);
void Rivet(cairo_t* cr, double x, double y, double r, TColor colour);

// The menu backdrop (pack entry 60), drawn once and kept.
cairo_surface_t* MenuBackdrop();
// Paints the backdrop so that canvas (0, 0) shows screen pixel (screenX, screenY):
// pictures that always sit at one place on the menu screens are drawn over it,
// which lets their glass look through to the sky.
void PaintBackdrop(cairo_t* cr, int screenX, int screenY);

// Entries by subject.
TPicture DrawMenuBackground();             // 60
TPicture DrawMainMenuItemLit(int item);    // 61..66
TPicture DrawMainMenuItems();              // 91
TPicture DrawTitle();                      // 89
TPicture DrawTitleBanner();                // 90
TPicture DrawAboutPicture();               // 101
TPicture DrawScoreButtonLit(int button);   // 71, 72
TPicture DrawScoreButtonLabel(int button); // 92, 93
TPicture DrawSmallButtonLit(int entry);    // 74, 75, 76
TPicture DrawSmallButtonLabel(int entry);  // 83, 84, 94
TPicture DrawEditField(bool active);       // 68, 97
TPicture DrawOptionFrame(int entry);       // 69, 77, 78, 95, 96, 98
TPicture DrawScoreRow();                   // 70
TPicture DrawDialogPanel();                // 79
TPicture DrawLevelMarker();                // 67
TPicture DrawHudTop();                     // 80
TPicture DrawHudFrame();                   // 81
TPicture DrawHudRight();                   // 82
TPicture DrawHudIcon(bool skull);          // 99, 100
