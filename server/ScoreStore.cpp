#include "ScoreStore.h"

#include <sqlite3.h>

#include <stdexcept>

namespace scores {

TScoreStore::TScoreStore(const std::string& path)
{
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &Db, flags, nullptr) != SQLITE_OK) {
        std::string message = Db ? sqlite3_errmsg(Db) : "out of memory";
        sqlite3_close(Db);
        Db = nullptr;
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
             " time INTEGER NOT NULL)");
        Exec("CREATE INDEX IF NOT EXISTS results_by_score ON results (score DESC, id)");
        InsertStmt = Prepare("INSERT INTO results (name, score, country, time) VALUES (?1, ?2, ?3, ?4)");
        BestStmt = Prepare("SELECT name, score, country, time FROM results ORDER BY score DESC, id LIMIT ?1");
        CountStmt = Prepare("SELECT count(*) FROM results");
    } catch (...) {
        sqlite3_finalize(InsertStmt);
        sqlite3_finalize(BestStmt);
        sqlite3_finalize(CountStmt);
        sqlite3_close(Db);
        throw;
    }
}

TScoreStore::~TScoreStore()
{
    sqlite3_finalize(InsertStmt);
    sqlite3_finalize(BestStmt);
    sqlite3_finalize(CountStmt);
    sqlite3_close(Db);
}

void TScoreStore::Exec(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(Db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

sqlite3_stmt* TScoreStore::Prepare(const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(Db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(Db));
    return stmt;
}

bool TScoreStore::Add(const TStoredResult& result)
{
    std::lock_guard<std::mutex> guard(Lock);
    sqlite3_reset(InsertStmt);
    sqlite3_clear_bindings(InsertStmt);
    sqlite3_bind_blob(InsertStmt, 1, result.Name.data(), static_cast<int>(result.Name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(InsertStmt, 2, result.Score);
    sqlite3_bind_blob(InsertStmt, 3, result.Country.data(), static_cast<int>(result.Country.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(InsertStmt, 4, result.Time);
    const int rc = sqlite3_step(InsertStmt);
    sqlite3_reset(InsertStmt);
    return rc == SQLITE_DONE;
}

namespace {
std::string ColumnBytes(sqlite3_stmt* stmt, int column)
{
    const void* data = sqlite3_column_blob(stmt, column);
    const int size = sqlite3_column_bytes(stmt, column);
    return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string();
}
} // namespace

std::vector<TStoredResult> TScoreStore::Best(int limit)
{
    std::lock_guard<std::mutex> guard(Lock);
    std::vector<TStoredResult> rows;
    sqlite3_reset(BestStmt);
    sqlite3_bind_int(BestStmt, 1, limit);
    while (sqlite3_step(BestStmt) == SQLITE_ROW) {
        TStoredResult r;
        r.Name = ColumnBytes(BestStmt, 0);
        r.Score = static_cast<int32_t>(sqlite3_column_int64(BestStmt, 1));
        r.Country = ColumnBytes(BestStmt, 2);
        r.Time = sqlite3_column_int64(BestStmt, 3);
        rows.push_back(std::move(r));
    }
    sqlite3_reset(BestStmt);
    return rows;
}

int64_t TScoreStore::Count()
{
    std::lock_guard<std::mutex> guard(Lock);
    sqlite3_reset(CountStmt);
    int64_t n = sqlite3_step(CountStmt) == SQLITE_ROW ? sqlite3_column_int64(CountStmt, 0) : -1;
    sqlite3_reset(CountStmt);
    return n;
}

} // namespace scores
