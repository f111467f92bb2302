// Software display surfaces with the operations, flags and status codes the
// game was written against: BltFast, Blt (colour fill and stretching copy),
// Lock/Unlock, colour keys, surface description and surface loss.
// Pixels are 32-bit 0x00RRGGBB. Nothing here talks to the operating system:
// the primary surface hands its frames to the display service.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

using HRESULT = int32_t;

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_INVALIDRECT = static_cast<HRESULT>(0x88760096u);
constexpr HRESULT DDERR_NOTLOCKED = static_cast<HRESULT>(0x887600E6u);
constexpr HRESULT DDERR_SURFACEBUSY = static_cast<HRESULT>(0x887601B2u);
constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x887601C2u);
constexpr HRESULT DDERR_WASSTILLDRAWING = static_cast<HRESULT>(0x8876021Cu);
constexpr HRESULT DDERR_NOCOLORKEY = static_cast<HRESULT>(0x887600D7u);

inline bool Succeeded(HRESULT hr) { return hr >= 0; }
inline bool Failed(HRESULT hr) { return hr < 0; }

// BltFast flags
constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x00;
constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x01;
constexpr uint32_t DDBLTFAST_WAIT = 0x10;
constexpr uint32_t DDBLTFAST_DONOTWAIT = 0x20;
// Blt flags
constexpr uint32_t DDBLT_COLORFILL = 0x00000400;
constexpr uint32_t DDBLT_KEYSRC = 0x00008000;
constexpr uint32_t DDBLT_WAIT = 0x01000000;
// Lock flags
constexpr uint32_t DDLOCK_WAIT = 0x00000001;
// SetColorKey flags
constexpr uint32_t DDCKEY_SRCBLT = 0x00000008;

// Rectangles are left, top, right, bottom; right and bottom exclusive.
struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int32_t l, int32_t t, int32_t r, int32_t b) { return TRect{l, t, r, b}; }
inline TRect Bounds(int32_t l, int32_t t, int32_t w, int32_t h) { return TRect{l, t, l + w, t + h}; }

struct DDCOLORKEY {
    uint32_t dwColorSpaceLowValue = 0;
    uint32_t dwColorSpaceHighValue = 0;
};

struct DDSURFACEDESC2 {
    uint32_t dwWidth = 0;
    uint32_t dwHeight = 0;
    int32_t lPitch = 0;        // bytes per row
    void* lpSurface = nullptr; // first pixel of the locked rectangle
    uint32_t dwRGBBitCount = 32;
};

class TDirectDraw;

class TSurface {
public:
    TSurface(TDirectDraw* owner, int32_t width, int32_t height);
    virtual ~TSurface();
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    // Copies srcRect (whole source when null) to (x, y). No clipping: a rectangle
    // that leaves either surface draws nothing and returns DDERR_INVALIDRECT.
    virtual HRESULT BltFast(int32_t x, int32_t y, TSurface* src, const TRect* srcRect, uint32_t flags);
    // DDBLT_COLORFILL with fillColor, or a (stretching) copy of srcRect onto dstRect.
    virtual HRESULT Blt(const TRect* dstRect, TSurface* src, const TRect* srcRect, uint32_t flags,
                        uint32_t fillColor = 0);
    HRESULT Lock(const TRect* rect, DDSURFACEDESC2* desc, uint32_t flags);
    HRESULT Unlock(const TRect* rect);
    HRESULT SetColorKey(uint32_t flags, const DDCOLORKEY* key);
    HRESULT GetColorKey(uint32_t flags, DDCOLORKEY* key) const;
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) const;
    HRESULT IsLost() const { return Lost ? DDERR_SURFACELOST : DD_OK; }
    virtual HRESULT Restore();

    // Direct access for the platform layer (text rasteriser, presenter) and tests.
    int32_t Width() const { return W; }
    int32_t Height() const { return H; }
    uint32_t* Pixels()
    {
        SpansValid = false;
        return Data.data();
    }
    const uint32_t* Pixels() const { return Data.data(); }
    uint32_t GetPixel(int32_t x, int32_t y) const { return Data[static_cast<size_t>(y) * W + x]; }
    void SetPixel(int32_t x, int32_t y, uint32_t c)
    {
        SpansValid = false;
        Data[static_cast<size_t>(y) * W + x] = c;
    }
    bool HasColorKey() const { return KeySet; }
    uint32_t ColorKey() const { return Key; }
    bool Locked() const { return LockCount > 0; }
    void MarkLost() { Lost = true; }
    void Detach() { Owner = nullptr; }

protected:
    TDirectDraw* Owner;
    int32_t W, H;
    std::vector<uint32_t> Data;
    bool KeySet = false;
    uint32_t Key = 0;
    bool Lost = false;
    int LockCount = 0;

private:
    // Sprite sheets are mostly transparent and never change between loads, so
    // a colour-keyed copy from them walks the runs of visible pixels of each
    // row instead of testing every pixel. The runs are found on first use and
    // forgotten whenever the pixels or the key may have changed.
    void BuildSpans();
    std::vector<uint32_t> SpanRowStart; // per row: first index into Spans; one more at the end
    std::vector<uint32_t> Spans;        // pairs: first column, one past the last column
    bool SpansValid = false;
    uint32_t SpansKey = 0;
};

// The primary surface: a present blit onto it hands the frame to the display.
class TPrimarySurface : public TSurface {
public:
    using Presenter = std::function<void(const TSurface& src, const TRect& srcRect)>;
    TPrimarySurface(TDirectDraw* owner, Presenter presenter);
    HRESULT Blt(const TRect* dstRect, TSurface* src, const TRect* srcRect, uint32_t flags,
                uint32_t fillColor = 0) override;
    HRESULT BltFast(int32_t x, int32_t y, TSurface* src, const TRect* srcRect, uint32_t flags) override;
    int PresentCount = 0;

private:
    Presenter Present;
};

// The display object: creates surfaces and keeps track of them so that all of
// them can be lost at once (a display mode change of the old platform; tests).
class TDirectDraw {
public:
    TDirectDraw() = default;
    ~TDirectDraw();
    TSurface* CreateSurface(int32_t width, int32_t height); // off-screen plain
    TPrimarySurface* CreatePrimarySurface(TPrimarySurface::Presenter presenter);
    void Release(TSurface*& surface); // frees and nulls
    void LoseAllSurfaces();
    // Refuse surface creation (tests of the loader's failure paths).
    bool FailCreates = false;
    size_t SurfaceCount() const { return Surfaces.size(); }

private:
    friend class TSurface;
    void Forget(TSurface* s);
    std::vector<TSurface*> Surfaces;
};
