// The XM module player over libxmp, and a measuring render of a module file
// for the build's checks and the music tools.
#pragma once
#include <cstdint>
#include <string>

struct TModuleMeasure {
    double Seconds = 0;  // played until the module loops (or the limit)
    bool Looped = false; // the module reached its end and started over
    double Peak = 0;     // largest sample magnitude, 0..1
    double Mean = 0;     // mean absolute level, 0..1
    double Rms = 0;
    int32_t Orders = 0; // song length in orders
    int32_t Patterns = 0, Channels = 0, Instruments = 0;
    std::string Name;
};

// Loads the module with libxmp and renders it at `rate` Hz, 16-bit stereo,
// until its first loop or `limitSeconds`. False when libxmp cannot load it.
bool MeasureModule(const std::string& path, int rate, double limitSeconds, TModuleMeasure& out);
