// The effect list: pan and volume from a screen position, the sound switch,
// the copies that grow with overlapping plays, and a missing sound device.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "fakes/Fakes.h"
#include "services/DXSounds.h"
#include "services/Options.h"

namespace {

class SoundEffects : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameOptions.SoundOn = true;
        InitSoundEffects();
    }
    void TearDown() override { CloseSoundEffects(); }
    // The copies the mixer made of one entry's main buffer.
    int CopiesOf(int32_t id)
    {
        int n = 0;
        for (const auto& b : fake.Mixer.Buffers)
            n += b.Source == DXWaveList1.Items[id].MainBuffer;
        return n;
    }
    FakePlatform fake;
};

TEST_F(SoundEffects, ListHoldsTheSevenNamedEffectsWithMainBuffers)
{
    const char* names[EffectCount] = {"MenuClick", "Hit", "Laser_1", "Plasma", "Rocket", "Skeel", "NewStage"};
    ASSERT_EQ(fake.Mixer.Buffers.size(), static_cast<size_t>(EffectCount));
    for (int id = 0; id < EffectCount; ++id) {
        const TWaveCollectionItem& item = DXWaveList1.Items[id];
        EXPECT_EQ(item.Name, names[id]);
        EXPECT_EQ(item.MainBuffer, id);
        EXPECT_GT(fake.Mixer.Buffers[id].WaveSize, 44u) << names[id];
        EXPECT_FALSE(item.Looped);
        EXPECT_EQ(item.MaxPlayingCount, 0);
        EXPECT_EQ(item.Frequency, 0u);
        EXPECT_EQ(item.Pan, 0);
        EXPECT_EQ(item.Volume, 0);
    }
}

TEST_F(SoundEffects, PanFollowsXAndVolumeFollowsY)
{
    struct Case {
        int32_t X, Y, Pan, Volume;
    };
    // clang-format off
    const Case cases[] = {
        {0, 0, -4000, -800},
        {400, 0, 0, -800},
        {800, 0, 4000, -800},
        {0, 600, -4000, -200},
        {400, 600, 0, -200},
        {800, 600, 4000, -200},
        {400, 800, 0, 0},
        {400, 100, 0, -700},       // the new stage's fanfare
        {-600, -9200, -10000, -10000},
    };
    // clang-format on
    for (const Case& c : cases) {
        fake.Mixer.FinishAll();
        PlaySoundEffect(c.X, c.Y, Hit);
        EXPECT_EQ(EffectPan(Hit), c.Pan) << "x " << c.X;
        EXPECT_EQ(EffectVolume(Hit), c.Volume) << "y " << c.Y;
        int copy = fake.Mixer.PlayLog.back();
        EXPECT_EQ(fake.Mixer.Buffers[copy].Source, DXWaveList1.Items[Hit].MainBuffer);
        EXPECT_EQ(fake.Mixer.Buffers[copy].Pan, c.Pan);
        EXPECT_EQ(fake.Mixer.Buffers[copy].Volume, c.Volume);
    }
}

TEST_F(SoundEffects, RefusedSettingsAreStoredButTheCopyKeepsItsOwn)
{
    PlaySoundEffect(100, 300, Rocket);
    int copy = fake.Mixer.PlayLog.back();
    fake.Mixer.FinishAll();
    // Far right and far below the play area: outside the mixer's ranges.
    PlaySoundEffect(2000, 1000, Rocket);
    EXPECT_EQ(EffectPan(Rocket), 16000);
    EXPECT_EQ(EffectVolume(Rocket), 200);
    ASSERT_EQ(fake.Mixer.PlayLog.back(), copy);
    EXPECT_EQ(fake.Mixer.Buffers[copy].Pan, -3000);
    EXPECT_EQ(fake.Mixer.Buffers[copy].Volume, -500);
    EXPECT_EQ(fake.Mixer.Buffers[copy].Plays, 2);
}

TEST_F(SoundEffects, SoundOffLeavesTheEntryUntouchedAndPlaysNothing)
{
    PlaySoundEffect(100, 500, Laser_1);
    SetSoundOn(false);
    EXPECT_FALSE(GameOptions.SoundOn);
    size_t plays = fake.Mixer.PlayLog.size();
    PlaySoundEffect(700, 100, Laser_1);
    EXPECT_EQ(fake.Mixer.PlayLog.size(), plays);
    EXPECT_EQ(EffectPan(Laser_1), -3000);
    EXPECT_EQ(EffectVolume(Laser_1), -10000);
}

TEST_F(SoundEffects, SwitchingSoundSetsEveryVolume)
{
    for (int id = 0; id < EffectCount; ++id)
        PlaySoundEffect(200, 300 + id, id);
    struct Step {
        bool On;
        int32_t Volume;
    };
    for (Step s : {Step{false, -10000}, Step{true, 0}, Step{false, -10000}}) {
        SetSoundOn(s.On);
        EXPECT_EQ(GameOptions.SoundOn, s.On);
        for (int id = 0; id < EffectCount; ++id) {
            EXPECT_EQ(EffectVolume(id), s.Volume) << "effect " << id;
            EXPECT_EQ(EffectPan(id), -2000) << "the pan stays";
        }
    }
}

TEST_F(SoundEffects, DirectPlaysUseTheEntrysSettingsEvenWithSoundOff)
{
    // Off: the click still plays, at silence; back on: full loudness until a
    // positioned play sets the volume again.
    SetSoundOn(false);
    PlayWave(MenuClick);
    ASSERT_FALSE(fake.Mixer.PlayLog.empty());
    EXPECT_EQ(fake.Mixer.Buffers[fake.Mixer.PlayLog.back()].Volume, -10000);
    SetSoundOn(true);
    fake.Mixer.FinishAll();
    PlayWave(MenuClick);
    EXPECT_EQ(fake.Mixer.Buffers[fake.Mixer.PlayLog.back()].Volume, 0);
    PlaySoundEffect(400, 300, MenuClick);
    fake.Mixer.FinishAll();
    PlayWave(MenuClick);
    EXPECT_EQ(fake.Mixer.Buffers[fake.Mixer.PlayLog.back()].Volume, -500);
}

TEST_F(SoundEffects, TenOverlappingSkeelsGrowTenCopiesThatLaterPlaysReuse)
{
    std::vector<int> first;
    for (int i = 0; i < 10; ++i) {
        PlaySoundEffect(80 * i, 400, Skeel);
        first.push_back(fake.Mixer.PlayLog.back());
    }
    EXPECT_EQ(CopiesOf(Skeel), 10);
    EXPECT_EQ(std::set<int>(first.begin(), first.end()).size(), 10u) << "each play on its own copy";
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(fake.Mixer.Buffers[first[i]].Pan, (80 * i - 400) * 10);

    // The salvo is over: the next salvo plays on the same ten copies, in order.
    fake.Mixer.FinishAll();
    for (int i = 0; i < 10; ++i) {
        PlaySoundEffect(80 * i, 400, Skeel);
        EXPECT_EQ(fake.Mixer.PlayLog.back(), first[i]);
    }
    EXPECT_EQ(CopiesOf(Skeel), 10);

    // Three still sound: a new play takes the first idle copy; one more than
    // ten overlapping grows the list by one.
    fake.Mixer.FinishAll();
    for (int i = 0; i < 3; ++i)
        PlaySoundEffect(0, 0, Skeel);
    fake.Mixer.Buffers[first[1]].Playing = false;
    PlaySoundEffect(0, 0, Skeel);
    EXPECT_EQ(fake.Mixer.PlayLog.back(), first[1]);
    for (int i = 0; i < 8; ++i)
        PlaySoundEffect(0, 0, Skeel);
    EXPECT_EQ(CopiesOf(Skeel), 11);
    EXPECT_EQ(CopiesOf(Hit), 0) << "other entries keep their own lists";
}

TEST(SoundEffectsWithoutDevice, EveryPlayIsSilentlyNothing)
{
    FakePlatform fake;
    fake.Mixer.Open = false;
    GameOptions.SoundOn = true;
    InitSoundEffects();
    for (int id = 0; id < EffectCount; ++id) {
        PlaySoundEffect(100, 200, id);
        PlayWave(id);
        EXPECT_EQ(EffectPan(id), -3000) << "the entry still stores its settings";
    }
    SetSoundOn(false);
    SetSoundOn(true);
    EXPECT_TRUE(fake.Mixer.Buffers.empty());
    EXPECT_TRUE(fake.Mixer.PlayLog.empty());
    // Ids outside the list are ignored too.
    PlaySoundEffect(0, 0, EffectCount);
    PlayWave(-1);
    EXPECT_EQ(EffectPan(EffectCount), 0);
    CloseSoundEffects();
}

TEST(SoundEffectsWithoutDevice, AMixerThatRefusesCopiesLosesOnlyThatPlay)
{
    FakePlatform fake;
    GameOptions.SoundOn = true;
    InitSoundEffects();
    PlaySoundEffect(400, 300, Hit);
    fake.Mixer.Open = false; // the device went away: copies fail, nothing crashes
    PlaySoundEffect(400, 300, Hit);
    EXPECT_EQ(fake.Mixer.PlayLog.size(), 1u);
    CloseSoundEffects();
}

} // namespace
