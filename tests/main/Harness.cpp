#include "Harness.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

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

// An 8-bit bottom-up BMP of one colour (a one-entry palette keeps the pack
// small and quick to read).
std::string SolidBmp(int32_t w, int32_t h, uint32_t rgb)
{
    const uint32_t rowBytes = (static_cast<uint32_t>(w) + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(h);
    const uint32_t dataOffset = 54 + 4;
    std::string b = "BM";
    Put32(b, dataOffset + dataSize);
    Put32(b, 0);
    Put32(b, dataOffset);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, 8);
    Put32(b, 0);
    Put32(b, dataSize);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 1);   // colours in the palette
    Put32(b, 0);
    Put32(b, rgb & 0x00FFFFFF);   // blue, green, red, 0
    b.append(dataSize, '\0');
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
    // Written once into the build folder and shared by every test program;
    // a program that finds it missing writes its own copy and renames it in.
    static const std::string path = [] {
        const std::string folder = std::string(ZEPHYRION_BINARY_DIR) + "/tests/main-harness";
        const std::string p = folder + "/Data.pp";
        std::string pack;
        for (int e = 0; e < PackEntryCount; ++e) {
            const std::string bmp = SolidBmp(PackSizes[e].Width, PackSizes[e].Height, PackColor(e));
            Put32(pack, static_cast<uint32_t>(bmp.size()));
            pack += bmp;
        }
        std::error_code error;
        if (std::filesystem::file_size(p, error) == pack.size())
            return p;
        std::filesystem::create_directories(folder, error);
        const std::string temp = p + "." + std::to_string(getpid());
        std::ofstream(temp, std::ios::binary) << pack;
        std::filesystem::rename(temp, p, error);
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
