// The frame loop and the application's state machine: what a frame draws,
// the recovery after lost surfaces, and what a confirmed menu choice does.
#include <iterator>

#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "main/GameRecording.h"
#include "main/Main.h"
#include "main/Screens.h"
#include "main/StateWidgets.h"
#include "services/DXSounds.h"
#include "services/FMOD.h"
#include "services/Options.h"
#include "services/WebScores.h"

namespace {

// What choosing a menu item does.
// clang-format off
enum class TChoice : uint8_t {
    Nothing,          // no change (the click sound may still play)
    GoTo,             // GameState := Target
    NewGame,          // music "2.xm", a new TGame, StatePlaying
    WebSite,          // the publisher's web site in the browser
    WorldTable,       // the world high-score page in the browser
    ClearTableAsk,    // the clear-table dialog over the frozen table
    ToggleWindowed,   // window <-> full screen
    ToggleMusic,
    ToggleSound,
    ToggleCountryEditing,
    ExitYes,          // leave the program, saving the settings
    ExitNo,
    ClearScores,      // the table reset, back to the table
    NameOk,           // the result enters the table, then the send question
    SubmitYes,        // "Please wait...", then the result is sent
    SubmitNo,
    QuitYes,          // the running game ends (game over)
    QuitNo,
};
// clang-format on

struct TChoiceRow {
    TChoice Action = TChoice::Nothing;
    int32_t Target = 0;
    bool Click = true; // ends with the click sound
};

// The widgets of each state; states not listed show none (play, the pause,
// "Please wait..."). The intro runs the cursor down the main menu's list on
// its own, and a click there only ends it; the boss-key capture shows the
// country field under the options, but every key goes to the capture.
struct TStateWidgetRow {
    int32_t State;
    TStateWidgets Widgets;
};

constexpr bool Shown = false, Driven = true;

const TStateWidgetRow StateWidgetTable[] = {
    {StateIntro, {TWidget::MainMenu, TField::None, Shown}},
    {StateMainMenu, {TWidget::MainMenu, TField::None, Driven}},
    {StateOptions, {TWidget::Options, TField::Country, Driven}},
    {StateBossKeyCapture, {TWidget::None, TField::Country, Shown}},
    {StateHighScores, {TWidget::HighScores, TField::None, Driven}},
    {StateHelpOverview, {TWidget::Help, TField::None, Driven}},
    {StateHelpBonuses, {TWidget::Help, TField::None, Driven}},
    {StateHelpControls, {TWidget::Help, TField::None, Driven}},
    {StateHelpAbout, {TWidget::Help, TField::None, Driven}},
    {StateExitConfirm, {TWidget::YesNo, TField::None, Driven}},
    {StateClearScoresConfirm, {TWidget::OkCancel, TField::None, Driven}},
    {StateNameEntry, {TWidget::OkCancel, TField::Name, Driven}},
    {StateSubmitConfirm, {TWidget::YesNo, TField::None, Driven}},
    {StateSubmitRetry, {TWidget::YesNo, TField::None, Driven}},
    {StateQuitGameConfirm, {TWidget::YesNo, TField::None, Driven}},
};

// One state's reaction to a confirmed choice on the widget input acts on
// there (none: the choice is item 0). Items are the widget's items from 0
// (for the questions: 0 = "Yes"/"Ok", 1 = "No"/"Cancel"). Always: the row
// runs whether the widget's Done is set or not.
struct TMenuRow {
    int32_t State;
    bool Always;
    TChoiceRow Items[6];
};

constexpr TChoiceRow To(int32_t state) { return {TChoice::GoTo, state, true}; }
constexpr TChoiceRow Do(TChoice action) { return {action, 0, true}; }
constexpr TChoiceRow Silent(TChoice action, int32_t target = 0) { return {action, target, false}; }

// clang-format off
const TMenuRow MenuTable[] = {
    {StateIntro, true, {Silent(TChoice::GoTo, StateMainMenu)}},
    {StateMainMenu, false,
     {Silent(TChoice::NewGame), To(StateOptions), To(StateHighScores), To(StateHelpOverview),
      Do(TChoice::WebSite), To(StateExitConfirm)}},
    {StateOptions, true,
     {Do(TChoice::ToggleWindowed), Do(TChoice::ToggleMusic), Do(TChoice::ToggleSound),
      Do(TChoice::ToggleCountryEditing), To(StateBossKeyCapture), To(StateMainMenu)}},
    {StateHighScores, false, {Do(TChoice::ClearTableAsk), Do(TChoice::WorldTable), To(StateMainMenu)}},
    {StateHelpOverview, false, {Silent(TChoice::Nothing), To(StateHelpBonuses), To(StateMainMenu)}},
    {StateHelpBonuses, false, {To(StateHelpOverview), To(StateHelpControls), To(StateMainMenu)}},
    {StateHelpControls, false, {To(StateHelpBonuses), To(StateHelpAbout), To(StateMainMenu)}},
    {StateHelpAbout, false, {To(StateHelpControls), Silent(TChoice::Nothing), To(StateMainMenu)}},
    {StateExitConfirm, false, {Do(TChoice::ExitYes), Do(TChoice::ExitNo)}},
    {StateClearScoresConfirm, false, {Do(TChoice::ClearScores), To(StateHighScores)}},
    {StateNameEntry, false, {Do(TChoice::NameOk), To(StateMainMenu)}},
    {StateSubmitConfirm, false, {Do(TChoice::SubmitYes), Do(TChoice::SubmitNo)}},
    {StateSubmitRetry, false, {Do(TChoice::SubmitYes), Do(TChoice::SubmitNo)}},
    {StateQuitGameConfirm, false, {Do(TChoice::QuitYes), Do(TChoice::QuitNo)}},
};
// clang-format on

// Where the instance of a button list or a question is kept (null for
// another kind).
TDDBtnCollection** ButtonListSlot(TWidget widget)
{
    switch (widget) {
    case TWidget::MainMenu: return &MainMenuButtons;
    case TWidget::HighScores: return &HighScoreButtons;
    case TWidget::Help: return &HelpButtons;
    default: return nullptr;
    }
}

TDDTextBtnCollection** QuestionSlot(TWidget widget)
{
    switch (widget) {
    case TWidget::YesNo: return &YesNoDialog;
    case TWidget::OkCancel: return &OkCancelDialog;
    default: return nullptr;
    }
}

// The chosen flag and the selected item of a widget; false when the widget
// does not exist.
bool ReadWidget(TWidget widget, int32_t& selected)
{
    if (widget == TWidget::None) {
        selected = 0;
        return true;
    }
    if (TDDBtnCollection* list = ButtonListOf(widget)) {
        selected = list->Selected;
        return list->Done;
    }
    if (TDDOptBtnCollection* options = OptionsMenuOf(widget)) {
        selected = options->Selected;
        return options->Done;
    }
    if (TDDTextBtnCollection* question = QuestionOf(widget)) {
        selected = question->FirstSelected ? 0 : 1;
        return question->Done;
    }
    return false;
}

void Click()
{
    PlayWave(MenuClick);
}

// The name typed for the finished game (none before the first pack load).
std::string TypedName() { return NameEdit ? NameEdit->Text : std::string(); }

void Perform(TForm1& form, const TChoiceRow& choice);

} // namespace

TStateWidgets WidgetsOf(int32_t state)
{
    for (const TStateWidgetRow& row : StateWidgetTable)
        if (row.State == state)
            return row.Widgets;
    return {};
}

TStateWidgets DrivenWidgetsOf(int32_t state)
{
    const TStateWidgets widgets = WidgetsOf(state);
    return widgets.Driven ? widgets : TStateWidgets{};
}

bool IsButtonList(TWidget widget) { return ButtonListSlot(widget) != nullptr; }
bool IsQuestion(TWidget widget) { return QuestionSlot(widget) != nullptr; }

TDDBtnCollection* ButtonListOf(TWidget widget)
{
    TDDBtnCollection** slot = ButtonListSlot(widget);
    return slot ? *slot : nullptr;
}

TDDOptBtnCollection* OptionsMenuOf(TWidget widget) { return widget == TWidget::Options ? OptionsMenu : nullptr; }

TDDTextBtnCollection* QuestionOf(TWidget widget)
{
    TDDTextBtnCollection** slot = QuestionSlot(widget);
    return slot ? *slot : nullptr;
}

TDDEdit* FieldOf(TField field)
{
    switch (field) {
    case TField::Country: return CountryEdit;
    case TField::Name: return NameEdit;
    case TField::None: break;
    }
    return nullptr;
}

void ApplyMenuChoice()
{
    if (Form1)
        Form1->ApplyMenuChoice();
}

void InsertFinishedGame()
{
    if (CurrentGame)
        InsertHiScore(TypedName(), CurrentGame->Score);
}

void TakeSnapshot()
{
    if (SnapshotSurface && BackBuffer)
        SnapshotSurface->BltFast(0, 0, BackBuffer, nullptr, DDBLTFAST_WAIT);
}

void StripeSnapshot()
{
    TSurface* stripe = GameSheets[SheetPauseStripe];
    if (!SnapshotSurface || !stripe)
        return;
    for (int32_t y = 0; y < 600; y += 2)
        SnapshotSurface->BltFast(0, y, stripe, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
}

void TForm1::OnIdle()
{
    bool done = false;
    ApplicationEvents1Idle(done);
}

void TForm1::ApplicationEvents1Idle(bool& done)
{
    PollGamepad(); // its presses come in as keys before the frame
    RunFrame();
    done = false; // call again as soon as the queue is empty
}

HRESULT TForm1::ClearBackBuffer()
{
    if (!BackBuffer)
        return DDERR_SURFACELOST;
    return BackBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, 0);
}

void TForm1::RecoverSurfaces()
{
    if (!DDraw)
        return;
    const bool restored = PrimarySurface && Succeeded(PrimarySurface->Restore());
    if (restored) {
        // The frame surfaces come back with the primary; without them the
        // clear below would fail for ever in window mode.
        if (BackBuffer)
            BackBuffer->Restore();
        if (SnapshotSurface)
            SnapshotSurface->Restore();
        if (Failed(ClearBackBuffer()))
            return; // the next frame tries again
    }
    LoadAssetPack(DDraw);
}

void TForm1::RunFrame()
{
    const uint32_t now = GetTickCount();
    for (uint8_t& b : KeyboardState)
        b = 0;
    Platform.Keyboard->GetDeviceState(sizeof KeyboardState, KeyboardState);
    MergePadKeys(); // the pad holds keys too: the game reads both as one
    if (static_cast<uint32_t>(now - LastPresentTick) <= 5)
        return;

    WatchMusic(StateModule(GameState));
    if (Failed(ClearBackBuffer()))
        RecoverSurfaces();
    if (!BackBuffer)
        return; // no display to draw on

    switch (GameState) {
    case StateIntro: {
        TDDBtnCollection* list = ButtonListOf(WidgetsOf(StateIntro).Widget);
        DrawIntro(BackBuffer);
        if (AnimCounter >= 250) {
            GameState = StateMainMenu;
            AnimCounter = 0;
        }
        AnimCounter += 3;
        if (AnimCounter % 14 == 0 && list)
            list->SelectNext();
        DrawWidgets(StateIntro, BackBuffer);
        break;
    }
    case StatePlaying:
        if (CurrentGame)
            RunRecordedFrame(BackBuffer);
        break;
    default: {
        const int32_t state = GameState;
        const HRESULT hr = DrawScreen(state, BackBuffer);
        const bool checked = state == StateMainMenu || state == StateHighScores ||
                             state == StateExitConfirm || state == StatePaused ||
                             state == StateQuitGameConfirm;
        if (checked && Failed(hr))
            RecoverSurfaces();
        break;
    }
    }

    if (PrimarySurface) {
        if (GameOptions.Windowed)
            PrimarySurface->Blt(&PresentDestRect, BackBuffer, &PresentSourceRect, DDBLT_WAIT);
        else
            PrimarySurface->Blt(nullptr, BackBuffer, nullptr, DDBLT_WAIT);
    }
    LastPresentTick = GetTickCount();
}

void TForm1::ApplyMenuChoice()
{
    const int32_t state = GameState;
    const TMenuRow* row = nullptr;
    for (const TMenuRow& r : MenuTable)
        if (r.State == state)
            row = &r;
    if (!row)
        return;
    int32_t selected = 0;
    const bool done = ReadWidget(DrivenWidgetsOf(state).Widget, selected);
    if (!done) {
        if (row->Always)
            Click(); // the options screen clicks on every confirm
        return;
    }
    if (selected < 0 || selected >= static_cast<int32_t>(std::size(row->Items))) {
        Click();
        return;
    }
    const TChoiceRow& choice = row->Items[selected];
    Perform(*this, choice);
    if (choice.Click)
        Click();
}

namespace {

void Perform(TForm1& form, const TChoiceRow& choice)
{
    switch (choice.Action) {
    case TChoice::Nothing:
        break;
    case TChoice::GoTo:
        GameState = choice.Target;
        break;
    case TChoice::NewGame:
        if (GameOptions.MusicOn)
            PlayMusic("2.xm");
        GameState = StatePlaying;
        delete CurrentGame;
        CurrentGame = nullptr;
        CurrentGame = NewRecordedGame();
        break;
    case TChoice::WebSite:
        OpenWebAddress(WebSiteAddress());
        break;
    case TChoice::WorldTable:
        OpenWebAddress(WorldTableAddress());
        break;
    case TChoice::ClearTableAsk:
        GameState = StateClearScoresConfirm;
        TakeSnapshot();
        break;
    case TChoice::ToggleWindowed:
        form.SetWindowed(!GameOptions.Windowed);
        break;
    case TChoice::ToggleMusic:
        GameOptions.MusicOn = !GameOptions.MusicOn;
        if (GameOptions.MusicOn)
            PlayMusic("1.xm");
        else
            StopMusic();
        break;
    case TChoice::ToggleSound:
        SetSoundOn(!GameOptions.SoundOn);
        break;
    case TChoice::ToggleCountryEditing:
        if (CountryEdit)
            CountryEdit->Editing = !CountryEdit->Editing;
        break;
    case TChoice::ExitYes:
        ExitConfirmed = true;
        form.Close();
        SaveConfig();
        break;
    case TChoice::ExitNo:
        GameState = StateMainMenu;
        ExitConfirmed = false;
        break;
    case TChoice::ClearScores:
        ResetHiScores();
        GameState = StateHighScores;
        break;
    case TChoice::NameOk:
        InsertFinishedGame();
        GameState = StateSubmitConfirm;
        break;
    case TChoice::SubmitYes:
        form.SubmitAnswer(true);
        break;
    case TChoice::SubmitNo:
        form.SubmitAnswer(false);
        break;
    case TChoice::QuitYes:
        if (CurrentGame)
            CurrentGame->Phase = PhaseGameOver;
        GameState = StatePlaying;
        ShowCursor(false);
        break;
    case TChoice::QuitNo:
        GameState = StatePlaying;
        ShowCursor(false);
        break;
    }
}

} // namespace

void TForm1::SubmitAnswer(bool yes)
{
    // "Please wait..." goes on the display before the request blocks.
    GameState = StateSubmitting;
    LastPresentTick = GetTickCount() - 10;
    RunFrame();
    if (yes)
        GameState = SendResult(TypedName(), CurrentGame ? CurrentGame->Score : 0)
                        ? StateHighScores
                        : StateSubmitRetry;
    else
        GameState = StateHighScores;
}
