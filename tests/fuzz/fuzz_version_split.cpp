// Any version answer and any player texts: the fifth field is found as the
// game has always found it, and the payload built from it reaches the score
// server's reader exactly as it was sent.
#include <cstdlib>
#include <string>
#include <vector>

#include "ScoreCodec.h"
#include "services/WebScores.h"

namespace {

std::string FifthFieldByHand(const std::string& r)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t bar = r.find('|', start);
        if (bar == std::string::npos)
            break;
        fields.push_back(r.substr(start, bar - start));
        start = bar + 1;
    }
    return fields.size() >= 5 ? fields[4] : std::string();
}

bool Clean(const std::string& s, size_t limit)
{
    if (s.size() > limit)
        return false;
    for (char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '|')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Layout: 1 byte name length, 1 byte country length, 4 bytes score, the
    // name, the country, then the version answer.
    if (size < 6)
        return 0;
    const std::string all(reinterpret_cast<const char*>(data), size);
    size_t nameLength = data[0] % 16, countryLength = data[1];
    const int32_t score = static_cast<int32_t>(uint32_t(data[2]) | uint32_t(data[3]) << 8 |
                                               uint32_t(data[4]) << 16 | uint32_t(data[5]) << 24);
    size_t at = 6;
    const std::string name = all.substr(at, nameLength);
    at = std::min(size, at + nameLength);
    const std::string country = all.substr(at, countryLength);
    at = std::min(size, at + countryLength);
    const std::string response = all.substr(at);

    const std::string token = VersionToken(response);
    if (token != FifthFieldByHand(response))
        std::abort();
    const std::string payload = BuildPayload(name, score, token, country);
    if (payload.size() % 5 != 0)
        std::abort();
    const std::string symbols = BitsToBase32(BytesToBits(payload));
    if (symbols.size() != payload.size() / 5 * 8)
        std::abort();
    std::string decoded;
    if (symbols.size() <= scores::MaxEncodedLength) {
        if (!scores::DecodeSymbols(symbols, decoded) || decoded != payload)
            std::abort();
        scores::TResult result;
        const scores::TParseError error = scores::ParseResult(decoded, result);
        if (Clean(name, scores::MaxNameLength) && Clean(country, scores::MaxCountryLength) && Clean(token, 1000)) {
            if (error != scores::TParseError::None || result.Name != name || result.Score != score ||
                result.Token != token || result.Country != country)
                std::abort();
        }
    }
    return 0;
}
