// Music: XM modules rendered by libxmp on SDL2_mixer's audio thread through
// the music hook; the game thread loads, starts and frees them under a lock
// and reads the playing order from an atomic.
#include "platform/sdl/XmpPlayer.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <xmp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/NullServices.h"
#include "platform/sdl/SdlMixer.h"
#include "platform/sdl/Services.h"

namespace {

class TXmpPlayer;
TXmpPlayer* OpenPlayer = nullptr;

class TXmpPlayer : public IModulePlayer {
public:
    explicit TXmpPlayer(int rate) : Rate(rate)
    {
        // The hook stays in place; it renders whichever module is current.
        Mix_HookMusic(&TXmpPlayer::Hook, this);
    }

    ~TXmpPlayer() override { Close(); }

    void Close()
    {
        if (Closed)
            return;
        Mix_HookMusic(nullptr, nullptr); // waits for the audio thread to leave the hook
        std::lock_guard<std::mutex> lock(Mutex);
        for (auto& [handle, ctx] : Songs)
            Release(ctx);
        Songs.clear();
        Current = nullptr;
        Closed = true;
        if (OpenPlayer == this)
            OpenPlayer = nullptr;
    }

    uintptr_t SongLoadFromFile(const char* path) override
    {
        if (Closed || path == nullptr)
            return 0;
        xmp_context ctx = xmp_create_context();
        if (ctx == nullptr)
            return 0;
        // Loading touches only this new context: no lock needed until it joins the list.
        if (xmp_load_module(ctx, path) != 0) {
            xmp_free_context(ctx);
            return 0;
        }
        std::lock_guard<std::mutex> lock(Mutex);
        uintptr_t handle = NextHandle++;
        Songs[handle] = ctx;
        return handle;
    }

    void SongPlay(uintptr_t song) override
    {
        std::lock_guard<std::mutex> lock(Mutex);
        auto it = Songs.find(song);
        if (it == Songs.end())
            return;
        xmp_context ctx = it->second;
        if (Current == ctx) {
            xmp_restart_module(ctx);
        } else {
            xmp_end_player(ctx);
            if (xmp_start_player(ctx, Rate, 0) != 0)
                return;
        }
        Current = ctx;
        CurrentHandle = song;
        Order.store(0);
    }

    void SongFree(uintptr_t song) override
    {
        std::lock_guard<std::mutex> lock(Mutex);
        auto it = Songs.find(song);
        if (it == Songs.end())
            return;
        if (Current == it->second) {
            Current = nullptr;
            CurrentHandle = 0;
            Order.store(0);
        }
        Release(it->second);
        Songs.erase(it);
    }

    int32_t SongGetOrder(uintptr_t song) override
    {
        return song != 0 && song == CurrentHandle.load() ? Order.load() : 0;
    }

private:
    int Rate;
    std::mutex Mutex;
    std::map<uintptr_t, xmp_context> Songs;
    xmp_context Current = nullptr;
    std::atomic<uintptr_t> CurrentHandle{0};
    std::atomic<int32_t> Order{0};
    uintptr_t NextHandle = 1;
    bool Closed = false;

    static void Release(xmp_context ctx)
    {
        xmp_end_player(ctx);
        xmp_release_module(ctx);
        xmp_free_context(ctx);
    }

    // Audio thread: the stream arrives silent; effects are mixed on top after.
    static void Hook(void* self, Uint8* stream, int len)
    {
        auto* player = static_cast<TXmpPlayer*>(self);
        std::lock_guard<std::mutex> lock(player->Mutex);
        if (player->Current == nullptr)
            return;
        if (xmp_play_buffer(player->Current, stream, len, 0) != 0) {
            std::memset(stream, 0, static_cast<size_t>(len));
            return;
        }
        xmp_frame_info fi;
        xmp_get_frame_info(player->Current, &fi);
        player->Order.store(fi.pos);
    }
};

} // namespace

IModulePlayer* CreateXmpPlayer()
{
    // Music needs the effects' device: 16-bit stereo at its rate.
    int freq = 0, channels = 0;
    Uint16 format = 0;
    if (OpenPlayer != nullptr || SdlMixerRate() == 0 || Mix_QuerySpec(&freq, &format, &channels) == 0 ||
        format != AUDIO_S16SYS || channels != 2)
        return new TNullModulePlayer;
    OpenPlayer = new TXmpPlayer(freq);
    return OpenPlayer;
}

void CloseXmpPlayer()
{
    if (OpenPlayer != nullptr)
        OpenPlayer->Close();
}

bool MeasureModule(const std::string& path, int rate, double limitSeconds, TModuleMeasure& out)
{
    out = TModuleMeasure{};
    xmp_context ctx = xmp_create_context();
    if (ctx == nullptr)
        return false;
    if (xmp_load_module(ctx, path.c_str()) != 0) {
        xmp_free_context(ctx);
        return false;
    }
    xmp_module_info mi;
    xmp_get_module_info(ctx, &mi);
    out.Name = mi.mod->name;
    out.Orders = mi.mod->len;
    out.Patterns = mi.mod->pat;
    out.Channels = mi.mod->chn;
    out.Instruments = mi.mod->ins;
    bool ok = xmp_start_player(ctx, rate, 0) == 0;
    std::vector<int16_t> buffer(2048);
    double sum = 0, squares = 0;
    uint64_t frames = 0;
    int peak = 0;
    const uint64_t limit = static_cast<uint64_t>(limitSeconds * rate);
    while (ok && frames < limit) {
        // Stops at the end of the first pass: loop_count counts completed passes.
        if (xmp_play_frame(ctx) != 0)
            break;
        xmp_frame_info fi;
        xmp_get_frame_info(ctx, &fi);
        if (fi.loop_count > 0) {
            out.Looped = true;
            break;
        }
        auto* samples = static_cast<const int16_t*>(fi.buffer);
        size_t count = static_cast<size_t>(fi.buffer_size) / sizeof(int16_t);
        for (size_t i = 0; i < count; ++i) {
            int v = std::abs(static_cast<int>(samples[i]));
            peak = std::max(peak, v);
            sum += v;
            squares += static_cast<double>(v) * v;
        }
        frames += count / 2;
    }
    if (frames > 0) {
        out.Seconds = static_cast<double>(frames) / rate;
        out.Peak = peak / 32768.0;
        out.Mean = sum / (2.0 * frames) / 32768.0;
        out.Rms = std::sqrt(squares / (2.0 * frames)) / 32768.0;
    }
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
    return ok;
}
