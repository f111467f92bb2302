// Bonuses falling from destroyed enemy ships, in the game's 20 Bonuses slots.
#pragma once
#include <cstdint>

#include "game/Shots.h"
#include "platform/DDraw.h"

class TGame;

// clang-format off
enum : uint8_t {
    BonusArmor = 0, BonusLive = 1, BonusEnergy = 2, BonusIonicGun = 3, BonusLaserGun = 4,
    BonusPlasmaGun = 5, BonusMissiles = 6, BonusMegaSkull = 7, BonusMegaBomb = 8,
};
// clang-format on
// The gun a weapon bonus fits (0: not a weapon).
constexpr uint8_t BonusGun[BonusKindCount] = {0, 0, 0, 1, 8, 3, 5, 0, 0};

class TBonus {
public:
    TBonus(TGame* game, uint8_t slot, int16_t x, int16_t y); // kind drawn at random
    // Falls, animates and is caught by the ship. False when it ended (caught
    // or fallen below the area): the game empties the slot.
    bool UpdateAndDraw(TSurface* target);
    void Apply(); // the effect of catching it

    TGame* Game;
    uint8_t Kind;
    uint8_t Frame = 0;
    uint8_t Slot;
    int16_t X, Y;
    uint32_t NowTick = 0;
    uint32_t LastFrameTick = 0;
};
