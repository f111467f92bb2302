// The SQLite home of the world table: one file in WAL mode, prepared
// statements only, one connection shared by the server's threads under a
// lock. The one-time values live in the process's memory (one server).
#include "ScoreStore.h"

#include <sqlite3.h>

#include <chrono>
#include <mutex>
#include <stdexcept>

#include "Sessions.h"

namespace scores {

bool IsPostgresAddress(const std::string& where)
{
    return where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0;
}

std::unique_ptr<IScoreStore> OpenScoreStore(const std::string& where, const TStoreLimits& limits)
{
    return IsPostgresAddress(where) ? OpenPostgresStore(where, limits) : OpenSqliteStore(where, limits);
}

namespace {

// The columns every reading statement returns, in this order.
#define RESULT_COLUMNS "id, name, score, country, time, verified"

class TStatement {
public:
    TStatement() = default;
    TStatement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &Stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~TStatement() { sqlite3_finalize(Stmt); }
    TStatement(TStatement&& o) noexcept : Stmt(o.Stmt) { o.Stmt = nullptr; }
    TStatement& operator=(TStatement&& o) noexcept
    {
        std::swap(Stmt, o.Stmt);
        return *this;
    }
    // Ready for a new run: reset, bindings cleared.
    sqlite3_stmt* operator*()
    {
        sqlite3_reset(Stmt);
        sqlite3_clear_bindings(Stmt);
        return Stmt;
    }
    sqlite3_stmt* Get() const { return Stmt; }

private:
    sqlite3_stmt* Stmt = nullptr;
};

void BindBytes(sqlite3_stmt* s, int i, const std::string& v)
{
    sqlite3_bind_blob(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}

std::string ColumnBytes(sqlite3_stmt* stmt, int column)
{
    const void* data = sqlite3_column_blob(stmt, column);
    const int size = sqlite3_column_bytes(stmt, column);
    return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string();
}

TStoredResult ReadRow(sqlite3_stmt* s)
{
    TStoredResult r;
    r.Id = sqlite3_column_int64(s, 0);
    r.Name = ColumnBytes(s, 1);
    r.Score = static_cast<int32_t>(sqlite3_column_int64(s, 2));
    r.Country = ColumnBytes(s, 3);
    r.Time = sqlite3_column_int64(s, 4);
    r.Verified = sqlite3_column_int64(s, 5) != 0;
    return r;
}

class TSqliteStore : public IScoreStore {
public:
    TSqliteStore(const std::string& path, const TStoreLimits& limits)
        : Open(limits.Sessions, std::chrono::seconds(limits.SessionSeconds), limits.SessionsPerClient)
    {
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &Db, flags, nullptr) != SQLITE_OK) {
            std::string message = Db ? sqlite3_errmsg(Db) : "out of memory";
            sqlite3_close(Db);
            throw std::runtime_error("cannot open " + path + ": " + message);
        }
        try {
            sqlite3_busy_timeout(Db, 5000);
            Exec("PRAGMA journal_mode=WAL");
            Exec("PRAGMA synchronous=NORMAL");
            Exec("CREATE TABLE IF NOT EXISTS results ("
                 " id INTEGER PRIMARY KEY,"
                 " name BLOB NOT NULL,"
                 " score INTEGER NOT NULL,"
                 " country BLOB NOT NULL,"
                 " time INTEGER NOT NULL,"
                 " verified INTEGER NOT NULL DEFAULT 0)");
            // Tables made before results could be proved get the column.
            if (!HasColumn("results", "verified"))
                Exec("ALTER TABLE results ADD COLUMN verified INTEGER NOT NULL DEFAULT 0");
            Exec("CREATE INDEX IF NOT EXISTS results_by_score ON results (score DESC, id)");
            Exec("CREATE INDEX IF NOT EXISTS results_by_country ON results (country, score DESC, id)");
            Exec("CREATE INDEX IF NOT EXISTS results_by_name ON results (name, score DESC, id)");
            Exec("CREATE INDEX IF NOT EXISTS results_by_time ON results (time)");
            Insert = TStatement(Db, "INSERT INTO results (name, score, country, time, verified) VALUES (?1, ?2, ?3, ?4, ?5)");
            PageAll = TStatement(Db, "SELECT " RESULT_COLUMNS " FROM results ORDER BY score DESC, id LIMIT ?2 OFFSET ?3");
            PageIn = TStatement(Db, "SELECT " RESULT_COLUMNS
                                    " FROM results WHERE country = ?1 ORDER BY score DESC, id LIMIT ?2 OFFSET ?3");
            CountAll = TStatement(Db, "SELECT count(*) FROM results");
            CountIn = TStatement(Db, "SELECT count(*) FROM results WHERE country = ?1");
            CountriesStmt = TStatement(Db, "SELECT country FROM results WHERE country <> x'' GROUP BY country"
                                           " ORDER BY count(*) DESC, country LIMIT ?1");
            BestAll = TStatement(Db, "SELECT " RESULT_COLUMNS
                                     " FROM results WHERE name = ?1 ORDER BY score DESC, id LIMIT 1");
            BestIn = TStatement(Db, "SELECT " RESULT_COLUMNS " FROM results WHERE name = ?1 AND country = ?2"
                                    " ORDER BY score DESC, id LIMIT 1");
            AboveAll = TStatement(Db, "SELECT count(*) FROM results WHERE score > ?1 OR (score = ?1 AND id < ?2)");
            AboveIn = TStatement(Db, "SELECT count(*) FROM results WHERE country = ?3"
                                     " AND (score > ?1 OR (score = ?1 AND id < ?2))");
            Forget = TStatement(Db, "DELETE FROM results WHERE time < ?1");
        } catch (...) {
            Close();
            throw;
        }
    }
    ~TSqliteStore() override { Close(); }

    bool OpenSession(const TSessionTicket& t, int64_t) override
    {
        Open.Keep(t.Id, t.Token, t.Client);
        return true;
    }

    TSpendOutcome SpendAndAdd(const std::string& id, const std::string& token, const TStoredResult& result,
                              int64_t) override
    {
        TSessions::Clock::time_point expires;
        if (!Open.Spend(id, token, &expires))
            return TSpendOutcome::Refused;
        if (Add(result))
            return TSpendOutcome::Stored;
        // Not stored: the player may send the same result again.
        Open.Restore(id, token, expires);
        return TSpendOutcome::Failed;
    }

    bool Add(const TStoredResult& result) override
    {
        std::lock_guard<std::mutex> guard(Lock);
        sqlite3_stmt* s = *Insert;
        BindBytes(s, 1, result.Name);
        sqlite3_bind_int64(s, 2, result.Score);
        BindBytes(s, 3, result.Country);
        sqlite3_bind_int64(s, 4, result.Time);
        sqlite3_bind_int(s, 5, result.Verified ? 1 : 0);
        const int rc = sqlite3_step(s);
        sqlite3_reset(s);
        return rc == SQLITE_DONE;
    }

    std::vector<TStoredResult> Page(const std::optional<std::string>& country, int64_t offset, int limit) override
    {
        std::lock_guard<std::mutex> guard(Lock);
        sqlite3_stmt* s = country ? *PageIn : *PageAll;
        if (country)
            BindBytes(s, 1, *country);
        sqlite3_bind_int(s, 2, limit);
        sqlite3_bind_int64(s, 3, offset);
        std::vector<TStoredResult> rows;
        while (sqlite3_step(s) == SQLITE_ROW) {
            rows.push_back(ReadRow(s));
            rows.back().Place = offset + static_cast<int64_t>(rows.size());
        }
        sqlite3_reset(s);
        return rows;
    }

    int64_t Count(const std::optional<std::string>& country) override
    {
        std::lock_guard<std::mutex> guard(Lock);
        sqlite3_stmt* s = country ? *CountIn : *CountAll;
        if (country)
            BindBytes(s, 1, *country);
        const int64_t n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
        sqlite3_reset(s);
        return n;
    }

    std::vector<std::string> Countries(int limit) override
    {
        std::lock_guard<std::mutex> guard(Lock);
        sqlite3_stmt* s = *CountriesStmt;
        sqlite3_bind_int(s, 1, limit);
        std::vector<std::string> out;
        while (sqlite3_step(s) == SQLITE_ROW)
            out.push_back(ColumnBytes(s, 0));
        sqlite3_reset(s);
        return out;
    }

    std::optional<TStoredResult> BestOf(const std::string& name, const std::optional<std::string>& country) override
    {
        std::lock_guard<std::mutex> guard(Lock);
        sqlite3_stmt* s = country ? *BestIn : *BestAll;
        BindBytes(s, 1, name);
        if (country)
            BindBytes(s, 2, *country);
        if (sqlite3_step(s) != SQLITE_ROW) {
            sqlite3_reset(s);
            return std::nullopt;
        }
        TStoredResult best = ReadRow(s);
        sqlite3_reset(s);
        sqlite3_stmt* a = country ? *AboveIn : *AboveAll;
        sqlite3_bind_int64(a, 1, best.Score);
        sqlite3_bind_int64(a, 2, best.Id);
        if (country)
            BindBytes(a, 3, *country);
        best.Place = sqlite3_step(a) == SQLITE_ROW ? sqlite3_column_int64(a, 0) + 1 : 0;
        sqlite3_reset(a);
        return best;
    }

    int64_t ForgetBefore(int64_t before) override
    {
        std::lock_guard<std::mutex> guard(Lock);
        sqlite3_stmt* s = *Forget;
        sqlite3_bind_int64(s, 1, before);
        const int64_t n = sqlite3_step(s) == SQLITE_DONE ? sqlite3_changes(Db) : -1;
        sqlite3_reset(s);
        return n;
    }

    void ForgetSessions(int64_t) override {} // the memory table forgets as it goes

private:
    void Exec(const char* sql)
    {
        char* error = nullptr;
        if (sqlite3_exec(Db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error(message);
        }
    }
    bool HasColumn(const char* table, const char* column)
    {
        TStatement info(Db, (std::string("PRAGMA table_info(") + table + ")").c_str());
        sqlite3_stmt* s = *info;
        while (sqlite3_step(s) == SQLITE_ROW)
            if (std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 1))) == column)
                return true;
        return false;
    }
    void Close()
    {
        for (TStatement* s : {&Insert, &PageAll, &PageIn, &CountAll, &CountIn, &CountriesStmt, &BestAll, &BestIn,
                              &AboveAll, &AboveIn, &Forget})
            *s = TStatement();
        sqlite3_close(Db);
        Db = nullptr;
    }

    std::mutex Lock;
    sqlite3* Db = nullptr;
    TStatement Insert, PageAll, PageIn, CountAll, CountIn, CountriesStmt, BestAll, BestIn, AboveAll, AboveIn, Forget;
    TSessions Open;
};

} // namespace

std::unique_ptr<IScoreStore> OpenSqliteStore(const std::string& path, const TStoreLimits& limits)
{
    return std::make_unique<TSqliteStore>(path, limits);
}

} // namespace scores
