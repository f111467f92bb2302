// Options and the local table of the ten best results, kept in "Config.cfg".
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DDraw.h"

struct TOptions {
    bool Windowed = true;
    bool SoundOn = true;
    bool MusicOn = true;
    int32_t BossKey = 123; // F12
    std::string Country;   // Windows-1252
};

struct THiScores {
    std::string Name; // Windows-1252
    int32_t Score = 0;
};

constexpr int HiScoreCount = 10;

extern TOptions GameOptions;
extern THiScores HiScores[HiScoreCount];
extern std::string ConfigFileName; // "Config.cfg", in the working folder

// Reads the options and the table (a missing or damaged file: the defaults).
void LoadConfig();
// The loaded options that take effect here: the sound switch and the country
// field of the options menu (the shell sets the display up for the mode first).
void ApplyConfig();
void SaveConfig();
void ResetHiScores();
void DrawHiScores(TSurface* target);

// The name and score enter the table at place 10 and rise above every lower
// score (not past an equal one); the table is then saved.
void InsertHiScore(const std::string& name, int32_t score);

// Reads "Config.cfg" from its bytes with a sticky end flag: a read that runs
// past the end gives zeros and sets Ended, checked once after the whole load.
struct TCfgReader {
    const std::vector<uint8_t>& Data;
    size_t Pos = 0;
    bool Ended = false;
    uint8_t Byte();
    int32_t Score(); // 4 bytes, little-endian, signed
    std::string Text();
};

// One text of the file: a length byte, then the complemented bytes. A text
// longer than 255 bytes is stored cut to 255.
std::string ReadCfgString(TCfgReader& reader);
void WriteCfgString(const std::string& text, std::vector<uint8_t>& out);

// Saving writes a temporary file next to "Config.cfg" and renames it over the
// old one. This hook runs after the new content is on disk and before the
// rename; returning false abandons the save and keeps the old file. Tests use
// it to stop a save half-way; the game leaves it empty.
extern bool (*BeforeConfigReplace)(const std::string& tempPath);
