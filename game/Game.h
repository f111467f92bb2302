// One running game: stage, score, lives, the ship, the enemies and the layers.
#pragma once
#include <cstdint>

#include "platform/DDraw.h"

enum : uint8_t {
    PhaseStageTitle = 0,
    PhasePlay = 1,
    PhaseGameOver = 3,
    PhaseSettle = 255,
};

class TGame {
public:
    TGame();   // hides the mouse cursor
    ~TGame();
    void UpdateAndDraw(TSurface* target);

    uint8_t Stage = 1;
    uint8_t SubStage = 1;
    int32_t Score = 0;
    uint32_t Distance = 0;
    uint8_t Phase = PhaseSettle;
    uint32_t FrameTick = 0;
    uint32_t PhaseStart = 0;
    int16_t Lives = 3;
    int16_t Energy = 124;
    int16_t Armor = 0;
};
