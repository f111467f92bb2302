// Stand-in until the sound services land.
#include "platform/NullServices.h"
#include "platform/sdl/Services.h"

IEffectMixer* CreateSdlMixer() { return new TNullMixer; }
IModulePlayer* CreateXmpPlayer() { return new TNullModulePlayer; }
void DestroySdlAudio() {}
