// The record of one game: everything the game world read from outside, frame
// by frame, so that the same game can be played again without a player, a
// clock or a screen and must end the same way.
//
// Frame 0 is the game's creation; frame n >= 1 is the n-th UpdateAndDraw.
// What a frame reads that is not written down follows fixed defaults, so a
// record holds only the surprises:
// - the tick count: the first read of a frame expects the previous frame's
//   first read advanced by as many 1000/64 ms steps as the frame before it
//   advanced (one at first), every later read of the frame the value read
//   just before; a read that differs is an event;
// - the mouse state: every read expects the state read before (all zero at
//   first); a read that differs is an event;
// - the keyboard state, the random generator's seed and the game's phase are
//   set by the shell before a frame; a change since the end of the previous
//   frame is an event;
// - notes (pause, minimise and restore, display switch, quit) say what the
//   player did; they change nothing when the game is played again.
//
// Bytes: "ZREC", the version byte, the end the game itself saw (score,
// stage, state hash), then the events, each led by a byte of its kind (high
// four bits) and the number of frames since the previous event (low four
// bits, 15: a number follows), an end mark with the frame count, and a CRC-32
// of everything before it. Numbers are little-endian base-128.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace record {

constexpr uint8_t RecordVersion = 1;
// Limits that keep a record, its reading and its replay bounded: two hours of
// play at 64 frames a second, and 4 MiB of bytes.
constexpr uint32_t MaxFrames = 64u * 60u * 120u;
constexpr size_t MaxRecordBytes = 4u << 20;
constexpr size_t MouseBytes = 20;

using TMouseBytes = std::array<uint8_t, MouseBytes>;

// clang-format off
enum class TEventKind : uint8_t {
    Key = 1,     // KeyboardState[Index] := Value before the frame
    Seed = 2,    // the generator's seed := Value before the frame
    Phase = 3,   // the game's phase := Value before the frame (the quit dialog)
    Clock = 4,   // the Index-th tick read of the frame returns Value
    Mouse = 5,   // the Index-th mouse read of the frame returns Mouse
    Note = 6,    // Value: a TNote
};
// clang-format on

enum class TNote : uint8_t {
    Pause = 1,
    Resume = 2,
    Minimize = 3,
    Restore = 4,
    DisplaySwitch = 5,
    QuitAsked = 6
};

struct TEvent {
    uint32_t Frame = 0;
    TEventKind Kind = TEventKind::Note;
    uint32_t Index = 0;
    uint32_t Value = 0;
    TMouseBytes Mouse{};
    bool operator==(const TEvent&) const = default;
};

// How the game itself saw its end.
struct TGameEnd {
    int32_t Score = 0;
    uint8_t Stage = 0;
    uint64_t Hash = 0;
    bool operator==(const TGameEnd&) const = default;
};

struct TGameRecord {
    TGameEnd End;
    uint32_t Frames = 0;        // frame 0 (creation) included
    std::vector<TEvent> Events; // in frame order; within a frame in the order read
};

// clang-format off
enum class TReadStatus {
    Ok,
    TooShort,        // fewer bytes than a header and a checksum
    TooLarge,        // more than MaxRecordBytes
    NotARecord,      // no "ZREC"
    WrongVersion,
    BadChecksum,     // damaged or altered
    Malformed,       // the checksum holds but the events make no sense
    TooLong,         // more frames than MaxFrames
};
// clang-format on
const char* ReadStatusText(TReadStatus status);

// The 1000/64 ms steps of the clock: the step that reports a tick count (the
// next one for a count between steps), and the count a step reports.
uint64_t TickStep(uint32_t tick);
uint32_t StepTick(uint64_t step);

// The tick count the game world is expected to read next: the recorder
// writes down only the reads that differ, the player of a record answers
// the others with it.
class TClockExpectation {
public:
    void BeginFrame() { Reads = 0; }
    uint32_t Expected() const { return Reads == 0 ? StepTick(TickStep(Base) + Step) : Now; }
    void Read(uint32_t value);
    void EndFrame();
    uint32_t ReadsThisFrame() const { return Reads; }

private:
    uint32_t Base = 0; // the first read of the last frame that read the clock
    uint64_t Step = 1; // steps between the first reads of the last two frames
    uint32_t Now = 0;  // the last read
    uint32_t Reads = 0;
};

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// Event bytes written as they happen, so a running game's record costs only
// its own size. False from Add once the limits are passed (the record is then
// over and Overflowed() stays true).
class TRecordWriter {
public:
    bool Add(const TEvent& e);
    bool Overflowed() const { return Overflow; }
    size_t Size() const { return Body.size(); }
    // The whole record for frames 0..frames-1 and the game's own end.
    std::vector<uint8_t> Finish(uint32_t frames, const TGameEnd& end) const;

private:
    std::vector<uint8_t> Body;
    uint32_t LastFrame = 0;
    uint32_t LastClock = 0;  // tick values are written as the change from the last one
    TMouseBytes LastMouse{}; // mouse states as the fields that changed
    bool Overflow = false;
};

std::vector<uint8_t> EncodeRecord(const TGameRecord& record);
TReadStatus DecodeRecord(const uint8_t* data, size_t size, TGameRecord& out);
inline TReadStatus DecodeRecord(const std::vector<uint8_t>& bytes, TGameRecord& out)
{
    return DecodeRecord(bytes.data(), bytes.size(), out);
}

} // namespace record
