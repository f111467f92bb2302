// Keys and the mouse in the menus: the Alt combinations, the boss key, what
// each key does in each state, and the names of keys for the boss-key option.
#include <vector>

#include "game/Game.h"
#include "graphics/DXCtrl.h"
#include "main/GameRecording.h"
#include "main/Main.h"
#include "main/Screens.h"
#include "platform/Platform.h"
#include "services/Options.h"

namespace {

enum class TKeyAction : uint8_t {
    SelectPrevious,   // the state's button list (or the options menu) moves up
    SelectNext,
    Confirm,          // the state's widget is chosen: Done, then the state machine
    CloseRequest,     // as the window's close button
    Pause,            // the game freezes behind stripes
    QuitAsk,          // the in-game "Exit game?" (only while the game is in play)
    GoTo,             // straight to Target, no sound
    QuitNo,           // back to the game, cursor hidden
    OptionsConfirm,   // the selected option acts
    OptionsBack,      // back to the main menu through the "back" item
    CaptureBossKey,
    ChooseFirst,      // "Yes" / "Ok"
    ChooseSecond,     // "No" / "Cancel"
    CountryLetter,
    CountryDelete,
    NameLetter,
    NameDelete,
};

struct TKeyRange {
    uint16_t First, Last;
};

struct TKeyRule {
    std::vector<int32_t> States;
    std::vector<TKeyRange> Keys;
    TKeyAction Action;
    int32_t Target = 0;
};

constexpr TKeyRange K(uint16_t key) { return {key, key}; }
constexpr TKeyRange Letters{'A', 'Z'};
constexpr TKeyRange AnyKey{0, 0xFFFF};
constexpr uint16_t VK_N = 'N', VK_P = 'P', VK_Y = 'Y';

const std::vector<int32_t> ButtonListStates = {StateHighScores, StateHelpOverview, StateHelpBonuses,
                                               StateHelpControls, StateHelpAbout};
const std::vector<int32_t> QuestionStates = {StateExitConfirm, StateClearScoresConfirm, StateNameEntry,
                                             StateSubmitConfirm, StateSubmitRetry, StateQuitGameConfirm};

// What a key does in a state. Keys not listed for a state do nothing there.
const std::vector<TKeyRule>& KeyRules()
{
    using A = TKeyAction;
    static const std::vector<TKeyRule> rules = {
        {{StateMainMenu}, {K(VK_UP), K(VK_LEFT)}, A::SelectPrevious},
        {{StateMainMenu}, {K(VK_DOWN), K(VK_RIGHT)}, A::SelectNext},
        {{StateMainMenu}, {K(VK_RETURN), K(VK_SPACE)}, A::Confirm},
        {{StateMainMenu}, {K(VK_ESCAPE)}, A::CloseRequest},

        {{StatePlaying}, {K(VK_P)}, A::Pause},
        {{StatePlaying}, {K(VK_ESCAPE)}, A::QuitAsk},
        {{StatePaused}, {K(VK_P), K(VK_ESCAPE)}, A::GoTo, StatePlaying},

        {{StateOptions}, {K(VK_DOWN)}, A::SelectNext},
        {{StateOptions}, {K(VK_UP)}, A::SelectPrevious},
        // Left and Right change the selected option, as Enter does.
        {{StateOptions}, {K(VK_LEFT), K(VK_RIGHT), K(VK_RETURN), K(VK_SPACE)}, A::OptionsConfirm},
        {{StateOptions}, {Letters}, A::CountryLetter},
        {{StateOptions}, {K(VK_BACK)}, A::CountryDelete},
        {{StateOptions}, {K(VK_ESCAPE)}, A::OptionsBack},
        {{StateBossKeyCapture}, {AnyKey}, A::CaptureBossKey},

        {ButtonListStates, {K(VK_UP), K(VK_LEFT)}, A::SelectPrevious},
        {ButtonListStates, {K(VK_DOWN), K(VK_RIGHT)}, A::SelectNext},
        {ButtonListStates, {K(VK_RETURN), K(VK_SPACE)}, A::Confirm},
        {ButtonListStates, {K(VK_ESCAPE)}, A::GoTo, StateMainMenu},

        {QuestionStates, {K(VK_LEFT)}, A::ChooseFirst},
        {QuestionStates, {K(VK_RIGHT)}, A::ChooseSecond},
        {QuestionStates, {K(VK_RETURN), K(VK_SPACE)}, A::Confirm},
        // Y confirms the selected answer like Enter; N answers No at once.
        {{StateExitConfirm, StateSubmitConfirm, StateSubmitRetry, StateQuitGameConfirm}, {K(VK_Y)}, A::Confirm},
        {{StateExitConfirm, StateSubmitConfirm, StateSubmitRetry}, {K(VK_ESCAPE), K(VK_N)}, A::GoTo, StateMainMenu},
        {{StateQuitGameConfirm}, {K(VK_ESCAPE), K(VK_N)}, A::QuitNo},
        {{StateClearScoresConfirm}, {K(VK_ESCAPE)}, A::GoTo, StateHighScores},
        {{StateNameEntry}, {K(VK_ESCAPE)}, A::GoTo, StateMainMenu},
        {{StateNameEntry}, {Letters}, A::NameLetter},
        {{StateNameEntry}, {K(VK_BACK)}, A::NameDelete},
    };
    return rules;
}

const TKeyRule* FindRule(int32_t state, uint16_t key)
{
    for (const TKeyRule& rule : KeyRules()) {
        bool stateMatches = false;
        for (int32_t s : rule.States)
            stateMatches = stateMatches || s == state;
        if (!stateMatches)
            continue;
        for (const TKeyRange& r : rule.Keys)
            if (key >= r.First && key <= r.Last)
                return &rule;
    }
    return nullptr;
}

// The button list a state's arrows move (none for the other states).
TDDBtnCollection* ButtonListOf(int32_t state)
{
    switch (state) {
    case StateMainMenu: return MainMenuButtons;
    case StateHighScores: return HighScoreButtons;
    case StateHelpOverview:
    case StateHelpBonuses:
    case StateHelpControls:
    case StateHelpAbout: return HelpButtons;
    default: return nullptr;
    }
}

TDDTextBtnCollection* QuestionOf(int32_t state)
{
    return state == StateClearScoresConfirm || state == StateNameEntry ? OkCancelDialog : YesNoDialog;
}

void SetDone(int32_t state)
{
    if (TDDBtnCollection* list = ButtonListOf(state))
        list->Done = true;
    else if (state == StateOptions && OptionsMenu)
        OptionsMenu->Done = true;
    else if (TDDTextBtnCollection* question = QuestionOf(state))
        question->Done = true;
}

} // namespace

void TForm1::FormKeyDown(uint16_t key, bool alt, bool fromPad)
{
    if (alt) {
        // The keyboard is let go while Alt is held; Alt+Enter switches the
        // display mode.
        Platform.Keyboard->Unacquire();
        Sleep(150);
        if (key == VK_RETURN)
            SetWindowed(!GameOptions.Windowed);
        Sleep(150);
        Platform.Keyboard->Acquire();
        return;
    }
    MouseMode = 0;
    if (key == GameOptions.BossKey && !fromPad) {
        Platform.Display->Minimize();
        return;
    }

    const int32_t state = GameState;
    const TKeyRule* rule = FindRule(state, key);
    if (!rule)
        return;
    switch (rule->Action) {
    case TKeyAction::SelectPrevious:
        if (state == StateOptions) {
            if (OptionsMenu) OptionsMenu->SelectPrevious();
        } else if (TDDBtnCollection* list = ButtonListOf(state)) {
            list->SelectPrevious();
        }
        break;
    case TKeyAction::SelectNext:
        if (state == StateOptions) {
            if (OptionsMenu) OptionsMenu->SelectNext();
        } else if (TDDBtnCollection* list = ButtonListOf(state)) {
            list->SelectNext();
        }
        break;
    case TKeyAction::Confirm:
        SetDone(state);
        ApplyMenuChoice();
        break;
    case TKeyAction::CloseRequest:
        Close();
        break;
    case TKeyAction::Pause:
        NoteForRecord(record::TNote::Pause);
        TakeSnapshot();
        StripeSnapshot();
        GameState = StatePaused;
        break;
    case TKeyAction::QuitAsk:
        if (CurrentGame && CurrentGame->Phase == PhasePlay) {
            NoteForRecord(record::TNote::QuitAsked);
            GameState = StateQuitGameConfirm;
            ShowCursor(true);
            TakeSnapshot();
        }
        break;
    case TKeyAction::GoTo:
        GameState = rule->Target;
        break;
    case TKeyAction::QuitNo:
        GameState = StatePlaying;
        ShowCursor(false);
        break;
    case TKeyAction::OptionsConfirm:
        if (OptionsMenu) {
            OptionsMenu->Confirm();
            ApplyMenuChoice();
        }
        break;
    case TKeyAction::OptionsBack:
        if (OptionsMenu) {
            OptionsMenu->Selected = 5;
            OptionsMenu->Done = true;
        }
        ApplyMenuChoice();
        break;
    case TKeyAction::CaptureBossKey:
        if (KeyName(key) != "Bad") {
            GameOptions.BossKey = key;
            GameState = StateOptions;
        }
        break;
    case TKeyAction::ChooseFirst:
    case TKeyAction::ChooseSecond:
        if (TDDTextBtnCollection* question = QuestionOf(state))
            question->SetSelected(rule->Action == TKeyAction::ChooseFirst);
        break;
    case TKeyAction::CountryLetter:
        if (CountryEdit) CountryEdit->AddChar(static_cast<char>(key));
        break;
    case TKeyAction::CountryDelete:
        if (CountryEdit) CountryEdit->AddChar('~');
        break;
    case TKeyAction::NameLetter:
        if (NameEdit) NameEdit->AddChar(static_cast<char>(key));
        break;
    case TKeyAction::NameDelete:
        if (NameEdit) NameEdit->AddChar('~');
        break;
    }
}

void TForm1::FormMouseMove(int32_t x, int32_t y)
{
    MouseMode = -1;
    if (FormActive) {
        if (OptionsMenu)
            OptionsMenu->FollowMouse = true;
        MouseX = x;
        MouseY = y;
    }
}

void TForm1::FormMouseDown(int32_t, int32_t x, int32_t y)
{
    // A click acts where it is made. The pointer may have moved unseen (over
    // the window while another program was in front, or since the last
    // frame): the click's own position counts as a move there. A click where
    // the pointer already was keeps an item chosen with the keys.
    if (x != MouseX || y != MouseY) {
        MouseMode = -1;
        if (OptionsMenu)
            OptionsMenu->FollowMouse = true;
        MouseX = x;
        MouseY = y;
    }
    // Firing with the mouse is read from the mouse device by the game.
    if (GameState == StatePlaying)
        return;
    // The widgets take the item under the pointer as the next frame would
    // before the click is weighed.
    if (MouseMode != 0 && BackBuffer && GameState != StateIntro)
        DrawScreen(GameState, BackBuffer);
    if (MainMenuButtons) MainMenuButtons->HitTest();
    if (HighScoreButtons) HighScoreButtons->HitTest();
    if (HelpButtons) HelpButtons->HitTest();
    if (OptionsMenu) OptionsMenu->HitTest();
    if (YesNoDialog) YesNoDialog->HitTest();
    if (OkCancelDialog) OkCancelDialog->HitTest();
    ApplyMenuChoice();
}

std::string KeyName(int32_t key)
{
    struct TNamedKey {
        int32_t Code;
        const char* Name;
    };
    static const TNamedKey names[] = {
        {8, "Back"},   {9, "Tab"},   {13, "Enter"}, {27, "Esc"},   {32, "Space"}, {33, "PgUp"},
        {34, "PgDn"},  {35, "End"},  {36, "Home"},  {37, "Left"},  {38, "Up"},    {39, "Right"},
        {40, "Down"},  {45, "Ins"},  {46, "Del"},   {160, "Shift"}, {161, "Shift"}, {162, "Ctrl"},
        {163, "Ctrl"}, {164, "Alt"},
    };
    for (const TNamedKey& k : names)
        if (k.Code == key)
            return k.Name;
    if (key >= 48 && key <= 90)
        return std::string(1, static_cast<char>(key));   // "0".."9", the seven signs ":".."@", "A".."Z"
    if (key >= 112 && key <= 126)
        return "F" + std::to_string(key - 111);
    return "Bad";
}
