// Plays a recorded game again with no player, clock, screen or sound: the
// game world runs on the record's tick counts, keys and mouse states and draws
// nothing. Whatever the game code of this build does with them decides the
// end; a record made by this build ends as the real game did.
#pragma once
#include <cstddef>
#include <cstdint>

#include "record/GameRecord.h"

namespace record {

// clang-format off
enum class TReplayStatus {
    Ok,          // played to the end of the record, and the game ended there
    BadRecord,   // the bytes are not a readable record (see Read)
    Diverged,    // the game read other things than the record holds: a record
                 // of another build, or altered
    Unfinished,  // the record stops while the game is still running
};
// clang-format on
const char* ReplayStatusText(TReplayStatus status);

struct TReplayResult {
    TReplayStatus Status = TReplayStatus::BadRecord;
    TReadStatus Read = TReadStatus::Ok;
    TGameEnd End;            // as the game played again ended
    TGameEnd Claimed;        // as the record says the real game ended
    uint32_t Frames = 0;     // frames played
    uint32_t DivergedAt = 0; // the frame where the record stopped fitting
};

// Plays the game on this thread. The game world's globals are used and given
// back as they were, so one replay runs at a time in a process.
TReplayResult ReplayRecord(const TGameRecord& record);
TReplayResult ReplayBytes(const uint8_t* data, size_t size);

} // namespace record
