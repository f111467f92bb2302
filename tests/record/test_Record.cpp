// The record of a game: its bytes read back as written, damage is refused,
// and a game recorded through the shell's hooks on an unsteady clock, with
// pauses, re-seeds, a quit and the mouse, plays again to the same end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>

#include "fakes/Fakes.h"
#include "game/GameFixture.h"
#include "game/Game.h"
#include "game/StateHash.h"
#include "graphics/AssetPack.h"
#include "main/GameRecording.h"
#include "main/Globals.h"
#include "platform/Random.h"
#include "record/GameRecord.h"
#include "record/Recorder.h"
#include "record/Replay.h"
#include "services/DXSounds.h"
#include "services/FMOD.h"
#include "services/Options.h"

using namespace record;

namespace {

TEvent Ev(uint32_t frame, TEventKind kind, uint32_t index, uint32_t value)
{
    return TEvent{frame, kind, index, value, {}};
}

TEvent MouseEv(uint32_t frame, uint32_t index, int32_t dx, int32_t dy, uint8_t left, uint8_t tail = 0)
{
    TEvent e = Ev(frame, TEventKind::Mouse, index, 0);
    std::memcpy(e.Mouse.data(), &dx, 4);
    std::memcpy(e.Mouse.data() + 4, &dy, 4);
    e.Mouse[12] = left;
    e.Mouse[19] = tail;
    return e;
}

// One record with every kind of event and every form of each.
TGameRecord EveryEvent()
{
    TGameRecord r;
    r.End = {-2147483647 - 1, 255, 0xFEDCBA9876543210ull};
    // clang-format off
    r.Events = {
        Ev(0, TEventKind::Seed, 0, 0xDEADBEEF),
        Ev(0, TEventKind::Clock, 0, 15625),                 // on the steps
        Ev(1, TEventKind::Key, 0x1D, 0x80),
        Ev(1, TEventKind::Key, 0xCB, 0x80),
        Ev(1, TEventKind::Clock, 0, 15641),
        Ev(1, TEventKind::Clock, 7, 15659),                 // a tick inside a frame
        MouseEv(1, 0, -5, 3, 0x80),
        MouseEv(1, 1, 0, 0, 0x80, 9),
        Ev(2, TEventKind::Key, 0x1D, 0),
        Ev(2, TEventKind::Key, 0x39, 0x41),                 // an odd key byte
        Ev(2, TEventKind::Phase, 0, 3),
        Ev(2, TEventKind::Note, 0, static_cast<uint32_t>(TNote::DisplaySwitch)),
        Ev(16, TEventKind::Clock, 0, 12),                   // backwards (a clock that wrapped)
        Ev(400000, TEventKind::Clock, 2, 0xFFFFFFFF),
        MouseEv(400000, 4, 2147483647, -2147483647 - 1, 0),
    };
    // clang-format on
    r.Frames = 400001;
    return r;
}

} // namespace

TEST(RecordFormat, EveryEventReadsBackAsWritten)
{
    const TGameRecord r = EveryEvent();
    const std::vector<uint8_t> bytes = EncodeRecord(r);
    TGameRecord back;
    ASSERT_EQ(DecodeRecord(bytes, back), TReadStatus::Ok);
    EXPECT_EQ(back.End, r.End);
    EXPECT_EQ(back.Frames, r.Frames);
    ASSERT_EQ(back.Events.size(), r.Events.size());
    for (size_t i = 0; i < r.Events.size(); ++i)
        EXPECT_EQ(back.Events[i], r.Events[i]) << "event " << i;
}

TEST(RecordFormat, DamageIsRefused)
{
    const std::vector<uint8_t> good = EncodeRecord(EveryEvent());
    TGameRecord out;
    // Every shortening, and every single changed byte.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_NE(DecodeRecord(good.data(), n, out), TReadStatus::Ok) << "cut to " << n;
    for (size_t i = 0; i < good.size(); ++i)
        for (uint8_t flip : {0x01, 0x80}) {
            std::vector<uint8_t> bad = good;
            bad[i] ^= flip;
            EXPECT_NE(DecodeRecord(bad, out), TReadStatus::Ok) << "byte " << i << " flipped " << int(flip);
        }

    // Bytes whose checksum holds but which say something impossible.
    auto resealed = [](std::vector<uint8_t> b) {
        const uint32_t crc = Crc32(b.data(), b.size() - 4);
        std::memcpy(b.data() + b.size() - 4, &crc, 4);
        return b;
    };
    struct TCase {
        const char* What;
        std::vector<uint8_t> Bytes;
        TReadStatus Expected;
    };
    std::vector<uint8_t> version = good;
    version[4] = 2;
    std::vector<uint8_t> magic = good;
    magic[0] = 'X';
    std::vector<uint8_t> trailing = good;
    trailing.insert(trailing.end() - 4, 0x00);
    std::vector<uint8_t> unknownKind = good;
    unknownKind[19] = 0xA0; // the first event's lead byte (after a 5-byte score): kind 10 does not exist
    TGameRecord past = EveryEvent();
    past.Frames = 400000; // an event in a frame the game never reached
    TGameRecord tooLong = EveryEvent();
    tooLong.Frames = MaxFrames + 1;
    const TCase cases[] = {
        {"another version", version, TReadStatus::WrongVersion},
        {"not a record", magic, TReadStatus::NotARecord},
        {"bytes after the end", resealed(trailing), TReadStatus::Malformed},
        {"unknown event", resealed(unknownKind), TReadStatus::Malformed},
        {"event after the last frame", EncodeRecord(past), TReadStatus::Malformed},
        {"longer than a game may be", EncodeRecord(tooLong), TReadStatus::TooLong},
        {"too large", std::vector<uint8_t>(MaxRecordBytes + 1, 0), TReadStatus::TooLarge},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(DecodeRecord(c.Bytes, out), c.Expected) << c.What;
}

TEST(RecordFormat, WriterStopsAtTheSizeLimit)
{
    TRecordWriter w;
    uint32_t frame = 0;
    while (w.Add(Ev(frame / 256, TEventKind::Key, frame % 256, frame % 3 ? 0x80 : 0x41)))
        ++frame;
    EXPECT_TRUE(w.Overflowed());
    EXPECT_FALSE(w.Add(Ev(frame, TEventKind::Key, 1, 0x80)));
    EXPECT_LE(w.Finish(frame / 256 + 1, {}).size(), MaxRecordBytes);
}

namespace {

// The platform's clock as a loaded machine shows it: frames one to four
// steps apart, a step that falls inside a frame after some reads, and long
// gaps where the game was paused or minimised.
class TUnsteadyClock : public IClock {
public:
    uint32_t GetTickCount() override
    {
        if (StepAfterReads > 0 && --StepAfterReads == 0)
            ++Step;
        return StepTick(Step);
    }
    void Sleep(uint32_t) override {}
    uint64_t Step = 64 * 60;
    int StepAfterReads = 0;
};

class RecordedGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetSheets();
        std::memset(KeyboardState, 0, sizeof KeyboardState);
        GameOptions = TOptions{};
        for (auto& h : HiScores) h = THiScores{};
        Folder = std::filesystem::temp_directory_path() / ("zephyrion-record-" + std::to_string(::getpid()));
        std::filesystem::create_directories(Folder);
        SavedConfig = ConfigFileName;
        ConfigFileName = (Folder / "Config.cfg").string();
        Platform.Clock = &Clock;
        InitSoundEffects();
        BackBuffer = DD.CreateSurface(800, 600);
        SnapshotSurface = DD.CreateSurface(800, 600);
        GameRecorder.Install(Platform);
    }
    void TearDown() override
    {
        GameRecorder.Uninstall();
        delete CurrentGame;
        CurrentGame = nullptr;
        StopMusic();
        CloseSoundEffects();
        DD.Release(BackBuffer);
        DD.Release(SnapshotSurface);
        ConfigFileName = SavedConfig;
        std::filesystem::remove_all(Folder);
    }

    // The player's own dice, apart from the game's generator.
    uint32_t Dice = 1;
    uint32_t Roll(uint32_t n)
    {
        Dice = Dice * 1103515245u + 12345u;
        return (Dice >> 16) % n;
    }

    // Plays one game through the shell's hooks until it is over; quitAt: the
    // frame where the player quits through the dialog (0: never).
    void PlayGame(uint32_t seed, int quitAt, bool mouse)
    {
        Dice = seed;
        RandSeed = seed;
        GameState = StatePlaying;
        CurrentGame = NewRecordedGame();
        for (int f = 1; GameState == StatePlaying && f < 60000; ++f) {
            // The clock: mostly the next step, sometimes late, now and then a pause.
            const uint32_t r = Roll(100);
            Clock.Step += r < 70   ? 1
                          : r < 97 ? 2 + Roll(3)
                                   : 150 + Roll(300);
            if (Roll(10) == 0)
                Clock.StepAfterReads = 1 + static_cast<int>(Roll(12));
            if (r >= 97) {
                GameRecorder.Note(TNote::Pause);
                Random(7); // whatever the shell draws meanwhile
            }
            if (Roll(500) == 0) {
                GameRecorder.Note(TNote::DisplaySwitch);
                Randomize(); // a display switch seeds the generator again
            }
            if (f == quitAt && CurrentGame->Phase == PhasePlay)
                CurrentGame->Phase = PhaseGameOver; // "Exit game?" answered Yes
            if (f == quitAt && CurrentGame->Phase != PhaseGameOver)
                ++quitAt;

            // The player: fire mostly held, a direction now and then.
            if (Roll(8) == 0) {
                std::memset(KeyboardState, 0, sizeof KeyboardState);
                KeyboardState[Roll(4) == 0 ? DIK_RCONTROL : DIK_LCONTROL] = Roll(5) ? 0x80 : 0;
                const uint8_t moves[] = {DIK_LEFT, DIK_RIGHT, DIK_UP, DIK_DOWN, DIK_SPACE};
                KeyboardState[moves[Roll(5)]] = 0x80;
            }
            if (mouse && Roll(3) == 0) {
                P.Mouse.DX = static_cast<int32_t>(Roll(41)) - 20;
                P.Mouse.DY = static_cast<int32_t>(Roll(21)) - 10;
                P.Mouse.Buttons[0] = Roll(4) ? 0x80 : 0;
            }
            const bool playing = CurrentGame->Phase == PhasePlay;
            RunRecordedFrame(BackBuffer);
            ++Frames;
            InPlay.push_back(playing && CurrentGame->Phase == PhasePlay);
        }
    }

    FakePlatform P;
    TUnsteadyClock Clock;
    TDirectDraw DD;
    std::filesystem::path Folder;
    std::string SavedConfig;
    int Frames = 0;
    // By frame (from 1): the game was in play before and after it.
    std::vector<bool> InPlay{false};
    // Frame f lies in a long stretch of play (so what it reads matters).
    bool DeepInPlay(uint32_t f) const
    {
        for (uint32_t k = f; k < f + 100; ++k)
            if (k >= InPlay.size() || !InPlay[k])
                return false;
        return true;
    }
};

} // namespace

TEST_F(RecordedGame, PlaysAgainToTheSameEnd)
{
    struct TCase {
        const char* What;
        uint32_t Seed;
        int QuitAt;
        bool Mouse;
    };
    const TCase cases[] = {
        {"keys until the last ship is lost", 7, 0, false},
        {"keys and mouse, quit through the dialog", 99, 2500, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        delete CurrentGame;
        CurrentGame = nullptr;
        PlayGame(c.Seed, c.QuitAt, c.Mouse);
        ASSERT_NE(GameState, StatePlaying) << "the game did not end";
        const TGame& game = *CurrentGame;
        const TGameEnd real{game.Score, game.Stage, GameStateHash(game)};
        const std::vector<uint8_t> bytes = GameRecorder.LastRecord();
        ASSERT_FALSE(bytes.empty());

        // Kept next to "Config.cfg".
        std::vector<uint8_t> kept;
        ASSERT_TRUE(LoadRecordFile((Folder / "LastGame.rec").string(), kept));
        EXPECT_EQ(kept, bytes);

        const int32_t stateBefore = GameState;
        const TReplayResult again = ReplayBytes(bytes.data(), bytes.size());
        EXPECT_EQ(again.Status, TReplayStatus::Ok) << ReplayStatusText(again.Status) << " at " << again.DivergedAt;
        EXPECT_EQ(again.Claimed, real);
        EXPECT_EQ(again.End, real);
        EXPECT_EQ(again.Frames, static_cast<uint32_t>(Frames + 1));
        // The running program's own state is given back.
        EXPECT_EQ(GameState, stateBefore);
        EXPECT_EQ(CurrentGame, &game);
        std::printf("[ figures  ] %s: %d frames, score %d, %zu bytes\n", c.What, Frames + 1, real.Score,
                    bytes.size());
        Frames = 0;
    }
}

TEST_F(RecordedGame, AlteredRecordsDoNotPlayToTheirClaim)
{
    PlayGame(99, 2500, true);
    ASSERT_NE(GameState, StatePlaying);
    TGameRecord genuine;
    ASSERT_EQ(DecodeRecord(GameRecorder.LastRecord(), genuine), TReadStatus::Ok);
    ASSERT_GT(genuine.End.Score, 0) << "the script should score";

    // From the middle of play to the end: a single event may well make no
    // difference (a draw that decides nothing, a shot that misses anyway,
    // a seed set again before the next draw), all of them do.
    uint32_t from = 0;
    while (from < InPlay.size() && !DeepInPlay(from))
        ++from;
    ASSERT_TRUE(DeepInPlay(from + 300)) << "no long stretch of play";
    auto without = [&](TEventKind kind, auto&& pick) {
        TGameRecord r = genuine;
        const size_t before = r.Events.size();
        std::erase_if(r.Events, [&](const TEvent& e) {
            return e.Kind == kind && e.Frame >= from && pick(e);
        });
        EXPECT_LT(r.Events.size(), before) << "the game has no such event (kind " << int(kind) << ")";
        return r;
    };
    auto any = [](const TEvent&) { return true; };
    TGameRecord forged = genuine;
    forged.End.Score += 1000;
    TGameRecord cut = genuine;
    cut.Frames /= 2;
    std::erase_if(cut.Events, [&](const TEvent& e) { return e.Frame >= cut.Frames; });
    TGameRecord longer = genuine;
    longer.Frames += 1;
    struct TCase {
        const char* What;
        TGameRecord Record;
    };
    const TCase cases[] = {
        {"a score claimed higher", forged},
        {"fire presses left out", without(TEventKind::Key, [](const TEvent& e) {
             return (e.Index == DIK_LCONTROL || e.Index == DIK_RCONTROL) && e.Value == 0x80;
         })},
        {"re-seeds left out", without(TEventKind::Seed, any)},
        {"late frames left out", without(TEventKind::Clock, [](const TEvent& e) { return e.Index == 0; })},
        {"ticks inside frames left out", without(TEventKind::Clock, [](const TEvent& e) { return e.Index > 0; })},
        {"mouse moves left out", without(TEventKind::Mouse, any)},
        {"the quit left out", [&] {
             TGameRecord r = genuine;
             std::erase_if(r.Events, [](const TEvent& e) { return e.Kind == TEventKind::Phase; });
             return r;
         }()},
        {"the record cut short", cut},
        {"a frame after the end", longer},
    };
    for (const TCase& c : cases) {
        const std::vector<uint8_t> bytes = EncodeRecord(c.Record);
        const TReplayResult r = ReplayBytes(bytes.data(), bytes.size());
        EXPECT_FALSE(r.Status == TReplayStatus::Ok && r.End == r.Claimed)
            << c.What << ": " << ReplayStatusText(r.Status) << " score " << r.End.Score << " hash " << r.End.Hash
            << " events " << c.Record.Events.size() << " of " << genuine.Events.size();
    }
    // The genuine record does.
    const std::vector<uint8_t> bytes = EncodeRecord(genuine);
    const TReplayResult r = ReplayBytes(bytes.data(), bytes.size());
    EXPECT_EQ(r.Status, TReplayStatus::Ok);
    EXPECT_EQ(r.End, r.Claimed);
}
