// A contact sheet of an asset pack: every picture on a checkerboard, labelled
// with its entry number and size, so the art can be looked over in one image.
//   zephyrion-contact-sheet <pack> <sheet.png> [first [last [box width]]]
// The transparent colour (magenta; black in the near-layer tiles 3..7) shows
// as the checkerboard. Large pictures are scaled down to fit their box.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Art.h"
#include "graphics/PackFile.h"

using packfile::TEntry;

namespace {

// The picture as a Cairo image with its transparent colour made see-through.
cairo_surface_t* ToSurface(const TEntry& e)
{
    const packfile::TPackPicture& p = e.Picture;
    cairo_surface_t* s = NewCanvas(p.Width, p.Height);
    cairo_surface_flush(s);
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    const uint32_t key = (e.Number >= 3 && e.Number <= 7) ? 0x000000 : Magenta;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const uint32_t c = p.Pixels[size_t(y) * size_t(p.Width) + size_t(x)];
            data[size_t(y) * size_t(stride) + size_t(x)] = c == key ? 0 : (0xFF000000u | c);
        }
    cairo_surface_mark_dirty(s);
    return s;
}

void Checkerboard(cairo_t* cr, double x, double y, double w, double h)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    const int cell = 8;
    for (int j = 0; j * cell < h; ++j)
        for (int i = 0; i * cell < w; ++i) {
            const bool light = (i + j) % 2 == 0;
            cairo_set_source_rgb(cr, light ? 0.42 : 0.30, light ? 0.42 : 0.30, light ? 0.45 : 0.33);
            cairo_rectangle(cr, x + i * cell, y + j * cell, cell, cell);
            cairo_fill(cr);
        }
    cairo_restore(cr);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <pack> <sheet.png> [first [last [box width]]]\n", argv[0]);
        return 2;
    }
    const int first = argc > 3 ? std::clamp(std::atoi(argv[3]), 0, 255) : 0;
    const int last = argc > 4 ? std::clamp(std::atoi(argv[4]), first, 255) : 101;
    const int boxW = argc > 5 ? std::clamp(std::atoi(argv[5]), 32, 2000) : 200;
    const int boxH = boxW * 3 / 4;

    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const std::vector<uint8_t> pack((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bool damaged = false;
    const std::vector<TEntry> entries = packfile::ReadPack(pack, first, last, damaged);
    if (entries.empty()) {
        std::fprintf(stderr, "no pictures in %s\n", argv[1]);
        return 1;
    }

    const int pad = 12, labelH = 22;
    const int cellW = boxW + pad, cellH = boxH + labelH + pad;
    const int columns = std::max(1, std::min(int(entries.size()), 1700 / cellW));
    const int rows = (int(entries.size()) + columns - 1) / columns;
    const int sheetW = columns * cellW + pad, sheetH = rows * cellH + pad;
    cairo_surface_t* sheet = NewCanvas(sheetW, sheetH);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.11, 0.11, 0.13);
    cairo_paint(cr);

    for (size_t k = 0; k < entries.size(); ++k) {
        const TEntry& e = entries[k];
        const double cx = pad + double(k % size_t(columns)) * cellW;
        const double cy = pad + double(k / size_t(columns)) * cellH;
        std::string caption = std::to_string(e.Number);
        if (e.Error.empty())
            caption += "   " + std::to_string(e.Picture.Width) + " x " + std::to_string(e.Picture.Height);
        DrawLabel(cr, caption, cx, cy + 15, 14, 0.85, 0.95, 0.85);
        if (!e.Error.empty()) {
            DrawLabel(cr, e.Error, cx, cy + labelH + 20, 12, 1.0, 0.35, 0.35, false);
            continue;
        }
        const packfile::TPackPicture& p = e.Picture;
        const double scale = std::min({1.0, double(boxW) / p.Width, double(boxH) / p.Height});
        const double w = p.Width * scale, h = p.Height * scale;
        const double px = cx, py = cy + labelH;
        Checkerboard(cr, px, py, w, h);
        cairo_surface_t* image = ToSurface(e);
        cairo_save(cr);
        cairo_translate(cr, px, py);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), scale < 1.0 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(image);
    }
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(sheet, argv[2]);
    cairo_surface_destroy(sheet);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[2], cairo_status_to_string(status));
        return 1;
    }
    return damaged ? 1 : 0;
}
