// The world table as the player sees it: which rows a request asks for (a
// page of the best, one country, the place of one name) and the one place
// that turns those rows into the HTML page and into the JSON list.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ScoreStore.h"

namespace scores {

constexpr int WorldPageSize = 100;
// Deeper pages are not served (each costs a walk over the rows above it).
constexpr int64_t WorldMaxPage = 10000;

struct TTableView {
    std::optional<std::string> Country; // Windows-1252; none: every country
    std::string Name;                   // Windows-1252; the player whose place is looked up
    int64_t Page = 0;                   // 1-based; 0: the name's page, or the first
    bool Unverified = false;            // results not proved by a game record too, marked
};

struct TTableData {
    TTableView View;
    std::vector<TStoredResult> Rows;
    std::vector<std::string> Countries;
    std::optional<TStoredResult> Found; // the name's best result, with its place
    int64_t Total = 0;
    int64_t Page = 1, Pages = 1;
};

// Reads a view from the query's values (texts as the browser sent them, in
// UTF-8): "country", "name", "page".
// "unverified" (present): the results not proved by their game's record too.
TTableView ReadTableView(const std::string& countryUtf8, const std::string& nameUtf8, const std::string& page,
                         bool unverified = false);
TTableData LoadTable(IScoreStore& store, const TTableView& view);

// Where the page of a view is (the game's own world table address plus the view).
std::string WorldTableLink(const TTableView& view);
std::string RenderTableHtml(const TTableData& data);
std::string RenderTableJson(const TTableData& data);
std::string RenderHomePage();

// UTF-8 to Windows-1252; false when a character has no byte there.
bool Utf8ToCp1252(const std::string& utf8, std::string& out);
std::string JsonEscape(const std::string& utf8);
std::string UrlEscape(const std::string& utf8);

} // namespace scores
