#include "ScoreCodec.h"

#include <cstring>

namespace scores {

const char* const Alphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789";

namespace {

int SymbolValue(char c)
{
    if (c == '\0')
        return -1;
    const char* at = std::strchr(Alphabet, c);
    return at ? static_cast<int>(at - Alphabet) : -1;
}

bool HasControlBytes(const std::string& text)
{
    for (char c : text) {
        const auto b = static_cast<uint8_t>(c);
        if (b < 0x20 || b == 0x7F)
            return true;
    }
    return false;
}

// As the game writes a score: "0", or an optional minus and no leading zero.
bool ParseInt32(const std::string& text, int32_t& value)
{
    const bool negative = !text.empty() && text[0] == '-';
    const size_t first = negative ? 1 : 0;
    if (text.size() == first || text.size() - first > 10)
        return false;
    if (text[first] == '0' && (text.size() > first + 1 || negative))
        return false;
    int64_t v = 0;
    for (size_t i = first; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
    }
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

} // namespace

bool DecodeSymbols(const std::string& symbols, std::string& payload)
{
    payload.clear();
    if (symbols.size() > MaxEncodedLength)
        return false;
    const size_t totalBits = symbols.size() * 5;
    const size_t padBits = totalBits % 8;
    // The game only ever puts up to four zeros in front.
    if (padBits > 4)
        return false;
    uint32_t acc = 0;
    size_t accBits = 0;
    size_t skip = padBits;
    for (char c : symbols) {
        const int v = SymbolValue(c);
        if (v < 0)
            return false;
        for (int bit = 4; bit >= 0; --bit) {
            const uint32_t b = (static_cast<uint32_t>(v) >> bit) & 1;
            if (skip > 0) {
                if (b)
                    return false;
                --skip;
                continue;
            }
            acc = acc << 1 | b;
            if (++accBits == 8) {
                payload.push_back(static_cast<char>(acc));
                acc = 0;
                accBits = 0;
            }
        }
    }
    return true;
}

std::string EncodeSymbols(const std::string& payload)
{
    std::string bits;
    for (char c : payload)
        for (int bit = 7; bit >= 0; --bit)
            bits.push_back((static_cast<uint8_t>(c) >> bit) & 1 ? '1' : '0');
    bits.insert(0, (5 - bits.size() % 5) % 5, '0');
    std::string out;
    for (size_t i = 0; i < bits.size(); i += 5) {
        int v = 0;
        for (size_t k = 0; k < 5; ++k)
            v = v * 2 + (bits[i + k] == '1');
        out.push_back(Alphabet[v]);
    }
    return out;
}

TParseError ParseResult(const std::string& payload, TResult& result)
{
    static const char* const Keys[] = {"type=", "name=", "score=", "key=", "p=", "add=", "z="};
    constexpr size_t FieldCount = sizeof(Keys) / sizeof(Keys[0]);
    std::string values[FieldCount];
    size_t start = 0;
    for (size_t f = 0; f < FieldCount; ++f) {
        const size_t end = f + 1 < FieldCount ? payload.find('|', start) : payload.size();
        if (end == std::string::npos)
            return TParseError::Layout;
        const size_t keyLength = std::strlen(Keys[f]);
        if (payload.compare(start, keyLength, Keys[f]) != 0 || end - start < keyLength)
            return TParseError::Layout;
        values[f] = payload.substr(start + keyLength, end - start - keyLength);
        start = end + 1;
    }
    // A '|' inside the last field means a value held one: the fields no longer line up.
    if (values[6].find('|') != std::string::npos)
        return TParseError::Layout;
    if (values[0] != "0")
        return TParseError::Type;
    if (values[1].size() > MaxNameLength || HasControlBytes(values[1]))
        return TParseError::Name;
    int32_t score = 0;
    if (!ParseInt32(values[2], score))
        return TParseError::Score;
    if (values[3] != std::string(1, KeyLetter))
        return TParseError::Key;
    if (values[5].size() > MaxCountryLength || HasControlBytes(values[5]))
        return TParseError::Country;
    if (values[6].size() > 4 || values[6].find_first_not_of('0') != std::string::npos || payload.size() % 5 != 0)
        return TParseError::Padding;
    result.Name = values[1];
    result.Score = score;
    result.Token = values[4];
    result.Country = values[5];
    return TParseError::None;
}

const char* ParseErrorText(TParseError error)
{
    switch (error) {
    case TParseError::None: return "ok";
    case TParseError::Layout: return "the result's fields are not in order";
    case TParseError::Type: return "unknown table type";
    case TParseError::Name: return "the name is longer than 10 letters or not printable";
    case TParseError::Score: return "the score is not a whole number";
    case TParseError::Key: return "wrong key";
    case TParseError::Country: return "the country is too long or not printable";
    case TParseError::Padding: return "bad padding";
    }
    return "bad result";
}

std::string Cp1252ToUtf8(const std::string& text)
{
    // 0x80..0x9F; 0 marks the five unassigned bytes.
    // clang-format off
    static const uint16_t High[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    // clang-format on
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<uint8_t>(c);
        uint32_t cp = b;
        if (b >= 0x80 && b < 0xA0)
            cp = High[b - 0x80] ? High[b - 0x80] : 0xFFFD;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | cp >> 6));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | cp >> 12));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string HtmlEscape(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

} // namespace scores
