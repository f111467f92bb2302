// The music's instruments, synthesized: every sample is recorded at
// InstrumentRate with its pitch set so the note C-4 plays it at that rate.
// Tonal samples repeat every TonePeriod samples, which makes C-4 sound at
// InstrumentRate / TonePeriod (261.3 Hz, concert C4 within two cents).
#pragma once
#include "XmWriter.h"

constexpr double InstrumentRate = 33452; // 8363 Hz four times over
constexpr int TonePeriod = 128;

// Menus: calm and spacious.
TXmInstrument MakeNebulaPad();  // slow warm pad of three drifting saws
TXmInstrument MakeGlassPiano(); // soft electric piano with a glassy tine
TXmInstrument MakeFlute();      // breathy rounded lead with a gentle vibrato
TXmInstrument MakeSoftBass();   // round sine bass
TXmInstrument MakeSoftKick();
TXmInstrument MakeRim();
TXmInstrument MakeShaker();

// Play: driving and bright.
TXmInstrument MakeSawBass();   // plucked filtered saw bass
TXmInstrument MakeSuperLead(); // five detuned saws
TXmInstrument MakePluck();     // short square pluck for arpeggios
TXmInstrument MakeStab();      // chord stab
TXmInstrument MakeKick();
TXmInstrument MakeSnare();
TXmInstrument MakeClosedHat();
TXmInstrument MakeOpenHat();
TXmInstrument MakeCrash();
