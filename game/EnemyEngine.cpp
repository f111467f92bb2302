#include "game/Enemies.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "platform/Random.h"

TEnemyEngine::TEnemyEngine(TGame* game) : Game(game) {}

TEnemyEngine::~TEnemyEngine()
{
    for (auto& e : Enemies)
        e.reset();
    Boss.reset();
}

uint8_t TEnemyEngine::FirstFreeEnemySlot() const
{
    for (int i = 0; i < EnemySlots; ++i)
        if (!Enemies[i])
            return static_cast<uint8_t>(i);
    return NoFreeEnemySlot;
}

void TEnemyEngine::RemoveFallen()
{
    for (auto& e : Enemies)
        if (e && e->Y > 601)
            e.reset();
}

void TEnemyEngine::ResetEngine()
{
    for (int i = 0; i < EnemySlots; ++i) {
        Game->Asteroids[i].reset();
        Enemies[i].reset();
        Game->Bonuses[i].reset();
    }
    Boss.reset();
}

void TEnemyEngine::SpawnAsteroid()
{
    for (int i = 0; i < AsteroidSlots; ++i) {
        if (!Game->Asteroids[i]) {
            Game->Asteroids[i] = std::make_unique<TAsteroid>(Game, static_cast<uint8_t>(i));
            return;
        }
    }
}

void TEnemyEngine::SpawnWave()
{
    const uint8_t kind = Game->PickEnemyKind();
    const uint8_t pattern = static_cast<uint8_t>(Random(4));
    const uint8_t formation = kind <= 2 ? static_cast<uint8_t>(Random(6)) : 5;
    int16_t x = 0, y = 0;
    if (pattern == 0 || pattern == 2)
        x = static_cast<int16_t>(Random(700));
    else if (pattern == 1)
        y = static_cast<int16_t>(Random(400));

    const int16_t w = EnemySize[kind].W, h = EnemySize[kind].H;
    const int16_t left = static_cast<int16_t>(x - w - 3), right = static_cast<int16_t>(x + w + 3);
    const int16_t above = static_cast<int16_t>(y - h - 3), below = static_cast<int16_t>(y + h + 3);
    struct TPoint {
        int16_t X, Y;
    };
    TPoint at[5];
    int count = 0;
    auto add = [&](int16_t px, int16_t py) { at[count++] = {px, py}; };
    switch (formation) {
    case 0:
        add(left, y);
        add(right, y);
        add(x, y);
        break; // a row of three
    case 1:
        add(x, above);
        add(x, below);
        add(x, y);
        break; // a column of three
    case 2:
        add(left, y);
        add(right, y);
        add(x, above);
        add(x, below);
        break; // four around an empty centre
    case 3:    // four corners and one at the top edge above the centre
        add(left, above);
        add(right, above);
        add(left, below);
        add(right, below);
        add(x, 0);
        break;
    case 4:
        add(left, above);
        add(right, above);
        add(x, y);
        break;                 // a V of three
    default: add(x, y); break; // a single ship
    }
    for (int i = 0; i < count; ++i) {
        const uint8_t slot = FirstFreeEnemySlot();
        if (slot == NoFreeEnemySlot)
            return; // cannot happen with at most nine ships, but never write past the slots
        Enemies[slot] = std::make_unique<TEnemyShip>(Game, kind, pattern, at[i].X, at[i].Y);
    }
}

void TEnemyEngine::UpdateEnemies(TSurface* target)
{
    RemoveFallen();
    for (int i = 0; i < EnemySlots; ++i)
        if (Enemies[i] && !Enemies[i]->UpdateAndDraw(target, static_cast<uint8_t>(i)))
            Enemies[i].reset();
    if (Boss && !Boss->UpdateAndDraw(target)) {
        Boss.reset();
        Game->NextStage();
    }
    NowTick = GetTickCount();
    if (NowTick - LastSpawnCheck > 200) {
        // A wave comes on a one-in-fifteen draw while fewer than five ships
        // fly; on the very first stage only when the sky is clear.
        const int32_t r = Random(15);
        if (r == 3 && ((AliveCount < 5 && Game->Stage != 1) || (AliveCount == 0 && Game->Stage == 1)))
            SpawnWave();
        if (Random(20) == 2)
            SpawnAsteroid();
        LastSpawnCheck = NowTick;
    }
}
