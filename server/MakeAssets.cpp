// Build step: writes the source that carries the pages' files into the
// server program: the game's title art (the name plate of its menus, taken
// from the asset pack, its transparent colour made transparent) as PNG, and
// the Play face the game writes with.
//   zephyrion-scores-assets <pack> <font.ttf> <out.cpp>
#include <cairo.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/PackFile.h"

namespace {

constexpr int TitleEntry = 89;
constexpr uint32_t Magenta = 0x00FF00FF; // the pack's transparent colour

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

bool ReadFile(const char* path, std::vector<unsigned char>& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !out.empty();
}

void WriteArray(std::FILE* f, const char* name, const std::vector<unsigned char>& bytes)
{
    std::fprintf(f, "const unsigned char %s[%zu] = {", name, bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        std::fprintf(f, "%s%u,", i % 24 == 0 ? "\n" : "", bytes[i]);
    std::fprintf(f, "\n};\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <pack> <font.ttf> <out.cpp>\n", argv[0]);
        return 2;
    }
    std::vector<unsigned char> raw, font;
    if (!ReadFile(argv[1], raw) || !ReadFile(argv[2], font)) {
        std::fprintf(stderr, "cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    bool damaged = false;
    const std::vector<uint8_t> pack(raw.begin(), raw.end());
    const auto entries = packfile::ReadPack(pack, TitleEntry, TitleEntry, damaged);
    if (damaged || entries.size() != 1) {
        std::fprintf(stderr, "no title art in %s\n", argv[1]);
        return 1;
    }
    const packfile::TPackPicture& title = entries[0].Picture;
    cairo_surface_t* canvas = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, title.Width, title.Height);
    unsigned char* data = cairo_image_surface_get_data(canvas);
    const int stride = cairo_image_surface_get_stride(canvas);
    for (int y = 0; y < title.Height; ++y)
        for (int x = 0; x < title.Width; ++x) {
            const uint32_t p = title.Pixels[size_t(y) * size_t(title.Width) + size_t(x)] & 0xFFFFFF;
            reinterpret_cast<uint32_t*>(data + y * stride)[x] = p == Magenta ? 0 : (0xFF000000u | p);
        }
    cairo_surface_mark_dirty(canvas);
    std::vector<unsigned char> png;
    const cairo_status_t status = cairo_surface_write_to_png_stream(canvas, &Append, &png);
    cairo_surface_destroy(canvas);
    if (status != CAIRO_STATUS_SUCCESS)
        return 1;

    std::FILE* f = std::fopen(argv[3], "w");
    if (!f)
        return 1;
    std::fprintf(f, "// Made by zephyrion-scores-assets; do not edit.\n#include \"Assets.h\"\nnamespace {\n");
    WriteArray(f, "Title", png);
    WriteArray(f, "Font", font);
    std::fprintf(f, "}\nnamespace scores {\n"
                    "TAsset TitleArtPng() { return {Title, sizeof(Title)}; }\n"
                    "TAsset PlayFont() { return {Font, sizeof(Font)}; }\n"
                    "// The title art's size, for the page's image.\n"
                    "int TitleArtWidth() { return %d; }\nint TitleArtHeight() { return %d; }\n}\n",
                 title.Width, title.Height);
    return std::fclose(f) == 0 ? 0 : 1;
}
