// "Config.cfg": its byte layout, damaged files, the atomic save and the table
// of the ten best results.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "graphics/DXCtrl.h"
#include "game/Game.h"
#include "graphics/Draw.h"
#include "main/Globals.h"
#include "services/Options.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

void AppendText(Bytes& out, const std::string& text)
{
    out.push_back(static_cast<uint8_t>(text.size()));
    for (char c : text)
        out.push_back(static_cast<uint8_t>(~static_cast<uint8_t>(c)));
}

void AppendScore(Bytes& out, int32_t score)
{
    uint32_t v = static_cast<uint32_t>(score);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct Entry {
    std::string Name;
    int32_t Score;
};

std::vector<Entry> DefaultTable()
{
    std::vector<Entry> t;
    for (int i = 0; i < 10; ++i)
        t.push_back({"Anonymous", (10 - i) * 100});
    return t;
}

// A file as the game lays it out, built by hand.
Bytes MakeFile(uint8_t windowed, uint8_t music, uint8_t sound, uint8_t bossKey, const std::string& country,
               const std::vector<Entry>& table)
{
    Bytes out{windowed, music, sound, bossKey};
    AppendText(out, country);
    for (const Entry& e : table) {
        AppendText(out, e.Name);
        AppendScore(out, e.Score);
    }
    return out;
}

std::vector<Entry> TableInMemory()
{
    std::vector<Entry> t;
    for (const THiScores& h : HiScores)
        t.push_back({h.Name, h.Score});
    return t;
}

void SetTable(const std::vector<Entry>& t)
{
    for (int i = 0; i < HiScoreCount; ++i)
        HiScores[i] = THiScores{t[i].Name, t[i].Score};
}

bool operator==(const Entry& a, const Entry& b) { return a.Name == b.Name && a.Score == b.Score; }
void PrintTo(const Entry& e, std::ostream* os) { *os << e.Name << ":" << e.Score; }

class OptionsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/zephyrion-options-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        Folder = templ;
        SavedName = ConfigFileName;
        ConfigFileName = Folder + "/Config.cfg";
        GameOptions = TOptions{};
        for (THiScores& h : HiScores)
            h = THiScores{};
        BeforeConfigReplace = nullptr;
        SavedCountryEdit = CountryEdit;
        CountryEdit = nullptr;
    }
    void TearDown() override
    {
        ConfigFileName = SavedName;
        BeforeConfigReplace = nullptr;
        CountryEdit = SavedCountryEdit;
        GameOptions = TOptions{};
        std::error_code ec;
        fs::permissions(Folder, fs::perms::owner_all, ec);
        fs::remove_all(Folder, ec);
    }
    Bytes ReadFile() const
    {
        std::ifstream in(ConfigFileName, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void WriteFile(const Bytes& b) const
    {
        std::ofstream out(ConfigFileName, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    // Everything but the config file itself (temporary files left behind).
    std::vector<std::string> OtherFiles() const
    {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(Folder))
            if (e.path().filename() != "Config.cfg")
                names.push_back(e.path().filename());
        return names;
    }

    FakePlatform Fake;
    std::string Folder, SavedName;
    TDDEdit* SavedCountryEdit = nullptr;
};

TEST_F(OptionsFile, FirstStartWritesTheDefaultFileAndShowsTheDefaultTable)
{
    LoadConfig();

    Bytes expected{0x01, 0x01, 0x01, 0x7B, 0x00};
    for (int i = 0; i < 10; ++i) {
        Bytes anon{0x09, 0xBE, 0x91, 0x90, 0x91, 0x86, 0x92, 0x90, 0x8A, 0x8C};
        expected.insert(expected.end(), anon.begin(), anon.end());
        AppendScore(expected, (10 - i) * 100);
    }
    ASSERT_EQ(expected.size(), 145u);
    EXPECT_EQ(expected[15], 0xE8);
    EXPECT_EQ(expected[16], 0x03);
    EXPECT_EQ(ReadFile(), expected);
    EXPECT_EQ(TableInMemory(), DefaultTable());
    EXPECT_TRUE(GameOptions.Windowed);
    EXPECT_TRUE(GameOptions.MusicOn);
    EXPECT_TRUE(GameOptions.SoundOn);
    EXPECT_EQ(GameOptions.BossKey, 123);
    EXPECT_EQ(GameOptions.Country, "");
    EXPECT_TRUE(OtherFiles().empty());
}

TEST_F(OptionsFile, FlagBytesReadOnlyOneAsTrueAndAreWrittenBackAsOneOrZero)
{
    struct Case {
        uint8_t Windowed, Music, Sound;
    };
    // Distinct bytes per position show that music is stored before sound.
    const Case cases[] = {{1, 0, 2}, {2, 1, 0}, {0, 2, 1}, {0xFF, 1, 1}, {1, 0x80, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.Windowed) << " " << int(c.Music) << " " << int(c.Sound));
        WriteFile(MakeFile(c.Windowed, c.Music, c.Sound, 123, "", DefaultTable()));
        LoadConfig();
        EXPECT_EQ(GameOptions.Windowed, c.Windowed == 1);
        EXPECT_EQ(GameOptions.MusicOn, c.Music == 1);
        EXPECT_EQ(GameOptions.SoundOn, c.Sound == 1);
        SaveConfig();
        Bytes saved = ReadFile();
        ASSERT_GE(saved.size(), 3u);
        EXPECT_EQ(saved[0], c.Windowed == 1 ? 1 : 0);
        EXPECT_EQ(saved[1], c.Music == 1 ? 1 : 0);
        EXPECT_EQ(saved[2], c.Sound == 1 ? 1 : 0);
    }
}

TEST_F(OptionsFile, OnlyTheBossKeysLowByteIsKept)
{
    struct Case {
        int32_t Key;
        uint8_t Stored;
    };
    const Case cases[] = {{123, 0x7B}, {0x1A5, 0xA5}, {255, 0xFF}, {-1, 0xFF}, {0x100, 0x00}};
    LoadConfig();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Key);
        GameOptions.BossKey = c.Key;
        SaveConfig();
        Bytes saved = ReadFile();
        ASSERT_GE(saved.size(), 4u);
        EXPECT_EQ(saved[3], c.Stored);
        GameOptions.BossKey = 0;
        LoadConfig();
        EXPECT_EQ(GameOptions.BossKey, c.Stored);
    }
}

TEST_F(OptionsFile, TextsSurviveASaveAndALoadByteForByte)
{
    std::string high;
    for (int b = 128; b < 256; ++b)
        high.push_back(static_cast<char>(b));
    struct Case {
        std::string Text, Expected;
    };
    const Case cases[] = {
        {"", ""},
        {"Anna", "Anna"},
        {"ABCDEFGHIJ", "ABCDEFGHIJ"},
        {"\xC4rger \xF6l\xFF", "\xC4rger \xF6l\xFF"},
        {high, high},
        {std::string(255, 'x'), std::string(255, 'x')},
        {"|<b>&\"'", "|<b>&\"'"},
        {std::string(1, '\0') + "a", std::string(1, '\0') + "a"},
        // More than the file can hold: the first 255 bytes are stored.
        {std::string(200, 'a') + std::string(100, 'b'), std::string(200, 'a') + std::string(55, 'b')},
    };
    LoadConfig();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text.size());
        GameOptions.Country = c.Text;
        HiScores[4].Name = c.Text;
        SaveConfig();
        GameOptions.Country = "lost";
        HiScores[4].Name = "lost";
        LoadConfig();
        EXPECT_EQ(GameOptions.Country, c.Expected);
        EXPECT_EQ(HiScores[4].Name, c.Expected);
        EXPECT_EQ(HiScores[9].Score, 100);
        // On disk: the length byte, then the complement of each byte.
        Bytes saved = ReadFile();
        ASSERT_GE(saved.size(), 5 + c.Expected.size());
        EXPECT_EQ(saved[4], c.Expected.size());
        for (size_t i = 0; i < c.Expected.size(); ++i)
            ASSERT_EQ(saved[5 + i], static_cast<uint8_t>(~static_cast<uint8_t>(c.Expected[i]))) << i;
    }
}

TEST_F(OptionsFile, DamagedFilesLeaveTheStartValuesAndTheDefaultTableAndStayOnDisk)
{
    Bytes full = MakeFile(0, 0, 0, 0x41, "Norway", {{"Bob", 5}, {"Al", 4}, {"C", 3}, {"D", 2}, {"E", 1}, {"F", 0}, {"G", -1}, {"H", -2}, {"I", -3}, {"J", -4}});
    Bytes lyingLength = {0, 0, 0, 0x41, 200, 'a', 'b'};
    struct Case {
        const char* What;
        Bytes Content;
    };
    const Case cases[] = {
        {"empty", {}},
        {"flags only", {0, 0, 0}},
        {"all texts empty but one byte short", Bytes(54, 0)},
        {"country longer than the file", lyingLength},
        {"last score cut short", Bytes(full.begin(), full.end() - 1)},
        {"last name cut short", Bytes(full.begin(), full.end() - 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        WriteFile(c.Content);
        GameOptions = TOptions{false, false, false, 7, "old"};
        SetTable(std::vector<Entry>(10, {"junk", 1}));
        LoadConfig();
        EXPECT_TRUE(GameOptions.Windowed);
        EXPECT_TRUE(GameOptions.SoundOn);
        EXPECT_TRUE(GameOptions.MusicOn);
        EXPECT_EQ(GameOptions.BossKey, 123);
        EXPECT_EQ(GameOptions.Country, "");
        EXPECT_EQ(TableInMemory(), DefaultTable());
        EXPECT_EQ(ReadFile(), c.Content);
    }
    // The smallest whole file, every text empty, is 55 bytes and loads.
    WriteFile(Bytes(55, 0));
    LoadConfig();
    EXPECT_FALSE(GameOptions.Windowed);
    EXPECT_EQ(GameOptions.BossKey, 0);
    EXPECT_EQ(HiScores[0].Name, "");
    EXPECT_EQ(HiScores[0].Score, 0);
    // The whole file loads as stored.
    WriteFile(full);
    LoadConfig();
    EXPECT_EQ(GameOptions.Country, "Norway");
    EXPECT_EQ(GameOptions.BossKey, 0x41);
    EXPECT_EQ(HiScores[0].Name, "Bob");
    EXPECT_EQ(HiScores[9].Score, -4);
}

TEST_F(OptionsFile, AConfigThatCannotBeReadOrWrittenFallsBackAndIsNotDestroyed)
{
    // A folder in the file's place: it exists, but can be neither read nor replaced.
    fs::create_directory(ConfigFileName);
    fs::path inside = fs::path(ConfigFileName) / "keep";
    std::ofstream(inside) << "x";
    GameOptions.Country = "old";
    LoadConfig();
    EXPECT_EQ(GameOptions.Country, "");
    EXPECT_EQ(TableInMemory(), DefaultTable());
    SaveConfig();
    EXPECT_TRUE(fs::is_directory(ConfigFileName));
    EXPECT_TRUE(fs::exists(inside));
    EXPECT_TRUE(OtherFiles().empty());

    // A folder that does not exist: nothing can be created, the defaults hold.
    ConfigFileName = Folder + "/missing/Config.cfg";
    GameOptions.BossKey = 5;
    LoadConfig();
    EXPECT_EQ(GameOptions.BossKey, 123);
    EXPECT_EQ(TableInMemory(), DefaultTable());
}

TEST_F(OptionsFile, AShorterSaveLeavesNoTailOfTheOldFile)
{
    LoadConfig();
    GameOptions.Country = std::string(255, 'c');
    SaveConfig();
    ASSERT_EQ(ReadFile().size(), 145u + 255u);
    GameOptions.Country = "";
    HiScores[0].Name = "Al";
    SaveConfig();
    EXPECT_EQ(ReadFile().size(), 145u - 7u);
    HiScores[0].Name = "x";
    LoadConfig();
    EXPECT_EQ(HiScores[0].Name, "Al");
    EXPECT_EQ(GameOptions.Country, "");
    EXPECT_TRUE(OtherFiles().empty());
}

TEST_F(OptionsFile, AFirstSaveResetsTheTableAndKeepsTheCountryInMemory)
{
    SetTable(std::vector<Entry>(10, {"junk", 1}));
    GameOptions.Country = "Chile";
    SaveConfig();
    EXPECT_EQ(TableInMemory(), DefaultTable());
    LoadConfig();
    EXPECT_EQ(GameOptions.Country, "Chile");
    EXPECT_EQ(TableInMemory(), DefaultTable());
}

TEST_F(OptionsFile, ClearedTableReachesTheFileOnlyWithTheNextSave)
{
    LoadConfig();
    InsertHiScore("Zed", 5000);
    Bytes withZed = ReadFile();
    ResetHiScores();
    EXPECT_EQ(ReadFile(), withZed);
    SaveConfig();
    LoadConfig();
    EXPECT_EQ(TableInMemory(), DefaultTable());
}

TEST_F(OptionsFile, NewResultsEnterBelowEqualScoresAndSortTheTable)
{
    const std::vector<Entry> outOfOrder = {{"a", 100}, {"b", 1000}, {"c", 500}, {"d", 500}, {"e", 900}, {"f", 50}, {"g", 700}, {"h", 500}, {"i", 2}, {"j", 3}};
    struct Case {
        const char* What;
        std::vector<Entry> Before;
        Entry New;
        std::vector<Entry> After;
    };
    auto def = [](std::vector<std::pair<int, Entry>> changes) {
        std::vector<Entry> t = DefaultTable();
        for (auto& [i, e] : changes)
            t[i] = e;
        return t;
    };
    std::vector<Entry> at4 = DefaultTable();
    at4.insert(at4.begin() + 3, {"New", 800});
    at4.pop_back();
    std::vector<Entry> top = DefaultTable();
    top.insert(top.begin(), {"New", 1001});
    top.pop_back();
    // clang-format off
    const Case cases[] = {
        {"800 lands at place 4 below the old 800", DefaultTable(), {"New", 800}, at4},
        {"a new best result", DefaultTable(), {"New", 1001}, top},
        {"one point above place 10", DefaultTable(), {"New", 101}, def({{9, {"New", 101}}})},
        {"equal to place 10 stays at place 10", DefaultTable(), {"New", 100}, def({{9, {"New", 100}}})},
        {"a negative score", DefaultTable(), {"New", -7}, def({{9, {"New", -7}}})},
        {"an out-of-order table is sorted, equal scores keep their order",
         outOfOrder,
         {"New", 600},
         {{"b", 1000}, {"e", 900}, {"g", 700}, {"New", 600}, {"c", 500}, {"d", 500}, {"h", 500}, {"a", 100},
          {"f", 50}, {"i", 2}}},
    };
    // clang-format on
    LoadConfig();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetTable(c.Before);
        InsertHiScore(c.New.Name, c.New.Score);
        EXPECT_EQ(TableInMemory(), c.After);
        // The insertion saves the table.
        SetTable(std::vector<Entry>(10, {"lost", 0}));
        LoadConfig();
        EXPECT_EQ(TableInMemory(), c.After);
    }
}

TEST_F(OptionsFile, ATableStoredOutOfOrderLoadsAsStored)
{
    const std::vector<Entry> stored = {{"a", 1}, {"b", 900}, {"c", 2}, {"d", 800}, {"e", 3}, {"f", 700}, {"g", 4}, {"h", 600}, {"i", 5}, {"j", -500}};
    WriteFile(MakeFile(1, 1, 1, 123, "", stored));
    LoadConfig();
    EXPECT_EQ(TableInMemory(), stored);
}

TEST_F(OptionsFile, TheFinishedGamesScoreIsInsertedUnderTheTypedName)
{
    LoadConfig();
    TGame* savedGame = CurrentGame;
    TDDEdit* savedName = NameEdit;
    NameEdit = nullptr; // before the first pack load there is no name field: an empty name
    CurrentGame = nullptr;
    InsertFinishedGame(); // no game yet: nothing to insert
    EXPECT_EQ(TableInMemory(), DefaultTable());

    TGame game;
    game.Score = 650;
    CurrentGame = &game;
    InsertFinishedGame();
    std::vector<Entry> expected = DefaultTable();
    expected.insert(expected.begin() + 4, {"", 650});
    expected.pop_back();
    EXPECT_EQ(TableInMemory(), expected);
    CurrentGame = savedGame;
    NameEdit = savedName;
}

// The child of the crash test reports reaching the point between the write
// and the rename through its standard output, then waits there to be killed
// or goes on.
bool ChildDiesBeforeRename = false;

bool ChildBeforeReplace(const std::string&)
{
    char c = 'w';
    if (write(STDOUT_FILENO, &c, 1) != 1)
        _exit(3);
    while (ChildDiesBeforeRename)
        pause();
    return true;
}

TEST_F(OptionsFile, ASaveKilledHalfWayLeavesTheOldOrTheNewTable)
{
    LoadConfig();
    const Bytes oldFile = ReadFile();
    struct Case {
        const char* What;
        bool DieBeforeRename;
    };
    const Case cases[] = {{"killed between write and rename", true}, {"allowed to finish", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        WriteFile(oldFile);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The child saves a new table.
            dup2(fds[1], STDOUT_FILENO);
            ChildDiesBeforeRename = c.DieBeforeRename;
            BeforeConfigReplace = ChildBeforeReplace;
            SetTable(std::vector<Entry>(10, {"New", 42}));
            SaveConfig();
            _exit(0);
        }
        close(fds[1]);
        char signal = 0;
        ASSERT_EQ(read(fds[0], &signal, 1), 1);
        close(fds[0]);
        if (c.DieBeforeRename)
            kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        LoadConfig();
        if (c.DieBeforeRename)
            EXPECT_EQ(TableInMemory(), DefaultTable());
        else
            EXPECT_EQ(TableInMemory(), std::vector<Entry>(10, {"New", 42}));
        for (auto& name : OtherFiles())
            fs::remove(fs::path(Folder) / name);
    }
}

TEST_F(OptionsFile, AFailureBeforeTheRenameKeepsTheOldFileAndLeavesNoTemporary)
{
    LoadConfig();
    const Bytes oldFile = ReadFile();
    static Bytes temporary;
    temporary.clear();
    BeforeConfigReplace = [](const std::string& temp) {
        // The new content is complete on disk at this point; then the save fails.
        std::ifstream in(temp, std::ios::binary);
        temporary = Bytes(std::istreambuf_iterator<char>(in), {});
        return false;
    };
    InsertHiScore("Lost", 9999);
    std::vector<Entry> table = DefaultTable();
    table.insert(table.begin(), Entry{"Lost", 9999});
    table.pop_back();
    EXPECT_EQ(temporary, MakeFile(1, 1, 1, 0x7B, "", table)) << "the whole new table was written before the rename";
    EXPECT_EQ(ReadFile(), oldFile);
    EXPECT_TRUE(OtherFiles().empty());
    EXPECT_EQ(HiScores[0].Name, "Lost"); // the game carries on with its table in memory
}

TEST_F(OptionsFile, TheTableIsDrawnAtItsPlacesAndColours)
{
    SetTable(DefaultTable());
    HiScores[0].Name = "Anna";
    HiScores[9].Score = -5;
    TDirectDraw dd;
    TSurface target(&dd, 800, 600);
    DrawHiScores(&target);
    auto& calls = Fake.Text.Calls;
    ASSERT_FALSE(calls.empty()) << "the table drew no text";
    struct Expect {
        std::string Text;
        int32_t X, Y, Width;
        uint32_t Color;
    };
    std::vector<Expect> expected = {{"Place", 270, 124, 16, ColorBrightGreen},
                                    {"Name", 450, 124, 14, ColorBrightGreen},
                                    {"Score", 640, 124, 16, ColorBrightGreen},
                                    {"1", 310, 160, 16, ColorBrightGreen},
                                    {"Anna", 410, 160, 14, ColorBrightGreen},
                                    {"1000", 640, 160, 16, ColorBrightGreen},
                                    {"2", 310, 196, 16, ColorDarkGreen},
                                    {"900", 640, 196, 16, ColorDarkGreen},
                                    {"10", 310, 484, 16, ColorDarkGreen},
                                    {"Anonymous", 410, 484, 14, ColorDarkGreen},
                                    {"-5", 640, 484, 16, ColorDarkGreen}};
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.Text);
        bool found = false;
        for (auto& call : calls)
            if (call.Text == e.Text && call.X == e.X && call.Y == e.Y && call.Color == e.Color &&
                call.Font.Height == 24 && call.Font.Width == e.Width)
                found = true;
        EXPECT_TRUE(found);
    }
}

TEST_F(OptionsFile, TheCountryTypedInTheOptionsMenuComesBackAfterARestart)
{
    // Typed into the options menu's field, saved with the settings, read
    // back at the next start into the settings and into the field again.
    TDDEdit field(TRect{305, 409, 677, 450});
    CountryEdit = &field;
    const std::string longest(255, 'x');
    for (const std::string& country : {std::string("Norway"), std::string(""), std::string("\xD6sterreich"), longest}) {
        SCOPED_TRACE(country.size());
        LoadConfig(); // the first start writes the file; later ones read it
        field.Text = country;
        field.Length = static_cast<uint8_t>(country.size());
        SaveConfig();
        EXPECT_EQ(GameOptions.Country, country);
        Bytes text;
        AppendText(text, country);
        const Bytes file = ReadFile();
        ASSERT_GT(file.size(), 4u + text.size());
        EXPECT_EQ(Bytes(file.begin() + 4, file.begin() + 4 + static_cast<long>(text.size())), text);

        // A restart: the settings and the field forget, then the file speaks.
        GameOptions = TOptions{};
        field.Text = "typed but never saved";
        field.Length = 5;
        LoadConfig();
        ApplyConfig(); // as the start does, once the display is up
        EXPECT_EQ(GameOptions.Country, country);
        EXPECT_EQ(field.Text, country);
        EXPECT_EQ(field.Length, country.size());
    }
}

} // namespace
