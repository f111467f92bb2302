// Keys and the mouse in every state, the key names, Alt+Enter and the boss key.
#include <gtest/gtest.h>

#include "Harness.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "services/Options.h"

namespace {

constexpr uint16_t KeyA = 'A', KeyN = 'N', KeyP = 'P', KeyQ = 'Q', KeyY = 'Y', Key5 = '5', KeyF1 = 112;

struct KeyCase {
    int32_t State;
    uint16_t Key;
    int32_t After;
};

const KeyCase KeyInStateCases[] = {KeyCase{StateIntro, VK_RETURN, StateIntro},
                                   KeyCase{StateIntro, VK_ESCAPE, StateIntro},
                                   KeyCase{StateMainMenu, VK_RETURN, StateHighScores},
                                   KeyCase{StateMainMenu, VK_SPACE, StateHighScores},
                                   KeyCase{StateMainMenu, VK_ESCAPE, StateExitConfirm},
                                   KeyCase{StateMainMenu, KeyP, StateMainMenu},
                                   KeyCase{StatePlaying, KeyP, StatePaused},
                                   KeyCase{StatePlaying, VK_ESCAPE, StateQuitGameConfirm},
                                   KeyCase{StatePlaying, VK_RETURN, StatePlaying},
                                   KeyCase{StatePaused, KeyP, StatePlaying},
                                   KeyCase{StatePaused, VK_ESCAPE, StatePlaying},
                                   KeyCase{StatePaused, VK_RETURN, StatePaused},
                                   KeyCase{StateOptions, VK_ESCAPE, StateMainMenu},
                                   KeyCase{StateOptions, VK_RETURN, StateBossKeyCapture},
                                   KeyCase{StateOptions, VK_RIGHT, StateBossKeyCapture},
                                   KeyCase{StateOptions, VK_LEFT, StateBossKeyCapture},
                                   KeyCase{StateOptions, KeyN, StateOptions},
                                   KeyCase{StateBossKeyCapture, KeyQ, StateOptions},
                                   KeyCase{StateBossKeyCapture, VK_SHIFT, StateBossKeyCapture},
                                   KeyCase{StateBossKeyCapture, VK_CONTROL, StateBossKeyCapture},
                                   KeyCase{StateBossKeyCapture, VK_MENU, StateBossKeyCapture},
                                   KeyCase{StateHighScores, VK_ESCAPE, StateMainMenu},
                                   KeyCase{StateHighScores, VK_RETURN, StateMainMenu},
                                   KeyCase{StateHelpOverview, VK_ESCAPE, StateMainMenu},
                                   KeyCase{StateHelpOverview, VK_SPACE, StateHelpBonuses},
                                   KeyCase{StateHelpBonuses, VK_ESCAPE, StateMainMenu},
                                   KeyCase{StateHelpControls, VK_RETURN, StateHelpAbout},
                                   KeyCase{StateHelpAbout, VK_ESCAPE, StateMainMenu},
                                   KeyCase{StateExitConfirm, VK_ESCAPE, StateMainMenu},
                                   KeyCase{StateExitConfirm, KeyN, StateMainMenu},
                                   KeyCase{StateExitConfirm, VK_RETURN, StateMainMenu},
                                   KeyCase{StateExitConfirm, KeyY, StateMainMenu},
                                   KeyCase{StateClearScoresConfirm, VK_ESCAPE, StateHighScores},
                                   KeyCase{StateClearScoresConfirm, KeyN, StateClearScoresConfirm},
                                   KeyCase{StateClearScoresConfirm, KeyY, StateClearScoresConfirm},
                                   KeyCase{StateClearScoresConfirm, VK_RETURN, StateHighScores},
                                   KeyCase{StateNameEntry, VK_ESCAPE, StateMainMenu},
                                   KeyCase{StateNameEntry, VK_RETURN, StateMainMenu},
                                   KeyCase{StateNameEntry, KeyN, StateNameEntry},
                                   KeyCase{StateNameEntry, KeyY, StateNameEntry},
                                   KeyCase{StateSubmitConfirm, VK_ESCAPE, StateMainMenu},
                                   KeyCase{StateSubmitConfirm, KeyN, StateMainMenu},
                                   KeyCase{StateSubmitConfirm, KeyY, StateHighScores},
                                   KeyCase{StateSubmitRetry, KeyN, StateMainMenu},
                                   KeyCase{StateSubmitRetry, VK_RETURN, StateHighScores},
                                   KeyCase{StateQuitGameConfirm, VK_ESCAPE, StatePlaying},
                                   KeyCase{StateQuitGameConfirm, KeyN, StatePlaying},
                                   KeyCase{StateQuitGameConfirm, KeyY, StatePlaying},
                                   KeyCase{StateSubmitting, VK_ESCAPE, StateSubmitting},
                                   KeyCase{StateSubmitting, KeyY, StateSubmitting},
                                   KeyCase{99, VK_ESCAPE, 99}};

TEST(Input, KeyInStateLeadsWhereTheKeyTableSays)
{
    for (const KeyCase& param : KeyInStateCases) {
        SCOPED_TRACE("row " + std::to_string(&param - KeyInStateCases));
        const KeyCase& c = param;
        MenuHarness h;
        h.SelectSomewhereVisible();
        GameState = c.State;
        h.Key(c.Key);
        EXPECT_EQ(GameState, c.After);
        EXPECT_EQ(h.P.Display.Minimizes, 0);
        EXPECT_FALSE(h.P.Display.QuitRequested);
    }
}

TEST(Input, ArrowsMoveTheSelectionOfTheStatesWidget)
{
    MenuHarness h;
    // clang-format off
    const struct {
        int32_t State;
        uint16_t Key;
        int Before, After;
    } cases[] = {
        {StateMainMenu, VK_DOWN, 0, 1},   {StateMainMenu, VK_RIGHT, 5, 0},  {StateMainMenu, VK_UP, 0, 5},
        {StateMainMenu, VK_LEFT, 3, 2},   {StateHighScores, VK_DOWN, 2, 0}, {StateHighScores, VK_LEFT, 1, 0},
        {StateHelpAbout, VK_RIGHT, 1, 2}, {StateHelpOverview, VK_UP, 0, 2}, {StateOptions, VK_DOWN, 5, 5},
        {StateOptions, VK_DOWN, 2, 3},    {StateOptions, VK_UP, 0, 0},      {StateOptions, VK_UP, 4, 3},
    };
    // clang-format on
    for (const auto& c : cases) {
        GameState = c.State;
        int8_t* selected = c.State == StateMainMenu     ? &MainMenuButtons->Selected
                           : c.State == StateHighScores ? &HighScoreButtons->Selected
                           : c.State == StateOptions    ? &OptionsMenu->Selected
                                                        : &HelpButtons->Selected;
        if (c.State == StateOptions)
            *selected = static_cast<int8_t>(c.Before);
        else if (c.State == StateMainMenu)
            MainMenuButtons->SetSelected(c.Before);
        else if (c.State == StateHighScores)
            HighScoreButtons->SetSelected(c.Before);
        else
            HelpButtons->SetSelected(c.Before);
        h.Key(c.Key);
        EXPECT_EQ(*selected, c.After) << "state " << c.State << " key " << c.Key << " from " << c.Before;
        EXPECT_EQ(GameState, c.State);
    }
}

TEST(Input, DialogArrowsChooseTheAnswer)
{
    MenuHarness h;
    for (int32_t state : {StateExitConfirm, StateSubmitConfirm, StateSubmitRetry, StateQuitGameConfirm,
                          StateClearScoresConfirm, StateNameEntry}) {
        TDDTextBtnCollection* dialog =
            state == StateClearScoresConfirm || state == StateNameEntry ? OkCancelDialog : YesNoDialog;
        GameState = state;
        h.Key(VK_RIGHT);
        EXPECT_FALSE(dialog->FirstSelected) << state;
        h.Key(VK_LEFT);
        EXPECT_TRUE(dialog->FirstSelected) << state;
    }
}

TEST(Input, YWithNoSelectedAnswersNo)
{
    MenuHarness h;
    GameState = StateExitConfirm;
    h.Key(VK_RIGHT);
    const int clicks = h.ClickSounds();
    h.Key(KeyY);
    EXPECT_EQ(GameState, StateMainMenu);
    EXPECT_FALSE(ExitConfirmed);
    EXPECT_FALSE(h.P.Display.QuitRequested);
    EXPECT_EQ(h.ClickSounds(), clicks + 1);
}

TEST(Input, NLeavesADialogAtOnceWithoutTheClickSound)
{
    MenuHarness h;
    GameState = StateExitConfirm;
    YesNoDialog->FirstSelected = true;
    const int clicks = h.ClickSounds();
    h.Key(KeyN);
    EXPECT_EQ(GameState, StateMainMenu);
    EXPECT_EQ(h.ClickSounds(), clicks);
}

TEST(Input, PauseFreezesTheFrameBehindStripes)
{
    MenuHarness h;
    GameState = StatePlaying;
    h.Frames(2);
    h.Key(KeyP);
    ASSERT_EQ(GameState, StatePaused);
    EXPECT_EQ(SnapshotSurface->GetPixel(10, 100), GameSheetColor(SheetPauseStripe));
    EXPECT_EQ(SnapshotSurface->GetPixel(10, 101), BackBuffer->GetPixel(10, 101));
}

TEST(Input, EscDuringPlayAsksOnlyWhileTheGameIsInPlay)
{
    MenuHarness h;
    const struct {
        uint8_t Phase;
        int32_t After;
        bool CursorShown;
    } cases[] = {
        {PhasePlay, StateQuitGameConfirm, true},
        {PhaseStageTitle, StatePlaying, false},
        {PhaseSettle, StatePlaying, false},
        {PhaseGameOver, StatePlaying, false},
    };
    for (const auto& c : cases) {
        GameState = StatePlaying;
        h.P.Display.CursorShown = false;
        CurrentGame->Phase = c.Phase;
        h.Key(VK_ESCAPE);
        EXPECT_EQ(GameState, c.After) << int(c.Phase);
        EXPECT_EQ(h.P.Display.CursorShown, c.CursorShown) << int(c.Phase);
    }
}

TEST(Input, EscOnTheOptionsScreenGoesBackWithTheClickSound)
{
    MenuHarness h;
    GameState = StateOptions;
    OptionsMenu->Selected = 1;
    const int clicks = h.ClickSounds();
    h.Key(VK_ESCAPE);
    EXPECT_EQ(GameState, StateMainMenu);
    EXPECT_EQ(OptionsMenu->Selected, 5);
    EXPECT_EQ(h.ClickSounds(), clicks + 1);
    EXPECT_TRUE(GameOptions.MusicOn);
}

TEST(Input, LeftAndRightChangeTheSelectedOption)
{
    MenuHarness h;
    GameState = StateOptions;
    // clang-format off
    const struct {
        int Selected;
        uint16_t Key;
        bool Windowed, MusicOn, SoundOn;
    } cases[] = {
        {1, VK_RIGHT, true, false, true}, {1, VK_LEFT, true, true, true},   {2, VK_LEFT, true, true, false},
        {2, VK_RIGHT, true, true, true},  {0, VK_RIGHT, false, true, true}, {0, VK_LEFT, true, true, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        OptionsMenu->Selected = static_cast<int8_t>(c.Selected);
        h.Key(c.Key);
        EXPECT_EQ(GameState, StateOptions);
        EXPECT_EQ(OptionsMenu->Selected, c.Selected) << "the selection stays on its row";
        EXPECT_EQ(GameOptions.Windowed, c.Windowed) << c.Selected << " " << c.Key;
        EXPECT_EQ(GameOptions.MusicOn, c.MusicOn) << c.Selected << " " << c.Key;
        EXPECT_EQ(GameOptions.SoundOn, c.SoundOn) << c.Selected << " " << c.Key;
    }
}

TEST(Input, TextFieldsTakeLettersAndBackspaceOnly)
{
    MenuHarness h;
    const struct {
        int32_t State;
        TDDEdit* Field;
    } fields[] = {{StateOptions, CountryEdit}, {StateNameEntry, NameEdit}};
    for (const auto& f : fields) {
        GameState = f.State;
        f.Field->Text.clear();
        f.Field->Length = 0;
        h.Key(VK_BACK); // nothing to delete
        for (uint16_t key : std::initializer_list<uint16_t>{KeyA, Key5, uint16_t(KeyA + 1), 186, 90})
            h.Key(key);
        EXPECT_EQ(f.Field->Text, "ABZ") << f.State;
        h.Key(VK_BACK);
        EXPECT_EQ(f.Field->Text, "AB") << f.State;
        EXPECT_EQ(f.Field->Length, 2);
    }
}

struct NameCase {
    int32_t Code;
    const char* Name;
};

// clang-format off
const NameCase KeyNamesCases[] = {
    NameCase{0, "Bad"},    NameCase{7, "Bad"},    NameCase{8, "Back"},        NameCase{9, "Tab"},
    NameCase{10, "Bad"},   NameCase{13, "Enter"}, NameCase{16, "Bad"},        NameCase{17, "Bad"},
    NameCase{18, "Bad"},   NameCase{27, "Esc"},   NameCase{32, "Space"},      NameCase{33, "PgUp"},
    NameCase{34, "PgDn"},  NameCase{35, "End"},   NameCase{36, "Home"},       NameCase{37, "Left"},
    NameCase{38, "Up"},    NameCase{39, "Right"}, NameCase{40, "Down"},       NameCase{41, "Bad"},
    NameCase{44, "Bad"},   NameCase{45, "Ins"},   NameCase{46, "Del"},        NameCase{47, "Bad"},
    NameCase{48, "0"},     NameCase{57, "9"},     NameCase{58, ":"},          NameCase{64, "@"},
    NameCase{65, "A"},     NameCase{90, "Z"},     NameCase{91, "Bad"},        NameCase{111, "Bad"},
    NameCase{112, "F1"},   NameCase{121, "F10"},  NameCase{123, "F12"},       NameCase{126, "F15"},
    NameCase{127, "Bad"},  NameCase{159, "Bad"},  NameCase{160, "Shift"},     NameCase{161, "Shift"},
    NameCase{162, "Ctrl"}, NameCase{163, "Ctrl"}, NameCase{164, "Alt"},       NameCase{165, "Bad"},
    NameCase{255, "Bad"},  NameCase{-1, "Bad"},   NameCase{65536 + 65, "Bad"}};
// clang-format on

TEST(Input, KeyNamesMatchTheTable)
{
    for (const NameCase& param : KeyNamesCases) {
        SCOPED_TRACE("row " + std::to_string(&param - KeyNamesCases));
        EXPECT_EQ(KeyName(param.Code), param.Name);
    }
}

TEST(Input, AltEnterSwitchesTheDisplayModeInEveryState)
{
    for (int32_t state : {StateIntro, StateMainMenu, StatePlaying, StateOptions, StateExitConfirm}) {
        MenuHarness h;
        GameState = state;
        const uint32_t slept = h.P.Clock.Slept;
        const int unacquires = h.P.Keyboard.UnacquireCount;
        h.Key(VK_RETURN, true);
        EXPECT_FALSE(GameOptions.Windowed);
        EXPECT_FALSE(h.P.Display.ModeSets.back());
        EXPECT_EQ(h.P.Clock.Slept - slept, 300u);
        EXPECT_EQ(h.P.Keyboard.UnacquireCount, unacquires + 1);
        EXPECT_TRUE(h.P.Keyboard.Acquired);
        EXPECT_EQ(GameState, state) << "the key does nothing else";
        h.Key(VK_RETURN, true);
        EXPECT_TRUE(GameOptions.Windowed);
        EXPECT_TRUE(h.P.Display.ModeSets.back());
        h.Frame();
        EXPECT_NE(h.P.Display.Presents, 0);
    }
}

TEST(Input, AltWithAnyOtherKeyOnlyWaits)
{
    MenuHarness h;
    MainMenuButtons->SetSelected(0);
    const size_t modeSets = h.P.Display.ModeSets.size();
    for (uint16_t key : std::initializer_list<uint16_t>{VK_MENU, VK_DOWN, VK_ESCAPE, VK_F12}) {
        const uint32_t slept = h.P.Clock.Slept;
        h.Key(key, true);
        EXPECT_EQ(h.P.Clock.Slept - slept, 300u);
    }
    EXPECT_EQ(h.P.Display.ModeSets.size(), modeSets);
    EXPECT_EQ(GameState, StateMainMenu);
    EXPECT_EQ(MainMenuButtons->Selected, 0);
    EXPECT_EQ(h.P.Display.Minimizes, 0);
}

TEST(Input, BossKeyMinimisesFromEveryState)
{
    MenuHarness h;
    int minimizes = 0;
    for (int32_t state : {StateIntro, StateMainMenu, StatePlaying, StatePaused, StateOptions, StateBossKeyCapture,
                          StateNameEntry, StateSubmitting, StateExitConfirm}) {
        GameState = state;
        MouseMode = -1;
        h.Key(VK_F12);
        EXPECT_EQ(h.P.Display.Minimizes, ++minimizes) << state;
        EXPECT_EQ(GameState, state);
        EXPECT_EQ(MouseMode, 0);
    }
}

TEST(Input, ANewBossKeyTakesOverFromF12)
{
    MenuHarness h;
    GameState = StateOptions;
    OptionsMenu->Selected = 4;
    h.Key(VK_RETURN);
    ASSERT_EQ(GameState, StateBossKeyCapture);
    h.Key(VK_SHIFT);
    h.Key(VK_LSHIFT); // has a name, so it would be taken: check the capture first
    EXPECT_EQ(GameState, StateOptions);
    EXPECT_EQ(GameOptions.BossKey, VK_LSHIFT);
    GameState = StateBossKeyCapture;
    h.Key(KeyQ);
    EXPECT_EQ(GameOptions.BossKey, KeyQ);
    GameState = StateMainMenu;
    h.Key(VK_F12);
    EXPECT_EQ(h.P.Display.Minimizes, 0);
    h.Key(KeyQ);
    EXPECT_EQ(h.P.Display.Minimizes, 1);
    GameState = StateBossKeyCapture;
    h.Key(KeyF1);
    EXPECT_EQ(GameOptions.BossKey, KeyF1);
}

TEST(Mouse, ClickActsOnTheItemSelectedAtThatMoment)
{
    MenuHarness h;
    h.Form->OnActivate();
    h.MoveMouse(600, 390); // over "options"
    h.Frame();
    ASSERT_EQ(MainMenuButtons->Selected, 1);
    h.Key(VK_DOWN); // the keys take over: "high scores"
    h.Frame();
    EXPECT_EQ(MainMenuButtons->Selected, 2) << "a resting mouse does not move the selection";
    h.ClickHere();
    EXPECT_EQ(GameState, StateHighScores);
}

TEST(Mouse, ClickOnAnItemChoosesIt)
{
    MenuHarness h;
    h.Form->OnActivate();
    // clang-format off
    const struct {
        int32_t State;
        int32_t X, Y;
        int32_t After;
    } cases[] = {
        {StateMainMenu, 600, 470, StateHelpOverview}, {StateHelpOverview, 600, 550, StateHelpBonuses},
        {StateHelpBonuses, 700, 550, StateMainMenu},  {StateHighScores, 150, 480, StateMainMenu},
        {StateExitConfirm, 480, 360, StateMainMenu},  {StateOptions, 670, 560, StateMainMenu},
    };
    // clang-format on
    for (const auto& c : cases) {
        GameState = c.State;
        h.MoveMouse(c.X, c.Y);
        h.Frame(); // hovering selects the item
        h.ClickHere();
        EXPECT_EQ(GameState, c.After) << "state " << c.State;
    }
}

TEST(Mouse, ClickOutsideEveryItemDoesNothingButOnTheOptionsScreenClicks)
{
    MenuHarness h;
    h.Form->OnActivate();
    for (int32_t state : {StateMainMenu, StateHighScores, StateHelpAbout, StateExitConfirm, StateOptions}) {
        GameState = state;
        h.MoveMouse(5, 590);
        h.Frame();
        const int clicks = h.ClickSounds();
        h.ClickHere();
        EXPECT_EQ(GameState, state);
        EXPECT_EQ(h.ClickSounds() - clicks, state == StateOptions ? 1 : 0) << state;
    }
}

TEST(Mouse, ClicksDuringPlayNeverReachTheMenus)
{
    MenuHarness h;
    h.Form->OnActivate();
    GameState = StatePlaying;
    MainMenuButtons->SetSelected(5);
    h.ClickAt(600, 550);
    EXPECT_EQ(GameState, StatePlaying);
    EXPECT_FALSE(MainMenuButtons->Done);
}

TEST(Mouse, MovesAreKeptOnlyWhileTheProgramIsActive)
{
    MenuHarness h;
    h.Form->OnActivate();
    h.MoveMouse(100, 200);
    EXPECT_EQ(MouseX, 100);
    EXPECT_EQ(MouseMode, -1);
    EXPECT_TRUE(OptionsMenu->FollowMouse);
    h.Form->OnDeactivate();
    EXPECT_EQ(MouseMode, 0);
    h.MoveMouse(300, 400);
    EXPECT_EQ(MouseX, 100);
    EXPECT_EQ(MouseY, 200);
    EXPECT_EQ(MouseMode, -1);
}

} // namespace

namespace {

// A click that brings the window back acts where it is made, not on the item
// hovered before the player left.
TEST(Mouse, TheActivatingClickActsWhereItIsMade)
{
    // clang-format off
    const struct {
        const char* Name;
        int32_t State;
        int32_t HoverX, HoverY;   // hovered before leaving
        int32_t ClickX, ClickY;   // clicked on the way back
        int32_t After;
    } cases[] = {
        {"main menu: new game hovered, help clicked", StateMainMenu, 600, 350, 600, 470, StateHelpOverview},
        {"main menu: help hovered, options clicked", StateMainMenu, 600, 470, 600, 390, StateOptions},
        {"exit question: Yes hovered, No clicked", StateExitConfirm, 300, 360, 480, 360, StateMainMenu},
        {"high scores: back hovered, clear clicked", StateHighScores, 150, 480, 100, 160, StateClearScoresConfirm},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        MenuHarness h;
        h.Form->OnActivate();
        GameState = c.State;
        h.MoveMouse(c.HoverX, c.HoverY);
        h.Frame();
        h.Form->OnDeactivate();
        h.MoveMouse(c.ClickX, c.ClickY); // unseen: the program is not active
        h.Frame();
        h.Form->OnActivate();
        h.Form->OnMouseDown(0, c.ClickX, c.ClickY); // in the same batch of events as the activation
        EXPECT_EQ(GameState, c.After);
        EXPECT_EQ(MouseX, c.ClickX);
        EXPECT_EQ(MouseY, c.ClickY);
    }
}

TEST(Mouse, AMoveAndAClickBetweenTwoFramesActOnTheItemClicked)
{
    MenuHarness h;
    h.Form->OnActivate();
    h.MoveMouse(600, 350); // "new game"
    h.Frame();
    h.MoveMouse(600, 470); // "help", no frame drawn since
    h.ClickHere();
    EXPECT_EQ(GameState, StateHelpOverview);
}

// While another program is in front, the pointer belongs to the player.
TEST(Mouse, ThePointerIsNeverMovedWhileTheProgramIsInactive)
{
    MenuHarness h;
    h.Form->OnActivate();
    GameState = StatePlaying;
    h.Frames(3);
    const int moved = h.P.Display.CursorMoves;
    EXPECT_GT(moved, 0) << "in play the mouse flies the ship and the pointer is kept in the window";
    h.Form->OnDeactivate();
    h.MoveMouse(10, 10); // the pointer crosses the window
    h.Frames(20);
    EXPECT_EQ(h.P.Display.CursorMoves, moved);
    h.Form->OnActivate();
    h.Frames(2);
    EXPECT_GT(h.P.Display.CursorMoves, moved) << "play reads the mouse again once in front";
}

// The first Alt+Tab out of full screen minimises, whatever focus did before.
TEST(Input, LeavingFullScreenMinimisesEvenAfterFocusWasLostInAWindow)
{
    const struct {
        const char* Name;
        bool SwitchWithAltEnter;
    } cases[] = {{"Alt+Enter", true}, {"the options screen", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        MenuHarness h;
        h.Form->OnActivate();
        h.Form->OnDeactivate(); // another program in front, in window mode
        h.Form->OnActivate();
        if (c.SwitchWithAltEnter) {
            h.Key(VK_RETURN, true);
        } else {
            GameState = StateOptions;
            OptionsMenu->Selected = 0;
            h.Key(VK_RETURN);
        }
        ASSERT_FALSE(GameOptions.Windowed);
        h.Frame();
        h.Form->OnDeactivate();
        EXPECT_EQ(h.P.Display.Minimizes, 1);
        EXPECT_FALSE(SkipNextMinimize);
    }
}

} // namespace
