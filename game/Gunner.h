// The gun shared by the player ship, the enemy ships and the command ships:
// it decides when a volley may leave, keeps its shots in 21 slots and
// resolves the shots that leave the area or strike something.
#pragma once
#include <cstdint>
#include <memory>

#include "game/Shots.h"
#include "platform/DDraw.h"

class TGame;

constexpr int GunShotSlots = 21;
constexpr int GunRateKindCount = 15;
constexpr int VolleyPatternCount = 15;

// Minimum milliseconds between two volleys, by rate kind. Kind 14, the
// second gun of the last command ship, is given 300 like its neighbours; it
// fires only after more than 1000 ms anyway.
constexpr uint16_t GunInterval[GunRateKindCount] = {400, 500, 700, 300, 500, 300, 300, 200,
                                                    150, 300, 300, 300, 300, 300, 300};

// One shot of a volley: its kind, where it starts (from the muzzle point or
// from the owner's corner) and the angle added to the gun's own.
struct TVolleyShot {
    uint8_t Kind;
    bool FromOwner;
    int16_t DX, DY;
    double AngleOffset;
};

struct TVolley {
    uint8_t Count;
    TVolleyShot Shots[3];
    int32_t Effect;    // one play per shot
    int8_t ExtraCount; // counted beyond the volley's one
};

// Volley patterns 0..14. The second fan angle of pattern 1 is a + 6.0 rad,
// not a - 0.3: the fan leans a little to one side.
extern const TVolley Volleys[VolleyPatternCount];

class TGunner {
public:
    TGunner(TGame* game, uint8_t rateKind, uint8_t pattern, bool isPlayer, int16_t& ownerX, int16_t& ownerY);
    ~TGunner();

    void AddShot(uint8_t kind, int32_t effect, int16_t x, int16_t y, double angle);
    bool Fire();
    void CheckShot(int slot);
    void UpdateShots(TSurface* target);
    int FreeSlots() const;

    TGame* Game;
    std::unique_ptr<TPulya> Shots[GunShotSlots];
    int16_t* OwnerX;
    int16_t* OwnerY;
    int8_t ShotCount = 0;
    double Angle;
    int16_t MuzzleX = 0, MuzzleY = 0;
    bool IsPlayer;
    uint8_t RateKind;
    uint8_t Pattern;
    uint32_t NowTick = 0;
    uint32_t LastShot;
};
