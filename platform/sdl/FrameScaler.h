// Our own scaler for showing the 800 x 600 frame on a window surface of any
// size without a GPU: the picture fills the largest 4:3 area of the output,
// centred, with black bars beside or above and below it. Every output pixel
// shows the frame pixel under its centre (sharp pixels, no smoothing), so an
// integer factor (1x, 2x, ...) is a plain copy of each pixel into a k x k
// block. The same tables map a mouse position on the output back to the frame
// pixel it points at, so what the pointer hovers is what lights up.
//
// No per-pixel division at present time: the column and row tables are built
// once per output size with fixed-point steps; a frame is then one gather per
// distinct source row, and output rows that repeat a source row are copies of
// the row above.
#pragma once
#include <cstdint>
#include <vector>

// The part of the output the picture covers.
struct TPictureRect {
    int32_t X = 0, Y = 0, W = 0, H = 0;
    bool operator==(const TPictureRect&) const = default;
};

// The largest area of aspect srcW : srcH that fits outW x outH, centred
// (odd leftovers put the extra pixel on the right or at the bottom).
TPictureRect FitPicture(int32_t outW, int32_t outH, int32_t srcW, int32_t srcH);

class TFrameScaler {
public:
    // Prepares for a source of srcW x srcH shown on an output of outW x outH.
    // Cheap when nothing changed.
    void Resize(int32_t outW, int32_t outH, int32_t srcW, int32_t srcH);

    // Draws the source (srcPitch pixels from one row to the next) into the
    // picture rectangle of the output (outPitch pixels a row). The bars are
    // not touched: ClearBars paints them once per output.
    void Draw(const uint32_t* src, int32_t srcPitch, uint32_t* out, int32_t outPitch) const;
    void ClearBars(uint32_t* out, int32_t outPitch) const;

    // An output position (window pixels) as a frame position, as the
    // renderer's logical size maps it: inside the picture the frame pixel
    // shown there; outside it, the distance scaled and cut toward zero.
    void MapPoint(int32_t& x, int32_t& y) const;
    // Relative motion in output pixels as frame pixels; the fractions left
    // over are carried to the next motion, so slow moves are not lost.
    void MapMotion(int32_t& dx, int32_t& dy);

    const TPictureRect& Picture() const { return Rect; }
    int32_t OutWidth() const { return OutW; }
    int32_t OutHeight() const { return OutH; }
    // The whole-number factor of the picture, or 0 when it is not one.
    int32_t IntegerFactor() const { return Factor; }

private:
    int32_t MapAxis(int32_t v, int32_t origin, int32_t size, int32_t src, const std::vector<uint16_t>& table) const;

    int32_t OutW = 0, OutH = 0, SrcW = 0, SrcH = 0;
    int32_t Factor = 0;
    TPictureRect Rect;
    std::vector<uint16_t> Columns; // source column of each picture column
    std::vector<uint16_t> Rows;    // source row of each picture row
    int64_t CarryX = 0, CarryY = 0;
};

// How many times 800 x 600 the window is in window mode: 2 when a window of
// twice the frame plus its frame (caption and borders) fits the desktop's
// usable area, else 1.
int32_t WindowScaleFor(int32_t usableW, int32_t usableH, int32_t frameW, int32_t frameH, int32_t srcW,
                       int32_t srcH);
