// zephyrion-scores-load: drives running score servers the way the game does
// (version request, cookie, one submission), or checks a table afterwards.
// Every simulated player comes from its own loopback address (127.1.x.y), as
// players on the internet do, so the per-client limits see many clients.
//   zephyrion-scores-load --port N [--port2 M] [--count 1000] [--clients 16]
//       sends COUNT results; with --port2 each player asks one server for the
//       version and sends the result through the other
//   zephyrion-scores-load --abuse --port N [--idle 64] [--flood 10000]
//       honest players while IDLE silent connections (each from its own
//       address, 127.0.2.x, so the per-client connection cap does not turn
//       them away: the server really holds them) and a flood of version
//       requests (from 127.0.0.3) run beside them; prints
//       the honest round trips a second and their times
//   zephyrion-scores-load --verify WHERE [--count 1000]
//       every score 0..COUNT-1 stored exactly once (WHERE: file or postgresql://)
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ScoreCodec.h"
#include "ScoreStore.h"
#include "Sessions.h"

namespace {

using Clock = std::chrono::steady_clock;

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

// Player n's own address: 127.1.0.1 and on.
in_addr_t PlayerAddress(int n)
{
    const uint32_t k = static_cast<uint32_t>(n) + 1;
    return htonl((127u << 24) | (1u << 16) | ((k >> 8) & 0xFF) << 8 | (k & 0xFF));
}

void FromAddress(httplib::Client& client, in_addr_t from)
{
    client.set_socket_options([from](int sock) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = from;
        bind(sock, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        const int on = 1;
        setsockopt(sock, IPPROTO_TCP, 1 /* TCP_NODELAY */, &on, sizeof(on));
    });
    client.set_connection_timeout(5, 0);
    client.set_read_timeout(15, 0);
}

// One game's sending: the version from one server, the result through another.
bool SendOne(int versionPort, int submitPort, in_addr_t from, int score)
{
    httplib::Client first("127.0.0.1", versionPort);
    FromAddress(first, from);
    auto version = first.Get("/cgi/version.pl?version&prg=Zephyrion");
    if (!version || version->status != 200)
        return false;
    const std::string cookie = scores::CookieValue(version->get_header_value("Set-Cookie"), "zsid");
    const std::string inf =
        scores::EncodeSymbols(Payload("L" + std::to_string(score % 1000), score, FifthField(version->body)));
    httplib::Headers headers = {{"Cookie", "zsid=" + cookie}};
    const std::string path = "/cgi/version.pl?hs&prg=Zephyrion&inf=" + inf;
    if (submitPort == versionPort) {
        auto sent = first.Get(path.c_str(), headers);
        return sent && sent->status == 200;
    }
    httplib::Client second("127.0.0.1", submitPort);
    FromAddress(second, from);
    auto sent = second.Get(path.c_str(), headers);
    return sent && sent->status == 200;
}

int Drive(int port, int port2, int count, int clients)
{
    std::atomic<int> next{0}, accepted{0}, failed{0};
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            for (int i = next++; i < count; i = next++) {
                // Alternate which server answers the version and which stores.
                const bool swap = port2 && (i % 2);
                const int a = swap ? port2 : port, b = port2 ? (swap ? port : port2) : port;
                if (SendOne(a, b, PlayerAddress(i), i))
                    ++accepted;
                else
                    ++failed;
            }
        });
    for (auto& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%d results from %d clients%s: %d accepted, %d failed, %.2f s, %.0f results/s\n", count, clients,
                port2 ? " through two servers" : "", accepted.load(), failed.load(), seconds, count / seconds);
    return failed == 0 ? 0 : 1;
}

// Silent connections, each from its own address (127.0.2.1 and on), that
// send half a request head and wait; those the server closes (idle time) are
// opened again at once: as long as no idle time runs out, `opened` stays at
// `count` when the server holds every one of them.
void HoldIdle(int port, int count, std::atomic<bool>& stop, std::atomic<long>& opened)
{
    std::vector<int> fds(static_cast<size_t>(count), -1);
    while (!stop) {
        for (size_t k = 0; k < fds.size(); ++k) {
            int& fd = fds[k];
            if (fd >= 0)
                continue;
            fd = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in from{}, to{};
            from.sin_family = to.sin_family = AF_INET;
            from.sin_addr.s_addr = htonl(0x7F000200 + static_cast<uint32_t>(k % 250) + 1);
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            to.sin_port = htons(static_cast<uint16_t>(port));
            bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof(from));
            if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof(to)) == 0) {
                const char half[] = "GET /cgi/version.pl?version&prg=Zephyrion HTTP/1.1\r\nHost: x\r\n";
                (void)!send(fd, half, sizeof(half) - 1, MSG_NOSIGNAL);
                ++opened;
            } else {
                close(fd);
                fd = -1;
            }
        }
        std::vector<pollfd> p;
        for (int fd : fds)
            p.push_back({fd, POLLIN, 0});
        poll(p.data(), p.size(), 100);
        for (size_t i = 0; i < p.size(); ++i)
            if (p[i].revents) {
                close(fds[i]);
                fds[i] = -1;
            }
    }
    for (int fd : fds)
        if (fd >= 0)
            close(fd);
}

double Percentile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

int Abuse(int port, int idle, int flood, int honestClients)
{
    std::atomic<bool> stop{false}, flooding{true};
    std::atomic<long> idleOpened{0};
    std::thread idler([&] { HoldIdle(port, idle, stop, idleOpened); });

    std::atomic<int> floodNext{0}, floodOk{0}, floodRefused{0}, floodFailed{0};
    std::vector<std::thread> flooders;
    const auto floodStart = Clock::now();
    for (int c = 0; c < 8; ++c)
        flooders.emplace_back([&] {
            httplib::Client client("127.0.0.1", port);
            client.set_socket_options([](int sock) {
                sockaddr_in a{};
                a.sin_family = AF_INET;
                a.sin_addr.s_addr = htonl(0x7F000003);
                bind(sock, reinterpret_cast<sockaddr*>(&a), sizeof(a));
            });
            client.set_keep_alive(true);
            client.set_connection_timeout(5, 0);
            for (int i = floodNext++; i < flood; i = floodNext++) {
                auto r = client.Get("/cgi/version.pl?version&prg=Zephyrion");
                if (!r)
                    ++floodFailed;
                else if (r->status == 200)
                    ++floodOk;
                else
                    ++floodRefused;
            }
        });
    std::thread floodWatch([&] {
        for (auto& t : flooders)
            t.join();
        flooding = false;
    });

    // Honest players, one address each, while the flood lasts (and at least 500).
    std::mutex lock;
    std::vector<double> times;
    std::atomic<int> nextPlayer{0}, lost{0};
    const auto start = Clock::now();
    std::vector<std::thread> honest;
    for (int c = 0; c < honestClients; ++c)
        honest.emplace_back([&] {
            for (;;) {
                const int i = nextPlayer++;
                if (!flooding && i >= 500)
                    break;
                const auto t0 = Clock::now();
                const bool ok = SendOne(port, port, PlayerAddress(i), i);
                const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                std::lock_guard<std::mutex> guard(lock);
                if (ok)
                    times.push_back(ms);
                else
                    ++lost;
            }
        });
    for (auto& t : honest)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    floodWatch.join();
    const double floodSeconds = std::chrono::duration<double>(Clock::now() - floodStart).count();
    stop = true;
    idler.join();

    const double p99 = Percentile(times, 0.99);
    std::printf("beside them: %d silent connections (%ld opened in all), a flood of %d version requests in %.1f s "
                "(%d answered, %d refused as too many, %d failed)\n",
                idle, idleOpened.load(), flood, floodSeconds, floodOk.load(), floodRefused.load(), floodFailed.load());
    std::printf("honest round trips (version + result, %d players at once): %zu in %.2f s = %.0f a second; "
                "median %.1f ms, 99th percentile %.1f ms, slowest %.1f ms; %d lost\n",
                honestClients, times.size(), seconds, static_cast<double>(times.size()) / seconds,
                Percentile(times, 0.5), p99, Percentile(times, 1.0), lost.load());
    std::printf("goal: 99th percentile at most 50 ms and none lost: %s\n", p99 <= 50 && lost == 0 ? "met" : "MISSED");
    return lost == 0 ? 0 : 1;
}

int Verify(const std::string& where, int count)
{
    const auto store = scores::OpenScoreStore(where);
    std::vector<int> seen(static_cast<size_t>(count), 0);
    int strays = 0;
    for (const auto& r : store->Best(count * 2 + 10)) {
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
                static_cast<long long>(store->Count()), missing, doubled, strays);
    return missing == 0 && doubled == 0 && strays == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    int port = 0, port2 = 0, count = 1000, clients = 16, idle = 64, flood = 10000;
    bool abuse = false;
    std::string verify;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--abuse") {
            abuse = true;
            continue;
        }
        if (i + 1 >= argc)
            break;
        const char* v = argv[++i];
        if (arg == "--port")
            port = std::atoi(v);
        else if (arg == "--port2")
            port2 = std::atoi(v);
        else if (arg == "--count")
            count = std::atoi(v);
        else if (arg == "--clients")
            clients = std::atoi(v);
        else if (arg == "--idle")
            idle = std::atoi(v);
        else if (arg == "--flood")
            flood = std::atoi(v);
        else if (arg == "--verify")
            verify = v;
    }
    if (count <= 0 || clients <= 0 || (verify.empty() && (port <= 0 || port > 65535))) {
        std::fprintf(stderr, "usage: zephyrion-scores-load --port N [--port2 M] [--count 1000] [--clients 16]\n"
                             "       zephyrion-scores-load --abuse --port N [--idle 64] [--flood 10000] [--clients 4]\n"
                             "       zephyrion-scores-load --verify WHERE [--count 1000]\n");
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    try {
        if (!verify.empty())
            return Verify(verify, count);
        return abuse ? Abuse(port, idle, flood, clients) : Drive(port, port2, count, clients);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zephyrion-scores-load: %s\n", e.what());
        return 1;
    }
}
