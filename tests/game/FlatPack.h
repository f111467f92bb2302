// A pack whose every sheet is one flat colour of its own, sized for every
// frame the game cuts from it, for tests that read the world off the screen.
#pragma once
#include <filesystem>
#include <vector>

#include "GameFixture.h"
#include "graphics/PackBuilder.h"

namespace flatpack {

using namespace packtest;

constexpr uint32_t GameColor(int sheet) { return 0x400000u | uint32_t(sheet + 1) << 8 | uint32_t(sheet + 1); }
constexpr uint32_t MenuColor(int sheet) { return 0x800000u | uint32_t(sheet + 1) << 8 | uint32_t(sheet + 1); }
constexpr uint32_t FlippedColor(int kind) { return 0xC00000u | uint32_t(kind + 1) << 8 | uint32_t(kind + 1); }
constexpr uint32_t Magenta = 0x00FF00FF;
constexpr uint32_t Black = 0;

// Sheet sizes large enough for every frame the game cuts from them.
inline void GameSheetSize(int i, int32_t& w, int32_t& h)
{
    w = h = 16;
    if (i == SheetArmorBar || i == SheetEnergyBar)
        w = 10, h = 124;
    else if (i == SheetBackgroundFar)
        w = 512, h = 486;
    else if (i >= SheetBackgroundNear && i < SheetBackgroundNear + 5)
        w = 300, h = 200;
    else if (i == SheetPlayerShip)
        w = ShipWidth * 10, h = ShipHeight;
    else if (i >= SheetEnemy && i < SheetEnemy + EnemyKindCount)
        w = EnemySize[i - SheetEnemy].W, h = EnemySize[i - SheetEnemy].H;
    else if (i >= SheetBoss && i < SheetBoss + BossKindCount)
        w = BossSize[i - SheetBoss].W, h = BossSize[i - SheetBoss].H;
    else if (i >= SheetShot && i < SheetShot + ShotKindCount)
        w = ShotSize[i - SheetShot].W * ShotFrames[i - SheetShot], h = ShotSize[i - SheetShot].H;
    else if (i >= SheetAsteroid && i < SheetAsteroid + AsteroidKindCount)
        w = AsteroidSize[i - SheetAsteroid].W * 8, h = AsteroidSize[i - SheetAsteroid].H;
    else if (i >= SheetHit && i < SheetHit + HitKindCount)
        w = HitSize[i - SheetHit] * 16, h = HitSize[i - SheetHit];
    else if (i >= SheetBonus && i < SheetBonus + BonusKindCount)
        w = BonusSize[i - SheetBonus].W * 8, h = BonusSize[i - SheetBonus].H;
}

// The far layer's tile has an 8 x 8 transparent corner, the near layer's
// tiles are transparent but for a 20 x 20 square at their top-left corner:
// so both layers show and each tile's place can be read off the screen.
inline uint32_t GamePixel(int i, int32_t x, int32_t y)
{
    if (i == SheetBackgroundFar && x < 8 && y < 8)
        return Magenta;
    if (i >= SheetBackgroundNear && i < SheetBackgroundNear + 5 && (x >= 20 || y >= 20))
        return Black; // the near tiles' transparent colour
    return GameColor(i);
}

// Writes the pack into the folder and loads it; the upside-down shot sheets
// get colours of their own too.
inline void LoadFlatPack(TDirectDraw& dd, const std::filesystem::path& folder)
{
    std::vector<std::vector<uint8_t>> entries;
    for (int i = 0; i < GameSheetCount; ++i) {
        int32_t w, h;
        GameSheetSize(i, w, h);
        entries.push_back(MakeBmp(w, h, [i](int32_t x, int32_t y) { return GamePixel(i, x, y); }));
    }
    for (int i = 0; i < MenuSheetCount; ++i)
        entries.push_back(SolidBmp(16, 16, MenuColor(i)));
    WriteFile(folder / "Data.pp", MakePack(entries));
    AssetPackPath = (folder / "Data.pp").string();
    LoadAssetPack(&dd);
    for (int k = 0; k < FlippedShotSheetCount; ++k)
        FlippedShotSheets[k]->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, FlippedColor(k));
}

} // namespace flatpack
