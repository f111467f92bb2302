// Damaged asset packs: the loader may refuse them with the player's message,
// never crash, hang or keep a surface it was not asked to.
// The first byte chooses what is asked: bit 7 set, the whole load of the game
// (which stops at the first entry it cannot read); otherwise one entry, 0 to
// 15. The other bytes are the pack.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "platform/NullServices.h"
#include "services/Options.h"

namespace {

std::string PackPath()
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/zephyrion-fuzz-pack-" + std::to_string(getpid()) + ".pp";
}

struct TFuzzWorld {
    TFuzzWorld() : Path(PackPath())
    {
        Platform.Mixer = &Mixer;
        GameOptions.SoundOn = false;
        AssetPackPath = Path;
    }
    ~TFuzzWorld() { std::remove(Path.c_str()); }
    std::string Path;
    TNullMixer Mixer;
    TDirectDraw DD;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TFuzzWorld world;
    if (size < 1)
        return 0;
    std::FILE* f = std::fopen(world.Path.c_str(), "wb");
    if (!f)
        return 0;
    if (size > 1)
        std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);

    const uint8_t mode = data[0];
    try {
        if (mode & 0x80) {
            LoadAssetPack(&world.DD);
        } else if (TSurface* s = LoadPackImage(&world.DD, world.Path, uint8_t(mode & 0x0F))) {
            if (s->Width() <= 0 || s->Height() <= 0 || !s->HasColorKey())
                std::abort();
            world.DD.Release(s);
        }
    } catch (const EAssetPackError&) {
    }
    ReleaseAssets();
    if (world.DD.SurfaceCount() != 0)
        std::abort(); // a sheet outlived its release
    return 0;
}
