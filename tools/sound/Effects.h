// The seven sound effects of the game, synthesized.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TEffectWave {
    std::string Name;
    uint32_t Rate;
    int Bits;
    double Seconds;
    std::vector<uint8_t> Riff;
};

// In EffectId order: MenuClick, Hit, Laser_1, Plasma, Rocket, Skeel, NewStage.
std::vector<TEffectWave> MakeEffectWaves();
