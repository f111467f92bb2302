#include "game/Gunner.h"

#include "game/Collision.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "platform/Random.h"
#include "services/DXSounds.h"

const TVolley Volleys[VolleyPatternCount] = {
    /* 0 */ {1, {{0, false, 5, 0, 0.0}}, Laser_1, 0},
    /* 1 */ {3, {{1, false, 20, 0, 0.0}, {1, false, 20, 0, 0.3}, {1, false, 20, 0, 6.0}}, Rocket, 2},
    /* 2 */ {1, {{2, false, 0, 0, 0.0}}, Rocket, 0},
    /* 3 */ {1, {{3, false, -30, -80, 0.0}}, Rocket, 0},
    /* 4 */ {3, {{4, false, 0, 0, 0.0}, {4, false, 0, 0, 0.5}, {4, false, 0, 0, -0.5}}, Rocket, 2},
    /* 5 */ {2, {{5, false, 36, 0, 0.0}, {5, false, 0, 0, 0.0}}, Plasma, 1},
    /* 6 */ {1, {{6, false, 5, 0, 0.0}}, Rocket, 0},
    /* 7 */ {1, {{7, false, 5, 0, 0.0}}, Plasma, 0},
    /* 8 */ {1, {{8, false, 5, 0, 0.0}}, Laser_1, 0},
    /* 9 */ {1, {{9, false, 50, 0, 0.0}}, Plasma, 0},
    /* 10 */ {1, {{10, false, 0, 0, 0.0}}, Plasma, 0},
    /* 11 */ {1, {{11, true, 117, 225, 0.0}}, Plasma, 0},
    /* 12 */ {1, {{12, true, 0, 0, 0.0}}, Plasma, 0},
    /* 13 */ {1, {{13, true, 114, 280, 0.0}}, Plasma, 0},
    /* 14 */ {1, {{13, true, 114, 280, 0.0}}, Plasma, 0},
};

TGunner::TGunner(TGame* game, uint8_t rateKind, uint8_t pattern, bool isPlayer, int16_t& ownerX, int16_t& ownerY)
    : Game(game), OwnerX(&ownerX), OwnerY(&ownerY), Angle(isPlayer ? 3.15 : 0.0), IsPlayer(isPlayer),
      RateKind(rateKind), Pattern(pattern), LastShot(GetTickCount())
{
}

TGunner::~TGunner()
{
    ShotCount = 0;
}

int TGunner::FreeSlots() const
{
    int n = 0;
    for (const auto& s : Shots)
        n += s ? 0 : 1;
    return n;
}

void TGunner::AddShot(uint8_t kind, int32_t effect, int16_t x, int16_t y, double angle)
{
    for (auto& s : Shots) {
        if (!s) {
            s = std::make_unique<TPulya>(kind, x, y, angle);
            PlaySoundEffect(x, y, effect);
            return;
        }
    }
    // every slot taken: the shot and its sound are dropped
}

bool TGunner::Fire()
{
    const uint32_t now = GetTickCount();
    NowTick = now;
    const uint16_t interval = RateKind < GunRateKindCount ? GunInterval[RateKind] : GunInterval[GunRateKindCount - 1];
    if (interval >= now - LastShot)
        return false;
    // The muzzle point is the centre of a shot of the pattern's own row.
    if (Pattern < ShotKindCount) {
        MuzzleX = static_cast<int16_t>(ShotSize[Pattern].W / 2 + *OwnerX);
        MuzzleY = static_cast<int16_t>(ShotSize[Pattern].H / 2 + *OwnerY);
    } else {
        MuzzleX = *OwnerX;
        MuzzleY = *OwnerY;
    }
    ShotCount = static_cast<int8_t>(ShotCount + 1);
    if (Pattern < VolleyPatternCount) {
        const TVolley& v = Volleys[Pattern];
        for (int i = 0; i < v.Count; ++i) {
            const TVolleyShot& s = v.Shots[i];
            const int16_t bx = s.FromOwner ? *OwnerX : MuzzleX;
            const int16_t by = s.FromOwner ? *OwnerY : MuzzleY;
            AddShot(s.Kind, v.Effect, static_cast<int16_t>(bx + s.DX), static_cast<int16_t>(by + s.DY),
                    Angle + s.AngleOffset);
        }
        ShotCount = static_cast<int8_t>(ShotCount + v.ExtraCount);
    }
    LastShot = now;
    return true;
}

void TGunner::CheckShot(int slot)
{
    TPulya& s = *Shots[slot];
    if (s.Y < 0 || s.Y > 598 || s.X < 0 || s.X > 802) {
        // Only shots that leave the area are counted off.
        Shots[slot].reset();
        ShotCount = static_cast<int8_t>(ShotCount - 1);
        return;
    }
    // A shot strikes with the box of its own kind, the box the player sees
    // drawn. (Tested with the box of the gun's current pattern, a command
    // ship re-armed this frame would strike with its other gun's box: a
    // 32 x 32 shot far above the ship with a 75 x 420 one.)
    const TSpriteSize size = ShotSize[s.Kind < ShotKindCount ? s.Kind : 0];
    const int16_t x = s.RoundX(), y = s.RoundY();
    const TRect box = Bounds(x, y, size.W, size.H);
    const uint8_t damage = s.Kind < ShotKindCount ? ShotDamage[s.Kind] : 0;

    if (IsPlayer) {
        TEnemyEngine& engine = *Game->Engine;
        for (auto& e : engine.Enemies) {
            if (e && Collide(box, e->GetRect())) {
                Game->AddHit(x, y, 0, 0);
                e->LifeBar->Visible = true;
                e->HitPoints -= damage;
                Shots[slot].reset();
                return;
            }
        }
        for (auto& a : Game->Asteroids) {
            if (a && Collide(box, a->GetRect())) {
                Game->AddHit(x, y, 0, 0);
                a->HitPoints = static_cast<int8_t>(a->HitPoints - damage);
                Game->Score += 10;
                Shots[slot].reset();
                return;
            }
        }
        if (engine.Boss && Collide(box, engine.Boss->GetRect())) {
            Game->AddHit(x, y, 0, 0);
            engine.Boss->LifeBar->Visible = true;
            engine.Boss->HitPoints -= damage;
            Shots[slot].reset();
        }
        return;
    }
    if (Collide(box, Game->Ship->GetRect())) {
        Game->AddHit(x, y, 0, 0);
        Game->Ship->TakeDamage(damage);
        Shots[slot].reset();
    }
}

void TGunner::UpdateShots(TSurface* target)
{
    const uint32_t now = GetTickCount();
    NowTick = now;
    for (int i = 0; i < GunShotSlots; ++i) {
        if (Shots[i])
            CheckShot(i);
        if (Shots[i])
            Shots[i]->UpdateAndDraw(target, IsPlayer);
    }
    // Enemy and command-ship guns fire by themselves: at most once a second,
    // on a one-in-a-hundred draw made only once the second has passed, and
    // never while five of their shots are counted.
    if (!IsPlayer && now - LastShot > 1000 && Random(100) == 1 && ShotCount < 5) {
        Fire();
        LastShot = now;
    }
}
