// Pictures of the asset pack through the BMP reader: good pictures in every
// stored form come out as 0x00RRGGBB rows top to bottom; anything damaged is
// refused without a crash.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/Platform.h"

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A BMP with a 40-byte header. pixels: rows top to bottom, 0x00RRGGBB.
// bpp 24 or 32 stores the colours; bpp 8 stores indices into palette.
std::vector<uint8_t> MakeBmp(int32_t w, int32_t h, int bpp, const std::vector<uint32_t>& pixels, bool topDown = false,
                             const std::vector<uint32_t>& palette = {})
{
    const size_t rowBytes = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
    const size_t paletteBytes = palette.size() * 4;
    const size_t offset = 14 + 40 + paletteBytes;
    std::vector<uint8_t> b(offset + rowBytes * h, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(offset));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(w));
    Put32(b, 22, static_cast<uint32_t>(topDown ? -h : h));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint32_t>(bpp));
    Put32(b, 34, static_cast<uint32_t>(rowBytes * h));
    Put32(b, 46, static_cast<uint32_t>(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i)
        Put32(b, 54 + 4 * i, palette[i]);
    for (int32_t y = 0; y < h; ++y) {
        const int32_t stored = topDown ? y : h - 1 - y;
        uint8_t* row = b.data() + offset + rowBytes * stored;
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * w + x];
            if (bpp == 8) {
                row[x] = static_cast<uint8_t>(p);
            } else {
                uint8_t* px = row + x * (bpp / 8);
                px[0] = static_cast<uint8_t>(p);
                px[1] = static_cast<uint8_t>(p >> 8);
                px[2] = static_cast<uint8_t>(p >> 16);
                if (bpp == 32)
                    px[3] = 0xFF; // an alpha byte the game must not see
            }
        }
    }
    return b;
}

const std::vector<uint32_t> Picture = {
    0xFF0000, 0x00FF00, 0x0000FF, //
    0x123456, 0xFF00FF, 0x000000, //
};

TEST(DecodeBmp, GoodPicturesInEveryStoredForm)
{
    struct TCase {
        const char* Name;
        std::vector<uint8_t> File;
        std::vector<uint32_t> Expected;
    };
    const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    // clang-format off
    const TCase cases[] = {
        {"24-bit bottom-up, padded rows", MakeBmp(3, 2, 24, Picture), Picture},
        {"24-bit top-down", MakeBmp(3, 2, 24, Picture, true), Picture},
        {"32-bit with alpha bytes", MakeBmp(3, 2, 32, Picture), Picture},
        {"8-bit palette", MakeBmp(3, 2, 8, {1, 2, 3, 0, 3, 1}, false, palette),
         {0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0x0000FF, 0xFF0000}},
        {"one pixel", MakeBmp(1, 1, 24, {0xABCDEF}), {0xABCDEF}},
    };
    // clang-format on
    for (const TCase& c : cases) {
        TImage image;
        ASSERT_TRUE(DecodeBmp(c.File.data(), c.File.size(), image)) << c.Name;
        EXPECT_EQ(image.Width, c.Name == std::string("one pixel") ? 1 : 3) << c.Name;
        EXPECT_EQ(image.Pixels, c.Expected) << c.Name;
        EXPECT_EQ(image.Pixels.size(), static_cast<size_t>(image.Width) * image.Height) << c.Name;
    }
}

TEST(DecodeBmp, EveryTruncationIsRefused)
{
    const std::vector<uint8_t> good = MakeBmp(5, 4, 24, std::vector<uint32_t>(20, 0x808080));
    for (size_t len = 0; len < good.size(); ++len) {
        TImage image;
        EXPECT_FALSE(DecodeBmp(good.data(), len, image)) << "first " << len << " bytes";
    }
}

TEST(DecodeBmp, DamagedHeadersAndGarbageAreRefused)
{
    std::vector<std::pair<const char*, std::vector<uint8_t>>> cases;
    cases.emplace_back("empty", std::vector<uint8_t>{});
    cases.emplace_back("text", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
    auto notBm = MakeBmp(2, 2, 24, {1, 2, 3, 4});
    notBm[1] = 'X';
    cases.emplace_back("wrong magic", notBm);
    auto huge = MakeBmp(2, 2, 24, {1, 2, 3, 4});
    Put32(huge, 18, 100000);
    Put32(huge, 22, 100000);
    cases.emplace_back("giant size with no data", huge);
    auto negativeWidth = MakeBmp(2, 2, 24, {1, 2, 3, 4});
    Put32(negativeWidth, 18, static_cast<uint32_t>(-2));
    cases.emplace_back("negative width", negativeWidth);
    auto zero = MakeBmp(2, 2, 24, {1, 2, 3, 4});
    Put32(zero, 22, 0);
    cases.emplace_back("zero height", zero);
    auto oddDepth = MakeBmp(2, 2, 24, {1, 2, 3, 4});
    Put16(oddDepth, 28, 7);
    cases.emplace_back("seven bits per pixel", oddDepth);
    auto farOffset = MakeBmp(2, 2, 24, {1, 2, 3, 4});
    Put32(farOffset, 10, 0xFFFFFF00u);
    cases.emplace_back("pixel offset past the end", farOffset);
    auto badHeader = MakeBmp(2, 2, 24, {1, 2, 3, 4});
    Put32(badHeader, 14, 0xFFFFFFFFu);
    cases.emplace_back("header size nonsense", badHeader);
    auto badCompression = MakeBmp(2, 2, 24, {1, 2, 3, 4});
    Put32(badCompression, 30, 99);
    cases.emplace_back("unknown compression", badCompression);
    for (const auto& [name, file] : cases) {
        TImage image;
        EXPECT_FALSE(DecodeBmp(file.data(), file.size(), image)) << name;
    }
    TImage image;
    EXPECT_FALSE(DecodeBmp(nullptr, 100, image));

    // Random bytes, with and without a believable start, never crash.
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> junk(static_cast<size_t>(random() % 400));
        for (auto& b : junk)
            b = static_cast<uint8_t>(random());
        if (round % 2 && junk.size() > 30) {
            junk[0] = 'B';
            junk[1] = 'M';
            Put32(junk, 14, 40);
            Put32(junk, 18, random() % 40);
            Put32(junk, 22, random() % 40);
        }
        DecodeBmp(junk.data(), junk.size(), image);
    }
}

} // namespace
