// The size of every picture of the asset pack, by pack entry (0..59 game
// sheets, 60..101 menu sheets). Sheets with frames hold them side by side.
// The game's drawing code fixes most of these; the rest are sized to fit the
// screen layout.
#pragma once

struct TSize {
    int Width, Height;
};

constexpr TSize PackSizes[102] = {
    {10, 124},    // 0 armour strip
    {10, 124},    // 1 energy strip
    {512, 486},   // 2 far layer tile
    {300, 200}, {300, 200}, {300, 200}, {300, 200}, {300, 200}, // 3..7 near layer tiles (black transparent)
    {650, 100},   // 8 player ship: 10 frames of 65 x 100 (frame = 2 x tilt + flame)
    {800, 1},     // 9 pause stripe, drawn on every other row of the frozen frame
    {59, 28}, {59, 28}, {75, 102}, {57, 160}, {75, 75}, {80, 70}, {85, 110}, {80, 75}, {60, 75}, // 10..18 enemies 0..8
    {150, 180}, {235, 225}, {225, 280}, // 19..21 command ships 0..2
    {52, 28},     // 22 shot 0: 2 frames of 26 x 28
    {30, 29},     // 23 shot 1: 2 frames of 15 x 29
    {26, 26},     // 24 shot 2
    {60, 60},     // 25 shot 3
    {25, 25},     // 26 shot 4
    {56, 139},    // 27 shot 5: 4 frames of 14 x 139
    {280, 35},    // 28 shot 6: 8 frames of 35 x 35
    {27, 27},     // 29 shot 7
    {20, 45},     // 30 shot 8
    {256, 32},    // 31 shot 9: 8 frames of 32 x 32
    {375, 420},   // 32 shot 10: 5 frames of 75 x 420
    {35, 35},     // 33 shot 11
    {235, 225},   // 34 shot 12
    {50, 70},     // 35 shot 13
    {15, 35},     // 36 shot 14
    {288, 31},    // 37 asteroid 0: 8 frames of 36 x 31
    {592, 52},    // 38 asteroid 1: 8 frames of 74 x 52
    {256, 16}, {256, 16}, {256, 16},    // 39..41 hit flashes: 16 frames of 16 x 16
    {1024, 64}, {1024, 64}, {1024, 64}, // 42..44 explosions: 16 frames of 64 x 64
    {464, 66},    // 45 bonus "Armor": 8 frames of 58 x 66
    {480, 64},    // 46 "Live" 60 x 64
    {448, 56},    // 47 "Energy" 56 x 56
    {496, 58},    // 48 "Ionic gun" 62 x 58
    {464, 56},    // 49 "Laser gun" 58 x 56
    {448, 58},    // 50 "Plasma gun" 56 x 58
    {448, 58},    // 51 "Missiles" 56 x 58
    {560, 68},    // 52 "Mega-skull" 70 x 68
    {464, 60},    // 53 "mega-bomb" 58 x 60
    {16, 16},     // 54 never drawn
    {52, 24},     // 55 weapon icon: laser gun (at 663, 518)
    {52, 24},     // 56 weapon icon: ionic gun
    {52, 24},     // 57 weapon icon: plasma gun
    {52, 34},     // 58 weapon icon: missiles (at 663, 508)
    {52, 24},     // 59 weapon icon: basic gun
    // menu sheets
    {800, 600},   // 60 menu background, opaque
    {316, 38}, {316, 37}, {316, 36}, {316, 39}, {316, 40}, {316, 40}, // 61..66 main menu items lit
    {24, 14},     // 67 level progress marker (x 760, y 55..245)
    {364, 33},    // 68 text field, idle (opaque at left + 4, top + 4 of the country field)
    {178, 28},    // 69 options: boss-key frame at (309, 477)
    {500, 34},    // 70 high-score row, opaque at (250, 120 + 36 i)
    {187, 75},    // 71 high scores: "Clear table" lit
    {185, 76},    // 72 high scores: "World table" lit
    {16, 16},     // 73 never drawn
    {116, 51},    // 74 "Back" lit
    {116, 51},    // 75 help: "Previous" lit
    {116, 51},    // 76 help: "Next" lit
    {132, 26},    // 77 options: display frame at (300, 230)
    {58, 24},     // 78 options: on/off frame at (327, 292) and (327, 352)
    {420, 200},   // 79 dialog panel, opaque at (190..215, 200)
    {650, 28},    // 80 HUD top bar at (80, 4)
    {800, 600},   // 81 HUD frame overlay at (0, 0)
    {148, 553},   // 82 HUD right panel at (652, 37)
    {104, 38},    // 83 help: "Next" label at (550, 530)
    {104, 38},    // 84 help: "Previous" label at (440, 530)
    {16, 16}, {16, 16}, {16, 16}, {16, 16}, // 85..88 never drawn
    {250, 138},   // 89 title "ZEPHYRION" (slides in during the intro)
    {412, 80},    // 90 title banner at (388, 0)
    {335, 256},   // 91 main menu items unlit at (461, 327)
    {170, 58},    // 92 "Clear table" label at (50, 140)
    {170, 58},    // 93 "World table" label at (50, 210)
    {102, 37},    // 94 "Back" label
    {68, 30},     // 95 options: on/off lit
    {142, 30},    // 96 options: display lit
    {372, 41},    // 97 text field, active (at left, top)
    {186, 36},    // 98 options: boss-key lit
    {48, 40},     // 99 HUD Mega-skull icon, opaque at (733, 545)
    {48, 40},     // 100 HUD mega-bomb icon, opaque at (670, 545)
    {120, 120},   // 101 About page picture at (40, 220)
};

constexpr TSize EntrySize(int entry) { return PackSizes[entry]; }
