#include "XmWriter.h"

#include <algorithm>
#include <stdexcept>

namespace {

class TBytes {
public:
    std::vector<uint8_t> Data;
    void U8(unsigned v) { Data.push_back(static_cast<uint8_t>(v)); }
    void U16(unsigned v)
    {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
    }
    void U32(uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // Fixed-width text, padded with zeros (XM names are not terminated).
    void Text(const std::string& s, size_t width)
    {
        for (size_t i = 0; i < width; ++i)
            U8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    }
    void Zeros(size_t n) { Data.insert(Data.end(), n, 0); }
};

void Check(bool ok, const char* what)
{
    if (!ok)
        throw std::invalid_argument(what);
}

void WritePattern(TBytes& out, const TXmPattern& p, int channels)
{
    Check(p.Rows >= 1 && p.Rows <= 256 && p.Channels == channels, "pattern size");
    TBytes packed;
    for (int r = 0; r < p.Rows; ++r) {
        for (int c = 0; c < channels; ++c) {
            const TXmCell& cell = p.At(r, c);
            Check(cell.Note <= XmKeyOff, "note out of range");
            const uint8_t fields[5] = {cell.Note, cell.Instrument, cell.Volume, cell.Effect, cell.Param};
            uint8_t mask = 0;
            for (int i = 0; i < 5; ++i)
                if (fields[i] != 0)
                    mask |= static_cast<uint8_t>(1 << i);
            packed.U8(0x80 | mask);
            for (int i = 0; i < 5; ++i)
                if (fields[i] != 0)
                    packed.U8(fields[i]);
        }
    }
    Check(packed.Data.size() <= 0xFFFF, "pattern data too large");
    out.U32(9);
    out.U8(0);
    out.U16(static_cast<unsigned>(p.Rows));
    out.U16(static_cast<unsigned>(packed.Data.size()));
    out.Data.insert(out.Data.end(), packed.Data.begin(), packed.Data.end());
}

void WriteEnvelopePoints(TBytes& out, const TXmEnvelope& e)
{
    Check(e.Points.size() <= 12, "too many envelope points");
    for (size_t i = 0; i < 12; ++i) {
        out.U16(i < e.Points.size() ? e.Points[i].first : 0);
        out.U16(i < e.Points.size() ? e.Points[i].second : 0);
    }
}

uint8_t EnvelopeFlags(const TXmEnvelope& e)
{
    if (!e.Enabled())
        return 0;
    return static_cast<uint8_t>(1 | (e.Sustain >= 0 ? 2 : 0) | (e.LoopStart >= 0 ? 4 : 0));
}

void WriteInstrument(TBytes& out, const TXmInstrument& ins)
{
    const TXmSample& s = ins.Sample;
    Check(s.LoopStart + s.LoopLength <= s.Data.size(), "sample loop outside the sample");
    size_t start = out.Data.size();
    out.U32(263);
    out.Text(ins.Name, 22);
    out.U8(0);
    out.U16(1);
    out.U32(40);
    out.Zeros(96); // every note plays sample 0
    WriteEnvelopePoints(out, ins.VolumeEnvelope);
    WriteEnvelopePoints(out, ins.PanningEnvelope);
    out.U8(static_cast<unsigned>(ins.VolumeEnvelope.Points.size()));
    out.U8(static_cast<unsigned>(ins.PanningEnvelope.Points.size()));
    for (const TXmEnvelope* e : {&ins.VolumeEnvelope, &ins.PanningEnvelope}) {
        out.U8(static_cast<unsigned>(std::max(e->Sustain, 0)));
        out.U8(static_cast<unsigned>(std::max(e->LoopStart, 0)));
        out.U8(static_cast<unsigned>(std::max(e->LoopEnd, 0)));
    }
    out.U8(EnvelopeFlags(ins.VolumeEnvelope));
    out.U8(EnvelopeFlags(ins.PanningEnvelope));
    out.U8(ins.VibratoType);
    out.U8(ins.VibratoSweep);
    out.U8(ins.VibratoDepth);
    out.U8(ins.VibratoRate);
    out.U16(ins.Fadeout);
    out.Zeros(263 - (out.Data.size() - start));

    // Lengths and loop points count bytes: two per 16-bit sample.
    out.U32(static_cast<uint32_t>(s.Data.size() * 2));
    out.U32(s.LoopStart * 2);
    out.U32(s.LoopLength * 2);
    out.U8(s.Volume);
    out.U8(static_cast<uint8_t>(s.Finetune));
    out.U8(0x10 | (s.LoopLength > 0 ? 1 : 0));
    out.U8(s.Panning);
    out.U8(static_cast<uint8_t>(s.RelativeNote));
    out.U8(0);
    out.Text(s.Name, 22);

    int16_t previous = 0;
    for (int16_t v : s.Data) {
        out.U16(static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(previous)));
        previous = v;
    }
}

} // namespace

std::vector<uint8_t> WriteXm(const TXmModule& m)
{
    Check(!m.Orders.empty() && m.Orders.size() <= 256, "song length");
    Check(m.Channels >= 2 && m.Channels <= 32 && m.Channels % 2 == 0, "channel count");
    Check(!m.Patterns.empty() && m.Patterns.size() <= 256, "pattern count");
    Check(m.Instruments.size() <= 128, "instrument count");
    Check(m.Speed >= 1 && m.Speed < 32 && m.Bpm >= 32 && m.Bpm <= 255, "tempo");
    Check(m.Restart >= 0 && m.Restart < static_cast<int>(m.Orders.size()), "restart order");
    for (uint8_t o : m.Orders)
        Check(o < m.Patterns.size(), "order names a missing pattern");

    TBytes out;
    out.Text("Extended Module: ", 17);
    out.Text(m.Name, 20);
    out.U8(0x1A);
    out.Text("Zephyrion", 20);
    out.U16(0x0104);
    out.U32(276);
    out.U16(static_cast<unsigned>(m.Orders.size()));
    out.U16(static_cast<unsigned>(m.Restart));
    out.U16(static_cast<unsigned>(m.Channels));
    out.U16(static_cast<unsigned>(m.Patterns.size()));
    out.U16(static_cast<unsigned>(m.Instruments.size()));
    out.U16(1); // linear frequency table
    out.U16(static_cast<unsigned>(m.Speed));
    out.U16(static_cast<unsigned>(m.Bpm));
    for (size_t i = 0; i < 256; ++i)
        out.U8(i < m.Orders.size() ? m.Orders[i] : 0);
    for (const TXmPattern& p : m.Patterns)
        WritePattern(out, p, m.Channels);
    for (const TXmInstrument& ins : m.Instruments)
        WriteInstrument(out, ins);
    return out.Data;
}
