// The world table's rows: pages, the country filter, a name's place with
// equal scores, retention, the verified mark, and the page and JSON made from
// the same rows.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ScoreStore.h"
#include "WorldTable.h"

using namespace scores;

namespace {

// The SQLite table in memory, or, when ZEPHYRION_TEST_POSTGRES names a
// database (the PostgreSQL check sets it), that database emptied: the same
// cases hold for both homes of the table.
std::unique_ptr<IScoreStore> EmptyStore(const TStoreLimits& limits = {})
{
    const char* pg = std::getenv("ZEPHYRION_TEST_POSTGRES");
    if (!pg || !*pg)
        return OpenScoreStore(":memory:", limits);
    auto store = OpenScoreStore(pg, limits);
    PGconn* c = PQconnectdb(pg);
    PGresult* r = PQexec(c, "TRUNCATE results, sessions RESTART IDENTITY");
    EXPECT_EQ(PQresultStatus(r), PGRES_COMMAND_OK) << PQerrorMessage(c);
    PQclear(r);
    PQfinish(c);
    return store;
}

// Ids arrive in this order; equal scores keep it.
std::unique_ptr<IScoreStore> Filled()
{
    auto store = EmptyStore();
    // clang-format off
    const TStoredResult rows[] = {
        {"ANNA", 500, "Norway", 1000},  {"BOB", 900, "Sverige", 2000}, {"CARL", 500, "Norway", 3000},
        {"ANNA", 700, "Norway", 4000},  {"DORA", 500, "Sverige", 5000}, {"EVE", 100, "", 6000},
        {"\xC5SA", 300, "Sverige", 7000},
    };
    // clang-format on
    for (const auto& r : rows)
        store->Add(r);
    return store;
}

std::vector<std::string> Names(const std::vector<TStoredResult>& rows)
{
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(r.Name + "@" + std::to_string(r.Place));
    return out;
}

TEST(WorldTableStore, PagesAndTheCountryFilter)
{
    auto store = Filled();
    struct Case {
        std::optional<std::string> Country;
        int64_t Offset;
        int Limit;
        std::vector<std::string> Want;
    };
    const std::vector<Case> cases = {
        {std::nullopt, 0, 3, {"BOB@1", "ANNA@2", "ANNA@3"}},
        {std::nullopt, 3, 3, {"CARL@4", "DORA@5", "\xC5SA@6"}},
        {std::nullopt, 6, 3, {"EVE@7"}},
        {std::nullopt, 9, 3, {}},
        {"Norway", 0, 10, {"ANNA@1", "ANNA@2", "CARL@3"}},
        {"Sverige", 1, 10, {"DORA@2", "\xC5SA@3"}},
        {"", 0, 10, {"EVE@1"}},
        {"Nowhere", 0, 10, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Names(store->Page(c.Country, c.Offset, c.Limit)), c.Want) << c.Country.value_or("(all)") << c.Offset;
    EXPECT_EQ(store->Count(), 7);
    EXPECT_EQ(store->Count("Sverige"), 3);
    EXPECT_EQ(store->Countries(10), (std::vector<std::string>{"Norway", "Sverige"}));
}

TEST(WorldTableStore, ANamesPlaceIsItsBestResultAmongEqualScoresInArrivalOrder)
{
    auto store = Filled();
    struct Case {
        std::string Name;
        std::optional<std::string> Country;
        int64_t Place;
        int32_t Score;
    };
    // clang-format off
    const Case cases[] = {
        {"ANNA", std::nullopt, 2, 700}, {"CARL", std::nullopt, 4, 500}, {"DORA", std::nullopt, 5, 500},
        {"DORA", "Sverige", 2, 500},    {"EVE", std::nullopt, 7, 100},  {"\xC5SA", "Sverige", 3, 300},
        {"ANNA", "Sverige", 0, 0},      {"NOBODY", std::nullopt, 0, 0}, {"anna", std::nullopt, 0, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        const auto found = store->BestOf(c.Name, c.Country);
        EXPECT_EQ(found ? found->Place : 0, c.Place) << c.Name;
        EXPECT_EQ(found ? found->Score : 0, c.Score) << c.Name;
    }
}

TEST(WorldTableStore, OldResultsAreForgottenAndTheVerifiedMarkIsKept)
{
    auto store = Filled();
    EXPECT_EQ(store->ForgetBefore(4000), 3);
    EXPECT_EQ(Names(store->Best(10)), (std::vector<std::string>{"ANNA@1", "DORA@2", "\xC5SA@3", "EVE@4"}));
    TStoredResult proved{"ZED", 50, "", 9000};
    proved.Verified = true;
    store->Add(proved);
    const auto rows = store->Best(10);
    EXPECT_TRUE(rows.back().Verified);
    EXPECT_FALSE(rows.front().Verified);
}

TEST(WorldTableStore, OneTimeValuesAreSpentOnceAndAClientsManyPushOutOnlyItsOwnOldest)
{
    TStoreLimits limits;
    limits.SessionsPerClient = 3;
    auto store = EmptyStore(limits);
    const int64_t now = std::time(nullptr);
    auto open = [&](const std::string& id, const std::string& client) {
        EXPECT_TRUE(store->OpenSession({id, "t" + id, client, now + 900}, now)) << id;
    };
    open("h1", "192.0.2.1");
    // Ten from one client within the same second: its newest three stay.
    for (const char* id : {"f0", "f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9"})
        open(id, "198.51.100.7");
    struct Case {
        const char* Id;
        const char* Token;
        TSpendOutcome Outcome;
    };
    // clang-format off
    const Case cases[] = {
        {"h1", "th1", TSpendOutcome::Stored},  {"h1", "th1", TSpendOutcome::Refused}, // spent
        {"f0", "tf0", TSpendOutcome::Refused}, {"f6", "tf6", TSpendOutcome::Refused}, // pushed out
        {"f7", "tf7", TSpendOutcome::Stored},  {"f9", "tf9", TSpendOutcome::Stored},
        {"f8", "tf9", TSpendOutcome::Refused}, {"f8", "", TSpendOutcome::Refused},   // not its value
        {"f8", "tf8", TSpendOutcome::Stored},  {"", "", TSpendOutcome::Refused},
    };
    // clang-format on
    int stored = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(store->SpendAndAdd(c.Id, c.Token, {"P", 10, "", now}, now), c.Outcome) << c.Id << " " << c.Token;
        stored += c.Outcome == TSpendOutcome::Stored;
    }
    EXPECT_EQ(store->Count(), stored);
}

TEST(WorldTableStore, ATableFromBeforeTheVerifiedMarkIsOpenedAndKept)
{
    if (std::getenv("ZEPHYRION_TEST_POSTGRES"))
        GTEST_SKIP() << "an SQLite file's upgrade";
    const std::string path = std::filesystem::temp_directory_path() / ("zephyrion-old-" + std::to_string(getpid()) + ".db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE results (id INTEGER PRIMARY KEY, name BLOB NOT NULL, score INTEGER NOT NULL,"
                           " country BLOB NOT NULL, time INTEGER NOT NULL);"
                           "INSERT INTO results (name, score, country, time) VALUES (x'4f4c44', 77, x'', 5);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    {
        auto store = OpenScoreStore(path);
        const auto rows = store->Best(10);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].Name, "OLD");
        EXPECT_FALSE(rows[0].Verified);
        EXPECT_TRUE(store->Add({"NEW", 1, "", 6}));
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path + suffix);
}

TEST(WorldTableView, QueryTextsBecomeTheGamesBytes)
{
    struct Case {
        std::string Country, Name, Page;
        std::optional<std::string> WantCountry;
        std::string WantName;
        int64_t WantPage;
    };
    // clang-format off
    const Case cases[] = {
        {"", "", "", std::nullopt, "", 0},
        {"Norway", "ANNA", "2", "Norway", "ANNA", 2},
        {"\xC3\x84gypten", "\xC3\x85SA", "x", "\xC4gypten", "\xC5SA", 0},
        {"", "\xE2\x82\xAC", "0", std::nullopt, "\x80", 0},           // the euro sign is one byte in the game
        {"", "\xE4\xB8\xAD", "-3", std::nullopt, "\x01\xE4\xB8\xAD", 0}, // never sent by the game: matches nothing
        {"", "", "99999999", std::nullopt, "", WorldMaxPage},
    };
    // clang-format on
    for (const Case& c : cases) {
        const TTableView v = ReadTableView(c.Country, c.Name, c.Page);
        EXPECT_EQ(v.Country, c.WantCountry) << c.Country;
        EXPECT_EQ(v.Name, c.WantName) << c.Name;
        EXPECT_EQ(v.Page, c.WantPage) << c.Page;
    }
}

TEST(WorldTableView, ThePageAndTheJsonShowTheSameRowsSafely)
{
    auto store = EmptyStore();
    for (int i = 0; i < 230; ++i)
        store->Add({"P" + std::to_string(i), 10000 - i, i % 2 ? "Norway" : "<script>", 1765000000 + i, true});
    store->Add({"\"q\"&<i>", 5, "Norway", 1765000000, true});

    const TTableData second = LoadTable(*store, ReadTableView("", "", "2"));
    EXPECT_EQ(second.Page, 2);
    EXPECT_EQ(second.Pages, 3);
    ASSERT_EQ(second.Rows.size(), 100u);
    EXPECT_EQ(second.Rows.front().Place, 101);
    const std::string html = RenderTableHtml(second);
    EXPECT_NE(html.find("<td class=\"n\">101</td><td>P100</td><td class=\"n\">9900</td>"), std::string::npos);
    EXPECT_NE(html.find("rel=\"prev\" href=\"/cgi/version.pl?prg=Zephyrion&amp;show&amp;type=0&amp;page=1\""),
              std::string::npos);
    EXPECT_NE(html.find("rel=\"next\""), std::string::npos);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;"), std::string::npos);

    // A name's page is the one holding its best result, with the row marked.
    const TTableData found = LoadTable(*store, ReadTableView("Norway", "\"q\"&<i>", ""));
    ASSERT_TRUE(found.Found);
    EXPECT_EQ(found.Found->Place, 116);
    EXPECT_EQ(found.Page, 2);
    const std::string marked = RenderTableHtml(found);
    EXPECT_NE(marked.find("<tr class=\"me\" id=\"me\"><td class=\"n\">116</td><td>&quot;q&quot;&amp;&lt;i&gt;</td>"),
              std::string::npos);
    EXPECT_NE(marked.find("in 116th place"), std::string::npos);

    const std::string json = RenderTableJson(found);
    EXPECT_EQ(json.find("<"), std::string::npos);
    EXPECT_NE(json.find("\"total\":116,\"page\":2,\"pages\":2,\"pageSize\":100,\"country\":\"Norway\""),
              std::string::npos);
    EXPECT_NE(json.find("{\"place\":116,\"name\":\"\\\"q\\\"\\u0026\\u003ci\\u003e\",\"score\":5,\"country\":\"Norway\","
                        "\"time\":1765000000,\"date\":\"2025-12-06T05:46:40Z\",\"verified\":true}"),
              std::string::npos)
        << json.substr(0, 400);
}

TEST(WorldTableView, OrdinalPlacesReadAsEnglish)
{
    auto store = EmptyStore();
    for (int i = 0; i < 113; ++i)
        store->Add({"N" + std::to_string(i), 1000 - i, "", 1, true});
    struct Case {
        int Index;
        const char* Text;
    };
    // clang-format off
    const Case cases[] = {{0, "1st"}, {1, "2nd"}, {2, "3rd"}, {3, "4th"}, {10, "11th"}, {11, "12th"},
                          {12, "13th"}, {20, "21st"}, {21, "22nd"}, {101, "102nd"}, {110, "111th"}, {112, "113th"}};
    // clang-format on
    for (const Case& c : cases) {
        const std::string html = RenderTableHtml(LoadTable(*store, ReadTableView("", "N" + std::to_string(c.Index), "")));
        EXPECT_NE(html.find(std::string(" is in ") + c.Text + " place"), std::string::npos) << c.Text;
    }
}

} // namespace
