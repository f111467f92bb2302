// One running game: stage, score, lives, the ship, the enemies and the layers.
#pragma once
#include <cstdint>
#include <memory>

#include "game/Bonus.h"
#include "game/Bosses.h"
#include "game/Enemies.h"
#include "game/Hit.h"
#include "game/MyShip.h"
#include "game/RunBackground.h"
#include "platform/DDraw.h"

enum : uint8_t {
    PhaseStageTitle = 0,
    PhasePlay = 1,
    PhaseGameOver = 3,
    PhaseSettle = 255,
};

// Where the menus take over once the game-over display has run out. The game
// only says so; the shell leaves play (a result for the table is asked a name,
// over the frozen last frame).
enum class TGameExit : uint8_t {
    None,
    MainMenu,
    NameEntry,
};

constexpr int HitSlots = 20;
constexpr int AsteroidSlots = 20;
constexpr int BonusSlots = 20;
constexpr int16_t FullEnergy = 124;
constexpr int16_t FullArmor = 62;

class TGame {
public:
    TGame(); // hides the mouse cursor
    ~TGame();
    void UpdateAndDraw(TSurface* target);

    void DrawHud();
    void NextStage();
    uint8_t StageCycle() const;
    uint8_t RollEnemyKind(uint8_t a, uint8_t b);
    uint8_t PickEnemyKind();
    void AddHit(int16_t x, int16_t y, int8_t startFrame, uint8_t hitType);
    // The level number shown with the stage: stages 1..3 are level 1.
    int32_t Level() const { return (Stage - 1) / 3 + 1; }
    // Scroll steps the current stage needs.
    uint32_t StageDistance() const { return (static_cast<uint32_t>(Stage) + 1) * 5000; }
    // The command ship of a boss stage.
    uint8_t BossKind() const;

    uint8_t Stage = 1;
    uint8_t SubStage = 1;
    int32_t Score = 0;
    uint32_t Distance = 0;
    std::unique_ptr<TMyShip> Ship;
    std::unique_ptr<TEnemyEngine> Engine;
    std::unique_ptr<THit> Hits[HitSlots];
    std::unique_ptr<TAsteroid> Asteroids[AsteroidSlots];
    std::unique_ptr<TBonus> Bonuses[BonusSlots];
    std::unique_ptr<TRunBackground> NearLayer;
    std::unique_ptr<TRunBackground> FarLayer;
    uint8_t Phase = PhaseSettle;
    uint32_t FrameTick = 0;
    uint32_t PhaseStart = 0;
    int16_t Lives = 3;
    int16_t Energy = 124;
    int16_t Armor = 0;
    TGameExit Exit = TGameExit::None;

private:
    void ReadMouse();
    void Settle(TSurface* target);
    void StageTitle(TSurface* target);
    void Play(TSurface* target);
    void GameOver(TSurface* target);
    void UpdateHits(TSurface* target);
};
