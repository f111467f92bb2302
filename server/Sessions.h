// Sessions of the score server: each version request opens one, with a
// cookie id and a one-time value; a submission must bring both back, and the
// value is spent by its first use. Memory stays bounded: sessions expire, and
// the oldest are dropped when the table is full; one client's many sessions
// only ever push out that client's own older ones.
#pragma once
#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace scores {

class TSessions {
public:
    using Clock = std::chrono::steady_clock;
    explicit TSessions(size_t capacity = 4096, Clock::duration lifetime = std::chrono::minutes(15),
                       size_t perClient = 0 /* 0: the whole capacity */);

    struct TIssued {
        std::string Id;    // the cookie value
        std::string Token; // the version answer's fifth field
    };
    TIssued Issue(const std::string& client = {});
    // Keeps a session made elsewhere (the cookie id and value already drawn).
    void Keep(const std::string& id, const std::string& token, const std::string& client);
    // True once for the id's current token, if the session has not expired;
    // `expires` gets when it would have.
    bool Spend(const std::string& id, const std::string& token, Clock::time_point* expires = nullptr);
    // Gives a spent value back (its result could not be stored), good until
    // it would have expired anyway.
    void Restore(const std::string& id, const std::string& token, Clock::time_point expires);
    size_t Size();

    // Tests move time on by hand.
    void SetNowForTest(Clock::time_point now)
    {
        TestNow = now;
        HaveTestNow = true;
    }

private:
    struct TSession {
        std::string Token;
        Clock::time_point Expires;
    };
    Clock::time_point Now() const { return HaveTestNow ? TestNow : Clock::now(); }
    void Forget(Clock::time_point now);

    struct TOrder {
        std::string Id, Client;
        Clock::time_point Expires;
    };
    std::mutex Lock;
    size_t Capacity, PerClient;
    Clock::duration Lifetime;
    std::unordered_map<std::string, TSession> Open;
    std::deque<TOrder> Order;                                          // by issue time
    std::unordered_map<std::string, std::deque<std::string>> ByClient; // ids by issue time
    Clock::time_point TestNow{};
    bool HaveTestNow = false;
};

// 128 random bits from the system as 32 hex digits.
std::string RandomHex128();

// The value of one cookie in a Cookie header ("a=1; zsid=...; b=2").
std::string CookieValue(const std::string& header, const std::string& name);

} // namespace scores
