// zephyrion-scores [--port N] [--db FILE] [--bind ADDR] [--site URL]
// Serves the world table until SIGINT or SIGTERM.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <thread>

#include "ScoreServer.h"

namespace {

void Usage(std::FILE* out)
{
    std::fprintf(out,
                 "usage: zephyrion-scores [--port N] [--db FILE] [--bind ADDR] [--site URL]\n"
                 "  --port N     TCP port (default 8077; 0 picks a free one)\n"
                 "  --db FILE    SQLite file of the world table (default zephyrion-scores.db)\n"
                 "  --bind ADDR  address to listen on (default 127.0.0.1)\n"
                 "  --site URL   the publisher's web site named in the version answer\n");
}

bool ParsePort(const char* text, int& port)
{
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < 0 || v > 65535)
        return false;
    port = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    scores::TServerOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "zephyrion-scores: %s needs a value\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
        const char* value = argv[++i];
        if (arg == "--port") {
            if (!ParsePort(value, options.Port)) {
                std::fprintf(stderr, "zephyrion-scores: bad port '%s'\n", value);
                return 2;
            }
        } else if (arg == "--db") {
            options.Database = value;
        } else if (arg == "--bind") {
            options.Bind = value;
        } else if (arg == "--site") {
            options.SiteAddress = value;
        } else {
            std::fprintf(stderr, "zephyrion-scores: unknown option %s\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
    }

    // The worker threads inherit the blocked signals; one waiter stops the
    // server in an orderly way.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    try {
        scores::TScoreServer server(options);
        std::printf("zephyrion-scores: serving on http://%s:%d/ (table in %s)\n", options.Bind.c_str(),
                    server.Port(), options.Database.c_str());
        std::fflush(stdout);
        std::atomic<bool> finished{false};
        std::thread waiter([&] {
            int sig = 0;
            sigwait(&stopSignals, &sig);
            // A stop asked for before the server runs would be lost.
            while (!finished && !server.IsRunning())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            server.Stop();
        });
        const bool ok = server.Run();
        finished = true;
        kill(getpid(), SIGTERM); // wakes the waiter if nobody asked to stop (still blocked: not fatal)
        waiter.join();
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zephyrion-scores: %s\n", e.what());
        return 1;
    }
}
