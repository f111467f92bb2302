#include "WorldTable.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <map>

#include "Assets.h"
#include "ScoreCodec.h"

namespace scores {

namespace {

std::string Text(const std::string& cp1252) { return HtmlEscape(Cp1252ToUtf8(cp1252)); }

std::string DateTime(int64_t seconds, const char* format)
{
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[40];
    std::strftime(text, sizeof(text), format, &tm);
    return text;
}

std::string Ordinal(int64_t n)
{
    const int64_t tens = n % 100, units = n % 10;
    const char* suffix = (tens >= 11 && tens <= 13) ? "th"
                         : units == 1               ? "st"
                         : units == 2               ? "nd"
                         : units == 3               ? "rd"
                                                    : "th";
    return std::to_string(n) + suffix;
}

// The page's look: the game's black sky and dark green, its Play face, the
// lit bright green of its menus for what matters; narrow screens lose the
// date's time and keep every column readable.
const char* const PageStyle =
    "<style>"
    "@font-face{font-family:ZephyrionPlay;font-weight:bold;"
    "src:local('Play Bold'),local('Play-Bold'),url(/zephyrion-play.ttf) format('truetype')}"
    "html{background:#000;color:#228822}"
    "body{margin:0 auto;max-width:46rem;padding:.5rem;font:bold 1rem/1.35 ZephyrionPlay,sans-serif}"
    "h1{margin:.25rem 0 0;text-align:center}h1 img{max-width:100%;height:auto}"
    "h2{margin:0 0 .75rem;text-align:center;font-size:1.2rem;color:#30bb30;letter-spacing:.12em}"
    "a{color:#78ff78}"
    "form{display:flex;flex-wrap:wrap;gap:.5rem;align-items:end;margin:.5rem 0;padding:.5rem;"
    "border:1px solid #1a5a1a;border-radius:6px;background:#020a02}"
    "label{display:flex;flex-direction:column;font-size:.85rem;flex:1 1 9rem}"
    "input,select,button{font:inherit;color:#78ff78;background:#000;border:1px solid #228822;border-radius:4px;"
    "padding:.3rem;min-height:2.2rem}"
    "button{flex:0 0 auto;padding:.3rem 1rem;cursor:pointer}"
    "table{width:100%;border-collapse:collapse}"
    "th{color:#00ff00;text-align:left;border-bottom:1px solid #228822;padding:.25rem .4rem}"
    "td{padding:.2rem .4rem;border-bottom:1px solid #0b240b;overflow-wrap:anywhere}"
    ".n{text-align:right;font-variant-numeric:tabular-nums}"
    "tr.me td{color:#000;background:#30bb30}"
    "tr.unverified td{color:#2f8f2f;font-style:italic}"
    "tr.unverified td.t::after{content:\" \\2717  unproved\";font-size:.8em}"
    "#found{margin:.5rem 0;color:#30bb30}"
    "nav{display:flex;justify-content:space-between;align-items:center;margin:.75rem 0;gap:.5rem}"
    "nav a,nav span.off{padding:.3rem .8rem;border:1px solid #228822;border-radius:4px;text-decoration:none}"
    "nav span.off{color:#1a5a1a;border-color:#0b240b}"
    "footer{margin:1rem 0;text-align:center;font-size:.85rem}"
    "@media (max-width:30rem){td.t span{display:none}tr.unverified td.t::after{content:\" \\2717\"}th,td{padding:.2rem .2rem}body{font-size:.9rem}}"
    "</style>";

const char* const Head =
    "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";

std::string TitleArt()
{
    return "<h1><a href=\"/\"><img src=\"/zephyrion-title.png\" alt=\"Zephyrion\" width=\"" +
           std::to_string(TitleArtWidth()) + "\" height=\"" + std::to_string(TitleArtHeight()) + "\"></a></h1>";
}

void AppendQuery(std::string& q, const char* key, const std::string& value)
{
    q += std::string("&") + key + "=" + UrlEscape(value);
}

std::string JsonRow(const TStoredResult& r)
{
    return "{\"place\":" + std::to_string(r.Place) + ",\"name\":\"" + JsonEscape(Cp1252ToUtf8(r.Name)) +
           "\",\"score\":" + std::to_string(r.Score) + ",\"country\":\"" + JsonEscape(Cp1252ToUtf8(r.Country)) +
           "\",\"time\":" + std::to_string(r.Time) + ",\"date\":\"" + DateTime(r.Time, "%Y-%m-%dT%H:%M:%SZ") +
           "\",\"verified\":" + (r.Verified ? "true" : "false") + "}";
}

} // namespace

bool Utf8ToCp1252(const std::string& utf8, std::string& out)
{
    static const std::map<std::string, char> Back = [] {
        std::map<std::string, char> m;
        for (int b = 1; b < 256; ++b) {
            const std::string u = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
            if (u != "\xEF\xBF\xBD")
                m.emplace(u, static_cast<char>(b));
        }
        return m;
    }();
    out.clear();
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        const size_t n = lead < 0x80         ? 1
                         : (lead >> 5) == 6  ? 2
                         : (lead >> 4) == 14 ? 3
                         : (lead >> 3) == 30 ? 4
                                             : 0;
        if (n == 0 || i + n > utf8.size())
            return false;
        auto it = Back.find(utf8.substr(i, n));
        if (it == Back.end())
            return false;
        out.push_back(it->second);
        i += n;
    }
    return true;
}

std::string JsonEscape(const std::string& utf8)
{
    std::string out;
    for (char c : utf8) {
        const auto b = static_cast<uint8_t>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (b < 0x20 || c == '<' || c == '>' || c == '&') {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\u%04x", b);
            out += hex;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string UrlEscape(const std::string& utf8)
{
    static const char* const Hex = "0123456789ABCDEF";
    std::string out;
    for (char c : utf8) {
        const auto b = static_cast<uint8_t>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(Hex[b >> 4]);
            out.push_back(Hex[b & 15]);
        }
    }
    return out;
}

TTableView ReadTableView(const std::string& countryUtf8, const std::string& nameUtf8, const std::string& page,
                         bool unverified)
{
    TTableView view;
    view.Unverified = unverified;
    std::string bytes;
    // Text that Windows-1252 cannot hold was never sent by the game: it
    // matches nothing, so it is kept as bytes that match nothing either.
    if (!countryUtf8.empty())
        view.Country = Utf8ToCp1252(countryUtf8, bytes) ? bytes : "\x01" + countryUtf8;
    if (!nameUtf8.empty())
        view.Name = Utf8ToCp1252(nameUtf8, bytes) ? bytes : "\x01" + nameUtf8;
    char* end = nullptr;
    const long long p = std::strtoll(page.c_str(), &end, 10);
    if (!page.empty() && *end == 0 && p >= 1)
        view.Page = std::min<long long>(p, WorldMaxPage);
    return view;
}

TTableData LoadTable(IScoreStore& store, const TTableView& view)
{
    TTableData data;
    data.View = view;
    const bool provedOnly = !view.Unverified;
    data.Total = std::max<int64_t>(0, store.Count(view.Country, provedOnly));
    data.Pages = std::clamp<int64_t>((data.Total + WorldPageSize - 1) / WorldPageSize, 1, WorldMaxPage);
    if (!view.Name.empty())
        data.Found = store.BestOf(view.Name, view.Country, provedOnly);
    data.Page = view.Page;
    if (data.Page == 0)
        data.Page = data.Found ? (data.Found->Place - 1) / WorldPageSize + 1 : 1;
    data.Page = std::clamp<int64_t>(data.Page, 1, data.Pages);
    data.Rows = store.Page(view.Country, (data.Page - 1) * WorldPageSize, WorldPageSize, provedOnly);
    data.Countries = store.Countries(250);
    return data;
}

std::string WorldTableLink(const TTableView& view)
{
    std::string q = "/cgi/version.pl?prg=Zephyrion&show&type=0";
    if (view.Country)
        AppendQuery(q, "country", Cp1252ToUtf8(*view.Country));
    if (!view.Name.empty())
        AppendQuery(q, "name", Cp1252ToUtf8(view.Name));
    if (view.Page > 0)
        q += "&page=" + std::to_string(view.Page);
    if (view.Unverified)
        q += "&unverified=1";
    return q;
}

std::string RenderTableHtml(const TTableData& data)
{
    const TTableView& view = data.View;
    std::string page = std::string(Head) + "<title>Zephyrion world high scores</title>" + PageStyle +
                       "</head><body><header>" + TitleArt() + "<h2>World high scores</h2></header>\n";

    // The filter and the name search: a plain form, so it works without
    // scripts; the browser keeps the action's #me, so a found name's row is
    // scrolled into view.
    page += "<form id=\"filter\" method=\"get\" action=\"/cgi/version.pl#me\">"
            "<input type=\"hidden\" name=\"prg\" value=\"Zephyrion\">"
            "<input type=\"hidden\" name=\"show\" value=\"\">"
            "<input type=\"hidden\" name=\"type\" value=\"0\">";
    if (view.Unverified)
        page += "<input type=\"hidden\" name=\"unverified\" value=\"1\">";
    page += "<label>Country<select name=\"country\"><option value=\"\">All countries</option>";
    std::vector<std::string> countries = data.Countries;
    if (view.Country && std::find(countries.begin(), countries.end(), *view.Country) == countries.end())
        countries.push_back(*view.Country);
    for (const std::string& c : countries)
        page += "<option value=\"" + Text(c) + "\"" + (view.Country && *view.Country == c ? " selected" : "") + ">" +
                Text(c) + "</option>";
    page += "</select></label><label>Player<input type=\"search\" name=\"name\" maxlength=\"10\" value=\"" +
            Text(view.Name) + "\" placeholder=\"your name\"></label><button type=\"submit\">Show</button></form>\n";

    if (!view.Name.empty()) {
        if (data.Found)
            page += "<p id=\"found\">" + (data.Found->Name.empty() ? std::string("Anonymous") : Text(data.Found->Name)) +
                    " is in " + Ordinal(data.Found->Place) + " place with " + std::to_string(data.Found->Score) +
                    (view.Country ? " in " + Text(*view.Country) : std::string()) + ".</p>\n";
        else
            page += "<p id=\"found\">No result under the name " + Text(view.Name) + ".</p>\n";
    }

    page += "<table id=\"scores\"><thead><tr><th class=\"n\">Place</th><th>Name</th><th class=\"n\">Score</th>"
            "<th>Country</th><th>Date (UTC)</th></tr></thead><tbody>\n";
    for (const TStoredResult& r : data.Rows) {
        const bool me = data.Found && data.Found->Id == r.Id;
        // A result its game's record has not proved is marked (the page shows
        // such results only when asked to).
        const std::string classes = std::string(me ? "me" : "") + (me && !r.Verified ? " " : "") +
                                    (r.Verified ? "" : "unverified");
        page += "<tr" + (classes.empty() ? std::string() : " class=\"" + classes + "\"") +
                (me ? " id=\"me\"" : "") + (r.Verified ? "" : " title=\"not proved by a game record\"") +
                "><td class=\"n\">" +
                std::to_string(r.Place) + "</td><td>" + (r.Name.empty() ? std::string("Anonymous") : Text(r.Name)) +
                "</td><td class=\"n\">" + std::to_string(r.Score) + "</td><td>" + Text(r.Country) +
                "</td><td class=\"t\"><time datetime=\"" + DateTime(r.Time, "%Y-%m-%dT%H:%M:%SZ") + "\">" +
                DateTime(r.Time, "%Y-%m-%d") + "<span> " + DateTime(r.Time, "%H:%M") + "</span></time></td></tr>\n";
    }
    if (data.Rows.empty())
        page += "<tr><td colspan=\"5\">No results yet.</td></tr>\n";
    page += "</tbody></table>\n<nav class=\"pages\">";

    TTableView other = view;
    other.Name.clear(); // paging walks the table; the name's row stays marked only on its own page
    if (data.Page > 1) {
        other.Page = data.Page - 1;
        page += "<a rel=\"prev\" href=\"" + HtmlEscape(WorldTableLink(other)) + "\">&#8249; Better</a>";
    } else {
        page += "<span class=\"off\">&#8249; Better</span>";
    }
    page += "<span id=\"pageno\">Page " + std::to_string(data.Page) + " of " + std::to_string(data.Pages) + "</span>";
    if (data.Page < data.Pages) {
        other.Page = data.Page + 1;
        page += "<a rel=\"next\" href=\"" + HtmlEscape(WorldTableLink(other)) + "\">Next &#8250;</a>";
    } else {
        page += "<span class=\"off\">Next &#8250;</span>";
    }
    page += "</nav>\n";

    std::string json = "/scores.json?page=" + std::to_string(data.Page);
    if (view.Country)
        AppendQuery(json, "country", Cp1252ToUtf8(*view.Country));
    if (view.Unverified)
        json += "&unverified=1";
    TTableView toggled = view;
    toggled.Unverified = !view.Unverified;
    toggled.Page = 0;
    page += "<footer>" + std::to_string(data.Total) + (data.Total == 1 ? " result" : " results") +
            (view.Unverified ? " (marked: not proved by a game record)" : " proved by their game records") +
            " &middot; <a id=\"proof\" href=\"" + HtmlEscape(WorldTableLink(toggled)) + "\">" +
            (view.Unverified ? "Proved results only" : "Show unproved results too") + "</a>" +
            " &middot; <a href=\"/\">Home</a> &middot; <a href=\"" + HtmlEscape(json) +
            "\">JSON</a></footer></body></html>\n";
    return page;
}

std::string RenderTableJson(const TTableData& data)
{
    const TTableView& view = data.View;
    std::string out = "{\"total\":" + std::to_string(data.Total) + ",\"page\":" + std::to_string(data.Page) +
                      ",\"pages\":" + std::to_string(data.Pages) + ",\"pageSize\":" + std::to_string(WorldPageSize) +
                      ",\"country\":" +
                      (view.Country ? "\"" + JsonEscape(Cp1252ToUtf8(*view.Country)) + "\"" : std::string("null")) +
                      ",\"unverified\":" + (view.Unverified ? "true" : "false");
    if (!view.Name.empty())
        out += ",\"found\":" + (data.Found ? JsonRow(*data.Found) : std::string("null"));
    out += ",\"results\":[";
    for (size_t i = 0; i < data.Rows.size(); ++i)
        out += (i ? ",\n" : "\n") + JsonRow(data.Rows[i]);
    out += "]}\n";
    return out;
}

std::string RenderHomePage()
{
    return std::string(Head) + "<title>Zephyrion</title>" + PageStyle + "</head><body><header>" + TitleArt() +
           "<h2>A vertically scrolling space shooter</h2></header>"
           "<p>Fly a warship over two star fields, shoot the formations, the asteroids and a command ship every "
           "third stage, and send your best games to the world table. Version 2.0.</p>"
           "<p><a href=\"/cgi/version.pl?prg=Zephyrion&amp;show&amp;type=0\">World high scores</a></p>"
           "</body></html>\n";
}

} // namespace scores
