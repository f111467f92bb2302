// Stand-in until this unit lands; delete it then.
#include "services/DXSounds.h"
#include "services/Options.h"

void InitSoundEffects() {}
void CloseSoundEffects() {}
void PlaySoundEffect(int32_t, int32_t, int32_t) {}
void PlayWave(int32_t) {}
void SetSoundOn(bool on) { GameOptions.SoundOn = on; }
int32_t EffectPan(int32_t) { return 0; }
int32_t EffectVolume(int32_t) { return 0; }

