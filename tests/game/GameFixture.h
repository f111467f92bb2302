// A game on the fake platform: fake clock, scripted keyboard and mouse, an
// 800 x 600 back buffer and no sprite sheets unless a test makes some.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "fakes/Fakes.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "main/GameRecording.h"
#include "main/Globals.h"
#include "platform/Random.h"
#include "services/DXSounds.h"
#include "services/FMOD.h"
#include "services/Options.h"

// A copy of the game's generator, to know which draws a seed gives.
struct TLcg {
    uint32_t Seed;
    int32_t Next(int32_t n)
    {
        Seed = Seed * 0x08088405u + 1u;
        return static_cast<int32_t>((static_cast<uint64_t>(Seed) * static_cast<uint32_t>(n)) >> 32);
    }
};

// No sprite sheets: the game draws nothing of them until a test makes some.
inline void ForgetSheets()
{
    for (auto& s : GameSheets) s = nullptr;
    for (auto& s : MenuSheets) s = nullptr;
    for (auto& s : FlippedShotSheets) s = nullptr;
}

class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetSheets();
        std::memset(KeyboardState, 0, sizeof KeyboardState);
        std::memset(MouseState, 0, sizeof MouseState);
        MouseMode = 0;
        GameState = StatePlaying;
        GameOptions = TOptions{};
        for (auto& h : HiScores) h = THiScores{};
        P.Clock.SetTicks(1000);
        InitSoundEffects();
        BackBuffer = DD.CreateSurface(800, 600);
        SnapshotSurface = DD.CreateSurface(800, 600);
        RandSeed = 12345;
        Game = std::make_unique<TGame>();
        CurrentGame = Game.get();
    }
    void TearDown() override
    {
        CurrentGame = nullptr;
        Game.reset();
        StopMusic();
        CloseSoundEffects();
        DD.Release(BackBuffer);
        DD.Release(SnapshotSurface);
        ForgetSheets();
    }
    // One drawn frame, one platform tick after the last.
    void Frame()
    {
        P.Clock.NextTick();
        std::memcpy(KeyboardState, P.Keyboard.State, sizeof KeyboardState);
        Game->UpdateAndDraw(BackBuffer);
        LeaveFinishedGame(*Game); // as the shell does after each game frame
    }
    // Puts the game straight into play on its current stage, with no enemy.
    void StartPlay()
    {
        Game->Phase = PhaseStageTitle;
        Game->PhaseStart = P.Clock.Now;
        while (Game->Phase != PhasePlay)
            Frame();
    }
    TEnemyShip* AddEnemy(uint8_t kind, uint8_t pattern, int16_t x, int16_t y)
    {
        const uint8_t slot = Game->Engine->FirstFreeEnemySlot();
        Game->Engine->Enemies[slot] = std::make_unique<TEnemyShip>(Game.get(), kind, pattern, x, y);
        return Game->Engine->Enemies[slot].get();
    }
    int CountHits() const
    {
        int n = 0;
        for (auto& h : Game->Hits) n += h ? 1 : 0;
        return n;
    }
    // The effects played since the last call, in order.
    std::vector<int> TakeEffects()
    {
        std::vector<int> out;
        for (int b : P.Mixer.PlayLog) {
            int main = b;
            while (P.Mixer.Buffers[main].Source >= 0)
                main = P.Mixer.Buffers[main].Source;
            out.push_back(main);
        }
        P.Mixer.PlayLog.clear();
        P.Mixer.FinishAll();
        return out;
    }
    int CountEnemies() const
    {
        int n = 0;
        for (auto& e : Game->Engine->Enemies) n += e ? 1 : 0;
        return n;
    }

    FakePlatform P;
    TDirectDraw DD;
    std::unique_ptr<TGame> Game;
};
