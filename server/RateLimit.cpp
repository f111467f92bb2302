#include "RateLimit.h"

#include <algorithm>
#include <cmath>

namespace scores {

TRateLimit::TRateLimit(double perMinute, double burst, size_t maxClients)
    : PerSecond(perMinute / 60.0), Burst(std::max(1.0, burst)), MaxClients(std::max<size_t>(1, maxClients))
{
}

void TRateLimit::Refill(TBucket& b, Clock::time_point now) const
{
    const double seconds = std::chrono::duration<double>(now - b.Last).count();
    if (seconds > 0)
        b.Tokens = std::min(Burst, b.Tokens + seconds * PerSecond);
    b.Last = now;
}

void TRateLimit::Sweep(Clock::time_point now)
{
    // A full bucket is the same as none.
    for (auto it = Buckets.begin(); it != Buckets.end();) {
        Refill(it->second, now);
        it = it->second.Tokens >= Burst ? Buckets.erase(it) : std::next(it);
    }
    // Still too many (a flood from very many addresses): start afresh; each
    // forgotten client gets at most one burst more than it would have had.
    if (Buckets.size() >= MaxClients)
        Buckets.clear();
}

bool TRateLimit::Allow(const std::string& client, Clock::time_point now)
{
    if (PerSecond <= 0)
        return true;
    std::lock_guard<std::mutex> guard(Lock);
    auto it = Buckets.find(client);
    if (it == Buckets.end()) {
        if (Buckets.size() >= MaxClients)
            Sweep(now);
        it = Buckets.emplace(client, TBucket{Burst, now}).first;
    }
    TBucket& b = it->second;
    Refill(b, now);
    if (b.Tokens < 1.0)
        return false;
    b.Tokens -= 1.0;
    return true;
}

int TRateLimit::RetryAfter(const std::string& client, Clock::time_point now)
{
    std::lock_guard<std::mutex> guard(Lock);
    auto it = Buckets.find(client);
    if (it == Buckets.end() || PerSecond <= 0)
        return 1;
    Refill(it->second, now);
    const double missing = 1.0 - it->second.Tokens;
    return std::max(1, static_cast<int>(std::ceil(missing / PerSecond)));
}

size_t TRateLimit::Clients()
{
    std::lock_guard<std::mutex> guard(Lock);
    return Buckets.size();
}

} // namespace scores
