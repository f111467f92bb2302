#include "Composer.h"

#include <sstream>
#include <stdexcept>

int Note(const std::string& name)
{
    static const int semis[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::invalid_argument("bad note " + name);
    int semi = semis[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') {
        ++semi;
        ++i;
    } else if (name[i] == 'b') {
        --semi;
        ++i;
    }
    int octave = std::stoi(name.substr(i));
    int note = octave * 12 + semi + 1;
    if (note < 1 || note > 96)
        throw std::invalid_argument("note out of range " + name);
    return note;
}

TChord Chord(const std::string& text)
{
    std::istringstream in(text);
    std::string root, tone;
    in >> root;
    if (root.empty() || root.back() != ':')
        throw std::invalid_argument("bad chord " + text);
    TChord c{Note(root.substr(0, root.size() - 1)), {}};
    while (in >> tone)
        c.Tones.push_back(Note(tone));
    return c;
}

void Put(TXmPattern& p, int row, int channel, int note, int instrument, int volume, int pan)
{
    if (row < 0 || row >= p.Rows)
        return;
    TXmCell& c = p.At(row, channel);
    c.Note = static_cast<uint8_t>(note);
    c.Instrument = static_cast<uint8_t>(instrument);
    c.Volume = Vol(volume);
    if (pan >= 0) {
        c.Effect = 0x08;
        c.Param = static_cast<uint8_t>(pan);
    }
}

void PutBar(TXmPattern& p, int channel, int bar, const std::string& steps, int instrument, int volume, int pan)
{
    std::istringstream in(steps);
    std::string step;
    int row = bar * RowsPerBar;
    int count = 0;
    while (in >> step) {
        if (step == "-") {
            p.At(row, channel).Note = XmKeyOff;
        } else if (step != ".") {
            int v = volume;
            size_t colon = step.find(':');
            if (colon != std::string::npos) {
                v = std::stoi(step.substr(colon + 1));
                step = step.substr(0, colon);
            }
            Put(p, row, channel, Note(step), instrument, v, pan);
        }
        ++row;
        ++count;
    }
    if (count != RowsPerBar)
        throw std::invalid_argument("a bar needs sixteen steps: " + steps);
}

void Echo(TXmPattern& p, int from, int to, int delay, int volume, int pan)
{
    for (int r = p.Rows - 1; r >= 0; --r) {
        const TXmCell src = p.At(r, from);
        if (src.Note == 0 || r + delay >= p.Rows)
            continue;
        TXmCell& dst = p.At(r + delay, to);
        dst = src;
        if (src.Note != XmKeyOff) {
            int v = src.Volume >= 0x10 && src.Volume <= 0x50 ? src.Volume - 0x10 : 64;
            dst.Volume = Vol(v * volume / 64);
            dst.Effect = 0x08;
            dst.Param = static_cast<uint8_t>(pan);
        }
    }
}
