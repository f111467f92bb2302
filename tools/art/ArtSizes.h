// The size of every picture of the asset pack, by pack entry (0..59 game
// sheets, 60..101 menu sheets). Sheets with frames hold them side by side.
// The game's drawing code fixes most of these; the rest are sized to fit the
// screen layout.
#pragma once
#include "graphics/SpriteSizes.h"

struct TSize {
    int Width, Height;
};

constexpr TSize Sprite(TSpriteSize s, int frames = 1) { return {s.W * frames, s.H}; }
constexpr TSize Shot(int k) { return Sprite(ShotSize[k], ShotFrames[k]); }

// clang-format off
constexpr TSize PackSizes[102] = {
    {10, 124},    // 0 armour strip
    {10, 124},    // 1 energy strip
    {512, 486},   // 2 far layer tile
    {300, 200}, {300, 200}, {300, 200}, {300, 200}, {300, 200}, // 3..7 near layer tiles (black transparent)
    {650, 100},   // 8 player ship: 10 frames of 65 x 100 (frame = 2 x tilt + flame)
    {800, 1},     // 9 pause stripe, drawn on every other row of the frozen frame
    Sprite(EnemySize[0]), Sprite(EnemySize[1]), Sprite(EnemySize[2]), Sprite(EnemySize[3]), Sprite(EnemySize[4]),
    Sprite(EnemySize[5]), Sprite(EnemySize[6]), Sprite(EnemySize[7]), Sprite(EnemySize[8]), // 10..18 enemies 0..8
    Sprite(BossSize[0]), Sprite(BossSize[1]), Sprite(BossSize[2]), // 19..21 command ships 0..2
    Shot(0), Shot(1), Shot(2), Shot(3), Shot(4), Shot(5), Shot(6), Shot(7), // 22..29 shots 0..7
    Shot(8), Shot(9), Shot(10), Shot(11), Shot(12), Shot(13), Shot(14),      // 30..36 shots 8..14
    Sprite(AsteroidSize[0], AsteroidFrames), // 37 asteroid 0
    Sprite(AsteroidSize[1], AsteroidFrames), // 38 asteroid 1
    {256, 16}, {256, 16}, {256, 16},    // 39..41 hit flashes: 16 frames of 16 x 16
    {1024, 64}, {1024, 64}, {1024, 64}, // 42..44 explosions: 16 frames of 64 x 64
    Sprite(BonusSize[0], BonusFrames), // 45 bonus "Armor"
    Sprite(BonusSize[1], BonusFrames), // 46 "Live"
    Sprite(BonusSize[2], BonusFrames), // 47 "Energy"
    Sprite(BonusSize[3], BonusFrames), // 48 "Ionic gun"
    Sprite(BonusSize[4], BonusFrames), // 49 "Laser gun"
    Sprite(BonusSize[5], BonusFrames), // 50 "Plasma gun"
    Sprite(BonusSize[6], BonusFrames), // 51 "Missiles"
    Sprite(BonusSize[7], BonusFrames), // 52 "Mega-skull"
    Sprite(BonusSize[8], BonusFrames), // 53 "mega-bomb"
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
// clang-format on

constexpr TSize EntrySize(int entry) { return PackSizes[entry]; }
