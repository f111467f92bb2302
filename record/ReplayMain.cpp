// zephyrion-replay FILE: plays a game record again and prints how it ended,
// next to how the recorded game said it ended. Exit status 0 when the game
// played again ends at the end of the record with the recorded score, stage
// and state hash; 1 when it does not; 2 when the file cannot be read.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <string>

#include "record/Recorder.h"
#include "record/Replay.h"

int main(int argc, char** argv)
{
    const bool listEvents = argc == 3 && std::string(argv[1]) == "--events";
    if (argc != 2 && !listEvents) {
        std::fprintf(stderr, "usage: zephyrion-replay [--events] RECORD\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    std::vector<uint8_t> bytes;
    if (!record::LoadRecordFile(path, bytes)) {
        std::fprintf(stderr, "zephyrion-replay: cannot read %s\n", path);
        return 2;
    }
    if (listEvents) {
        // What the record holds, by kind ("note-<n>" for each kind of note).
        record::TGameRecord rec;
        if (record::DecodeRecord(bytes, rec) == record::TReadStatus::Ok) {
            static const char* const kinds[] = {"", "key", "seed", "phase", "clock", "mouse", "note"};
            std::map<std::string, int> counts;
            for (const record::TEvent& e : rec.Events) {
                const int kind = static_cast<int>(e.Kind);
                ++counts[kind == 6 ? "note-" + std::to_string(e.Value) : kinds[kind]];
            }
            for (const auto& [name, count] : counts)
                std::printf("events %s %d\n", name.c_str(), count);
        }
    }
    const auto start = std::chrono::steady_clock::now();
    const record::TReplayResult r = record::ReplayBytes(bytes.data(), bytes.size());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (r.Status == record::TReplayStatus::BadRecord) {
        std::printf("status %s: %s\n", record::ReplayStatusText(r.Status), record::ReadStatusText(r.Read));
        return 1;
    }
    std::printf("status %s\n", record::ReplayStatusText(r.Status));
    std::printf("replayed score %" PRId32 " stage %u hash %016" PRIx64 " frames %" PRIu32 "\n", r.End.Score,
                r.End.Stage, r.End.Hash, r.Frames);
    std::printf("recorded score %" PRId32 " stage %u hash %016" PRIx64 "\n", r.Claimed.Score, r.Claimed.Stage,
                r.Claimed.Hash);
    std::printf("bytes %zu seconds %.3f\n", bytes.size(), seconds);
    return r.Status == record::TReplayStatus::Ok && r.End == r.Claimed ? 0 : 1;
}
