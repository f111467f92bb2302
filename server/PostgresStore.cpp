// The PostgreSQL home of the world table and of the one-time values, for
// several server processes behind one address. A value is spent by deleting
// its row in the same statement that stores the result, so the database, not
// a lock in one process, makes sure it is spent once: of two servers deleting
// the same row at once, the second finds nothing and stores nothing.
#include "ScoreStore.h"

#include <libpq-fe.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace scores {

namespace {

// Parameters as libpq wants them: texts, except the Windows-1252 byte strings,
// which go as binary bytea.
class TParams {
public:
    TParams& Text(std::string v) { return Add(std::move(v), 0, false); }
    TParams& Bytes(std::string v) { return Add(std::move(v), 1, false); }
    TParams& Int(int64_t v) { return Text(std::to_string(v)); }
    TParams& Null() { return Add({}, 0, true); }
    bool IsNull(size_t i) const { return Nulls[i]; }

    std::vector<std::string> Values;
    std::vector<int> Binary;
    std::vector<bool> Nulls;

private:
    TParams& Add(std::string v, int binary, bool null)
    {
        Values.push_back(std::move(v));
        Binary.push_back(binary);
        Nulls.push_back(null);
        return *this;
    }
};

struct TResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using TResultPtr = std::unique_ptr<PGresult, TResultDeleter>;

std::string BytesAt(PGresult* r, int row, int column)
{
    size_t length = 0;
    unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(r, row, column)), &length);
    if (!raw)
        return {};
    std::string out(reinterpret_cast<const char*>(raw), length);
    PQfreemem(raw);
    return out;
}

int64_t IntAt(PGresult* r, int row, int column) { return std::strtoll(PQgetvalue(r, row, column), nullptr, 10); }

#define RESULT_COLUMNS "id, name, score, country, time, verified"

TStoredResult RowAt(PGresult* r, int row)
{
    TStoredResult out;
    out.Id = IntAt(r, row, 0);
    out.Name = BytesAt(r, row, 1);
    out.Score = static_cast<int32_t>(IntAt(r, row, 2));
    out.Country = BytesAt(r, row, 3);
    out.Time = IntAt(r, row, 4);
    out.Verified = PQgetvalue(r, row, 5)[0] == 't';
    return out;
}

const char* const Schema =
    "CREATE TABLE IF NOT EXISTS results ("
    " id BIGSERIAL PRIMARY KEY,"
    " name BYTEA NOT NULL,"
    " score INTEGER NOT NULL,"
    " country BYTEA NOT NULL,"
    " time BIGINT NOT NULL,"
    " verified BOOLEAN NOT NULL DEFAULT FALSE);"
    "ALTER TABLE results ADD COLUMN IF NOT EXISTS verified BOOLEAN NOT NULL DEFAULT FALSE;"
    "ALTER TABLE results ADD COLUMN IF NOT EXISTS session TEXT;"
    "ALTER TABLE results ADD COLUMN IF NOT EXISTS record BYTEA;"
    "CREATE INDEX IF NOT EXISTS results_by_session ON results (session) WHERE session IS NOT NULL;"
    "CREATE INDEX IF NOT EXISTS results_by_score ON results (score DESC, id);"
    "CREATE INDEX IF NOT EXISTS results_by_country ON results (country, score DESC, id);"
    "CREATE INDEX IF NOT EXISTS results_by_name ON results (name, score DESC, id);"
    "CREATE INDEX IF NOT EXISTS results_by_time ON results (time);"
    "CREATE TABLE IF NOT EXISTS sessions ("
    " id TEXT PRIMARY KEY,"
    " token TEXT NOT NULL,"
    " client TEXT NOT NULL,"
    " expires BIGINT NOT NULL,"
    " made BIGSERIAL);"
    // Sessions made within one second are told apart by the order they came in.
    "ALTER TABLE sessions ADD COLUMN IF NOT EXISTS made BIGSERIAL;"
    "CREATE INDEX IF NOT EXISTS sessions_by_client ON sessions (client, expires);"
    "CREATE INDEX IF NOT EXISTS sessions_by_expiry ON sessions (expires);";

class TPostgresStore : public IScoreStore {
public:
    TPostgresStore(const std::string& address, const TStoreLimits& limits) : Address(address), Limits(limits)
    {
        const int n = limits.Connections > 0 ? limits.Connections : 1;
        for (int i = 0; i < n; ++i)
            Idle.push_back(Connect());
        // Servers starting together must not race each other's CREATE.
        PGconn* c = Idle.front();
        Command(c, "SELECT pg_advisory_lock(77150218)");
        TResultPtr made(PQexec(c, Schema));
        const bool ok = PQresultStatus(made.get()) == PGRES_COMMAND_OK;
        const std::string why = PQerrorMessage(c);
        Command(c, "SELECT pg_advisory_unlock(77150218)");
        if (!ok) {
            CloseAll();
            throw std::runtime_error("cannot set up the tables: " + why);
        }
    }
    ~TPostgresStore() override { CloseAll(); }

    bool OpenSession(const TSessionTicket& t, int64_t now) override
    {
        // The insert is not seen by the delete of the same statement: keep
        // the newest (limit - 1) of the others, and drop the client's expired.
        const int64_t keep = static_cast<int64_t>(Limits.SessionsPerClient) - 1;
        TResultPtr r = Run("WITH fresh AS (INSERT INTO sessions (id, token, client, expires) VALUES ($1, $2, $3, $4))"
                           " DELETE FROM sessions WHERE client = $3 AND (expires <= $5 OR id IN ("
                           "  SELECT id FROM sessions WHERE client = $3 ORDER BY made DESC OFFSET $6))",
                           TParams().Text(t.Id).Text(t.Token).Text(t.Client).Int(t.Expires).Int(now).Int(keep < 0 ? 0 : keep));
        return r && PQresultStatus(r.get()) == PGRES_COMMAND_OK;
    }

    TSpendOutcome SpendAndAdd(const std::string& id, const std::string& token, const TStoredResult& result,
                              int64_t now) override
    {
        TResultPtr r = Run("WITH spent AS (DELETE FROM sessions WHERE id = $1 AND token = $2 AND expires > $3"
                           " RETURNING id)"
                           " INSERT INTO results (name, score, country, time, verified, session)"
                           " SELECT $4, $5, $6, $7, $8, $1 FROM spent RETURNING id",
                           TParams().Text(id).Text(token).Int(now).Bytes(result.Name).Int(result.Score).Bytes(result.Country).Int(result.Time).Text(result.Verified ? "true" : "false"));
        if (!r || PQresultStatus(r.get()) != PGRES_TUPLES_OK)
            return TSpendOutcome::Failed;
        return PQntuples(r.get()) == 1 ? TSpendOutcome::Stored : TSpendOutcome::Refused;
    }

    bool Add(const TStoredResult& result) override
    {
        TResultPtr r = Run("INSERT INTO results (name, score, country, time, verified, session)"
                           " VALUES ($1, $2, $3, $4, $5, NULLIF($6, ''))",
                           TParams().Bytes(result.Name).Int(result.Score).Bytes(result.Country).Int(result.Time).Text(result.Verified ? "true" : "false").Text(result.Session));
        return r && PQresultStatus(r.get()) == PGRES_COMMAND_OK;
    }

    std::vector<TStoredResult> Page(const std::optional<std::string>& country, int64_t offset, int limit,
                                    bool provedOnly) override
    {
        const char* proved = provedOnly ? "true" : "false";
        TResultPtr r = country ? Run("SELECT " RESULT_COLUMNS " FROM results WHERE country = $1"
                                     " AND (verified OR NOT $4::boolean) ORDER BY score DESC, id LIMIT $2 OFFSET $3",
                                     TParams().Bytes(*country).Int(limit).Int(offset).Text(proved))
                               : Run("SELECT " RESULT_COLUMNS " FROM results WHERE (verified OR NOT $3::boolean)"
                                     " ORDER BY score DESC, id LIMIT $1 OFFSET $2",
                                     TParams().Int(limit).Int(offset).Text(proved));
        std::vector<TStoredResult> rows;
        if (!r || PQresultStatus(r.get()) != PGRES_TUPLES_OK)
            return rows;
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            rows.push_back(RowAt(r.get(), i));
            rows.back().Place = offset + i + 1;
        }
        return rows;
    }

    int64_t Count(const std::optional<std::string>& country, bool provedOnly) override
    {
        const char* proved = provedOnly ? "true" : "false";
        TResultPtr r = country ? Run("SELECT count(*) FROM results WHERE country = $1 AND (verified OR NOT $2::boolean)",
                                     TParams().Bytes(*country).Text(proved))
                               : Run("SELECT count(*) FROM results WHERE (verified OR NOT $1::boolean)",
                                     TParams().Text(proved));
        return r && PQresultStatus(r.get()) == PGRES_TUPLES_OK ? IntAt(r.get(), 0, 0) : -1;
    }

    std::vector<std::string> Countries(int limit) override
    {
        TResultPtr r = Run("SELECT country FROM results WHERE country <> ''::bytea GROUP BY country"
                           " ORDER BY count(*) DESC, country LIMIT $1",
                           TParams().Int(limit));
        std::vector<std::string> out;
        if (r && PQresultStatus(r.get()) == PGRES_TUPLES_OK)
            for (int i = 0; i < PQntuples(r.get()); ++i)
                out.push_back(BytesAt(r.get(), i, 0));
        return out;
    }

    std::optional<TStoredResult> BestOf(const std::string& name, const std::optional<std::string>& country,
                                        bool provedOnly) override
    {
        // The name's best row and the number of rows before it, in one statement.
        TResultPtr r = Run("WITH best AS (SELECT " RESULT_COLUMNS " FROM results WHERE name = $1"
                           "  AND ($2::bytea IS NULL OR country = $2) AND (verified OR NOT $3::boolean)"
                           "  ORDER BY score DESC, id LIMIT 1)"
                           " SELECT best.*, (SELECT count(*) FROM results o WHERE ($2::bytea IS NULL OR o.country = $2)"
                           "  AND (o.verified OR NOT $3::boolean)"
                           "  AND (o.score > best.score OR (o.score = best.score AND o.id < best.id))) FROM best",
                           (country ? TParams().Bytes(name).Bytes(*country) : TParams().Bytes(name).Null())
                               .Text(provedOnly ? "true" : "false"));
        if (!r || PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1)
            return std::nullopt;
        TStoredResult best = RowAt(r.get(), 0);
        best.Place = IntAt(r.get(), 0, 6) + 1;
        return best;
    }

    int64_t ForgetBefore(int64_t before) override
    {
        TResultPtr r = Run("DELETE FROM results WHERE time < $1", TParams().Int(before));
        return r && PQresultStatus(r.get()) == PGRES_COMMAND_OK ? std::strtoll(PQcmdTuples(r.get()), nullptr, 10) : -1;
    }

    void ForgetSessions(int64_t now) override { Run("DELETE FROM sessions WHERE expires <= $1", TParams().Int(now)); }

    std::optional<TStoredResult> UnprovedOfSession(const std::string& session) override
    {
        TResultPtr r = Run("SELECT " RESULT_COLUMNS " FROM results WHERE session = $1 AND NOT verified"
                           " ORDER BY id DESC LIMIT 1",
                           TParams().Text(session));
        if (!r || PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1)
            return std::nullopt;
        return RowAt(r.get(), 0);
    }

    bool KeepProof(int64_t id, const std::string& record) override
    {
        TResultPtr r = Run("UPDATE results SET verified = TRUE, record = $2 WHERE id = $1 AND NOT verified",
                           TParams().Int(id).Bytes(record));
        return r && PQresultStatus(r.get()) == PGRES_COMMAND_OK && std::string(PQcmdTuples(r.get())) == "1";
    }

private:
    PGconn* Connect()
    {
        PGconn* c = PQconnectdb(Address.c_str());
        if (PQstatus(c) != CONNECTION_OK) {
            std::string why = PQerrorMessage(c);
            PQfinish(c);
            CloseAll();
            throw std::runtime_error("cannot connect to the database: " + why);
        }
        return c;
    }
    void Command(PGconn* c, const char* sql) { TResultPtr r(PQexec(c, sql)); }
    void CloseAll()
    {
        for (PGconn* c : Idle)
            PQfinish(c);
        Idle.clear();
    }

    // Borrows a connection, runs one statement, and on a broken connection
    // reconnects and tries once more (a statement that failed on a broken
    // connection was not committed).
    TResultPtr Run(const char* sql, const TParams& p)
    {
        PGconn* c = nullptr;
        {
            std::unique_lock<std::mutex> guard(Lock);
            Freed.wait(guard, [&] { return !Idle.empty(); });
            c = Idle.back();
            Idle.pop_back();
        }
        TResultPtr r;
        for (int attempt = 0; attempt < 2; ++attempt) {
            std::vector<const char*> values;
            std::vector<int> lengths;
            for (size_t i = 0; i < p.Values.size(); ++i) {
                values.push_back(p.IsNull(i) ? nullptr : p.Values[i].data());
                lengths.push_back(static_cast<int>(p.Values[i].size()));
            }
            r.reset(PQexecParams(c, sql, static_cast<int>(values.size()), nullptr, values.data(), lengths.data(),
                                 p.Binary.data(), 0));
            if (PQstatus(c) == CONNECTION_OK)
                break;
            PQreset(c);
        }
        {
            std::lock_guard<std::mutex> guard(Lock);
            Idle.push_back(c);
        }
        Freed.notify_one();
        return r;
    }

    std::string Address;
    TStoreLimits Limits;
    std::mutex Lock;
    std::condition_variable Freed;
    std::vector<PGconn*> Idle;
};

} // namespace

std::unique_ptr<IScoreStore> OpenPostgresStore(const std::string& address, const TStoreLimits& limits)
{
    return std::make_unique<TPostgresStore>(address, limits);
}

} // namespace scores
