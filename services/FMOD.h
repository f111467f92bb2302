// Music: one XM module at a time from the "sound" folder.
#pragma once
#include <cstdint>
#include <string>

extern uintptr_t MusicHandle;
extern int32_t LastMusicOrder;
extern std::string MusicFolder; // "sound/"

void PlayMusic(const std::string& name); // "1.xm" or "2.xm"
void StopMusic();
// Once per drawn frame: a module that has run through is started again as
// `restartWith` (the current screen's own music; none: it plays on).
void WatchMusic(const char* restartWith);
