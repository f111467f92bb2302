// Options and the local table of the ten best results, kept in "Config.cfg".
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/DDraw.h"

struct TOptions {
    bool Windowed = true;
    bool SoundOn = true;
    bool MusicOn = true;
    int32_t BossKey = 123; // F12
    std::string Country;   // Windows-1252
};

struct THiScores {
    std::string Name;      // Windows-1252
    int32_t Score = 0;
};

constexpr int HiScoreCount = 10;

extern TOptions GameOptions;
extern THiScores HiScores[HiScoreCount];
extern std::string ConfigFileName; // "Config.cfg", in the working folder

void LoadConfig();
void ApplyConfig();
void SaveConfig();
void ResetHiScores();
void InsertHiScore();
void DrawHiScores(TSurface* target);
