// The seven sound effects, played with pan and volume from a screen position.
#pragma once
#include <cstdint>

enum EffectId : int32_t {
    MenuClick = 0,
    Hit = 1,
    Laser_1 = 2,
    Plasma = 3,
    Rocket = 4,
    Skeel = 5,
    NewStage = 6,
};

constexpr int EffectCount = 7;

// Builds the effect list's main buffers on the platform mixer (silently does
// nothing without a sound device).
void InitSoundEffects();
void CloseSoundEffects();
// Pan from x, volume from y; does nothing while sound is off.
void PlaySoundEffect(int32_t x, int32_t y, int32_t id);
// The list's own play: the entry's current pan and volume.
void PlayWave(int32_t id);
void SetSoundOn(bool on);

// The entry's stored pan and volume (hundredths of a decibel).
int32_t EffectPan(int32_t id);
int32_t EffectVolume(int32_t id);
