#include <cmath>
#include <vector>

#include "GameFixture.h"

using Guns = GameTest;

namespace {

struct TShotSeen {
    uint8_t Kind;
    float X, Y;
    double Angle;
};

std::vector<TShotSeen> ShotsOf(const TGunner& gun)
{
    std::vector<TShotSeen> out;
    for (const auto& s : gun.Shots)
        if (s)
            out.push_back({s->Kind, s->X, s->Y, s->Angle});
    return out;
}

} // namespace

TEST_F(Guns, HeldFireLeavesAVolleyOnlyAfterTheMinimumInterval)
{
    struct Row {
        uint8_t Gun;
        uint32_t Interval;
    };
    for (const Row& r : {Row{0, 400}, Row{8, 150}, Row{1, 500}, Row{3, 300}, Row{5, 300}}) {
        int16_t x = 100, y = 300;
        TGunner gun(Game.get(), r.Gun, r.Gun, true, x, y);
        P.Clock.Advance(r.Interval);
        EXPECT_FALSE(gun.Fire()) << "exactly the interval is not enough, gun " << int(r.Gun);
        P.Clock.Advance(1);
        EXPECT_TRUE(gun.Fire());
        const uint32_t fired = P.Clock.Now;
        int volleys = 1;
        while (P.Clock.Now - fired < 2 * (r.Interval + 1) + 5) {
            P.Clock.Advance(1);
            volleys += gun.Fire() ? 1 : 0;
        }
        EXPECT_EQ(volleys, 3) << "gun " << int(r.Gun);
    }
}

TEST_F(Guns, VolleyPatternsPlaceTheirShots)
{
    // Owner at (100, 200), gun angle a = 0 (an enemy gun). The muzzle point
    // is the centre of a shot of the pattern's own row.
    struct Row {
        uint8_t Pattern;
        std::vector<TShotSeen> Shots;
        int8_t Count;
    };
    const Row rows[] = {
        {0, {{0, 100 + 13 + 5, 200 + 14, 0.0}}, 1},
        {1, {{1, 100 + 7 + 20, 200 + 14, 0.0}, {1, 127, 214, 0.3}, {1, 127, 214, 6.0}}, 3},
        {2, {{2, 113, 213, 0.0}}, 1},
        {3, {{3, 100 + 30 - 30, 200 + 30 - 80, 0.0}}, 1},
        {4, {{4, 112, 212, 0.0}, {4, 112, 212, 0.5}, {4, 112, 212, -0.5}}, 3},
        {5, {{5, 100 + 7 + 36, 200 + 69, 0.0}, {5, 107, 269, 0.0}}, 2},
        {6, {{6, 100 + 17 + 5, 217, 0.0}}, 1},
        {7, {{7, 118, 213, 0.0}}, 1},
        {8, {{8, 115, 222, 0.0}}, 1},
        {9, {{9, 100 + 16 + 50, 216, 0.0}}, 1},
        {10, {{10, 137, 410, 0.0}}, 1},
        {11, {{11, 217, 425, 0.0}}, 1},
        {12, {{12, 100, 200, 0.0}}, 1},
        {13, {{13, 214, 480, 0.0}}, 1},
        {14, {{13, 214, 480, 0.0}}, 1},
    };
    for (const Row& r : rows) {
        int16_t x = 100, y = 200;
        TGunner gun(Game.get(), 7, r.Pattern, false, x, y);
        P.Clock.Advance(1000);
        ASSERT_TRUE(gun.Fire());
        const auto shots = ShotsOf(gun);
        ASSERT_EQ(shots.size(), r.Shots.size()) << "pattern " << int(r.Pattern);
        for (size_t i = 0; i < shots.size(); ++i) {
            EXPECT_EQ(shots[i].Kind, r.Shots[i].Kind) << "pattern " << int(r.Pattern) << " shot " << i;
            EXPECT_EQ(shots[i].X, r.Shots[i].X) << "pattern " << int(r.Pattern) << " shot " << i;
            EXPECT_EQ(shots[i].Y, r.Shots[i].Y) << "pattern " << int(r.Pattern) << " shot " << i;
            EXPECT_DOUBLE_EQ(shots[i].Angle, r.Shots[i].Angle) << "pattern " << int(r.Pattern) << " shot " << i;
        }
        EXPECT_EQ(gun.ShotCount, r.Count) << "pattern " << int(r.Pattern);
    }
}

TEST_F(Guns, OnlyShotsLeavingTheAreaAreCountedOff)
{
    struct Row {
        float X, Y;
        bool Kept;
    };
    // clang-format off
    const Row rows[] = {
        {400, 598.0f, true}, {400, 598.5f, false}, {400, 0.0f, true}, {400, -0.01f, false},
        {0.0f, 300, true}, {-0.5f, 300, false}, {802.0f, 300, true}, {802.5f, 300, false},
    };
    // clang-format on
    for (const Row& r : rows) {
        int16_t x = 0, y = 0;
        TGunner gun(Game.get(), 0, 0, false, x, y);
        Game->Ship->X = 0; // far from every test shot
        Game->Ship->Y = 40;
        gun.ShotCount = 3;
        gun.Shots[0] = std::make_unique<TPulya>(0, 0, 0, 0.0);
        gun.Shots[0]->X = r.X;
        gun.Shots[0]->Y = r.Y;
        gun.CheckShot(0);
        EXPECT_EQ(gun.Shots[0] != nullptr, r.Kept) << r.X << "," << r.Y;
        EXPECT_EQ(gun.ShotCount, r.Kept ? 3 : 2);
    }
}

TEST_F(Guns, EveryShotStrikesWithTheBoxOfItsOwnKind)
{
    // What the player sees drawn is what strikes, whatever pattern the gun is
    // armed with now: pattern 14 shoots 50 x 70 shots of kind 13, a command
    // ship re-armed with its second gun (75 x 420) still has 32 x 32 shots
    // of kind 9 in flight, and the player's laser gun may carry the
    // Mega-skull's 35 x 35 rockets. The damage is the shot kind's.
    StartPlay();
    Game->Ship->X = 300;
    Game->Ship->Y = 450;
    Game->Engine->LastSpawnCheck = P.Clock.Now;
    TEnemyShip* target = AddEnemy(0, 1, 400, 200); // 59 x 28
    struct Row {
        const char* What;
        bool Player;
        uint8_t Pattern, Kind;
        int16_t X, Y;
        bool Struck;
    };
    const Row rows[] = {
        {"kind 13 overlapping by one", false, 14, 13, 300 - 49, 470, true},
        {"kind 13 touching", false, 14, 13, 300 - 50, 470, false},
        {"kind 13 from its own pattern", false, 13, 13, 300 - 49, 470, true},
        {"kind 9 under the second gun, overlapping", false, 10, 9, 300 - 31, 470, true},
        {"kind 9 under the second gun, touching", false, 10, 9, 300 - 32, 470, false},
        {"kind 9 four hundred pixels above the ship", false, 10, 9, 310, 50, false},
        {"kind 10 four hundred pixels above the ship", false, 9, 10, 310, 50, true},
        {"kind 12 beside the ship", false, 11, 12, 300 - 234, 300, true},
        {"rocket under the laser gun, overlapping", true, 8, 6, 400 - 34, 210, true},
        {"rocket under the laser gun, touching", true, 8, 6, 400 - 35, 210, false},
        {"laser shot under the basic gun, overlapping", true, 0, 8, 400 + 58, 160, true},
        {"laser shot under the basic gun, touching", true, 0, 8, 400 + 59, 160, false},
    };
    for (const Row& r : rows) {
        int16_t x = 0, y = 0;
        TGunner enemyGun(Game.get(), r.Pattern, r.Pattern, false, x, y);
        TGunner& gun = r.Player ? *Game->Ship->Gun : enemyGun;
        gun.RateKind = gun.Pattern = r.Pattern;
        Game->Energy = 124;
        target->HitPoints = 200;
        gun.ShotCount = 1;
        gun.Shots[0] = std::make_unique<TPulya>(r.Kind, r.X, r.Y, r.Player ? 3.15 : 0.0);
        gun.CheckShot(0);
        EXPECT_EQ(gun.Shots[0] == nullptr, r.Struck) << r.What;
        const int damage = r.Struck ? ShotDamage[r.Kind] : 0;
        if (r.Player)
            EXPECT_EQ(target->HitPoints, 200 - damage) << r.What;
        else
            EXPECT_EQ(Game->Energy, 124 - damage) << r.What;
        EXPECT_EQ(gun.ShotCount, 1) << "a shot that strikes is not counted off";
        EXPECT_EQ(CountHits(), r.Struck ? 1 : 0) << r.What;
        gun.Shots[0].reset();
        gun.RateKind = gun.Pattern = 0;
        for (auto& h : Game->Hits) h.reset();
    }
}

TEST_F(Guns, PlayerShotsStrikeEnemiesThenAsteroidsThenTheBoss)
{
    StartPlay();
    TEnemyShip* enemy = AddEnemy(2, 0, 300, 100);
    Game->Asteroids[0] = std::make_unique<TAsteroid>(Game.get(), 0);
    Game->Asteroids[0]->X = 300;
    Game->Asteroids[0]->Y = 100;
    Game->Engine->Boss = std::make_unique<TBaseBoss>(Game.get(), 0);
    Game->Engine->Boss->X = 250;
    Game->Engine->Boss->Y = 50;
    TGunner& gun = *Game->Ship->Gun;
    auto shootAt = [&](int16_t sx, int16_t sy) {
        gun.Shots[0] = std::make_unique<TPulya>(0, sx, sy, 3.15);
        gun.CheckShot(0);
        EXPECT_FALSE(gun.Shots[0]);
    };
    shootAt(310, 110);
    EXPECT_EQ(enemy->HitPoints, 20);
    EXPECT_TRUE(enemy->LifeBar->Visible);
    EXPECT_EQ(Game->Asteroids[0]->HitPoints, 5);
    Game->Engine->Enemies[0]->X = 600;
    shootAt(310, 110);
    EXPECT_EQ(Game->Asteroids[0]->HitPoints, -5);
    EXPECT_EQ(Game->Score, 10);
    Game->Asteroids[0].reset();
    shootAt(310, 110);
    EXPECT_EQ(Game->Engine->Boss->HitPoints, 990);
    EXPECT_TRUE(Game->Engine->Boss->LifeBar->Visible);
    EXPECT_EQ(CountHits(), 3);
}

TEST_F(Guns, AsteroidHitPointsWrapInEightBits)
{
    StartPlay();
    Game->Asteroids[0] = std::make_unique<TAsteroid>(Game.get(), 0);
    Game->Asteroids[0]->X = 300;
    Game->Asteroids[0]->Y = 100;
    Game->Asteroids[0]->HitPoints = -100;
    TGunner& gun = *Game->Ship->Gun;
    gun.Shots[0] = std::make_unique<TPulya>(8, 310, 110, 3.15); // 90 damage
    gun.CheckShot(0);
    EXPECT_EQ(Game->Asteroids[0]->HitPoints, 66); // -190 in 8 bits
}

TEST_F(Guns, EnemyGunFiresOnItsOwnAfterOneSecondAtTheEarliest)
{
    Game->Ship->X = 0;
    Game->Ship->Y = 40;
    int16_t x = 400, y = 100;
    TGunner gun(Game.get(), 0, 0, false, x, y);
    const uint32_t created = P.Clock.Now;
    // Before the second has passed no number is drawn at all.
    const uint32_t seed = RandSeed;
    while (P.Clock.Now - created <= 1000) {
        gun.UpdateShots(BackBuffer);
        P.Clock.NextTick();
    }
    EXPECT_EQ(RandSeed, seed);
    EXPECT_EQ(gun.ShotCount, 0);
    // Afterwards a volley leaves on a draw of 1 (of 0..99).
    uint32_t s = 1;
    for (;; ++s) {
        TLcg g{s};
        if (g.Next(100) == 1)
            break;
    }
    RandSeed = s;
    gun.UpdateShots(BackBuffer);
    EXPECT_EQ(gun.ShotCount, 1);
    EXPECT_EQ(gun.LastShot, P.Clock.Now);
    // Five counted shots stop it, although the number is still drawn.
    gun.ShotCount = 5;
    P.Clock.Advance(1001);
    RandSeed = s;
    gun.UpdateShots(BackBuffer);
    EXPECT_EQ(gun.ShotCount, 5);
    EXPECT_NE(RandSeed, s);
}

TEST_F(Guns, FullShotSlotsDropTheShot)
{
    int16_t x = 100, y = 200;
    TGunner gun(Game.get(), 0, 0, true, x, y);
    for (int i = 0; i < 25; ++i)
        gun.AddShot(0, 2, static_cast<int16_t>(i), 300, 3.15);
    EXPECT_EQ(gun.FreeSlots(), 0);
    EXPECT_EQ(gun.Shots[20]->X, 20.0f);
}
