#include "Harness.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "graphics/AssetPack.h"
#include "services/DXSounds.h"
#include "services/FMOD.h"
#include "services/Options.h"
#include "tools/art/ArtSizes.h"

namespace {

void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A 24-bit bottom-up BMP of one colour.
std::string SolidBmp(int32_t w, int32_t h, uint32_t rgb)
{
    const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(h);
    std::string b = "BM";
    Put32(b, 54 + dataSize);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);
    Put32(b, dataSize);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    std::string row(rowBytes, '\0');
    for (int32_t x = 0; x < w; ++x) {
        row[x * 3 + 0] = static_cast<char>(rgb & 0xFF);
        row[x * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
        row[x * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
    }
    for (int32_t y = 0; y < h; ++y)
        b += row;
    return b;
}

std::string MakeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zephyrion-main-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

// A settings file with the default options in the given mode and the default
// table, written once per program (saving syncs to disk, which is slow) and
// copied into each harness's folder.
const std::string& ConfigTemplate(bool windowed)
{
    static std::string paths[2];
    std::string& path = paths[windowed ? 1 : 0];
    if (path.empty()) {
        static const std::string folder = MakeTempFolder();
        static const bool cleanup = (std::atexit([] { std::filesystem::remove_all(folder); }), true);
        (void)cleanup;
        path = folder + (windowed ? "/window.cfg" : "/full.cfg");
        const std::string saved = ConfigFileName;
        ConfigFileName = path;
        GameOptions = TOptions{};
        GameOptions.Windowed = windowed;
        ResetHiScores();
        SaveConfig();
        ConfigFileName = saved;
    }
    return path;
}

} // namespace

uint32_t PackColor(int entry)
{
    // Never magenta or black, the two transparent colours.
    return (static_cast<uint32_t>(entry + 1) << 16) | 0x4080;
}

const std::string& HarnessPackPath()
{
    static const std::string path = [] {
        static const std::string folder = MakeTempFolder();
        const std::string p = folder + "/Data.pp";
        std::ofstream out(p, std::ios::binary);
        for (int e = 0; e < PackEntryCount; ++e) {
            const std::string bmp = SolidBmp(PackSizes[e].Width, PackSizes[e].Height, PackColor(e));
            std::string len;
            Put32(len, static_cast<uint32_t>(bmp.size()));
            out << len << bmp;
        }
        std::atexit([] { std::filesystem::remove_all(folder); });
        return p;
    }();
    return path;
}

THarness::THarness(THarnessOptions options) : Dir(MakeTempFolder())
{
    GameState = StateIntro;
    AnimCounter = 0;
    ExitConfirmed = false;
    MouseX = MouseY = 0;
    MouseMode = 0;
    FormActive = 0;
    FirstCreate = true;
    SkipNextMinimize = false;
    AssetPackPath = HarnessPackPath();
    // The settings file decides the mode the first run starts in.
    std::filesystem::copy_file(ConfigTemplate(options.Windowed), Dir + "/Config.cfg");
    ConfigFileName = Dir + "/Config.cfg";
    MusicFolder = Dir + "/sound/";
    GameOptions = TOptions{};
    Form = std::make_unique<TForm1>();
    if (options.Create)
        Form->FormCreate();
}

THarness::~THarness()
{
    Form.reset();
    std::filesystem::remove_all(Dir);
}

void THarness::Frame()
{
    P.Clock.Advance(16);
    Form->OnIdle();
}

void THarness::Frames(int n)
{
    for (int i = 0; i < n; ++i)
        Frame();
}

void THarness::ClickAt(int32_t x, int32_t y)
{
    MoveMouse(x, y);
    Form->OnMouseDown(1, x, y);
}

void THarness::SkipIntro()
{
    ClickHere();
    Frame();
}

uint32_t THarness::Pixel(int32_t x, int32_t y) const
{
    return BackBuffer->GetPixel(x, y);
}

uint32_t THarness::Shown(int32_t x, int32_t y) const
{
    return P.Display.LastFrame.at(static_cast<size_t>(y) * 800 + x);
}

int THarness::ClickSounds() const
{
    // The click effect's main buffer is the first one made; its plays go
    // to copies of it.
    int n = 0;
    for (int b : P.Mixer.PlayLog)
        if (b == 0 || P.Mixer.Buffers.at(b).Source == 0)
            ++n;
    return n;
}

std::vector<std::string> THarness::TakeTexts()
{
    std::vector<std::string> texts;
    for (const auto& c : P.Text.Calls)
        texts.push_back(c.Text);
    P.Text.Calls.clear();
    return texts;
}
