// The asset pack's format, read back: a plain run of entries, each a 4-byte
// little-endian length and then that many bytes of a BMP image. Shared by
// everything that looks into a built pack: the art tests and the contact
// sheet. (The game's loader reads the same format in place, entry by entry,
// and decodes with the platform's BMP reader.)
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace packfile {

// 0x00RRGGBB pixels, rows top to bottom.
struct TPackPicture {
    int Width = 0, Height = 0;
    int Bits = 0; // bits per pixel as stored
    std::vector<uint32_t> Pixels;
    uint32_t At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
};

struct TEntry {
    int Number = 0;
    TPackPicture Picture;
    std::string Error; // empty when the picture was read
};

inline uint32_t Le32(const std::vector<uint8_t>& v, size_t at)
{
    return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}
inline uint16_t Le16(const std::vector<uint8_t>& v, size_t at) { return uint16_t(v[at] | v[at + 1] << 8); }

// Reads an uncompressed BMP of 8, 24 or 32 bits per pixel. Returns an error text, or "" on success.
inline std::string DecodeBmp(const std::vector<uint8_t>& v, TPackPicture& out)
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
    out.Bits = bits;
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
inline std::vector<TEntry> ReadPack(const std::vector<uint8_t>& pack, int first, int last, bool& damaged)
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

} // namespace packfile
