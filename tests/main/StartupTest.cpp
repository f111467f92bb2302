// Start-up, shutdown, the fatal path of an unreadable pack and "play.url".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "Harness.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "services/DXSounds.h"
#include "services/Options.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Startup, FirstStartWithoutSettingsOpensAWindowWithMusic)
{
    THarness h({true, false});
    const std::string cfg = h.Folder() + "/Config.cfg";
    std::filesystem::remove(cfg);
    h.Form->FormCreate();
    EXPECT_TRUE(std::filesystem::exists(cfg));
    EXPECT_EQ(GameState, StateIntro);
    ASSERT_FALSE(h.P.Display.ModeSets.empty());
    EXPECT_TRUE(h.P.Display.ModeSets.back());
    ASSERT_NE(BackBuffer, nullptr);
    EXPECT_EQ(BackBuffer->Width(), 800);
    EXPECT_EQ(SnapshotSurface->Height(), 600);
    EXPECT_NE(MenuSheets[SheetMenuBackground], nullptr);
    EXPECT_NE(MainMenuButtons, nullptr);
    EXPECT_EQ(FormActive, -1);
    EXPECT_TRUE(h.P.Keyboard.Acquired);
    EXPECT_TRUE(h.P.Mouse.Acquired);
    ASSERT_FALSE(h.P.Music.Loaded.empty());
    EXPECT_EQ(h.P.Music.Loaded.back(), h.Folder() + "/sound/1.xm");
    EXPECT_EQ(DesktopWidth, 1920);
    EXPECT_EQ(DesktopHeight, 1080);
}

TEST(Startup, TheSavedCountryAndSoundSwitchTakeEffectOnceTheDisplayIsUp)
{
    // The country goes into the options menu's field, which the first pack
    // load creates: it must be filled after the display is set up.
    THarness h({true, false});
    std::string file{1, 1, 0, 0x3B}; // windowed, music on, sound off, the boss key
    for (const std::string& text : {std::string("Norway"), std::string()}) {
        file.push_back(static_cast<char>(text.size()));
        for (char c : text)
            file.push_back(static_cast<char>(~c));
    }
    file.resize(file.size() + 4 + 9 * 5, '\0'); // the first score, then nine empty entries
    std::ofstream(h.Folder() + "/Config.cfg", std::ios::binary) << file;
    h.Form->FormCreate();
    ASSERT_NE(CountryEdit, nullptr);
    EXPECT_EQ(CountryEdit->Text, "Norway");
    EXPECT_EQ(GameOptions.Country, "Norway");
    EXPECT_FALSE(GameOptions.SoundOn);
    EXPECT_EQ(EffectVolume(MenuClick), -10000) << "the effects are silenced";
}

TEST(Startup, SavedFullScreenModeIsTheFirstMode)
{
    THarness h({false});
    EXPECT_FALSE(GameOptions.Windowed);
    EXPECT_FALSE(h.P.Display.ModeSets.back());
    h.Frame();
    EXPECT_EQ(h.P.Display.Presents, 1);
}

TEST(Startup, MaximiseGoesFullScreenAndKeepsEverythingElse)
{
    THarness h;
    h.SkipIntro();
    MainMenuButtons->SetSelected(3);
    TDDBtnCollection* widgets = MainMenuButtons;
    h.Form->OnMaximize();
    EXPECT_FALSE(GameOptions.Windowed);
    EXPECT_FALSE(h.P.Display.ModeSets.back());
    EXPECT_EQ(MainMenuButtons, widgets);
    EXPECT_EQ(MainMenuButtons->Selected, 3);
    EXPECT_EQ(GameState, StateMainMenu);
    h.Frame();
    EXPECT_EQ(h.Shown(300, 300), MenuSheetColor(SheetMenuBackground));
}

TEST(Startup, ShutdownReleasesEverything)
{
    THarness h;
    h.SkipIntro();
    MainMenuButtons->SetSelected(0);
    MainMenuButtons->Done = true;
    ApplyMenuChoice();
    ASSERT_NE(CurrentGame, nullptr);
    h.Form->FormDestroy();
    EXPECT_EQ(CurrentGame, nullptr);
    EXPECT_EQ(DDraw, nullptr);
    EXPECT_EQ(BackBuffer, nullptr);
    EXPECT_EQ(SnapshotSurface, nullptr);
    EXPECT_EQ(MenuSheets[SheetMenuBackground], nullptr);
    EXPECT_EQ(MainMenuButtons, nullptr);
    EXPECT_FALSE(h.P.Keyboard.Acquired);
    EXPECT_FALSE(h.P.Mouse.Acquired);
}

TEST(Startup, UnreadablePackEndsTheProgramWithItsMessageAndKeepsTheSettings)
{
    const struct {
        const char* Name;
        std::string Pack;
    } cases[] = {
        {"missing", "/nonexistent/Data.pp"},
        {"short", "short"},
    };
    for (const auto& c : cases) {
        THarness h({true, false});
        std::string pack = c.Pack;
        if (pack == "short") {
            pack = h.Folder() + "/Data.pp";
            const std::string whole = ReadFile(HarnessPackPath());
            std::ofstream(pack, std::ios::binary) << whole.substr(0, whole.size() / 2);
        }
        AssetPackPath = pack;
        const std::string cfg = h.Folder() + "/Config.cfg";
        const std::string before = ReadFile(cfg);
        EXPECT_EQ(RunMainWindow(), 1) << c.Name;
        ASSERT_EQ(h.P.Display.Errors.size(), 1u) << c.Name;
        EXPECT_EQ(h.P.Display.Errors[0].first, "Zephyrion");
        EXPECT_FALSE(h.P.Display.Errors[0].second.empty());
        EXPECT_EQ(ReadFile(cfg), before) << c.Name;
        EXPECT_EQ(DDraw, nullptr) << "the window was shut down";
        AssetPackPath = HarnessPackPath();
    }
}

struct ShortcutCase {
    const char* Text;
    const char* Address;
};

const ShortcutCase ShortcutCases[] = {
    ShortcutCase{"[InternetShortcut]\r\nURL=https://zephyrion.example/play\r\n", "https://zephyrion.example/play"},
    ShortcutCase{"[InternetShortcut]\nIconIndex=0\nurl=http://a.example/x?y=1&z=2\n", "http://a.example/x?y=1&z=2"},
    ShortcutCase{"  URL=http://a.example/  \r\n", "http://a.example/"},
    ShortcutCase{"URL=HTTPS://A.EXAMPLE", "HTTPS://A.EXAMPLE"},
    ShortcutCase{"", ""},
    ShortcutCase{"[InternetShortcut]\r\n", ""},
    ShortcutCase{"URL=file:///etc/passwd\n", ""},
    ShortcutCase{"URL=--help\n", ""},
    ShortcutCase{"URL=javascript:alert(1)\n", ""},
    ShortcutCase{"URL=/usr/bin/xterm\n", ""},
    ShortcutCase{"URL=http://a.example/ -e sh\n", ""},
    ShortcutCase{"URL=http://\n", ""}, ShortcutCase{"URL=https://\n", ""}, ShortcutCase{"URL=http://a\n", "http://a"},
    ShortcutCase{"URL=http://a.example/\x1b[2J\n", ""},
    ShortcutCase{"BASEURL=http://a.example/\n", ""}};

TEST(Startup, ShortcutOpensOnlyAPlainWebAddress)
{
    for (const ShortcutCase& param : ShortcutCases) {
        SCOPED_TRACE("row " + std::to_string(&param - ShortcutCases));
        EXPECT_EQ(ShortcutAddress(param.Text), param.Address);
    }
}

TEST(Startup, PlayShortcutIsOpenedWhenItIsThere)
{
    THarness h({true, false});
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(h.Folder());
    OpenPlayShortcut();
    EXPECT_TRUE(h.P.Opener.Opened.empty());
    std::ofstream("play.url") << "[InternetShortcut]\r\nURL=https://zephyrion.example/more\r\n";
    OpenPlayShortcut();
    std::filesystem::current_path(saved);
    ASSERT_EQ(h.P.Opener.Opened.size(), 1u);
    EXPECT_EQ(h.P.Opener.Opened[0], "https://zephyrion.example/more");
}

} // namespace
