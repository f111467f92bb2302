// The asset pack "Data/Data.pp": a plain run of length-prefixed BMP images,
// read into the sprite sheets at every display creation and after surface loss.
#include "graphics/AssetPack.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/DXCtrl.h"
#include "platform/Files.h"

TSurface* GameSheets[GameSheetCount];
TSurface* MenuSheets[MenuSheetCount];
TSurface* FlippedShotSheets[FlippedShotSheetCount];

std::string AssetPackPath = "Data/Data.pp";

namespace {

// The near background tiles are cut out on black, not on magenta.
constexpr int FirstBlackKeyedSheet = SheetBackgroundNear;
constexpr int LastBlackKeyedSheet = SheetBackgroundNear + 4;
constexpr uint32_t TransparentBlack = 0x00000000;

// No sheet of the game comes near this; a damaged header that claims more
// must not make the decoder reserve gigabytes.
constexpr int64_t MaxSheetSide = 16384;
constexpr int64_t MaxSheetPixels = 16LL * 1024 * 1024;

[[noreturn]] void StreamReadError() { throw EAssetPackError("Stream read error"); }
[[noreturn]] void NotABitmap() { throw EAssetPackError("Bitmap image is not valid"); }

uint32_t ReadLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t ReadLE16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// The pack opened once per load. The index of where each entry starts grows
// as far as the entries asked for, so every entry is read once and the file is
// never walked from the start again. Nothing is read past the file's size as
// it was when opened, and a length field is believed only as far as the file
// really goes.
class TPackReader {
public:
    explicit TPackReader(std::string path) : Path(std::move(path)) {}

    // The whole BMP image of entry n.
    std::vector<uint8_t> ReadEntry(uint8_t n)
    {
        Open();
        while (Starts.size() <= n) {
            // Skip the last indexed entry: its length, then its image.
            const int64_t start = Starts.back();
            const uint32_t length = ReadLength(start);
            Starts.push_back(start + 4 + int64_t(length));
        }
        const int64_t start = Starts[n];
        const uint32_t length = ReadLength(start);
        if (int64_t(length) > Size - (start + 4))
            StreamReadError();
        std::vector<uint8_t> image(length);
        ReadExactly(image.data(), length, start + 4);
        return image;
    }

private:
    void Open()
    {
        if (File)
            return;
        std::string error;
        File = Files().OpenRead(Path, error);
        if (!File)
            throw EAssetPackError("Cannot open file \"" + Path + "\". " + error);
        Size = File->Size();
        Starts.assign(1, 0);
    }

    uint32_t ReadLength(int64_t at)
    {
        if (at > Size - 4)
            StreamReadError();
        uint8_t bytes[4];
        ReadExactly(bytes, 4, at);
        return ReadLE32(bytes);
    }

    void ReadExactly(uint8_t* to, size_t count, int64_t at)
    {
        if (!File->ReadAt(to, count, at))
            StreamReadError();
    }

    std::string Path;
    std::unique_ptr<IReadFile> File;
    int64_t Size = 0;
    std::vector<int64_t> Starts; // where entry i's length field lies
};

// Reads the picture size from the BMP header without decoding it, so that a
// damaged header is refused before anything is reserved for its pixels.
void CheckBmpHeader(const std::vector<uint8_t>& bmp)
{
    if (bmp.size() < 2 || bmp[0] != 'B' || bmp[1] != 'M')
        NotABitmap();
    if (bmp.size() < 26)
        return; // too short to hold a size; the decoder refuses it
    const uint32_t headerSize = ReadLE32(&bmp[14]);
    int64_t width, height;
    if (headerSize == 12) {
        width = ReadLE16(&bmp[18]);
        height = ReadLE16(&bmp[20]);
    } else {
        width = int32_t(ReadLE32(&bmp[18]));
        height = int32_t(ReadLE32(&bmp[22]));
        if (height < 0)
            height = -height; // top-down rows
    }
    if (width <= 0 || height <= 0 || width > MaxSheetSide || height > MaxSheetSide ||
        width * height > MaxSheetPixels)
        NotABitmap();
}

TSurface* SurfaceFromBmp(TDirectDraw* dd, const std::vector<uint8_t>& bmp)
{
    CheckBmpHeader(bmp);
    TImage image;
    if (!DecodeBmp(bmp.data(), bmp.size(), image) || image.Width <= 0 || image.Height <= 0 ||
        image.Pixels.size() != size_t(image.Width) * size_t(image.Height))
        NotABitmap();
    TSurface* surface = dd ? dd->CreateSurface(image.Width, image.Height) : nullptr;
    if (!surface)
        return nullptr;
    CopyBitmapToSurface(surface, image, 0, 0, 0, 0);
    SetSourceColorKey(surface, TransparentMagenta);
    return surface;
}

TSurface* LoadFromPack(TDirectDraw* dd, TPackReader& pack, uint8_t entry)
{
    return SurfaceFromBmp(dd, pack.ReadEntry(entry));
}

void ReleaseSheet(TSurface*& sheet)
{
    delete sheet; // the surface tells its display object it is gone
    sheet = nullptr;
}

// One sheet slot: the old surface goes first, so a pack that fails here
// leaves this slot empty and the later slots as they were.
void LoadSlot(TDirectDraw* dd, TPackReader& pack, TSurface*& slot, uint8_t entry)
{
    ReleaseSheet(slot);
    slot = LoadFromPack(dd, pack, entry);
    if (slot)
        SetSourceColorKey(slot, TransparentMagenta);
}

} // namespace

TSurface* LoadPackImage(TDirectDraw* dd, const std::string& path, uint8_t entry)
{
    TPackReader pack(path);
    return LoadFromPack(dd, pack, entry);
}

void LoadAssetPack(TDirectDraw* dd)
{
    TPackReader pack(AssetPackPath);
    for (int i = 0; i < GameSheetCount; ++i)
        LoadSlot(dd, pack, GameSheets[i], uint8_t(i));
    for (int i = FirstBlackKeyedSheet; i <= LastBlackKeyedSheet; ++i)
        if (GameSheets[i])
            SetSourceColorKey(GameSheets[i], TransparentBlack);
    for (int i = 0; i < MenuSheetCount; ++i)
        LoadSlot(dd, pack, MenuSheets[i], uint8_t(GameSheetCount + i));
    // The player's gun fires the first nine shot kinds upside down. Loading the
    // entry again only provides a surface of the right size and colour key.
    for (int i = 0; i < FlippedShotSheetCount; ++i) {
        ReleaseSheet(FlippedShotSheets[i]);
        FlippedShotSheets[i] = LoadFromPack(dd, pack, uint8_t(SheetShot + i));
        MirrorRows(GameSheets[SheetShot + i], FlippedShotSheets[i], nullptr, nullptr);
    }
    CreateMenuWidgets();
}

void ReleaseAssets()
{
    for (TSurface*& s : GameSheets)
        ReleaseSheet(s);
    for (TSurface*& s : MenuSheets)
        ReleaseSheet(s);
    for (TSurface*& s : FlippedShotSheets)
        ReleaseSheet(s);
    FreeMenuWidgets();
}

HRESULT CopyBitmapToSurface(TSurface* surface, const TImage& bitmap, int32_t x, int32_t y, int32_t width,
                            int32_t height)
{
    if (!surface)
        return DDERR_INVALIDPARAMS;
    surface->Restore();
    if (width == 0)
        width = bitmap.Width;
    if (height == 0)
        height = bitmap.Height;
    DDSURFACEDESC2 desc;
    const HRESULT hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT);
    if (Failed(hr))
        return hr;
    const bool bitmapWhole = bitmap.Width > 0 && bitmap.Height > 0 &&
                             bitmap.Pixels.size() == size_t(bitmap.Width) * size_t(bitmap.Height);
    if (bitmapWhole && width > 0 && height > 0) {
        // The bitmap rectangle stretched over the whole surface, nearest pixel;
        // pixels whose source lies outside the bitmap keep what they had.
        const int32_t dw = int32_t(desc.dwWidth), dh = int32_t(desc.dwHeight);
        for (int32_t row = 0; row < dh; ++row) {
            const int64_t sy = y + int64_t(row) * height / dh;
            if (sy < 0 || sy >= bitmap.Height)
                continue;
            auto* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + int64_t(row) * desc.lPitch);
            const uint32_t* from = bitmap.Pixels.data() + size_t(sy) * size_t(bitmap.Width);
            for (int32_t col = 0; col < dw; ++col) {
                const int64_t sx = x + int64_t(col) * width / dw;
                if (sx >= 0 && sx < bitmap.Width)
                    to[col] = from[sx] & 0x00FFFFFF;
            }
        }
    }
    surface->Unlock(nullptr);
    return hr;
}

uint32_t MatchColor(TSurface* surface, uint32_t rgb)
{
    if (!surface)
        return InvalidColor;
    DDSURFACEDESC2 desc;
    HRESULT hr;
    do
        hr = surface->Lock(nullptr, &desc, 0);
    while (hr == DDERR_WASSTILLDRAWING);
    if (Failed(hr))
        return InvalidColor;
    // Pixel (0, 0) lends itself to the colour for a moment and gets its own back.
    auto* first = static_cast<uint32_t*>(desc.lpSurface);
    const uint32_t saved = *first;
    if (rgb != InvalidColor)
        *first = rgb & 0x00FFFFFF;
    uint32_t value = *first;
    if (desc.dwRGBBitCount < 32)
        value &= (1u << desc.dwRGBBitCount) - 1;
    *first = saved;
    surface->Unlock(nullptr);
    return value;
}

HRESULT SetSourceColorKey(TSurface* surface, uint32_t rgb)
{
    if (!surface)
        return DDERR_INVALIDPARAMS;
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = MatchColor(surface, rgb);
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

void MirrorRows(TSurface* src, TSurface* dst, const TRect* srcRect, const TRect* dstRect)
{
    if (!src || !dst)
        return;
    DDSURFACEDESC2 d, s;
    if (Failed(dst->Lock(dstRect, &d, DDLOCK_WAIT)))
        return;
    if (Failed(src->Lock(srcRect, &s, DDLOCK_WAIT))) {
        dst->Unlock(dstRect);
        return;
    }
    // Equal sizes turn the whole picture upside down; otherwise the part both
    // share is turned and the rest of the destination is left alone.
    const int32_t w = int32_t(std::min(d.dwWidth, s.dwWidth));
    const int32_t h = int32_t(std::min(d.dwHeight, s.dwHeight));
    auto row = [](const DDSURFACEDESC2& desc, int32_t i) {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.lpSurface) + int64_t(i) * desc.lPitch);
    };
    // A copy of the source first, in case both name the same pixels.
    std::vector<uint32_t> copy(size_t(w) * size_t(h));
    for (int32_t i = 0; i < h; ++i)
        std::memcpy(copy.data() + size_t(i) * w, row(s, i), size_t(w) * 4);
    for (int32_t i = 0; i < h; ++i)
        std::memcpy(row(d, i), copy.data() + size_t(h - 1 - i) * w, size_t(w) * 4);
    src->Unlock(srcRect);
    dst->Unlock(dstRect);
}
