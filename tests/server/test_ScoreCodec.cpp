// The score server's reading of results, sessions and table, without a network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScoreCodec.h"
#include "ScoreStore.h"
#include "Sessions.h"
#include "services/WebScores.h"

using namespace scores;

namespace {

TEST(ScoreDecoder, ReturnsExactlyWhatTheGameEncoded)
{
    std::string allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes.push_back(static_cast<char>(b));
    const std::vector<std::string> payloads = {
        "",
        "type=",
        "a",
        "ab",
        "abc",
        "abcd",
        "abcdef",
        std::string(1, '\0'),
        "\xFF\xFF\xFF",
        allBytes,
        BuildPayload("", 0, "", ""),
        BuildPayload("Anna", -99, "0123456789abcdef0123456789abcdef", "\xC4sterreich"),
        BuildPayload("<b>\"'&|", 2147483647, "tok", "|"),
    };
    for (const std::string& p : payloads) {
        SCOPED_TRACE(p);
        const std::string symbols = BitsToBase32(BytesToBits(p)); // the game's own encoder
        EXPECT_EQ(EncodeSymbols(p), symbols);
        std::string decoded = "junk";
        ASSERT_TRUE(DecodeSymbols(symbols, decoded));
        EXPECT_EQ(decoded, p);
    }
}

TEST(ScoreDecoder, RefusesTextsTheGameCannotHaveSent)
{
    // clang-format off
    const std::vector<std::string> bad = {
        "QT61A3KI",                         // I is not a symbol
        "QT61A3KO",                         // nor O
        "QT61A3K0",                         // nor 0
        "qt61a3k7",                         // lower case
        std::string("QT61\0A3K7", 9),       // a zero byte
        "QT61 A3K7",
        "9",                                // 5 bits: all of them padding
        "99",                               // 10 bits: 2 of padding, set
        "Z",                                // Z is no symbol either
        std::string(MaxEncodedLength + 8, 'A'),
    };
    // clang-format on
    for (const std::string& s : bad) {
        std::string out;
        EXPECT_FALSE(DecodeSymbols(s, out)) << s;
    }
}

TEST(ScoreResult, FieldsAreReadAndCheckedOneByOne)
{
    struct Case {
        std::string Payload;
        TParseError Error;
        std::string Name;
        int32_t Score;
        std::string Token, Country;
    };
    const Case cases[] = {
        {BuildPayload("", 0, "", ""), TParseError::None, "", 0, "", ""},
        {BuildPayload("ANNA", 12345, "tok", "Chile"), TParseError::None, "ANNA", 12345, "tok", "Chile"},
        {BuildPayload("ABCDEFGHIJ", -7, "t", "\xC4"), TParseError::None, "ABCDEFGHIJ", -7, "t", "\xC4"},
        {BuildPayload("<i>'\"&</i>", -2147483647 - 1, "t", ""), TParseError::None, "<i>'\"&</i>",
         -2147483647 - 1, "t", ""},
        {BuildPayload("ABCDEFGHIJK", 1, "t", ""), TParseError::Name},
        {BuildPayload("A\tB", 1, "t", ""), TParseError::Name},
        {BuildPayload("A|B", 1, "t", ""), TParseError::Layout},
        {BuildPayload("A", 1, "t", "x|z="), TParseError::Layout},
        {BuildPayload("A", 1, "t", std::string(256, 'c')), TParseError::Country},
        {BuildPayload("A", 1, "t", "a\nb"), TParseError::Country},
        {"type=0|name=A|score=2147483648|key=Z|p=t|add=|z=0", TParseError::Score},
        {"type=0|name=A|score=12a|key=Z|p=t|add=|z=00000", TParseError::Score},
        {"type=0|name=A|score=|key=Z|p=t|add=|z=0000000", TParseError::Score},
        {"type=0|name=A|score=-|key=Z|p=t|add=|z=0000000", TParseError::Score},
        {"type=0|name=A|score=007|key=Z|p=t|add=|z=00000", TParseError::Score},
        {"type=0|name=A|score=-0|key=Z|p=t|add=|z=0000000", TParseError::Score},
        {"type=0|name=A|score=+5|key=Z|p=t|add=|z=0000000", TParseError::Score},
        {"type=0|name=A|score=-2147483649|key=Z|p=t|add=|z=00", TParseError::Score},
        {"type=0|name=A|score=1|key=Y|p=t|add=|z=0000000", TParseError::Key},
        {"type=0|name=A|score=1|key=ZZ|p=t|add=|z=000000", TParseError::Key},
        {"type=1|name=A|score=1|key=Z|p=t|add=|z=0000000", TParseError::Type},
        {"type=0|name=A|score=1|key=Z|p=t|add=|z=1000000", TParseError::Padding},
        {"type=0|name=A|score=1|key=Z|p=t|add=|z=0000000", TParseError::Padding}, // more than four
        {"type=0|name=A|score=1|key=Z|p=t|add=|z=00", TParseError::Padding},      // length 43
        {"type=0|name=A|score=1|key=Z|p=t|add=", TParseError::Layout},
        {"type=0|score=1|name=A|key=Z|p=t|add=|z=0000000", TParseError::Layout},
        {"", TParseError::Layout},
        {"|||||||", TParseError::Layout},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Payload);
        TResult r;
        EXPECT_EQ(ParseResult(c.Payload, r), c.Error);
        if (c.Error == TParseError::None) {
            EXPECT_EQ(r.Name, c.Name);
            EXPECT_EQ(r.Score, c.Score);
            EXPECT_EQ(r.Token, c.Token);
            EXPECT_EQ(r.Country, c.Country);
        }
    }
}

TEST(ScorePage, StoredTextsBecomeInertUtf8)
{
    struct Case {
        std::string Cp1252, Html;
    };
    // clang-format off
    const Case cases[] = {
        {"Anna", "Anna"},
        {"<script>", "&lt;script&gt;"},
        {"a\"b'c&d", "a&quot;b&#39;c&amp;d"},
        {"\xC4\xD6\xFC", "\xC3\x84\xC3\x96\xC3\xBC"},   // ÄÖü
        {"\x80\x9F", "\xE2\x82\xAC\xC5\xB8"},           // € Ÿ
        {"\x81\x8D\x8F\x90\x9D", std::string(5, ' ')},  // unassigned: replaced below
        {"\xFF", "\xC3\xBF"},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::string expected = c.Html;
        if (c.Cp1252 == "\x81\x8D\x8F\x90\x9D") {
            expected.clear();
            for (int i = 0; i < 5; ++i)
                expected += "\xEF\xBF\xBD";
        }
        EXPECT_EQ(HtmlEscape(Cp1252ToUtf8(c.Cp1252)), expected) << c.Cp1252;
    }
}

TEST(ScoreSessions, EachOneTimeValueIsGoodOnceForItsOwnSession)
{
    TSessions sessions;
    const auto a = sessions.Issue();
    const auto b = sessions.Issue();
    EXPECT_EQ(a.Id.size(), 32u);
    EXPECT_NE(a.Id, b.Id);
    EXPECT_NE(a.Token, b.Token);
    EXPECT_FALSE(sessions.Spend(a.Id, b.Token)); // another session's value
    EXPECT_FALSE(sessions.Spend("", a.Token));   // no cookie
    EXPECT_FALSE(sessions.Spend(a.Id, ""));
    EXPECT_TRUE(sessions.Spend(a.Id, a.Token));
    EXPECT_FALSE(sessions.Spend(a.Id, a.Token)); // replay
    EXPECT_TRUE(sessions.Spend(b.Id, b.Token));
    EXPECT_EQ(sessions.Size(), 0u);
}

TEST(ScoreSessions, OldSessionsExpireAndTheTableStaysBounded)
{
    using namespace std::chrono;
    TSessions sessions(100, minutes(15));
    auto t = TSessions::Clock::time_point{} + hours(1);
    sessions.SetNowForTest(t);
    const auto old = sessions.Issue();
    sessions.SetNowForTest(t + minutes(15));
    EXPECT_FALSE(sessions.Spend(old.Id, old.Token));

    std::vector<TSessions::TIssued> issued;
    for (int i = 0; i < 1000; ++i)
        issued.push_back(sessions.Issue());
    EXPECT_LE(sessions.Size(), 100u);
    EXPECT_FALSE(sessions.Spend(issued.front().Id, issued.front().Token)); // pushed out
    EXPECT_TRUE(sessions.Spend(issued.back().Id, issued.back().Token));
}

TEST(ScoreSessions, TheCookieIsFoundAmongOthers)
{
    struct Case {
        std::string Header, Value;
    };
    const Case cases[] = {
        {"zsid=abc", "abc"},
        {"a=1; zsid=abc; b=2", "abc"},
        {"xzsid=no; zsid=yes", "yes"},
        {"zsidx=no", ""},
        {"", ""},
        {";;; ;", ""},
        {"zsid=", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CookieValue(c.Header, "zsid"), c.Value) << c.Header;
}

TEST(ScoreStore, KeepsTheBestFirstAndEqualScoresInArrivalOrder)
{
    const auto opened = OpenScoreStore(":memory:");
    IScoreStore& store = *opened;
    store.Add({"B", 50, "", 1});
    store.Add({"A", 100, "X", 2});
    store.Add({"C", 50, "", 3});
    store.Add({std::string("\0\xFF", 2), -5, "", 4});
    const auto best = store.Best(3);
    ASSERT_EQ(best.size(), 3u);
    EXPECT_EQ(best[0].Name, "A");
    EXPECT_EQ(best[0].Country, "X");
    EXPECT_EQ(best[1].Name, "B");
    EXPECT_EQ(best[2].Name, "C");
    EXPECT_EQ(store.Best(10).back().Name, std::string("\0\xFF", 2));
    EXPECT_EQ(store.Count(), 4);
}

} // namespace
