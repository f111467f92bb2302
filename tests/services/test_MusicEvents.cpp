// Music through the module player: one module at a time, restarted from its
// beginning, and the watcher that notices a module starting over.
#include <gtest/gtest.h>

#include <xmp.h>

#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "main/Globals.h"
#include "services/FMOD.h"

namespace {

class Music : public ::testing::Test {
protected:
    void SetUp() override
    {
        MusicHandle = 0;
        LastMusicOrder = 0;
        GameState = StateMainMenu;
    }
    void TearDown() override { MusicHandle = 0; }
    FakePlatform fake;
};

TEST_F(Music, PlayAndStopKeepOneModuleAtATime)
{
    struct Step {
        const char* Action; // "play <name>" or "stop"
        std::vector<std::string> Log;
        uintptr_t Handle;
    };
    const Step steps[] = {
        {"stop", {}, 0},
        {"play 1.xm", {"load sound/1.xm", "play 1"}, 1},
        {"play 2.xm", {"free 1", "load sound/2.xm", "play 2"}, 2},
        {"play 2.xm", {"free 2", "load sound/2.xm", "play 3"}, 3}, // starts again from its beginning
        {"stop", {"free 3"}, 0},
        {"stop", {}, 0},
        {"play 1.xm", {"load sound/1.xm", "play 4"}, 4},
    };
    for (const Step& s : steps) {
        fake.Music.Log.clear();
        std::string action = s.Action;
        if (action == "stop")
            StopMusic();
        else
            PlayMusic(action.substr(5));
        EXPECT_EQ(fake.Music.Log, s.Log) << action;
        EXPECT_EQ(MusicHandle, s.Handle) << action;
    }
}

TEST_F(Music, AMissingModuleLeavesTheMusicSilent)
{
    PlayMusic("1.xm");
    fake.Music.FailLoads = true;
    fake.Music.Log.clear();
    PlayMusic("2.xm");
    EXPECT_EQ(fake.Music.Log, (std::vector<std::string>{"free 1", "load sound/2.xm"}));
    EXPECT_EQ(MusicHandle, 0u);
    EXPECT_EQ(fake.Music.Playing, 0u);
    fake.Music.Log.clear();
    StopMusic();
    WatchMusic(StateModule(GameState)); // as the frame loop does
    EXPECT_TRUE(fake.Music.Log.empty()) << "nothing to free, nothing to watch";
}

TEST_F(Music, WatcherRestartsTheStatesModuleWhenTheOrderWrapsToZero)
{
    struct Case {
        int32_t State;
        int32_t Last, Order; // the order at the previous frame and now
        const char* Reload;  // the module loaded afresh, or none
        int32_t LastAfter;
    };
    // clang-format off
    const Case cases[] = {
        {StateMainMenu, 0, 0, nullptr, 0},
        {StateMainMenu, 0, 3, nullptr, 3},
        {StateMainMenu, 3, 4, nullptr, 4},
        {StateMainMenu, 7, 0, "sound/1.xm", 0},   // the module ran through
        {StateIntro, 2, 0, "sound/1.xm", 0},
        {StateOptions, 2, 0, "sound/1.xm", 0},
        {StateHighScores, 2, 0, "sound/1.xm", 0},
        {StateExitConfirm, 2, 0, "sound/1.xm", 0},
        {StateClearScoresConfirm, 1, 0, "sound/1.xm", 0},
        {StatePlaying, 9, 0, "sound/2.xm", 0},
        {StatePlaying, 9, 1, nullptr, 1},          // a jump back is not a wrap
        {StatePaused, 5, 0, nullptr, 0},           // states without a module of their own
        {StateNameEntry, 5, 0, nullptr, 0},
        {StateHelpAbout, 5, 0, nullptr, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        PlayMusic("1.xm");
        fake.Music.Loaded.clear();
        GameState = c.State;
        LastMusicOrder = c.Last;
        fake.Music.Order = c.Order;
        WatchMusic(StateModule(GameState)); // as the frame loop does
        std::vector<std::string> expected;
        if (c.Reload)
            expected.push_back(c.Reload);
        EXPECT_EQ(fake.Music.Loaded, expected) << "state " << c.State << " order " << c.Last << "->" << c.Order;
        EXPECT_EQ(LastMusicOrder, c.LastAfter) << "state " << c.State;
        EXPECT_NE(MusicHandle, 0u);
        EXPECT_EQ(fake.Music.Playing, MusicHandle);
    }
}

TEST_F(Music, WatcherDoesNothingWithoutMusic)
{
    LastMusicOrder = 5;
    fake.Music.Order = 0;
    WatchMusic(StateModule(GameState)); // as the frame loop does
    EXPECT_TRUE(fake.Music.Log.empty());
    EXPECT_EQ(LastMusicOrder, 0);
    // Switched off in the options: the next module starts fresh, no stale wrap.
    PlayMusic("1.xm");
    fake.Music.Order = 0;
    WatchMusic(StateModule(GameState)); // as the frame loop does
    EXPECT_EQ(fake.Music.Loaded.size(), 1u);
}

TEST_F(Music, WatcherRestartsTheRealModulesOnceTheyHaveRunThrough)
{
    // Each module rendered by libxmp as the game's player renders it; once
    // per drawn frame (1000/64 ms of music) the watcher sees libxmp's order.
    // It must start the module afresh exactly when libxmp has played it
    // through and come back to the start, and never before.
    for (const char* name : {"1.xm", "2.xm"}) {
        SCOPED_TRACE(name);
        MusicFolder = std::string(ZEPHYRION_BINARY_DIR) + "/sound/";
        GameState = std::string(name) == "1.xm" ? StateMainMenu : StatePlaying;
        PlayMusic(name);
        fake.Music.Loaded.clear();
        LastMusicOrder = 0;
        xmp_context ctx = xmp_create_context();
        ASSERT_EQ(xmp_load_module(ctx, (MusicFolder + name).c_str()), 0);
        ASSERT_EQ(xmp_start_player(ctx, 8000, 0), 0);
        double musicMs = 0, nextFrameMs = 0;
        int frames = 0, loopFrame = -1, restartFrame = -1;
        xmp_frame_info fi{};
        while (musicMs < 600000 && restartFrame < 0) {
            ASSERT_EQ(xmp_play_frame(ctx), 0);
            xmp_get_frame_info(ctx, &fi);
            if (fi.loop_count > 0 && loopFrame < 0)
                loopFrame = frames;
            musicMs += fi.frame_time / 1000.0;
            for (; nextFrameMs <= musicMs; nextFrameMs += 1000.0 / 64) {
                fake.Music.Order = fi.pos;
                WatchMusic(StateModule(GameState)); // as the frame loop does
                ++frames;
                if (!fake.Music.Loaded.empty() && restartFrame < 0)
                    restartFrame = frames - 1;
            }
        }
        xmp_end_player(ctx);
        xmp_release_module(ctx);
        xmp_free_context(ctx);
        MusicFolder = "sound/";
        ASSERT_GE(loopFrame, 0) << "libxmp played the module through";
        EXPECT_GE(restartFrame, loopFrame) << "not before the end";
        EXPECT_LE(restartFrame, loopFrame + 1) << "at the frame the module came back to its start";
        EXPECT_EQ(fake.Music.Loaded, std::vector<std::string>{std::string(ZEPHYRION_BINARY_DIR) + "/sound/" + name});
        EXPECT_GT(frames, 60 * 64) << "a minute of music first";
    }
}

} // namespace
