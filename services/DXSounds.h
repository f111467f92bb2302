// The seven sound effects, played with pan and volume from a screen position.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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

// One effect of the list: its wave, its settings and the mixer buffers that
// play it. The copies share the main buffer's samples; each plays one sound
// at a time, so the list grows to the largest number of overlapping plays.
struct TWaveCollectionItem {
    std::string Name;
    bool Looped = false;
    int32_t MaxPlayingCount = 0; // 0: no limit on copies sounding at once
    uint32_t Frequency = 0;      // 0: the wave's own rate
    int32_t Pan = 0;             // -10000 full left .. 10000 full right
    int32_t Volume = 0;          // 0 full loudness .. -10000 silent
    int MainBuffer = -1;         // -1 while the sound device is not open
    std::vector<int> Copies;

    // Plays once on the first idle copy, making a new copy when all sound.
    void Play();
};

struct TDXWaveList {
    TWaveCollectionItem Items[EffectCount];
};

extern TDXWaveList DXWaveList1;
