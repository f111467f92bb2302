// The score server's reading of a submitted result: the 32-symbol text back
// to the plain payload, the payload's fields checked one by one, and the
// helpers that put stored texts safely on a web page.
#pragma once
#include <cstdint>
#include <string>

namespace scores {

// Longest "inf" text taken at all; a real result needs well under 600 symbols.
constexpr size_t MaxEncodedLength = 1024;
constexpr size_t MaxNameLength = 10;
constexpr size_t MaxCountryLength = 255;
constexpr char KeyLetter = 'Z';

// The game's symbols: A..Y without I and O, then 1..9.
extern const char* const Alphabet;

// Exact inverse of the game's encoding (bytes to bits, most significant bit
// first, zeros in front up to a multiple of 5, five bits per symbol). False
// for a symbol outside the alphabet, a set bit in the front padding, or a
// text longer than MaxEncodedLength.
bool DecodeSymbols(const std::string& symbols, std::string& payload);

// The game's encoding, for the tests and the load check.
std::string EncodeSymbols(const std::string& payload);

struct TResult {
    std::string Name; // Windows-1252, at most 10 bytes, may be empty
    int32_t Score = 0;
    std::string Token;   // the "p" field: the one-time value of the version answer
    std::string Country; // Windows-1252
};

// clang-format off
enum class TParseError {
    None,
    Layout,   // not the seven fields type, name, score, key, p, add, z in order
    Type,     // type other than 0
    Name,     // too long or holds control bytes
    Score,    // not a signed 32-bit decimal integer as the game writes it
    Key,      // not the game's key letter
    Country,  // too long or holds control bytes
    Padding,  // z holds more than the "0" padding
};
// clang-format on

// Splits "type=0|name=..|score=..|key=Z|p=..|add=..|z=" followed by up to
// four "0" of padding.
TParseError ParseResult(const std::string& payload, TResult& result);
const char* ParseErrorText(TParseError error);

// Windows-1252 bytes to UTF-8; the five unassigned bytes become U+FFFD.
std::string Cp1252ToUtf8(const std::string& text);
// &, <, >, " and ' as character references.
std::string HtmlEscape(const std::string& utf8);

} // namespace scores
