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

// The name and score enter the table at place 10 and rise above every lower
// score (not past an equal one); the table is then saved.
void InsertHiScore(const std::string& name, int32_t score);

// One text of the file at the file's current position: a length byte, then
// the complemented bytes. A text longer than 255 bytes is stored cut to 255.
// A read that runs past the end leaves the file's end-of-file flag set.
std::string ReadCfgString(std::FILE* file);
void WriteCfgString(const std::string& text, std::FILE* file);

// Saving writes a temporary file next to "Config.cfg" and renames it over the
// old one. This hook runs after the new content is on disk and before the
// rename; returning false abandons the save and keeps the old file. Tests use
// it to stop a save half-way; the game leaves it empty.
extern bool (*BeforeConfigReplace)(const std::string& tempPath);
