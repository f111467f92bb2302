// Options and the table of the ten best results in "Config.cfg".
//
// The file has no header: three switch bytes (windowed, music, sound — music
// comes before sound), the boss key's low byte, the country text, then ten
// entries of a name text and a 4-byte little-endian signed score. A text is a
// length byte followed by that many complemented bytes.
#include "services/Options.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "graphics/DXCtrl.h"
#include "graphics/Draw.h"
#include "platform/Files.h"
#include "services/DXSounds.h"

TOptions GameOptions;
THiScores HiScores[HiScoreCount];
std::string ConfigFileName = "Config.cfg";
bool (*BeforeConfigReplace)(const std::string& tempPath) = nullptr;

namespace {

constexpr size_t MaxTextBytes = 255;

// Missing means the system says so; a file we merely cannot look at counts as
// present, so that a first-start save never replaces it.
bool ConfigFileMissing() { return Files().Missing(ConfigFileName); }

void WriteScore(int32_t score, std::vector<uint8_t>& out)
{
    const uint32_t v = static_cast<uint32_t>(score);
    out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}

std::vector<uint8_t> ConfigContent()
{
    std::vector<uint8_t> out;
    out.push_back(GameOptions.Windowed ? 1 : 0);
    out.push_back(GameOptions.MusicOn ? 1 : 0);
    out.push_back(GameOptions.SoundOn ? 1 : 0);
    out.push_back(uint8_t(GameOptions.BossKey & 0xFF));
    WriteCfgString(GameOptions.Country, out);
    for (const THiScores& entry : HiScores) {
        WriteCfgString(entry.Name, out);
        WriteScore(entry.Score, out);
    }
    return out;
}

// The new table reaches the disk in full before it takes the old one's name,
// so a crash at any moment leaves either the old file or the new one.
bool ReplaceConfigFile() { return Files().WriteAtomically(ConfigFileName, ConfigContent(), BeforeConfigReplace); }

} // namespace

uint8_t TCfgReader::Byte()
{
    if (Pos >= Data.size()) {
        Ended = true;
        return 0;
    }
    return Data[Pos++];
}

int32_t TCfgReader::Score()
{
    if (Data.size() - Pos < 4) {
        Pos = Data.size();
        Ended = true;
        return 0;
    }
    const uint8_t* b = Data.data() + Pos;
    Pos += 4;
    return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

std::string TCfgReader::Text()
{
    const size_t n = Byte();
    std::string text;
    text.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (Pos >= Data.size()) {
            Ended = true;
            break;
        }
        text.push_back(static_cast<char>(~Data[Pos++]));
    }
    return text;
}

std::string ReadCfgString(TCfgReader& reader) { return reader.Text(); }

void WriteCfgString(const std::string& text, std::vector<uint8_t>& out)
{
    const size_t n = std::min(text.size(), MaxTextBytes);
    out.push_back(static_cast<uint8_t>(n));
    for (size_t i = 0; i < n; ++i)
        out.push_back(static_cast<uint8_t>(~static_cast<uint8_t>(text[i])));
}

void ResetHiScores()
{
    for (int i = 0; i < HiScoreCount; ++i) {
        HiScores[i].Name = "Anonymous";
        HiScores[i].Score = (10 - i) * 100;
    }
}

void LoadConfig()
{
    if (ConfigFileMissing())
        SaveConfig();

    // Everything is read into a copy first: a damaged or unreadable file
    // leaves the start values and the default table, and stays on disk as it
    // is until the next save.
    bool loaded = false;
    std::vector<uint8_t> bytes;
    if (Files().ReadWhole(ConfigFileName, bytes)) {
        TCfgReader file{bytes};
        TOptions options;
        THiScores table[HiScoreCount];
        options.Windowed = file.Byte() == 1;
        options.MusicOn = file.Byte() == 1;
        options.SoundOn = file.Byte() == 1;
        options.BossKey = file.Byte();
        options.Country = file.Text();
        for (THiScores& entry : table) {
            entry.Name = file.Text();
            entry.Score = file.Score();
        }
        loaded = !file.Ended;
        if (loaded) {
            GameOptions = std::move(options);
            std::move(std::begin(table), std::end(table), std::begin(HiScores));
        }
    }
    if (!loaded) {
        GameOptions = TOptions{};
        ResetHiScores();
    }
}

void ApplyConfig()
{
    SetSoundOn(GameOptions.SoundOn);
    // The options menu exists only after the first pack load.
    if (CountryEdit) {
        CountryEdit->Text = GameOptions.Country.substr(0, MaxTextBytes);
        CountryEdit->Length = static_cast<uint8_t>(CountryEdit->Text.size());
    }
}

void SaveConfig()
{
    // A first save starts a fresh table; later saves take the country the
    // player typed into the options menu.
    if (ConfigFileMissing())
        ResetHiScores();
    else if (CountryEdit)
        GameOptions.Country = CountryEdit->Text;
    // A failed save keeps the old file; the game carries on with the table in memory.
    ReplaceConfigFile();
}

void InsertHiScore(const std::string& name, int32_t score)
{
    HiScores[HiScoreCount - 1] = THiScores{name, score};
    // Exchange sort: a result passes only strictly lower scores, so it lands
    // below every equal one, and a table stored out of order is put in order.
    for (int i = 0; i < HiScoreCount; ++i)
        for (int j = HiScoreCount - 1; j > i; --j)
            if (HiScores[j - 1].Score < HiScores[j].Score)
                std::swap(HiScores[j - 1], HiScores[j]);
    SaveConfig();
}

void DrawHiScores(TSurface* target)
{
    constexpr int32_t Height = 24;
    DrawTextShadowed(target, 270, 124, "Place", Height, 16, ColorBrightGreen);
    DrawTextShadowed(target, 450, 124, "Name", Height, 14, ColorBrightGreen);
    DrawTextShadowed(target, 640, 124, "Score", Height, 16, ColorBrightGreen);
    for (int k = 1; k <= HiScoreCount; ++k) {
        const int32_t y = 160 + 36 * (k - 1);
        const uint32_t color = k == 1 ? ColorBrightGreen : ColorDarkGreen;
        const THiScores& entry = HiScores[k - 1];
        DrawTextShadowed(target, 310, y, std::to_string(k), Height, 16, color);
        DrawTextShadowed(target, 410, y, entry.Name, Height, 14, color);
        DrawTextShadowed(target, 640, y, std::to_string(entry.Score), Height, 16, color);
    }
}
