// The game's 8-bit texts turned into UTF-8 for the font library.
#include <gtest/gtest.h>

#include "platform/sdl/CodePage.h"

namespace {

struct TTextCase {
    std::string Cp1252;
    std::string Utf8;
};

TEST(CodePage, Windows1252TextBecomesUtf8)
{
    // clang-format off
    const TTextCase cases[] = {
        {"", ""},
        {"Game Over", "Game Over"},
        {"Please wait...", "Please wait..."},
        {"\x80", "\xE2\x82\xAC"},            // euro sign
        {"\x85", "\xE2\x80\xA6"},            // ellipsis
        {"\x91Hi\x92", "\xE2\x80\x98Hi\xE2\x80\x99"},
        {"\x96\x97", "\xE2\x80\x93\xE2\x80\x94"},
        {"\x99", "\xE2\x84\xA2"},            // trade mark
        {"\x8A\x9A\x9F", "\xC5\xA0\xC5\xA1\xC5\xB8"},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}, // unassigned
        {"\xA0\xA9\xB0", "\xC2\xA0\xC2\xA9\xC2\xB0"},                          // Latin-1 range
        {"\xC4\xD6\xDC\xDF\xE4\xF6\xFC\xFF", "\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xBF"},
        {std::string("ab\0cd", 5), "ab"},    // a zero byte ends the text
    };
    // clang-format on
    for (const TTextCase& c : cases)
        EXPECT_EQ(Cp1252ToUtf8(c.Cp1252), c.Utf8) << c.Cp1252;
}

TEST(CodePage, EveryByteHasACodePointAndOnlyTheHighControlsMove)
{
    // clang-format off
    const std::pair<uint8_t, uint32_t> moved[] = {
        {0x80, 0x20AC}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E}, {0x86, 0x2020}, {0x87, 0x2021},
        {0x88, 0x02C6}, {0x89, 0x2030}, {0x8B, 0x2039}, {0x8C, 0x0152}, {0x8E, 0x017D}, {0x93, 0x201C},
        {0x94, 0x201D}, {0x95, 0x2022}, {0x98, 0x02DC}, {0x9B, 0x203A}, {0x9C, 0x0153}, {0x9E, 0x017E},
    };
    // clang-format on
    for (const auto& [byte, cp] : moved)
        EXPECT_EQ(Cp1252ToCodePoint(byte), cp) << int(byte);
    for (int b = 0; b < 256; ++b) {
        if (b >= 0x80 && b <= 0x9F)
            continue;
        EXPECT_EQ(Cp1252ToCodePoint(static_cast<uint8_t>(b)), static_cast<uint32_t>(b));
    }
}

} // namespace
