#include "platform/DDraw.h"

#include <algorithm>
#include <cstring>

namespace {

bool InsideSurface(const TRect& r, int32_t w, int32_t h)
{
    return r.Left >= 0 && r.Top >= 0 && r.Right <= w && r.Bottom <= h && r.Left < r.Right &&
           r.Top < r.Bottom;
}

} // namespace

TSurface::TSurface(TDirectDraw* owner, int32_t width, int32_t height)
    : Owner(owner), W(std::max(width, 0)), H(std::max(height, 0)),
      Data(static_cast<size_t>(W) * static_cast<size_t>(H), 0u)
{
}

TSurface::~TSurface()
{
    if (Owner)
        Owner->Forget(this);
}

HRESULT TSurface::BltFast(int32_t x, int32_t y, TSurface* src, const TRect* srcRect, uint32_t flags)
{
    if (!src)
        return DDERR_INVALIDPARAMS;
    if (Lost || src->Lost)
        return DDERR_SURFACELOST;
    if (LockCount > 0 || src->LockCount > 0)
        return DDERR_SURFACEBUSY;
    const TRect s = srcRect ? *srcRect : TRect{0, 0, src->W, src->H};
    if (!InsideSurface(s, src->W, src->H))
        return DDERR_INVALIDRECT;
    // The destination is checked in 64 bits: a far-off position must be
    // refused, not wrap around into the surface.
    if (x < 0 || y < 0 || static_cast<int64_t>(x) + s.Width() > W || static_cast<int64_t>(y) + s.Height() > H)
        return DDERR_INVALIDRECT;
    const TRect d{x, y, x + s.Width(), y + s.Height()};

    const bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) != 0 && src->KeySet;
    const uint32_t key = src->Key;
    const int32_t w = s.Width();
    if (keyed && src != this && (!src->SpansValid || src->SpansKey != key))
        src->BuildSpans();
    SpansValid = false;
    // A copy within one surface that moves the picture down walks the rows
    // bottom up, so no source row is overwritten before it is read.
    const bool bottomUp = src == this && d.Top > s.Top;
    for (int32_t step = 0; step < s.Height(); ++step) {
        const int32_t row = bottomUp ? s.Height() - 1 - step : step;
        const uint32_t* from = src->Data.data() + static_cast<size_t>(s.Top + row) * src->W + s.Left;
        uint32_t* to = Data.data() + static_cast<size_t>(d.Top + row) * W + d.Left;
        if (!keyed) {
            if (src == this)
                std::memmove(to, from, static_cast<size_t>(w) * 4);
            else
                std::memcpy(to, from, static_cast<size_t>(w) * 4);
        } else if (src != this) {
            // Copy the visible runs of this source row that meet the rectangle.
            const uint32_t* span = src->Spans.data() + src->SpanRowStart[s.Top + row];
            const uint32_t* end = src->Spans.data() + src->SpanRowStart[s.Top + row + 1];
            for (; span != end; span += 2) {
                const int32_t a = std::max<int32_t>(static_cast<int32_t>(span[0]), s.Left);
                const int32_t b = std::min<int32_t>(static_cast<int32_t>(span[1]), s.Right);
                if (a < b)
                    std::memcpy(to + (a - s.Left), from + (a - s.Left), static_cast<size_t>(b - a) * 4);
            }
        } else {
            for (int32_t i = 0; i < w; ++i) {
                const uint32_t p = from[i];
                to[i] = p != key ? p : to[i];
            }
        }
    }
    return DD_OK;
}

void TSurface::BuildSpans()
{
    SpanRowStart.assign(static_cast<size_t>(H) + 1, 0);
    Spans.clear();
    for (int32_t y = 0; y < H; ++y) {
        SpanRowStart[y] = static_cast<uint32_t>(Spans.size());
        const uint32_t* row = Data.data() + static_cast<size_t>(y) * W;
        int32_t x = 0;
        while (x < W) {
            while (x < W && row[x] == Key)
                ++x;
            if (x == W)
                break;
            const int32_t start = x;
            while (x < W && row[x] != Key)
                ++x;
            Spans.push_back(static_cast<uint32_t>(start));
            Spans.push_back(static_cast<uint32_t>(x));
        }
    }
    SpanRowStart[H] = static_cast<uint32_t>(Spans.size());
    SpansValid = true;
    SpansKey = Key;
}

HRESULT TSurface::Blt(const TRect* dstRect, TSurface* src, const TRect* srcRect, uint32_t flags,
                      uint32_t fillColor)
{
    if (Lost)
        return DDERR_SURFACELOST;
    if (LockCount > 0)
        return DDERR_SURFACEBUSY;
    const TRect d = dstRect ? *dstRect : TRect{0, 0, W, H};
    if (!InsideSurface(d, W, H))
        return DDERR_INVALIDRECT;
    SpansValid = false;

    if (flags & DDBLT_COLORFILL) {
        for (int32_t row = d.Top; row < d.Bottom; ++row)
            std::fill_n(Data.data() + static_cast<size_t>(row) * W + d.Left, d.Width(), fillColor);
        return DD_OK;
    }
    if (!src)
        return DDERR_INVALIDPARAMS;
    if (src->Lost)
        return DDERR_SURFACELOST;
    if (src->LockCount > 0)
        return DDERR_SURFACEBUSY;
    const TRect s = srcRect ? *srcRect : TRect{0, 0, src->W, src->H};
    if (!InsideSurface(s, src->W, src->H))
        return DDERR_INVALIDRECT;
    if (s.Width() == d.Width() && s.Height() == d.Height() && !(flags & DDBLT_KEYSRC))
        return BltFast(d.Left, d.Top, src, &s, DDBLTFAST_WAIT);

    // Stretching copy, nearest source pixel.
    const bool keyed = (flags & DDBLT_KEYSRC) != 0 && src->KeySet;
    std::vector<uint32_t> copy;
    const uint32_t* base = src->Data.data();
    if (src == this) {
        copy = Data;
        base = copy.data();
    }
    for (int32_t row = 0; row < d.Height(); ++row) {
        const int32_t sy = s.Top + static_cast<int32_t>(static_cast<int64_t>(row) * s.Height() / d.Height());
        const uint32_t* from = base + static_cast<size_t>(sy) * src->W;
        uint32_t* to = Data.data() + static_cast<size_t>(d.Top + row) * W + d.Left;
        for (int32_t col = 0; col < d.Width(); ++col) {
            const int32_t sx = s.Left + static_cast<int32_t>(static_cast<int64_t>(col) * s.Width() / d.Width());
            const uint32_t p = from[sx];
            if (!keyed || p != src->Key)
                to[col] = p;
        }
    }
    return DD_OK;
}

HRESULT TSurface::Lock(const TRect* rect, DDSURFACEDESC2* desc, uint32_t)
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    if (Lost)
        return DDERR_SURFACELOST;
    const TRect r = rect ? *rect : TRect{0, 0, W, H};
    if (!InsideSurface(r, W, H))
        return DDERR_INVALIDRECT;
    ++LockCount;
    SpansValid = false; // the caller may write through the pointer
    desc->dwWidth = static_cast<uint32_t>(r.Width());
    desc->dwHeight = static_cast<uint32_t>(r.Height());
    desc->lPitch = W * 4;
    desc->lpSurface = Data.data() + static_cast<size_t>(r.Top) * W + r.Left;
    desc->dwRGBBitCount = 32;
    return DD_OK;
}

HRESULT TSurface::Unlock(const TRect*)
{
    if (LockCount == 0)
        return DDERR_NOTLOCKED;
    --LockCount;
    return DD_OK;
}

HRESULT TSurface::SetColorKey(uint32_t flags, const DDCOLORKEY* key)
{
    if (Lost)
        return DDERR_SURFACELOST;
    if (!(flags & DDCKEY_SRCBLT))
        return DDERR_INVALIDPARAMS;
    if (!key) {
        KeySet = false;
        return DD_OK;
    }
    KeySet = true;
    Key = key->dwColorSpaceLowValue;
    return DD_OK;
}

HRESULT TSurface::GetColorKey(uint32_t flags, DDCOLORKEY* key) const
{
    if (!(flags & DDCKEY_SRCBLT) || !key)
        return DDERR_INVALIDPARAMS;
    if (!KeySet)
        return DDERR_NOCOLORKEY;
    key->dwColorSpaceLowValue = key->dwColorSpaceHighValue = Key;
    return DD_OK;
}

HRESULT TSurface::GetSurfaceDesc(DDSURFACEDESC2* desc) const
{
    if (!desc)
        return DDERR_INVALIDPARAMS;
    desc->dwWidth = static_cast<uint32_t>(W);
    desc->dwHeight = static_cast<uint32_t>(H);
    desc->lPitch = W * 4;
    desc->lpSurface = nullptr;
    desc->dwRGBBitCount = 32;
    return DD_OK;
}

HRESULT TSurface::Restore()
{
    Lost = false;
    return DD_OK;
}

TPrimarySurface::TPrimarySurface(TDirectDraw* owner, Presenter presenter)
    : TSurface(owner, 0, 0), Present(std::move(presenter))
{
}

HRESULT TPrimarySurface::Blt(const TRect*, TSurface* src, const TRect* srcRect, uint32_t flags, uint32_t)
{
    if (Lost)
        return DDERR_SURFACELOST;
    if (flags & DDBLT_COLORFILL)
        return DD_OK;
    if (!src)
        return DDERR_INVALIDPARAMS;
    if (src->IsLost() != DD_OK)
        return DDERR_SURFACELOST;
    const TRect s = srcRect ? *srcRect : TRect{0, 0, src->Width(), src->Height()};
    if (!InsideSurface(s, src->Width(), src->Height()))
        return DDERR_INVALIDRECT;
    ++PresentCount;
    if (Present)
        Present(*src, s);
    return DD_OK;
}

HRESULT TPrimarySurface::BltFast(int32_t, int32_t, TSurface*, const TRect*, uint32_t)
{
    return DDERR_INVALIDPARAMS;
}

TDirectDraw::~TDirectDraw()
{
    for (TSurface* s : Surfaces)
        s->Detach();
}

TSurface* TDirectDraw::CreateSurface(int32_t width, int32_t height)
{
    if (FailCreates || width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return nullptr;
    auto* s = new TSurface(this, width, height);
    Surfaces.push_back(s);
    return s;
}

TPrimarySurface* TDirectDraw::CreatePrimarySurface(TPrimarySurface::Presenter presenter)
{
    auto* s = new TPrimarySurface(this, std::move(presenter));
    Surfaces.push_back(s);
    return s;
}

void TDirectDraw::Release(TSurface*& surface)
{
    delete surface;
    surface = nullptr;
}

void TDirectDraw::LoseAllSurfaces()
{
    for (TSurface* s : Surfaces)
        s->MarkLost();
}

void TDirectDraw::Forget(TSurface* s)
{
    Surfaces.erase(std::remove(Surfaces.begin(), Surfaces.end(), s), Surfaces.end());
}
