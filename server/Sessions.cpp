#include "Sessions.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace scores {

std::string RandomHex128()
{
    uint8_t bytes[16];
    size_t got = 0;
    while (got < sizeof(bytes)) {
        ssize_t n = getrandom(bytes + got, sizeof(bytes) - got, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("no system randomness");
        }
        got += static_cast<size_t>(n);
    }
    static const char* const Hex = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out.push_back(Hex[b >> 4]);
        out.push_back(Hex[b & 15]);
    }
    return out;
}

std::string CookieValue(const std::string& header, const std::string& name)
{
    size_t pos = 0;
    while (pos <= header.size()) {
        size_t end = header.find(';', pos);
        if (end == std::string::npos)
            end = header.size();
        size_t a = header.find_first_not_of(' ', pos);
        if (a != std::string::npos && a < end) {
            const std::string pair = header.substr(a, end - a);
            const size_t eq = pair.find('=');
            if (eq != std::string::npos && pair.compare(0, eq, name) == 0 && eq == name.size()) {
                std::string value = pair.substr(eq + 1);
                while (!value.empty() && value.back() == ' ')
                    value.pop_back();
                return value;
            }
        }
        pos = end + 1;
    }
    return {};
}

TSessions::TSessions(size_t capacity, Clock::duration lifetime, size_t perClient)
    : Capacity(capacity ? capacity : 1), PerClient(perClient ? perClient : Capacity), Lifetime(lifetime)
{
}

void TSessions::Forget(Clock::time_point now)
{
    // Order can hold ids already spent or pushed out; they only count towards the bound.
    while (!Order.empty() && (Order.size() > Capacity || Order.front().Expires <= now)) {
        const TOrder& oldest = Order.front();
        auto it = Open.find(oldest.Id);
        if (it != Open.end() && it->second.Expires == oldest.Expires)
            Open.erase(it);
        auto client = ByClient.find(oldest.Client);
        if (client != ByClient.end()) {
            if (!client->second.empty() && client->second.front() == oldest.Id)
                client->second.pop_front();
            if (client->second.empty())
                ByClient.erase(client);
        }
        Order.pop_front();
    }
}

TSessions::TIssued TSessions::Issue(const std::string& client)
{
    TIssued issued{RandomHex128(), RandomHex128()};
    Keep(issued.Id, issued.Token, client);
    return issued;
}

void TSessions::Keep(const std::string& id, const std::string& token, const std::string& client)
{
    std::lock_guard<std::mutex> guard(Lock);
    const Clock::time_point now = Now();
    const Clock::time_point expires = now + Lifetime;
    Open[id] = TSession{token, expires};
    Order.push_back(TOrder{id, client, expires});
    std::deque<std::string>& mine = ByClient[client];
    mine.push_back(id);
    while (mine.size() > PerClient) {
        Open.erase(mine.front());
        mine.pop_front();
    }
    Forget(now);
}

bool TSessions::Spend(const std::string& id, const std::string& token, Clock::time_point* expires)
{
    std::lock_guard<std::mutex> guard(Lock);
    const Clock::time_point now = Now();
    Forget(now);
    auto it = Open.find(id);
    if (it == Open.end() || token.empty() || it->second.Token != token || it->second.Expires <= now)
        return false;
    if (expires)
        *expires = it->second.Expires;
    Open.erase(it);
    return true;
}

void TSessions::Restore(const std::string& id, const std::string& token, Clock::time_point expires)
{
    // Its place in Order and ByClient was never given up: the same expiry
    // lets Forget find it again.
    std::lock_guard<std::mutex> guard(Lock);
    if (expires > Now())
        Open.emplace(id, TSession{token, expires});
}

size_t TSessions::Size()
{
    std::lock_guard<std::mutex> guard(Lock);
    return Open.size();
}

} // namespace scores
