// The frame loop: throttle, keyboard polling, the intro, lost surfaces, and
// what activation, deactivation and restore do.
#include <gtest/gtest.h>

#include "Harness.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "services/Options.h"

namespace {

struct ThrottleCase {
    uint32_t Elapsed;
    bool Draws;
};

// clang-format off
const ThrottleCase ThrottleCases[] = {ThrottleCase{0, false}, ThrottleCase{1, false}, ThrottleCase{5, false},
                                      ThrottleCase{6, true},  ThrottleCase{16, true}, ThrottleCase{100000, true}};
// clang-format on

TEST(FrameLoop, ThrottleDrawsOnlyWhenMoreThanFiveMillisecondsPassed)
{
    for (const ThrottleCase& param : ThrottleCases) {
        SCOPED_TRACE("row " + std::to_string(&param - ThrottleCases));
        THarness h;
        h.Frame(); // a present sets the last present tick
        const int presents = h.P.Display.Presents;
        const int32_t anim = static_cast<int32_t>(AnimCounter);
        h.P.Clock.Advance(param.Elapsed);
        h.Idle();
        EXPECT_EQ(h.P.Display.Presents - presents, param.Draws ? 1 : 0);
        EXPECT_EQ(static_cast<int32_t>(AnimCounter) - anim, param.Draws ? 3 : 0)
            << "the intro steps only on drawn frames";
    }
}

TEST(FrameLoop, ThrottleComparesTickCountsAcrossTheirWrap)
{
    THarness h;
    h.P.Clock.Now = 0xFFFFFFF0u;
    h.Idle();
    const int presents = h.P.Display.Presents;
    h.P.Clock.Now = 0xFFFFFFF5u; // 5 ms later
    h.Idle();
    EXPECT_EQ(h.P.Display.Presents, presents);
    h.P.Clock.Now = 0x00000002u; // 18 ms later, past the wrap
    h.Idle();
    EXPECT_EQ(h.P.Display.Presents, presents + 1);
}

TEST(FrameLoop, KeyboardIsPolledAtEveryIdleCallEvenWhenThrottled)
{
    THarness h;
    h.Frame();
    h.P.Keyboard.Press(DIK_LCONTROL);
    h.Idle(); // no time passed: nothing drawn, keys still read
    EXPECT_EQ(KeyboardState[DIK_LCONTROL], 0x80);
    h.P.Keyboard.Release(DIK_LCONTROL);
    h.Idle();
    EXPECT_EQ(KeyboardState[DIK_LCONTROL], 0);
}

TEST(Intro, LastsEightyFiveDrawnFramesAndStepsTheMenuSelection)
{
    THarness h;
    ASSERT_NE(MainMenuButtons, nullptr);
    ASSERT_EQ(MainMenuButtons->Selected, 0);
    // Selection after drawn frame n (counting from 1): it steps when the
    // counter reaches 42, 84, 126, 168, 210 and 252.
    // clang-format off
    const struct {
        int Frame;
        int Selected;
        int32_t State;
    } checkpoints[] = {
        {1, 0, StateIntro},  {13, 0, StateIntro}, {14, 1, StateIntro},    {27, 1, StateIntro},
        {28, 2, StateIntro}, {42, 3, StateIntro}, {56, 4, StateIntro},    {70, 5, StateIntro},
        {83, 5, StateIntro}, {84, 0, StateIntro}, {85, 0, StateMainMenu},
    };
    // clang-format on
    int frame = 0;
    for (const auto& c : checkpoints) {
        while (frame < c.Frame) {
            h.Frame();
            ++frame;
        }
        EXPECT_EQ(MainMenuButtons->Selected, c.Selected) << "after frame " << frame;
        EXPECT_EQ(GameState, c.State) << "after frame " << frame;
    }
}

TEST(Intro, TitleSlidesInFromTheLeftEdge)
{
    THarness h;
    const uint32_t title = MenuSheetColor(SheetTitle);
    const uint32_t background = MenuSheetColor(SheetMenuBackground);
    h.Frames(1); // counter 0: the title lies wholly left of the screen
    EXPECT_EQ(h.Shown(0, 10), background);
    h.Frames(34); // counter 102: its right 102 columns show
    EXPECT_EQ(h.Shown(101, 10), title);
    EXPECT_EQ(h.Shown(102, 10), background);
}

TEST(Intro, ClickEndsItAtOnceWithoutTheClickSound)
{
    THarness h;
    h.Frames(10);
    const int sounds = h.ClickSounds();
    h.ClickAt(5, 5);
    EXPECT_EQ(GameState, StateMainMenu);
    EXPECT_EQ(h.ClickSounds(), sounds);
}

TEST(Intro, KeysDoNothing)
{
    THarness h;
    h.Frames(3);
    for (uint16_t key : std::initializer_list<uint16_t>{VK_RETURN, VK_ESCAPE, VK_SPACE, VK_DOWN, uint16_t(80)})
        h.Key(key);
    EXPECT_EQ(GameState, StateIntro);
    EXPECT_EQ(MainMenuButtons->Selected, 0);
}

TEST(LostSurfaces, FrameRecoversAndReloadsTheSpriteSheets)
{
    for (bool windowed : {true, false}) {
        THarness h({windowed});
        h.SkipIntro();
        DDraw->LoseAllSurfaces();
        h.Frame();
        ASSERT_NE(MenuSheets[SheetMenuBackground], nullptr);
        EXPECT_EQ(MenuSheets[SheetMenuBackground]->IsLost(), DD_OK) << "windowed " << windowed;
        EXPECT_EQ(GameSheets[SheetPlayerShip]->IsLost(), DD_OK);
        h.Frame();
        EXPECT_EQ(h.Shown(300, 300), MenuSheetColor(SheetMenuBackground)) << "windowed " << windowed;
    }
}

TEST(LostSurfaces, FailedBackgroundBlitAlsoRecovers)
{
    THarness h;
    h.SkipIntro();
    MenuSheets[SheetMenuBackground]->MarkLost(); // only the sheet: the clear still works
    h.Frame();
    EXPECT_EQ(MenuSheets[SheetMenuBackground]->IsLost(), DD_OK);
    h.Frame();
    EXPECT_EQ(h.Shown(300, 300), MenuSheetColor(SheetMenuBackground));
}

TEST(LostSurfaces, PackGoneWhileRunningEndsThroughThePackError)
{
    THarness h;
    h.SkipIntro();
    AssetPackPath = h.Folder() + "/missing/Data.pp";
    DDraw->LoseAllSurfaces();
    EXPECT_THROW(h.Frame(), EAssetPackError);
    AssetPackPath = HarnessPackPath();
}

void StartGame(THarness& h)
{
    h.SkipIntro();
    MainMenuButtons->SetSelected(0);
    h.Key(VK_RETURN);
    ASSERT_EQ(GameState, StatePlaying);
    h.Frames(3);
}

TEST(Restore, GameInterruptedByMinimisingComesBackPausedBehindStripes)
{
    for (bool windowed : {true, false}) {
        THarness h({windowed});
        StartGame(h);
        // The frame on the screen when the game was left (full screen
        // rebuilds the display on the way back, with blank new surfaces).
        std::vector<uint32_t> before;
        for (int32_t y : {1, 3, 301, 599})
            before.push_back(BackBuffer->GetPixel(400, y));
        h.Form->OnDeactivate();
        h.Form->OnRestore();
        h.Form->OnActivate();
        EXPECT_EQ(GameState, StatePaused) << "windowed " << windowed;
        const uint32_t stripe = GameSheetColor(SheetPauseStripe);
        for (int32_t y : {0, 2, 300, 598})
            EXPECT_EQ(SnapshotSurface->GetPixel(400, y), stripe) << "row " << y;
        size_t i = 0;
        for (int32_t y : {1, 3, 301, 599}) {
            EXPECT_NE(before[i], 0u) << "the game frame has a picture there";
            EXPECT_EQ(SnapshotSurface->GetPixel(400, y), before[i++]) << "row " << y;
        }
        h.Frame();
        EXPECT_EQ(h.Shown(400, 0), stripe);
    }
}

TEST(Restore, FullScreenMinimisesWhenLeftAndRebuildsTheDisplayOnReturn)
{
    THarness h({false});
    h.SkipIntro();
    const size_t modeSets = h.P.Display.ModeSets.size();
    h.Form->OnDeactivate();
    EXPECT_EQ(h.P.Display.Minimizes, 1);
    h.Form->OnRestore();
    EXPECT_EQ(h.P.Display.ModeSets.size(), modeSets + 1);
    EXPECT_FALSE(h.P.Display.ModeSets.back());
    EXPECT_EQ(h.P.Display.Shows, 1);
    EXPECT_EQ(FormActive, -1);
    EXPECT_EQ(GameState, StateMainMenu);
}

TEST(Restore, WindowReturnsToWhereItWasWhenLeft)
{
    THarness h;
    h.SkipIntro();
    h.P.Display.Left = 100;
    h.P.Display.Top = 50;
    h.Form->OnDeactivate();
    EXPECT_EQ(h.P.Display.Minimizes, 0) << "window mode does not minimise on leaving";
    h.P.Display.Left = -32000; // where a minimised window sits
    h.Form->OnRestore();
    EXPECT_EQ(h.P.Display.Left, 100);
    EXPECT_EQ(h.P.Display.Top, 50);
}

struct MusicCase {
    int32_t State;
    bool MusicOn;
    const char* Module; // loaded on activation; null: none
};

// clang-format off
const MusicCase ActivationMusicCases[] = {
    MusicCase{StateMainMenu, true, "1.xm"},  MusicCase{StateIntro, true, "1.xm"},
    MusicCase{StateOptions, true, "1.xm"},   MusicCase{StateNameEntry, true, "1.xm"},
    MusicCase{StatePlaying, true, "2.xm"},   MusicCase{StatePaused, true, "2.xm"},
    MusicCase{StatePlaying, false, nullptr}, MusicCase{StateMainMenu, false, nullptr}};
// clang-format on

TEST(FrameLoop, ActivationMusicStopsWhenLeftAndRestartsByState)
{
    for (const MusicCase& param : ActivationMusicCases) {
        SCOPED_TRACE("row " + std::to_string(&param - ActivationMusicCases));
        THarness h;
        h.Form->OnActivate();
        GameState = param.State;
        GameOptions.MusicOn = param.MusicOn;
        h.Form->OnDeactivate();
        EXPECT_EQ(h.P.Music.Playing, 0u) << "music stops when the program is left";
        EXPECT_FALSE(h.P.Keyboard.Acquired);
        const size_t loads = h.P.Music.Loaded.size();
        h.Form->OnActivate();
        EXPECT_TRUE(h.P.Keyboard.Acquired);
        EXPECT_EQ(MouseMode, -1);
        if (param.Module) {
            ASSERT_EQ(h.P.Music.Loaded.size(), loads + 1);
            EXPECT_EQ(h.P.Music.Loaded.back(), h.Folder() + "/sound/" + param.Module);
            EXPECT_NE(h.P.Music.Playing, 0u);
        } else {
            EXPECT_EQ(h.P.Music.Loaded.size(), loads);
            EXPECT_EQ(h.P.Music.Playing, 0u);
        }
    }
}

// The frozen frame behind the pause and every dialog over the game (the
// high-score table behind the clear-table question) is still there after
// any number of display switches and restores.
TEST(Restore, TheFrozenFrameSurvivesEveryDisplayRebuild)
{
    enum TSetUp {
        Pause,
        QuitQuestion,
        NameEntry,
        ClearTableQuestion
    };
    enum TRebuild {
        AltEnterTwice,
        AltEnterThrice,
        LeaveFullScreenAndComeBack
    };
    // clang-format off
    const struct {
        const char* Name;
        TSetUp SetUp;
        TRebuild Rebuild;
        int32_t X, Y;   // a point the screen's own pieces leave uncovered
    } cases[] = {
        {"pause, Alt+Enter twice", Pause, AltEnterTwice, 20, 21},
        {"pause, Alt+Enter three times", Pause, AltEnterThrice, 20, 21},
        {"pause, Alt+Tab out of full screen and back", Pause, LeaveFullScreenAndComeBack, 20, 21},
        {"in-game exit question, Alt+Enter", QuitQuestion, AltEnterTwice, 20, 20},
        {"in-game exit question, out of full screen and back", QuitQuestion, LeaveFullScreenAndComeBack, 20, 20},
        {"name entry, Alt+Enter", NameEntry, AltEnterThrice, 20, 20},
        {"clear-table question, Alt+Enter", ClearTableQuestion, AltEnterTwice, 300, 130},
        {"clear-table question, out of full screen and back", ClearTableQuestion, LeaveFullScreenAndComeBack, 300,
         130},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        THarness h({c.Rebuild != LeaveFullScreenAndComeBack});
        h.Form->OnActivate();
        StartGame(h);
        h.Frames(5);
        switch (c.SetUp) {
        case Pause: h.Key('P'); break;
        case QuitQuestion:
            CurrentGame->Phase = PhasePlay;
            h.Key(VK_ESCAPE);
            break;
        case NameEntry:
            TakeSnapshot();
            GameState = StateNameEntry;
            break;
        case ClearTableQuestion:
            GameState = StateHighScores;
            h.Frame();
            HighScoreButtons->SetSelected(0);
            h.Key(VK_RETURN);
            break;
        }
        h.Frame();
        const int32_t state = GameState;
        const uint32_t frozen = h.Shown(c.X, c.Y);
        ASSERT_NE(frozen, 0u) << "the frozen frame has a picture at the point";
        switch (c.Rebuild) {
        case AltEnterTwice:
        case AltEnterThrice:
            for (int i = 0; i < (c.Rebuild == AltEnterTwice ? 2 : 3); ++i) {
                h.Key(VK_RETURN, true);
                h.Frame();
                EXPECT_EQ(h.Shown(c.X, c.Y), frozen) << "after switch " << i + 1;
            }
            break;
        case LeaveFullScreenAndComeBack:
            for (int i = 0; i < 2; ++i) {
                h.Form->OnDeactivate();
                ASSERT_EQ(h.P.Display.Minimizes, i + 1);
                h.Form->OnRestore();
                h.Form->OnActivate();
                h.Frame();
                EXPECT_EQ(h.Shown(c.X, c.Y), frozen) << "after restore " << i + 1;
            }
            break;
        }
        EXPECT_EQ(GameState, state);
    }
}

} // namespace
