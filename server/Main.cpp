// zephyrion-scores [options]: serves the world table until SIGINT or SIGTERM.
// zephyrion-scores --help lists the options.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <string>

#include "ScoreServer.h"

namespace {

struct TOption {
    const char* Name;
    const char* Value; // what the value is, for the help
    const char* Help;
    std::function<bool(const char*)> Set;
};

bool Number(const char* text, double lo, double hi, double& out)
{
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (!*text || *end || !(v >= lo && v <= hi))
        return false;
    out = v;
    return true;
}

template <typename T>
std::function<bool(const char*)> Whole(T& target, double lo, double hi)
{
    return [&target, lo, hi](const char* text) {
        double v = 0;
        if (!Number(text, lo, hi, v) || v != static_cast<double>(static_cast<long long>(v)))
            return false;
        target = static_cast<T>(v);
        return true;
    };
}

std::function<bool(const char*)> Real(double& target, double lo, double hi)
{
    return [&target, lo, hi](const char* text) { return Number(text, lo, hi, target); };
}

std::function<bool(const char*)> Text(std::string& target)
{
    return [&target](const char* text) {
        target = text;
        return true;
    };
}

} // namespace

int main(int argc, char** argv)
{
    scores::TServerOptions o;
    const TOption options[] = {
        {"--port", "N", "TCP port (default 8077; 0 picks a free one)", Whole(o.Port, 0, 65535)},
        {"--bind", "ADDR", "address to listen on, IPv4 or IPv6 (default 127.0.0.1)", Text(o.Bind)},
        {"--db", "WHERE", "SQLite file of the table (default zephyrion-scores.db), or a PostgreSQL address "
                          "postgresql://... shared by several servers",
         Text(o.Database)},
        {"--site", "URL", "the publisher's web site named in the version answer", Text(o.SiteAddress)},
        {"--threads", "N", "event loops (default 4)", Whole(o.Threads, 1, 256)},
        {"--max-connections", "N", "open connections, all clients (default 2000)", Whole(o.MaxConnections, 1, 1e6)},
        {"--max-connections-per-client", "N", "open connections from one address (default 16; 0: no limit)",
         Whole(o.MaxConnectionsPerClient, 0, 1e6)},
        {"--idle-timeout", "S", "seconds a connection may stay silent (default 10)", Whole(o.IdleSeconds, 1, 3600)},
        {"--max-header-bytes", "N", "request line and headers together (default 8192)",
         Whole(o.MaxHeaderBytes, 1024, 1 << 20)},
        {"--max-headers", "N", "header lines of one request (default 40)", Whole(o.MaxHeaders, 4, 1000)},
        {"--version-rate", "N", "version requests a minute from one address (default 30; 0: no limit)",
         Real(o.VersionsPerMinute, 0, 1e9)},
        {"--version-burst", "N", "version requests at once from one address (default 30)", Real(o.VersionBurst, 1, 1e9)},
        {"--submit-rate", "N", "results a minute from one address (default 30; 0: no limit)",
         Real(o.SubmissionsPerMinute, 0, 1e9)},
        {"--submit-burst", "N", "results at once from one address (default 30)", Real(o.SubmissionBurst, 1, 1e9)},
        {"--page-rate", "N", "table pages a minute from one address (default 240; 0: no limit)",
         Real(o.PagesPerMinute, 0, 1e9)},
        {"--page-burst", "N", "table pages at once from one address (default 60)", Real(o.PageBurst, 1, 1e9)},
        {"--sessions-per-client", "N", "open version answers per address; its oldest go first (default 64)",
         Whole(o.SessionsPerClient, 1, 1e6)},
        {"--session-seconds", "S", "how long a version answer stays good (default 900)",
         Whole(o.SessionSeconds, 10, 86400)},
        {"--max-score", "N", "the highest score believed (default 72000000, see README)",
         Whole(o.ScoreCeiling, 0, 2147483647)},
        {"--keep-days", "N", "forget results older than this (default 0: keep them all)", Whole(o.KeepDays, 0, 1e6)},
        {"--db-connections", "N", "PostgreSQL connections (default: event loops + 1)",
         Whole(o.DatabaseConnections, 0, 1000)},
    };
    auto usage = [&](std::FILE* out) {
        std::fprintf(out, "usage: zephyrion-scores [options]\n");
        for (const TOption& opt : options)
            std::fprintf(out, "  %s %s\n      %s\n", opt.Name, opt.Value, opt.Help);
        std::fprintf(out, "  --forwarded-for\n      behind a proxy: the client is the last X-Forwarded-For address\n");
    };

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--forwarded-for") {
            o.ForwardedFor = true;
            continue;
        }
        const TOption* found = nullptr;
        for (const TOption& opt : options)
            if (arg == opt.Name)
                found = &opt;
        if (!found) {
            std::fprintf(stderr, "zephyrion-scores: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "zephyrion-scores: %s needs a value\n", arg.c_str());
            return 2;
        }
        if (!found->Set(argv[++i])) {
            std::fprintf(stderr, "zephyrion-scores: bad value '%s' for %s\n", argv[i], arg.c_str());
            return 2;
        }
    }

    // The event loops inherit the blocked signals; this thread waits for one.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    try {
        scores::TScoreServer server(o);
        // The PostgreSQL address may carry a password: name only the kind.
        const std::string table = scores::IsPostgresAddress(o.Database) ? "PostgreSQL" : o.Database;
        std::printf("zephyrion-scores: serving on http://%s:%d/ (table in %s)\n",
                    o.Bind.find(':') != std::string::npos ? ("[" + o.Bind + "]").c_str() : o.Bind.c_str(),
                    server.Port(), table.c_str());
        std::fflush(stdout);
        int sig = 0;
        sigwait(&stopSignals, &sig);
        server.Stop();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zephyrion-scores: %s\n", e.what());
        return 1;
    }
}
