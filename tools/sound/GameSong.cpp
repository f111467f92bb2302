// The game's music: four-to-the-floor drums, a pumping saw bass, a plucked
// arpeggio, chord stabs and a bright lead. Nine sections in eleven orders;
// the loop returns to the first verse.
#include <array>
#include <string>

#include "Composer.h"
#include "Instruments.h"
#include "Songs.h"

namespace {

enum Instrument {
    Bass = 1,
    Lead,
    Pluck,
    Stab,
    Kick,
    Snare,
    ClosedHat,
    OpenHat,
    Crash
};
enum Channel {
    ChLead,
    ChEcho,
    ChArp,
    ChStab1,
    ChStab2,
    ChStab3,
    ChBass,
    ChKick,
    ChSnare,
    ChHat,
    ChCrash,
    ChFill,
    ChannelCount
};

enum Drums {
    NoDrums,
    KickAndHats,
    Full,
    HalfTime
};
enum Bassline {
    Eighths,
    Pumping,
    Long
};

struct TSection {
    std::array<const char*, 4> Chords;
    std::array<const char*, 4> Melody;
    Drums Beat;
    Bassline Line;
    bool Arp, Stabs, CrashIn, RollOut; // RollOut: a snare roll leads into the next section
};

const char* Em = "E2: E4 G4 B4";
const char* C = "C2: E4 G4 C5";
const char* D = "D2: F#4 A4 D5";
const char* Bm = "B1: F#4 B4 D5";
const char* Am = "A1: E4 A4 C5";
const std::array<const char*, 4> None = {nullptr, nullptr, nullptr, nullptr};

// clang-format off
const TSection Sections[] = {
    // 0: intro, the engine starts.
    {{Em, Em, C, D}, None, KickAndHats, Eighths, false, false, false, true},
    // 1: verse without the lead.
    {{Em, C, D, Bm}, None, Full, Pumping, true, false, true, false},
    // 2, 3: verse with the lead.
    {{Em, C, D, Bm},
     {"E5 . . . G5 . . . B5 . . . A5 . G5 .",
      "E5 . . . . . . . C5 . D5 . E5 . . .",
      "F#5 . . . A5 . . . D5 . . . F#5 . . .",
      "F#5 . . . . . . . D5 . . . B4 . . ."},
     Full, Pumping, true, false, false, false},
    {{Em, C, D, Bm},
     {"E5 . . . G5 . . . B5 . . . D6 . . .",
      "C6 . . . B5 . . . G5 . . . E5 . . .",
      "F#5 . . . G5 . . . A5 . . . D6 . . .",
      "B5 . . . . . . . . . . . - . . ."},
     Full, Pumping, true, false, false, false},
    // 4: the climb before the chorus.
    {{Am, C, D, D},
     {"A4 . C5 . E5 . . . A4 . C5 . E5 . . .",
      "G4 . C5 . E5 . . . G4 . C5 . G5 . . .",
      "A4 . D5 . F#5 . . . A4 . D5 . A5 . . .",
      "A5 . . . B5 . . . C6 . . . D6 . . ."},
     Full, Eighths, true, false, false, true},
    // 5, 6: chorus.
    {{C, D, Em, Em},
     {"E6 . . . . . D6 . . . C6 . . . B5 .",
      "D6 . . . . . A5 . . . . . F#5 . A5 .",
      "B5 . . . . . . . G5 . . . E5 . G5 .",
      "B5 . . . . . . . . . . . A5 . G5 ."},
     Full, Pumping, true, true, true, false},
    {{C, D, Bm, Em},
     {"E6 . . . . . D6 . . . C6 . . . B5 .",
      "D6 . . . . . E6 . . . F#6 . . . D6 .",
      "F#6 . . . . . D6 . . . B5 . . . D6 .",
      "E6 . . . . . . . . . . . . . - ."},
     Full, Pumping, true, true, false, false},
    // 7: break, half time and air.
    {{Em, C, D, Bm}, None, HalfTime, Long, true, true, true, false},
    // 8: the build back into the chorus.
    {{Am, Bm, C, D}, None, KickAndHats, Eighths, true, false, false, true},
};
// clang-format on

void Drum(TXmPattern& p, int row, int channel, int instrument, int volume, int pan = -1)
{
    Put(p, row, channel, Note("C4"), instrument, volume, pan);
}

void Arrange(TXmPattern& p, const TSection& s)
{
    for (int bar = 0; bar < BarsPerPattern; ++bar) {
        TChord chord = Chord(s.Chords[bar]);
        int row = bar * RowsPerBar;
        int root = chord.Bass;

        switch (s.Line) {
        case Eighths:
            for (int r = 0; r < RowsPerBar; r += 2)
                Put(p, row + r, ChBass, root + (r == 6 || r == 14 ? 12 : 0), Bass, r % 4 == 0 ? 52 : 40);
            break;
        case Pumping: {
            // Off-beat octave jumps and a sixteenth pickup into the next bar.
            static const int steps[][2] = {{0, 0}, {2, 0}, {3, 12}, {4, 0}, {6, 12}, {8, 0}, {10, 0}, {11, 12}, {12, 0}, {14, 7}, {15, 12}};
            for (const auto& st : steps)
                Put(p, row + st[0], ChBass, root + st[1], Bass, st[0] % 4 == 0 ? 54 : 40);
            break;
        }
        case Long:
            Put(p, row, ChBass, root, Bass, 54);
            p.At(row + 12, ChBass) = TXmCell{XmKeyOff};
            break;
        }

        if (s.Arp) {
            static const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 0, 1, 2, 3, 2, 1, 2, 3};
            for (int r = 0; r < RowsPerBar; ++r) {
                int i = order[r];
                int note = i < 3 ? chord.Tones[static_cast<size_t>(i)] : chord.Tones[0] + 12;
                Put(p, row + r, ChArp, note, Pluck, r % 4 == 0 ? 30 : 20, r % 2 ? 0x50 : 0xB0);
            }
        }

        if (s.Stabs) {
            static const int hits[] = {0, 6, 12};
            static const int pans[3] = {0x50, 0x80, 0xB0};
            for (int h : hits) {
                if (s.Beat == HalfTime && h != 0)
                    continue;
                for (int v = 0; v < 3; ++v)
                    Put(p, row + h, ChStab1 + v, chord.Tones[static_cast<size_t>(v)], Stab, h == 0 ? 30 : 22, pans[v]);
            }
        }

        if (s.Melody[static_cast<size_t>(bar)])
            PutBar(p, ChLead, bar, s.Melody[static_cast<size_t>(bar)], Lead, 40, 0x78);

        switch (s.Beat) {
        case NoDrums:
            break;
        case KickAndHats:
        case Full:
            for (int r = 0; r < RowsPerBar; r += 4)
                Drum(p, row + r, ChKick, Kick, 60);
            for (int r = 2; r < RowsPerBar; r += 4)
                Drum(p, row + r, ChHat, r == 14 && bar % 2 == 1 ? OpenHat : ClosedHat, 30, 0x98);
            for (int r = 1; r < RowsPerBar; r += 2)
                Drum(p, row + r, ChHat, ClosedHat, 12, 0x68);
            if (s.Beat == Full) {
                Drum(p, row + 4, ChSnare, Snare, 50);
                Drum(p, row + 12, ChSnare, Snare, 50);
                if (bar == 3)
                    Drum(p, row + 15, ChSnare, Snare, 24);
            }
            break;
        case HalfTime:
            Drum(p, row, ChKick, Kick, 60);
            Drum(p, row + 10, ChKick, Kick, 44);
            Drum(p, row + 8, ChSnare, Snare, 48);
            for (int r = 0; r < RowsPerBar; r += 2)
                Drum(p, row + r, ChHat, ClosedHat, r % 4 == 2 ? 26 : 14, 0x90);
            break;
        }
    }

    if (s.CrashIn)
        Drum(p, 0, ChCrash, Crash, 40);
    if (s.RollOut) {
        // Eighths, then sixteenths, getting louder through the last bar.
        int start = 3 * RowsPerBar;
        for (int r = 0; r < RowsPerBar; ++r)
            if (r >= 8 || r % 2 == 0)
                Drum(p, start + r, ChFill, Snare, 16 + 2 * r);
    }
    Echo(p, ChLead, ChEcho, 3, 22, 0xC8);
}

} // namespace

TXmModule MakeGameSong()
{
    TXmModule m;
    m.Name = "Zephyrion Afterburn";
    m.Channels = ChannelCount;
    m.Speed = 6;
    m.Bpm = 140;
    m.Instruments = {MakeSawBass(), MakeSuperLead(), MakePluck(), MakeStab(), MakeKick(),
                     MakeSnare(), MakeClosedHat(), MakeOpenHat(), MakeCrash()};
    for (const TSection& s : Sections) {
        TXmPattern p(PatternRows, ChannelCount);
        Arrange(p, s);
        m.Patterns.push_back(std::move(p));
    }
    m.Orders = {0, 1, 2, 3, 4, 5, 6, 7, 8, 5, 6};
    // The whole song, intro included, plays again from order 0: the music
    // watcher knows a module has run through by its order coming back to 0.
    m.Restart = 0;
    return m;
}
