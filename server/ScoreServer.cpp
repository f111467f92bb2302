#include "ScoreServer.h"

#include <httplib.h>

#include <ctime>
#include <stdexcept>

#include "ScoreCodec.h"

namespace scores {

namespace {

constexpr const char* ProgramName = "Zephyrion";
constexpr const char* CookieName = "zsid";
constexpr int WorldTableSize = 100;

void Refuse(httplib::Response& res, int status, const std::string& why)
{
    res.status = status;
    res.set_content(why + "\n", "text/plain; charset=utf-8");
}

std::string Date(int64_t seconds)
{
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M", &tm);
    return text;
}

const char* const PageStyle =
    "<style>body{background:#000;color:#2c2;font-family:sans-serif}"
    "a{color:#0f0}table{border-collapse:collapse}td,th{padding:2px 12px}"
    "th{color:#0f0;text-align:left}td.n{text-align:right}</style>";

} // namespace

TScoreServer::TScoreServer(const TServerOptions& options)
    : Options(options),
      Table(std::make_unique<TScoreStore>(options.Database)),
      Open(std::make_unique<TSessions>(options.SessionCapacity)),
      Http(std::make_unique<httplib::Server>())
{
    // Slow or silent clients must not hold the worker threads for long.
    Http->set_read_timeout(5, 0);
    Http->set_write_timeout(5, 0);
    Http->set_keep_alive_timeout(2);
    Http->set_keep_alive_max_count(10);
    Http->set_payload_max_length(4096);
    Http->Get("/cgi/version.pl",
              [this](const httplib::Request& req, httplib::Response& res) { HandleScript(req, res); });
    Http->Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Zephyrion</title>") +
                            PageStyle +
                            "</head><body><h1>Zephyrion</h1>"
                            "<p>A vertically scrolling space shooter. Version 2.0.</p>"
                            "<p><a href=\"/cgi/version.pl?prg=Zephyrion&amp;show&amp;type=0\">"
                            "World high scores</a></p></body></html>\n",
                        "text/html; charset=utf-8");
    });
    Http->set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        Refuse(res, 500, "internal error");
    });

    if (Options.Port == 0) {
        BoundPort = Http->bind_to_any_port(Options.Bind);
    } else if (Http->bind_to_port(Options.Bind, Options.Port)) {
        BoundPort = Options.Port;
    } else {
        BoundPort = -1;
    }
    if (BoundPort <= 0)
        throw std::runtime_error("cannot listen on " + Options.Bind + ":" + std::to_string(Options.Port));
    if (Options.SiteAddress.empty())
        Options.SiteAddress = "http://" + Options.Bind + ":" + std::to_string(BoundPort) + "/";
}

TScoreServer::~TScoreServer()
{
    Stop();
}

bool TScoreServer::Run() { return Http->listen_after_bind(); }

void TScoreServer::Stop()
{
    if (Http)
        Http->stop();
}

bool TScoreServer::IsRunning() const { return Http->is_running(); }

void TScoreServer::HandleScript(const httplib::Request& req, httplib::Response& res)
{
    if (req.get_param_value("prg") != ProgramName)
        return Refuse(res, 400, "unknown program");
    if (req.has_param("version"))
        return HandleVersion(res);
    if (req.has_param("hs"))
        return HandleSubmission(req, res);
    if (req.has_param("show"))
        return res.set_content(WorldTablePage(), "text/html; charset=utf-8");
    Refuse(res, 400, "unknown request");
}

void TScoreServer::HandleVersion(httplib::Response& res)
{
    const TSessions::TIssued issued = Open->Issue();
    res.set_header("Set-Cookie", std::string(CookieName) + "=" + issued.Id + "; HttpOnly; Path=/");
    res.set_header("Cache-Control", "no-store");
    // Program, version, release date, web site, the one-time value.
    res.set_content(std::string(ProgramName) + "|2.0|2026-12-10|" + Options.SiteAddress + "|" + issued.Token + "|",
                    "text/plain; charset=utf-8");
}

void TScoreServer::HandleSubmission(const httplib::Request& req, httplib::Response& res)
{
    std::string payload;
    if (req.get_param_value_count("inf") != 1 || !DecodeSymbols(req.get_param_value("inf"), payload))
        return Refuse(res, 400, "the result is not readable");
    TResult result;
    const TParseError error = ParseResult(payload, result);
    if (error != TParseError::None)
        return Refuse(res, error == TParseError::Key ? 403 : 400, ParseErrorText(error));
    const std::string session = CookieValue(req.get_header_value("Cookie"), CookieName);
    if (!Open->Spend(session, result.Token))
        return Refuse(res, 403, "ask for the version first; each answer is good for one result");
    TStoredResult stored{result.Name, result.Score, result.Country, static_cast<int64_t>(std::time(nullptr))};
    if (!Table->Add(stored))
        return Refuse(res, 503, "the table is busy, try again");
    res.set_content("OK\n", "text/plain; charset=utf-8");
}

std::string TScoreServer::WorldTablePage()
{
    std::string page = std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                   "<title>Zephyrion world high scores</title>") +
                       PageStyle +
                       "</head><body><h1>Zephyrion world high scores</h1>"
                       "<table><tr><th>Place</th><th>Name</th><th>Score</th><th>Country</th><th>Date</th></tr>\n";
    int place = 0;
    for (const TStoredResult& r : Table->Best(WorldTableSize)) {
        const std::string name = r.Name.empty() ? "Anonymous" : HtmlEscape(Cp1252ToUtf8(r.Name));
        page += "<tr><td class=\"n\">" + std::to_string(++place) + "</td><td>" + name + "</td><td class=\"n\">" +
                std::to_string(r.Score) + "</td><td>" + HtmlEscape(Cp1252ToUtf8(r.Country)) + "</td><td>" +
                Date(r.Time) + "</td></tr>\n";
    }
    page += "</table><p><a href=\"/\">Home</a></p></body></html>\n";
    return page;
}

} // namespace scores
