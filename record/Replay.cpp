#include "record/Replay.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include "game/Game.h"
#include "game/StateHash.h"
#include "graphics/AssetPack.h"
#include "graphics/Frame.h"
#include "platform/InputState.h"
#include "platform/Platform.h"
#include "platform/Random.h"
#include "services/Options.h"

namespace record {

namespace {

// The reads of the game world, answered from the record with the same
// defaults the recorder assumed.
struct TFeed {
    std::vector<const TEvent*> Clock, Mouse;
    size_t NextClock = 0, NextMouse = 0;
    uint32_t Frame = 0;
    TClockExpectation ClockSeen;
    uint32_t MouseReads = 0;
    TMouseBytes MouseNow{};

    uint32_t ReadClock()
    {
        uint32_t value = ClockSeen.Expected();
        if (NextClock < Clock.size() && Clock[NextClock]->Frame == Frame &&
            Clock[NextClock]->Index == ClockSeen.ReadsThisFrame())
            value = Clock[NextClock++]->Value;
        ClockSeen.Read(value);
        return value;
    }
    void ReadMouse(uint8_t* out, uint32_t size)
    {
        if (NextMouse < Mouse.size() && Mouse[NextMouse]->Frame == Frame && Mouse[NextMouse]->Index == MouseReads)
            MouseNow = Mouse[NextMouse++]->Mouse;
        ++MouseReads;
        std::memcpy(out, MouseNow.data(), std::min<size_t>(size, MouseBytes));
    }
    void BeginFrame(uint32_t frame)
    {
        Frame = frame;
        ClockSeen.BeginFrame();
        MouseReads = 0;
    }
    // False when the frame left reads of the record unread.
    bool EndFrame()
    {
        ClockSeen.EndFrame();
        const bool clockDone = NextClock >= Clock.size() || Clock[NextClock]->Frame > Frame;
        const bool mouseDone = NextMouse >= Mouse.size() || Mouse[NextMouse]->Frame > Frame;
        return clockDone && mouseDone;
    }
};

class TFeedClock : public IClock {
public:
    explicit TFeedClock(TFeed& feed) : Feed(feed) {}
    uint32_t GetTickCount() override { return Feed.ReadClock(); }
    void Sleep(uint32_t) override {}

private:
    TFeed& Feed;
};

class TFeedMouse : public IMouseDevice {
public:
    explicit TFeedMouse(TFeed& feed) : Feed(feed) {}
    HRESULT Acquire() override { return DD_OK; }
    HRESULT Unacquire() override { return DD_OK; }
    HRESULT GetDeviceState(uint32_t size, void* data) override
    {
        if (data)
            Feed.ReadMouse(static_cast<uint8_t*>(data), size);
        return DD_OK;
    }

private:
    TFeed& Feed;
};

class TNoKeyboard : public IKeyboardDevice {
public:
    HRESULT Acquire() override { return DD_OK; }
    HRESULT Unacquire() override { return DD_OK; }
    HRESULT GetDeviceState(uint32_t, void*) override { return DD_OK; }
};

// The game hides and places the cursor; nobody sees it here.
class TNoDisplay : public IDisplay {
public:
    void SetMode(bool) override {}
    void Present(const TSurface&, const TRect&) override {}
    void GetDesktopSize(int32_t& w, int32_t& h) override
    {
        w = 800;
        h = 600;
    }
    void GetWindowPos(int32_t& l, int32_t& t) override { l = t = 0; }
    void MoveWindow(int32_t, int32_t) override {}
    void ShowCursor(bool) override {}
    void SetCursorPos(int32_t, int32_t) override {}
    void Minimize() override {}
    void Show() override {}
    void SetTitle(const std::string&) override {}
    void RequestQuit() override {}
    void ShowError(const std::string&, const std::string&) override {}
};

// Everything of the running program the game world touches, put aside for
// the replay and given back after it.
struct TSavedWorld {
    TSavedWorld()
        : Platform_(Platform), MouseMode_(MouseMode),
          RandSeed_(RandSeed), BackBuffer_(BackBuffer), SnapshotSurface_(SnapshotSurface), Options_(GameOptions)
    {
        std::memcpy(Keyboard_, KeyboardState, sizeof Keyboard_);
        std::memcpy(Mouse_, MouseState, sizeof Mouse_);
        std::copy(std::begin(GameSheets), std::end(GameSheets), Game_);
        std::copy(std::begin(MenuSheets), std::end(MenuSheets), Menu_);
        std::copy(std::begin(FlippedShotSheets), std::end(FlippedShotSheets), Flipped_);
    }
    ~TSavedWorld()
    {
        Platform = Platform_;
        MouseMode = MouseMode_;
        RandSeed = RandSeed_;
        BackBuffer = BackBuffer_;
        SnapshotSurface = SnapshotSurface_;
        GameOptions = Options_;
        std::memcpy(KeyboardState, Keyboard_, sizeof Keyboard_);
        std::memcpy(MouseState, Mouse_, sizeof Mouse_);
        std::copy(std::begin(Game_), std::end(Game_), GameSheets);
        std::copy(std::begin(Menu_), std::end(Menu_), MenuSheets);
        std::copy(std::begin(Flipped_), std::end(Flipped_), FlippedShotSheets);
    }
    TPlatform Platform_;
    int32_t MouseMode_;
    uint32_t RandSeed_;
    TSurface* BackBuffer_;
    TSurface* SnapshotSurface_;
    TOptions Options_;
    uint8_t Keyboard_[sizeof KeyboardState];
    uint8_t Mouse_[sizeof MouseState];
    TSurface* Game_[std::size(GameSheets)];
    TSurface* Menu_[std::size(MenuSheets)];
    TSurface* Flipped_[std::size(FlippedShotSheets)];
};

TGameEnd EndOf(const TGame& game) { return {game.Score, game.Stage, GameStateHash(game)}; }

} // namespace

const char* ReplayStatusText(TReplayStatus status)
{
    switch (status) {
    case TReplayStatus::Ok: return "ok";
    case TReplayStatus::BadRecord: return "bad record";
    case TReplayStatus::Diverged: return "record does not fit the game";
    case TReplayStatus::Unfinished: return "record ends before the game";
    }
    return "unknown";
}

TReplayResult ReplayRecord(const TGameRecord& record)
{
    TReplayResult result;
    result.Claimed = record.End;
    TFeed feed;
    for (const TEvent& e : record.Events) {
        if (e.Kind == TEventKind::Clock)
            feed.Clock.push_back(&e);
        else if (e.Kind == TEventKind::Mouse)
            feed.Mouse.push_back(&e);
    }

    TSavedWorld saved;
    TFeedClock clock(feed);
    TFeedMouse mouse(feed);
    TNoKeyboard keyboard;
    TNoDisplay display;
    Platform = TPlatform{};
    Platform.Clock = &clock;
    Platform.Mouse = &mouse;
    Platform.Keyboard = &keyboard;
    Platform.Display = &display;
    MouseMode = 0;
    RandSeed = 0;
    BackBuffer = SnapshotSurface = nullptr;
    GameOptions.SoundOn = false;
    GameOptions.MusicOn = false;
    std::memset(KeyboardState, 0, sizeof KeyboardState);
    std::memset(MouseState, 0, sizeof MouseState);
    std::fill(std::begin(GameSheets), std::end(GameSheets), nullptr);
    std::fill(std::begin(MenuSheets), std::end(MenuSheets), nullptr);
    std::fill(std::begin(FlippedShotSheets), std::end(FlippedShotSheets), nullptr);

    std::unique_ptr<TGame> game;
    size_t next = 0;
    result.Status = TReplayStatus::Ok;
    for (uint32_t frame = 0; frame < record.Frames; ++frame) {
        // What the shell set before the frame.
        for (; next < record.Events.size() && record.Events[next].Frame == frame; ++next) {
            const TEvent& e = record.Events[next];
            switch (e.Kind) {
            case TEventKind::Key: KeyboardState[e.Index & 0xFF] = static_cast<uint8_t>(e.Value); break;
            case TEventKind::Seed: RandSeed = e.Value; break;
            case TEventKind::Phase:
                if (game)
                    game->Phase = static_cast<uint8_t>(e.Value);
                break;
            default: break;
            }
        }
        if (game && game->Exit != TGameExit::None) {
            // The game ended before the record did.
            result.Status = TReplayStatus::Diverged;
            result.DivergedAt = frame;
            break;
        }
        feed.BeginFrame(frame);
        if (frame == 0) {
            game = std::make_unique<TGame>();
        } else {
            game->UpdateAndDraw(nullptr);
        }
        result.Frames = frame + 1;
        if (!feed.EndFrame()) {
            result.Status = TReplayStatus::Diverged;
            result.DivergedAt = frame;
            break;
        }
    }
    if (game) {
        result.End = EndOf(*game);
        if (result.Status == TReplayStatus::Ok && game->Exit == TGameExit::None)
            result.Status = TReplayStatus::Unfinished;
    } else {
        result.Status = TReplayStatus::BadRecord;
        result.Read = TReadStatus::Malformed;
    }
    game.reset();
    return result;
}

TReplayResult ReplayBytes(const uint8_t* data, size_t size)
{
    TGameRecord record;
    const TReadStatus read = DecodeRecord(data, size, record);
    if (read != TReadStatus::Ok) {
        TReplayResult result;
        result.Status = TReplayStatus::BadRecord;
        result.Read = read;
        return result;
    }
    return ReplayRecord(record);
}

} // namespace record
