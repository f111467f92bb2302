// Options and the table of the ten best results in "Config.cfg".
//
// The file has no header: three switch bytes (windowed, music, sound — music
// comes before sound), the boss key's low byte, the country text, then ten
// entries of a name text and a 4-byte little-endian signed score. A text is a
// length byte followed by that many complemented bytes.
#include "services/Options.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "game/Game.h"
#include "graphics/DXCtrl.h"
#include "graphics/Draw.h"
#include "main/Globals.h"
#include "services/DXSounds.h"

TOptions GameOptions;
THiScores HiScores[HiScoreCount];
std::string ConfigFileName = "Config.cfg";
bool (*BeforeConfigReplace)(const std::string& tempPath) = nullptr;

namespace {

constexpr size_t MaxTextBytes = 255;

// Missing means the system says so; a file we merely cannot look at counts as
// present, so that a first-start save never replaces it.
bool ConfigFileMissing()
{
    struct stat st;
    if (stat(ConfigFileName.c_str(), &st) == 0)
        return false;
    return errno == ENOENT || errno == ENOTDIR;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Zero once the file has ended; the end-of-file flag stays set for the check
// at the end of the load.
uint8_t ReadByte(std::FILE* file)
{
    int c = std::fgetc(file);
    return c == EOF ? 0 : static_cast<uint8_t>(c);
}

int32_t ReadScore(std::FILE* file)
{
    uint8_t b[4] = {};
    if (std::fread(b, 1, 4, file) != 4)
        return 0;
    uint32_t v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return static_cast<int32_t>(v);
}

void WriteScore(int32_t score, std::FILE* file)
{
    uint32_t v = static_cast<uint32_t>(score);
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, file);
}

bool WriteConfigContent(std::FILE* file)
{
    std::fputc(GameOptions.Windowed ? 1 : 0, file);
    std::fputc(GameOptions.MusicOn ? 1 : 0, file);
    std::fputc(GameOptions.SoundOn ? 1 : 0, file);
    std::fputc(GameOptions.BossKey & 0xFF, file);
    WriteCfgString(GameOptions.Country, file);
    for (const THiScores& entry : HiScores) {
        WriteCfgString(entry.Name, file);
        WriteScore(entry.Score, file);
    }
    return std::ferror(file) == 0;
}

// A temporary file of this process next to "Config.cfg". A stale one with the
// same name can only be left by a dead process that had our id.
int CreateTempFile(const std::string& temp, mode_t mode)
{
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno == EEXIST) {
        unlink(temp.c_str());
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    }
    return fd;
}

// The new table reaches the disk in full before it takes the old one's name,
// so a crash at any moment leaves either the old file or the new one.
bool ReplaceConfigFile()
{
    mode_t mode = 0666; // narrowed by the umask, as for any new file
    struct stat st;
    bool keepMode = stat(ConfigFileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    const std::string temp = ConfigFileName + ".tmp-" + std::to_string(getpid());
    int fd = CreateTempFile(temp, mode);
    if (fd < 0)
        return false;
    if (keepMode)
        fchmod(fd, st.st_mode & 07777);
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    bool ok = WriteConfigContent(file) && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    ok = std::fclose(file) == 0 && ok;
    if (ok && BeforeConfigReplace)
        ok = BeforeConfigReplace(temp);
    if (ok)
        ok = std::rename(temp.c_str(), ConfigFileName.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself must survive a power cut too.
    int dir = open(FolderOf(ConfigFileName).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

} // namespace

std::string ReadCfgString(std::FILE* file)
{
    size_t n = ReadByte(file);
    std::string text;
    text.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        int c = std::fgetc(file);
        if (c == EOF)
            break;
        text.push_back(static_cast<char>(~static_cast<uint8_t>(c)));
    }
    return text;
}

void WriteCfgString(const std::string& text, std::FILE* file)
{
    size_t n = std::min(text.size(), MaxTextBytes);
    std::fputc(static_cast<int>(n), file);
    for (size_t i = 0; i < n; ++i)
        std::fputc(static_cast<uint8_t>(~static_cast<uint8_t>(text[i])), file);
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
    if (std::FILE* file = std::fopen(ConfigFileName.c_str(), "rb")) {
        TOptions options;
        THiScores table[HiScoreCount];
        options.Windowed = ReadByte(file) == 1;
        options.MusicOn = ReadByte(file) == 1;
        options.SoundOn = ReadByte(file) == 1;
        options.BossKey = ReadByte(file);
        options.Country = ReadCfgString(file);
        for (THiScores& entry : table) {
            entry.Name = ReadCfgString(file);
            entry.Score = ReadScore(file);
        }
        loaded = !std::feof(file) && !std::ferror(file);
        std::fclose(file);
        if (loaded) {
            GameOptions = std::move(options);
            std::move(std::begin(table), std::end(table), std::begin(HiScores));
        }
    }
    if (!loaded) {
        GameOptions = TOptions{};
        ResetHiScores();
    }
    ApplyConfig();
}

void ApplyConfig()
{
    RecreateDisplay();
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

void InsertHiScore()
{
    if (!CurrentGame)
        return;
    InsertHiScore(NameEdit ? NameEdit->Text : std::string(), CurrentGame->Score);
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
