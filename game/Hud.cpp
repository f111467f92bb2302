// The heads-up display, drawn over every game frame.
#include <string>

#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "graphics/Frame.h"
#include "platform/Platform.h"

namespace {

constexpr uint32_t Keyed = DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT;

void Copy(TSurface* sheet, int32_t x, int32_t y, uint32_t flags, const TRect* src = nullptr)
{
    if (sheet)
        BackBuffer->BltFast(x, y, sheet, src, flags);
}

// A gauge strip shows its bottom rows, growing upwards from y = 454.
void Gauge(TSurface* sheet, int32_t x, int32_t rows)
{
    if (rows <= 0)
        return;
    const TRect src = Bounds(0, 124 - rows, 10, rows);
    Copy(sheet, x, 454 - rows, DDBLTFAST_SRCCOLORKEY, &src);
}

// The weapon icon by the gun's rate kind: sheet and top edge (0: no icon).
struct TWeaponIcon {
    uint8_t RateKind;
    int Sheet;
    int32_t Y;
};
constexpr TWeaponIcon WeaponIcons[] = {{0, 59, 518}, {1, 56, 518}, {3, 57, 518}, {8, 55, 518}, {5, 58, 508}};

} // namespace

void TGame::DrawHud()
{
    if (!BackBuffer)
        return;
    Copy(MenuSheets[SheetHudFrame], 0, 0, Keyed);
    Copy(MenuSheets[SheetHudRight], 652, 37, Keyed);
    Copy(MenuSheets[SheetHudTop], 80, 4, Keyed);
    // The progress marker rises from y = 245 at the title to y = 55 when the
    // stage's distance is covered.
    const int32_t marker = 245 - RoundHalfEven(Distance * 0.038 / (Stage + 1));
    Copy(MenuSheets[SheetLevelMarker], 760, marker, Keyed);

    const std::string level = "Level " + std::to_string(Level()) + "-" + std::to_string(SubStage);
    DrawTextShadowed(BackBuffer, 315, 5, level, 18, 10, ColorBrightGreen);
    DrawTextShadowed(BackBuffer, 140, 5, std::to_string(Lives), 18, 10, ColorBrightGreen);
    DrawTextAligned(BackBuffer, 533, 5, "Score", 18, 10, ColorBrightGreen, TA_LEFT | TA_TOP, false);
    DrawTextAligned(BackBuffer, 720, 5, std::to_string(Score), 18, 10, ColorBrightGreen, TA_RIGHT | TA_TOP, false);

    Gauge(GameSheets[SheetEnergyBar], 780, Energy);
    Gauge(GameSheets[SheetArmorBar], 747, 2 * Armor);

    if (Ship->MegaSkullReady)
        Copy(MenuSheets[SheetMegaSkullIcon], 733, 545, DDBLTFAST_NOCOLORKEY);
    if (Ship->MegaBombReady)
        Copy(MenuSheets[SheetMegaBombIcon], 670, 545, DDBLTFAST_NOCOLORKEY);
    for (const TWeaponIcon& icon : WeaponIcons)
        if (icon.RateKind == Ship->Gun->RateKind)
            Copy(GameSheets[icon.Sheet], 663, icon.Y, Keyed);
    DrawTextShadowed(BackBuffer, 721, 521, "X " + std::to_string(Ship->WeaponTimer), 18, 10, ColorBrightGreen);
}
