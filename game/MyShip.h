// The player's warship: flies by keyboard or mouse, fires its gun, carries
// the two special weapons and takes the damage of everything that hurts it.
#pragma once
#include <cstdint>
#include <memory>

#include "game/Gunner.h"
#include "platform/DDraw.h"

class TGame;

constexpr int16_t ShipWidth = 65;
constexpr int16_t ShipHeight = 100;
constexpr double PlayerGunAngle = 3.15; // not pi: the shots drift a little to the right

// Scan codes the ship reads, and the mouse device's buttons.
// clang-format off
enum : uint8_t {
    ShipKeyLeft = 203, ShipKeyRight = 205, ShipKeyUp = 200, ShipKeyDown = 208,
    ShipKeyFire = 29, ShipKeyFire2 = 157, ShipKeySpecial = 57,
};
// clang-format on

class TMyShip {
public:
    explicit TMyShip(TGame* game);
    ~TMyShip();
    void UpdateAndDraw(TSurface* target);
    // Amounts are 8-bit; armour halves them, losing an odd remainder.
    void TakeDamage(uint8_t amount);
    TRect GetRect() const { return Bounds(X, Y, ShipWidth, ShipHeight); }

    TGame* Game;
    int16_t X = 0;
    int16_t Y = 0;
    int8_t Bank = 0;
    uint8_t Flame = 0;
    int8_t SpecialCooldown = 0;
    std::unique_ptr<TGunner> Gun;
    bool MegaBombReady = false;
    bool MegaSkullReady = false;
    int8_t WeaponTimer = 0;
    uint32_t NowTick = 0;
    uint32_t LastFlameTick = 0;
    uint32_t LastTimerTick = 0;

private:
    void LoseShip();
    void UseSpecialWeapon();
};
