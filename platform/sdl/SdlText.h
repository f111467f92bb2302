// The game's text: 8-bit Windows-1252 strings drawn anti-aliased onto a
// 32-bit surface with SDL2_ttf, in the faces the game names ("Crystal",
// "Cranberry Cyr") or, since those are not on a Debian desktop, the faces
// fontconfig substitutes for them: Play (package fonts-play), else DejaVu Sans.
// Sizes follow the old system's fonts: the height is the character cell in
// pixels and the average character width is honoured on its own, so a text
// asked for narrower is drawn narrower at the same height.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Platform.h"

struct _TTF_Font;
typedef struct _TTF_Font TTF_Font;
struct _FcConfig;

class TSdlText : public ITextRenderer {
public:
    TSdlText();
    ~TSdlText() override;
    TSdlText(const TSdlText&) = delete;
    TSdlText& operator=(const TSdlText&) = delete;

    void DrawText(TSurface& target, int32_t x, int32_t y, const std::string& text, const TFontSpec& font,
                  uint32_t rgb, uint32_t align) override;
    int32_t MeasureText(const std::string& text, const TFontSpec& font) override;
    void Prepare(const TFontSpec& font, const std::string& chars) override;

    // The font file a face name resolves to ("" when no face is installed).
    std::string FaceFile(const std::string& face, int32_t weight);
    // Cell height in pixels of a font as opened (0 when it cannot be opened).
    int32_t CellHeight(const TFontSpec& font);
    // How many times a font was opened and a font file read, for the cache's tests.
    int OpenCount() const { return Opens; }
    int FileReads() const { return Reads; }

private:
    // One installed face file, read once, with its proportions measured once.
    struct TFace {
        bool Usable = false;
        std::string File;
        int Index = 0;
        bool SyntheticBold = false;
        std::vector<uint8_t> Bytes;
        double CellPerEm = 1.0;     // cell height / em size
        double XAdvancePerEm = 0.5; // width of "x" / em size
    };
    TFace& Face(const std::string& face, int32_t weight);
    TTF_Font* Font(const TFontSpec& spec);
    TTF_Font* OpenFace(TFace& face, uint32_t hdpi, uint32_t vdpi);

    bool Ready = false;
    _FcConfig* Config = nullptr;
    std::map<std::pair<std::string, bool>, TFace> Faces;
    std::map<std::tuple<std::string, int32_t, int32_t, int32_t>, TTF_Font*> Fonts;
    int Opens = 0;
    int Reads = 0;
};
