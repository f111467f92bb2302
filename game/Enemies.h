// The enemy engine with its fighters and asteroids. The engine holds the
// enemy ships and the command ship and decides, five times a second, whether
// a formation or an asteroid enters.
#pragma once
#include <cstdint>
#include <memory>

#include "game/Bosses.h"
#include "game/Gunner.h"
#include "game/LineLive.h"
#include "game/Shots.h"
#include "platform/DDraw.h"

class TGame;
class TEnemyEngine;

constexpr int EnemySlots = 20;
constexpr uint8_t NoFreeEnemySlot = 255;

// By enemy kind (sprite size in graphics/SpriteSizes.h): hit points, which
// are also the score for destroying one. Kind k fires volley pattern k.
constexpr int32_t EnemyHitPoints[EnemyKindCount] = {10, 20, 30, 30, 50, 50, 50, 50, 30};

// How many of its lowest rows an across-flying ship shows at least: more
// than the 15 pixels the fastest of the player's shots climbs in a frame, so
// every shot that passes over it strikes it before it leaves the screen.
constexpr int16_t AcrossInView = 16;

class TEnemyShip {
public:
    TEnemyShip(TGame* game, uint8_t kind, uint8_t pattern, int16_t x, int16_t y);
    ~TEnemyShip();
    void Move();
    // False once destroyed: the engine empties the slot.
    bool UpdateAndDraw(TSurface* target, uint8_t slot);
    TRect GetRect() const { return Bounds(X, Y, EnemySize[Kind].W, EnemySize[Kind].H); }

    TGame* Game;
    TEnemyEngine* Engine; // keeps the count of ships; outlives every ship
    int16_t X, Y;
    int8_t DX = 2;
    int16_t WeaveCentre;
    uint8_t Kind;
    uint8_t Pattern;
    int32_t HitPoints;
    std::unique_ptr<TGunner> Gun;
    std::unique_ptr<TLineLive> LifeBar;
};

class TAsteroid {
public:
    TAsteroid(TGame* game, uint8_t slot);
    // False once it left the area, hit the ship or was shot: the game empties the slot.
    bool UpdateAndDraw(TSurface* target);
    TRect GetRect() const { return Bounds(X, Y, AsteroidSize[Kind].W, AsteroidSize[Kind].H); }

    TGame* Game;
    uint8_t Kind;
    uint8_t Frame = 0;
    uint8_t Slot;
    int16_t X, Y;
    int16_t DX, DY;
    int8_t HitPoints = 5;
    uint32_t NowTick = 0;
    uint32_t LastFrameTick = 0;
};

class TEnemyEngine {
public:
    explicit TEnemyEngine(TGame* game);
    ~TEnemyEngine();
    void UpdateEnemies(TSurface* target);
    void SpawnWave();
    uint8_t FirstFreeEnemySlot() const;
    void RemoveFallen();
    void ResetEngine();
    void SpawnAsteroid();

    TGame* Game;
    std::unique_ptr<TEnemyShip> Enemies[EnemySlots];
    std::unique_ptr<TBaseBoss> Boss;
    uint8_t AliveCount = 0;
    uint32_t NowTick = 0;
    uint32_t LastSpawnCheck = 0;
};
