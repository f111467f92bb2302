// Stand-in until this unit lands; delete it then.
#include "services/FMOD.h"

uintptr_t MusicHandle = 0;
int32_t LastMusicOrder = 0;
std::string MusicFolder = "sound/";
void PlayMusic(const std::string&) {}
void StopMusic() {}
void WatchMusic() {}

