// Damaged "Config.cfg" files: loading one must never crash, and whatever it
// loads must come back unchanged through a save and a second load.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/DXCtrl.h"
#include "platform/NullServices.h"
#include "services/Options.h"

namespace {

struct TFuzzFolder {
    TFuzzFolder()
    {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        Folder = std::string(base) + "/zephyrion-fuzz-config-" + std::to_string(getpid());
        std::string cmd = "mkdir -p '" + Folder + "'";
        if (std::system(cmd.c_str()) != 0)
            std::abort();
        ConfigFileName = Folder + "/Config.cfg";
        CountryEdit = nullptr;
        Platform.Mixer = &Mixer;
    }
    ~TFuzzFolder()
    {
        std::remove(ConfigFileName.c_str());
        rmdir(Folder.c_str());
    }
    std::string Folder;
    TNullMixer Mixer;
};

bool SameState(const TOptions& o, const THiScores* t)
{
    if (o.Windowed != GameOptions.Windowed || o.SoundOn != GameOptions.SoundOn || o.MusicOn != GameOptions.MusicOn ||
        o.BossKey != GameOptions.BossKey || o.Country != GameOptions.Country)
        return false;
    for (int i = 0; i < HiScoreCount; ++i)
        if (t[i].Name != HiScores[i].Name || t[i].Score != HiScores[i].Score)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TFuzzFolder folder;
    if (std::FILE* f = std::fopen(ConfigFileName.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    LoadConfig();
    if (GameOptions.BossKey < 0 || GameOptions.BossKey > 255 || GameOptions.Country.size() > 255)
        std::abort();
    const TOptions loaded = GameOptions;
    THiScores table[HiScoreCount];
    for (int i = 0; i < HiScoreCount; ++i)
        table[i] = HiScores[i];
    SaveConfig();
    LoadConfig();
    if (!SameState(loaded, table))
        std::abort();
    return 0;
}
