// The game's sprite art (ships, shots, effects, bonuses, background layers),
// pack entries 0..59, drawn with the art kit; the icon borrows the warship and
// the star sky.
#pragma once
#include <cstdint>

#include "ArtKit.h"

// The pictures, by subject.
TPicture DrawArmorStrip();
TPicture DrawEnergyStrip();
TPicture DrawPauseStripe();
TPicture DrawFarLayer();
TPicture DrawNearTile(int tile); // 0..4
TPicture DrawPlayerShipSheet();
TPicture DrawEnemy(int kind);         // 0..8
TPicture DrawBoss(int kind);          // 0..2
TPicture DrawShotSheet(int kind);     // 0..14
TPicture DrawAsteroidSheet(int kind); // 0..1
TPicture DrawHitSheet(int kind);      // 0..5: 0..2 flashes, 3..5 explosions
TPicture DrawBonusSheet(int kind);    // 0..8
TPicture DrawWeaponIcon(int entry);   // 55..59
TPicture DrawUnusedEntry();

// The player's warship, centred at (cx, top), nose up, 65 x 100 at scale 1.
// tilt -1 (full lean left) .. 1 (full lean right); flame 0 or 1.
void DrawWarship(cairo_t* cr, double tilt, int flame);
// A sky of stars over (0, 0, w, h), wrapped at the edges so it tiles.
void DrawStarSky(cairo_t* cr, int w, int h, uint32_t seed, int count, double brightness);
