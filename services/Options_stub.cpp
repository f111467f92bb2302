// Stand-in until this unit lands; delete it then.
#include "services/Options.h"

TOptions GameOptions;
THiScores HiScores[HiScoreCount];
std::string ConfigFileName = "Config.cfg";
void LoadConfig() { ApplyConfig(); }
void ApplyConfig() {}
void SaveConfig() {}
void ResetHiScores() {}
void InsertHiScore() {}
void DrawHiScores(TSurface*) {}

