#include "Instruments.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "Synth.h"

using namespace synth;

namespace {

struct TVoice {
    int Detune; // extra cycles over the loop: the beat between voices
    double Gain;
};

// Additive tone: `loopCycles` periods of the tone after an attack of
// `attackCycles` periods. amplitude(h, t) gives harmonic h at time t
// (seconds); it must be constant from the loop on, so the loop is seamless.
std::vector<double> Additive(int attackCycles, int loopCycles, const std::vector<TVoice>& voices, int harmonics,
                             const std::function<double(int, double)>& amplitude, uint32_t seed)
{
    const size_t loopLength = static_cast<size_t>(loopCycles) * TonePeriod;
    const size_t total = static_cast<size_t>(attackCycles) * TonePeriod + loopLength;
    const size_t loopStart = total - loopLength;
    std::vector<double> out(total, 0.0);
    Noise phases(seed);
    std::vector<double> amps(static_cast<size_t>(harmonics) + 1);
    for (const TVoice& v : voices) {
        // Cycles per sample so that the loop holds a whole number of each voice's cycles.
        double f = static_cast<double>(loopCycles + v.Detune) / loopLength;
        std::vector<double> offset(static_cast<size_t>(harmonics) + 1);
        for (double& o : offset)
            o = Pi * phases.White();
        for (size_t n = 0; n < total; ++n) {
            double t = n / InstrumentRate;
            double x = 0;
            double pos = static_cast<double>(n) - static_cast<double>(loopStart);
            for (int h = 1; h <= harmonics; ++h) {
                if (h * f >= 0.5)
                    break; // nothing above the sample's own Nyquist limit
                double a = amplitude(h, t);
                if (a != 0)
                    x += a * std::sin(TwoPi * h * f * pos + offset[static_cast<size_t>(h)]);
            }
            out[n] += v.Gain * x;
        }
    }
    return out;
}

std::vector<int16_t> ToPcm(std::vector<double> b, double peak)
{
    Normalize(b, peak);
    std::vector<int16_t> pcm(b.size());
    for (size_t i = 0; i < b.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(b[i], -1.0, 1.0) * 32767));
    return pcm;
}

TXmInstrument Tonal(const char* name, std::vector<double> samples, size_t loopLength, double peak = 0.9)
{
    TXmInstrument ins;
    ins.Name = name;
    ins.Sample.Name = name;
    ins.Sample.RelativeNote = 24; // InstrumentRate plays on C-4
    ins.Sample.LoopLength = static_cast<uint32_t>(loopLength);
    ins.Sample.LoopStart = static_cast<uint32_t>(samples.size() - loopLength);
    ins.Sample.Data = ToPcm(std::move(samples), peak);
    return ins;
}

TXmInstrument OneShot(const char* name, std::vector<double> samples, double peak = 0.95)
{
    return Tonal(name, std::move(samples), 0, peak);
}

// A gentle roll-off above a harmonic, like a low-pass filter.
double Rolloff(int h, double corner, double slope = 2) { return 1 / (1 + std::pow(h / corner, slope)); }

double SawHarmonic(int h) { return 1.0 / h; }

std::vector<double> Render(double seconds, const std::function<double(double t, size_t n)>& f)
{
    std::vector<double> b(static_cast<size_t>(seconds * InstrumentRate));
    for (size_t n = 0; n < b.size(); ++n)
        b[n] = f(n / InstrumentRate, n);
    return b;
}

// Hertz of a tone that lasts one TonePeriod at the instrument rate.
constexpr double ToneHz = InstrumentRate / TonePeriod;

} // namespace

TXmInstrument MakeNebulaPad()
{
    // Three saws a cycle apart per loop beat slowly against each other; the
    // upper harmonics are kept soft so the pad sits behind the melody.
    auto samples = Additive(
        0, 256, {{-1, 0.8}, {0, 1.0}, {1, 0.8}}, 48,
        [](int h, double) { return SawHarmonic(h) * Rolloff(h, 5, 2.5) * (h % 2 ? 1.0 : 0.8); }, 0x9AD1u);
    size_t loop = samples.size();
    TXmInstrument ins = Tonal("Nebula pad", std::move(samples), loop, 0.8);
    ins.VolumeEnvelope.Points = {{0, 0}, {30, 48}, {60, 64}, {90, 56}};
    ins.VolumeEnvelope.Sustain = 3;
    ins.Fadeout = 400;
    ins.VibratoType = 0;
    ins.VibratoSweep = 80;
    ins.VibratoDepth = 2;
    ins.VibratoRate = 3;
    return ins;
}

TXmInstrument MakeGlassPiano()
{
    // Two-operator FM: the modulator's depth falls, so the strike is bright
    // and the note mellows; a high tine rings briefly on top.
    Noise noise(0xE91Au);
    Svf thump;
    auto samples = Render(2.6, [&](double t, size_t n) {
        double ph = TwoPi * ToneHz * n / InstrumentRate;
        double index = 0.3 + 2.2 * Decay(t, 0.6);
        double body = std::sin(ph + index * std::sin(ph)) * Decay(t, 2.6);
        double tine = std::sin(14 * ph) * Decay(t, 0.12) * 0.25;
        double octave = std::sin(2 * ph + 0.5 * std::sin(2 * ph)) * Decay(t, 1.2) * 0.3;
        double hammer = thump.LowPass(noise.White(), 1200, 1, InstrumentRate) * Decay(t, 0.01) * 0.4;
        return (body + tine + octave + hammer) * Attack(t, 0.002);
    });
    FadeOut(samples, InstrumentRate, 0.1);
    return OneShot("Glass piano", std::move(samples), 0.85);
}

TXmInstrument MakeFlute()
{
    // A rounded tone whose breath settles in the first tenth of a second.
    auto samples = Additive(
        24, 128, {{0, 1.0}, {1, 0.12}}, 16,
        [](int h, double t) {
            static const double steady[] = {0, 1, 0.32, 0.16, 0.07, 0.04, 0.02};
            double a = h < 7 ? steady[h] : 0.01 / h;
            double breath = h >= 3 ? 1 + 1.5 * Decay(t, 0.08) : 1;
            return t > 0.09 ? a : a * breath;
        },
        0xF107Eu);
    TXmInstrument ins = Tonal("Flute", std::move(samples), 128 * TonePeriod, 0.85);
    ins.VolumeEnvelope.Points = {{0, 0}, {4, 64}, {20, 52}};
    ins.VolumeEnvelope.Sustain = 2;
    ins.Fadeout = 900;
    ins.VibratoType = 0;
    ins.VibratoSweep = 60;
    ins.VibratoDepth = 6;
    ins.VibratoRate = 10;
    return ins;
}

TXmInstrument MakeSoftBass()
{
    auto samples = Additive(
        8, 16, {{0, 1.0}}, 8,
        [](int h, double t) {
            static const double steady[] = {0, 1, 0.35, 0.12, 0.05};
            double a = h < 5 ? steady[h] : 0;
            return t < 0.02 && h > 1 ? a * 1.6 : a;
        },
        0xBA55u);
    TXmInstrument ins = Tonal("Soft bass", std::move(samples), 16 * TonePeriod);
    ins.VolumeEnvelope.Points = {{0, 0}, {2, 64}, {40, 44}};
    ins.VolumeEnvelope.Sustain = 2;
    ins.Fadeout = 1500;
    return ins;
}

TXmInstrument MakeSoftKick()
{
    Osc body;
    auto samples = Render(0.45, [&](double t, size_t) {
        return body.Sine(Sweep(110, 42, t, 0.12), InstrumentRate) * Decay(t, 0.4) * Attack(t, 0.003);
    });
    return OneShot("Soft kick", std::move(samples));
}

TXmInstrument MakeRim()
{
    Noise noise(0x41Bu);
    Svf bp;
    Osc knock;
    auto samples = Render(0.12, [&](double t, size_t) {
        return 0.6 * bp.BandPass(noise.White(), 1900, 3, InstrumentRate) * Decay(t, 0.04) +
               knock.Sine(520, InstrumentRate) * Decay(t, 0.05);
    });
    return OneShot("Rim", std::move(samples));
}

TXmInstrument MakeShaker()
{
    Noise noise(0x5A4Eu);
    Svf hp;
    auto samples = Render(0.09, [&](double t, size_t) {
        return hp.HighPass(noise.White(), 6500, 0.8, InstrumentRate) * Attack(t, 0.015) * Decay(t, 0.07);
    });
    return OneShot("Shaker", std::move(samples));
}

TXmInstrument MakeSawBass()
{
    // The filter snaps shut over the first tenth of a second, then the note
    // holds a dark saw with a strong fundamental.
    auto samples = Additive(
        40, 8, {{0, 1.0}}, 60,
        [](int h, double t) {
            double corner = 3 + 22 * Decay(std::min(t, 0.15), 0.12);
            return SawHarmonic(h) * Rolloff(h, corner, 3) * (h == 1 ? 1.5 : 1);
        },
        0x5A3Bu);
    TXmInstrument ins = Tonal("Saw bass", std::move(samples), 8 * TonePeriod);
    ins.VolumeEnvelope.Points = {{0, 64}, {8, 48}, {30, 40}};
    ins.VolumeEnvelope.Sustain = 2;
    ins.Fadeout = 3000;
    return ins;
}

TXmInstrument MakeSuperLead()
{
    // Few harmonics: the lead plays two octaves above the sample's own pitch,
    // and anything higher would fold back as a whistle.
    auto samples = Additive(
        0, 256, {{-2, 0.6}, {-1, 0.8}, {0, 1.0}, {1, 0.8}, {2, 0.6}}, 28,
        [](int h, double) { return SawHarmonic(h) * Rolloff(h, 11, 2); }, 0x1EADu);
    size_t loop = samples.size();
    TXmInstrument ins = Tonal("Super lead", std::move(samples), loop, 0.8);
    ins.VolumeEnvelope.Points = {{0, 0}, {2, 64}, {16, 50}};
    ins.VolumeEnvelope.Sustain = 2;
    ins.Fadeout = 1200;
    ins.VibratoType = 0;
    ins.VibratoSweep = 90;
    ins.VibratoDepth = 5;
    ins.VibratoRate = 12;
    return ins;
}

TXmInstrument MakePluck()
{
    Osc sq;
    Svf filter;
    auto samples = Render(0.5, [&](double t, size_t) {
        double v = sq.Square(ToneHz, InstrumentRate, 0.25);
        return filter.LowPass(v, 300 + 5000 * Decay(t, 0.15), 2.2, InstrumentRate) * Decay(t, 0.45) * Attack(t, 0.001);
    });
    FadeOut(samples, InstrumentRate, 0.05);
    return OneShot("Pluck", std::move(samples), 0.85);
}

TXmInstrument MakeStab()
{
    Osc a, b, c;
    Svf filter;
    auto samples = Render(0.7, [&](double t, size_t) {
        double v = a.Saw(ToneHz, InstrumentRate) + b.Saw(ToneHz * 1.007, InstrumentRate) + c.Saw(ToneHz * 0.993, InstrumentRate);
        return filter.LowPass(v, 800 + 6000 * Decay(t, 0.2), 1.5, InstrumentRate) * Decay(t, 0.6) * Attack(t, 0.002);
    });
    FadeOut(samples, InstrumentRate, 0.08);
    return OneShot("Stab", std::move(samples), 0.8);
}

TXmInstrument MakeKick()
{
    Osc body;
    Noise noise(0x4B1Cu);
    Svf click;
    auto samples = Render(0.35, [&](double t, size_t) {
        double thump = body.Sine(Sweep(180, 46, t, 0.07), InstrumentRate) * Decay(t, 0.32);
        double beater = click.HighPass(noise.White(), 3000, 0.7, InstrumentRate) * Decay(t, 0.006);
        return Drive(1.3 * thump + 0.5 * beater, 1.6);
    });
    return OneShot("Kick", std::move(samples));
}

TXmInstrument MakeSnare()
{
    Osc tone1, tone2;
    Noise noise(0x54A4Eu);
    Svf wires;
    auto samples = Render(0.3, [&](double t, size_t) {
        double drum = 0.7 * tone1.Sine(Sweep(240, 180, t, 0.03), InstrumentRate) * Decay(t, 0.08) +
                      0.35 * tone2.Sine(330, InstrumentRate) * Decay(t, 0.05);
        double rattle = wires.BandPass(noise.White(), 3800, 0.6, InstrumentRate) * Decay(t, 0.22);
        return Drive(drum + 1.2 * rattle, 1.4);
    });
    return OneShot("Snare", std::move(samples));
}

namespace {
// Six square waves at unrelated pitches give a cymbal's metallic shimmer.
std::vector<double> Metal(double seconds, double t60, uint32_t seed, double highPass)
{
    static const double partials[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Osc oscs[6];
    Noise noise(seed);
    Svf hp1, hp2;
    return Render(seconds, [&](double t, size_t) {
        double v = 0;
        for (int i = 0; i < 6; ++i)
            v += oscs[i].Square(partials[i] * 2.1, InstrumentRate);
        v = 0.5 * v / 6 + 0.5 * noise.White();
        v = hp2.HighPass(hp1.HighPass(v, highPass, 0.7, InstrumentRate), highPass, 0.7, InstrumentRate);
        return v * Decay(t, t60) * Attack(t, 0.0008);
    });
}
} // namespace

TXmInstrument MakeClosedHat() { return OneShot("Closed hat", Metal(0.08, 0.05, 0xC105u, 7000)); }
TXmInstrument MakeOpenHat()
{
    auto s = Metal(0.45, 0.4, 0x0BE4u, 6000);
    FadeOut(s, InstrumentRate, 0.05);
    return OneShot("Open hat", std::move(s));
}
TXmInstrument MakeCrash()
{
    auto s = Metal(2.2, 1.9, 0xC4A5u, 3500);
    FadeOut(s, InstrumentRate, 0.2);
    return OneShot("Crash", std::move(s));
}
