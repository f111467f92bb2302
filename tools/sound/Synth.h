// Small synthesis kit for the sound effects and the music's instruments:
// oscillators, a noise source, filters, envelopes and a room reverb. Every
// sound is computed from fixed seeds, so each build writes the same bytes.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2 * Pi;

using Buffer = std::vector<double>;

// xorshift32: the same noise on every build and every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : State(seed ? seed : 1) {}
    double White() // -1..1
    {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return static_cast<double>(State) / 2147483648.0 - 1.0;
    }
    double Brown() // integrated white noise, a deep rumble
    {
        Last = (Last + 0.02 * White()) / 1.02;
        return Last * 3.5;
    }

private:
    uint32_t State;
    double Last = 0;
};

// Phase accumulator with band-limited saw and square (polyBLEP).
class Osc {
public:
    double Phase = 0; // 0..1
    double Sine(double hz, double rate)
    {
        double v = std::sin(TwoPi * Phase);
        Step(hz, rate);
        return v;
    }
    double Saw(double hz, double rate);
    double Square(double hz, double rate, double width = 0.5);
    double Triangle(double hz, double rate);

private:
    double Inc = 0;
    void Step(double hz, double rate)
    {
        Inc = hz / rate;
        Phase += Inc;
        Phase -= std::floor(Phase);
    }
};

// Chamberlin state-variable filter: low, band and high pass at once.
class Svf {
public:
    double Low = 0, Band = 0, High = 0;
    void Run(double in, double cutoffHz, double q, double rate);
    double LowPass(double in, double hz, double q, double rate)
    {
        Run(in, hz, q, rate);
        return Low;
    }
    double BandPass(double in, double hz, double q, double rate)
    {
        Run(in, hz, q, rate);
        return Band;
    }
    double HighPass(double in, double hz, double q, double rate)
    {
        Run(in, hz, q, rate);
        return High;
    }
};

// One-pole smoothing filter.
class OnePole {
public:
    double Z = 0;
    double LowPass(double in, double hz, double rate)
    {
        double a = 1 - std::exp(-TwoPi * hz / rate);
        Z += a * (in - Z);
        return Z;
    }
    double HighPass(double in, double hz, double rate) { return in - LowPass(in, hz, rate); }
};

// Exponential decay reaching -60 dB after t60 seconds.
inline double Decay(double t, double t60) { return t < 0 ? 0 : std::exp(-6.907755 * t / t60); }
// Linear rise over `attack` seconds, then 1.
inline double Attack(double t, double attack)
{
    return t <= 0        ? 0
           : t >= attack ? 1
                         : t / attack;
}
// Glide from a to b with an exponential curve over `time` seconds.
inline double Sweep(double a, double b, double t, double time)
{
    double k = t <= 0      ? 0
               : t >= time ? 1
                           : t / time;
    return a * std::pow(b / a, k);
}
inline double Lerp(double a, double b, double k) { return a + (b - a) * k; }
// Soft saturation: tames peaks, thickens the sound.
inline double Drive(double x, double amount) { return std::tanh(x * amount) / std::tanh(amount); }
inline double NoteHz(double semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

// Schroeder room: four combs and two all-passes; returns dry + wet.
Buffer Reverb(const Buffer& dry, double rate, double roomSeconds, double wet, double damping);
// Scales so the largest magnitude is `peak`; fades the last `fadeSeconds` to zero.
void Normalize(Buffer& b, double peak);
void FadeOut(Buffer& b, double rate, double fadeSeconds);
void FadeIn(Buffer& b, double rate, double fadeSeconds);

// RIFF WAVE images, mono PCM.
std::vector<uint8_t> RiffWave(const Buffer& samples, uint32_t rate, int bits);

} // namespace synth
