// Our own scaler for the window surface: where the picture lands, the exact
// pixels it writes, the black bars and the mouse mapping back to the frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/sdl/FrameScaler.h"

namespace {

constexpr int32_t FrameW = 800, FrameH = 600;

// A frame where every pixel says where it came from.
std::vector<uint32_t> CodedFrame()
{
    std::vector<uint32_t> f(FrameW * FrameH);
    for (int32_t y = 0; y < FrameH; ++y)
        for (int32_t x = 0; x < FrameW; ++x)
            f[y * FrameW + x] = (uint32_t(y) << 12) | uint32_t(x);
    return f;
}

constexpr uint32_t Untouched = 0xDEADBEEF;

struct TOutput {
    int32_t W, H, Pitch;
    std::vector<uint32_t> Pixels;
    TOutput(int32_t w, int32_t h, int32_t pad = 0) : W(w), H(h), Pitch(w + pad), Pixels(size_t(h) * (w + pad), Untouched) {}
    uint32_t At(int32_t x, int32_t y) const { return Pixels[size_t(y) * Pitch + x]; }
};

TEST(FrameScaler, PictureIsTheLargestCentredFourByThreeArea)
{
    struct {
        int32_t W, H;
        TPictureRect Expected;
    } cases[] = {
        {800, 600, {0, 0, 800, 600}},
        {1600, 1200, {0, 0, 1600, 1200}},
        {1024, 768, {0, 0, 1024, 768}},
        {1366, 768, {171, 0, 1024, 768}}, // wide: bars left and right, the odd pixel on the right
        {1280, 1024, {0, 32, 1280, 960}}, // tall: bars above and below
        {3840, 2160, {480, 0, 2880, 2160}},
        {1920, 1080, {240, 0, 1440, 1080}},
        {2560, 1440, {320, 0, 1920, 1440}},
        {801, 601, {0, 0, 801, 600}}, // 801 * 3 / 4 = 600.75: cut down, bar of one row below
        {640, 480, {0, 0, 640, 480}}, // smaller than the frame: scaled down
        {0, 0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitPicture(c.W, c.H, FrameW, FrameH), c.Expected) << c.W << " x " << c.H;
}

TEST(FrameScaler, IntegerFactorsAreExactCopiesOfEveryPixel)
{
    const std::vector<uint32_t> frame = CodedFrame();
    for (const int32_t k : {1, 2, 3}) {
        TOutput out(FrameW * k, FrameH * k, 7); // a pitch wider than the row, as surfaces may have
        TFrameScaler scaler;
        scaler.Resize(out.W, out.H, FrameW, FrameH);
        EXPECT_EQ(scaler.IntegerFactor(), k);
        scaler.Draw(frame.data(), FrameW, out.Pixels.data(), out.Pitch);
        int32_t wrong = 0;
        for (int32_t y = 0; y < out.H; ++y)
            for (int32_t x = 0; x < out.W; ++x)
                wrong += out.At(x, y) != frame[(y / k) * FrameW + x / k];
        EXPECT_EQ(wrong, 0) << k << "x";
        // The padding past the row is never written.
        EXPECT_EQ(out.At(out.W, 0), Untouched);
        EXPECT_EQ(out.At(out.W + 6, out.H - 1), Untouched);
    }
}

TEST(FrameScaler, OddDesktopsGetTheFrameEvenlyAndBlackBarsBeside)
{
    const std::vector<uint32_t> frame = CodedFrame();
    for (const auto& [w, h] : {std::pair{1366, 768}, {1280, 1024}, {3840, 2160}, {1920, 1080}, {1024, 768}}) {
        TOutput out(w, h);
        TFrameScaler scaler;
        scaler.Resize(w, h, FrameW, FrameH);
        scaler.ClearBars(out.Pixels.data(), out.Pitch);
        scaler.Draw(frame.data(), FrameW, out.Pixels.data(), out.Pitch);
        const TPictureRect p = scaler.Picture();
        std::vector<int32_t> columnUses(FrameW), rowUses(FrameH);
        int32_t barsWrong = 0, pictureWrong = 0;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t v = out.At(x, y);
                const bool inside = x >= p.X && x < p.X + p.W && y >= p.Y && y < p.Y + p.H;
                if (!inside) {
                    barsWrong += v != 0;
                    continue;
                }
                const int32_t sx = int32_t(v & 0xFFF), sy = int32_t(v >> 12);
                // Every output pixel shows the frame pixel under its centre.
                const double cx = (x - p.X + 0.5) * FrameW / p.W, cy = (y - p.Y + 0.5) * FrameH / p.H;
                pictureWrong += !(sx <= cx && cx <= sx + 1 && sy <= cy && cy <= sy + 1);
                if (y == p.Y)
                    ++columnUses[sx];
                if (x == p.X)
                    ++rowUses[sy];
            }
        EXPECT_EQ(barsWrong, 0) << w << " x " << h;
        EXPECT_EQ(pictureWrong, 0) << w << " x " << h;
        // Every frame column and row is shown, none more than its share.
        const int32_t maxCol = (p.W + FrameW - 1) / FrameW, maxRow = (p.H + FrameH - 1) / FrameH;
        for (int32_t x = 0; x < FrameW; ++x)
            ASSERT_TRUE(columnUses[x] >= 1 && columnUses[x] <= maxCol) << w << " x " << h << " column " << x;
        for (int32_t y = 0; y < FrameH; ++y)
            ASSERT_TRUE(rowUses[y] >= 1 && rowUses[y] <= maxRow) << w << " x " << h << " row " << y;
        // The first and last pixels of the picture are the frame's corners.
        EXPECT_EQ(out.At(p.X, p.Y), frame[0]);
        EXPECT_EQ(out.At(p.X + p.W - 1, p.Y + p.H - 1), frame[FrameW * FrameH - 1]);
    }
}

TEST(FrameScaler, DrawingLeavesTheBarsAlone)
{
    // The bars are painted once per surface; a frame does not touch them.
    const std::vector<uint32_t> frame = CodedFrame();
    TOutput out(1366, 768);
    TFrameScaler scaler;
    scaler.Resize(out.W, out.H, FrameW, FrameH);
    scaler.Draw(frame.data(), FrameW, out.Pixels.data(), out.Pitch);
    EXPECT_EQ(out.At(0, 0), Untouched);
    EXPECT_EQ(out.At(170, 400), Untouched);
    EXPECT_EQ(out.At(1195, 400), Untouched);
    EXPECT_NE(out.At(171, 400), Untouched);
    EXPECT_NE(out.At(1194, 400), Untouched);
}

TEST(FrameScaler, MouseLandsOnThePixelItHovers)
{
    // Round trip: for every output pixel of the picture, the mapped mouse
    // position is the frame pixel drawn there; every frame pixel is reachable.
    const std::vector<uint32_t> frame = CodedFrame();
    for (const auto& [w, h] : {std::pair{800, 600}, {1600, 1200}, {1366, 768}, {1280, 1024}, {3840, 2160}, {1024, 768}}) {
        TOutput out(w, h);
        TFrameScaler scaler;
        scaler.Resize(w, h, FrameW, FrameH);
        scaler.Draw(frame.data(), FrameW, out.Pixels.data(), out.Pitch);
        const TPictureRect p = scaler.Picture();
        int32_t wrong = 0;
        std::vector<bool> reachedX(FrameW), reachedY(FrameH);
        for (int32_t y = p.Y; y < p.Y + p.H; y += 7)
            for (int32_t x = p.X; x < p.X + p.W; ++x) {
                int32_t mx = x, my = y;
                scaler.MapPoint(mx, my);
                const uint32_t shown = out.At(x, y);
                wrong += mx != int32_t(shown & 0xFFF) || my != int32_t(shown >> 12);
                reachedX[mx] = true;
            }
        for (int32_t y = p.Y; y < p.Y + p.H; ++y) {
            int32_t mx = p.X, my = y;
            scaler.MapPoint(mx, my);
            reachedY[my] = true;
        }
        EXPECT_EQ(wrong, 0) << w << " x " << h;
        EXPECT_EQ(std::count(reachedX.begin(), reachedX.end(), false), 0) << w << " x " << h;
        EXPECT_EQ(std::count(reachedY.begin(), reachedY.end(), false), 0) << w << " x " << h;
        // The centre of the screen is the centre of the frame.
        int32_t cx = w / 2, cy = h / 2;
        scaler.MapPoint(cx, cy);
        EXPECT_NEAR(cx, 400, 1) << w << " x " << h;
        EXPECT_NEAR(cy, 300, 1) << w << " x " << h;
    }
}

TEST(FrameScaler, MouseInTheBarsMapsAsTheRendererDoes)
{
    // Outside the picture: the distance from its corner, scaled and cut
    // toward zero, as SDL's logical size gives it.
    TFrameScaler scaler;
    scaler.Resize(1366, 768, FrameW, FrameH); // picture at x 171, scale 1.28
    const struct {
        int32_t X, Y, MapX, MapY;
    } cases[] = {{0, 0, -133, 0}, {170, 767, 0, 599}, {171, 0, 0, 0}, {1194, 767, 799, 599}, {1195, 10, 800, 8}, {1365, 10, 932, 8}};
    for (const auto& c : cases) {
        int32_t x = c.X, y = c.Y;
        scaler.MapPoint(x, y);
        EXPECT_EQ(x, c.MapX) << c.X << "," << c.Y;
        EXPECT_EQ(y, c.MapY) << c.X << "," << c.Y;
    }
}

TEST(FrameScaler, SlowMotionIsCarriedNotLost)
{
    // At 1.28 output pixels a frame pixel, 1-pixel moves add up.
    TFrameScaler scaler;
    scaler.Resize(1366, 768, FrameW, FrameH);
    int32_t sumX = 0, sumY = 0;
    for (int i = 0; i < 128; ++i) {
        int32_t dx = 1, dy = -1;
        scaler.MapMotion(dx, dy);
        sumX += dx;
        sumY += dy;
    }
    EXPECT_EQ(sumX, 100);
    EXPECT_EQ(sumY, -100);
    // At 2x, as a 1600 x 1200 window: half the distance.
    scaler.Resize(1600, 1200, FrameW, FrameH);
    int32_t dx = 10, dy = 7;
    scaler.MapMotion(dx, dy);
    EXPECT_EQ(dx, 5);
    EXPECT_EQ(dy, 3);
    dx = 0, dy = 1;
    scaler.MapMotion(dx, dy);
    EXPECT_EQ(dy, 1); // 7 + 1 = 8 output pixels are 4 frame pixels
}

TEST(FrameScaler, TheDoubleWindowOnlyWhereItFitsWithItsFrame)
{
    // clang-format off
    const struct {
        int32_t W, H, FrameW, FrameH, Scale;
    } cases[] = {
        {2560, 1440, 8, 30, 2}, {3840, 2160, 8, 30, 2}, {1920, 1440, 8, 30, 2}, {2560, 1440, 16, 40, 2},
        {1920, 1200, 8, 30, 1}, {1600, 1200, 0, 0, 2}, {1600, 1200, 2, 0, 1}, {1920, 1080, 8, 30, 1},
        {1366, 768, 8, 30, 1}, {2560, 1229, 8, 30, 1},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(WindowScaleFor(c.W, c.H, c.FrameW, c.FrameH, FrameW, FrameH), c.Scale) << c.W << " x " << c.H;
}

} // namespace
