#include "Synth.h"

#include <algorithm>

namespace synth {

namespace {

// Corrects the two samples around a saw's jump so it does not alias.
double PolyBlep(double t, double dt)
{
    if (dt <= 0)
        return 0;
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

void PutLE(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

double Osc::Saw(double hz, double rate)
{
    double dt = hz / rate;
    double v = 2 * Phase - 1 - PolyBlep(Phase, dt);
    Step(hz, rate);
    return v;
}

double Osc::Square(double hz, double rate, double width)
{
    double dt = hz / rate;
    double v = Phase < width ? 1 : -1;
    v += PolyBlep(Phase, dt);
    double shifted = Phase + (1 - width);
    shifted -= std::floor(shifted);
    v -= PolyBlep(shifted, dt);
    Step(hz, rate);
    return v;
}

double Osc::Triangle(double hz, double rate)
{
    double v = Phase < 0.5 ? 4 * Phase - 1 : 3 - 4 * Phase;
    Step(hz, rate);
    return v;
}

void Svf::Run(double in, double cutoffHz, double q, double rate)
{
    // Two passes at twice the rate keep the filter stable up to high cutoffs.
    double f = 2 * std::sin(Pi * std::min(cutoffHz, rate / 4.5) / (2 * rate));
    double damp = 1 / std::max(q, 0.5);
    for (int i = 0; i < 2; ++i) {
        Low += f * Band;
        High = in - Low - damp * Band;
        Band += f * High;
    }
}

Buffer Reverb(const Buffer& dry, double rate, double roomSeconds, double wet, double damping)
{
    static const double combTimes[4] = {0.0297, 0.0371, 0.0411, 0.0437};
    static const double allTimes[2] = {0.005, 0.0017};
    Buffer out(dry.size(), 0.0);
    for (double ct : combTimes) {
        size_t len = std::max<size_t>(1, static_cast<size_t>(ct * rate));
        double feedback = std::pow(10.0, -3.0 * ct / roomSeconds);
        Buffer line(len, 0.0);
        size_t pos = 0;
        double lp = 0;
        for (size_t i = 0; i < dry.size(); ++i) {
            double y = line[pos];
            lp = y * (1 - damping) + lp * damping;
            line[pos] = dry[i] + lp * feedback;
            pos = (pos + 1) % len;
            out[i] += y * 0.25;
        }
    }
    for (double at : allTimes) {
        size_t len = std::max<size_t>(1, static_cast<size_t>(at * rate));
        Buffer line(len, 0.0);
        size_t pos = 0;
        for (double& s : out) {
            double buf = line[pos];
            double y = -0.5 * s + buf;
            line[pos] = s + 0.5 * buf;
            pos = (pos + 1) % len;
            s = y;
        }
    }
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = dry[i] + wet * out[i];
    return out;
}

void Normalize(Buffer& b, double peak)
{
    double m = 0;
    for (double s : b)
        m = std::max(m, std::fabs(s));
    if (m > 0)
        for (double& s : b)
            s *= peak / m;
}

void FadeOut(Buffer& b, double rate, double fadeSeconds)
{
    size_t n = std::min(b.size(), static_cast<size_t>(fadeSeconds * rate));
    for (size_t i = 0; i < n; ++i)
        b[b.size() - 1 - i] *= static_cast<double>(i) / n;
}

void FadeIn(Buffer& b, double rate, double fadeSeconds)
{
    size_t n = std::min(b.size(), static_cast<size_t>(fadeSeconds * rate));
    for (size_t i = 0; i < n; ++i)
        b[i] *= static_cast<double>(i) / n;
}

std::vector<uint8_t> RiffWave(const Buffer& samples, uint32_t rate, int bits)
{
    uint32_t bytesPer = bits == 16 ? 2 : 1;
    uint32_t dataSize = static_cast<uint32_t>(samples.size()) * bytesPer;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLE(out, 36 + dataSize + (dataSize & 1), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLE(out, 16, 4);
    PutLE(out, 1, 2); // PCM
    PutLE(out, 1, 2); // mono
    PutLE(out, rate, 4);
    PutLE(out, rate * bytesPer, 4); // bytes per second
    PutLE(out, bytesPer, 2);        // block align
    PutLE(out, static_cast<uint32_t>(bits), 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLE(out, dataSize, 4);
    for (double s : samples) {
        double c = std::clamp(s, -1.0, 1.0);
        if (bits == 16)
            PutLE(out, static_cast<uint32_t>(static_cast<int32_t>(std::lround(c * 32767))), 2);
        else
            out.push_back(static_cast<uint8_t>(std::lround(128 + c * 127)));
    }
    if (dataSize & 1)
        out.push_back(0); // RIFF chunks are padded to an even size
    return out;
}

} // namespace synth
