// Sound effects through SDL2_mixer: every buffer is a chunk made from a RIFF
// image, and every buffer owns one mixer channel, so copies sound together.
#include "platform/sdl/SdlMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/NullServices.h"
#include "platform/sdl/Services.h"

namespace {

double Gain(double attenuation)
{
    return attenuation <= -10000 ? 0.0 : std::pow(10.0, attenuation / 2000.0);
}

class TSdlMixer;
TSdlMixer* OpenMixer = nullptr;
int OpenRate = 0;

class TSdlMixer : public IEffectMixer {
public:
    ~TSdlMixer() override { Close(); }

    bool Open()
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        // The usual rate first, then the half rate old sound cards offered.
        for (int rate : {44100, 22050}) {
            if (Mix_OpenAudioDevice(rate, AUDIO_S16SYS, 2, 1024, nullptr, 0) == 0) {
                int freq = 0, channels = 0;
                Uint16 format = 0;
                Mix_QuerySpec(&freq, &format, &channels);
                OpenRate = freq;
                Mix_AllocateChannels(0);
                IsDeviceOpen = true;
                return true;
            }
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }

    void Close()
    {
        if (!IsDeviceOpen)
            return;
        Mix_HaltChannel(-1);
        for (auto& b : Buffers)
            if (b.Owner)
                Mix_FreeChunk(b.Chunk);
        Buffers.clear();
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        IsDeviceOpen = false;
        OpenRate = 0;
        if (OpenMixer == this)
            OpenMixer = nullptr;
    }

    bool IsOpen() override { return IsDeviceOpen; }

    int CreateBuffer(const uint8_t* wave, size_t size) override
    {
        if (!IsDeviceOpen || wave == nullptr || size == 0 || size > INT32_MAX)
            return -1;
        SDL_RWops* rw = SDL_RWFromConstMem(wave, static_cast<int>(size));
        Mix_Chunk* chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
        if (chunk == nullptr)
            return -1;
        return Add(chunk, true);
    }

    int DuplicateBuffer(int buffer) override
    {
        if (!Valid(buffer))
            return -1;
        return Add(Buffers[buffer].Chunk, false);
    }

    bool IsPlaying(int buffer) override { return Valid(buffer) && Mix_Playing(buffer) != 0; }

    HRESULT Stop(int buffer) override
    {
        if (!Valid(buffer))
            return DDERR_INVALIDPARAMS;
        Mix_HaltChannel(buffer);
        return DD_OK;
    }

    HRESULT SetCurrentPosition(int buffer, uint32_t position) override
    {
        // A chunk always starts from its first sample.
        return Valid(buffer) && position == 0 ? DD_OK : DDERR_INVALIDPARAMS;
    }

    HRESULT SetFrequency(int buffer, uint32_t hz) override
    {
        // The game plays every wave at its own rate.
        return Valid(buffer) && hz == 0 ? DD_OK : DDERR_INVALIDPARAMS;
    }

    HRESULT SetPan(int buffer, int32_t pan) override
    {
        if (!Valid(buffer) || pan < -10000 || pan > 10000)
            return DDERR_INVALIDPARAMS;
        Buffers[buffer].Pan = pan;
        return DD_OK;
    }

    HRESULT SetVolume(int buffer, int32_t volume) override
    {
        if (!Valid(buffer) || volume < -10000 || volume > 0)
            return DDERR_INVALIDPARAMS;
        Buffers[buffer].Volume = volume;
        return DD_OK;
    }

    HRESULT Play(int buffer) override
    {
        if (!Valid(buffer))
            return DDERR_INVALIDPARAMS;
        // Playing on a busy channel would drop its panning with the old sound:
        // end that first, then set the new panning and start.
        Mix_HaltChannel(buffer);
        TSdlGains g = DirectSoundToSdl(Buffers[buffer].Volume, Buffers[buffer].Pan);
        Mix_Volume(buffer, g.Volume);
        Mix_SetPanning(buffer, static_cast<Uint8>(g.Left), static_cast<Uint8>(g.Right));
        return Mix_PlayChannel(buffer, Buffers[buffer].Chunk, 0) == buffer ? DD_OK : DDERR_GENERIC;
    }

private:
    struct TBuffer {
        Mix_Chunk* Chunk = nullptr;
        bool Owner = false; // the main buffer frees the samples its copies share
        int32_t Pan = 0, Volume = 0;
    };
    std::vector<TBuffer> Buffers;
    bool IsDeviceOpen = false;

    bool Valid(int buffer) const { return IsDeviceOpen && buffer >= 0 && buffer < static_cast<int>(Buffers.size()); }

    int Add(Mix_Chunk* chunk, bool owner)
    {
        int channel = static_cast<int>(Buffers.size());
        if (Mix_AllocateChannels(channel + 1) != channel + 1) {
            if (owner)
                Mix_FreeChunk(chunk);
            return -1;
        }
        Buffers.push_back({chunk, owner, 0, 0});
        return channel;
    }
};

} // namespace

TSdlGains DirectSoundToSdl(int32_t volume, int32_t pan)
{
    double attLeft = static_cast<double>(volume) - std::max(pan, 0);
    double attRight = static_cast<double>(volume) + std::min(pan, 0);
    double gl = Gain(attLeft), gr = Gain(attRight);
    double g = std::max(gl, gr);
    if (g <= 0)
        return {0, 255, 255};
    return {static_cast<int>(std::lround(128 * g)), static_cast<int>(std::lround(255 * gl / g)),
            static_cast<int>(std::lround(255 * gr / g))};
}

int SdlMixerRate() { return OpenRate; }

IEffectMixer* CreateSdlMixer()
{
    auto mixer = std::make_unique<TSdlMixer>();
    if (OpenMixer != nullptr || !mixer->Open())
        return new TNullMixer;
    OpenMixer = mixer.get();
    return mixer.release();
}

// The module player must let go of the music hook before the device closes.
void CloseXmpPlayer();

void DestroySdlAudio()
{
    CloseXmpPlayer();
    if (OpenMixer != nullptr)
        OpenMixer->Close();
}

void SetEffectsInFront(bool inFront)
{
    Mix_MasterVolume(inFront ? MIX_MAX_VOLUME : 0);
}

bool EffectsInFront()
{
    return Mix_MasterVolume(-1) > 0;
}
