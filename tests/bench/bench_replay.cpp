// How long a game takes to play again from its record, and how large its
// record is. A scripted pilot plays on the fake clock (64 frames a second,
// now and then a late frame), dodging what comes down and firing, for ten
// minutes or until its last ship is lost (about seven minutes, at the third
// stage's command ship); the game is recorded through the shell's hooks, then
// played again from the record three times. The figures are also given for
// ten minutes at the same pace.
//
//   bench_replay [minutes]
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fakes/Fakes.h"
#include "game/Game.h"
#include "game/StateHash.h"
#include "graphics/AssetPack.h"
#include "main/GameRecording.h"
#include "main/Globals.h"
#include "platform/Random.h"
#include "record/Recorder.h"
#include "record/Replay.h"
#include "services/DXSounds.h"
#include "services/Options.h"

namespace {

// Objects whose box, moved down by up to 250 pixels, would cross the ship's
// column after a sideways move of dx steps.
int Danger(const TGame& g, int dx)
{
    const int left = std::clamp(g.Ship->X + 6 * dx * 4, 0, 734) - 12;
    const int right = left + ShipWidth + 24;
    const int top = g.Ship->Y - 250, bottom = g.Ship->Y + ShipHeight;
    int danger = 0;
    auto box = [&](int x, int y, int w, int h, int weight) {
        if (x < right && x + w > left && y < bottom && y + h > top)
            danger += weight;
    };
    auto shots = [&](const TGunner& gun) {
        for (const auto& s : gun.Shots)
            if (s)
                box(s->RoundX(), s->RoundY(), 16, 16, 3);
    };
    for (const auto& e : g.Engine->Enemies)
        if (e) {
            shots(*e->Gun);
            box(e->X, e->Y, EnemySize[e->Kind].W, EnemySize[e->Kind].H, 2);
        }
    if (g.Engine->Boss) {
        shots(*g.Engine->Boss->Gun);
        box(g.Engine->Boss->X, g.Engine->Boss->Y, BossSize[g.Engine->Boss->Kind].W,
            BossSize[g.Engine->Boss->Kind].H, 5);
    }
    for (const auto& a : g.Asteroids)
        if (a)
            box(a->X, a->Y, AsteroidSize[a->Kind].W, AsteroidSize[a->Kind].H, 4);
    return danger;
}

} // namespace

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int frames = static_cast<int>(minutes * 60 * 64);

    FakePlatform platform;
    TDirectDraw dd;
    BackBuffer = dd.CreateSurface(800, 600);
    SnapshotSurface = dd.CreateSurface(800, 600);
    InitSoundEffects();
    ConfigFileName = "/nonexistent-folder/Config.cfg"; // the record stays in memory
    record::GameRecorder.Install(Platform);

    platform.Clock.SetTicks(64 * 30);
    RandSeed = 20261210;
    GameState = StatePlaying;
    CurrentGame = NewRecordedGame();
    uint32_t dice = 7;
    int played = 0;
    for (int f = 1; GameState == StatePlaying; ++f, ++played) {
        dice = dice * 1103515245u + 12345u;
        platform.Clock.SetTicks(platform.Clock.TickIndex + ((dice >> 16) % 50 == 0 ? 2 : 1));
        if (f >= frames && CurrentGame->Phase == PhasePlay)
            CurrentGame->Phase = PhaseGameOver; // the pilot leaves through "Exit game?"
        const TGame& g = *CurrentGame;
        int best = 0, bestDanger = 1 << 30;
        const int sweep = (f / 300) % 2 ? 1 : -1;
        for (int dx : {0, sweep, -sweep}) {
            const int d = Danger(g, dx) * 10 + (dx == sweep ? 0 : 1);
            if (d < bestDanger) {
                bestDanger = d;
                best = dx;
            }
        }
        std::memset(KeyboardState, 0, sizeof KeyboardState);
        KeyboardState[DIK_LCONTROL] = 0x80;
        KeyboardState[DIK_DOWN] = 0x80;
        if (best < 0)
            KeyboardState[DIK_LEFT] = 0x80;
        if (best > 0)
            KeyboardState[DIK_RIGHT] = 0x80;
        if (f % 700 == 0)
            KeyboardState[DIK_SPACE] = 0x80;
        RunRecordedFrame(BackBuffer);
    }
    const TGame& g = *CurrentGame;
    const record::TGameEnd real{g.Score, g.Stage, GameStateHash(g)};
    const std::vector<uint8_t> bytes = record::GameRecorder.LastRecord();
    std::printf("game: %d frames (%.1f minutes at 64 a second), stage %u, score %" PRId32 ", %s\n", played + 1,
                (played + 1) / 64.0 / 60.0, real.Stage, real.Score,
                g.Lives == 0 ? "the last ship lost" : "left through the quit dialog");
    std::printf("record: %zu bytes (%.0f bytes a minute)\n", bytes.size(), bytes.size() / ((played + 1) / 3840.0));

    double best = 1e9;
    bool same = true;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const record::TReplayResult r = record::ReplayBytes(bytes.data(), bytes.size());
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        same = same && r.Status == record::TReplayStatus::Ok && r.End == real;
    }
    std::printf("replay: %.3f s best of 3 (%.1f us a frame), %s\n", best, best * 1e6 / (played + 1),
                same ? "same end as the game" : "A DIFFERENT END");
    std::printf("ten minutes at this pace: replay %.3f s, record %.0f bytes\n", best * 38400 / (played + 1),
                bytes.size() * 38400.0 / (played + 1));
    record::GameRecorder.Uninstall();
    delete CurrentGame;
    CurrentGame = nullptr;
    CloseSoundEffects();
    dd.Release(BackBuffer);
    dd.Release(SnapshotSurface);
    return same ? 0 : 1;
}
