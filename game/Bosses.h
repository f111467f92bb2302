// The command ship of every third stage.
#pragma once
#include <cstdint>
#include <memory>

#include "game/Gunner.h"
#include "game/LineLive.h"
#include "game/Shots.h"
#include "platform/DDraw.h"

class TGame;

// By boss kind (sprite size in graphics/SpriteSizes.h): hit points, which
// are also the score for destroying it. Kind k fires patterns 9 + 2k and 10 + 2k.
constexpr int32_t BossHitPoints[BossKindCount] = {1000, 2000, 3000};
// Start frames of the ten explosions of a destroyed command ship.
constexpr int8_t BossExplosionFrames[10] = {0, -10, -20, -30, -50, -50, -40, -30, -20, 0};

class TBaseBoss {
public:
    TBaseBoss(TGame* game, uint8_t kind);
    ~TBaseBoss();
    void Move();
    // False once destroyed (explosions made, score given); the engine then
    // frees it and the game advances the stage.
    bool UpdateAndDraw(TSurface* target);
    TRect GetRect() const { return Bounds(X, Y, BossSize[Kind].W, BossSize[Kind].H); }

    TGame* Game;
    int16_t X, Y;
    const int16_t* ShipX;
    const int16_t* ShipY;
    uint8_t Kind;
    uint8_t GunBase;
    uint8_t VerticalDir = 0;
    uint8_t VerticalSpeed = 0;
    int32_t HitPoints;
    std::unique_ptr<TGunner> Gun;
    std::unique_ptr<TLineLive> LifeBar;
};
