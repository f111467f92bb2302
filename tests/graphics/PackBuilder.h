// Small asset packs written by the tests themselves: BMP images from pixel
// lists, and packs made of length-prefixed entries.
#pragma once
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <unistd.h>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace packtest {

inline void PutLE32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

inline void PutLE16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

// A 24-bit bottom-up BMP file image; pixel(x, y) gives 0x00RRGGBB, y from the top.
inline std::vector<uint8_t> MakeBmp(int32_t w, int32_t h, const std::function<uint32_t(int32_t, int32_t)>& pixel)
{
    const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * uint32_t(h);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLE32(out, 54 + dataSize);
    PutLE32(out, 0);
    PutLE32(out, 54);
    PutLE32(out, 40);
    PutLE32(out, uint32_t(w));
    PutLE32(out, uint32_t(h));
    PutLE16(out, 1);
    PutLE16(out, 24);
    PutLE32(out, 0);
    PutLE32(out, dataSize);
    PutLE32(out, 2835);
    PutLE32(out, 2835);
    PutLE32(out, 0);
    PutLE32(out, 0);
    for (int32_t row = h - 1; row >= 0; --row) {
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t c = pixel(x, row);
            out.push_back(uint8_t(c));
            out.push_back(uint8_t(c >> 8));
            out.push_back(uint8_t(c >> 16));
        }
        for (uint32_t pad = uint32_t(w) * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

inline std::vector<uint8_t> SolidBmp(int32_t w, int32_t h, uint32_t rgb)
{
    return MakeBmp(w, h, [rgb](int32_t, int32_t) { return rgb; });
}

// Entries one after another, each with its 32-bit little-endian length.
inline std::vector<uint8_t> MakePack(const std::vector<std::vector<uint8_t>>& entries)
{
    std::vector<uint8_t> out;
    for (const auto& e : entries) {
        PutLE32(out, uint32_t(e.size()));
        out.insert(out.end(), e.begin(), e.end());
    }
    return out;
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A fresh folder of its own under the system's temporary folder.
inline std::filesystem::path MakeTempFolder(const std::string& name)
{
    auto base = std::filesystem::temp_directory_path() /
                ("zephyrion-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(base);
    std::filesystem::create_directories(base);
    return base;
}

} // namespace packtest
