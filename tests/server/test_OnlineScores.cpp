// End to end on loopback: the game's own sending code and HTTP client against
// the real score server on a port picked at run time.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ScoreServer.h"
#include "fakes/Fakes.h"
#include "game/Game.h"
#include "main/Globals.h"
#include "platform/sdl/CurlHttp.h"
#include "platform/sdl/Services.h"
#include "services/Options.h"
#include "services/WebScores.h"

namespace fs = std::filesystem;

namespace {

// Passes requests on and keeps their addresses.
class RecordingHttp : public IHttpClient {
public:
    explicit RecordingHttp(IHttpClient* inner) : Inner(inner) {}
    bool Get(const std::string& url, std::string& body) override
    {
        Urls.push_back(url);
        return Inner->Get(url, body);
    }
    std::unique_ptr<IHttpClient> Inner;
    std::vector<std::string> Urls;
};

// A server thread for the length of one test.
class ServerThread {
public:
    explicit ServerThread(const std::string& db)
    {
        scores::TServerOptions options;
        options.Port = 0;
        options.Database = db;
        Server = std::make_unique<scores::TScoreServer>(options);
        Thread = std::thread([this] { Server->Run(); });
        for (int waited = 0; !Server->IsRunning() && waited < 5000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~ServerThread()
    {
        Server->Stop();
        Thread.join();
    }
    std::string Root() const { return "http://127.0.0.1:" + std::to_string(Server->Port()); }
    std::unique_ptr<scores::TScoreServer> Server;
    std::thread Thread;
};

// A loopback port with nothing behind it.
int ClosedPort()
{
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    socklen_t len = sizeof(a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

class OnlineScores : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/zephyrion-scores-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        Folder = templ;
        Server = std::make_unique<ServerThread>(Folder + "/scores.db");
        SavedRoot = ScoreServerAddress;
        ScoreServerAddress = Server->Root();
        Http = new RecordingHttp(CreateCurlHttp(1000, 3000));
        Platform.Http = Http; // over the fake of the fixture
        GameOptions.Country = "Norway";
    }
    void TearDown() override
    {
        ScoreServerAddress = SavedRoot;
        Platform.Http = &Fake.Http;
        delete Http;
        GameOptions = TOptions{};
        Server.reset();
        fs::remove_all(Folder);
    }
    std::string Fetch(const std::string& url)
    {
        std::string body;
        EXPECT_TRUE(Http->Get(url, body)) << url;
        return body;
    }

    FakePlatform Fake;
    TGame Game;
    std::string Folder, SavedRoot;
    std::unique_ptr<ServerThread> Server;
    RecordingHttp* Http = nullptr;
};

TEST_F(OnlineScores, ASentResultIsStoredAndShownOnTheWorldPage)
{
    Game.Score = 123456;
    EXPECT_TRUE(SendResult("ANNA", Game.Score));
    ASSERT_EQ(Http->Urls.size(), 2u);
    EXPECT_EQ(Server->Server->Store().Count(), 1);

    Game.Score = -40;
    GameOptions.Country = "\xC4gypten";
    SendResult("<i>X</i>", Game.Score);
    EXPECT_EQ(Server->Server->Store().Count(), 2);
    Game.Score = 7;
    SendResult("", Game.Score);
    EXPECT_EQ(Server->Server->Store().Count(), 3);

    // Sent without game records: unproved, shown when asked for.
    const std::string page = Fetch(WorldTableAddress() + "&unverified=1");
    const size_t anna = page.find("<td>ANNA</td><td class=\"n\">123456</td><td>Norway</td>");
    const size_t anonymous = page.find("<td>Anonymous</td><td class=\"n\">7</td>");
    const size_t markup = page.find("<td>&lt;i&gt;X&lt;/i&gt;</td><td class=\"n\">-40</td><td>\xC3\x84gypten</td>");
    EXPECT_NE(anna, std::string::npos);
    EXPECT_NE(anonymous, std::string::npos);
    EXPECT_NE(markup, std::string::npos);
    EXPECT_LT(anna, anonymous);
    EXPECT_LT(anonymous, markup);
    EXPECT_EQ(page.find("<i>X"), std::string::npos);

    // The home page leads to the world table.
    EXPECT_NE(Fetch(ScoreServerRoot() + "/").find("/cgi/version.pl?prg=Zephyrion&amp;show&amp;type=0"),
              std::string::npos);
}

TEST_F(OnlineScores, AOneTimeValueNeedsItsCookieAndIsGoodOnce)
{
    Game.Score = 500;
    SendResult("ANNA", Game.Score);
    ASSERT_EQ(Server->Server->Store().Count(), 1);
    std::string body;
    // The same submission again, same client and cookie: refused.
    const std::string sent = Http->Urls[1];
    EXPECT_FALSE(Http->Get(sent, body));

    // A fresh value taken by this client, sent by a client without its cookie: refused.
    const std::string version = Fetch(VersionRequestAddress());
    const std::string submission =
        SubmissionAddress(BitsToBase32(BytesToBits(BuildPayload("BOB", 1, VersionToken(version), ""))));
    std::unique_ptr<IHttpClient> stranger(CreateCurlHttp(1000, 3000));
    EXPECT_FALSE(stranger->Get(submission, body));
    // The owner of the cookie may still use it, once.
    EXPECT_TRUE(Http->Get(submission, body));
    EXPECT_FALSE(Http->Get(submission, body));
    EXPECT_EQ(Server->Server->Store().Count(), 2);
}

TEST_F(OnlineScores, NoServerMeansRetryWithoutASecondRequest)
{
    ScoreServerAddress = "http://127.0.0.1:" + std::to_string(ClosedPort());
    EXPECT_FALSE(SendResult("ANNA", Game.Score));
    EXPECT_EQ(Http->Urls.size(), 1u);
}

TEST_F(OnlineScores, AServerThatNeverAnswersMeansRetryWithinTheTimeLimit)
{
    // Listening, so the connection is made, but nothing is ever read or said.
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
    ASSERT_EQ(listen(s, 4), 0);
    socklen_t len = sizeof(a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ScoreServerAddress = "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port));

    Http->Inner.reset(CreateCurlHttp(500, 1000)); // the game's own limits are 5 s and 15 s
    const auto start = std::chrono::steady_clock::now();
    const bool sent = SendResult("ANNA", Game.Score);
    const auto took = std::chrono::steady_clock::now() - start;
    close(s);
    EXPECT_FALSE(sent);
    EXPECT_EQ(Http->Urls.size(), 1u);
    EXPECT_GE(took, std::chrono::milliseconds(900));
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST_F(OnlineScores, TheClientSendsTheGamesHeadersAndRefusesHugeOrFailedAnswers)
{
    httplib::Server probe;
    std::string accept, agent, type;
    probe.Get("/headers", [&](const httplib::Request& req, httplib::Response& res) {
        accept = req.get_header_value("Accept");
        agent = req.get_header_value("User-Agent");
        type = req.get_header_value("Content-Type");
        res.set_content("ok", "text/plain");
    });
    probe.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(CurlMaxBodyBytes + 1, 'x'), "text/plain");
    });
    probe.Get("/limit", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(CurlMaxBodyBytes, 'x'), "text/plain");
    });
    probe.Get("/missing", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    const int port = probe.bind_to_any_port("127.0.0.1");
    std::thread t([&] { probe.listen_after_bind(); });
    for (int waited = 0; !probe.is_running() && waited < 5000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::string root = "http://127.0.0.1:" + std::to_string(port);

    std::string body = "before";
    EXPECT_TRUE(Http->Get(root + "/headers", body));
    EXPECT_EQ(body, "ok");
    EXPECT_EQ(accept, "text/html, */*");
    EXPECT_EQ(agent, "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_EQ(type, "text/html");
    EXPECT_TRUE(Http->Get(root + "/limit", body));
    EXPECT_EQ(body.size(), CurlMaxBodyBytes);
    body = "kept";
    EXPECT_FALSE(Http->Get(root + "/huge", body));
    EXPECT_FALSE(Http->Get(root + "/missing", body));
    EXPECT_EQ(body, "kept");
    probe.stop();
    t.join();
}

TEST_F(OnlineScores, BadRequestsGetAnErrorAndStoreNothing)
{
    httplib::Client client("127.0.0.1", Server->Server->Port());
    const std::string script = "/cgi/version.pl?";
    auto encoded = [](const std::string& payload) { return BitsToBase32(BytesToBits(payload)); };
    struct Case {
        std::string Path;
        int Status;
    };
    const std::vector<Case> cases = {
        {script + "hs&prg=Zephyrion&inf=IIIIIIII", 400},
        {script + "hs&prg=Zephyrion", 400},
        {script + "hs&prg=Zephyrion&inf=", 400},
        {script + "hs&prg=Zephyrion&inf=QT61A3K7&inf=QT61A3K7", 400},
        {script + "hs&prg=Other&inf=QT61A3K7", 400},
        {script + "prg=Zephyrion", 400},
        {script + "hs&prg=Zephyrion&inf=" + std::string(2000, 'A'), 400},
        {script + "hs&prg=Zephyrion&inf=" + encoded(BuildPayload("ABCDEFGHIJKL", 1, "t", "")), 400},
        {script + "hs&prg=Zephyrion&inf=" + encoded("type=0|name=A|score=1|key=Y|p=t|add=|z=0"), 403},
        // Well formed, but no value was ever issued.
        {script + "hs&prg=Zephyrion&inf=" + encoded(BuildPayload("A", 1, "guess", "")), 403},
        {script + "hs&prg=Zephyrion&inf=" + std::string(9000, 'A'), 414},
        {"/nothing/here", 404},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path.substr(0, 80));
        auto res = client.Get(c.Path.c_str());
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, c.Status);
    }
    EXPECT_EQ(Server->Server->Store().Count(), 0);
    auto home = client.Get("/");
    ASSERT_TRUE(home);
    EXPECT_EQ(home->status, 200);
}

TEST_F(OnlineScores, ManyClientsAtOnceAreAllStored)
{
    constexpr int Clients = 6, Each = 5;
    std::atomic<int> accepted{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < Clients; ++c)
        threads.emplace_back([&, c] {
            std::unique_ptr<IHttpClient> http(CreateCurlHttp(2000, 5000));
            for (int i = 0; i < Each; ++i) {
                std::string version, ignored;
                if (!http->Get(VersionRequestAddress(), version))
                    continue;
                const std::string payload = BuildPayload("P" + std::to_string(c), c * 100 + i, VersionToken(version), "");
                if (http->Get(SubmissionAddress(BitsToBase32(BytesToBits(payload))), ignored))
                    ++accepted;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(accepted, Clients * Each);
    EXPECT_EQ(Server->Server->Store().Count(), Clients * Each);
}

} // namespace
