// Services that do nothing, for a machine without a sound device, network or
// desktop: the game runs on them without complaint.
#pragma once
#include "platform/Platform.h"

class TNullMixer : public IEffectMixer {
public:
    bool IsOpen() override { return false; }
    int CreateBuffer(const uint8_t*, size_t) override { return -1; }
    int DuplicateBuffer(int) override { return -1; }
    bool IsPlaying(int) override { return false; }
    HRESULT Stop(int) override { return DDERR_GENERIC; }
    HRESULT SetCurrentPosition(int, uint32_t) override { return DDERR_GENERIC; }
    HRESULT SetFrequency(int, uint32_t) override { return DDERR_GENERIC; }
    HRESULT SetPan(int, int32_t) override { return DDERR_GENERIC; }
    HRESULT SetVolume(int, int32_t) override { return DDERR_GENERIC; }
    HRESULT Play(int) override { return DDERR_GENERIC; }
};

class TNullModulePlayer : public IModulePlayer {
public:
    uintptr_t SongLoadFromFile(const char*) override { return 0; }
    void SongPlay(uintptr_t) override {}
    void SongFree(uintptr_t) override {}
    int32_t SongGetOrder(uintptr_t) override { return 0; }
};

class TNullHttp : public IHttpClient {
public:
    bool Get(const std::string&, std::string&) override { return false; }
};

class TNullOpener : public IOpener {
public:
    void Open(const std::string&) override {}
};
