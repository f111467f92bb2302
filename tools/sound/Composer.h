// Helpers for writing the music into XM patterns: note names, bars of a line
// written as sixteen steps, chords, and an echo of one channel on another.
#pragma once
#include <string>
#include <vector>

#include "XmWriter.h"

constexpr int RowsPerBar = 16;
constexpr int BarsPerPattern = 4;
constexpr int PatternRows = RowsPerBar * BarsPerPattern;

// "C4" (middle C), "F#3", "Bb5" -> XM note number (C-4 = 49).
int Note(const std::string& name);

struct TChord {
    int Bass;               // the bass line's root
    std::vector<int> Tones; // the voicing, low to high
};
// "A2: A3 C4 E4 G4" -> root A2, tones A3 C4 E4 G4.
TChord Chord(const std::string& text);

// Volume column value for a volume 0..64.
inline uint8_t Vol(int v)
{
    return static_cast<uint8_t>(0x10 + (v < 0    ? 0
                                        : v > 64 ? 64
                                                 : v));
}

// Puts a note with instrument and volume (pan 0..255 through effect 8xx, or -1).
void Put(TXmPattern& p, int row, int channel, int note, int instrument, int volume, int pan = -1);
// One bar of a line: sixteen space-separated steps, each "." (hold or rest),
// "-" (release) or a note name. A note may carry a volume: "E5:40".
void PutBar(TXmPattern& p, int channel, int bar, const std::string& steps, int instrument, int volume, int pan = -1);
// Copies a channel `delay` rows later onto another, quieter and panned away.
void Echo(TXmPattern& p, int from, int to, int delay, int volume, int pan);
