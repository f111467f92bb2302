// The real effect mixer and module player on SDL's dummy audio driver (no
// sound card needed): buffers from the game's waves, refused settings,
// modules that load and ones that do not.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "platform/sdl/Services.h"
#include "services/Wave.h"

namespace {

class SoundDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        Mixer.reset(CreateSdlMixer());
        if (!Mixer->IsOpen())
            GTEST_SKIP() << "SDL has no dummy audio driver here";
        Music.reset(CreateXmpPlayer());
    }
    void TearDown() override
    {
        DestroySdlAudio();
        Music.reset();
        Mixer.reset();
    }
    std::unique_ptr<IEffectMixer> Mixer;
    std::unique_ptr<IModulePlayer> Music;
};

TEST_F(SoundDevice, BuffersFromEveryWavePlayOnTheirOwnChannels)
{
    for (int i = 0; i < WaveImageCount; ++i) {
        int main = Mixer->CreateBuffer(WaveImages[i].Data, WaveImages[i].Size);
        ASSERT_GE(main, 0) << WaveImages[i].Name;
        int a = Mixer->DuplicateBuffer(main);
        int b = Mixer->DuplicateBuffer(main);
        ASSERT_GE(a, 0);
        ASSERT_NE(a, b);
        EXPECT_EQ(Mixer->SetPan(a, -4000), DD_OK);
        EXPECT_EQ(Mixer->SetVolume(a, -800), DD_OK);
        EXPECT_EQ(Mixer->Play(a), DD_OK);
        EXPECT_EQ(Mixer->Play(b), DD_OK);
        EXPECT_TRUE(Mixer->IsPlaying(a));
        EXPECT_TRUE(Mixer->IsPlaying(b)) << "copies sound together";
        EXPECT_EQ(Mixer->Stop(a), DD_OK);
        EXPECT_FALSE(Mixer->IsPlaying(a));
        EXPECT_TRUE(Mixer->IsPlaying(b));
    }
}

TEST_F(SoundDevice, RefusesSettingsOutsideTheRangesAndBadWaves)
{
    int buffer = Mixer->CreateBuffer(WaveImages[0].Data, WaveImages[0].Size);
    ASSERT_GE(buffer, 0);
    struct Case {
        int32_t Pan, Volume;
        HRESULT PanResult, VolumeResult;
    };
    const Case cases[] = {
        {-10000, -10000, DD_OK, DD_OK},
        {10000, 0, DD_OK, DD_OK},
        {-10001, 1, DDERR_INVALIDPARAMS, DDERR_INVALIDPARAMS},
        {16000, -10001, DDERR_INVALIDPARAMS, DDERR_INVALIDPARAMS},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Mixer->SetPan(buffer, c.Pan), c.PanResult) << c.Pan;
        EXPECT_EQ(Mixer->SetVolume(buffer, c.Volume), c.VolumeResult) << c.Volume;
    }
    const uint8_t junk[64] = {'R', 'I', 'F', 'F'};
    EXPECT_EQ(Mixer->CreateBuffer(junk, sizeof junk), -1);
    EXPECT_EQ(Mixer->CreateBuffer(WaveImages[1].Data, 40), -1) << "cut off in its header";
    EXPECT_EQ(Mixer->DuplicateBuffer(99), -1);
    EXPECT_EQ(Mixer->Play(-1), DDERR_INVALIDPARAMS);
    EXPECT_FALSE(Mixer->IsPlaying(99));
}

TEST_F(SoundDevice, ModulesLoadPlayAndFree)
{
    const std::string folder = std::string(ZEPHYRION_BINARY_DIR) + "/sound/";
    const std::string damaged = testing::TempDir() + "damaged.xm";
    std::ofstream(damaged, std::ios::binary) << "Extended Module: broken";
    EXPECT_EQ(Music->SongLoadFromFile((folder + "missing.xm").c_str()), 0u);
    EXPECT_EQ(Music->SongLoadFromFile(damaged.c_str()), 0u);
    std::remove(damaged.c_str());

    uintptr_t menus = Music->SongLoadFromFile((folder + "1.xm").c_str());
    uintptr_t play = Music->SongLoadFromFile((folder + "2.xm").c_str());
    ASSERT_NE(menus, 0u);
    ASSERT_NE(play, 0u);
    EXPECT_NE(menus, play);
    Music->SongPlay(menus);
    EXPECT_EQ(Music->SongGetOrder(menus), 0);
    Music->SongPlay(play);
    Music->SongFree(menus);
    Music->SongFree(play);
    EXPECT_EQ(Music->SongGetOrder(play), 0);
    Music->SongFree(play);  // twice: nothing happens
    Music->SongPlay(menus); // freed: nothing happens
}

} // namespace
