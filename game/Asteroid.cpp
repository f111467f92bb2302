#include "game/Collision.h"
#include "game/Enemies.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/Random.h"

TAsteroid::TAsteroid(TGame* game, uint8_t slot) : Game(game), Slot(slot)
{
    // Draws in this order: kind, x, dx, dy.
    Kind = static_cast<uint8_t>(Random(2));
    Y = 0;
    X = static_cast<int16_t>(Random(700) + 50);
    DX = static_cast<int16_t>(Random(2) + 1);
    DY = static_cast<int16_t>(Random(2) + 4);
    if (X > 400)
        DX = static_cast<int16_t>(-DX); // drift towards the middle
}

bool TAsteroid::UpdateAndDraw(TSurface* target)
{
    X = static_cast<int16_t>(X + DX);
    Y = static_cast<int16_t>(Y + DY);
    const int16_t w = AsteroidSize[Kind].W, h = AsteroidSize[Kind].H;
    const TRect src = Bounds(w * Frame, 0, w, h);
    NowTick = GetTickCount();
    if (NowTick - LastFrameTick > 200) {
        ++Frame;
        LastFrameTick = NowTick;
    }
    const TRect ship = Game->Ship->GetRect();
    if (Collide(GetRect(), ship)) {
        const TRect cut = Intersection(GetRect(), ship);
        Game->AddHit(static_cast<int16_t>(cut.Right), static_cast<int16_t>(cut.Bottom), 0, 0);
        X = 810; // gone at the end of this update, without score
        Game->Ship->TakeDamage(10);
    }
    if (Frame > 7)
        Frame = 0;
    if (TSurface* sheet = GameSheets[SheetAsteroid + Kind])
        BlitClipped(sheet, target, src, X, Y);
    return !(X > 800 || Y > 600 || X < -10 || Y < -10 || HitPoints < 1);
}
