// The world table on disk: one SQLite file in WAL mode, prepared statements
// only, one connection shared by the server's threads under a lock.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace scores {

struct TStoredResult {
    std::string Name;     // Windows-1252 as sent
    int32_t Score = 0;
    std::string Country;  // Windows-1252 as sent
    int64_t Time = 0;     // seconds since 1970, UTC
};

class TScoreStore {
public:
    // Throws std::runtime_error when the file cannot be opened or set up.
    explicit TScoreStore(const std::string& path);
    ~TScoreStore();
    TScoreStore(const TScoreStore&) = delete;
    TScoreStore& operator=(const TScoreStore&) = delete;

    bool Add(const TStoredResult& result);
    // Best first; equal scores in the order they arrived.
    std::vector<TStoredResult> Best(int limit);
    int64_t Count();

private:
    void Exec(const char* sql);
    sqlite3_stmt* Prepare(const char* sql);

    std::mutex Lock;
    sqlite3* Db = nullptr;
    sqlite3_stmt* InsertStmt = nullptr;
    sqlite3_stmt* BestStmt = nullptr;
    sqlite3_stmt* CountStmt = nullptr;
};

} // namespace scores
