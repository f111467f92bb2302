#include "platform/sdl/FrameScaler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

TPictureRect FitPicture(int32_t outW, int32_t outH, int32_t srcW, int32_t srcH)
{
    TPictureRect r;
    if (outW <= 0 || outH <= 0 || srcW <= 0 || srcH <= 0)
        return r;
    if (int64_t{outW} * srcH > int64_t{outH} * srcW) {
        // Wider than the frame: full height, bars left and right.
        r.H = outH;
        r.W = static_cast<int32_t>(int64_t{outH} * srcW / srcH);
    } else {
        r.W = outW;
        r.H = static_cast<int32_t>(int64_t{outW} * srcH / srcW);
    }
    r.X = (outW - r.W) / 2;
    r.Y = (outH - r.H) / 2;
    return r;
}

namespace {

// Source index under the centre of each of n output pixels, stepped in 32.32
// fixed point: start half a step in, add one step per pixel.
std::vector<uint16_t> CentreTable(int32_t n, int32_t src)
{
    std::vector<uint16_t> table(static_cast<size_t>(std::max(n, 0)));
    if (n <= 0)
        return table;
    const uint64_t step = (uint64_t{static_cast<uint32_t>(src)} << 32) / static_cast<uint32_t>(n);
    // The exact centre of pixel 0 is src / (2n); the rounding of step is
    // made up by adding the same half step of the exact value.
    uint64_t pos = ((uint64_t{static_cast<uint32_t>(src)} << 32) / (2 * static_cast<uint64_t>(n)));
    for (int32_t i = 0; i < n; ++i, pos += step)
        table[static_cast<size_t>(i)] = static_cast<uint16_t>(std::min<uint64_t>(pos >> 32, static_cast<uint64_t>(src - 1)));
    return table;
}

} // namespace

void TFrameScaler::Resize(int32_t outW, int32_t outH, int32_t srcW, int32_t srcH)
{
    if (outW == OutW && outH == OutH && srcW == SrcW && srcH == SrcH)
        return;
    OutW = outW;
    OutH = outH;
    SrcW = srcW;
    SrcH = srcH;
    Rect = FitPicture(outW, outH, srcW, srcH);
    Factor = (Rect.W > 0 && Rect.W % srcW == 0 && Rect.H == Rect.W / srcW * srcH) ? Rect.W / srcW : 0;
    Columns = CentreTable(Rect.W, srcW);
    Rows = CentreTable(Rect.H, srcH);
    CarryX = CarryY = 0;
}

void TFrameScaler::Draw(const uint32_t* src, int32_t srcPitch, uint32_t* out, int32_t outPitch) const
{
    if (Rect.W <= 0 || Rect.H <= 0)
        return;
    uint32_t* first = out + static_cast<std::ptrdiff_t>(Rect.Y) * outPitch + Rect.X;
    const size_t rowBytes = static_cast<size_t>(Rect.W) * sizeof(uint32_t);
    if (Factor == 1) {
        for (int32_t y = 0; y < Rect.H; ++y)
            std::memcpy(first + static_cast<std::ptrdiff_t>(y) * outPitch, src + static_cast<std::ptrdiff_t>(y) * srcPitch, rowBytes);
        return;
    }
    if (Factor == 2) {
        for (int32_t sy = 0; sy < SrcH; ++sy) {
            const uint32_t* s = src + static_cast<std::ptrdiff_t>(sy) * srcPitch;
            uint32_t* d = first + static_cast<std::ptrdiff_t>(2 * sy) * outPitch;
            for (int32_t x = 0; x < SrcW; ++x)
                d[2 * x] = d[2 * x + 1] = s[x];
            std::memcpy(d + outPitch, d, rowBytes);
        }
        return;
    }
    const uint16_t* cols = Columns.data();
    for (int32_t y = 0; y < Rect.H; ++y) {
        uint32_t* d = first + static_cast<std::ptrdiff_t>(y) * outPitch;
        if (y > 0 && Rows[static_cast<size_t>(y)] == Rows[static_cast<size_t>(y) - 1]) {
            // The same source row as the row above: copy it.
            std::memcpy(d, d - outPitch, rowBytes);
            continue;
        }
        const uint32_t* s = src + static_cast<std::ptrdiff_t>(Rows[static_cast<size_t>(y)]) * srcPitch;
        for (int32_t x = 0; x < Rect.W; ++x)
            d[x] = s[cols[x]];
    }
}

void TFrameScaler::ClearBars(uint32_t* out, int32_t outPitch) const
{
    for (int32_t y = 0; y < OutH; ++y) {
        uint32_t* d = out + static_cast<std::ptrdiff_t>(y) * outPitch;
        if (y < Rect.Y || y >= Rect.Y + Rect.H) {
            std::fill_n(d, OutW, 0u);
        } else {
            std::fill_n(d, Rect.X, 0u);
            std::fill_n(d + Rect.X + Rect.W, OutW - Rect.X - Rect.W, 0u);
        }
    }
}

int32_t TFrameScaler::MapAxis(int32_t v, int32_t origin, int32_t size, int32_t src,
                              const std::vector<uint16_t>& table) const
{
    const int32_t rel = v - origin;
    if (rel >= 0 && rel < size)
        return table[static_cast<size_t>(rel)];
    // In the bars: scaled distance, cut toward zero.
    return size > 0 ? static_cast<int32_t>(int64_t{rel} * src / size) : v;
}

void TFrameScaler::MapPoint(int32_t& x, int32_t& y) const
{
    x = MapAxis(x, Rect.X, Rect.W, SrcW, Columns);
    y = MapAxis(y, Rect.Y, Rect.H, SrcH, Rows);
}

void TFrameScaler::MapMotion(int32_t& dx, int32_t& dy)
{
    if (Rect.W <= 0 || Rect.H <= 0)
        return;
    const int64_t x = CarryX + int64_t{dx} * SrcW;
    const int64_t y = CarryY + int64_t{dy} * SrcH;
    dx = static_cast<int32_t>(x / Rect.W);
    dy = static_cast<int32_t>(y / Rect.H);
    CarryX = x - int64_t{dx} * Rect.W;
    CarryY = y - int64_t{dy} * Rect.H;
}

int32_t WindowScaleFor(int32_t usableW, int32_t usableH, int32_t frameW, int32_t frameH, int32_t srcW,
                       int32_t srcH)
{
    return usableW >= 2 * srcW + frameW && usableH >= 2 * srcH + frameH ? 2 : 1;
}
