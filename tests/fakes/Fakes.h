// Fake platform services for tests: a clock the test advances, scripted
// input devices, a display that records what the game asked of it, and
// recording mixer, module player, HTTP client, opener and text renderer.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

// Tick count in steps of 1000/64 ms: Tick(n) = floor(n * 1000 / 64).
class FakeClock : public IClock {
public:
    uint32_t GetTickCount() override { return Now; }
    void Sleep(uint32_t ms) override
    {
        Now += ms;
        Slept += ms;
    }
    static uint32_t TickOf(uint32_t n) { return static_cast<uint32_t>(static_cast<uint64_t>(n) * 1000 / 64); }
    void SetTicks(uint32_t n)
    {
        TickIndex = n;
        Now = TickOf(n);
    }
    void NextTick() { SetTicks(TickIndex + 1); } // one platform tick later
    void Advance(uint32_t ms) { Now += ms; }     // exact milliseconds
    uint32_t Now = 0;
    uint32_t TickIndex = 0;
    uint32_t Slept = 0;
};

class FakeKeyboard : public IKeyboardDevice {
public:
    HRESULT Acquire() override
    {
        Acquired = true;
        ++AcquireCount;
        return DD_OK;
    }
    HRESULT Unacquire() override
    {
        Acquired = false;
        ++UnacquireCount;
        return DD_OK;
    }
    HRESULT GetDeviceState(uint32_t size, void* data) override;
    void Press(uint8_t scan) { State[scan] = 0x80; }
    void Release(uint8_t scan) { State[scan] = 0; }
    void ReleaseAll()
    {
        for (auto& b : State) b = 0;
    }
    uint8_t State[256] = {};
    bool Acquired = false;
    int AcquireCount = 0, UnacquireCount = 0;
};

class FakeMouse : public IMouseDevice {
public:
    HRESULT Acquire() override
    {
        Acquired = true;
        return DD_OK;
    }
    HRESULT Unacquire() override
    {
        Acquired = false;
        return DD_OK;
    }
    // Reports the motion since the last read, then clears it.
    HRESULT GetDeviceState(uint32_t size, void* data) override;
    int32_t DX = 0, DY = 0, DZ = 0;
    uint8_t Buttons[4] = {};
    bool Acquired = false;
};

class FakeDisplay : public IDisplay {
public:
    void SetMode(bool windowed) override
    {
        Windowed = windowed;
        ModeSets.push_back(windowed);
    }
    void Present(const TSurface& frame, const TRect& srcRect) override;
    void GetDesktopSize(int32_t& w, int32_t& h) override
    {
        w = DesktopW;
        h = DesktopH;
    }
    void GetWindowPos(int32_t& l, int32_t& t) override
    {
        l = Left;
        t = Top;
    }
    void MoveWindow(int32_t l, int32_t t) override
    {
        Left = l;
        Top = t;
    }
    void ShowCursor(bool show) override
    {
        CursorShown = show;
        CursorCalls.push_back(show);
    }
    void SetCursorPos(int32_t x, int32_t y) override
    {
        CursorX = x;
        CursorY = y;
        ++CursorMoves;
    }
    void Minimize() override { ++Minimizes; }
    void Show() override { ++Shows; }
    void SetTitle(const std::string& t) override { Title = t; }
    void RequestQuit() override { QuitRequested = true; }
    void ShowError(const std::string& title, const std::string& message) override { Errors.emplace_back(title, message); }

    bool Windowed = true;
    std::vector<bool> ModeSets;
    int Presents = 0;
    std::vector<uint32_t> LastFrame; // the last presented frame, 800 x 600
    int32_t DesktopW = 1920, DesktopH = 1080;
    int32_t Left = 560, Top = 240;
    bool CursorShown = true;
    std::vector<bool> CursorCalls;
    int32_t CursorX = 0, CursorY = 0;
    int CursorMoves = 0;
    int Minimizes = 0, Shows = 0;
    std::string Title;
    bool QuitRequested = false;
    std::vector<std::pair<std::string, std::string>> Errors;
};

// Records every buffer operation. Buffers play until Finish() or FinishAll().
class FakeMixer : public IEffectMixer {
public:
    struct Buffer {
        int Source = -1; // main buffer it copies (-1: a main buffer)
        size_t WaveSize = 0;
        bool Playing = false;
        int32_t Pan = 0, Volume = 0;
        int Plays = 0;
    };
    bool IsOpen() override { return Open; }
    int CreateBuffer(const uint8_t* wave, size_t size) override;
    int DuplicateBuffer(int buffer) override;
    bool IsPlaying(int buffer) override;
    HRESULT Stop(int buffer) override;
    HRESULT SetCurrentPosition(int, uint32_t) override { return DD_OK; }
    HRESULT SetFrequency(int, uint32_t) override { return DD_OK; }
    HRESULT SetPan(int buffer, int32_t pan) override;
    HRESULT SetVolume(int buffer, int32_t volume) override;
    HRESULT Play(int buffer) override;
    void FinishAll()
    {
        for (auto& b : Buffers) b.Playing = false;
    }

    bool Open = true;
    std::vector<Buffer> Buffers;
    std::vector<int> PlayLog; // buffer numbers in play order
};

class FakeModulePlayer : public IModulePlayer {
public:
    uintptr_t SongLoadFromFile(const char* path) override;
    void SongPlay(uintptr_t song) override
    {
        Log.push_back("play " + std::to_string(song));
        Playing = song;
    }
    void SongFree(uintptr_t song) override
    {
        Log.push_back("free " + std::to_string(song));
        if (Playing == song) Playing = 0;
    }
    int32_t SongGetOrder(uintptr_t) override { return Order; }

    bool FailLoads = false;
    uintptr_t NextHandle = 1;
    uintptr_t Playing = 0;
    int32_t Order = 0;
    std::vector<std::string> Loaded; // paths
    std::vector<std::string> Log;    // "load <path>", "play <h>", "free <h>"
};

class FakeHttp : public IHttpClient {
public:
    bool Get(const std::string& url, std::string& body) override;
    // Answers in order; an entry without a value is a failed request.
    std::deque<std::pair<bool, std::string>> Answers;
    std::vector<std::string> Requests;
};

class FakeOpener : public IOpener {
public:
    void Open(const std::string& target) override { Opened.push_back(target); }
    std::vector<std::string> Opened;
};

// Text as solid blocks: each character is a Width x Height box, with a
// one-pixel gap, so tests can find where text was drawn and in which colour.
class FakeTextRenderer : public ITextRenderer {
public:
    void DrawText(TSurface& target, int32_t x, int32_t y, const std::string& text, const TFontSpec& font,
                  uint32_t rgb, uint32_t align) override;
    int32_t MeasureText(const std::string& text, const TFontSpec& font) override;
    struct Call {
        int32_t X, Y;
        std::string Text;
        TFontSpec Font;
        uint32_t Color;
        uint32_t Align;
    };
    std::vector<Call> Calls;
    bool DrawBlocks = true;
};

// A pad the test holds buttons on (Held, PadBit of each) and queues presses
// into; Polls records the tick count of every poll.
class FakeGamepad : public IGamepad {
public:
    uint32_t Poll(uint32_t now) override
    {
        Polls.push_back(now);
        return Held;
    }
    bool NextPress(TPadButton& button) override
    {
        if (Presses.empty())
            return false;
        button = Presses.front();
        Presses.pop_front();
        return true;
    }
    uint32_t Held = 0;
    std::deque<TPadButton> Presses;
    std::vector<uint32_t> Polls;
};

// All fakes together, installed into Platform for the lifetime of the object.
struct FakePlatform {
    FakePlatform();
    ~FakePlatform();
    FakeClock Clock;
    FakeKeyboard Keyboard;
    FakeMouse Mouse;
    FakeDisplay Display;
    FakeMixer Mixer;
    FakeModulePlayer Music;
    FakeHttp Http;
    FakeOpener Opener;
    FakeTextRenderer Text;
    FakeGamepad Gamepad;
    TPlatform Saved;
};
