#include <cmath>
#include <vector>

#include "GameFixture.h"

using Enemies = GameTest;

namespace {

// First seed from `from` whose draws start as the predicate wants.
template <class F>
uint32_t FindSeed(F wanted, uint32_t from = 1)
{
    for (uint32_t s = from;; ++s) {
        TLcg g{s};
        if (wanted(g))
            return s;
    }
}

struct TPlaced {
    uint8_t Kind, Pattern;
    int16_t X, Y;
};

// What a wave should look like for a seed: the engine's draws, modelled.
std::vector<TPlaced> ModelWave(uint32_t seed, int cycle, int* formationOut = nullptr)
{
    TLcg g{seed};
    int kind;
    do {
        const int r = g.Next(100);
        const int k = g.Next(3);
        kind = r <= 70  ? k
               : r < 80 ? 3 + k
                        : 6 + k;
    } while (kind >= cycle);
    const int pattern = g.Next(4);
    const int formation = kind <= 2 ? g.Next(6) : 5;
    int x = 0, y = 0;
    if (pattern == 0 || pattern == 2)
        x = g.Next(700);
    else if (pattern == 1)
        y = g.Next(400);
    const int w = EnemySize[kind].W, h = EnemySize[kind].H;
    const int l = x - w - 3, r = x + w + 3, a = y - h - 3, b = y + h + 3;
    std::vector<std::pair<int, int>> at;
    switch (formation) {
    case 0: at = {{l, y}, {r, y}, {x, y}}; break;
    case 1: at = {{x, a}, {x, b}, {x, y}}; break;
    case 2: at = {{l, y}, {r, y}, {x, a}, {x, b}}; break;
    case 3: at = {{l, a}, {r, a}, {l, b}, {r, b}, {x, 0}}; break;
    case 4: at = {{l, a}, {r, a}, {x, y}}; break;
    default: at = {{x, y}}; break;
    }
    if (formationOut)
        *formationOut = formation;
    std::vector<TPlaced> out;
    for (auto [px, py] : at)
        out.push_back({static_cast<uint8_t>(kind), static_cast<uint8_t>(pattern), static_cast<int16_t>(px),
                       static_cast<int16_t>(py)});
    return out;
}

} // namespace

TEST_F(Enemies, WavesComeOnTheirDrawWhileFewShipsFly)
{
    struct Row {
        uint8_t Stage;
        int Flying;
        bool Comes;
    };
    const uint32_t seed = FindSeed([](TLcg& g) { return g.Next(15) == 3; });
    for (const Row& r : {Row{1, 0, true}, Row{1, 1, false}, Row{2, 0, true}, Row{2, 4, true}, Row{2, 5, false},
                         Row{11, 1, true}}) {
        Game->Stage = r.Stage;
        Game->SubStage = 1;
        StartPlay();
        for (int i = 0; i < r.Flying; ++i)
            AddEnemy(0, 1, static_cast<int16_t>(10 + 70 * i), 50);
        Game->Engine->LastSpawnCheck = P.Clock.Now - 201;
        RandSeed = seed;
        Game->Engine->UpdateEnemies(BackBuffer);
        EXPECT_EQ(CountEnemies() > r.Flying, r.Comes) << "stage " << int(r.Stage) << " with " << r.Flying;
        EXPECT_EQ(Game->Engine->AliveCount, CountEnemies());
        EXPECT_EQ(Game->Engine->LastSpawnCheck, P.Clock.Now);
    }
    // No decision within 200 ms of the last.
    Game->Engine->ResetEngine();
    Game->Engine->LastSpawnCheck = P.Clock.Now - 200;
    RandSeed = seed;
    Game->Engine->UpdateEnemies(BackBuffer);
    EXPECT_EQ(RandSeed, seed);
}

TEST_F(Enemies, WavesFollowTheirDrawsExactly)
{
    struct Row {
        uint8_t Stage;
        int Cycle;
    };
    int seenFormations[6] = {};
    bool singleAbove2 = true;
    for (const Row& r : {Row{1, 1}, Row{3, 3}, Row{10, 10}}) {
        Game->Stage = r.Stage;
        for (uint32_t seed = 1; seed <= 150; ++seed) {
            Game->Engine->ResetEngine();
            int formation = 0;
            const auto expected = ModelWave(seed, r.Cycle, &formation);
            RandSeed = seed;
            Game->Engine->SpawnWave();
            ASSERT_EQ(CountEnemies(), static_cast<int>(expected.size())) << "seed " << seed;
            for (size_t i = 0; i < expected.size(); ++i) {
                const TEnemyShip& e = *Game->Engine->Enemies[i];
                EXPECT_EQ(e.Kind, expected[i].Kind);
                EXPECT_EQ(e.Pattern, expected[i].Pattern);
                EXPECT_EQ(e.X, expected[i].X) << "seed " << seed << " ship " << i;
                EXPECT_EQ(e.Y, expected[i].Y) << "seed " << seed << " ship " << i;
                EXPECT_EQ(e.HitPoints, EnemyHitPoints[e.Kind]);
                EXPECT_LT(e.Kind, r.Cycle);
            }
            ++seenFormations[formation];
            if (expected[0].Kind >= 3 && expected.size() != 1)
                singleAbove2 = false;
        }
    }
    EXPECT_TRUE(singleAbove2);
    for (int f = 0; f < 6; ++f)
        EXPECT_GT(seenFormations[f], 0) << "formation " << f;
}

TEST_F(Enemies, FormationCornerCases)
{
    Game->Stage = 1;
    // Pattern 1 (start at x = 0), formation 0: the first ship at x = 0 - 59 - 3.
    const uint32_t seed = FindSeed([](TLcg& g) {
        return g.Next(100) <= 70 && g.Next(3) == 0 && g.Next(4) == 1 && g.Next(6) == 0;
    });
    RandSeed = seed;
    Game->Engine->SpawnWave();
    TLcg g{seed};
    for (int i = 0; i < 4; ++i) g.Next(i == 0   ? 100
                                       : i == 1 ? 3
                                       : i == 2 ? 4
                                                : 6);
    const int16_t y = static_cast<int16_t>(g.Next(400));
    ASSERT_EQ(CountEnemies(), 3);
    EXPECT_EQ(Game->Engine->Enemies[0]->X, -62);
    EXPECT_EQ(Game->Engine->Enemies[0]->Y, y);
    EXPECT_EQ(Game->Engine->Enemies[1]->X, 62);
    EXPECT_EQ(Game->Engine->Enemies[2]->X, 0);

    // Pattern 1, formation 3: the fifth ship sits at (0, 0), not at (0, y).
    Game->Engine->ResetEngine();
    uint32_t s3 = 1;
    for (;; ++s3) {
        TLcg h{s3};
        const int r = h.Next(100);
        if (r <= 70 && h.Next(3) == 0 && h.Next(4) == 1 && h.Next(6) == 3 && h.Next(400) > 50)
            break;
    }
    RandSeed = s3;
    Game->Engine->SpawnWave();
    ASSERT_EQ(CountEnemies(), 5);
    EXPECT_EQ(Game->Engine->Enemies[4]->X, 0);
    EXPECT_EQ(Game->Engine->Enemies[4]->Y, 0);
    EXPECT_EQ(Game->Engine->Enemies[0]->X, -62);
    EXPECT_EQ(Game->Engine->Enemies[3]->X, 62);
}

TEST_F(Enemies, MovementPatterns)
{
    StartPlay();
    Game->Ship->X = 0;
    Game->Ship->Y = 500;
    struct Row {
        uint8_t Pattern;
        int16_t X, Y;
        int16_t X1, Y1;
        int8_t DX1;
    };
    // clang-format off
    const Row rows[] = {
        {0, 300, 10, 300, 12, 2},
        {1, 300, 10, 302, 10, 2},
        {1, -62, 10, -60, 10, 2},
        {1, 741, 10, 743, 10, -2},   // 743 + 59 > 800: turns back
        {2, 400, 10, 412, 12, 2},    // round(sin(12/70) * 70) = 12: weaves around its start
        {3, 300, 10, 302, 12, 2},
    };
    // clang-format on
    for (const Row& r : rows) {
        TEnemyShip* e = AddEnemy(0, r.Pattern, r.X, r.Y);
        e->Move();
        EXPECT_EQ(e->X, r.X1) << int(r.Pattern) << " from " << r.X;
        EXPECT_EQ(e->Y, r.Y1);
        EXPECT_EQ(e->DX, r.DX1);
        Game->Engine->ResetEngine();
    }
    // A weaving ship stays within 70 pixels of its start.
    TEnemyShip* e = AddEnemy(0, 2, 400, 0);
    int16_t lo = 400, hi = 400;
    for (int i = 0; i < 300; ++i) {
        e->Move();
        lo = std::min(lo, e->X);
        hi = std::max(hi, e->X);
    }
    EXPECT_EQ(lo, 330);
    EXPECT_EQ(hi, 470);
}

TEST_F(Enemies, AcrossShipsAboveTheTopSinkUntilTheyCanBeShot)
{
    // A formation flying across whose drawn height is 3 or less has ships
    // wholly above the top edge. They sink two pixels a frame until their
    // lowest 16 rows show, then fly across like the others; ships already
    // that far in view, and ships of the other patterns, move as before.
    StartPlay();
    Game->Ship->X = 0;
    Game->Ship->Y = 500;
    struct Row {
        uint8_t Kind, Pattern;
        int16_t Y;
        int16_t YAfter;
    };
    // clang-format off
    const Row rows[] = {
        {0, 1, -31, -11}, // drawn y 0, one row above: 28 tall
        {0, 1, -28, -12},
        {2, 1, -105, -85}, // 102 tall, drawn y 3: sinks ten frames
        {0, 1, -12, -12},  // 16 rows show already
        {0, 1, -13, -11},
        {0, 1, 100, 100},
        {0, 0, -31, -11},  // straight down: two a frame anyway
        {0, 3, -31, -11},
    };
    // clang-format on
    for (const Row& r : rows) {
        TEnemyShip* e = AddEnemy(r.Kind, r.Pattern, 300, r.Y);
        const int16_t x0 = e->X;
        const int frames = (r.YAfter - r.Y) / 2 > 0 ? (r.YAfter - r.Y) / 2 : 0;
        for (int i = 0; i < frames + (r.Pattern == 1 ? 5 : 0); ++i)
            e->Move();
        if (r.Pattern == 1) {
            EXPECT_EQ(e->Y, r.YAfter) << "kind " << int(r.Kind) << " from " << r.Y;
            EXPECT_EQ(e->X, x0 + 2 * (frames + 5)) << "it still flies across meanwhile";
        } else {
            EXPECT_EQ(e->Y, r.YAfter) << "pattern " << int(r.Pattern);
        }
        Game->Engine->ResetEngine();
    }

    // Once down, every shot of the player's guns that passes over it strikes
    // it, whatever the shot's height when it climbs past the top edge.
    for (uint8_t kind : {0, 1, 3, 5, 6, 8}) {
        for (int phase = 0; phase < ShotSpeed[kind]; ++phase) {
            TEnemyShip* e = AddEnemy(0, 1, 400, -31);
            for (int i = 0; i < 10; ++i)
                e->Move();
            ASSERT_EQ(e->Y, -11);
            e->HitPoints = 500;
            TGunner& gun = *Game->Ship->Gun;
            gun.Shots[0] = std::make_unique<TPulya>(kind, 430, 200 + phase, 3.15);
            for (int f = 0; f < 100 && gun.Shots[0]; ++f)
                gun.UpdateShots(BackBuffer);
            EXPECT_EQ(e->HitPoints, 500 - ShotDamage[kind]) << "shot kind " << int(kind) << " phase " << phase;
            gun.Shots[0].reset();
            Game->Engine->ResetEngine();
            for (auto& h : Game->Hits) h.reset();
        }
    }
}

TEST_F(Enemies, FallenShipsAreRemovedBelow601)
{
    StartPlay();
    Game->Engine->LastSpawnCheck = P.Clock.Now;
    AddEnemy(0, 0, 100, 601);
    AddEnemy(0, 0, 300, 602);
    AddEnemy(0, 1, 500, 700); // fallen too: the test is on Y alone
    Game->Engine->RemoveFallen();
    EXPECT_EQ(CountEnemies(), 1);
    EXPECT_EQ(Game->Engine->AliveCount, 1);
}

TEST_F(Enemies, RammingCostsTheLowBitsOfWhatTheEnemyHadLeft)
{
    struct Row {
        int16_t Armor;
        int16_t EnergyAfter, ArmorAfter;
    };
    for (const Row& r : {Row{0, 114, 0}, Row{62, 119, 57}}) {
        StartPlay();
        Game->Engine->LastSpawnCheck = P.Clock.Now;
        Game->Armor = r.Armor;
        Game->Score = 0;
        Game->Ship->X = 300;
        Game->Ship->Y = 300;
        AddEnemy(0, 0, 300, 300);
        RandSeed = FindSeed([](TLcg& g) { return g.Next(6) != 1; });
        Game->Engine->UpdateEnemies(BackBuffer);
        EXPECT_EQ(CountEnemies(), 0);
        EXPECT_EQ(Game->Engine->AliveCount, 0);
        EXPECT_EQ(Game->Score, 10);
        EXPECT_EQ(Game->Energy, r.EnergyAfter);
        EXPECT_EQ(Game->Armor, r.ArmorAfter);
    }
}

// A fighter or command ship whose hit points are already spent (shot down
// or bombed earlier in the frame) explodes without ramming: its spent hit
// points must not turn into up to 255 damage.
TEST_F(Enemies, DestroyedShipsDoNotRam)
{
    for (int32_t spent : {0, -1, -100}) {
        StartPlay();
        Game->Engine->LastSpawnCheck = P.Clock.Now;
        Game->Score = 0;
        Game->Ship->X = 300;
        Game->Ship->Y = 300;
        TEnemyShip* e = AddEnemy(0, 0, 300, 300);
        e->HitPoints = spent;
        Game->Engine->UpdateEnemies(BackBuffer);
        EXPECT_EQ(CountEnemies(), 0) << spent;
        EXPECT_EQ(Game->Score, 10) << spent;
        EXPECT_EQ(Game->Energy, 124) << spent;

        Game->Ship->X = 380;
        TBaseBoss boss(Game.get(), 2);
        boss.X = 300;
        boss.Y = 200;
        boss.HitPoints = spent;
        boss.Move();
        EXPECT_EQ(boss.HitPoints, spent);
        EXPECT_EQ(Game->Energy, 124) << spent;
    }
}

TEST_F(Enemies, DestroyedShipScoresExplodesAndMayDropABonus)
{
    struct Row {
        uint8_t Kind;
        int32_t Score;
        uint8_t HitKind;
        bool Bonus;
    };
    for (const Row& r : {Row{0, 10, 3, true}, Row{6, 50, 3, false}, Row{4, 50, 4, true}, Row{8, 30, 5, false},
                         Row{2, 30, 5, false}}) {
        StartPlay();
        Game->Engine->LastSpawnCheck = P.Clock.Now;
        Game->Score = 0;
        for (auto& h : Game->Hits) h.reset();
        TEnemyShip* e = AddEnemy(r.Kind, 1, 200, 100);
        e->HitPoints = 0;
        const uint32_t seed = FindSeed([&](TLcg& g) { return (g.Next(6) == 1) == r.Bonus; });
        RandSeed = seed;
        Game->Engine->UpdateEnemies(BackBuffer);
        EXPECT_EQ(Game->Score, r.Score) << int(r.Kind);
        ASSERT_TRUE(Game->Hits[0]);
        EXPECT_EQ(Game->Hits[0]->Kind, r.HitKind) << int(r.Kind);
        EXPECT_EQ(Game->Hits[0]->X, 202);
        EXPECT_EQ(CountEnemies(), 0);
        EXPECT_EQ(Game->Bonuses[0] != nullptr, r.Bonus);
        if (r.Bonus) {
            TLcg g{seed};
            g.Next(6);
            EXPECT_EQ(Game->Bonuses[0]->Kind, g.Next(9));
            EXPECT_EQ(Game->Bonuses[0]->X, 202);
            EXPECT_EQ(Game->Bonuses[0]->Y, 100);
        }
    }
}

TEST_F(Enemies, AsteroidsDriftTowardsTheMiddle)
{
    struct Row {
        int16_t X;
        int Sign;
    };
    for (const Row& r : {Row{401, -1}, Row{400, 1}, Row{50, 1}, Row{749, -1}}) {
        const uint32_t seed = FindSeed([&](TLcg& g) { g.Next(2); return g.Next(700) + 50 == r.X; });
        TLcg g{seed};
        const int kind = g.Next(2);
        g.Next(700);
        const int dx = g.Next(2) + 1, dy = g.Next(2) + 4;
        RandSeed = seed;
        Game->Engine->SpawnAsteroid();
        ASSERT_TRUE(Game->Asteroids[0]);
        const TAsteroid& a = *Game->Asteroids[0];
        EXPECT_EQ(a.Kind, kind);
        EXPECT_EQ(a.X, r.X);
        EXPECT_EQ(a.Y, 0);
        EXPECT_EQ(a.DX, r.Sign * dx) << r.X;
        EXPECT_EQ(a.DY, dy);
        EXPECT_EQ(a.HitPoints, 5);
        Game->Asteroids[0].reset();
    }
}

TEST_F(Enemies, AsteroidTouchingTheShipIsGoneInTheSameUpdate)
{
    StartPlay();
    Game->Ship->X = 300;
    Game->Ship->Y = 300;
    Game->Asteroids[0] = std::make_unique<TAsteroid>(Game.get(), 0);
    TAsteroid& a = *Game->Asteroids[0];
    a.Kind = 0; // 36 x 31
    a.X = 340;
    a.Y = 280;
    a.DX = -2;
    a.DY = 4;
    EXPECT_FALSE(a.UpdateAndDraw(BackBuffer));
    EXPECT_EQ(a.X, 810);
    EXPECT_EQ(Game->Energy, 114);
    EXPECT_EQ(Game->Score, 0);
    ASSERT_TRUE(Game->Hits[0]);
    EXPECT_EQ(Game->Hits[0]->X, 365); // the intersection's right edge: ship's right
    EXPECT_EQ(Game->Hits[0]->Y, 315); // and bottom edge: the asteroid's bottom
}

TEST_F(Enemies, AsteroidsLeaveTheArea)
{
    StartPlay();
    Game->Ship->X = 0;
    Game->Ship->Y = 500;
    struct Row {
        int16_t X, Y, DX, DY;
        int8_t HitPoints;
        bool Stays;
    };
    for (const Row& r : {Row{799, 100, 1, 4, 5, true}, Row{800, 100, 1, 4, 5, false}, Row{-8, 100, -2, 4, 5, true},
                         Row{-9, 100, -2, 4, 5, false}, Row{400, 596, 1, 4, 5, true}, Row{400, 597, 1, 4, 5, false},
                         Row{400, 100, 1, 4, 0, false}}) {
        TAsteroid a(Game.get(), 0);
        a.X = r.X;
        a.Y = r.Y;
        a.DX = r.DX;
        a.DY = r.DY;
        a.HitPoints = r.HitPoints;
        EXPECT_EQ(a.UpdateAndDraw(BackBuffer), r.Stays) << r.X << "," << r.Y;
    }
}

TEST_F(Enemies, BossRamCostsTheLowBitsOfItsHitPoints)
{
    struct Row {
        uint8_t Kind;
        int16_t Armor;
        int16_t EnergyAfter, ArmorAfter;
    };
    for (const Row& r : {Row{2, 0, 124 - 184, 0}, Row{2, 62, 124 - 92, 62 - 92}, Row{0, 0, 124 - 232, 0},
                         Row{1, 62, 124 - 104, 62 - 104}}) {
        Game->Ship->X = 380;
        Game->Ship->Y = 300;
        Game->Energy = 124;
        Game->Armor = r.Armor;
        TBaseBoss boss(Game.get(), r.Kind);
        boss.X = 300;
        boss.Y = 200;
        boss.Move();
        EXPECT_EQ(boss.HitPoints, BossHitPoints[r.Kind] - 124);
        EXPECT_TRUE(boss.LifeBar->Visible);
        EXPECT_EQ(Game->Energy, r.EnergyAfter) << int(r.Kind);
        EXPECT_EQ(Game->Armor, r.ArmorAfter) << int(r.Kind);
    }
}

TEST_F(Enemies, BossWaitsAboveFollowsTheShipAndSwitchesGuns)
{
    Game->Ship->X = 390;
    TBaseBoss boss(Game.get(), 0);
    EXPECT_EQ(boss.X, 340);
    EXPECT_EQ(boss.Y, -180);
    EXPECT_EQ(boss.Gun->Pattern, 9);
    for (uint32_t seed = 1; seed < 400; ++seed) {
        TLcg g{seed};
        const bool speedDraw = g.Next(200) == 3;
        const int speed = speedDraw ? g.Next(4) : boss.VerticalSpeed;
        const bool second = g.Next(20) < 4;
        const int16_t y0 = boss.Y, x0 = boss.X;
        const int aim = Game->Ship->X + 32 - 75;
        RandSeed = seed;
        boss.Move();
        EXPECT_EQ(boss.VerticalSpeed, speed);
        EXPECT_EQ(boss.Y, y0 + speed); // above the top it always sinks
        EXPECT_EQ(boss.X, x0 + (aim > x0   ? 1
                                : aim < x0 ? -1
                                           : 0));
        EXPECT_EQ(boss.Gun->Pattern, second ? 10 : 9);
        EXPECT_EQ(boss.Gun->RateKind, boss.Gun->Pattern);
        EXPECT_EQ(RandSeed, g.Seed);
        boss.Y = -180;
        Game->Ship->X = static_cast<int16_t>(seed % 2 ? 0 : 734);
    }
}

TEST_F(Enemies, DestroyedBossAdvancesTheStageWithTheExplosionsThatFit)
{
    struct Row {
        int Taken;
        int Explosions;
    };
    for (const Row& r : {Row{0, 10}, Row{15, 5}, Row{20, 0}}) {
        Game->Stage = 3;
        Game->SubStage = 3;
        StartPlay();
        ASSERT_TRUE(Game->Engine->Boss);
        Game->Engine->LastSpawnCheck = P.Clock.Now;
        Game->Score = 0;
        for (auto& h : Game->Hits) h.reset();
        for (int i = 0; i < r.Taken; ++i)
            Game->AddHit(0, 0, -100, 0);
        TBaseBoss& boss = *Game->Engine->Boss;
        boss.Y = 100;
        boss.HitPoints = 0;
        Game->Engine->UpdateEnemies(BackBuffer);
        EXPECT_FALSE(Game->Engine->Boss);
        EXPECT_EQ(Game->Score, 1000);
        EXPECT_EQ(Game->Stage, 4);
        EXPECT_EQ(Game->Phase, PhaseSettle);
        int explosions = 0;
        for (auto& h : Game->Hits)
            if (h && h->Kind == 3) {
                ++explosions;
                EXPECT_GE(h->Y, 100 + 10);
                EXPECT_LT(h->Y, 100 + 180 - 10);
            }
        EXPECT_EQ(explosions, r.Explosions);
    }
}
