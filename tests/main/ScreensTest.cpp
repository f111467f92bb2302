// What the screens draw and where.
#include <gtest/gtest.h>

#include <algorithm>

#include "Harness.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "graphics/Draw.h"
#include "main/Screens.h"
#include "services/Options.h"
#include "services/WebScores.h"

namespace {

// clang-format off
const int32_t AllStates[] = {StateIntro,           StateMainMenu,     StatePlaying,     StateOptions,
                             StateHighScores,      StateHelpOverview, StateExitConfirm, StateClearScoresConfirm,
                             StateBossKeyCapture,  StatePaused,       StateNameEntry,   StateSubmitConfirm,
                             StateQuitGameConfirm, StateSubmitRetry,  StateSubmitting,  StateHelpBonuses,
                             StateHelpControls,    StateHelpAbout};
// clang-format on

TEST(Screens, EveryTextFitsTheScreen)
{
    std::vector<TScreenText> texts(std::begin(OverviewStory), std::end(OverviewStory));
    for (int32_t state : AllStates) {
        const auto s = ScreenTexts(state);
        texts.insert(texts.end(), s.begin(), s.end());
    }
    ASSERT_GT(texts.size(), 50u);
    for (const TScreenText& t : texts) {
        EXPECT_LE(t.X + static_cast<int32_t>(t.Text.size()) * t.Width, 800) << t.Text;
        EXPECT_LE(t.Y + t.Height, 600) << t.Text;
    }
}

TEST(Screens, StoryHasThirteenLinesInThreeParagraphsAndAClosingLine)
{
    // Paragraphs start at x = 40 (y 180, 320, 380), the other lines at x = 20,
    // every 20 pixels down to 420; the closing line at (40, 440).
    int32_t y = 180;
    for (int i = 0; i < 13; ++i, y += 20) {
        const bool first = y == 180 || y == 320 || y == 380;
        EXPECT_EQ(OverviewStory[i].X, first ? 40 : 20) << i;
        EXPECT_EQ(OverviewStory[i].Y, y) << i;
        EXPECT_FALSE(OverviewStory[i].Shadowed);
        EXPECT_EQ(OverviewStory[i].Color, ColorDarkGreen);
    }
    EXPECT_EQ(OverviewStory[13].X, 40);
    EXPECT_EQ(OverviewStory[13].Y, 440);
}

// A sheet's colour at a point of the presented frame.
struct PixelCase {
    int32_t State;
    int32_t X, Y;
    int Sheet; // menu sheet; -1: the frozen frame; -2: black
};

const PixelCase ScreenPicturesCases[] = {PixelCase{StateMainMenu, 300, 300, SheetMenuBackground},
                                         PixelCase{StateMainMenu, 249, 137, SheetTitle},
                                         PixelCase{StateMainMenu, 461, 327, SheetMainMenuItems},
                                         PixelCase{StateMainMenu, 470, 337, SheetMainMenuItemLit},
                                         PixelCase{StateMainMenu, 470, 376, SheetMainMenuItems},
                                         PixelCase{StateOptions, 388, 0, SheetTitleBanner},
                                         PixelCase{StateOptions, 300, 230, SheetOptionDisplay},
                                         PixelCase{StateOptions, 327, 352, SheetOptionOnOff},
                                         PixelCase{StateOptions, 309, 477, SheetOptionBossKey},
                                         PixelCase{StateOptions, 614, 533, SheetBackButtonLit},
                                         PixelCase{StateBossKeyCapture, 305, 473, SheetOptionBossKeyLit},
                                         PixelCase{StateBossKeyCapture, 300, 230, SheetMenuBackground},
                                         PixelCase{StateHighScores, 250, 120, SheetScoreRow},
                                         PixelCase{StateHighScores, 260, 512, SheetScoreRow},
                                         PixelCase{StateHighScores, 50, 210, SheetScoreButton1},
                                         PixelCase{StateHighScores, 43, 133, SheetScoreButtonLit},
                                         PixelCase{StateHighScores, 121, 460, SheetBackLabel},
                                         PixelCase{StateHelpOverview, 440, 530, SheetHelpButtonLit + 0},
                                         PixelCase{StateHelpOverview, 560, 566, SheetHelpNext},
                                         PixelCase{StateHelpOverview, 665, 566, SheetBackLabel},
                                         PixelCase{StateHelpAbout, 40, 339, SheetAboutPicture},
                                         PixelCase{StateExitConfirm, 5, 590, SheetMenuBackground},
                                         PixelCase{StateExitConfirm, 195, 395, SheetDialogPanel},
                                         PixelCase{StateExitConfirm, 100, 100, SheetTitle},
                                         PixelCase{StateClearScoresConfirm, 5, 590, -1},
                                         PixelCase{StateClearScoresConfirm, 215, 395, SheetDialogPanel},
                                         PixelCase{StatePaused, 5, 590, -1},
                                         PixelCase{StateNameEntry, 5, 590, -1},
                                         PixelCase{StateNameEntry, 220, 395, SheetDialogPanel},
                                         PixelCase{StateSubmitConfirm, 205, 395, SheetDialogPanel},
                                         PixelCase{StateQuitGameConfirm, 100, 100, -1},
                                         PixelCase{StateQuitGameConfirm, 195, 395, SheetDialogPanel},
                                         PixelCase{StateSubmitRetry, 5, 5, SheetHelpNext},
                                         PixelCase{StateSubmitRetry, 5, 590, -1},
                                         PixelCase{StateSubmitting, 5, 5, SheetHelpNext},
                                         PixelCase{StateSubmitting, 195, 395, SheetDialogPanel},
                                         PixelCase{99, 300, 300, -2},
                                         PixelCase{6, 300, 300, -2}};

TEST(Screens, ScreenPicturesAreDrawnWherePlaced)
{
    for (const PixelCase& param : ScreenPicturesCases) {
        SCOPED_TRACE("row " + std::to_string(&param - ScreenPicturesCases));
        const PixelCase& c = param;
        THarness h;
        h.SkipIntro();
        MainMenuButtons->SetSelected(0);
        MainMenuButtons->Done = true;
        ApplyMenuChoice(); // a game, for the dialogs over it
        SnapshotSurface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, 0x00123456);
        GameState = c.State;
        h.MoveMouse(0, 599);
        h.Frame();
        const uint32_t expected = c.Sheet >= 0    ? MenuSheetColor(c.Sheet)
                                  : c.Sheet == -1 ? 0x00123456u
                                                  : 0u;
        EXPECT_EQ(h.Shown(c.X, c.Y), expected);
    }
}

// Texts drawn in one frame of a state, in order.
std::vector<std::string> TextsOf(THarness& h, int32_t state)
{
    GameState = state;
    h.TakeTexts();
    h.Frame();
    return h.TakeTexts();
}

bool Has(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(Screens, OptionValuesFollowTheOptions)
{
    THarness h;
    h.SkipIntro();
    auto texts = TextsOf(h, StateOptions);
    for (const char* t : {"Options", "Display", "Music", "Sound", "Your country", "Boss key", "Window", "On", "F12"})
        EXPECT_TRUE(Has(texts, t)) << t;
    EXPECT_FALSE(Has(texts, "Off"));
    GameOptions.MusicOn = false;
    GameOptions.BossKey = 'Q';
    h.Key(VK_RETURN, true); // full screen
    texts = TextsOf(h, StateOptions);
    for (const char* t : {"FullScreen", "Off", "On", "Q"})
        EXPECT_TRUE(Has(texts, t)) << t;
    texts = TextsOf(h, StateBossKeyCapture);
    EXPECT_TRUE(Has(texts, "..."));
    EXPECT_FALSE(Has(texts, "Q"));
}

TEST(Screens, OptionValuesArePlacedAndSized)
{
    THarness h;
    h.SkipIntro();
    GameState = StateOptions;
    h.P.Text.Calls.clear();
    h.Frame();
    const struct {
        const char* Text;
        int32_t X, Y, Width;
    } expected[] = {{"Window", 320, 238, 14}, {"On", 344, 298, 14}, {"On", 344, 358, 14}, {"F12", 364, 488, 14}};
    size_t next = 0;
    for (const auto& c : h.P.Text.Calls)
        if (next < std::size(expected) && c.Text == expected[next].Text && c.X == expected[next].X &&
            c.Y == expected[next].Y && c.Font.Width == expected[next].Width && c.Font.Height == 18)
            ++next;
    EXPECT_EQ(next, std::size(expected));
}

TEST(Screens, DialogTextsAndTheScore)
{
    THarness h;
    h.SkipIntro();
    MainMenuButtons->SetSelected(0);
    MainMenuButtons->Done = true;
    ApplyMenuChoice();
    CurrentGame->Score = 4321;
    const struct {
        int32_t State;
        std::vector<std::string> Texts;
    } cases[] = {
        {StateExitConfirm, {"Exit game?", "Yes", "No"}},
        {StateClearScoresConfirm, {"Do you want to clear", "the High Score Table?", "Ok", "Cancel"}},
        {StatePaused, {"Pause"}},
        {StateNameEntry, {"Your score is 4321", "Please enter your name", "Ok", "Cancel"}},
        {StateSubmitConfirm, {"Send the result to", "world's highscores page", "Yes", "No"}},
        {StateQuitGameConfirm, {"Exit game?", "Yes", "No"}},
        {StateSubmitRetry, {"Can not connect to", "server! Repeat?"}},
        {StateSubmitting, {"Please wait..."}},
        {StateHelpAbout, {"HELP", "ABOUT", "ZEPHYRION v.2.0", "(c) 2026 Zephyrion Games", WebSiteAddress()}},
        {StateHelpBonuses,
         {"BONUSES", "Armor", "Live", "Energy", "Ionic gun", "Laser gun", "Plasma gun", "Missiles", "Mega-skull",
          "mega-bomb"}},
        {StateHelpControls, {"CONTROLS", "MENU NAVIGATIONS", "GAME NAVIGATIONS"}},
        {StateHelpOverview, {"GAME OVERVIEW", OverviewStory[0].Text, OverviewStory[13].Text}},
        {StateHighScores, {"High Score"}},
    };
    for (const auto& c : cases) {
        const auto texts = TextsOf(h, c.State);
        for (const std::string& t : c.Texts)
            EXPECT_TRUE(Has(texts, t)) << "state " << c.State << ": " << t;
    }
}

TEST(Screens, ConnectionFailedQuestionIsRed)
{
    THarness h;
    h.SkipIntro();
    GameState = StateSubmitRetry;
    h.P.Text.Calls.clear();
    h.Frame();
    bool found = false;
    for (const auto& c : h.P.Text.Calls)
        if (c.Text == "server! Repeat?" && c.X == 290 && c.Y == 282) {
            found = true;
            EXPECT_EQ(c.Color, ColorRed);
        }
    EXPECT_TRUE(found);
}

TEST(Screens, BonusPageShowsEachFrameForTenDrawnFrames)
{
    THarness h;
    h.SkipIntro();
    GameState = StateHelpBonuses;
    AnimCounter = 0;
    h.Frames(80);
    EXPECT_EQ(AnimCounter, 80u);
    h.Frame(); // frame 8 would be past the last: back to the first
    EXPECT_EQ(AnimCounter, 1u);
}

} // namespace
