// A seeded game played by a scripted player on the fake clock, one 1000/64 ms
// tick per frame, must end in the same state on every run. The player looks
// at the world as a player looks at the screen and answers only with keys
// and mouse moves. The expected end is stored below: a change in any rule of the game
// world (timing, draws, arithmetic) shows up here.
#include <cstdio>
#include <cstdlib>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>

#include "FlatPack.h"
#include "GameFixture.h"
#include "game/Collision.h"
#include "game/StateHash.h"

namespace {

struct TEndState {
    int Stage, SubStage, Score, Lives, Phase, GameStateAfter, Energy, Armor;
    uint32_t Distance;
    uint64_t Hash;
    int MaxStage;
    bool SawBoss;
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
        for (int k = 1; k <= Lookahead; ++k) {
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
                        const TSpriteSize sz = ShotSize[s->Kind];
                        if (Collide(Bounds(x, y, sz.W, sz.H), ship))
                            danger += weight * 3;
                    }
            };
            for (const auto& e : g.Engine->Enemies)
                if (e) {
                    shots(*e->Gun);
                    const int ey = e->Y + (e->Pattern == 1 ? 0 : 2 * k);
                    const int ex = e->X + (e->Pattern == 1   ? e->DX * k
                                           : e->Pattern == 3 ? 2 * k
                                                             : 0);
                    if (Collide(Bounds(ex, ey, EnemySize[e->Kind].W, EnemySize[e->Kind].H), ship))
                        danger += weight;
                }
            if (const TBaseBoss* boss = g.Engine->Boss.get()) {
                shots(*boss->Gun);
                TRect at = boss->GetRect();
                if (Careful) {
                    // Where the command ship will be: down or up at its speed,
                    // a pixel a frame towards the ship.
                    const int bw = BossSize[boss->Kind].W, bh = BossSize[boss->Kind].H;
                    const int toShip = std::clamp(sx + 32 - bw / 2 - boss->X, -k, k);
                    const int down = (boss->VerticalDir == 0 ? 1 : -1) * boss->VerticalSpeed * k;
                    at = Bounds(boss->X + toShip, boss->Y + down, bw, bh + 8);
                }
                if (Collide(at, ship))
                    danger += weight * 20;
            }
            for (const auto& a : g.Asteroids)
                if (a && Collide(Bounds(a->X + a->DX * k, a->Y + a->DY * k, AsteroidSize[a->Kind].W,
                                        AsteroidSize[a->Kind].H),
                                 ship))
                    danger += weight;
        }
        return danger;
    }

    int Lookahead = 24;   // frames the player looks ahead
    int BossAim = 0;      // 0: either side of the command ship in turn; 1: under it while it is high
    bool Careful = false; // sees where the command ship goes, keeps clear of it early, goes for bonuses

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
        if (const TBaseBoss* boss = Game->Engine->Boss.get()) {
            const int w = BossSize[boss->Kind].W, h = BossSize[boss->Kind].H;
            const int centre = boss->X + w / 2 - ShipWidth / 2;
            if (BossAim == 0)
                aim = centre + ((f / 300) % 2 ? 150 : -150);
            else if (boss->Y + h < Game->Ship->Y - (Careful ? 60 + (boss->VerticalDir == 0 ? 40 * boss->VerticalSpeed : 0) : 60))
                aim = centre; // high enough: stand under it and fire
            else
                aim = centre + (centre < 367 ? 1 : -1) * (w / 2 + ShipWidth / 2 + 40);
        }
        if (Careful) {
            // A bonus falling above the ship is worth more than any enemy.
            int highest = -1000;
            for (const auto& b : Game->Bonuses)
                if (b && b->Y + BonusSize[b->Kind].H < Game->Ship->Y + 20 && b->Y > highest &&
                    std::abs(b->X - Game->Ship->X) < 6 * (Game->Ship->Y - b->Y) / 3 + 40) {
                    highest = b->Y;
                    aim = b->X + BonusSize[b->Kind].W / 2 - ShipWidth / 2;
                }
        }
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

    TEndState Play(uint32_t seed = 20261210, int frames = ReplayFrames,
                   const std::function<void(int)>& before = nullptr, const std::function<void(int)>& after = nullptr)
    {
        GameState = StatePlaying;
        MouseMode = 0;
        P.Clock.SetTicks(1000);
        std::memset(KeyboardState, 0, sizeof KeyboardState);
        RandSeed = seed;
        CurrentGame = nullptr;
        Game = std::make_unique<TGame>();
        CurrentGame = Game.get();
        TEndState end{};
        for (int f = 0; f < frames && GameState == StatePlaying; ++f) {
            Script(f);
            if (before)
                before(f);
            Frame();
            if (after)
                after(f);
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
    EXPECT_EQ(end.Score, 2500);
    EXPECT_EQ(end.Lives, 0);
    EXPECT_EQ(end.Phase, PhaseGameOver);
    EXPECT_EQ(end.GameStateAfter, StateNameEntry);
    EXPECT_EQ(end.Energy, -56);
    EXPECT_EQ(end.Armor, 0);
    EXPECT_EQ(end.Distance, 3037u);
    EXPECT_EQ(end.Hash, 0xd14c2314dbf8f6b4ull);

    // A second game with the same seed and script ends the same way.
    const TEndState again = Play();
    EXPECT_EQ(again.Hash, end.Hash);
    EXPECT_EQ(again.Score, end.Score);
}

namespace {

// What the long game met on its way, counted frame by frame.
struct TMet {
    std::set<int> EnemyKinds, BossesDestroyed, BonusesCaught;
    std::vector<uint64_t> PixelHashes, WorldHashes; // at the frames of the pictures
};

uint64_t HashPixels(const TSurface& s)
{
    THasher h;
    for (int32_t y = 0; y < s.Height(); ++y)
        for (int32_t x = 0; x < s.Width(); x += 2)
            h.Add(static_cast<int64_t>(s.GetPixel(x, y) & 0x00FFFFFF) << 32 | (s.GetPixel(x + 1, y) & 0x00FFFFFF));
    return h.H;
}

uint32_t EnvNumber(const char* name, uint32_t fallback)
{
    const char* v = std::getenv(name);
    return v ? static_cast<uint32_t>(std::strtoul(v, nullptr, 10)) : fallback;
}

} // namespace

// A longer game: a more careful player (it sees where the command ship is
// going and goes for falling bonuses) with this seed reaches the ninth stage,
// destroys the first two command ships, and on its way meets every enemy
// kind and catches every bonus kind. Besides the end state it checks the
// pictures and the world at a few frames, drawn from a pack of flat colours
// (so that new art changes nothing here). All other frames are played
// without sheets: drawing never changes the game's state, and the game runs
// many times faster so. The ZEPHYRION_REPLAY_* variables let a developer
// try other seeds and players when the game's rules change (DEVELOPERS.md).
TEST_F(Replay, LongScriptedGameMeetsEveryKindAndEndsInTheRecordedState)
{
    const auto folder = packtest::MakeTempFolder("replay");
    const std::string savedPath = AssetPackPath;
    flatpack::LoadFlatPack(DD, folder);
    TSurface* game[GameSheetCount];
    TSurface* menu[MenuSheetCount];
    TSurface* flipped[FlippedShotSheetCount];
    std::copy(std::begin(GameSheets), std::end(GameSheets), game);
    std::copy(std::begin(MenuSheets), std::end(MenuSheets), menu);
    std::copy(std::begin(FlippedShotSheets), std::end(FlippedShotSheets), flipped);
    auto sheets = [&](bool on) {
        for (int i = 0; i < GameSheetCount; ++i) GameSheets[i] = on ? game[i] : nullptr;
        for (int i = 0; i < MenuSheetCount; ++i) MenuSheets[i] = on ? menu[i] : nullptr;
        for (int i = 0; i < FlippedShotSheetCount; ++i) FlippedShotSheets[i] = on ? flipped[i] : nullptr;
    };
    sheets(false);

    const uint32_t seed = EnvNumber("ZEPHYRION_REPLAY_SEED", 7);
    const int frames = static_cast<int>(EnvNumber("ZEPHYRION_REPLAY_FRAMES", 400000));
    const std::set<int> pictures = {5000, 40000, 80000, 120000};
    Lookahead = static_cast<int>(EnvNumber("ZEPHYRION_REPLAY_LOOKAHEAD", 12));
    BossAim = static_cast<int>(EnvNumber("ZEPHYRION_REPLAY_BOSSAIM", 1));
    Careful = EnvNumber("ZEPHYRION_REPLAY_CAREFUL", 1) != 0;
    TMet met;
    uint8_t phaseBefore = 0;
    int bossBefore = -1;
    struct TBonusSeen {
        const TBonus* Ptr;
        int Kind;
        int16_t Y;
    };
    std::vector<TBonusSeen> bonusesBefore;
    const TEndState end = Play(
        seed, frames,
        [&](int f) {
            phaseBefore = Game->Phase;
            bossBefore = Game->Engine->Boss ? Game->Engine->Boss->Kind : -1;
            bonusesBefore.clear();
            for (const auto& b : Game->Bonuses)
                if (b)
                    bonusesBefore.push_back({b.get(), b->Kind, b->Y});
            if (pictures.count(f)) {
                sheets(true);
                BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0);
            }
        },
        [&](int f) {
            for (const auto& e : Game->Engine->Enemies)
                if (e)
                    met.EnemyKinds.insert(e->Kind);
            // Bonuses move only in play; one gone above the bottom edge was caught.
            if (phaseBefore == PhasePlay)
                for (const TBonusSeen& b : bonusesBefore) {
                    bool still = false;
                    for (const auto& now : Game->Bonuses)
                        still = still || now.get() == b.Ptr;
                    if (!still && b.Y + 3 <= 600)
                        met.BonusesCaught.insert(b.Kind);
                }
            if (phaseBefore == PhasePlay && bossBefore >= 0 && !Game->Engine->Boss)
                met.BossesDestroyed.insert(bossBefore);
            if (pictures.count(f)) {
                met.PixelHashes.push_back(HashPixels(*BackBuffer));
                met.WorldHashes.push_back(HashWorld(*Game));
                sheets(false);
            }
        });
    sheets(true);
    ReleaseAssets();
    AssetPackPath = savedPath;
    std::filesystem::remove_all(folder);

    auto list = [](const std::set<int>& s) {
        std::string out;
        for (int v : s) out += std::to_string(v) + " ";
        return out;
    };
    if (std::getenv("ZEPHYRION_REPLAY_PRINT")) {
        std::printf("seed %u stage %d-%d (max %d) score %d lives %d phase %d state %d energy %d armor %d distance %u "
                    "hash 0x%016llx\nenemy kinds %s\nbosses destroyed %s\nbonuses caught %s\npictures",
                    seed, end.Stage, end.SubStage, end.MaxStage, end.Score, end.Lives, end.Phase, end.GameStateAfter,
                    end.Energy, end.Armor, end.Distance, static_cast<unsigned long long>(end.Hash),
                    list(met.EnemyKinds).c_str(), list(met.BossesDestroyed).c_str(), list(met.BonusesCaught).c_str());
        for (uint64_t h : met.PixelHashes)
            std::printf(" 0x%016llxull,", static_cast<unsigned long long>(h));
        std::printf("\nworlds");
        for (uint64_t h : met.WorldHashes)
            std::printf(" 0x%016llxull,", static_cast<unsigned long long>(h));
        std::printf("\n");
    }
    // What the game met on its way: the ninth stage, where the last enemy
    // kind first comes, and the first two command ships destroyed.
    EXPECT_EQ(end.MaxStage, 9);
    EXPECT_EQ(list(met.EnemyKinds), "0 1 2 3 4 5 6 7 8 ");
    EXPECT_EQ(list(met.BossesDestroyed), "0 1 ");
    EXPECT_EQ(list(met.BonusesCaught), "0 1 2 3 4 5 6 7 8 ");
    // How it ended: the third command ship's stage, the last ship lost.
    EXPECT_EQ(end.Stage, 9);
    EXPECT_EQ(end.SubStage, 3);
    EXPECT_EQ(end.Score, 37140);
    EXPECT_EQ(end.Lives, 0);
    EXPECT_EQ(end.Phase, PhaseGameOver);
    EXPECT_EQ(end.GameStateAfter, StateNameEntry);
    EXPECT_EQ(end.Energy, -60);
    EXPECT_EQ(end.Armor, 0);
    EXPECT_EQ(end.Distance, 1438u);
    EXPECT_EQ(end.Hash, 0xa0437e082f7b647dull);
    // The pictures and the world at frames 5000, 40000, 80000 and 120000.
    EXPECT_EQ(met.PixelHashes, (std::vector<uint64_t>{0x3c27e17ad601bd8dull, 0xde6fe0edc52cbb83ull,
                                                      0xd5df9ac4210ae00dull, 0xb2958a37596fba21ull}));
    EXPECT_EQ(met.WorldHashes, (std::vector<uint64_t>{0x85b602cc0e0b67a5ull, 0xa1b918fc74c54ff2ull,
                                                      0xeaa960e819705b2cull, 0x83e0706da0f30f7full}));
}
