// The effect mixer over SDL2_mixer, and its conversion of the old mixer's
// units (hundredths of a decibel) to SDL_mixer's volume and panning.
#pragma once
#include <cstdint>

struct TSdlGains {
    int Volume; // Mix_Volume, 0..128
    int Left;   // Mix_SetPanning, 0..255
    int Right;
    bool operator==(const TSdlGains&) const = default;
};

// volume -10000..0, pan -10000..10000: each side is attenuated by the volume
// and, on the side away from the pan, by the pan; the louder side sets the
// channel volume and the panning carries the ratio of the two.
TSdlGains DirectSoundToSdl(int32_t volume, int32_t pan);

// The device's output format once open (0 when no device).
int SdlMixerRate();

// Effects are heard only while the game's window is in front (the old effect
// buffers had no global focus): out of front they go on playing silently.
// Music is not touched.
void SetEffectsInFront(bool inFront);
bool EffectsInFront();
