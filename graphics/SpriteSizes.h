// Frame sizes of the moving sprites, written once: the game draws and
// collides with them, the bonus help page shows the bonus frames, and the art
// generator sizes the pack's sheets from them (frames side by side).
#pragma once
#include <cstdint>

struct TSpriteSize {
    int16_t W, H;
};

constexpr int ShotKindCount = 15;
// clang-format off
constexpr TSpriteSize ShotSize[ShotKindCount] = {
    {26, 28}, {15, 29}, {26, 26}, {60, 60}, {25, 25}, {14, 139}, {35, 35}, {27, 27},
    {20, 45}, {32, 32}, {75, 420}, {35, 35}, {235, 225}, {50, 70}, {15, 35},
};
// clang-format on
constexpr uint8_t ShotFrames[ShotKindCount] = {2, 2, 1, 1, 1, 4, 8, 1, 1, 8, 5, 1, 1, 1, 1};

constexpr int EnemyKindCount = 9;
// clang-format off
constexpr TSpriteSize EnemySize[EnemyKindCount] = {
    {59, 28}, {59, 28}, {75, 102}, {57, 160}, {75, 75}, {80, 70}, {85, 110}, {80, 75}, {60, 75},
};
// clang-format on

constexpr int BossKindCount = 3;
constexpr TSpriteSize BossSize[BossKindCount] = {{150, 180}, {235, 225}, {225, 280}};

// Eight frames each.
constexpr int AsteroidKindCount = 2;
constexpr int AsteroidFrames = 8;
constexpr TSpriteSize AsteroidSize[AsteroidKindCount] = {{36, 31}, {74, 52}};

// Eight frames each, by bonus kind.
constexpr int BonusKindCount = 9;
constexpr int BonusFrames = 8;
// clang-format off
constexpr TSpriteSize BonusSize[BonusKindCount] = {
    {58, 66}, {60, 64}, {56, 56}, {62, 58}, {58, 56}, {56, 58}, {56, 58}, {70, 68}, {58, 60},
};
// clang-format on
