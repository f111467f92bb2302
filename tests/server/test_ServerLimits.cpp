// The score server under abuse: per-client rates and session caps, the
// believable-score ceiling, silent connections, oversized request heads.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "RateLimit.h"
#include "ScoreCodec.h"
#include "ScoreServer.h"
#include "Sessions.h"

namespace fs = std::filesystem;
using namespace scores;

namespace {

std::string Inf(const std::string& name, long long score, const std::string& token)
{
    std::string p = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=Z|p=" + token + "|add=|z=";
    while (p.size() % 5)
        p.push_back('0');
    return EncodeSymbols(p);
}

class ServerLimits : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/zephyrion-limits-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        Folder = templ;
    }
    void TearDown() override
    {
        Server.reset();
        fs::remove_all(Folder);
    }
    void Start(TServerOptions o = {})
    {
        o.Port = 0;
        o.Database = Folder + "/scores.db";
        Server = std::make_unique<TScoreServer>(o);
    }
    TScoreServer::TAnswer Get(const std::string& client, const std::string& query, const std::string& cookie = {})
    {
        TScoreServer::TRequest r;
        r.Path = "/cgi/version.pl";
        r.Client = client;
        r.Cookie = cookie;
        size_t at = 0;
        while (at <= query.size()) {
            size_t end = query.find('&', at);
            if (end == std::string::npos)
                end = query.size();
            const std::string kv = query.substr(at, end - at);
            const size_t eq = kv.find('=');
            if (eq == std::string::npos)
                r.Query.emplace_back(kv, std::nullopt);
            else
                r.Query.emplace_back(kv.substr(0, eq), kv.substr(eq + 1));
            at = end + 1;
        }
        return Server->Answer(r);
    }
    struct TSession {
        std::string Cookie, Token;
    };
    TSession Version(const std::string& client)
    {
        const auto a = Get(client, "version&prg=Zephyrion");
        EXPECT_EQ(a.Status, 200) << client;
        TSession s;
        s.Cookie = CookieValue(a.Cookie.substr(0, a.Cookie.find(';')), "zsid");
        size_t at = 0;
        for (int i = 0; i < 4 && at != std::string::npos; ++i)
            at = a.Body.find('|', at) + 1;
        s.Token = a.Body.substr(at, a.Body.find('|', at) - at);
        return s;
    }
    int Submit(const std::string& client, const TSession& s, long long score, const std::string& name = "P")
    {
        return Get(client, "hs&prg=Zephyrion&inf=" + Inf(name, score, s.Token), s.Cookie).Status;
    }

    std::string Folder;
    std::unique_ptr<TScoreServer> Server;
};

TEST(RateLimit, ABurstThenTheSteadyRateAndOtherClientsUntouched)
{
    using namespace std::chrono;
    TRateLimit limit(60, 3); // one a second, three at once
    const auto t = TRateLimit::Clock::time_point{} + hours(1);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(limit.Allow("a", t)) << i;
    EXPECT_FALSE(limit.Allow("a", t));
    EXPECT_EQ(limit.RetryAfter("a", t), 1);
    EXPECT_TRUE(limit.Allow("b", t));
    EXPECT_FALSE(limit.Allow("a", t + milliseconds(900)));
    EXPECT_TRUE(limit.Allow("a", t + milliseconds(1000)));
    EXPECT_FALSE(limit.Allow("a", t + milliseconds(1001)));
    // A long quiet spell gives back the burst, not more.
    const auto later = t + hours(1);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(limit.Allow("a", later)) << i;
    EXPECT_FALSE(limit.Allow("a", later));
    TRateLimit none(0, 1);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(none.Allow("a", t));
}

TEST(RateLimit, MemoryStaysBoundedUnderManyAddresses)
{
    TRateLimit limit(60, 2, 1000);
    const auto t = TRateLimit::Clock::now();
    for (int i = 0; i < 100000; ++i)
        limit.Allow("10." + std::to_string(i), t);
    EXPECT_LE(limit.Clients(), 1000u);
}

TEST_F(ServerLimits, AFloodOfVersionRequestsIsRefusedAndPushesOutOnlyItsOwnSessions)
{
    TServerOptions o;
    o.VersionBurst = 30;
    o.VersionsPerMinute = 30;
    o.SessionsPerClient = 64;
    Start(o);
    const TSession honest = Version("192.0.2.1");
    // 4,096 version requests from one address: the burst is answered, the rest refused.
    int answered = 0, refused = 0;
    for (int i = 0; i < 4096; ++i) {
        const auto a = Get("198.51.100.7", "version&prg=Zephyrion");
        answered += a.Status == 200;
        refused += a.Status == 429 && a.RetryAfter >= 1;
    }
    EXPECT_EQ(answered, 30);
    EXPECT_EQ(refused, 4096 - 30);
    EXPECT_EQ(Submit("192.0.2.1", honest, 1234), 200);
    EXPECT_EQ(Server->Store().Count(), 1);
}

TEST_F(ServerLimits, OneClientsManySessionsOnlyPushOutItsOwnOldest)
{
    TServerOptions o;
    o.VersionsPerMinute = 0; // no rate limit: the session cap alone
    o.SessionsPerClient = 8;
    Start(o);
    const TSession honest = Version("192.0.2.1");
    std::vector<TSession> many;
    for (int i = 0; i < 5000; ++i)
        many.push_back(Version("198.51.100.7"));
    EXPECT_EQ(Submit("192.0.2.1", honest, 1), 200);
    EXPECT_EQ(Submit("198.51.100.7", many.front(), 2), 403); // its own oldest went
    EXPECT_EQ(Submit("198.51.100.7", many[5000 - 8], 3), 200);
    EXPECT_EQ(Submit("198.51.100.7", many.back(), 4), 200);
    EXPECT_EQ(Server->Store().Count(), 3);
}

TEST_F(ServerLimits, ScoresBeyondTheCeilingAreRefused)
{
    struct Case {
        long long Score;
        int Status;
    };
    // clang-format off
    const Case cases[] = {
        {2147483647, 403}, {DefaultScoreCeiling + 1, 403}, {DefaultScoreCeiling, 200}, {123456, 200}, {-40, 200},
    };
    // clang-format on
    Start();
    int stored = 0;
    for (const Case& c : cases) {
        const TSession s = Version("192.0.2." + std::to_string(stored + 10));
        EXPECT_EQ(Submit("192.0.2." + std::to_string(stored + 10), s, c.Score), c.Status) << c.Score;
        stored += c.Status == 200;
    }
    EXPECT_EQ(Server->Store().Count(), stored);
    EXPECT_EQ(Server->Store().Best(1).front().Score, DefaultScoreCeiling);

    // The ceiling is an option.
    Server.reset();
    TServerOptions o;
    o.ScoreCeiling = 1000;
    Start(o);
    const TSession s = Version("192.0.2.1");
    EXPECT_EQ(Submit("192.0.2.1", s, 1001), 403);
}

TEST_F(ServerLimits, SubmissionsAreLimitedPerClient)
{
    TServerOptions o;
    o.VersionsPerMinute = 0;
    o.SubmissionsPerMinute = 1;
    o.SubmissionBurst = 2;
    Start(o);
    std::vector<int> statuses;
    for (int i = 0; i < 4; ++i)
        statuses.push_back(Submit("198.51.100.7", Version("198.51.100.7"), i));
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 429, 429}));
    EXPECT_EQ(Submit("192.0.2.1", Version("192.0.2.1"), 9), 200);
}

TEST_F(ServerLimits, AResultTheTableCouldNotTakeKeepsItsValueForASecondTry)
{
    Start();
    const TSession s = Version("192.0.2.1");
    // Another hand on the file makes every insert fail for a while.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Folder + "/scores.db").c_str(), &db), SQLITE_OK);
    auto exec = [db](const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); };
    ASSERT_EQ(exec("CREATE TRIGGER full BEFORE INSERT ON results BEGIN SELECT RAISE(ABORT, 'full'); END"), SQLITE_OK);
    EXPECT_EQ(Submit("192.0.2.1", s, 5150), 503);
    ASSERT_EQ(exec("DROP TRIGGER full"), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(Submit("192.0.2.1", s, 5150), 200);
    EXPECT_EQ(Submit("192.0.2.1", s, 5150), 403);
    EXPECT_EQ(Server->Store().Count(), 1);
}

// Loopback sockets from a chosen 127.x address.
int Connect(int port, const char* from)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{}, to{};
    a.sin_family = to.sin_family = AF_INET;
    inet_pton(AF_INET, from, &a.sin_addr);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<uint16_t>(port));
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof(to)) != 0) {
        close(s);
        return -1;
    }
    return s;
}

// Sends a request and reads the status line (waits up to 30 s).
std::string Ask(int s, const std::string& request)
{
    if (send(s, request.data(), request.size(), MSG_NOSIGNAL) < 0 && errno != ECONNRESET)
        return "send failed";
    std::string got;
    char buf[512];
    pollfd p{s, POLLIN, 0};
    while (got.find("\r\n") == std::string::npos && poll(&p, 1, 30000) == 1) {
        const ssize_t n = recv(s, buf, sizeof(buf), 0);
        if (n <= 0)
            break;
        got.append(buf, static_cast<size_t>(n));
    }
    return got.substr(0, got.find("\r\n"));
}

// Sends a request and reads one whole answer (head and Content-Length body);
// returns its status line, or "" when the connection ended first.
std::string AskWhole(int s, const std::string& request)
{
    if (send(s, request.data(), request.size(), MSG_NOSIGNAL) < 0)
        return "";
    std::string got;
    char buf[4096];
    pollfd p{s, POLLIN, 0};
    size_t end = std::string::npos, want = 0;
    while (poll(&p, 1, 30000) == 1) {
        const ssize_t n = recv(s, buf, sizeof(buf), 0);
        if (n <= 0)
            return "";
        got.append(buf, static_cast<size_t>(n));
        if (end == std::string::npos && (end = got.find("\r\n\r\n")) != std::string::npos) {
            const size_t at = got.find("Content-Length: ");
            want = end + 4 + (at < end ? std::strtoul(got.c_str() + at + 16, nullptr, 10) : 0);
        }
        if (end != std::string::npos && got.size() >= want)
            return got.substr(0, got.find("\r\n"));
    }
    return "";
}

// True while the server keeps the socket open (nothing to read, no hang-up).
bool StillOpen(int s)
{
    pollfd p{s, POLLIN, 0};
    return poll(&p, 1, 0) == 0;
}

TEST_F(ServerLimits, SilentConnectionsDoNotHoldUpOthers)
{
    TServerOptions o;
    o.Threads = 2;
    o.IdleSeconds = 120; // the silent ones stay for the whole test
    o.MaxConnectionsPerClient = 100;
    Start(o);
    std::vector<int> silent;
    for (int i = 0; i < 64; ++i) {
        const int s = Connect(Server->Port(), "127.0.0.2");
        ASSERT_GE(s, 0);
        send(s, "GET / HTTP/1.1\r\n", 16, MSG_NOSIGNAL); // half a request, then nothing
        silent.push_back(s);
    }
    for (int i = 0; i < 20; ++i) {
        const int s = Connect(Server->Port(), "127.0.0.1");
        ASSERT_GE(s, 0);
        EXPECT_EQ(Ask(s, "GET /cgi/version.pl?version&prg=Zephyrion HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.1 200 OK")
            << i;
        close(s);
    }
    int open = 0;
    for (int s : silent) {
        open += StillOpen(s);
        close(s);
    }
    EXPECT_EQ(open, 64); // they were all being held while the others were served
}

TEST_F(ServerLimits, SilentConnectionsAreClosedAfterTheIdleTime)
{
    TServerOptions o;
    o.IdleSeconds = 1;
    Start(o);
    // Half a request head, and a kept connection after its answer.
    const int half = Connect(Server->Port(), "127.0.0.1");
    ASSERT_GE(half, 0);
    send(half, "GET / HTTP/1.1\r\n", 16, MSG_NOSIGNAL);
    const int kept = Connect(Server->Port(), "127.0.0.1");
    ASSERT_GE(kept, 0);
    EXPECT_EQ(AskWhole(kept, "GET / HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.1 200 OK");
    for (int s : {half, kept}) {
        // The server ends it: nothing more to read within a generous wait.
        pollfd p{s, POLLIN, 0};
        char buf[256];
        ssize_t n = 1;
        while (n > 0 && poll(&p, 1, 60000) == 1)
            n = recv(s, buf, sizeof(buf), 0);
        EXPECT_EQ(n, 0) << (s == half ? "half a head" : "a kept connection");
        close(s);
    }
}

TEST_F(ServerLimits, ConnectionsPerClientAreCapped)
{
    TServerOptions o;
    o.MaxConnectionsPerClient = 4;
    o.IdleSeconds = 120;
    Start(o);
    std::vector<int> held;
    for (int i = 0; i < 10; ++i)
        held.push_back(Connect(Server->Port(), "127.0.0.2"));
    // A request on each: the first four are answered, the rest were closed.
    int answered = 0;
    for (int s : held) {
        if (s >= 0 && Ask(s, "GET / HTTP/1.1\r\nHost: x\r\n\r\n") == "HTTP/1.1 200 OK")
            ++answered;
        if (s >= 0)
            close(s);
    }
    EXPECT_EQ(answered, 4);
    const int other = Connect(Server->Port(), "127.0.0.1");
    EXPECT_EQ(Ask(other, "GET / HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.1 200 OK");
    close(other);
}

TEST_F(ServerLimits, OversizedRequestHeadsAreRefused)
{
    Start();
    struct Case {
        int Lines;
        size_t LineBytes;
        std::string Status;
    };
    // clang-format off
    const Case cases[] = {
        {10, 20, "HTTP/1.1 200 OK"},
        {39, 20, "HTTP/1.1 200 OK"},  // with Host: 40 lines, the limit
        {41, 20, "HTTP/1.1 431 Request Header Fields Too Large"},
        {20000, 10, "HTTP/1.1 431 Request Header Fields Too Large"},
        {1, 9000, "HTTP/1.1 431 Request Header Fields Too Large"},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::string request = "GET / HTTP/1.1\r\nHost: x\r\n";
        for (int i = 0; i < c.Lines; ++i)
            request += "X-" + std::to_string(i) + ": " + std::string(c.LineBytes, 'v') + "\r\n";
        request += "\r\n";
        const int s = Connect(Server->Port(), "127.0.0.1");
        ASSERT_GE(s, 0);
        EXPECT_EQ(Ask(s, request), c.Status) << c.Lines << " lines of " << c.LineBytes;
        close(s);
    }
}

TEST_F(ServerLimits, OneConnectionServesRequestAfterRequestButARefusedHeadEndsIt)
{
    Start();
    const int s = Connect(Server->Port(), "127.0.0.1");
    ASSERT_GE(s, 0);
    const std::string ok = "HTTP/1.1 200 OK";
    for (const char* path : {"/cgi/version.pl?version&prg=Zephyrion", "/scores.json", "/",
                             "/cgi/version.pl?version&prg=Zephyrion"})
        EXPECT_EQ(AskWhole(s, std::string("GET ") + path + " HTTP/1.1\r\nHost: x\r\n\r\n"), ok) << path;
    // A head over the limit is answered and the connection closed.
    std::string big = "GET / HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 60; ++i)
        big += "X-" + std::to_string(i) + ": v\r\n";
    EXPECT_EQ(AskWhole(s, big + "\r\n"), "HTTP/1.1 431 Request Header Fields Too Large");
    EXPECT_EQ(AskWhole(s, "GET / HTTP/1.1\r\nHost: x\r\n\r\n"), "");
    close(s);
}

} // namespace

namespace {

TEST_F(ServerLimits, BehindAProxyTheClientIsTheLastForwardedAddress)
{
    struct Case {
        bool Trusted;
        std::vector<std::pair<std::string, std::string>> Requests; // X-Forwarded-For, status line
    };
    const std::string ok = "HTTP/1.1 200 OK", many = "HTTP/1.1 429 Too Many Requests";
    // clang-format off
    const Case cases[] = {
        // Trusted: each forwarded address has its own limit; only the last entry counts.
        {true, {{"192.0.2.1", ok}, {"192.0.2.1", many}, {"192.0.2.2", ok}, {"10.0.0.9, 192.0.2.1", many},
                {"192.0.2.1, 192.0.2.3", ok}}},
        // Not trusted: the header is ignored, the socket's address counts.
        {false, {{"192.0.2.1", ok}, {"192.0.2.2", many}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TServerOptions o;
        o.ForwardedFor = c.Trusted;
        o.VersionBurst = 1;
        o.VersionsPerMinute = 1;
        Server.reset();
        Start(o);
        for (const auto& [forwarded, status] : c.Requests) {
            const int s = Connect(Server->Port(), "127.0.0.1");
            ASSERT_GE(s, 0);
            EXPECT_EQ(Ask(s, "GET /cgi/version.pl?version&prg=Zephyrion HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: " +
                                 forwarded + "\r\n\r\n"),
                      status)
                << c.Trusted << " " << forwarded;
            close(s);
        }
    }
}

} // namespace
