// A headless main window for tests (header only, so any test program can
// include "main/Harness.h"): the whole shell over the fake platform,
// with a small asset pack in the real format (every picture one plain colour,
// so a test can tell from a pixel which picture is drawn there), its own
// settings file and music folder, a clock the test moves, and helpers that
// send keys and mouse events, run frames and read what was drawn.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "fakes/Fakes.h"
#include "main/Main.h"
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "services/DXSounds.h"
#include "services/FMOD.h"
#include "services/Options.h"
#include "tools/art/ArtSizes.h"

// The colour of every pixel of pack entry n in the harness's pack
// (game sheets 0..59, menu sheets 60..101).
inline uint32_t PackColor(int entry);
inline uint32_t MenuSheetColor(int sheet) { return PackColor(60 + sheet); }
inline uint32_t GameSheetColor(int sheet) { return PackColor(sheet); }

// The path of the harness's pack, written once per test program.
inline const std::string& HarnessPackPath();

struct THarnessOptions {
    bool Windowed = true; // the display mode the first run starts in
    bool Create = true;   // run the window's creation at once
};

class THarness {
public:
    explicit THarness(THarnessOptions options = {});
    ~THarness();
    THarness(const THarness&) = delete;
    THarness& operator=(const THarness&) = delete;

    // One idle call without moving the clock (throttled unless time passed).
    void Idle() { Form->OnIdle(); }
    // Moves the clock 16 ms on and runs one idle call: one drawn frame.
    void Frame();
    void Frames(int n);
    void Key(uint16_t vk, bool alt = false) { Form->OnKeyDown(vk, alt); }
    void MoveMouse(int32_t x, int32_t y) { Form->OnMouseMove(x, y); }
    // A click where the mouse is now, and a move there followed by a click.
    void ClickHere() { Form->OnMouseDown(1, MouseX, MouseY); }
    void ClickAt(int32_t x, int32_t y);
    // Ends the intro with a click and draws the main menu once.
    void SkipIntro();

    // Pixels of the back buffer and of the last presented frame.
    uint32_t Pixel(int32_t x, int32_t y) const;
    uint32_t Shown(int32_t x, int32_t y) const;
    // How often the menu click effect has been played so far.
    int ClickSounds() const;
    // Texts drawn since the last call (the fake text renderer's record).
    std::vector<std::string> TakeTexts();

    const std::string& Folder() const { return Dir; }

    FakePlatform P;
    std::unique_ptr<TForm1> Form;

private:
    std::string Dir;
};

namespace harness_detail {

inline void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// An 8-bit bottom-up BMP of one colour (a one-entry palette keeps the pack
// small and quick to read).
inline std::string SolidBmp(int32_t w, int32_t h, uint32_t rgb)
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
    Put32(b, 1); // colours in the palette
    Put32(b, 0);
    Put32(b, rgb & 0x00FFFFFF); // blue, green, red, 0
    b.append(dataSize, '\0');
    return b;
}

inline std::string MakeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zephyrion-main-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

// A settings file with the default options in the given mode and the default
// table, written once per program (saving syncs to disk, which is slow) and
// copied into each harness's folder.
inline const std::string& ConfigTemplate(bool windowed)
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

} // namespace harness_detail

inline uint32_t PackColor(int entry)
{
    // Never magenta or black, the two transparent colours.
    return (static_cast<uint32_t>(entry + 1) << 16) | 0x4080;
}

inline const std::string& HarnessPackPath()
{
    // Written once into the build folder and shared by every test program;
    // a program that finds it missing writes its own copy and renames it in.
    static const std::string path = [] {
        const std::string folder = std::string(ZEPHYRION_BINARY_DIR) + "/tests/main-harness";
        const std::string p = folder + "/Data.pp";
        std::string pack;
        for (int e = 0; e < PackEntryCount; ++e) {
            const std::string bmp = harness_detail::SolidBmp(PackSizes[e].Width, PackSizes[e].Height, PackColor(e));
            harness_detail::Put32(pack, static_cast<uint32_t>(bmp.size()));
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

inline THarness::THarness(THarnessOptions options) : Dir(harness_detail::MakeTempFolder())
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
    std::filesystem::copy_file(harness_detail::ConfigTemplate(options.Windowed), Dir + "/Config.cfg");
    ConfigFileName = Dir + "/Config.cfg";
    MusicFolder = Dir + "/sound/";
    GameOptions = TOptions{};
    Form = std::make_unique<TForm1>();
    if (options.Create)
        Form->FormCreate();
}

inline THarness::~THarness()
{
    Form.reset();
    std::filesystem::remove_all(Dir);
}

inline void THarness::Frame()
{
    P.Clock.Advance(16);
    Form->OnIdle();
}

inline void THarness::Frames(int n)
{
    for (int i = 0; i < n; ++i)
        Frame();
}

inline void THarness::ClickAt(int32_t x, int32_t y)
{
    MoveMouse(x, y);
    Form->OnMouseDown(1, x, y);
}

inline void THarness::SkipIntro()
{
    ClickHere();
    Frame();
}

inline uint32_t THarness::Pixel(int32_t x, int32_t y) const
{
    return BackBuffer->GetPixel(x, y);
}

inline uint32_t THarness::Shown(int32_t x, int32_t y) const
{
    return P.Display.LastFrame.at(static_cast<size_t>(y) * 800 + x);
}

inline int THarness::ClickSounds() const
{
    // The click effect's main buffer is the first one made; its plays go
    // to copies of it.
    int n = 0;
    for (int b : P.Mixer.PlayLog)
        if (b == 0 || P.Mixer.Buffers.at(b).Source == 0)
            ++n;
    return n;
}

inline std::vector<std::string> THarness::TakeTexts()
{
    std::vector<std::string> texts;
    for (const auto& c : P.Text.Calls)
        texts.push_back(c.Text);
    P.Text.Calls.clear();
    return texts;
}

// A harness at the main menu with a game running in the background.
struct MenuHarness : THarness {
    MenuHarness()
    {
        SkipIntro();
        MainMenuButtons->SetSelected(0);
        MainMenuButtons->Done = true;
        ApplyMenuChoice();
        CurrentGame->Phase = PhasePlay;
        GameState = StateMainMenu;
        MainMenuButtons->Done = false;
    }
    // Selections that make a confirm lead somewhere visible.
    void SelectSomewhereVisible()
    {
        MainMenuButtons->SetSelected(2);
        HighScoreButtons->SetSelected(2);
        HelpButtons->SetSelected(1);
        OptionsMenu->Selected = 4;
        YesNoDialog->FirstSelected = false;
        OkCancelDialog->FirstSelected = false;
    }
};
