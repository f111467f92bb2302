#include "game/Bonus.h"

#include "game/Collision.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/Random.h"

TBonus::TBonus(TGame* game, uint8_t slot, int16_t x, int16_t y)
    : Game(game), Kind(static_cast<uint8_t>(Random(BonusKindCount))), Slot(slot), X(x), Y(y)
{
}

void TBonus::Apply()
{
    TMyShip& ship = *Game->Ship;
    switch (Kind) {
    case BonusArmor: Game->Armor = 62; break;
    case BonusLive: Game->Lives = static_cast<int16_t>(Game->Lives + 1); break;
    case BonusEnergy: Game->Energy = 124; break;
    case BonusIonicGun:
    case BonusLaserGun:
    case BonusPlasmaGun:
    case BonusMissiles:
        // A second weapon replaces the first and restarts the timer.
        ship.Gun->RateKind = ship.Gun->Pattern = BonusGun[Kind];
        ship.WeaponTimer = 30;
        break;
    case BonusMegaSkull: ship.MegaSkullReady = true; break;
    case BonusMegaBomb: ship.MegaBombReady = true; break;
    default: break;
    }
}

bool TBonus::UpdateAndDraw(TSurface* target)
{
    Y = static_cast<int16_t>(Y + 3);
    const int16_t w = BonusSize[Kind].W, h = BonusSize[Kind].H;
    const TRect src = Bounds(w * Frame, 0, w, h);
    NowTick = GetTickCount();
    if (NowTick - LastFrameTick > 200) {
        ++Frame;
        LastFrameTick = NowTick;
    }
    if (Collide(Bounds(X, Y, w, h), Game->Ship->GetRect())) {
        Apply();
        return false;
    }
    if (Frame > 7)
        Frame = 0;
    if (GameSheets[SheetBonus + Kind])
        BlitClipped(GameSheets[SheetBonus + Kind], target, src, X, Y);
    return Y <= 600;
}
