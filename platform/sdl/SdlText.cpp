#include "platform/sdl/SdlText.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/sdl/CodePage.h"

namespace {

// The game's faces are not on a Debian desktop: they fall to Play, a
// technical sans whose bold suits the game's captions, then to DejaVu Sans.
const char* const FaceAliases = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <alias binding="same">
    <family>Crystal</family>
    <prefer><family>Play</family><family>DejaVu Sans</family></prefer>
  </alias>
  <alias binding="same">
    <family>Cranberry Cyr</family>
    <prefer><family>Play</family><family>DejaVu Sans</family></prefer>
  </alias>
</fontconfig>
)";

// Probe size: fonts are opened at 1 point, so the resolution alone sets the
// pixel size in steps of 1/72 pixel; the probe is a 100-pixel em.
constexpr double ProbeEm = 100.0;

bool IsBold(int32_t weight) { return weight >= 600; }

int32_t CellOf(int32_t height)
{
    // The old system's default height for a zero request.
    return height == 0 ? 16 : height;
}

} // namespace

TSdlText::TSdlText()
{
    // The font library counts its users: this reference is given back in the destructor.
    Ready = TTF_Init() == 0;
    Config = FcInitLoadConfigAndFonts();
    if (Config)
        FcConfigParseAndLoadFromMemory(Config, reinterpret_cast<const FcChar8*>(FaceAliases), FcFalse);
}

TSdlText::~TSdlText()
{
    for (auto& [key, font] : Fonts)
        if (font)
            TTF_CloseFont(font);
    Fonts.clear();
    if (Config)
        FcConfigDestroy(Config);
    if (Ready)
        TTF_Quit();
}

std::string TSdlText::FaceFile(const std::string& face, int32_t weight)
{
    const TFace& f = Face(face, weight);
    return f.Usable ? f.File : std::string();
}

TSdlText::TFace& TSdlText::Face(const std::string& name, int32_t weight)
{
    const auto key = std::make_pair(name, IsBold(weight));
    auto found = Faces.find(key);
    if (found != Faces.end())
        return found->second;
    TFace& face = Faces[key];
    if (!Ready || !Config)
        return face;

    // "Crystal:weight=extrabold" as the desktop would substitute it.
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::clamp(weight, 1, 1000)));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(Config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return face;
    FcChar8* file = nullptr;
    int index = 0, matchedWeight = FC_WEIGHT_REGULAR;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        face.File = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
    }
    FcPatternDestroy(match);
    if (face.File.empty())
        return face;
    face.Index = index;
    face.SyntheticBold = IsBold(weight) && matchedWeight < FC_WEIGHT_DEMIBOLD;

    std::ifstream in(face.File, std::ios::binary);
    if (!in)
        return face;
    face.Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    ++Reads;
    if (face.Bytes.empty())
        return face;

    // The face's own proportions, from one probe at a 100-pixel em.
    const auto probeDpi = static_cast<uint32_t>(ProbeEm * 72);
    TTF_Font* probe = OpenFace(face, probeDpi, probeDpi);
    if (!probe)
        return face;
    int advance = 0;
    const int cell = TTF_FontHeight(probe);
    if (cell > 0 && TTF_GlyphMetrics32(probe, 'x', nullptr, nullptr, nullptr, nullptr, &advance) == 0 &&
        advance > 0) {
        face.CellPerEm = cell / ProbeEm;
        face.XAdvancePerEm = advance / ProbeEm;
        face.Usable = true;
    }
    TTF_CloseFont(probe);
    return face;
}

TTF_Font* TSdlText::OpenFace(TFace& face, uint32_t hdpi, uint32_t vdpi)
{
    SDL_RWops* rw = SDL_RWFromConstMem(face.Bytes.data(), static_cast<int>(face.Bytes.size()));
    if (!rw)
        return nullptr;
    ++Opens;
    TTF_Font* font = TTF_OpenFontIndexDPIRW(rw, 1, 1, face.Index, hdpi, vdpi);
    if (font && face.SyntheticBold)
        TTF_SetFontStyle(font, TTF_STYLE_BOLD);
    return font;
}

TTF_Font* TSdlText::Font(const TFontSpec& spec)
{
    const auto key = std::make_tuple(spec.Face, spec.Height, spec.Width, IsBold(spec.Weight) ? 700 : 400);
    auto found = Fonts.find(key);
    if (found != Fonts.end())
        return found->second;
    TTF_Font*& slot = Fonts[key]; // a face that cannot be opened is remembered as such
    slot = nullptr;
    TFace& face = Face(spec.Face, spec.Weight);
    if (!face.Usable)
        return nullptr;

    // A positive height is the whole cell; a negative one the em alone, as
    // the old system read font heights. The half pixel keeps the rounded-up
    // cell of the rasteriser at the height asked for.
    const int32_t height = CellOf(spec.Height);
    double em = height > 0 ? (height - 0.5) / face.CellPerEm : -static_cast<double>(height);
    em = std::clamp(em, 1.0, 2000.0);
    const double vdpi = em * 72;
    double hdpi = vdpi;
    if (spec.Width > 0)
        hdpi = vdpi * spec.Width / (face.XAdvancePerEm * em);
    hdpi = std::clamp(hdpi, 18.0, 2000.0 * 72);
    slot = OpenFace(face, static_cast<uint32_t>(std::lround(hdpi)), static_cast<uint32_t>(std::lround(vdpi)));
    return slot;
}

void TSdlText::Prepare(const TFontSpec& font, const std::string& chars)
{
    // Opening the face at this size and rasterising each glyph the first time
    // are the slow parts; SDL_ttf keeps the glyphs for the open font.
    TTF_Font* f = Font(font);
    const std::string utf8 = Cp1252ToUtf8(chars);
    if (!f || utf8.empty())
        return;
    if (SDL_Surface* glyphs = TTF_RenderUTF8_Blended(f, utf8.c_str(), SDL_Color{255, 255, 255, 255}))
        SDL_FreeSurface(glyphs);
}

int32_t TSdlText::CellHeight(const TFontSpec& font)
{
    TTF_Font* f = Font(font);
    return f ? TTF_FontHeight(f) : 0;
}

int32_t TSdlText::MeasureText(const std::string& text, const TFontSpec& font)
{
    TTF_Font* f = Font(font);
    if (!f)
        return 0;
    int32_t width = 0;
    uint32_t previous = 0;
    for (const char c : text) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte == 0)
            break;
        const uint32_t ch = Cp1252ToCodePoint(byte);
        int advance = 0;
        if (TTF_GlyphMetrics32(f, ch, nullptr, nullptr, nullptr, nullptr, &advance) == 0)
            width += advance;
        if (previous)
            width += TTF_GetFontKerningSizeGlyphs32(f, previous, ch);
        previous = ch;
    }
    return width;
}

void TSdlText::DrawText(TSurface& target, int32_t x, int32_t y, const std::string& text, const TFontSpec& font,
                        uint32_t rgb, uint32_t align)
{
    // A lost surface gives no drawing context: its text is not drawn.
    if (target.IsLost() != DD_OK || target.Width() <= 0 || target.Height() <= 0)
        return;
    TTF_Font* f = Font(font);
    if (!f)
        return;
    const std::string utf8 = Cp1252ToUtf8(text);
    if (utf8.empty())
        return;
    const SDL_Color colour{static_cast<Uint8>(rgb >> 16), static_cast<Uint8>(rgb >> 8), static_cast<Uint8>(rgb), 255};
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(f, utf8.c_str(), colour);
    if (!glyphs)
        return;
    if (align & TA_RIGHT)
        x -= MeasureText(text, font);

    // Coverage of each text pixel blended over what is on the surface.
    const uint32_t tr = (rgb >> 16) & 0xFF, tg = (rgb >> 8) & 0xFF, tb = rgb & 0xFF;
    const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int32_t x1 = std::min(x + glyphs->w, target.Width()), y1 = std::min(y + glyphs->h, target.Height());
    if (x0 < x1 && y0 < y1 && SDL_LockSurface(glyphs) == 0) {
        for (int32_t ty = y0; ty < y1; ++ty) {
            const auto* from = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(glyphs->pixels) +
                                                                 static_cast<size_t>(ty - y) * glyphs->pitch);
            uint32_t* to = target.Pixels() + static_cast<size_t>(ty) * target.Width();
            for (int32_t tx = x0; tx < x1; ++tx) {
                const uint32_t a = from[tx - x] >> 24;
                if (a == 0)
                    continue;
                const uint32_t d = to[tx];
                if (a == 255) {
                    to[tx] = rgb & 0x00FFFFFFu;
                    continue;
                }
                const uint32_t r = (tr * a + ((d >> 16) & 0xFF) * (255 - a) + 127) / 255;
                const uint32_t g = (tg * a + ((d >> 8) & 0xFF) * (255 - a) + 127) / 255;
                const uint32_t b = (tb * a + (d & 0xFF) * (255 - a) + 127) / 255;
                to[tx] = (r << 16) | (g << 8) | b;
            }
        }
        SDL_UnlockSurface(glyphs);
    }
    SDL_FreeSurface(glyphs);
}
