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

namespace {

struct TEntry {
    int Number = 0;
    TPicture Picture;
    std::string Error;  // empty when the picture was read
};

uint32_t Le32(const std::vector<uint8_t>& v, size_t at)
{
    return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& v, size_t at) { return uint16_t(v[at] | v[at + 1] << 8); }

// Reads an uncompressed BMP of 8, 24 or 32 bits per pixel. Returns an error text, or "" on success.
std::string DecodeBmp(const std::vector<uint8_t>& v, TPicture& out)
{
    if (v.size() < 54 || v[0] != 'B' || v[1] != 'M')
        return "not a BMP image";
    const uint32_t dataAt = Le32(v, 10), headerSize = Le32(v, 14);
    if (headerSize < 40 || 14 + size_t(headerSize) > v.size())
        return "unsupported BMP header";
    const int32_t width = int32_t(Le32(v, 18)), rawHeight = int32_t(Le32(v, 22));
    const uint16_t bits = Le16(v, 28);
    const uint32_t compression = Le32(v, 30);
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        return "bad picture size";
    if (!(compression == 0 || (compression == 3 && bits == 32)) || !(bits == 8 || bits == 24 || bits == 32))
        return "unsupported BMP format (" + std::to_string(bits) + " bits, compression " +
               std::to_string(compression) + ")";
    const size_t rowBytes = (size_t(width) * bits / 8 + 3) & ~size_t(3);
    if (dataAt > v.size() || rowBytes * size_t(height) > v.size() - dataAt)
        return "pixel data cut short";
    std::vector<uint32_t> palette;
    if (bits == 8) {
        uint32_t colours = Le32(v, 46);
        if (colours == 0 || colours > 256)
            colours = 256;
        const size_t at = 14 + headerSize;
        if (at + size_t(colours) * 4 > dataAt)
            return "palette cut short";
        for (uint32_t i = 0; i < colours; ++i)
            palette.push_back(Le32(v, at + i * 4) & 0x00FFFFFF);
    }
    out.Width = width;
    out.Height = int(height);
    out.Pixels.assign(size_t(width) * size_t(height), 0);
    for (int64_t row = 0; row < height; ++row) {
        const size_t src = dataAt + rowBytes * size_t(row);
        const int64_t y = topDown ? row : height - 1 - row;
        for (int x = 0; x < width; ++x) {
            uint32_t c = 0;
            if (bits == 8) {
                const uint8_t index = v[src + size_t(x)];
                c = index < palette.size() ? palette[index] : 0;
            } else {
                const size_t p = src + size_t(x) * (bits / 8);
                c = uint32_t(v[p]) | uint32_t(v[p + 1]) << 8 | uint32_t(v[p + 2]) << 16;
            }
            out.Pixels[size_t(y) * size_t(width) + size_t(x)] = c;
        }
    }
    return "";
}

// Reads the pack's entries first..last. A damaged pack ends the list with an error entry.
std::vector<TEntry> ReadPack(const std::vector<uint8_t>& pack, int first, int last, bool& damaged)
{
    std::vector<TEntry> entries;
    size_t at = 0;
    damaged = false;
    for (int n = 0; n <= last; ++n) {
        if (at + 4 > pack.size()) {
            std::fprintf(stderr, "entry %d: the pack ends before it\n", n);
            damaged = true;
            break;
        }
        const uint32_t length = Le32(pack, at);
        at += 4;
        if (length > pack.size() - at) {
            std::fprintf(stderr, "entry %d: the pack ends inside its image\n", n);
            damaged = true;
            break;
        }
        if (n >= first) {
            TEntry e;
            e.Number = n;
            const std::vector<uint8_t> bmp(pack.begin() + long(at), pack.begin() + long(at + length));
            e.Error = DecodeBmp(bmp, e.Picture);
            if (!e.Error.empty()) {
                std::fprintf(stderr, "entry %d: %s\n", n, e.Error.c_str());
                damaged = true;
            }
            entries.push_back(std::move(e));
        }
        at += length;
    }
    return entries;
}

// The picture as a Cairo image with its transparent colour made see-through.
cairo_surface_t* ToSurface(const TEntry& e)
{
    const TPicture& p = e.Picture;
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
    const std::vector<TEntry> entries = ReadPack(pack, first, last, damaged);
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
        const TPicture& p = e.Picture;
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
