// Stand-ins until the graphics units land. Remove each part as its unit arrives.
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "graphics/Draw.h"

TSurface* GameSheets[GameSheetCount];
TSurface* MenuSheets[MenuSheetCount];
TSurface* FlippedShotSheets[FlippedShotSheetCount];
std::string AssetPackPath = "Data/Data.pp";
TSurface* LoadPackImage(TDirectDraw*, const std::string&, uint8_t) { return nullptr; }
void LoadAssetPack(TDirectDraw*) {}
void ReleaseAssets() {}
HRESULT CopyBitmapToSurface(TSurface*, const TImage&, int32_t, int32_t, int32_t, int32_t) { return DD_OK; }
uint32_t MatchColor(TSurface*, uint32_t) { return 0; }
HRESULT SetSourceColorKey(TSurface*, uint32_t) { return DD_OK; }
void MirrorRows(TSurface*, TSurface*, const TRect*, const TRect*) {}

HRESULT BlitClipped(TSurface*, TSurface*, TRect, int32_t, int32_t) { return DD_OK; }
void FillRoundRect(int32_t, int32_t, int32_t, int32_t, uint32_t, TSurface*) {}
bool PointInRect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t px, int32_t py)
{
    return l < px && px < r && t < py && py < b;
}
void DrawTextShadowed(TSurface*, int32_t, int32_t, const std::string&, int32_t, int32_t, uint32_t) {}
void DrawTextAligned(TSurface*, int32_t, int32_t, const std::string&, int32_t, int32_t, uint32_t, uint32_t, bool) {}
void DrawText(TSurface*, int32_t, int32_t, const std::string&, int32_t, int32_t, uint32_t, bool) {}

TDDBtnCollection* MainMenuButtons;
TDDBtnCollection* HighScoreButtons;
TDDBtnCollection* HelpButtons;
TDDOptBtnCollection* OptionsMenu;
TDDEdit* CountryEdit;
TDDTextBtnCollection* YesNoDialog;
TDDTextBtnCollection* OkCancelDialog;
TDDEdit* NameEdit;
void CreateMenuWidgets() {}
void FreeMenuWidgets() {}
