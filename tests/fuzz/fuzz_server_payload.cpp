// Whatever arrives in a submission: the score server's reader never crashes,
// accepts only texts the game's encoding produces, and never lets markup
// through to the world page.
#include <cstdlib>
#include <string>

#include "ScoreCodec.h"
#include "Sessions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    // As the "inf" text: a text that decodes is exactly the game's encoding of what it decodes to.
    std::string payload;
    if (scores::DecodeSymbols(input, payload) && scores::EncodeSymbols(payload) != input)
        std::abort();

    // As a decoded payload: an accepted one is rebuilt byte for byte from its fields.
    scores::TResult result;
    if (scores::ParseResult(input, result) == scores::TParseError::None) {
        if (result.Name.size() > scores::MaxNameLength || result.Country.size() > scores::MaxCountryLength)
            std::abort();
        std::string rebuilt = "type=0|name=" + result.Name + "|score=" + std::to_string(result.Score) +
                              "|key=Z|p=" + result.Token + "|add=" + result.Country + "|z=";
        while (rebuilt.size() % 5)
            rebuilt.push_back('0');
        if (rebuilt != input)
            std::abort();
    }

    // As a stored name: the page text holds no markup and is valid UTF-8.
    const std::string html = scores::HtmlEscape(scores::Cp1252ToUtf8(input));
    for (size_t i = 0; i < html.size(); ++i) {
        const auto b = static_cast<unsigned char>(html[i]);
        if (b == '<' || b == '>' || b == '"' || b == '\'')
            std::abort();
        if (b >= 0x80) {
            // Two-byte sequences for Latin letters, three for the rest of the code page.
            const size_t more = b >= 0xE0 ? 2 : 1;
            if (b < 0xC2 || b >= 0xF0 || i + more >= html.size())
                std::abort();
            for (size_t k = 1; k <= more; ++k)
                if ((static_cast<unsigned char>(html[i + k]) & 0xC0) != 0x80)
                    std::abort();
            i += more;
        }
    }

    // As a Cookie header.
    (void)scores::CookieValue(input, "zsid");
    return 0;
}
