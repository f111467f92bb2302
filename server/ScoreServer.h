// The publisher's score server: the version request, the submission of a
// result, the world table page and its JSON list, and a small home page, over
// GNU libmicrohttpd's event loop. Idle or slow connections cost a file
// descriptor, not a thread; every limit below holds per client, so one
// abusive client never stops the others from being served.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "RateLimit.h"
#include "RecordCheck.h"
#include "ScoreStore.h"

struct MHD_Daemon;
struct MHD_Connection;
struct sockaddr;

namespace scores {

// The highest score the server believes. Every way the game gives points, at
// its greatest possible rate: a wave of five of the richest ships (50 each)
// at every 200 ms spawn check, an asteroid shot to pieces (five hits of 10)
// at every check, and the last command ship (3,000) at every boss stage, of
// which there is at most one per three stage titles of 2 s: 1,250 + 250 +
// 500 = 2,000 points a second, far beyond any real play. Ten hours of that
// non-stop is 72,000,000; a result above it was not earned in the game.
constexpr int64_t DefaultScoreCeiling = 72'000'000;

struct TServerOptions {
    std::string Bind = "127.0.0.1";
    int Port = 8077;                              // 0: any free port (see TScoreServer::Port)
    std::string Database = "zephyrion-scores.db"; // an SQLite file, or postgresql://...
    std::string SiteAddress;                      // empty: http://<bind>:<port>/

    // Connections: all together, per client, idle time, request head size.
    unsigned Threads = 4; // event loops
    unsigned MaxConnections = 2000;
    unsigned MaxConnectionsPerClient = 16;
    unsigned IdleSeconds = 10;
    size_t MaxHeaderBytes = 8192; // request line and header lines together
    unsigned MaxHeaders = 40;

    // Per-client rates (requests a minute, and how many may come at once).
    double VersionsPerMinute = 30, VersionBurst = 30;
    double SubmissionsPerMinute = 30, SubmissionBurst = 30;
    double PagesPerMinute = 240, PageBurst = 60;

    size_t SessionsPerClient = 64;
    size_t SessionCapacity = 200000;
    int64_t SessionSeconds = 900;
    int64_t ScoreCeiling = DefaultScoreCeiling;
    int KeepDays = 0;          // 0: results are kept for ever
    bool ForwardedFor = false; // behind a proxy: the client is the last X-Forwarded-For address
    // Game records (RecordCheck.h): uploads waiting behind the one being played.
    size_t RecordQueue = 16;
    int DatabaseConnections = 0; // PostgreSQL; 0: one per event loop and one more
};

class TScoreServer {
public:
    // Opens the database, binds the socket and starts serving; throws
    // std::runtime_error on failure.
    explicit TScoreServer(const TServerOptions& options);
    ~TScoreServer();
    int Port() const { return BoundPort; }
    // Waits until Stop(); returns false if the server could not run.
    bool Run();
    void Stop();
    bool IsRunning() const { return Running; }
    IScoreStore& Store() { return *Table; }
    TRecordCheck& Records() { return *Checker; }
    const TServerOptions& Settings() const { return Options; }

    struct TAnswer {
        int Status = 200;
        std::string Body;
        std::string Type = "text/plain; charset=utf-8";
        std::string Cookie; // Set-Cookie, when not empty
        int RetryAfter = 0; // seconds, for 429 and 503
        bool Html = false;  // gets the page's security headers
        bool Cacheable = false;
    };
    // One request, without the network (the handler and the tests).
    struct TRequest {
        std::string Path;
        std::string Client;
        std::string Cookie;
        // Query values in order; a key without '=' has no value.
        std::vector<std::pair<std::string, std::optional<std::string>>> Query;
    };
    TAnswer Answer(const TRequest& request);

private:
    TAnswer Script(const TRequest& request);
    TAnswer Version(const TRequest& request);
    TAnswer Submission(const TRequest& request);
    TAnswer WorldTable(const TRequest& request, bool json);
    void Janitor();

    TServerOptions Options;
    std::unique_ptr<IScoreStore> Table;
    std::unique_ptr<TRecordCheck> Checker;
    TRateLimit VersionLimit, SubmissionLimit, PageLimit;
    MHD_Daemon* Daemon = nullptr;
    int BoundPort = 0;
    std::atomic<bool> Running{false};
    std::mutex StopLock;
    std::condition_variable Stopped;
    std::thread Cleaner;
};

// The client's key for the limits: the IPv4 address, or the first 64 bits
// of an IPv6 address (one household's or one machine's block).
std::string ClientKey(const sockaddr* address);

} // namespace scores
