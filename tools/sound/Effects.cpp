// Each effect is built from layers: a tonal body, filtered noise and pitch
// and filter sweeps, shaped by envelopes, then scaled to a common loudness.
#include "Effects.h"

#include <cmath>

#include "Synth.h"

using namespace synth;

namespace {

size_t SampleCount(double seconds, double rate) { return static_cast<size_t>(std::lround(seconds * rate)); }

// A short crisp click: a bright tick on a small wooden body.
Buffer MenuClick(double rate, size_t n)
{
    Buffer b(n);
    Noise noise(0xC11C4u);
    Osc body, tick;
    Svf bp;
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        double transient = bp.BandPass(noise.White(), 2600, 1.5, rate) * Decay(t, 0.006);
        double tone = tick.Sine(Sweep(2100, 1500, t, 0.02), rate) * Decay(t, 0.018);
        double knock = body.Sine(Sweep(700, 420, t, 0.03), rate) * Decay(t, 0.035);
        b[i] = (0.9 * transient + 0.6 * tone + 0.5 * knock) * Attack(t, 0.0006);
    }
    FadeOut(b, rate, 0.006);
    return b;
}

// A booming explosion: a crack, a falling boom and a long decaying rumble.
Buffer Hit(double rate, size_t n)
{
    Buffer b(n);
    Noise noise(0xB00Bu), rumble(0x5EED1u);
    Svf crackFilter, bodyFilter, rumbleFilter;
    Osc boom, sub;
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        double crack = crackFilter.HighPass(noise.White(), 1800, 0.7, rate) * Decay(t, 0.07);
        double body = bodyFilter.LowPass(noise.White(), Sweep(4500, 220, t, 0.6), 1.2, rate) * Decay(t, 0.75);
        double thump = boom.Sine(Sweep(110, 38, t, 0.35), rate) * Decay(t, 0.55) * Attack(t, 0.002);
        // The rumble swells and fades slowly, wobbling like rolling debris.
        double wobble = 0.7 + 0.3 * std::sin(TwoPi * 7.5 * t) * std::sin(TwoPi * 3.1 * t + 1);
        double roll = rumbleFilter.LowPass(rumble.Brown(), 260, 0.9, rate) * Decay(t, 1.7) * Attack(t, 0.08) * wobble;
        double deep = sub.Sine(46 - 8 * t, rate) * Decay(t, 0.9) * Attack(t, 0.03);
        b[i] = Drive(0.55 * crack + 1.1 * body + 0.9 * thump + 1.3 * roll + 0.4 * deep, 2.2);
    }
    FadeOut(b, rate, 0.12);
    return b;
}

// A bright zap: two detuned squares diving in pitch through a sweeping filter.
Buffer Laser(double rate, size_t n)
{
    Buffer b(n);
    Osc a, c, ring;
    Svf filter;
    Noise noise(0x1A5E4u);
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        double f = Sweep(3400, 420, t, 0.14);
        double v = 0.6 * a.Square(f, rate, 0.3) + 0.4 * c.Saw(f * 1.507, rate);
        v *= 0.75 + 0.25 * ring.Sine(f * 0.5, rate);
        v = filter.LowPass(v + 0.15 * noise.White() * Decay(t, 0.01), Sweep(7000, 1500, t, 0.15), 2.5, rate);
        b[i] = v * Decay(t, 0.17) * Attack(t, 0.002);
    }
    FadeOut(b, rate, 0.02);
    return b;
}

// A humming plasma discharge: a buzzing low drone with a wavering resonant
// filter, electric crackle and a falling power-down at the end.
Buffer Plasma(double rate, size_t n)
{
    Buffer b(n);
    Osc s1, s2, s3, lfo, mod;
    Svf filter, crackleFilter;
    Noise noise(0x9A5A4u);
    double total = n / rate;
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        double pitch = 98 * (1 + 0.03 * std::sin(TwoPi * 6 * t)) * (t > total - 0.3 ? Sweep(1, 0.55, t - (total - 0.3), 0.3) : 1);
        double drone = s1.Saw(pitch, rate) + 0.8 * s2.Saw(pitch * 1.006, rate) + 0.5 * s3.Square(pitch * 2.003, rate, 0.4);
        double cutoff = 600 + 1800 * (0.5 + 0.5 * lfo.Sine(9, rate)) * Decay(t, 1.2) + 400 * Decay(t, 0.05);
        double hum = filter.LowPass(drone, cutoff, 5, rate);
        double ringing = hum * (0.7 + 0.3 * mod.Sine(pitch * 0.5, rate));
        double sparks = crackleFilter.BandPass(noise.White(), 5200, 2, rate);
        sparks *= (noise.White() > 0.6 ? 1.0 : 0.15) * Decay(t, 0.5);
        double zap = std::sin(TwoPi * Sweep(1600, 200, t, 0.08) * t) * Decay(t, 0.06);
        double env = Attack(t, 0.015) * (0.55 + 0.45 * Decay(t, 0.25)) * (t > total - 0.35 ? Decay(t - (total - 0.35), 0.35) : 1);
        b[i] = Drive(0.8 * ringing * env + 0.35 * sparks + 0.5 * zap, 1.5);
    }
    FadeOut(b, rate, 0.03);
    return b;
}

// A rushing launch: ignition pop, a roaring exhaust whose hiss climbs as the
// rocket speeds away, and a low thrust rumble.
Buffer Rocket(double rate, size_t n)
{
    Buffer b(n);
    Noise noise(0x40C4E7u), rumble(0x7A11u);
    Svf hiss, roar, pop;
    Osc thrust;
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        double ignition = pop.LowPass(noise.White(), 900, 1, rate) * Decay(t, 0.05);
        double whoosh = hiss.BandPass(noise.White(), Sweep(500, 3800, t, 0.45) * (t > 0.45 ? Sweep(1, 0.55, t - 0.45, 0.6) : 1), 2.2, rate);
        double body = roar.LowPass(rumble.White(), Sweep(900, 300, t, 1.0), 1.4, rate);
        double hum = thrust.Saw(Sweep(75, 48, t, 1.0), rate);
        double flutter = 0.8 + 0.2 * std::sin(TwoPi * 23 * t);
        double env = Attack(t, 0.04) * Decay(t, 1.1);
        b[i] = Drive(0.9 * ignition + (1.2 * whoosh * flutter + 0.9 * body + 0.18 * hum) * env, 1.6);
    }
    FadeOut(b, rate, 0.15);
    return b;
}

// An eerie howling salvo: a chattering launch followed by three ghostly
// voices that rise, bend and fall together, slightly out of tune.
Buffer Skeel(double rate, size_t n)
{
    Buffer b(n);
    Noise noise(0x5CEE1u);
    Osc v1, v2, v3, trem;
    Svf formant1, formant2, chatterFilter;
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        // The howl: up in 0.4 s, hold with vibrato, a long fall.
        double contour = t < 0.4 ? Sweep(260, 620, t, 0.4) : t < 0.9 ? 620 * (1 + 0.035 * std::sin(TwoPi * 5.5 * t))
                                                                     : Sweep(620, 190, t - 0.9, 0.93);
        double voices = v1.Triangle(contour, rate) + 0.7 * v2.Saw(contour * 1.012, rate) + 0.5 * v3.Triangle(contour * 1.498, rate);
        double vowel = formant1.BandPass(voices, 700 + 300 * std::sin(TwoPi * 0.8 * t), 4, rate) + 0.6 * formant2.BandPass(voices, 1800, 5, rate);
        double howl = vowel * (0.75 + 0.25 * trem.Sine(11, rate)) * Attack(t, 0.12) * (t > 1.3 ? Decay(t - 1.3, 0.53) : 1);
        // Three quick launches rattle at the start of the salvo.
        double chatter = 0;
        for (int k = 0; k < 3; ++k)
            chatter += Decay(t - 0.07 * k, 0.06) * (t >= 0.07 * k ? 1 : 0);
        chatter *= chatterFilter.BandPass(noise.White(), 1400, 1.2, rate);
        b[i] = Drive(1.1 * howl + 0.6 * chatter + 0.04 * noise.White() * Decay(t, 1.5), 1.4);
    }
    b = Reverb(b, rate, 1.2, 0.35, 0.3);
    FadeOut(b, rate, 0.2);
    return b;
}

// A short rising fanfare: brass stabs climbing a major arpeggio to a held
// chord over a drum roll and a timpani hit, ringing out in a large hall.
Buffer NewStage(double rate, size_t n)
{
    Buffer b(n, 0.0);
    struct Note {
        double Start, Length, Semis;
        double Level;
    };
    // Semitones from A4: D4 F#4 A4 D5, then D major with the high D on top.
    // clang-format off
    static const Note notes[] = {
        {0.00, 0.22, -7, 0.8}, {0.20, 0.22, -3, 0.8}, {0.40, 0.22, 0, 0.85}, {0.60, 0.60, 5, 0.95},
        {1.25, 0.16, 0, 0.7}, {1.40, 0.16, 5, 0.8},
        {1.60, 3.20, -7, 0.6}, {1.60, 3.20, -3, 0.6}, {1.60, 3.20, 0, 0.6}, {1.60, 3.30, 5, 0.9}, {1.60, 3.20, 9, 0.45},
    };
    // clang-format on
    for (const Note& note : notes) {
        Osc a, c, d;
        Svf filter;
        double hz = NoteHz(note.Semis);
        size_t from = SampleCount(note.Start, rate);
        size_t len = SampleCount(note.Length + 1.0, rate);
        for (size_t k = 0; k < len && from + k < n; ++k) {
            double t = k / rate;
            double vib = 1 + 0.006 * std::sin(TwoPi * 5.2 * t) * Attack(t, 0.3);
            double v = a.Saw(hz * vib, rate) + 0.6 * c.Saw(hz * 1.004 * vib, rate) + 0.3 * d.Square(hz * 0.5, rate);
            // Brass: the filter opens with the breath and closes as it fades.
            double cutoff = hz * (2 + 6 * Decay(t, 0.25) + 2 * Attack(t, 0.05));
            // Long notes swell a little, then die away slowly under the hall.
            double hold = note.Length > 1 ? (1 + 0.15 * Attack(t, 0.8)) * (t > 1.2 ? Decay(t - 1.2, 2.6) : 1) : 1;
            double release = note.Length > 1 ? 0.9 : 0.2;
            double env = Attack(t, 0.03) * (t < note.Length ? (0.75 + 0.25 * Decay(t, 0.15)) * hold
                                                            : 0.75 * hold * Decay(t - note.Length, release));
            b[from + k] += note.Level * 0.3 * filter.LowPass(v, cutoff, 1.1, rate) * env;
        }
    }
    // A snare roll building into the chord, then the timpani.
    Noise noise(0xFA4Fu);
    Svf snare;
    Osc timpani;
    for (size_t i = 0; i < n; ++i) {
        double t = i / rate;
        double roll = 0;
        if (t < 1.6) {
            double stroke = std::fmod(t, 0.05);
            roll = snare.BandPass(noise.White(), 2500, 0.9, rate) * Decay(stroke, 0.04) * Sweep(0.08, 0.5, t, 1.6);
        }
        double tim = timpani.Sine(Sweep(90, 72, t - 1.6, 0.5), rate) * Decay(t - 1.6, 1.2) * (t >= 1.6 ? 1 : 0);
        b[i] += roll + 0.7 * tim;
    }
    b = Reverb(b, rate, 3.0, 0.55, 0.35);
    FadeOut(b, rate, 1.2);
    return b;
}

struct TRecipe {
    const char* Name;
    uint32_t Rate;
    int Bits;
    double Seconds;
    Buffer (*Make)(double rate, size_t n);
    double Peak;
};

const TRecipe Recipes[] = {
    {"MenuClick", 8000, 8, 0.05, MenuClick, 0.8},
    {"Hit", 16000, 8, 1.05, Hit, 0.95},
    {"Laser_1", 16000, 8, 0.16, Laser, 0.8},
    {"Plasma", 22050, 16, 0.68, Plasma, 0.8},
    {"Rocket", 22050, 8, 1.09, Rocket, 0.85},
    {"Skeel", 8000, 8, 1.83, Skeel, 0.85},
    {"NewStage", 11025, 8, 6.63, NewStage, 0.9},
};

} // namespace

std::vector<TEffectWave> MakeEffectWaves()
{
    std::vector<TEffectWave> waves;
    for (const TRecipe& r : Recipes) {
        size_t n = SampleCount(r.Seconds, r.Rate);
        Buffer samples = r.Make(r.Rate, n);
        samples.resize(n, 0.0);
        Normalize(samples, r.Peak);
        waves.push_back({r.Name, r.Rate, r.Bits, r.Seconds, RiffWave(samples, r.Rate, r.Bits)});
    }
    return waves;
}
