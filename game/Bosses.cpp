#include "game/Bosses.h"

#include "game/Collision.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/Random.h"

TBaseBoss::TBaseBoss(TGame* game, uint8_t kind)
    : Game(game), ShipX(&game->Ship->X), ShipY(&game->Ship->Y), Kind(kind < BossKindCount ? kind : 0)
{
    GunBase = static_cast<uint8_t>(9 + 2 * Kind);
    X = 340;
    Y = static_cast<int16_t>(-BossSize[Kind].H); // just above the top edge
    Gun = std::make_unique<TGunner>(game, GunBase, GunBase, false, X, Y);
    HitPoints = BossHitPoints[Kind];
    LifeBar = std::make_unique<TLineLive>(X, Y, HitPoints, BossSize[Kind].W, BossHitPoints[Kind]);
}

TBaseBoss::~TBaseBoss() = default;

void TBaseBoss::Move()
{
    // A new command ship waits above the screen until its first speed draw.
    if (Random(200) == 3)
        VerticalSpeed = static_cast<uint8_t>(Random(4));
    if (Y < 0)
        VerticalDir = 0;
    if (Y > 350)
        VerticalDir = 1;
    Y = static_cast<int16_t>(VerticalDir == 0 ? Y + VerticalSpeed : Y - VerticalSpeed);

    // It follows the player sideways, centre under centre, a pixel a frame.
    const int32_t aim = *ShipX + 32 - BossSize[Kind].W / 2;
    if (aim > X)
        X = static_cast<int16_t>(X + 1);
    if (aim < X)
        X = static_cast<int16_t>(X - 1);

    // A destroyed command ship (its hit points spent, its explosions due this
    // frame) no longer rams.
    if (HitPoints > 0 && Collide(GetRect(), Game->Ship->GetRect())) {
        const int32_t before = HitPoints;
        HitPoints -= Game->Energy;
        if (HitPoints > 0)
            LifeBar->Visible = true;
        Game->Ship->TakeDamage(static_cast<uint8_t>(before)); // 1000 costs 232, 3000 costs 184
    }

    // The gun is re-armed every frame: one volley in five uses the second gun.
    if (Random(20) < 4)
        Gun->RateKind = Gun->Pattern = static_cast<uint8_t>(GunBase + 1);
    else
        Gun->RateKind = Gun->Pattern = GunBase;
}

bool TBaseBoss::UpdateAndDraw(TSurface* target)
{
    Move();
    const int16_t w = BossSize[Kind].W, h = BossSize[Kind].H;
    if (TSurface* sheet = GameSheets[SheetBoss + Kind])
        BlitClipped(sheet, target, Bounds(0, 0, w, h), X, Y);
    Gun->UpdateShots(target);
    if (HitPoints <= 0) {
        for (int8_t start : BossExplosionFrames) {
            const int16_t y = static_cast<int16_t>(Y + 10 + Random(h - 20));
            const int16_t x = static_cast<int16_t>(X + 10 + Random(w - 20));
            Game->AddHit(x, y, start, static_cast<uint8_t>(Kind + 9));
        }
        Game->Score += BossHitPoints[Kind];
        return false;
    }
    if (LifeBar->Visible)
        LifeBar->Draw(target);
    return true;
}
