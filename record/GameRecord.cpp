#include "record/GameRecord.h"

#include <cstring>

namespace record {

namespace {

constexpr uint8_t Magic[4] = {'Z', 'R', 'E', 'C'};
constexpr size_t HeaderMin = 4 + 1 + 1 + 1 + 8; // magic, version, score (1 byte at least), stage, hash
constexpr uint32_t MaxReadIndex = 1u << 20;

// Wire codes of the events: the key has three to keep a press or a release
// at two bytes, the clock a short form for a frame's first read on the
// 1000/64 ms steps (the number of steps since the last tick written).
// clang-format off
enum : uint8_t {
    WireKeyDown = 1, WireKeyUp = 2, WireKeyValue = 3, WireSeed = 4, WirePhase = 5,
    WireClock = 6, WireMouse = 7, WireNote = 8, WireClockSteps = 9, WireEnd = 15,
};
// clang-format on
constexpr uint32_t GapInLead = 15; // a lead byte's gap of 15: the gap - 15 follows

void PutVarint(std::vector<uint8_t>& out, uint64_t v)
{
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}

void PutLead(std::vector<uint8_t>& out, uint8_t wire, uint32_t gap)
{
    out.push_back(static_cast<uint8_t>(wire << 4 | (gap < GapInLead ? gap : GapInLead)));
    if (gap >= GapInLead)
        PutVarint(out, gap - GapInLead);
}

uint64_t ZigZag(int64_t v) { return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63); }
int64_t UnZigZag(uint64_t v) { return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1); }

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

int32_t MouseField(const TMouseBytes& m, int field)
{
    int32_t v;
    std::memcpy(&v, m.data() + 4 * field, 4);
    return v;
}

// The mouse state as eight fields: three motions, four buttons, the rest.
constexpr int MouseFields = 8;
uint32_t MouseFieldBits(const TMouseBytes& m, int field)
{
    if (field < 3)
        return static_cast<uint32_t>(MouseField(m, field));
    if (field < 7)
        return m[12 + (field - 3)];
    uint32_t v;
    std::memcpy(&v, m.data() + 16, 4);
    return v;
}

class TReader {
public:
    TReader(const uint8_t* data, size_t size) : Data(data), Size(size) {}
    bool Byte(uint8_t& v)
    {
        if (Pos >= Size)
            return false;
        v = Data[Pos++];
        return true;
    }
    bool Varint(uint64_t& v, int maxBytes = 10)
    {
        v = 0;
        for (int i = 0; i < maxBytes; ++i) {
            uint8_t b;
            if (!Byte(b))
                return false;
            v |= static_cast<uint64_t>(b & 0x7F) << (7 * i);
            if (!(b & 0x80))
                return true;
        }
        return false;
    }
    bool U32(uint32_t& v)
    {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!Byte(b))
                return false;
            v |= static_cast<uint32_t>(b) << (8 * i);
        }
        return true;
    }
    bool AtEnd() const { return Pos == Size; }

private:
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
};

} // namespace

const char* ReadStatusText(TReadStatus status)
{
    switch (status) {
    case TReadStatus::Ok: return "ok";
    case TReadStatus::TooShort: return "record too short";
    case TReadStatus::TooLarge: return "record too large";
    case TReadStatus::NotARecord: return "not a game record";
    case TReadStatus::WrongVersion: return "record of another version";
    case TReadStatus::BadChecksum: return "record damaged or altered (checksum)";
    case TReadStatus::Malformed: return "record malformed";
    case TReadStatus::TooLong: return "record longer than a game may be";
    }
    return "unknown";
}

uint64_t TickStep(uint32_t tick) { return (static_cast<uint64_t>(tick) * 64 + 999) / 1000; }

uint32_t StepTick(uint64_t step) { return static_cast<uint32_t>(step * 1000 / 64); }

void TClockExpectation::Read(uint32_t value)
{
    if (Reads == 0) {
        // A steady frame rate costs nothing; a pause or a stall does not
        // become the new pace.
        const uint64_t from = TickStep(Base), to = TickStep(value);
        Step = to > from && to - from <= 8 ? to - from : 1;
        Base = value;
    }
    Now = value;
    ++Reads;
}

void TClockExpectation::EndFrame()
{
    // A frame that never read the clock moves the expectation on by itself.
    if (Reads == 0)
        Base = StepTick(TickStep(Base) + Step);
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc)
{
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

bool TRecordWriter::Add(const TEvent& e)
{
    if (Overflow)
        return false;
    if (e.Frame < LastFrame || e.Frame >= MaxFrames) {
        Overflow = true;
        return false;
    }
    const uint32_t gap = e.Frame - LastFrame;
    LastFrame = e.Frame;
    switch (e.Kind) {
    case TEventKind::Key:
        if (e.Value == 0x80 || e.Value == 0) {
            PutLead(Body, e.Value ? WireKeyDown : WireKeyUp, gap);
            Body.push_back(static_cast<uint8_t>(e.Index));
        } else {
            PutLead(Body, WireKeyValue, gap);
            Body.push_back(static_cast<uint8_t>(e.Index));
            Body.push_back(static_cast<uint8_t>(e.Value));
        }
        break;
    case TEventKind::Seed:
        PutLead(Body, WireSeed, gap);
        PutU32(Body, e.Value);
        break;
    case TEventKind::Phase:
        PutLead(Body, WirePhase, gap);
        Body.push_back(static_cast<uint8_t>(e.Value));
        break;
    case TEventKind::Clock:
        if (e.Index == 0 && StepTick(TickStep(e.Value)) == e.Value && TickStep(e.Value) >= TickStep(LastClock)) {
            PutLead(Body, WireClockSteps, gap);
            PutVarint(Body, TickStep(e.Value) - TickStep(LastClock));
        } else {
            PutLead(Body, WireClock, gap);
            PutVarint(Body, e.Index);
            PutVarint(Body, ZigZag(static_cast<int32_t>(e.Value - LastClock)));
        }
        LastClock = e.Value;
        break;
    case TEventKind::Mouse: {
        PutLead(Body, WireMouse, gap);
        PutVarint(Body, e.Index);
        uint8_t mask = 0;
        for (int f = 0; f < MouseFields; ++f)
            if (MouseFieldBits(e.Mouse, f) != MouseFieldBits(LastMouse, f))
                mask |= static_cast<uint8_t>(1u << f);
        Body.push_back(mask);
        for (int f = 0; f < MouseFields; ++f) {
            if (!(mask & (1u << f)))
                continue;
            if (f < 3)
                PutVarint(Body, ZigZag(MouseField(e.Mouse, f)));
            else if (f < 7)
                Body.push_back(e.Mouse[12 + (f - 3)]);
            else
                PutU32(Body, MouseFieldBits(e.Mouse, f));
        }
        LastMouse = e.Mouse;
        break;
    }
    case TEventKind::Note:
        PutLead(Body, WireNote, gap);
        Body.push_back(static_cast<uint8_t>(e.Value));
        break;
    }
    if (Body.size() + 64 > MaxRecordBytes)
        Overflow = true;
    return !Overflow;
}

std::vector<uint8_t> TRecordWriter::Finish(uint32_t frames, const TGameEnd& end) const
{
    std::vector<uint8_t> out(Magic, Magic + 4);
    out.push_back(RecordVersion);
    PutVarint(out, ZigZag(end.Score));
    out.push_back(end.Stage);
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<uint8_t>(end.Hash >> (8 * i)));
    out.insert(out.end(), Body.begin(), Body.end());
    PutLead(out, WireEnd, 0);
    PutVarint(out, frames);
    PutU32(out, Crc32(out.data(), out.size()));
    return out;
}

std::vector<uint8_t> EncodeRecord(const TGameRecord& record)
{
    TRecordWriter w;
    for (const TEvent& e : record.Events)
        w.Add(e);
    return w.Finish(record.Frames, record.End);
}

TReadStatus DecodeRecord(const uint8_t* data, size_t size, TGameRecord& out)
{
    out = TGameRecord{};
    if (size > MaxRecordBytes)
        return TReadStatus::TooLarge;
    if (size < HeaderMin + 4)
        return TReadStatus::TooShort;
    if (std::memcmp(data, Magic, 4) != 0)
        return TReadStatus::NotARecord;
    if (data[4] != RecordVersion)
        return TReadStatus::WrongVersion;
    uint32_t stored = 0;
    std::memcpy(&stored, data + size - 4, 4); // little-endian hosts only, as the writer
    if (Crc32(data, size - 4) != stored)
        return TReadStatus::BadChecksum;

    TReader r(data + 5, size - 9);
    uint64_t v = 0;
    uint8_t b = 0;
    if (!r.Varint(v, 5) || v > 0xFFFFFFFFull)
        return TReadStatus::Malformed;
    out.End.Score = static_cast<int32_t>(UnZigZag(v));
    if (!r.Byte(out.End.Stage))
        return TReadStatus::Malformed;
    for (int i = 0; i < 8; ++i) {
        if (!r.Byte(b))
            return TReadStatus::Malformed;
        out.End.Hash |= static_cast<uint64_t>(b) << (8 * i);
    }

    uint32_t frame = 0;
    uint32_t lastClock = 0;
    TMouseBytes lastMouse{};
    // Reads of a frame are numbered upwards; -1: none yet in this frame.
    int64_t lastClockIndex = -1, lastMouseIndex = -1;
    for (;;) {
        uint8_t lead = 0;
        if (!r.Byte(lead))
            return TReadStatus::Malformed;
        const uint8_t wire = lead >> 4;
        uint64_t gap = lead & 0x0F;
        if (gap == GapInLead) {
            uint64_t more = 0;
            if (!r.Varint(more, 5))
                return TReadStatus::Malformed;
            gap += more;
        }
        if (gap > MaxFrames || frame + gap >= MaxFrames)
            return TReadStatus::TooLong;
        if (gap > 0)
            lastClockIndex = lastMouseIndex = -1;
        frame += static_cast<uint32_t>(gap);
        TEvent e;
        e.Frame = frame;
        switch (wire) {
        case WireKeyDown:
        case WireKeyUp:
        case WireKeyValue: {
            uint8_t index = 0, value = wire == WireKeyDown ? 0x80 : 0;
            if (!r.Byte(index) || (wire == WireKeyValue && !r.Byte(value)))
                return TReadStatus::Malformed;
            e.Kind = TEventKind::Key;
            e.Index = index;
            e.Value = value;
            break;
        }
        case WireSeed:
            e.Kind = TEventKind::Seed;
            if (!r.U32(e.Value))
                return TReadStatus::Malformed;
            break;
        case WirePhase:
        case WireNote:
            e.Kind = wire == WirePhase ? TEventKind::Phase : TEventKind::Note;
            if (!r.Byte(b))
                return TReadStatus::Malformed;
            e.Value = b;
            break;
        case WireClock: {
            uint64_t index = 0, delta = 0;
            if (!r.Varint(index, 3) || index >= MaxReadIndex || static_cast<int64_t>(index) <= lastClockIndex ||
                !r.Varint(delta, 5) || delta > 0xFFFFFFFFull)
                return TReadStatus::Malformed;
            lastClockIndex = static_cast<int64_t>(index);
            e.Kind = TEventKind::Clock;
            e.Index = static_cast<uint32_t>(index);
            e.Value = lastClock + static_cast<uint32_t>(UnZigZag(delta));
            lastClock = e.Value;
            break;
        }
        case WireClockSteps: {
            uint64_t steps = 0;
            if (lastClockIndex >= 0 || !r.Varint(steps, 5) || steps > 0xFFFFFFFFull)
                return TReadStatus::Malformed;
            lastClockIndex = 0;
            e.Kind = TEventKind::Clock;
            e.Index = 0;
            e.Value = StepTick(TickStep(lastClock) + steps);
            lastClock = e.Value;
            break;
        }
        case WireMouse: {
            uint64_t index = 0;
            uint8_t mask = 0;
            if (!r.Varint(index, 3) || index >= MaxReadIndex || static_cast<int64_t>(index) <= lastMouseIndex ||
                !r.Byte(mask))
                return TReadStatus::Malformed;
            lastMouseIndex = static_cast<int64_t>(index);
            e.Kind = TEventKind::Mouse;
            e.Index = static_cast<uint32_t>(index);
            e.Mouse = lastMouse;
            for (int f = 0; f < MouseFields; ++f) {
                if (!(mask & (1u << f)))
                    continue;
                if (f < 3) {
                    uint64_t z = 0;
                    if (!r.Varint(z, 5) || z > 0xFFFFFFFFull)
                        return TReadStatus::Malformed;
                    const int32_t value = static_cast<int32_t>(UnZigZag(z));
                    std::memcpy(e.Mouse.data() + 4 * f, &value, 4);
                } else if (f < 7) {
                    if (!r.Byte(e.Mouse[12 + (f - 3)]))
                        return TReadStatus::Malformed;
                } else {
                    uint32_t tail = 0;
                    if (!r.U32(tail))
                        return TReadStatus::Malformed;
                    std::memcpy(e.Mouse.data() + 16, &tail, 4);
                }
            }
            lastMouse = e.Mouse;
            break;
        }
        case WireEnd: {
            uint64_t frames = 0;
            if (!r.Varint(frames, 5))
                return TReadStatus::Malformed;
            if (frames > MaxFrames)
                return TReadStatus::TooLong;
            // Every event lies inside the game, and nothing follows the end.
            if (frames == 0 || frames <= frame || !r.AtEnd() || gap != 0)
                return TReadStatus::Malformed;
            out.Frames = static_cast<uint32_t>(frames);
            return TReadStatus::Ok;
        }
        default:
            return TReadStatus::Malformed;
        }
        out.Events.push_back(e);
    }
}

} // namespace record
