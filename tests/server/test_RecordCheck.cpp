// Results proved by their game records: games played here through the
// shell's hooks, their results sent by the game's own code to the real
// server on loopback, and records forged, altered, cut or swapped. The table
// is an SQLite file, or the PostgreSQL database ZEPHYRION_TEST_POSTGRES names
// (the PostgreSQL check sets it).
#include <gtest/gtest.h>
#include <httplib.h>
#include <libpq-fe.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ScoreServer.h"
#include "WorldTable.h"
#include "fakes/Fakes.h"
#include "game/GameFixture.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "main/GameRecording.h"
#include "main/Globals.h"
#include "platform/Random.h"
#include "platform/sdl/CurlHttp.h"
#include "record/Recorder.h"
#include "record/Replay.h"
#include "services/DXSounds.h"
#include "services/Options.h"
#include "services/WebScores.h"

namespace fs = std::filesystem;
using namespace record;

namespace {

// Passes requests on and keeps their addresses.
class CountingHttp : public IHttpClient {
public:
    explicit CountingHttp(IHttpClient* inner) : Inner(inner) {}
    bool Get(const std::string& url, std::string& body) override
    {
        Urls.push_back(url);
        return Inner->Get(url, body);
    }
    bool Post(const std::string& url, const std::string& data, std::string& body) override
    {
        Urls.push_back("POST " + url);
        Posted = data;
        return Inner->Post(url, data, body);
    }
    std::unique_ptr<IHttpClient> Inner;
    std::vector<std::string> Urls;
    std::string Posted;
};

// A server of the old protocol: five fields in the version answer.
class OldServer : public IHttpClient {
public:
    bool Get(const std::string& url, std::string& body) override
    {
        Urls.push_back(url);
        body = Urls.size() == 1 ? "Zephyrion|1.0|2004-01-01|http://example.org/|ABCDEF|" : "OK";
        return true;
    }
    bool Post(const std::string& url, const std::string&, std::string&) override
    {
        Urls.push_back("POST " + url);
        return true;
    }
    std::vector<std::string> Urls;
};

std::string Database(const std::string& folder)
{
    const char* pg = std::getenv("ZEPHYRION_TEST_POSTGRES");
    if (!pg || !*pg)
        return folder + "/scores.db";
    PGconn* c = PQconnectdb(pg);
    PQclear(PQexec(c, "TRUNCATE results, sessions RESTART IDENTITY")); // fails harmlessly before the first server
    PQfinish(c);
    return pg;
}

class RecordCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetSheets();
        std::memset(KeyboardState, 0, sizeof KeyboardState);
        GameOptions = TOptions{};
        GameOptions.Country = "Norway";
        char templ[] = "/tmp/zephyrion-records-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        Folder = templ;
        SavedConfig = ConfigFileName;
        ConfigFileName = Folder + "/Config.cfg";
        InitSoundEffects();
        BackBuffer = DD.CreateSurface(800, 600);
        SnapshotSurface = DD.CreateSurface(800, 600);
        GameRecorder.Install(Platform);

        scores::TServerOptions options;
        options.Port = 0;
        options.Database = Database(Folder);
        Server = std::make_unique<scores::TScoreServer>(options);
        Thread = std::thread([this] { Server->Run(); });
        for (int waited = 0; !Server->IsRunning() && waited < 5000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        SavedRoot = ScoreServerAddress;
        ScoreServerAddress = "http://127.0.0.1:" + std::to_string(Server->Port());
        Http = new CountingHttp(CreateCurlHttp(2000, 60000));
        Platform.Http = Http;
    }
    void TearDown() override
    {
        Platform.Http = &P.Http;
        delete Http;
        ScoreServerAddress = SavedRoot;
        Server->Stop();
        Thread.join();
        Server.reset();
        GameRecorder.Uninstall();
        GameRecorder.ClearLastRecord();
        delete CurrentGame;
        CurrentGame = nullptr;
        CloseSoundEffects();
        DD.Release(BackBuffer);
        DD.Release(SnapshotSurface);
        ConfigFileName = SavedConfig;
        GameOptions = TOptions{};
        fs::remove_all(Folder);
    }

    // A pilot that fires and drifts for `seconds` of play, then leaves
    // through "Exit game?"; the game is recorded by the shell's hooks.
    // Returns the record, with the game's own score in `score`.
    std::vector<uint8_t> Play(uint32_t seed, int seconds, int32_t& score)
    {
        delete CurrentGame;
        P.Clock.SetTicks(64 * 30);
        RandSeed = seed;
        GameState = StatePlaying;
        CurrentGame = NewRecordedGame();
        uint32_t dice = seed;
        for (int f = 1; GameState == StatePlaying && f < 64 * 600; ++f) {
            dice = dice * 1103515245u + 12345u;
            P.Clock.SetTicks(P.Clock.TickIndex + ((dice >> 16) % 40 == 0 ? 3 : 1));
            if (f >= seconds * 64 && CurrentGame->Phase == PhasePlay)
                CurrentGame->Phase = PhaseGameOver;
            std::memset(KeyboardState, 0, sizeof KeyboardState);
            KeyboardState[DIK_LCONTROL] = (f / 45) % 4 ? 0x80 : 0;
            KeyboardState[(f / 90) % 2 ? DIK_LEFT : DIK_RIGHT] = 0x80;
            RunRecordedFrame(BackBuffer);
        }
        EXPECT_NE(GameState, StatePlaying) << "the game did not end";
        score = CurrentGame->Score;
        return GameRecorder.LastRecord();
    }

    // The version request and the result as the game sends them, then a
    // record: the record's HTTP status and line.
    std::pair<int, std::string> SendWithRecord(int32_t score, const std::string& record,
                                               bool withCookie = true)
    {
        httplib::Client client("127.0.0.1", Server->Port());
        client.set_read_timeout(60, 0);
        client.set_keep_alive(true); // one connection, as the game's own client
        auto version = client.Get("/cgi/version.pl?version&prg=Zephyrion");
        EXPECT_TRUE(version && version->status == 200);
        if (!version)
            return {0, ""};
        EXPECT_TRUE(TakesRecords(version->body)) << version->body;
        std::string cookie = version->get_header_value("Set-Cookie");
        cookie = cookie.substr(0, cookie.find(';'));
        const httplib::Headers headers{{"Cookie", cookie}};
        const std::string payload = BuildPayload("ANNA", score, VersionToken(version->body), "Norway");
        auto sent = client.Get(SubmissionAddress(BitsToBase32(BytesToBits(payload))).substr(ScoreServerAddress.size()),
                               headers);
        EXPECT_TRUE(sent && sent->status == 200)
            << (sent ? std::to_string(sent->status) + " " + sent->body : httplib::to_string(sent.error()));
        auto answer = withCookie ? client.Post(scores::RecordPath, headers, record, "application/octet-stream")
                                 : client.Post(scores::RecordPath, record, "application/octet-stream");
        if (!answer)
            return {0, httplib::to_string(answer.error())};
        return {answer->status, answer->body};
    }

    std::vector<scores::TStoredResult> Table() { return Server->Store().Best(100); }

    FakePlatform P;
    TDirectDraw DD;
    std::string Folder, SavedConfig, SavedRoot;
    std::unique_ptr<scores::TScoreServer> Server;
    std::thread Thread;
    CountingHttp* Http = nullptr;
};

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

std::unique_ptr<scores::IScoreStore> EmptyStore()
{
    const char* pg = std::getenv("ZEPHYRION_TEST_POSTGRES");
    if (!pg || !*pg)
        return scores::OpenScoreStore(":memory:");
    auto store = scores::OpenScoreStore(pg);
    PGconn* c = PQconnectdb(pg);
    PQclear(PQexec(c, "TRUNCATE results, sessions RESTART IDENTITY"));
    PQfinish(c);
    return store;
}

std::vector<std::string> Names(const std::vector<scores::TStoredResult>& rows)
{
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(r.Name + "@" + std::to_string(r.Place));
    return out;
}

} // namespace

TEST(WorldTableProof, TheResultOfASessionIsProvedOnce)
{
    auto store = EmptyStore();
    scores::TStoredResult sent{"ANNA", 900, "Norway", 1};
    sent.Session = "s1";
    ASSERT_TRUE(store->Add(sent));
    ASSERT_TRUE(store->Add({"BOB", 800, "Norway", 2}));
    EXPECT_FALSE(store->UnprovedOfSession("s2"));
    EXPECT_FALSE(store->UnprovedOfSession(""));
    const auto found = store->UnprovedOfSession("s1");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Name, "ANNA");
    EXPECT_EQ(found->Score, 900);
    EXPECT_TRUE(store->KeepProof(found->Id, std::string("ZREC\0\x01", 6)));
    EXPECT_FALSE(store->KeepProof(found->Id, "again"));
    EXPECT_FALSE(store->UnprovedOfSession("s1"));
    const auto rows = store->Best(10);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].Verified);
    EXPECT_FALSE(rows[1].Verified);
}

TEST(WorldTableProof, ThePageShowsProvedResultsAndTheOthersOnlyWhenAskedMarked)
{
    using namespace scores;
    auto store = EmptyStore();
    store->Add({"ANNA", 900, "Norway", 1});
    store->Add({"BOB", 800, "Norway", 2, true});
    store->Add({"CARL", 700, "", 3, true});
    store->Add({"DORA", 600, "Norway", 4});
    struct TCase {
        const char* Country;
        const char* Name;
        bool Unverified;
        std::vector<std::string> Rows;
        int64_t Total;
        int64_t FoundAt; // 0: not found
    };
    const TCase cases[] = {
        {"", "", false, {"BOB@1", "CARL@2"}, 2, 0},
        {"", "", true, {"ANNA@1", "BOB@2", "CARL@3", "DORA@4"}, 4, 0},
        {"Norway", "", false, {"BOB@1"}, 1, 0},
        {"Norway", "", true, {"ANNA@1", "BOB@2", "DORA@3"}, 3, 0},
        {"", "DORA", false, {"BOB@1", "CARL@2"}, 2, 0},
        {"", "DORA", true, {"ANNA@1", "BOB@2", "CARL@3", "DORA@4"}, 4, 4},
        {"", "CARL", false, {"BOB@1", "CARL@2"}, 2, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Country) + "/" + c.Name + (c.Unverified ? " with unproved" : ""));
        const TTableData data = LoadTable(*store, ReadTableView(c.Country, c.Name, "", c.Unverified));
        EXPECT_EQ(Names(data.Rows), c.Rows);
        EXPECT_EQ(data.Total, c.Total);
        EXPECT_EQ(data.Found ? data.Found->Place : 0, c.FoundAt);
    }
    const std::string proved = RenderTableHtml(LoadTable(*store, ReadTableView("", "", "")));
    EXPECT_EQ(proved.find("ANNA"), std::string::npos);
    EXPECT_NE(proved.find("<tr><td class=\"n\">1</td><td>BOB</td>"), std::string::npos);
    EXPECT_NE(proved.find("href=\"/cgi/version.pl?prg=Zephyrion&amp;show&amp;type=0&amp;unverified=1\""),
              std::string::npos);
    const TTableData all = LoadTable(*store, ReadTableView("", "DORA", "", true));
    const std::string marked = RenderTableHtml(all);
    EXPECT_NE(marked.find("<tr class=\"unverified\" title=\"not proved by a game record\"><td class=\"n\">1</td>"
                          "<td>ANNA</td>"),
              std::string::npos);
    EXPECT_NE(marked.find("<tr><td class=\"n\">2</td><td>BOB</td>"), std::string::npos);
    EXPECT_NE(marked.find("<tr class=\"me unverified\" id=\"me\" title=\"not proved by a game record\">"
                          "<td class=\"n\">4</td><td>DORA</td>"),
              std::string::npos);
    EXPECT_NE(marked.find("<input type=\"hidden\" name=\"unverified\" value=\"1\">"), std::string::npos);
    const std::string json = RenderTableJson(all);
    EXPECT_NE(json.find("\"unverified\":true"), std::string::npos);
    EXPECT_NE(json.find("\"name\":\"ANNA\",\"score\":900"), std::string::npos);
    EXPECT_NE(json.find("\"name\":\"BOB\",\"score\":800,\"country\":\"Norway\",\"time\":2,"
                        "\"date\":\"1970-01-01T00:00:02Z\",\"verified\":true"),
              std::string::npos)
        << json;
    EXPECT_NE(RenderTableJson(LoadTable(*store, ReadTableView("", "", ""))).find("\"unverified\":false"),
              std::string::npos);
}

TEST_F(RecordCheck, TheGameSendsItsRecordAndTheResultIsVerified)
{
    int32_t score = 0;
    const std::vector<uint8_t> record = Play(11, 40, score);
    ASSERT_FALSE(record.empty());
    ASSERT_GT(score, 0) << "the pilot should score";
    EXPECT_TRUE(SendResult("ANNA", CurrentGame->Score));
    ASSERT_EQ(Http->Urls.size(), 3u);
    EXPECT_EQ(Http->Urls[2], "POST " + ScoreServerAddress + "/cgi/record.pl");
    EXPECT_EQ(Http->Posted, Bytes(record));

    const auto rows = Table();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Score, score);
    EXPECT_TRUE(rows[0].Verified);

    // A server of the old protocol gets the same two requests and no third.
    OldServer old;
    Platform.Http = &old;
    const bool sent = SendResult("ANNA", CurrentGame->Score);
    Platform.Http = Http;
    EXPECT_TRUE(sent);
    ASSERT_EQ(old.Urls.size(), 2u);
    EXPECT_EQ(old.Urls[0], Http->Urls[0]);
    EXPECT_EQ(old.Urls[1].substr(0, old.Urls[1].find("&inf=")), Http->Urls[1].substr(0, Http->Urls[1].find("&inf=")));
    // The JSON list says so.
    std::string json;
    ASSERT_TRUE(Http->Get(ScoreServerAddress + "/scores.json", json));
    EXPECT_NE(json.find("\"score\":" + std::to_string(score)), std::string::npos) << json;
    EXPECT_NE(json.find("\"verified\":true"), std::string::npos) << json;

    // A result sent without a finished game's record (or by another game
    // than the last recorded) goes in unproved, after the two requests only.
    Http->Urls.clear();
    delete CurrentGame;
    CurrentGame = new TGame;
    CurrentGame->Score = score + 1;
    SendResult("BOB", CurrentGame->Score);
    EXPECT_EQ(Http->Urls.size(), 2u);
    const auto after = Table();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].Score, score + 1);
    EXPECT_FALSE(after[0].Verified);
}

TEST_F(RecordCheck, BadRecordsAreRefusedAndTheResultStaysUnproved)
{
    int32_t otherScore = 0;
    const std::vector<uint8_t> other = Play(5, 25, otherScore);
    int32_t score = 0;
    const std::vector<uint8_t> genuine = Play(11, 40, score);
    ASSERT_GT(score, 0);
    ASSERT_NE(score, otherScore) << "two games with the same score cannot tell a swapped record";
    TGameRecord game;
    ASSERT_EQ(DecodeRecord(genuine, game), TReadStatus::Ok);

    // The claim raised in the record too, its checksum made good.
    TGameRecord raised = game;
    raised.End.Score += 5000;
    // Every fire press, or every turn, from the middle on left out, the
    // checksum made good.
    auto without = [&](uint8_t key) {
        TGameRecord r = game;
        const size_t before = r.Events.size();
        std::erase_if(r.Events, [&](const TEvent& e) {
            return e.Kind == TEventKind::Key && e.Frame > game.Frames / 2 && e.Index == key && e.Value == 0x80;
        });
        EXPECT_LT(r.Events.size(), before) << "the pilot never pressed key " << int(key);
        return r;
    };
    const TGameRecord noFire = without(DIK_LCONTROL);
    const TGameRecord noTurn = without(DIK_LEFT);
    std::vector<uint8_t> flipped = genuine;
    flipped[flipped.size() / 2] ^= 0x10;
    const std::vector<uint8_t> cut(genuine.begin(), genuine.begin() + static_cast<long>(genuine.size() / 2));

    struct TCase {
        const char* What;
        int32_t Sent;
        std::string Record;
        int Status;
        const char* Says;
    };
    const TCase cases[] = {
        {"a forged score with the genuine record", score + 5000, Bytes(genuine), 403, "another game"},
        {"a forged score, the record's claim raised to match", score + 5000, Bytes(EncodeRecord(raised)), 403,
         "played again"},
        {"a byte of the record changed", score, Bytes(flipped), 400, "not readable"},
        {"the record cut in half", score, Bytes(cut), 400, "not readable"},
        {"fire presses taken out, checksum made good", score, Bytes(EncodeRecord(noFire)), 403, "played again"},
        {"turns left taken out, checksum made good", score, Bytes(EncodeRecord(noTurn)), 403, "played again"},
        {"another game's record", score, Bytes(other), 403, "another game"},
        {"not a record at all", score, std::string(600, 'x'), 400, "not readable"},
        {"nothing", score, std::string(), 400, "not readable"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const auto [status, text] = SendWithRecord(c.Sent, c.Record);
        EXPECT_EQ(status, c.Status) << text;
        EXPECT_NE(text.find(c.Says), std::string::npos) << text;
    }
    // Nothing was proved.
    for (const auto& row : Table())
        EXPECT_FALSE(row.Verified) << row.Score;

    // A record with no result of its session before it, or no session.
    const auto [status, text] = SendWithRecord(score, Bytes(genuine), false);
    EXPECT_EQ(status, 403) << text;
    // The genuine record of the true score is proved, once.
    const auto good = SendWithRecord(score, Bytes(genuine));
    EXPECT_EQ(good.first, 200) << good.second;
    const auto rows = Table();
    size_t verified = 0;
    for (const auto& row : rows)
        verified += row.Verified;
    EXPECT_EQ(verified, 1u);
}

TEST_F(RecordCheck, OtherRequestsAreServedWhileRecordsArePlayed)
{
    int32_t score = 0;
    const std::vector<uint8_t> genuine = Play(11, 120, score);
    // Uploads from several players at once (one address: fewer than its
    // connection limit), each for a result of its own; the world table is
    // asked for meanwhile.
    std::vector<std::thread> senders;
    std::atomic<int> verified{0}, busy{0}, other{0};
    for (int i = 0; i < 8; ++i)
        senders.emplace_back([&] {
            const auto [status, text] = SendWithRecord(score, Bytes(genuine));
            (status == 200   ? verified
             : status == 503 ? busy
                             : other)++;
            if (status != 200 && status != 503)
                ADD_FAILURE() << "a record answered " << status << " " << text;
        });
    httplib::Client client("127.0.0.1", Server->Port());
    client.set_read_timeout(5, 0);
    int answered = 0;
    for (int i = 0; i < 20; ++i) {
        auto page = client.Get("/scores.json");
        answered += page && page->status == 200;
    }
    for (auto& t : senders)
        t.join();
    EXPECT_EQ(answered, 20);
    EXPECT_EQ(other.load(), 0);
    EXPECT_GT(verified.load(), 0);
    std::printf("[ figures  ] 8 records at once: %d verified, %d told to come back\n", verified.load(),
                busy.load());
}
