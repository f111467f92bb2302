// zephyrion-scores-load: drives a running score server the way the game does
// (version request, cookie, one submission) from many clients at once, or
// checks a table file afterwards.
//   zephyrion-scores-load --port N [--count 1000] [--clients 16]
//   zephyrion-scores-load --verify FILE [--count 1000]
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ScoreCodec.h"
#include "ScoreStore.h"
#include "Sessions.h"

namespace {

std::string Payload(const std::string& name, int score, const std::string& token)
{
    std::string p = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=Z|p=" + token + "|add=Load|z=";
    while (p.size() % 5)
        p.push_back('0');
    return p;
}

std::string FifthField(const std::string& r)
{
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        start = r.find('|', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    size_t end = r.find('|', start);
    return end == std::string::npos ? std::string() : r.substr(start, end - start);
}

bool SendOne(httplib::Client& client, int score)
{
    auto version = client.Get("/cgi/version.pl?version&prg=Zephyrion");
    if (!version || version->status != 200)
        return false;
    const std::string cookie = scores::CookieValue(version->get_header_value("Set-Cookie"), "zsid");
    const std::string inf = scores::EncodeSymbols(Payload("L" + std::to_string(score % 1000), score, FifthField(version->body)));
    httplib::Headers headers = {{"Cookie", "zsid=" + cookie}};
    auto sent = client.Get(("/cgi/version.pl?hs&prg=Zephyrion&inf=" + inf).c_str(), headers);
    return sent && sent->status == 200;
}

int Drive(int port, int count, int clients)
{
    std::atomic<int> next{0}, accepted{0}, failed{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            httplib::Client client("127.0.0.1", port);
            client.set_connection_timeout(5, 0);
            client.set_read_timeout(15, 0);
            for (int i = next++; i < count; i = next++) {
                if (SendOne(client, i))
                    ++accepted;
                else
                    ++failed;
            }
        });
    for (auto& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d submissions from %d clients: %d accepted, %d failed, %.2f s, %.0f submissions/s\n", count,
                clients, accepted.load(), failed.load(), seconds, count / seconds);
    return failed == 0 ? 0 : 1;
}

int Verify(const std::string& file, int count)
{
    scores::TScoreStore store(file);
    std::vector<int> seen(static_cast<size_t>(count), 0);
    int strays = 0;
    for (const auto& r : store.Best(count * 2 + 10)) {
        if (r.Score >= 0 && r.Score < count)
            ++seen[static_cast<size_t>(r.Score)];
        else
            ++strays;
    }
    int missing = 0, doubled = 0;
    for (int n : seen) {
        missing += n == 0;
        doubled += n > 1;
    }
    std::printf("table: %lld rows; %d missing, %d stored more than once, %d strays\n",
                static_cast<long long>(store.Count()), missing, doubled, strays);
    return missing == 0 && doubled == 0 && strays == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    int port = 0, count = 1000, clients = 16;
    std::string verify;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--port")
            port = std::atoi(argv[i + 1]);
        else if (arg == "--count")
            count = std::atoi(argv[i + 1]);
        else if (arg == "--clients")
            clients = std::atoi(argv[i + 1]);
        else if (arg == "--verify")
            verify = argv[i + 1];
    }
    if (count <= 0 || clients <= 0 || (verify.empty() && (port <= 0 || port > 65535))) {
        std::fprintf(stderr, "usage: zephyrion-scores-load --port N [--count 1000] [--clients 16]\n"
                             "       zephyrion-scores-load --verify FILE [--count 1000]\n");
        return 2;
    }
    try {
        return verify.empty() ? Drive(port, count, clients) : Verify(verify, count);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zephyrion-scores-load: %s\n", e.what());
        return 1;
    }
}
