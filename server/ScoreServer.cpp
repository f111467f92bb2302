#include "ScoreServer.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "Assets.h"
#include "ScoreCodec.h"
#include "Sessions.h"
#include "WorldTable.h"

namespace scores {

namespace {

constexpr const char* ProgramName = "Zephyrion";
constexpr const char* CookieName = "zsid";
// A query longer than this is refused as a whole (the game's longest is
// well under 700 bytes).
constexpr size_t MaxQueryBytes = 8192;

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

TScoreServer::TAnswer Refuse(int status, const std::string& why, int retryAfter = 0)
{
    TScoreServer::TAnswer a;
    a.Status = status;
    a.Body = why + "\n";
    a.RetryAfter = retryAfter;
    return a;
}

const std::optional<std::string>* Find(const TScoreServer::TRequest& r, const char* key)
{
    for (const auto& kv : r.Query)
        if (kv.first == key)
            return &kv.second;
    return nullptr;
}
bool Has(const TScoreServer::TRequest& r, const char* key) { return Find(r, key) != nullptr; }
std::string Value(const TScoreServer::TRequest& r, const char* key)
{
    const auto* v = Find(r, key);
    return v && *v ? **v : std::string();
}
size_t CountOf(const TScoreServer::TRequest& r, const char* key)
{
    size_t n = 0;
    for (const auto& kv : r.Query)
        n += kv.first == key;
    return n;
}

// The pages allow no script at all: a name that slipped past the escaping
// could still do nothing.
const char* const PagePolicy = "default-src 'none'; img-src 'self'; font-src 'self'; style-src 'unsafe-inline'; "
                               "form-action 'self'; base-uri 'none'; frame-ancestors 'none'";

MHD_Result Handle(void* self, MHD_Connection* c, const char* url, const char* method, const char* version,
                  const char* upload, size_t* uploadSize, void** state);

struct TRequestState {
    bool Answered = false;
};

MHD_Result Queue(MHD_Connection* c, const TScoreServer::TAnswer& a)
{
    MHD_Response* r = MHD_create_response_from_buffer(a.Body.size(), const_cast<char*>(a.Body.data()),
                                                      MHD_RESPMEM_MUST_COPY);
    if (!r)
        return MHD_NO;
    MHD_add_response_header(r, "Content-Type", a.Type.c_str());
    MHD_add_response_header(r, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(r, "Cache-Control", a.Cacheable ? "public, max-age=86400" : "no-store");
    if (a.Html) {
        MHD_add_response_header(r, "Content-Security-Policy", PagePolicy);
        MHD_add_response_header(r, "Referrer-Policy", "no-referrer");
    }
    if (!a.Cookie.empty())
        MHD_add_response_header(r, "Set-Cookie", a.Cookie.c_str());
    if (a.RetryAfter > 0)
        MHD_add_response_header(r, "Retry-After", std::to_string(a.RetryAfter).c_str());
    const MHD_Result ok = MHD_queue_response(c, static_cast<unsigned>(a.Status), r);
    MHD_destroy_response(r);
    return ok;
}

struct TCollect {
    TScoreServer::TRequest* Request;
    size_t Bytes = 0;
};

MHD_Result CollectArgument(void* cls, MHD_ValueKind, const char* key, const char* value)
{
    auto* c = static_cast<TCollect*>(cls);
    c->Bytes += std::strlen(key) + (value ? std::strlen(value) + 1 : 0) + 1;
    if (c->Request->Query.size() < 64)
        c->Request->Query.emplace_back(key, value ? std::optional<std::string>(value) : std::nullopt);
    return MHD_YES;
}

MHD_Result CountBytes(void* cls, MHD_ValueKind, const char* key, const char* value)
{
    *static_cast<size_t*>(cls) += std::strlen(key) + (value ? std::strlen(value) : 0) + 4;
    return MHD_YES;
}

void Completed(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode)
{
    delete static_cast<TRequestState*>(*state);
    *state = nullptr;
}

int OpenListener(const std::string& bind, int port, int& bound)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_PASSIVE;
    addrinfo* found = nullptr;
    if (getaddrinfo(bind.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        throw std::runtime_error("cannot use the address " + bind);
    const int s = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (s >= 0)
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    const bool ok = s >= 0 && ::bind(s, found->ai_addr, found->ai_addrlen) == 0 && listen(s, 1024) == 0;
    freeaddrinfo(found);
    if (!ok) {
        if (s >= 0)
            close(s);
        throw std::runtime_error("cannot listen on " + bind + ":" + std::to_string(port) + ": " + std::strerror(errno));
    }
    sockaddr_storage a{};
    socklen_t len = sizeof(a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    bound = ntohs(a.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&a)->sin6_port
                                          : reinterpret_cast<sockaddr_in*>(&a)->sin_port);
    return s;
}

} // namespace

std::string ClientKey(const sockaddr* address)
{
    char text[INET6_ADDRSTRLEN] = "";
    if (!address)
        return "?";
    if (address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof(text));
        return text;
    }
    if (address->sa_family == AF_INET6) {
        in6_addr a = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&a)) {
            inet_ntop(AF_INET, a.s6_addr + 12, text, sizeof(text));
            return text;
        }
        std::memset(a.s6_addr + 8, 0, 8);
        inet_ntop(AF_INET6, &a, text, sizeof(text));
        return std::string(text) + "/64";
    }
    return "?";
}

TScoreServer::TScoreServer(const TServerOptions& options)
    : Options(options),
      VersionLimit(options.VersionsPerMinute, options.VersionBurst),
      SubmissionLimit(options.SubmissionsPerMinute, options.SubmissionBurst),
      PageLimit(options.PagesPerMinute, options.PageBurst)
{
    const unsigned threads = Options.Threads ? Options.Threads : 1;
    TStoreLimits limits;
    limits.SessionsPerClient = Options.SessionsPerClient;
    limits.Sessions = Options.SessionCapacity;
    limits.SessionSeconds = Options.SessionSeconds;
    limits.Connections = Options.DatabaseConnections > 0 ? Options.DatabaseConnections : static_cast<int>(threads) + 1;
    Table = OpenScoreStore(Options.Database, limits);

    const int listener = OpenListener(Options.Bind, Options.Port, BoundPort);
    if (Options.SiteAddress.empty())
        Options.SiteAddress = "http://" + Options.Bind + ":" + std::to_string(BoundPort) + "/";

    // The request head (request line and header lines) must fit the
    // connection's memory, with room for the answer's head: a longer one is
    // refused by the library before any handler runs.
    const size_t memory = Options.MaxHeaderBytes + 4096;
    Daemon = MHD_start_daemon(
        MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_TURBO, 0, nullptr, nullptr,
        &Handle, this,
        MHD_OPTION_LISTEN_SOCKET, listener,
        MHD_OPTION_THREAD_POOL_SIZE, threads,
        MHD_OPTION_CONNECTION_LIMIT, Options.MaxConnections,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, Options.MaxConnectionsPerClient,
        MHD_OPTION_CONNECTION_TIMEOUT, Options.IdleSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, memory,
        MHD_OPTION_NOTIFY_COMPLETED, &Completed, nullptr,
        MHD_OPTION_END);
    if (!Daemon) {
        close(listener);
        throw std::runtime_error("cannot start serving on " + Options.Bind);
    }
    Running = true;
    Cleaner = std::thread([this] { Janitor(); });
}

TScoreServer::~TScoreServer()
{
    Stop();
    if (Cleaner.joinable())
        Cleaner.join();
    if (Daemon)
        MHD_stop_daemon(Daemon);
}

bool TScoreServer::Run()
{
    std::unique_lock<std::mutex> guard(StopLock);
    Stopped.wait(guard, [this] { return !Running; });
    return Daemon != nullptr;
}

void TScoreServer::Stop()
{
    {
        std::lock_guard<std::mutex> guard(StopLock);
        Running = false;
    }
    Stopped.notify_all();
}

// Every minute: expired sessions go; every hour, with a retention set,
// results older than it.
void TScoreServer::Janitor()
{
    auto lastRetention = std::chrono::steady_clock::time_point{};
    std::unique_lock<std::mutex> guard(StopLock);
    while (Running) {
        guard.unlock();
        Table->ForgetSessions(Now());
        if (Options.KeepDays > 0 && std::chrono::steady_clock::now() - lastRetention >= std::chrono::hours(1)) {
            Table->ForgetBefore(Now() - int64_t(Options.KeepDays) * 86400);
            lastRetention = std::chrono::steady_clock::now();
        }
        guard.lock();
        Stopped.wait_for(guard, std::chrono::minutes(1), [this] { return !Running; });
    }
}

namespace {

MHD_Result Handle(void* self, MHD_Connection* c, const char* url, const char* method, const char*, const char*,
                  size_t* uploadSize, void** state)
{
    auto* server = static_cast<TScoreServer*>(self);
    const TServerOptions& options = server->Settings();
    auto* seen = static_cast<TRequestState*>(*state);
    if (!seen) {
        // The head is in. A request refused for its head is answered at once
        // (the library then closes the connection); any other is answered
        // once the whole request is in, so that the connection can be kept
        // for the next one.
        *state = seen = new TRequestState;
        if (std::strcmp(method, "GET") != 0 && std::strcmp(method, "HEAD") != 0) {
            seen->Answered = true;
            return Queue(c, Refuse(405, "only GET"));
        }
        size_t headBytes = std::strlen(url) + std::strlen(method);
        const size_t headers =
            static_cast<size_t>(MHD_get_connection_values(c, MHD_HEADER_KIND, &CountBytes, &headBytes));
        if (headers > options.MaxHeaders || headBytes > options.MaxHeaderBytes) {
            seen->Answered = true;
            return Queue(c, Refuse(431, "the request head is too large"));
        }
        return MHD_YES;
    }
    if (*uploadSize != 0 || seen->Answered) {
        // A body (no request here has one) is dropped.
        *uploadSize = 0;
        return MHD_YES;
    }
    seen->Answered = true;

    TScoreServer::TRequest request;
    request.Path = url;
    TCollect collect{&request};
    MHD_get_connection_values(c, MHD_GET_ARGUMENT_KIND, &CollectArgument, &collect);
    if (collect.Bytes > MaxQueryBytes)
        return Queue(c, Refuse(414, "the address is too long"));

    const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    request.Client = ClientKey(info ? info->client_addr : nullptr);
    if (options.ForwardedFor) {
        // The proxy appends the address it saw: the last entry is the only one it vouches for.
        const char* forwarded = MHD_lookup_connection_value(c, MHD_HEADER_KIND, "X-Forwarded-For");
        if (forwarded) {
            std::string f = forwarded;
            const size_t comma = f.rfind(',');
            f = f.substr(comma == std::string::npos ? 0 : comma + 1);
            f.erase(0, f.find_first_not_of(' '));
            f.erase(f.find_last_not_of(' ') + 1);
            if (!f.empty() && f.size() < 64)
                request.Client = f;
        }
    }
    const char* cookie = MHD_lookup_connection_value(c, MHD_HEADER_KIND, "Cookie");
    if (cookie)
        request.Cookie = CookieValue(cookie, CookieName);
    try {
        return Queue(c, server->Answer(request));
    } catch (const std::exception&) {
        return Queue(c, Refuse(500, "internal error"));
    }
}

} // namespace

TScoreServer::TAnswer TScoreServer::Answer(const TRequest& request)
{
    if (request.Path == "/cgi/version.pl")
        return Script(request);
    if (request.Path == "/scores.json") {
        if (!PageLimit.Allow(request.Client))
            return Refuse(429, "too many requests", PageLimit.RetryAfter(request.Client));
        return WorldTable(request, true);
    }
    if (request.Path == "/zephyrion-title.png" || request.Path == "/zephyrion-play.ttf") {
        const TAsset asset = request.Path == "/zephyrion-title.png" ? TitleArtPng() : PlayFont();
        TAnswer a;
        a.Body.assign(reinterpret_cast<const char*>(asset.Data), asset.Size);
        a.Type = request.Path == "/zephyrion-title.png" ? "image/png" : "font/ttf";
        a.Cacheable = true;
        return a;
    }
    if (request.Path == "/") {
        TAnswer a;
        a.Body = RenderHomePage();
        a.Type = "text/html; charset=utf-8";
        a.Html = true;
        return a;
    }
    return Refuse(404, "not found");
}

TScoreServer::TAnswer TScoreServer::Script(const TRequest& request)
{
    if (Value(request, "prg") != ProgramName)
        return Refuse(400, "unknown program");
    if (Has(request, "version"))
        return Version(request);
    if (Has(request, "hs"))
        return Submission(request);
    if (Has(request, "show")) {
        if (!PageLimit.Allow(request.Client))
            return Refuse(429, "too many requests", PageLimit.RetryAfter(request.Client));
        return WorldTable(request, Value(request, "format") == "json");
    }
    return Refuse(400, "unknown request");
}

TScoreServer::TAnswer TScoreServer::Version(const TRequest& request)
{
    if (!VersionLimit.Allow(request.Client))
        return Refuse(429, "too many version requests from this address", VersionLimit.RetryAfter(request.Client));
    const TSessionTicket ticket{RandomHex128(), RandomHex128(), request.Client, Now() + Options.SessionSeconds};
    if (!Table->OpenSession(ticket, Now()))
        return Refuse(503, "the table is busy, try again", 5);
    TAnswer a;
    a.Cookie = std::string(CookieName) + "=" + ticket.Id + "; HttpOnly; Path=/";
    // Program, version, release date, web site, the one-time value.
    a.Body = std::string(ProgramName) + "|2.0|2026-12-10|" + Options.SiteAddress + "|" + ticket.Token + "|";
    return a;
}

TScoreServer::TAnswer TScoreServer::Submission(const TRequest& request)
{
    if (!SubmissionLimit.Allow(request.Client))
        return Refuse(429, "too many results from this address", SubmissionLimit.RetryAfter(request.Client));
    std::string payload;
    if (CountOf(request, "inf") != 1 || !DecodeSymbols(Value(request, "inf"), payload))
        return Refuse(400, "the result is not readable");
    TResult result;
    const TParseError error = ParseResult(payload, result);
    if (error != TParseError::None)
        return Refuse(error == TParseError::Key ? 403 : 400, ParseErrorText(error));
    if (result.Score > Options.ScoreCeiling)
        return Refuse(403, "a score beyond what the game can give");
    const TStoredResult stored{result.Name, result.Score, result.Country, Now()};
    switch (Table->SpendAndAdd(request.Cookie, result.Token, stored, Now())) {
    case TSpendOutcome::Stored:
        return TAnswer{200, "OK\n"};
    case TSpendOutcome::Refused:
        return Refuse(403, "ask for the version first; each answer is good for one result");
    case TSpendOutcome::Failed:
        break;
    }
    return Refuse(503, "the table is busy, try again", 5);
}

TScoreServer::TAnswer TScoreServer::WorldTable(const TRequest& request, bool json)
{
    const TTableData data = LoadTable(*Table, ReadTableView(Value(request, "country"), Value(request, "name"),
                                                            Value(request, "page")));
    TAnswer a;
    if (json) {
        a.Body = RenderTableJson(data);
        a.Type = "application/json; charset=utf-8";
    } else {
        a.Body = RenderTableHtml(data);
        a.Type = "text/html; charset=utf-8";
        a.Html = true;
    }
    return a;
}

} // namespace scores
