// The menus' music: a slow pad, a glassy piano arpeggio, a flute melody with
// its echo on the other side, a round bass and light percussion that joins
// later. Eight four-bar sections; the loop returns to the first with a tune.
#include <array>
#include <string>

#include "Composer.h"
#include "Instruments.h"
#include "Songs.h"

namespace {

enum Instrument {
    Pad = 1,
    Piano,
    Flute,
    Bass,
    Kick,
    Rim,
    Shaker
};
enum Channel {
    ChLead,
    ChEcho,
    ChPiano,
    ChPad1,
    ChPad2,
    ChPad3,
    ChBass,
    ChKick,
    ChRim,
    ChShaker,
    ChannelCount
};

struct TSection {
    std::array<const char*, 4> Chords;
    std::array<const char*, 4> Melody; // nullptr: no melody
    bool Bass;
    int Drums; // 0 none, 1 shaker, 2 kick and rim, 3 fuller
};

const char* Am9 = "A2: C4 E4 G4 B4 E5";
const char* Fmaj7 = "F2: A3 C4 E4 G4 C5";
const char* Cmaj7 = "C3: G3 B3 E4 G4 D5";
const char* G6 = "G2: G3 B3 E4 D5 G5";
const char* Dm9 = "D2: F3 A3 C4 E4 A4";
const char* Em7 = "E2: G3 B3 D4 E4 B4";
const char* Am = "A2: A3 C4 E4 A4 C5";
const char* F = "F2: A3 C4 F4 A4 C5";
const char* C = "C3: G3 C4 E4 G4 C5";
const char* G = "G2: G3 B3 D4 G4 B4";
const char* E = "E2: G#3 B3 E4 G#4 B4";
const char* Esus4 = "E2: A3 B3 E4 A4 B4";

// clang-format off
const TSection Sections[] = {
    // Intro: the pad and the piano alone.
    {{Am9, Fmaj7, Cmaj7, G6}, {nullptr, nullptr, nullptr, nullptr}, false, 0},
    // The theme.
    {{Am9, Fmaj7, Cmaj7, G6},
     {"E5 . . . . . . . B4 . C5 . D5 . . .",
      "C5 . . . . . . . A4 . . . . . . .",
      "G4 . . . . . . . E5 . . . D5 . . .",
      "D5 . . . . . . . . . . . - . . ."},
     true, 1},
    {{Am, F, C, G},
     {"E5 . . . . . . . B4 . C5 . D5 . E5 .",
      "F5 . . . E5 . . . C5 . . . A4 . . .",
      "G4 . . . C5 . . . E5 . . . G5 . . .",
      "D5 . . . . . . . B4 . . . . . - ."},
     true, 2},
    // The middle: it climbs and turns towards E.
    {{Dm9, Em7, Fmaj7, G},
     {"A4 . . . C5 . . . E5 . . . . . D5 .",
      "B4 . . . . . . . G4 . . . . . . .",
      "A4 . . . C5 . . . E5 . . . F5 . . .",
      "G5 . . . . . . . . . . . - . . ."},
     true, 2},
    {{Dm9, Em7, Fmaj7, E},
     {"F5 . . . E5 . . . D5 . . . C5 . . .",
      "B4 . . . . . . . E5 . . . D5 . . .",
      "C5 . . . . . . . A4 . . . C5 . . .",
      "B4 . . . . . . . G#4 . . . . . - ."},
     true, 2},
    // The high part, fullest.
    {{Fmaj7, G, Em7, Am},
     {"A5 . . . . . . . G5 . . . E5 . . .",
      "G5 . . . . . . . D5 . . . B4 . . .",
      "E5 . . . G5 . . . B5 . . . A5 . . .",
      "A5 . . . . . . . . . . . - . . ."},
     false, 3},
    {{Fmaj7, G, Am, Am},
     {"C6 . . . B5 . . . A5 . . . G5 . . .",
      "B5 . . . A5 . . . G5 . . . D5 . . .",
      "E5 . . . . . . . C5 . . . D5 . . .",
      "A4 . . . . . . . . . . . . . - ."},
     true, 3},
    // Settling down before the theme returns.
    {{Fmaj7, Cmaj7, Dm9, Esus4}, {nullptr, nullptr, nullptr, nullptr}, true, 1},
};
// clang-format on

void Arrange(TXmPattern& p, const TSection& s)
{
    int padNotes[3] = {0, 0, 0};
    for (int bar = 0; bar < BarsPerPattern; ++bar) {
        TChord chord = Chord(s.Chords[bar]);
        int row = bar * RowsPerBar;
        // The pad holds the chord; a voice only moves when its note changes.
        static const int padPan[3] = {0x48, 0x80, 0xB8};
        for (int v = 0; v < 3; ++v) {
            int note = chord.Tones[static_cast<size_t>(v)];
            if (note != padNotes[v])
                Put(p, row, ChPad1 + v, note, Pad, 34, padPan[v]);
            padNotes[v] = note;
        }
        // The piano ripples up and down the chord an octave higher.
        static const int arpRows[6] = {0, 3, 6, 8, 11, 14};
        static const int arpTone[6] = {0, 2, 3, 4, 3, 2};
        for (int i = 0; i < 6; ++i) {
            size_t tone = static_cast<size_t>(arpTone[i]) % chord.Tones.size();
            Put(p, row + arpRows[i], ChPiano, chord.Tones[tone] + 12, Piano, i == 0 ? 30 : 22, i % 2 ? 0x60 : 0xA0);
        }
        if (s.Melody[static_cast<size_t>(bar)])
            PutBar(p, ChLead, bar, s.Melody[static_cast<size_t>(bar)], Flute, 46, 0x70);
        if (s.Bass) {
            Put(p, row, ChBass, chord.Bass, Bass, 50);
            Put(p, row + 8, ChBass, chord.Bass + 7, Bass, 32);
            Put(p, row + 14, ChBass, chord.Bass + 12, Bass, 26);
        }
        if (s.Drums >= 1) {
            for (int r : {2, 6, 10, 14})
                Put(p, row + r, ChShaker, Note("C4"), Shaker, r == 6 || r == 14 ? 20 : 12);
        }
        if (s.Drums >= 2) {
            Put(p, row, ChKick, Note("C4"), Kick, 46);
            Put(p, row + 10, ChKick, Note("C4"), Kick, 34);
            Put(p, row + 8, ChRim, Note("C4"), Rim, 24, 0x90);
        }
        if (s.Drums >= 3) {
            Put(p, row + 6, ChKick, Note("C4"), Kick, 26);
            Put(p, row + 15, ChRim, Note("C4"), Rim, 14, 0x70);
        }
    }
    Echo(p, ChLead, ChEcho, 3, 26, 0xC0);
}

} // namespace

TXmModule MakeMenuSong()
{
    TXmModule m;
    m.Name = "Zephyrion Drift";
    m.Channels = ChannelCount;
    m.Speed = 6;
    m.Bpm = 80;
    m.Instruments = {MakeNebulaPad(), MakeGlassPiano(), MakeFlute(), MakeSoftBass(), MakeSoftKick(), MakeRim(), MakeShaker()};
    for (const TSection& s : Sections) {
        TXmPattern p(PatternRows, ChannelCount);
        Arrange(p, s);
        m.Patterns.push_back(std::move(p));
        m.Orders.push_back(static_cast<uint8_t>(m.Orders.size()));
    }
    // The whole song, intro included, plays again from order 0: the music
    // watcher knows a module has run through by its order coming back to 0.
    m.Restart = 0;
    return m;
}
