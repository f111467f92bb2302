// Proving results by playing their games again. After the version request
// and the result, a game that has its record sends it (POST RecordPath, the
// session's cookie, the record's bytes as the body). The server plays the
// record again on a worker thread, with the game code it was built with, and
// marks the session's result verified, keeping the record, only when the game
// played again ends where the record says and with the score that was sent.
//
// The event loops never wait for a replay: the upload's connection is set
// aside (suspended) while the worker plays, and picked up again with the
// verdict. Replays run one at a time (the game world is one per process);
// uploads beyond a short queue are turned away with 503 at once.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "RateLimit.h"
#include "ScoreStore.h"

struct MHD_Connection;

namespace scores {

constexpr const char* RecordPath = "/cgi/record.pl";
// The sixth field of the version answer of a server that takes records.
constexpr const char* RecordsField = "records";

// What a connection carries from one call of the handler to the next; the
// server deletes it when the connection's request is over.
struct TConnectionState {
    virtual ~TConnectionState() = default;
    virtual bool IsRecordUpload() const { return false; }
};

// How a record was judged: the HTTP status and the line the client reads.
struct TVerdict {
    int Status = 200;
    std::string Text;
    bool Verified() const { return Status == 200; }
};

class TRecordCheck {
public:
    // maxWaiting: uploads queued behind the one being played.
    TRecordCheck(IScoreStore& store, size_t maxWaiting, double perMinute, double burst);
    ~TRecordCheck();
    TRecordCheck(const TRecordCheck&) = delete;
    TRecordCheck& operator=(const TRecordCheck&) = delete;

    // Judges the record sent by a session and keeps the proof when it holds,
    // on the calling thread (the worker, and tests).
    TVerdict Check(const std::string& session, const std::string& record);

    // Queues a check; `done` runs on the worker with the verdict. False when
    // the queue is full or the checker stopped (nothing queued).
    bool Queue(std::string session, std::string record, std::function<void(const TVerdict&)> done);
    // Ends the worker; the checks still queued are answered 503.
    void Stop();

    // The server's handler: a POST to RecordPath, from its first call to the
    // answer. `state` is the connection's (null on the first call).
    bool IsUpload(const char* url, const char* method) const;
    int Upload(MHD_Connection* connection, void** state, const char* upload, size_t* uploadSize,
               const std::string& client, const std::string& session, bool first);
    bool Allow(const std::string& client) { return Limit.Allow(client); }

private:
    struct TJob {
        std::string Session, Record;
        std::function<void(const TVerdict&)> Done;
    };
    void Work();

    IScoreStore& Store;
    const size_t MaxWaiting;
    TRateLimit Limit;
    std::mutex Lock;
    std::condition_variable Wake;
    std::deque<TJob> Waiting;
    bool Stopping = false;
    std::thread Worker;
};

} // namespace scores
