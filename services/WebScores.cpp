// Sending a finished game's result to the publisher's score server: a version
// request whose fifth field is a one-time value, then the result itself as a
// 32-symbol text in the query of a second request; to a server that says it
// takes them, the game's record after them.
#include "services/WebScores.h"

#include <cstdlib>

#include "platform/Platform.h"
#include "record/GameRecord.h"
#include "record/Recorder.h"
#include "services/Options.h"

#ifndef ZEPHYRION_SCORE_SERVER
#define ZEPHYRION_SCORE_SERVER "http://127.0.0.1:8077"
#endif
#ifndef ZEPHYRION_WEBSITE
#define ZEPHYRION_WEBSITE ZEPHYRION_SCORE_SERVER "/"
#endif

const char* const Base32Alphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
const char ScoreKeyLetter = 'Z';

namespace {
// ZEPHYRION_SCORE_SERVER in the environment points a player's game at another
// server (a private one, a test's).
std::string FirstRoot()
{
    const char* root = std::getenv("ZEPHYRION_SCORE_SERVER");
    return root && *root ? root : ZEPHYRION_SCORE_SERVER;
}
} // namespace

std::string ScoreServerAddress = FirstRoot();

std::string ScoreServerRoot() { return ScoreServerAddress; }
std::string WebSiteAddress() { return ZEPHYRION_WEBSITE; }
std::string VersionRequestAddress() { return ScoreServerRoot() + "/cgi/version.pl?version&prg=Zephyrion"; }
std::string SubmissionAddress(const std::string& encoded)
{
    return ScoreServerRoot() + "/cgi/version.pl?hs&prg=Zephyrion&inf=" + encoded;
}
std::string RecordAddress() { return ScoreServerRoot() + "/cgi/record.pl"; }
std::string WorldTableAddress() { return ScoreServerRoot() + "/cgi/version.pl?prg=Zephyrion&show&type=0"; }

std::string BytesToBits(const std::string& text)
{
    std::string bits;
    bits.reserve(text.size() * 8);
    for (char c : text) {
        const uint8_t byte = static_cast<uint8_t>(c);
        for (int bit = 7; bit >= 0; --bit)
            bits.push_back((byte >> bit) & 1 ? '1' : '0');
    }
    return bits;
}

std::string BitsToBase32(const std::string& bits)
{
    // Leading zeros make the bit count a multiple of 5; a padded payload
    // already has a multiple of 40 bits.
    const std::string padded = std::string((5 - bits.size() % 5) % 5, '0') + bits;
    std::string symbols;
    symbols.reserve(padded.size() / 5);
    for (size_t i = 0; i < padded.size(); i += 5) {
        int value = 0;
        for (size_t k = 0; k < 5; ++k)
            value = value * 2 + (padded[i + k] != '0' ? 1 : 0);
        symbols.push_back(Base32Alphabet[value]);
    }
    return symbols;
}

std::string VersionToken(const std::string& response)
{
    // Five splits at '|'; a split that finds no '|' gives an empty field and
    // leaves the rest as it was.
    std::string rest = response;
    std::string field;
    for (int split = 0; split < 5; ++split) {
        const size_t bar = rest.find('|');
        if (bar == std::string::npos) {
            field.clear();
            continue;
        }
        field = rest.substr(0, bar);
        rest = rest.substr(bar + 1);
    }
    return field;
}

bool TakesRecords(const std::string& response)
{
    size_t at = 0;
    for (int bar = 0; bar < 5; ++bar) {
        at = response.find('|', at);
        if (at == std::string::npos)
            return false;
        ++at;
    }
    const size_t end = response.find('|', at);
    return end != std::string::npos && response.compare(at, end - at, "records") == 0;
}

std::string BuildPayload(const std::string& name, int32_t score, const std::string& token,
                         const std::string& country)
{
    // The values go in unescaped, exactly as the server's owner expects them.
    std::string payload = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" +
                          std::string(1, ScoreKeyLetter) + "|p=" + token + "|add=" + country + "|z=";
    while (payload.size() % 5 != 0)
        payload.push_back('0');
    return payload;
}

bool SendResult(const std::string& name, int32_t score)
{
    IHttpClient* http = Platform.Http;
    std::string response;
    if (!http || !http->Get(VersionRequestAddress(), response))
        return false;
    const std::string payload = BuildPayload(name, score, VersionToken(response), GameOptions.Country);
    // The server's verdict on the result is not shown: success or not, the
    // player sees the local table next.
    std::string ignored;
    const bool stored = http->Get(SubmissionAddress(BitsToBase32(BytesToBits(payload))), ignored);
    // The proof of the result: the record of the game that scored it, when
    // the server takes records (an old server is never sent a third request).
    const std::vector<uint8_t>& last = record::GameRecorder.LastRecord();
    record::TGameRecord game;
    if (stored && TakesRecords(response) && !last.empty() &&
        record::DecodeRecord(last, game) == record::TReadStatus::Ok && game.End.Score == score)
        http->Post(RecordAddress(), std::string(last.begin(), last.end()), ignored);
    return true;
}
