// The asset pack "Data/Data.pp" and the sprite sheets loaded from it.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/Platform.h"

constexpr int GameSheetCount = 60;
constexpr int MenuSheetCount = 42;
constexpr int FlippedShotSheetCount = 9;
constexpr int PackEntryCount = GameSheetCount + MenuSheetCount; // 102

extern TSurface* GameSheets[GameSheetCount];
extern TSurface* MenuSheets[MenuSheetCount];
extern TSurface* FlippedShotSheets[FlippedShotSheetCount];

// Where the pack lives, relative to the working folder.
extern std::string AssetPackPath; // "Data/Data.pp"

constexpr uint32_t TransparentMagenta = 0x00FF00FF; // RGB 255, 0, 255
constexpr uint32_t InvalidColor = 0xFFFFFFFF;

// Game sheets (index into GameSheets).
// clang-format off
enum : int {
    SheetArmorBar = 0,
    SheetEnergyBar = 1,
    SheetBackgroundFar = 2,
    SheetBackgroundNear = 3,   // 3..7
    SheetPlayerShip = 8,
    SheetPauseStripe = 9,
    SheetEnemy = 10,           // 10 + kind, kinds 0..8
    SheetBoss = 19,            // 19 + kind, kinds 0..2
    SheetShot = 22,            // 22 + kind, kinds 0..14
    SheetAsteroid = 37,        // 37 + kind, kinds 0..1
    SheetHit = 39,             // 39 + kind, kinds 0..5
    SheetBonus = 45,           // 45 + kind, kinds 0..8
    SheetWeaponIcon = 55,      // 55..59
};
// clang-format on

// Menu sheets (index into MenuSheets).
// clang-format off
enum : int {
    SheetMenuBackground = 0,
    SheetMainMenuItemLit = 1,  // 1..6
    SheetLevelMarker = 7,
    SheetEditIdle = 8,
    SheetOptionBossKey = 9,
    SheetScoreRow = 10,
    SheetScoreButtonLit = 11,  // 11..12
    SheetBackButtonLit = 14,
    SheetHelpButtonLit = 15,   // 15..16
    SheetOptionDisplay = 17,
    SheetOptionOnOff = 18,
    SheetDialogPanel = 19,
    SheetHudTop = 20,
    SheetHudFrame = 21,
    SheetHudRight = 22,
    SheetHelpNext = 23,
    SheetHelpPrev = 24,
    SheetTitle = 29,
    SheetTitleBanner = 30,
    SheetMainMenuItems = 31,
    SheetScoreButton0 = 32,
    SheetScoreButton1 = 33,
    SheetBackLabel = 34,
    SheetOptionOnOffLit = 35,
    SheetOptionDisplayLit = 36,
    SheetEditActive = 37,
    SheetOptionBossKeyLit = 38,
    SheetMegaSkullIcon = 39,
    SheetMegaBombIcon = 40,
    SheetAboutPicture = 41,
};
// clang-format on

// A pack that cannot be read. The message is the one the player sees.
class EAssetPackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Returns a new surface with the image of pack entry n, magenta as its source
// colour key, or null when the surface cannot be created. Throws
// EAssetPackError for a missing, short or damaged pack.
TSurface* LoadPackImage(TDirectDraw* dd, const std::string& path, uint8_t entry);
// Fills the three sheet arrays and creates the menu widgets the first time.
void LoadAssetPack(TDirectDraw* dd);
// Releases every sheet and frees the menu widgets.
void ReleaseAssets();

HRESULT CopyBitmapToSurface(TSurface* surface, const TImage& bitmap, int32_t x, int32_t y,
                            int32_t width, int32_t height);
uint32_t MatchColor(TSurface* surface, uint32_t rgb);
HRESULT SetSourceColorKey(TSurface* surface, uint32_t rgb);
void MirrorRows(TSurface* src, TSurface* dst, const TRect* srcRect, const TRect* dstRect);
