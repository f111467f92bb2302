#include "game/MyShip.h"

#include <cstring>

#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "platform/InputState.h"
#include "platform/Platform.h"
#include "platform/Random.h"
#include "services/DXSounds.h"

namespace {

bool Down(uint8_t b) { return (b & 0x80) != 0; }

int32_t MouseMotion(int offset)
{
    int32_t v;
    std::memcpy(&v, MouseState + offset, 4);
    return v;
}

} // namespace

TMyShip::TMyShip(TGame* game) : Game(game)
{
    if (GameSheets[SheetPlayerShip])
        SetSourceColorKey(GameSheets[SheetPlayerShip], TransparentMagenta);
    Gun = std::make_unique<TGunner>(game, 0, 0, true, X, Y);
    Gun->Angle = PlayerGunAngle;
}

TMyShip::~TMyShip() = default;

void TMyShip::TakeDamage(uint8_t amount)
{
    if (Game->Armor == 0) {
        Game->Energy = static_cast<int16_t>(Game->Energy - amount);
    } else {
        const int16_t half = amount / 2;
        Game->Armor = static_cast<int16_t>(Game->Armor - half);
        Game->Energy = static_cast<int16_t>(Game->Energy - half);
    }
}

void TMyShip::UpdateAndDraw(TSurface* target)
{
    auto playing = [this] { return Game->Phase == PhasePlay; };
    // Keys and mouse do not add up: any motion, however large, is one 6-pixel step.
    const bool left = Down(KeyboardState[ShipKeyLeft]) || MouseMotion(0) < 0;
    const bool right = Down(KeyboardState[ShipKeyRight]) || MouseMotion(0) > 0;
    const bool up = Down(KeyboardState[ShipKeyUp]) || MouseMotion(4) < 0;
    const bool down = Down(KeyboardState[ShipKeyDown]) || MouseMotion(4) > 0;
    const bool fire = Down(KeyboardState[ShipKeyFire]) || Down(KeyboardState[ShipKeyFire2]) || Down(MouseState[12]);
    const bool special = Down(KeyboardState[ShipKeySpecial]) || Down(MouseState[13]);

    if (Game->Armor < 0)
        Game->Armor = 0;

    const uint32_t now = GetTickCount();
    if (now - LastTimerTick > 1000) {
        WeaponTimer = static_cast<int8_t>(WeaponTimer - 1);
        LastTimerTick = now;
    }
    if (WeaponTimer < 0)
        Gun->RateKind = Gun->Pattern = 0; // back to the basic gun
    if (Gun->RateKind == 0)
        WeaponTimer = 99;

    // Left wins over right; the layers move against the ship.
    if (left && playing()) {
        X = static_cast<int16_t>(X - 6);
        Bank = static_cast<int8_t>(Bank - 1);
        Game->NearLayer->OffsetX = static_cast<int16_t>(Game->NearLayer->OffsetX + 2);
        Game->FarLayer->OffsetX = static_cast<int16_t>(Game->FarLayer->OffsetX + 1);
    } else if (right && playing()) {
        X = static_cast<int16_t>(X + 6);
        Bank = static_cast<int8_t>(Bank + 1);
        Game->NearLayer->OffsetX = static_cast<int16_t>(Game->NearLayer->OffsetX - 2);
        Game->FarLayer->OffsetX = static_cast<int16_t>(Game->FarLayer->OffsetX - 1);
    } else {
        Bank = 2;
    }
    if (up && playing())
        Y = static_cast<int16_t>(Y - 6);
    if (down && playing())
        Y = static_cast<int16_t>(Y + 6);
    if (Bank < 0)
        Bank = 0;
    if (Bank > 4)
        Bank = 4;

    NowTick = now;
    if (NowTick - LastFlameTick > 60) {
        Flame = Flame == 1 ? 0 : 1;
        LastFlameTick = NowTick;
    }

    if (fire && playing())
        Gun->Fire();
    Gun->UpdateShots(target);

    if (Y > 500)
        Y = 500;
    if (Y < 40)
        Y = 40;
    // A blocked move gives the layers their shift back.
    if (X > 734) {
        X = 734;
        Game->FarLayer->OffsetX = static_cast<int16_t>(Game->FarLayer->OffsetX + 1);
        Game->NearLayer->OffsetX = static_cast<int16_t>(Game->NearLayer->OffsetX + 2);
    }
    if (X < 0) {
        X = 0;
        Game->FarLayer->OffsetX = static_cast<int16_t>(Game->FarLayer->OffsetX - 1);
        Game->NearLayer->OffsetX = static_cast<int16_t>(Game->NearLayer->OffsetX - 2);
    }

    if (TSurface* sheet = GameSheets[SheetPlayerShip]; sheet && target) {
        const TRect frame = Bounds(ShipWidth * (2 * Bank + Flame), 0, ShipWidth, ShipHeight);
        target->BltFast(X, Y, sheet, &frame, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    }

    if (playing() && Game->Energy <= 0)
        LoseShip();

    if (SpecialCooldown < 70)
        ++SpecialCooldown;
    if (SpecialCooldown == 70 && special && playing())
        UseSpecialWeapon();
}

void TMyShip::LoseShip()
{
    for (auto& h : Game->Hits)
        h.reset();
    Game->Phase = PhaseSettle;
    // Five explosions, one after another.
    for (int i = 0; i < 5; ++i) {
        const int16_t y = static_cast<int16_t>(Y + Random(20));
        const int16_t x = static_cast<int16_t>(X + Random(25));
        Game->AddHit(x, y, static_cast<int8_t>(i * 10 - 40), 11);
    }
    Game->Lives = static_cast<int16_t>(Game->Lives - 1);
}

void TMyShip::UseSpecialWeapon()
{
    // The Mega-skull salvo goes first; the mega-bomb waits for the next press.
    if (MegaSkullReady) {
        for (int i = 0; i < 10; ++i)
            Gun->AddShot(6, Skeel, static_cast<int16_t>(i * 80), static_cast<int16_t>(Y - 5), Gun->Angle);
        MegaSkullReady = false;
        SpecialCooldown = 0;
    } else if (MegaBombReady) {
        for (int i = 0; i < 10; ++i)
            PlaySoundEffect(i * 80, Y - 5, Skeel);
        for (auto& e : Game->Engine->Enemies)
            if (e)
                e->HitPoints = -1;
        for (auto& a : Game->Asteroids)
            if (a)
                a->HitPoints = -1;
        if (Game->Engine->Boss)
            Game->Engine->Boss->HitPoints -= 100;
        MegaBombReady = false;
        SpecialCooldown = 0;
    }
}
