#include "Art.h"

#include <algorithm>

cairo_surface_t* NewCanvas(int width, int height)
{
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
}

namespace {

// Reads a canvas pixel by pixel (premultiplied ARGB) into a picture, each
// pixel turned into its pack colour by `convert`.
template <typename Convert>
TPicture ReadCanvas(cairo_surface_t* canvas, Convert convert)
{
    cairo_surface_flush(canvas);
    TPicture p;
    p.Width = cairo_image_surface_get_width(canvas);
    p.Height = cairo_image_surface_get_height(canvas);
    p.Pixels.resize(size_t(p.Width) * p.Height);
    const unsigned char* data = cairo_image_surface_get_data(canvas);
    const int stride = cairo_image_surface_get_stride(canvas);
    for (int y = 0; y < p.Height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < p.Width; ++x)
            p.Pixels[size_t(y) * p.Width + x] = convert(row[x]);
    }
    return p;
}

} // namespace

TPicture Flatten(cairo_surface_t* canvas, uint32_t key, uint32_t matte)
{
    const uint32_t mr = (matte >> 16) & 0xFF, mg = (matte >> 8) & 0xFF, mb = matte & 0xFF;
    return ReadCanvas(canvas, [&](uint32_t px) {
        const uint32_t a = px >> 24;
        if (a < 96)
            return key;
        // premultiplied colour over the matte
        const uint32_t r = ((px >> 16) & 0xFF) + (mr * (255 - a)) / 255;
        const uint32_t g = ((px >> 8) & 0xFF) + (mg * (255 - a)) / 255;
        const uint32_t b = (px & 0xFF) + (mb * (255 - a)) / 255;
        uint32_t out = (std::min(r, 255u) << 16) | (std::min(g, 255u) << 8) | std::min(b, 255u);
        if (out == key) // never let a drawn pixel turn transparent by chance
            out ^= 0x000100;
        return out;
    });
}

TPicture FlattenOpaque(cairo_surface_t* canvas)
{
    // premultiplied over black: the colour channels as they are
    return ReadCanvas(canvas, [](uint32_t px) { return px & 0x00FFFFFFu; });
}

void DrawLabel(cairo_t* cr, const std::string& text, double x, double y, double size, double r, double g,
               double b, bool bold)
{
    cairo_save(cr);
    cairo_select_font_face(cr, "Play", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

double LabelWidth(cairo_t* cr, const std::string& text, double size, bool bold)
{
    cairo_save(cr);
    cairo_select_font_face(cr, "Play", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_restore(cr);
    return e.x_advance;
}

static void Put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(x & 0xFF);
    v.push_back(x >> 8);
}
static void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back((x >> (8 * i)) & 0xFF);
}

std::vector<uint8_t> EncodeBmp24(const TPicture& p)
{
    const uint32_t rowBytes = (uint32_t(p.Width) * 3 + 3) & ~3u;
    const uint32_t imageSize = rowBytes * uint32_t(p.Height);
    std::vector<uint8_t> v;
    v.reserve(54 + imageSize);
    v.push_back('B');
    v.push_back('M');
    Put32(v, 54 + imageSize);
    Put32(v, 0);
    Put32(v, 54);
    Put32(v, 40);
    Put32(v, uint32_t(p.Width));
    Put32(v, uint32_t(p.Height)); // bottom-up rows
    Put16(v, 1);
    Put16(v, 24);
    Put32(v, 0);
    Put32(v, imageSize);
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, 0);
    Put32(v, 0);
    for (int y = p.Height - 1; y >= 0; --y) {
        for (int x = 0; x < p.Width; ++x) {
            const uint32_t c = p.Pixels[size_t(y) * p.Width + x];
            v.push_back(c & 0xFF);
            v.push_back((c >> 8) & 0xFF);
            v.push_back((c >> 16) & 0xFF);
        }
        for (uint32_t pad = uint32_t(p.Width) * 3; pad < rowBytes; ++pad)
            v.push_back(0);
    }
    return v;
}
