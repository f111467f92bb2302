// The state machine's answer to a confirmed choice, and the close request.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "Harness.h"
#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "main/StateWidgets.h"
#include "services/Options.h"
#include "services/WebScores.h"

namespace {

// The kinds of widget; which instance each is, the cases say on their own.
using W = TWidget;

struct ChoiceCase {
    const char* Name;
    int32_t From;
    W Widget;
    int Item; // list item, or 0 = "Yes"/"Ok", 1 = "No"/"Cancel"
    bool Done;
    int32_t To;
    int Clicks; // click sounds played
    std::function<void(THarness&)> Check;
};

void Choose(W widget, int item, bool done)
{
    switch (widget) {
    case W::None:
        break;
    case W::MainMenu:
        MainMenuButtons->Selected = static_cast<int8_t>(item);
        MainMenuButtons->Done = done;
        break;
    case W::HighScores:
        HighScoreButtons->Selected = static_cast<int8_t>(item);
        HighScoreButtons->Done = done;
        break;
    case W::Help:
        HelpButtons->Selected = static_cast<int8_t>(item);
        HelpButtons->Done = done;
        break;
    case W::Options:
        OptionsMenu->Selected = static_cast<int8_t>(item);
        OptionsMenu->Done = done;
        break;
    case W::YesNo:
        YesNoDialog->FirstSelected = item == 0;
        YesNoDialog->Done = done;
        break;
    case W::OkCancel:
        OkCancelDialog->FirstSelected = item == 0;
        OkCancelDialog->Done = done;
        break;
    }
}

void Opened(THarness& h, const std::string& address)
{
    ASSERT_EQ(h.P.Opener.Opened.size(), 1u);
    EXPECT_EQ(h.P.Opener.Opened[0], address);
}

void NothingOpened(THarness& h)
{
    EXPECT_TRUE(h.P.Opener.Opened.empty());
}

const ChoiceCase ChoiceCases[] = {
    {"IntroAnyClick", StateIntro, W::None, 0, false, StateMainMenu, 0, nullptr},
    {"NewGame", StateMainMenu, W::MainMenu, 0, true, StatePlaying, 0,
     [](THarness& h) {
         ASSERT_NE(CurrentGame, nullptr);
         EXPECT_EQ(h.P.Music.Loaded.back(), h.Folder() + "/sound/2.xm");
         EXPECT_FALSE(h.P.Display.CursorShown);
     }},
    {"Options", StateMainMenu, W::MainMenu, 1, true, StateOptions, 1, NothingOpened},
    {"HighScores", StateMainMenu, W::MainMenu, 2, true, StateHighScores, 1, nullptr},
    {"Help", StateMainMenu, W::MainMenu, 3, true, StateHelpOverview, 1, nullptr},
    {"WebSite", StateMainMenu, W::MainMenu, 4, true, StateMainMenu, 1,
     [](THarness& h) { Opened(h, WebSiteAddress()); }},
    {"Exit", StateMainMenu, W::MainMenu, 5, true, StateExitConfirm, 1, nullptr},
    {"MainMenuNotChosen", StateMainMenu, W::MainMenu, 1, false, StateMainMenu, 0, nullptr},
    {"MainMenuOutOfRange", StateMainMenu, W::MainMenu, 6, true, StateMainMenu, 1, nullptr},

    {"DisplayMode", StateOptions, W::Options, 0, true, StateOptions, 1,
     [](THarness& h) {
         EXPECT_FALSE(GameOptions.Windowed);
         EXPECT_FALSE(h.P.Display.ModeSets.back());
     }},
    {"Music", StateOptions, W::Options, 1, true, StateOptions, 1,
     [](THarness& h) {
         EXPECT_FALSE(GameOptions.MusicOn);
         EXPECT_EQ(h.P.Music.Playing, 0u);
     }},
    {"Sound", StateOptions, W::Options, 2, true, StateOptions, 1, [](THarness&) { EXPECT_FALSE(GameOptions.SoundOn); }},
    {"Country", StateOptions, W::Options, 3, true, StateOptions, 1,
     [](THarness&) { EXPECT_TRUE(CountryEdit->Editing); }},
    {"BossKey", StateOptions, W::Options, 4, true, StateBossKeyCapture, 1, nullptr},
    {"OptionsBack", StateOptions, W::Options, 5, true, StateMainMenu, 1, nullptr},
    {"OptionsClickOutside", StateOptions, W::Options, 1, false, StateOptions, 1,
     [](THarness&) { EXPECT_TRUE(GameOptions.MusicOn); }},

    {"ClearTable", StateHighScores, W::HighScores, 0, true, StateClearScoresConfirm, 1, nullptr},
    {"WorldTable", StateHighScores, W::HighScores, 1, true, StateHighScores, 1,
     [](THarness& h) { Opened(h, WorldTableAddress()); }},
    {"TableBack", StateHighScores, W::HighScores, 2, true, StateMainMenu, 1, nullptr},

    {"OverviewPrevious", StateHelpOverview, W::Help, 0, true, StateHelpOverview, 0, nullptr},
    {"OverviewNext", StateHelpOverview, W::Help, 1, true, StateHelpBonuses, 1, nullptr},
    {"OverviewBack", StateHelpOverview, W::Help, 2, true, StateMainMenu, 1, nullptr},
    {"BonusesPrevious", StateHelpBonuses, W::Help, 0, true, StateHelpOverview, 1, nullptr},
    {"BonusesNext", StateHelpBonuses, W::Help, 1, true, StateHelpControls, 1, nullptr},
    {"BonusesBack", StateHelpBonuses, W::Help, 2, true, StateMainMenu, 1, nullptr},
    {"ControlsPrevious", StateHelpControls, W::Help, 0, true, StateHelpBonuses, 1, nullptr},
    {"ControlsNext", StateHelpControls, W::Help, 1, true, StateHelpAbout, 1, nullptr},
    {"ControlsBack", StateHelpControls, W::Help, 2, true, StateMainMenu, 1, nullptr},
    {"AboutPrevious", StateHelpAbout, W::Help, 0, true, StateHelpControls, 1, nullptr},
    {"AboutNext", StateHelpAbout, W::Help, 1, true, StateHelpAbout, 0, nullptr},
    {"AboutBack", StateHelpAbout, W::Help, 2, true, StateMainMenu, 1, nullptr},

    {"ExitYes", StateExitConfirm, W::YesNo, 0, true, StateExitConfirm, 1,
     [](THarness& h) {
         EXPECT_TRUE(ExitConfirmed);
         EXPECT_TRUE(h.P.Display.QuitRequested);
     }},
    {"ExitNo", StateExitConfirm, W::YesNo, 1, true, StateMainMenu, 1,
     [](THarness& h) {
         EXPECT_FALSE(ExitConfirmed);
         EXPECT_FALSE(h.P.Display.QuitRequested);
     }},
    {"ClearOk", StateClearScoresConfirm, W::OkCancel, 0, true, StateHighScores, 1,
     [](THarness&) { EXPECT_NE(HiScores[0].Score, 123456) << "the table is back to its defaults"; }},
    {"ClearCancel", StateClearScoresConfirm, W::OkCancel, 1, true, StateHighScores, 1,
     [](THarness&) { EXPECT_EQ(HiScores[0].Score, 123456); }},
    {"NameOk", StateNameEntry, W::OkCancel, 0, true, StateSubmitConfirm, 1,
     [](THarness&) {
         EXPECT_EQ(HiScores[0].Score, 999999);
         EXPECT_EQ(HiScores[0].Name, "Anna");
     }},
    {"NameCancel", StateNameEntry, W::OkCancel, 1, true, StateMainMenu, 1,
     [](THarness&) { EXPECT_EQ(HiScores[0].Score, 123456); }},
    {"SendYesNoServer", StateSubmitConfirm, W::YesNo, 0, true, StateSubmitRetry, 1,
     [](THarness& h) { EXPECT_FALSE(h.P.Http.Requests.empty()); }},
    {"SendNo", StateSubmitConfirm, W::YesNo, 1, true, StateHighScores, 1,
     [](THarness& h) { EXPECT_TRUE(h.P.Http.Requests.empty()); }},
    {"RetryYesNoServer", StateSubmitRetry, W::YesNo, 0, true, StateSubmitRetry, 1, nullptr},
    {"RetryNo", StateSubmitRetry, W::YesNo, 1, true, StateHighScores, 1, nullptr},
    {"QuitGameYes", StateQuitGameConfirm, W::YesNo, 0, true, StatePlaying, 1,
     [](THarness& h) {
         EXPECT_EQ(CurrentGame->Phase, PhaseGameOver);
         EXPECT_FALSE(h.P.Display.CursorShown);
     }},
    {"QuitGameNo", StateQuitGameConfirm, W::YesNo, 1, true, StatePlaying, 1,
     [](THarness& h) {
         EXPECT_EQ(CurrentGame->Phase, PhasePlay);
         EXPECT_FALSE(h.P.Display.CursorShown);
     }},
    {"DialogNotChosen", StateExitConfirm, W::YesNo, 0, false, StateExitConfirm, 0,
     [](THarness& h) { EXPECT_FALSE(h.P.Display.QuitRequested); }},
    {"StateWithoutWidget", StatePaused, W::YesNo, 0, true, StatePaused, 0, nullptr},
    {"UnknownState", 99, W::MainMenu, 1, true, 99, 0, nullptr},
};

TEST(StateMachine, MenuChoiceLeadsWhereTheMenuTableSays)
{
    for (const ChoiceCase& param : ChoiceCases) {
        SCOPED_TRACE(param.Name);
        const ChoiceCase& c = param;
        THarness h;
        h.SkipIntro();
        // A finished game with a score for the table and a name typed.
        MainMenuButtons->SetSelected(0);
        MainMenuButtons->Done = true;
        ApplyMenuChoice();
        CurrentGame->Phase = PhasePlay;
        CurrentGame->Score = 999999;
        HiScores[0].Score = 123456;
        NameEdit->Text = "Anna";
        NameEdit->Length = 4;
        h.P.Music.Loaded.clear();
        h.P.Display.CursorShown = true;

        GameState = c.From;
        Choose(c.Widget, c.Item, c.Done);
        const int clicks = h.ClickSounds();
        ApplyMenuChoice();
        EXPECT_EQ(GameState, c.To);
        EXPECT_EQ(h.ClickSounds() - clicks, c.Clicks);
        if (c.Check)
            c.Check(h);
    }
}

TEST(StateMachine, PleaseWaitIsOnTheDisplayBeforeTheResultIsSent)
{
    THarness h;
    h.SkipIntro();
    GameState = StateSubmitConfirm;
    h.P.Clock.Advance(1); // too soon for a frame of its own
    const int presents = h.P.Display.Presents;
    h.P.Text.Calls.clear();
    YesNoDialog->FirstSelected = true;
    YesNoDialog->Done = true;
    ApplyMenuChoice();
    EXPECT_EQ(h.P.Display.Presents, presents + 1);
    bool wait = false;
    for (const auto& c : h.P.Text.Calls)
        wait = wait || c.Text == "Please wait...";
    EXPECT_TRUE(wait);
}

TEST(StateMachine, NewGameReplacesThePreviousGame)
{
    THarness h;
    h.SkipIntro();
    MainMenuButtons->SetSelected(0);
    MainMenuButtons->Done = true;
    ApplyMenuChoice();
    CurrentGame->Score = 77;
    GameState = StateMainMenu;
    ApplyMenuChoice();
    ASSERT_NE(CurrentGame, nullptr);
    EXPECT_EQ(CurrentGame->Score, 0);
}

TEST(StateMachine, ClearTableDialogShowsTheTableAsItWas)
{
    THarness h;
    h.SkipIntro();
    GameState = StateHighScores;
    h.Frame();
    HighScoreButtons->Selected = 0;
    HighScoreButtons->Done = true;
    ApplyMenuChoice();
    ASSERT_EQ(GameState, StateClearScoresConfirm);
    EXPECT_EQ(SnapshotSurface->GetPixel(260, 125), MenuSheetColor(SheetScoreRow));
    h.Frame();
    EXPECT_EQ(h.Shown(260, 125), MenuSheetColor(SheetScoreRow));
}

TEST(StateMachine, ExitYesSavesTheSettings)
{
    THarness h;
    h.SkipIntro();
    const auto cfg = std::filesystem::path(h.Folder()) / "Config.cfg";
    std::filesystem::remove(cfg);
    GameState = StateExitConfirm;
    YesNoDialog->FirstSelected = true;
    YesNoDialog->Done = true;
    ApplyMenuChoice();
    EXPECT_TRUE(h.P.Display.QuitRequested);
    EXPECT_TRUE(std::filesystem::exists(cfg));
}

struct CloseCase {
    int32_t State;
    bool ExitConfirmed;
    bool Granted;
    int32_t After;
};

const CloseCase CloseRequestCases[] = {CloseCase{StateIntro, false, false, StateIntro},
                                       CloseCase{StatePlaying, false, false, StatePlaying},
                                       CloseCase{StatePaused, false, false, StatePaused},
                                       CloseCase{StateNameEntry, false, false, StateNameEntry},
                                       CloseCase{StateSubmitConfirm, false, false, StateSubmitConfirm},
                                       CloseCase{StatePlaying, true, false, StatePlaying},
                                       CloseCase{StateMainMenu, false, false, StateExitConfirm},
                                       CloseCase{StateOptions, false, false, StateExitConfirm},
                                       CloseCase{StateBossKeyCapture, false, false, StateExitConfirm},
                                       CloseCase{StateHighScores, false, false, StateExitConfirm},
                                       CloseCase{StateHelpAbout, false, false, StateExitConfirm},
                                       CloseCase{StateClearScoresConfirm, false, false, StateExitConfirm},
                                       CloseCase{StateSubmitRetry, false, false, StateExitConfirm},
                                       CloseCase{StateExitConfirm, false, false, StateExitConfirm},
                                       CloseCase{StateExitConfirm, true, true, StateExitConfirm},
                                       CloseCase{StateMainMenu, true, true, StateExitConfirm}};

TEST(StateMachine, CloseRequestIsRefusedInPlayAndQuestionsElseAsksFirst)
{
    for (const CloseCase& param : CloseRequestCases) {
        SCOPED_TRACE("row " + std::to_string(&param - CloseRequestCases));
        const CloseCase& c = param;
        THarness h;
        GameState = c.State;
        ExitConfirmed = c.ExitConfirmed;
        EXPECT_EQ(h.Form->OnCloseQuery(), c.Granted);
        EXPECT_EQ(GameState, c.After);
    }
}

} // namespace

namespace {

TEST(StateMachine, GameLeftThroughTheQuitDialogEndsInNameEntryOrTheMainMenu)
{
    const struct {
        int32_t TenthScore;
        int32_t After;
    } cases[] = {{-1, StateNameEntry}, {0, StateMainMenu}, {100, StateMainMenu}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.TenthScore);
        THarness h;
        h.SkipIntro();
        HiScores[HiScoreCount - 1].Score = c.TenthScore;
        MainMenuButtons->SetSelected(0);
        h.Key(VK_RETURN);
        h.Frames(5);
        CurrentGame->Phase = PhasePlay;
        h.Key(VK_ESCAPE);
        ASSERT_EQ(GameState, StateQuitGameConfirm);
        EXPECT_TRUE(h.P.Display.CursorShown);
        h.Key(VK_LEFT);
        h.Key('Y');
        ASSERT_EQ(GameState, StatePlaying);
        EXPECT_EQ(CurrentGame->Phase, PhaseGameOver);
        h.Frame();
        h.P.Clock.Advance(2100);
        h.Frame();
        EXPECT_EQ(GameState, c.After);
        EXPECT_TRUE(h.P.Display.CursorShown);
    }
}

TEST(StateMachine, NameTypedOnceIsOfferedAgain)
{
    THarness h;
    h.SkipIntro();
    GameState = StateNameEntry;
    for (uint16_t key : std::initializer_list<uint16_t>{'B', 'O', 'B'})
        h.Key(key);
    h.Frame();
    h.Key(VK_ESCAPE);
    ASSERT_EQ(GameState, StateMainMenu);
    GameState = StateNameEntry;
    h.Frame();
    EXPECT_EQ(NameEdit->Text, "Bob");
    h.Key('S');
    h.Frame();
    EXPECT_EQ(NameEdit->Text, "Bobs");
}

} // namespace

namespace {

// Which widgets a state shows and which its keys reach, as bits.
constexpr unsigned MainMenuList = 1, HighScoreList = 2, HelpList = 4, Options = 8, YesNo = 16, OkCancel = 32,
                   Country = 64, Name = 128;

// The bits of the widgets (in the order above) for which a flag is set.
unsigned Bits(const std::vector<bool>& flags)
{
    unsigned bits = 0;
    for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i])
            bits |= 1u << i;
    return bits;
}

struct OwnerCase {
    int32_t State;
    unsigned Drawn;
    unsigned Driven;
};

// clang-format off
const OwnerCase OwnerCases[] = {
    {StateIntro, MainMenuList, 0},   // the intro runs the menu's cursor on its own
    {StateMainMenu, MainMenuList, MainMenuList},
    {StatePlaying, 0, 0},
    {StateOptions, Options | Country, Options | Country},
    {StateBossKeyCapture, Country, 0},   // every key goes to the capture
    {StateHighScores, HighScoreList, HighScoreList},
    {StateHelpOverview, HelpList, HelpList},
    {StateHelpBonuses, HelpList, HelpList},
    {StateHelpControls, HelpList, HelpList},
    {StateHelpAbout, HelpList, HelpList},
    {StateExitConfirm, YesNo, YesNo},
    {StateClearScoresConfirm, OkCancel, OkCancel},
    {StatePaused, 0, 0},
    {StateNameEntry, OkCancel | Name, OkCancel | Name},
    {StateSubmitConfirm, YesNo, YesNo},
    {StateQuitGameConfirm, YesNo, YesNo},
    {StateSubmitRetry, YesNo, YesNo},
    {StateSubmitting, 0, 0},
    {99, 0, 0},
};
// clang-format on

// The widgets one frame of a state draws: a list or the options menu notes
// its selection as the previous one, a text field the time it was drawn, a
// question draws its captions.
unsigned DrawnIn(THarness& h, int32_t state)
{
    for (TDDBtnCollection* list : {MainMenuButtons, HighScoreButtons, HelpButtons})
        list->PrevSelected = -1;
    OptionsMenu->PrevSelected = -1;
    CountryEdit->LastDrawTick = NameEdit->LastDrawTick = 0;
    GameState = state;
    h.TakeTexts();
    h.Frame();
    const std::vector<std::string> texts = h.TakeTexts();
    const auto has = [&](const char* text) { return std::find(texts.begin(), texts.end(), text) != texts.end(); };
    return Bits({MainMenuButtons->PrevSelected != -1, HighScoreButtons->PrevSelected != -1,
                 HelpButtons->PrevSelected != -1, OptionsMenu->PrevSelected != -1, has("Yes"), has("Ok"),
                 CountryEdit->LastDrawTick != 0, NameEdit->LastDrawTick != 0});
}

// What the keys can change on each widget.
std::vector<int> Marks()
{
    return {MainMenuButtons->Selected, HighScoreButtons->Selected, HelpButtons->Selected, OptionsMenu->Selected,
            YesNoDialog->FirstSelected, OkCancelDialog->FirstSelected, int(CountryEdit->Text.size()),
            int(NameEdit->Text.size())};
}

// The widgets Down, Right and a letter reach in a state.
unsigned DrivenIn(THarness& h, int32_t state)
{
    for (TDDBtnCollection* list : {MainMenuButtons, HighScoreButtons, HelpButtons})
        list->SetSelected(0);
    OptionsMenu->Selected = 1; // Down goes to the sound, which Right then only switches
    YesNoDialog->FirstSelected = OkCancelDialog->FirstSelected = true;
    for (TDDEdit* field : {CountryEdit, NameEdit}) {
        field->Text.clear();
        field->Length = 0;
    }
    const std::vector<int> before = Marks();
    for (uint16_t key : std::initializer_list<uint16_t>{VK_DOWN, VK_RIGHT, 'A'}) {
        GameState = state;
        h.Key(key);
    }
    const std::vector<int> after = Marks();
    std::vector<bool> changed;
    for (size_t i = 0; i < before.size(); ++i)
        changed.push_back(before[i] != after[i]);
    return Bits(changed);
}

TEST(StateMachine, EveryStateDrawsAndDrivesItsOwnWidgetsOnly)
{
    for (const OwnerCase& c : OwnerCases) {
        SCOPED_TRACE("state " + std::to_string(c.State));
        MenuHarness h;
        EXPECT_EQ(DrawnIn(h, c.State), c.Drawn);
        EXPECT_EQ(DrivenIn(h, c.State), c.Driven);
    }
}

} // namespace
