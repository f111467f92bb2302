// Per-client rate limits: a bucket of requests per client that refills at a
// steady rate. A client that empties its bucket is refused until it refills;
// everyone else is untouched. Memory stays bounded: full buckets are the same
// as no bucket and are forgotten first.
#pragma once
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace scores {

class TRateLimit {
public:
    using Clock = std::chrono::steady_clock;
    // perMinute 0: no limit. burst: how many may come at once after a quiet spell.
    TRateLimit(double perMinute, double burst, size_t maxClients = 100000);
    // True when the client may have one more.
    bool Allow(const std::string& client, Clock::time_point now = Clock::now());
    // Seconds until the client may have one more (for Retry-After), at least 1.
    int RetryAfter(const std::string& client, Clock::time_point now = Clock::now());
    size_t Clients();

private:
    struct TBucket {
        double Tokens;
        Clock::time_point Last;
    };
    void Refill(TBucket& b, Clock::time_point now) const;
    void Sweep(Clock::time_point now);

    std::mutex Lock;
    double PerSecond, Burst;
    size_t MaxClients;
    std::unordered_map<std::string, TBucket> Buckets;
};

} // namespace scores
