// A small writer of Extended Module (XM) files: header, packed patterns and
// instruments with one sample each.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TXmEnvelope {
    std::vector<std::pair<uint16_t, uint16_t>> Points; // (tick, 0..64), at most 12
    int Sustain = -1;                                  // point index, -1 none
    int LoopStart = -1, LoopEnd = -1;
    bool Enabled() const { return !Points.empty(); }
};

struct TXmSample {
    std::string Name;
    std::vector<int16_t> Data; // written as 16-bit
    uint32_t LoopStart = 0;    // in samples
    uint32_t LoopLength = 0;   // 0: no loop
    uint8_t Volume = 64;
    int8_t Finetune = 0;
    uint8_t Panning = 128;
    int8_t RelativeNote = 0;
};

struct TXmInstrument {
    std::string Name;
    TXmSample Sample;
    TXmEnvelope VolumeEnvelope;
    TXmEnvelope PanningEnvelope;
    uint16_t Fadeout = 0;
    uint8_t VibratoType = 0, VibratoSweep = 0, VibratoDepth = 0, VibratoRate = 0;
};

constexpr uint8_t XmKeyOff = 97;

struct TXmCell {
    uint8_t Note = 0;       // 1..96, 97 key off, 0 none
    uint8_t Instrument = 0; // 1-based, 0 none
    uint8_t Volume = 0;     // volume column: 0x10 + 0..64 sets the volume
    uint8_t Effect = 0;
    uint8_t Param = 0;
};

struct TXmPattern {
    TXmPattern(int rows, int channels) : Rows(rows), Channels(channels), Cells(static_cast<size_t>(rows * channels)) {}
    TXmCell& At(int row, int channel) { return Cells[static_cast<size_t>(row * Channels + channel)]; }
    const TXmCell& At(int row, int channel) const { return Cells[static_cast<size_t>(row * Channels + channel)]; }
    int Rows;
    int Channels;
    std::vector<TXmCell> Cells;
};

struct TXmModule {
    std::string Name;
    int Channels = 8;
    int Speed = 6; // ticks per row
    int Bpm = 125;
    int Restart = 0; // the order the song loops back to
    std::vector<uint8_t> Orders;
    std::vector<TXmPattern> Patterns;
    std::vector<TXmInstrument> Instruments;
};

// The file image; throws std::invalid_argument on a module XM cannot hold.
std::vector<uint8_t> WriteXm(const TXmModule& module);
