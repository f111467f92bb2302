#include "record/Recorder.h"

#include <cstring>
#include <fstream>

#include "platform/Files.h"

namespace record {

TRecorder GameRecorder;
std::string RecordFileName = "LastGame.rec";

class TRecorder::TClockTap : public IClock {
public:
    explicit TClockTap(TRecorder& owner) : Owner(owner) {}
    uint32_t GetTickCount() override
    {
        const uint32_t value = Inner->GetTickCount();
        if (Owner.Inside)
            Owner.OnClockRead(value);
        return value;
    }
    void Sleep(uint32_t ms) override { Inner->Sleep(ms); }
    IClock* Inner = nullptr;

private:
    TRecorder& Owner;
};

class TRecorder::TMouseTap : public IMouseDevice {
public:
    explicit TMouseTap(TRecorder& owner) : Owner(owner) {}
    HRESULT Acquire() override { return Inner->Acquire(); }
    HRESULT Unacquire() override { return Inner->Unacquire(); }
    HRESULT GetDeviceState(uint32_t size, void* data) override
    {
        const HRESULT hr = Inner->GetDeviceState(size, data);
        if (Owner.Inside && data)
            Owner.OnMouseRead(static_cast<const uint8_t*>(data), size);
        return hr;
    }
    IMouseDevice* Inner = nullptr;

private:
    TRecorder& Owner;
};

TRecorder::TRecorder() : ClockTap(new TClockTap(*this)), MouseTap(new TMouseTap(*this)) {}

TRecorder::~TRecorder()
{
    Uninstall();
    delete ClockTap;
    delete MouseTap;
}

void TRecorder::Install(TPlatform& platform)
{
    Uninstall();
    if (!platform.Clock || !platform.Mouse)
        return;
    ClockTap->Inner = platform.Clock;
    MouseTap->Inner = platform.Mouse;
    platform.Clock = ClockTap;
    platform.Mouse = MouseTap;
    Installed = &platform;
}

void TRecorder::Uninstall()
{
    if (!Installed)
        return;
    if (Installed->Clock == ClockTap)
        Installed->Clock = ClockTap->Inner;
    if (Installed->Mouse == MouseTap)
        Installed->Mouse = MouseTap->Inner;
    Installed = nullptr;
    Recording = Inside = Open = false;
}

void TRecorder::StartGame()
{
    Writer = TRecordWriter{};
    Last.clear();
    Recording = Open = true;
    Inside = false;
    FrameNo = 0;
    ClockSeen = TClockExpectation{};
    MouseNow = {};
    std::memset(Keys, 0, sizeof Keys);
    Seed = 0;
    Phase = 0;
}

void TRecorder::Add(const TEvent& e)
{
    if (!Writer.Add(e))
        Recording = Inside = false; // too long a game: it goes unrecorded
}

void TRecorder::BeginFrame(const uint8_t* keyboard, uint32_t seed, uint8_t phase)
{
    if (!Recording)
        return;
    for (uint32_t k = 0; k < 256 && Recording; ++k)
        if (keyboard[k] != Keys[k]) {
            Add({FrameNo, TEventKind::Key, k, keyboard[k]});
            Keys[k] = keyboard[k];
        }
    if (seed != Seed && Recording)
        Add({FrameNo, TEventKind::Seed, 0, seed});
    Seed = seed;
    if (FrameNo > 0 && phase != Phase && Recording)
        Add({FrameNo, TEventKind::Phase, 0, phase});
    Phase = phase;
    ClockSeen.BeginFrame();
    MouseReads = 0;
    Inside = Recording;
}

void TRecorder::OnClockRead(uint32_t value)
{
    if (value != ClockSeen.Expected())
        Add({FrameNo, TEventKind::Clock, ClockSeen.ReadsThisFrame(), value});
    ClockSeen.Read(value);
}

void TRecorder::OnMouseRead(const uint8_t* data, uint32_t size)
{
    TMouseBytes read{};
    std::memcpy(read.data(), data, size < MouseBytes ? size : MouseBytes);
    if (read != MouseNow) {
        TEvent e{FrameNo, TEventKind::Mouse, MouseReads, 0};
        e.Mouse = read;
        Add(e);
        MouseNow = read;
    }
    ++MouseReads;
}

void TRecorder::EndFrame(uint32_t seed, uint8_t phase)
{
    if (!Recording)
        return;
    Inside = false;
    ClockSeen.EndFrame();
    Seed = seed;
    Phase = phase;
    if (++FrameNo >= MaxFrames)
        Recording = false;
}

void TRecorder::Note(TNote note)
{
    if (Recording && !Inside)
        Add({FrameNo, TEventKind::Note, 0, static_cast<uint32_t>(note)});
}

bool TRecorder::FinishGame(const TGameEnd& end)
{
    const bool complete = Open && Recording && !Writer.Overflowed();
    Recording = Inside = Open = false;
    if (!complete) {
        Last.clear();
        return false;
    }
    Last = Writer.Finish(FrameNo, end);
    return true;
}

bool SaveRecordFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return Files().WriteAtomically(path, bytes);
}

bool LoadRecordFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        if (bytes.size() + static_cast<size_t>(in.gcount()) > MaxRecordBytes) {
            bytes.clear();
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    }
    return true;
}

} // namespace record
