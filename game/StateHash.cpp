#include "game/StateHash.h"

#include <cstring>

#include "game/Game.h"
#include "platform/Random.h"

namespace {

void AddGun(THasher& h, const TGunner& gun)
{
    h.Add(gun.RateKind);
    h.Add(gun.Pattern);
    h.Add(gun.ShotCount);
    h.Add(gun.LastShot);
    for (const auto& s : gun.Shots) {
        h.Add(s ? 1 : 0);
        if (s) {
            h.Add(s->Kind);
            h.AddFloat(s->X);
            h.AddFloat(s->Y);
            h.AddFloat(s->Angle);
            h.Add(s->Frame);
        }
    }
}

} // namespace

uint64_t GameStateHash(const TGame& g)
{
    THasher h;
    h.Add(g.Stage);
    h.Add(g.SubStage);
    h.Add(g.Score);
    h.Add(g.Distance);
    h.Add(g.Phase);
    h.Add(g.FrameTick);
    h.Add(g.PhaseStart);
    h.Add(g.Lives);
    h.Add(g.Energy);
    h.Add(g.Armor);
    if (const TMyShip* ship = g.Ship.get()) {
        h.Add(ship->X);
        h.Add(ship->Y);
        h.Add(ship->Bank);
        h.Add(ship->SpecialCooldown);
        h.Add(ship->MegaBombReady);
        h.Add(ship->MegaSkullReady);
        h.Add(ship->WeaponTimer);
        if (ship->Gun)
            AddGun(h, *ship->Gun);
    }
    if (const TEnemyEngine* engine = g.Engine.get()) {
        for (const auto& e : engine->Enemies) {
            h.Add(e ? 1 : 0);
            if (e) {
                h.Add(e->X);
                h.Add(e->Y);
                h.Add(e->Kind);
                h.Add(e->Pattern);
                h.Add(e->HitPoints);
                if (e->Gun)
                    AddGun(h, *e->Gun);
            }
        }
        h.Add(engine->Boss ? 1 : 0);
        if (const TBaseBoss* boss = engine->Boss.get()) {
            h.Add(boss->X);
            h.Add(boss->Y);
            h.Add(boss->Kind);
            h.Add(boss->HitPoints);
            if (boss->Gun)
                AddGun(h, *boss->Gun);
        }
    }
    for (const auto& a : g.Asteroids) {
        h.Add(a ? 1 : 0);
        if (a) {
            h.Add(a->X);
            h.Add(a->Y);
            h.Add(a->Kind);
            h.Add(a->HitPoints);
        }
    }
    for (const auto& b : g.Bonuses) {
        h.Add(b ? 1 : 0);
        if (b) {
            h.Add(b->X);
            h.Add(b->Y);
            h.Add(b->Kind);
        }
    }
    for (const auto& x : g.Hits) {
        h.Add(x ? 1 : 0);
        if (x) {
            h.Add(x->X);
            h.Add(x->Y);
            h.Add(x->Frame);
        }
    }
    for (const TRunBackground* layer : {g.NearLayer.get(), g.FarLayer.get()})
        if (layer) {
            h.Add(layer->OffsetX);
            h.Add(layer->OffsetY);
        }
    h.Add(RandSeed);
    return h.H;
}
