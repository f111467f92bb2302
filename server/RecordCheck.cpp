#include "RecordCheck.h"

#include <microhttpd.h>

#include <cstring>
#include <exception>

#include "record/GameRecord.h"
#include "record/Replay.h"

namespace scores {

namespace {

// One upload: the bytes so far, then the verdict once the worker has one.
struct TRecordUpload : TConnectionState {
    bool IsRecordUpload() const override { return true; }
    std::string Session;
    std::string Bytes;
    bool TooLarge = false;
    bool Queued = false;
    bool Answered = false;
    std::mutex Lock;
    bool Ready = false;
    TVerdict Verdict;
    int RetryAfter = 0;
};

MHD_Result Answer(MHD_Connection* c, int status, const std::string& text, int retryAfter = 0)
{
    const std::string body = text + "\n";
    MHD_Response* r = MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()),
                                                      MHD_RESPMEM_MUST_COPY);
    if (!r)
        return MHD_NO;
    MHD_add_response_header(r, "Content-Type", "text/plain; charset=utf-8");
    MHD_add_response_header(r, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(r, "Cache-Control", "no-store");
    if (retryAfter > 0)
        MHD_add_response_header(r, "Retry-After", std::to_string(retryAfter).c_str());
    const MHD_Result ok = MHD_queue_response(c, static_cast<unsigned>(status), r);
    MHD_destroy_response(r);
    return ok;
}

// Replays use the one game world of the process.
std::mutex ReplayLock;

} // namespace

TRecordCheck::TRecordCheck(IScoreStore& store, size_t maxWaiting, double perMinute, double burst)
    : Store(store), MaxWaiting(maxWaiting), Limit(perMinute, burst)
{
    Worker = std::thread([this] { Work(); });
}

TRecordCheck::~TRecordCheck()
{
    Stop();
}

void TRecordCheck::Stop()
{
    std::deque<TJob> left;
    {
        std::lock_guard<std::mutex> guard(Lock);
        if (Stopping && !Worker.joinable())
            return;
        Stopping = true;
        left.swap(Waiting);
    }
    Wake.notify_all();
    if (Worker.joinable())
        Worker.join();
    for (TJob& job : left)
        job.Done({503, "the server is stopping, try again"});
}

bool TRecordCheck::Queue(std::string session, std::string record, std::function<void(const TVerdict&)> done)
{
    {
        std::lock_guard<std::mutex> guard(Lock);
        if (Stopping || Waiting.size() >= MaxWaiting)
            return false;
        Waiting.push_back({std::move(session), std::move(record), std::move(done)});
    }
    Wake.notify_one();
    return true;
}

void TRecordCheck::Work()
{
    std::unique_lock<std::mutex> guard(Lock);
    for (;;) {
        Wake.wait(guard, [this] { return Stopping || !Waiting.empty(); });
        if (Stopping)
            return;
        TJob job = std::move(Waiting.front());
        Waiting.pop_front();
        guard.unlock();
        TVerdict verdict;
        try {
            verdict = Check(job.Session, job.Record);
        } catch (const std::exception&) {
            verdict = {500, "internal error"};
        }
        job.Done(verdict);
        guard.lock();
    }
}

TVerdict TRecordCheck::Check(const std::string& session, const std::string& bytes)
{
    using namespace record;
    TGameRecord rec;
    const TReadStatus read = DecodeRecord(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), rec);
    if (read != TReadStatus::Ok)
        return {400, std::string("the record is not readable: ") + ReadStatusText(read)};
    const std::optional<TStoredResult> sent = session.empty() ? std::nullopt : Store.UnprovedOfSession(session);
    if (!sent)
        return {403, "no result of this session waits for a record: send the result first"};
    if (rec.End.Score != sent->Score)
        return {403, "the record is of another game: it ends with " + std::to_string(rec.End.Score) +
                         " points, the result says " + std::to_string(sent->Score)};
    TReplayResult again;
    {
        std::lock_guard<std::mutex> guard(ReplayLock);
        again = ReplayRecord(rec);
    }
    if (again.Status != TReplayStatus::Ok)
        return {403, std::string("the record does not play again as a game: ") + ReplayStatusText(again.Status)};
    if (!(again.End == again.Claimed))
        return {403, "the game played again ends with " + std::to_string(again.End.Score) +
                         " points, not as the record claims"};
    if (again.End.Score != sent->Score)
        return {403, "the game played again scores " + std::to_string(again.End.Score) + ", not the " +
                         std::to_string(sent->Score) + " sent"};
    if (!Store.KeepProof(sent->Id, bytes))
        return {503, "the table is busy, try again"};
    return {200, "verified"};
}

bool TRecordCheck::IsUpload(const char* url, const char* method) const
{
    return std::strcmp(url, RecordPath) == 0 && std::strcmp(method, "POST") == 0;
}

int TRecordCheck::Upload(MHD_Connection* c, void** state, const char* upload, size_t* uploadSize,
                         const std::string& client, const std::string& session, bool first)
{
    if (first) {
        auto* u = new TRecordUpload;
        delete static_cast<TConnectionState*>(*state);
        *state = static_cast<TConnectionState*>(u);
        u->Session = session;
        if (!Limit.Allow(client)) {
            u->Answered = true;
            return Answer(c, 429, "too many records from this address", Limit.RetryAfter(client));
        }
        if (session.empty()) {
            u->Answered = true;
            return Answer(c, 403, "ask for the version first, then send the result, then its record");
        }
        return MHD_YES;
    }
    auto* u = static_cast<TRecordUpload*>(static_cast<TConnectionState*>(*state));
    if (u->Answered) {
        *uploadSize = 0;
        return MHD_YES;
    }
    if (*uploadSize > 0) {
        if (u->Bytes.size() + *uploadSize > record::MaxRecordBytes) {
            u->TooLarge = true;
            u->Bytes.clear();
        } else if (!u->TooLarge) {
            u->Bytes.append(upload, *uploadSize);
        }
        *uploadSize = 0;
        return MHD_YES;
    }
    if (!u->Queued) {
        u->Queued = true;
        if (u->TooLarge) {
            u->Answered = true;
            return Answer(c, 413, "the record is larger than any game's");
        }
        // Set aside until the worker has a verdict; the worker picks the
        // connection up again, and this handler answers on the next call.
        MHD_suspend_connection(c);
        const bool queued = Queue(u->Session, std::move(u->Bytes), [u, c](const TVerdict& v) {
            {
                std::lock_guard<std::mutex> guard(u->Lock);
                u->Verdict = v;
                u->Ready = true;
            }
            MHD_resume_connection(c);
        });
        if (!queued) {
            {
                std::lock_guard<std::mutex> guard(u->Lock);
                u->Verdict = {503, "records are queueing, try again"};
                u->RetryAfter = 10;
                u->Ready = true;
            }
            MHD_resume_connection(c);
        }
        return MHD_YES;
    }
    std::lock_guard<std::mutex> guard(u->Lock);
    if (!u->Ready)
        return MHD_YES;
    u->Answered = true;
    return Answer(c, u->Verdict.Status, u->Verdict.Text, u->RetryAfter);
}

} // namespace scores
