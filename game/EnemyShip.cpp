#include <cmath>

#include "game/Bonus.h"
#include "game/Collision.h"
#include "game/Enemies.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/Random.h"

TEnemyShip::TEnemyShip(TGame* game, uint8_t kind, uint8_t pattern, int16_t x, int16_t y)
    : Game(game), Engine(game->Engine.get()), X(x), Y(y),
      // A weaving ship weaves around the x at which it came in; left at 0,
      // every weaving ship would hug the left edge whatever its start.
      WeaveCentre(x), Kind(kind < EnemyKindCount ? kind : 0), Pattern(pattern),
      HitPoints(EnemyHitPoints[Kind])
{
    Gun = std::make_unique<TGunner>(game, Kind, Kind, false, X, Y);
    LifeBar = std::make_unique<TLineLive>(X, Y, HitPoints, EnemySize[Kind].W, EnemyHitPoints[Kind]);
    Engine->AliveCount = static_cast<uint8_t>(Engine->AliveCount + 1);
}

TEnemyShip::~TEnemyShip()
{
    Engine->AliveCount = static_cast<uint8_t>(Engine->AliveCount - 1);
}

void TEnemyShip::Move()
{
    switch (Pattern) {
    case 0: // straight down
        Y = static_cast<int16_t>(Y + 2);
        break;
    case 1: // across at its start height, bouncing off the edges
        X = static_cast<int16_t>(X + DX);
        // A ship of an across-flying formation that came in above the top
        // edge first sinks into view, two pixels a frame, until its lowest
        // AcrossInView rows show: a player's shot is removed once it passes
        // the top edge, so a ship that stayed up there could never be shot
        // (and on the first stage no new wave comes while it lives).
        if (Y + EnemySize[Kind].H < AcrossInView)
            Y = static_cast<int16_t>(Y + 2);
        break;
    case 2: // weaving down
        Y = static_cast<int16_t>(Y + 2);
        X = static_cast<int16_t>(RoundHalfEven(std::sin(Y / 70.0) * 70) + WeaveCentre);
        break;
    case 3: // diagonal down and right
        Y = static_cast<int16_t>(Y + 2);
        X = static_cast<int16_t>(X + 2);
        break;
    default:
        break;
    }
    if (X < 0)
        DX = 2;
    if (X + EnemySize[Kind].W > 800)
        DX = -2;

    // Ramming repeats every frame while the boxes overlap; the ship pays the
    // low 8 bits of what the enemy had left. A ship already destroyed this
    // frame (shot down or caught by the mega-bomb, waiting for its explosion)
    // no longer rams: its spent hit points would otherwise cost up to 255.
    if (HitPoints > 0 && Collide(GetRect(), Game->Ship->GetRect())) {
        const int32_t before = HitPoints;
        HitPoints -= Game->Energy;
        if (HitPoints > 0)
            LifeBar->Visible = true;
        Game->Ship->TakeDamage(static_cast<uint8_t>(before));
    }
}

bool TEnemyShip::UpdateAndDraw(TSurface* target, uint8_t)
{
    Move();
    if (TSurface* sheet = GameSheets[SheetEnemy + Kind])
        BlitClipped(sheet, target, Bounds(0, 0, EnemySize[Kind].W, EnemySize[Kind].H), X, Y);
    Gun->UpdateShots(target);
    if (HitPoints <= 0) {
        Game->AddHit(X, Y, 0, static_cast<uint8_t>(Kind + 9));
        Game->Score += EnemyHitPoints[Kind];
        if (Random(6) == 1) {
            for (int i = 0; i < BonusSlots; ++i) {
                if (!Game->Bonuses[i]) {
                    Game->Bonuses[i] = std::make_unique<TBonus>(Game, static_cast<uint8_t>(i), X, Y);
                    break;
                }
            }
        }
        return false;
    }
    if (LifeBar->Visible)
        LifeBar->Draw(target);
    return true;
}
