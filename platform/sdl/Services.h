// Constructors of the real services, used by OpenPlatform. Each returns a
// working service or, when its library or device is not there, a null one.
// OpenPlatform owns the objects returned: ClosePlatform calls DestroySdlAudio
// (which stops the device) and then deletes them.
#pragma once
#include "platform/Platform.h"

IEffectMixer* CreateSdlMixer();   // SDL2_mixer; opens the audio device
IModulePlayer* CreateXmpPlayer(); // libxmp, mixed through SDL2_mixer's music hook
IHttpClient* CreateCurlHttp();    // libcurl
void DestroySdlAudio();           // closes the module player and the mixer
