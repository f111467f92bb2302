// The world table and the one-time values of the version answers, behind one
// interface with two homes: an SQLite file (the default, nothing to set up,
// one server process) or a PostgreSQL database (any number of server
// processes behind a load balancer share the table and the values).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace scores {

// One stored result: the row of the table, of the page and of the JSON list.
struct TStoredResult {
    std::string Name; // Windows-1252 as sent
    int32_t Score = 0;
    std::string Country;   // Windows-1252 as sent
    int64_t Time = 0;      // seconds since 1970, UTC
    bool Verified = false; // proved by a game record (false for every result sent by the game today)
    int64_t Id = 0;        // set by the store; later ids arrived later
    int64_t Place = 0;     // set by Page: 1 for the best of the (filtered) table
    std::string Session;   // the version answer's session that sent it (empty: none)
};

// One version answer's session: the cookie id, its one-time value, the
// client it was given to and when it stops being good.
struct TSessionTicket {
    std::string Id;
    std::string Token;
    std::string Client;
    int64_t Expires = 0; // seconds since 1970, UTC
};

// clang-format off
enum class TSpendOutcome {
    Stored,   // the value was good: it is spent and the result is in the table
    Refused,  // unknown, spent, expired or not this session's value: nothing stored
    Failed,   // the database failed: nothing stored, the value is kept
};
// clang-format on

struct TStoreLimits {
    size_t SessionsPerClient = 64; // a client's oldest sessions go first beyond this
    size_t Sessions = 200000;      // all clients together (the in-memory table only)
    int64_t SessionSeconds = 900;  // a version answer's value is good this long
    int Connections = 8;           // database connections (PostgreSQL)
};

class IScoreStore {
public:
    virtual ~IScoreStore() = default;

    // Keeps a new session; beyond the per-client limit the client's own
    // oldest sessions are forgotten, never another client's.
    virtual bool OpenSession(const TSessionTicket& ticket, int64_t now) = 0;
    // Spends the session's value and stores the result as one step: a value
    // is spent exactly once, however many servers share the store.
    virtual TSpendOutcome SpendAndAdd(const std::string& id, const std::string& token, const TStoredResult& result,
                                      int64_t now) = 0;
    virtual bool Add(const TStoredResult& result) = 0;

    // Best first, equal scores in arrival order; `country` filters when set,
    // `provedOnly` leaves out the results not proved by their game's record
    // (places are then counted among the proved).
    virtual std::vector<TStoredResult> Page(const std::optional<std::string>& country, int64_t offset, int limit,
                                            bool provedOnly = false) = 0;
    virtual int64_t Count(const std::optional<std::string>& country = std::nullopt, bool provedOnly = false) = 0;
    // The countries named in the table, most results first.
    virtual std::vector<std::string> Countries(int limit) = 0;
    // The best result under this name and its place (0 when the name has none).
    virtual std::optional<TStoredResult> BestOf(const std::string& name, const std::optional<std::string>& country,
                                                bool provedOnly = false) = 0;
    // Drops results older than `before`; returns how many went.
    virtual int64_t ForgetBefore(int64_t before) = 0;
    // Drops expired sessions.
    virtual void ForgetSessions(int64_t now) = 0;

    // Game records (see RecordCheck.h): the result a session sent, not yet
    // proved; and the proof kept, the result marked verified. False when the
    // result is gone or already proved.
    virtual std::optional<TStoredResult> UnprovedOfSession(const std::string& session) = 0;
    virtual bool KeepProof(int64_t id, const std::string& record) = 0;

    std::vector<TStoredResult> Best(int limit) { return Page(std::nullopt, 0, limit); }
};

// "postgresql://..." or "postgres://..." (a libpq connection address) opens
// PostgreSQL; anything else is the path of an SQLite file (":memory:" too).
// Throws std::runtime_error when the store cannot be opened or set up.
std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& where, const TStoreLimits& limits = {});
bool IsPostgresAddress(const std::string& where);

std::unique_ptr<IScoreStore> OpenSqliteStore(const std::string& path, const TStoreLimits& limits);
std::unique_ptr<IScoreStore> OpenPostgresStore(const std::string& address, const TStoreLimits& limits);

} // namespace scores
