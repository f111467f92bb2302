// A seeded game played by a scripted player on the fake clock, one 1000/64 ms
// tick per frame, must end in the same state on every run. The player looks
// at the world as a player looks at the screen and answers only with keys
// and mouse moves. The expected end is stored below: a change in any rule of the game
// world (timing, draws, arithmetic) shows up here.
#include <cstdio>
#include <cstdlib>

#include <algorithm>
#include <cmath>

#include "GameFixture.h"
#include "game/Collision.h"

namespace {

struct TEndState {
    int Stage, SubStage, Score, Lives, Phase, GameStateAfter, Energy, Armor;
    uint32_t Distance;
    uint64_t Hash;
    int MaxStage;
    bool SawBoss;
};

class THasher {
public:
    void Add(int64_t v)
    {
        for (int i = 0; i < 8; ++i) {
            H ^= static_cast<uint8_t>(v >> (8 * i));
            H *= 0x100000001B3ull;
        }
    }
    uint64_t H = 0xCBF29CE484222325ull;
};

uint64_t HashWorld(const TGame& g)
{
    THasher h;
    h.Add(g.Ship->X);
    h.Add(g.Ship->Y);
    h.Add(g.Ship->Bank);
    h.Add(g.Ship->WeaponTimer);
    h.Add(g.Ship->Gun->Pattern);
    h.Add(g.Ship->Gun->ShotCount);
    auto shots = [&](const TGunner& gun) {
        for (const auto& s : gun.Shots)
            if (s) {
                h.Add(s->Kind);
                h.Add(s->RoundX());
                h.Add(s->RoundY());
                h.Add(s->Frame);
            }
    };
    shots(*g.Ship->Gun);
    for (const auto& e : g.Engine->Enemies) {
        h.Add(e ? 1 : 0);
        if (e) {
            h.Add(e->X);
            h.Add(e->Y);
            h.Add(e->Kind);
            h.Add(e->HitPoints);
            shots(*e->Gun);
        }
    }
    if (g.Engine->Boss) {
        h.Add(g.Engine->Boss->X);
        h.Add(g.Engine->Boss->Y);
        h.Add(g.Engine->Boss->HitPoints);
        shots(*g.Engine->Boss->Gun);
    }
    for (const auto& a : g.Asteroids)
        if (a) {
            h.Add(a->X);
            h.Add(a->Y);
            h.Add(a->HitPoints);
        }
    for (const auto& b : g.Bonuses)
        if (b) {
            h.Add(b->X);
            h.Add(b->Y);
            h.Add(b->Kind);
        }
    for (const auto& x : g.Hits)
        if (x) {
            h.Add(x->X);
            h.Add(x->Y);
            h.Add(x->Frame);
        }
    h.Add(g.NearLayer->OffsetX);
    h.Add(g.NearLayer->OffsetY);
    h.Add(g.FarLayer->OffsetX);
    h.Add(g.FarLayer->OffsetY);
    h.Add(RandSeed);
    return h.H;
}

constexpr int ReplayFrames = 20000;

class Replay : public GameTest {
protected:
    // The player of the script: fire held, stay low, and each frame pick the
    // sideways move (left, none, right) whose path over the next frames meets
    // the fewest enemy shots, asteroids and ships, preferring to stand under
    // the lowest enemy. Flown by keys, and in some stretches by the mouse.
    int Danger(int dx, int dy) const
    {
        int danger = 0;
        const TGame& g = *Game;
        for (int k = 1; k <= 24; ++k) {
            int16_t sx = static_cast<int16_t>(std::clamp(g.Ship->X + dx * 6 * k, 0, 734));
            int16_t sy = static_cast<int16_t>(std::clamp(g.Ship->Y + dy * 6 * std::min(k, 3), 40, 500));
            const TRect ship = Bounds(sx - 4, sy - 4, ShipWidth + 8, ShipHeight + 8);
            const int weight = 40 - k;
            auto shots = [&](const TGunner& gun) {
                for (const auto& s : gun.Shots)
                    if (s) {
                        const double a = s->Angle + 1.5707963;
                        const int x = s->RoundX() + static_cast<int>(std::cos(a) * ShotSpeed[s->Kind] * k);
                        const int y = s->RoundY() + static_cast<int>(std::sin(a) * ShotSpeed[s->Kind] * k);
                        const TSpriteSize sz = ShotSize[gun.Pattern < ShotKindCount ? gun.Pattern : s->Kind];
                        if (Collide(Bounds(x, y, sz.W, sz.H), ship))
                            danger += weight * 3;
                    }
            };
            for (const auto& e : g.Engine->Enemies)
                if (e) {
                    shots(*e->Gun);
                    const int ey = e->Y + (e->Pattern == 1 ? 0 : 2 * k);
                    const int ex = e->X + (e->Pattern == 1 ? e->DX * k : e->Pattern == 3 ? 2 * k : 0);
                    if (Collide(Bounds(ex, ey, EnemySize[e->Kind].W, EnemySize[e->Kind].H), ship))
                        danger += weight;
                }
            if (g.Engine->Boss) {
                shots(*g.Engine->Boss->Gun);
                if (Collide(g.Engine->Boss->GetRect(), ship))
                    danger += weight * 20;
            }
            for (const auto& a : g.Asteroids)
                if (a && Collide(Bounds(a->X + a->DX * k, a->Y + a->DY * k, AsteroidSize[a->Kind].W,
                                        AsteroidSize[a->Kind].H), ship))
                    danger += weight;
        }
        return danger;
    }

    void Script(int f)
    {
        P.Keyboard.ReleaseAll();
        for (auto& b : P.Mouse.Buttons) b = 0;
        const bool mouseStretch = (f / 1500) % 4 == 2;
        MouseMode = mouseStretch ? -1 : 0;

        // Where to stand: under the lowest enemy, else sweep across.
        int aim = (f / 200) % 2 ? 600 : 150;
        int lowest = -1000;
        for (const auto& e : Game->Engine->Enemies)
            if (e && e->Y > lowest && e->Y < 420) {
                lowest = e->Y;
                aim = e->X + EnemySize[e->Kind].W / 2 - ShipWidth / 2;
            }
        if (Game->Engine->Boss)
            aim = Game->Engine->Boss->X + BossSize[Game->Engine->Boss->Kind].W / 2 - ShipWidth / 2 + ((f / 300) % 2 ? 150 : -150);
        int best = 0, bestScore = 1 << 30;
        int bestDy = 1;
        for (int dy : {1, -1})
            for (int dx : {0, -1, 1}) {
                const int toAim = std::abs(std::clamp(Game->Ship->X + 6 * dx, 0, 734) - aim);
                const int score = Danger(dx, dy) * 100 + toAim + (dy < 0 ? 50 : 0);
                if (score < bestScore) {
                    bestScore = score;
                    best = dx;
                    bestDy = dy;
                }
            }
        if (mouseStretch) {
            P.Mouse.Buttons[0] = (f % 50 < 45) ? 0x80 : 0;
            P.Mouse.DX = best * (1 + f % 40);
            P.Mouse.DY = bestDy * (1 + f % 7);
        } else {
            P.Keyboard.Press(f % 2 ? DIK_LCONTROL : DIK_RCONTROL);
            if (best < 0) P.Keyboard.Press(DIK_LEFT);
            if (best > 0) P.Keyboard.Press(DIK_RIGHT);
            P.Keyboard.Press(bestDy < 0 ? DIK_UP : DIK_DOWN);
        }
        if (f % 400 == 399)
            P.Keyboard.Press(DIK_SPACE);
    }

    TEndState Play()
    {
        GameState = StatePlaying;
        MouseMode = 0;
        P.Clock.SetTicks(1000);
        std::memset(KeyboardState, 0, sizeof KeyboardState);
        RandSeed = 20261210;
        CurrentGame = nullptr;
        Game = std::make_unique<TGame>();
        CurrentGame = Game.get();
        TEndState end{};
        for (int f = 0; f < ReplayFrames && GameState == StatePlaying; ++f) {
            Script(f);
            Frame();
            end.MaxStage = std::max<int>(end.MaxStage, Game->Stage);
            end.SawBoss = end.SawBoss || Game->Engine->Boss != nullptr;
        }
        end.Stage = Game->Stage;
        end.SubStage = Game->SubStage;
        end.Score = Game->Score;
        end.Lives = Game->Lives;
        end.Phase = Game->Phase;
        end.GameStateAfter = GameState;
        end.Energy = Game->Energy;
        end.Armor = Game->Armor;
        end.Distance = Game->Distance;
        end.Hash = HashWorld(*Game);
        return end;
    }
};

} // namespace

TEST_F(Replay, ScriptedGameEndsInTheRecordedState)
{
    const TEndState end = Play();
    if (std::getenv("ZEPHYRION_REPLAY_PRINT"))
        std::printf("stage %d-%d score %d lives %d phase %d state %d energy %d armor %d distance %u hash 0x%016llx "
                    "max stage %d boss %d\n",
                    end.Stage, end.SubStage, end.Score, end.Lives, end.Phase, end.GameStateAfter, end.Energy, end.Armor,
                    end.Distance, static_cast<unsigned long long>(end.Hash), end.MaxStage, end.SawBoss);
    // The script reaches the first command ship's stage and ends there.
    EXPECT_GE(end.MaxStage, 3);
    EXPECT_TRUE(end.SawBoss);
    EXPECT_EQ(end.Stage, 3);
    EXPECT_EQ(end.SubStage, 3);
    EXPECT_EQ(end.Score, 2510);
    EXPECT_EQ(end.Lives, 0);
    EXPECT_EQ(end.Phase, PhaseGameOver);
    EXPECT_EQ(end.GameStateAfter, StateNameEntry);
    EXPECT_EQ(end.Energy, -16);
    EXPECT_EQ(end.Armor, 0);
    EXPECT_EQ(end.Distance, 1294u);
    EXPECT_EQ(end.Hash, 0xe5e2bef8233d69afull);

    // A second game with the same seed and script ends the same way.
    const TEndState again = Play();
    EXPECT_EQ(again.Hash, end.Hash);
    EXPECT_EQ(again.Score, end.Score);
}
