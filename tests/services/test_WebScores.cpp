// Sending a result: the 32-symbol encoding, the padded payload, the version
// answer's fifth field, and the two requests with the state they leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "game/Game.h"
#include "main/Globals.h"
#include "services/Options.h"
#include "services/WebScores.h"

namespace {

std::string Encode(const std::string& payload) { return BitsToBase32(BytesToBits(payload)); }

TEST(WebScoresEncoding, BytesBecomeEightBitsMostSignificantFirst)
{
    struct Case {
        std::string Bytes, Bits;
    };
    const Case cases[] = {
        {"", ""},
        {std::string(1, '\0'), "00000000"},
        {"A", "01000001"},
        {"\x80", "10000000"},
        {"\xC4", "11000100"},
        {"\xFF\x01", "1111111100000001"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BytesToBits(c.Bytes), c.Bits) << c.Bits;
}

TEST(WebScoresEncoding, BitsBecomeSymbolsWithZerosInFront)
{
    struct Case {
        std::string Bits, Symbols;
    };
    // clang-format off
    const Case cases[] = {
        {"", ""},
        {"00000", "A"},
        {"11111", "9"},
        {"10110", "Y"},      // 22: the last letter
        {"10111", "1"},      // 23: the first digit
        {"1", "B"},          // padded to 00001
        {"111111", "B9"},    // padded to 00001 11111
        {"0000000001", "AB"},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(BitsToBase32(c.Bits), c.Symbols) << c.Bits;
    EXPECT_EQ(std::string(Base32Alphabet), "ABCDEFGHJKLMNPQRSTUVWXY123456789");
}

TEST(WebScoresEncoding, FiveBytesBecomeEightSymbols)
{
    EXPECT_EQ(Encode("type="), "QT61A3K7");
    // A byte above 127 is taken by its value, like any other.
    EXPECT_EQ(Encode("\xFF\xFF\xFF\xFF\xFF"), "99999999");
    EXPECT_EQ(Encode(std::string("\x80\0\0\0\0", 5)), "SAAAAAAA");
}

TEST(WebScoresPayload, IsBuiltInOrderAndPaddedToAMultipleOfFive)
{
    struct Case {
        std::string Name;
        int32_t Score;
        std::string Token, Country, Payload;
    };
    const Case cases[] = {
        // 37 bytes before padding: "000" makes 40.
        {"", 0, "", "", "type=0|name=|score=0|key=Z|p=|add=|z=000"},
        {"Anna", 12345, "t0k", "Norway", "type=0|name=Anna|score=12345|key=Z|p=t0k|add=Norway|z=0"},
        {"Al", -15, "", "", "type=0|name=Al|score=-15|key=Z|p=|add=|z=0000"},
        // Values go in as they are, a '|' included.
        {"A|B", 1, "x", "\xC4", "type=0|name=A|B|score=1|key=Z|p=x|add=\xC4|z=000"},
        {"", -2147483647 - 1, "", "", "type=0|name=|score=-2147483648|key=Z|p=|add=|z=000"},
    };
    for (const Case& c : cases) {
        const std::string payload = BuildPayload(c.Name, c.Score, c.Token, c.Country);
        EXPECT_EQ(payload, c.Payload);
        EXPECT_EQ(payload.size() % 5, 0u);
    }
    const std::string empty = BuildPayload("", 0, "", "");
    EXPECT_EQ(Encode(empty).size(), 64u);
}

TEST(WebScoresVersion, TheFifthFieldIsTheOneTimeValue)
{
    struct Case {
        std::string Response, Token;
    };
    const Case cases[] = {
        {"Zephyrion|2.0|2026-12-10|http://site/|abc123|", "abc123"}, // six fields
        {"a|b|c|d|e", ""},                                           // five fields: four '|'
        {"a|b|c|d|e|f|g|h", "e"},
        {"||||tok|", "tok"},
        {"a|b|c|d||", ""},
        {"", ""},
        {"no bars at all", ""},
        {"a|b|c|d|e\r\n|", "e\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionToken(c.Response), c.Token) << c.Response;
}

TEST(WebScoresAddresses, AllLeadToTheScoreServersScript)
{
    EXPECT_EQ(VersionRequestAddress(), ScoreServerRoot() + "/cgi/version.pl?version&prg=Zephyrion");
    EXPECT_EQ(SubmissionAddress("QT61A3K7"), ScoreServerRoot() + "/cgi/version.pl?hs&prg=Zephyrion&inf=QT61A3K7");
    EXPECT_EQ(WorldTableAddress(), ScoreServerRoot() + "/cgi/version.pl?prg=Zephyrion&show&type=0");
    EXPECT_EQ(ScoreServerRoot().rfind("http://", 0), 0u);
}

class SendResultTest : public ::testing::Test {
protected:
    void SetUp() override { GameOptions.Country = "Chile"; }
    void TearDown() override { GameOptions = TOptions{}; }
    FakePlatform Fake;
};

TEST_F(SendResultTest, LeavesTheStateByTheVersionRequestAlone)
{
    const std::string submission =
        SubmissionAddress(Encode(BuildPayload("Anna", 4321, "tok", "Chile")));
    struct Case {
        const char* What;
        std::vector<std::pair<bool, std::string>> Answers;
        std::vector<std::string> Requests;
        bool Sent; // false: the player is asked to try again
    };
    // clang-format off
    const Case cases[] = {
        {"no server", {{false, ""}}, {VersionRequestAddress()}, false},
        {"accepted", {{true, "Zephyrion|2.0|d|s|tok|"}, {true, "OK"}}, {VersionRequestAddress(), submission},
         true},
        {"submission refused", {{true, "Zephyrion|2.0|d|s|tok|"}, {false, ""}},
         {VersionRequestAddress(), submission}, true},
        {"short version answer: empty p",
         {{true, "a|b|c|d|tok"}, {true, "OK"}},
         {VersionRequestAddress(), SubmissionAddress(Encode(BuildPayload("Anna", 4321, "", "Chile")))},
         true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Fake.Http.Answers.assign(c.Answers.begin(), c.Answers.end());
        Fake.Http.Requests.clear();
        EXPECT_EQ(SendResult("Anna", 4321), c.Sent);
        EXPECT_EQ(Fake.Http.Requests, c.Requests);
    }
}

TEST_F(SendResultTest, WithoutAnHttpClientAsksToRetry)
{
    Platform.Http = nullptr;
    EXPECT_FALSE(SendResult("Anna", 4321));
}

} // namespace
