// Keys and the mouse in the menus: the Alt combinations, the boss key, what
// each key does in each state, and the names of keys for the boss-key option.
#include <initializer_list>
#include <vector>

#include "game/Game.h"
#include "graphics/DXCtrl.h"
#include "main/GameRecording.h"
#include "main/Main.h"
#include "main/Screens.h"
#include "main/StateWidgets.h"
#include "platform/Platform.h"
#include "services/Options.h"

namespace {

// clang-format off
enum class TKeyAction : uint8_t {
    SelectPrevious,   // the state's button list or options menu moves up
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
    Letter,           // typed into the state's text field
    Delete,
};
// clang-format on

struct TKeyRange {
    uint16_t First, Last;
};

// The states a key rule is for: those listed, or those whose widgets input
// acts on (from the state machine's table) are of a kind.
struct TStates {
    TStates(std::initializer_list<int32_t> states) : Listed(states) {}
    TStates(bool (*with)(const TStateWidgets&)) : With(with) {}
    bool Has(int32_t state) const
    {
        if (With)
            return With(DrivenWidgetsOf(state));
        for (int32_t s : Listed)
            if (s == state)
                return true;
        return false;
    }
    std::vector<int32_t> Listed;
    bool (*With)(const TStateWidgets&) = nullptr;
};

bool WithButtonList(const TStateWidgets& w) { return IsButtonList(w.Widget); }
bool WithOptionsMenu(const TStateWidgets& w) { return w.Widget == TWidget::Options; }
bool WithQuestion(const TStateWidgets& w) { return IsQuestion(w.Widget); }
bool WithTextField(const TStateWidgets& w) { return w.Field != TField::None; }

struct TKeyRule {
    TStates States;
    std::vector<TKeyRange> Keys;
    TKeyAction Action;
    int32_t Target = 0;
};

constexpr TKeyRange K(uint16_t key) { return {key, key}; }
constexpr TKeyRange Letters{'A', 'Z'};
constexpr TKeyRange AnyKey{0, 0xFFFF};
constexpr uint16_t VK_N = 'N', VK_P = 'P', VK_Y = 'Y';

// What a key does in a state. Keys not listed for a state do nothing there.
const std::vector<TKeyRule>& KeyRules()
{
    using A = TKeyAction;
    static const std::vector<TKeyRule> rules = {
        {WithButtonList, {K(VK_UP), K(VK_LEFT)}, A::SelectPrevious},
        {WithButtonList, {K(VK_DOWN), K(VK_RIGHT)}, A::SelectNext},
        {WithButtonList, {K(VK_RETURN), K(VK_SPACE)}, A::Confirm},
        {{StateMainMenu}, {K(VK_ESCAPE)}, A::CloseRequest},
        {WithButtonList, {K(VK_ESCAPE)}, A::GoTo, StateMainMenu},

        {{StatePlaying}, {K(VK_P)}, A::Pause},
        {{StatePlaying}, {K(VK_ESCAPE)}, A::QuitAsk},
        {{StatePaused}, {K(VK_P), K(VK_ESCAPE)}, A::GoTo, StatePlaying},

        {WithOptionsMenu, {K(VK_DOWN)}, A::SelectNext},
        {WithOptionsMenu, {K(VK_UP)}, A::SelectPrevious},
        // Left and Right change the selected option, as Enter does.
        {WithOptionsMenu, {K(VK_LEFT), K(VK_RIGHT), K(VK_RETURN), K(VK_SPACE)}, A::OptionsConfirm},
        {WithOptionsMenu, {K(VK_ESCAPE)}, A::OptionsBack},
        {{StateBossKeyCapture}, {AnyKey}, A::CaptureBossKey},

        {WithQuestion, {K(VK_LEFT)}, A::ChooseFirst},
        {WithQuestion, {K(VK_RIGHT)}, A::ChooseSecond},
        {WithQuestion, {K(VK_RETURN), K(VK_SPACE)}, A::Confirm},
        // Y confirms the selected answer like Enter; N answers No at once.
        {{StateExitConfirm, StateSubmitConfirm, StateSubmitRetry, StateQuitGameConfirm}, {K(VK_Y)}, A::Confirm},
        {{StateExitConfirm, StateSubmitConfirm, StateSubmitRetry}, {K(VK_ESCAPE), K(VK_N)}, A::GoTo, StateMainMenu},
        {{StateQuitGameConfirm}, {K(VK_ESCAPE), K(VK_N)}, A::QuitNo},
        {{StateClearScoresConfirm}, {K(VK_ESCAPE)}, A::GoTo, StateHighScores},
        {{StateNameEntry}, {K(VK_ESCAPE)}, A::GoTo, StateMainMenu},
        {WithTextField, {Letters}, A::Letter},
        {WithTextField, {K(VK_BACK)}, A::Delete},
    };
    return rules;
}

const TKeyRule* FindRule(int32_t state, uint16_t key)
{
    for (const TKeyRule& rule : KeyRules()) {
        if (!rule.States.Has(state))
            continue;
        for (const TKeyRange& r : rule.Keys)
            if (key >= r.First && key <= r.Last)
                return &rule;
    }
    return nullptr;
}

void SetDone(TWidget widget)
{
    if (TDDBtnCollection* list = ButtonListOf(widget))
        list->Done = true;
    else if (TDDOptBtnCollection* options = OptionsMenuOf(widget))
        options->Done = true;
    else if (TDDTextBtnCollection* question = QuestionOf(widget))
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
    const TStateWidgets widgets = DrivenWidgetsOf(state);
    switch (rule->Action) {
    case TKeyAction::SelectPrevious:
        if (TDDOptBtnCollection* options = OptionsMenuOf(widgets.Widget))
            options->SelectPrevious();
        else if (TDDBtnCollection* list = ButtonListOf(widgets.Widget))
            list->SelectPrevious();
        break;
    case TKeyAction::SelectNext:
        if (TDDOptBtnCollection* options = OptionsMenuOf(widgets.Widget))
            options->SelectNext();
        else if (TDDBtnCollection* list = ButtonListOf(widgets.Widget))
            list->SelectNext();
        break;
    case TKeyAction::Confirm:
        SetDone(widgets.Widget);
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
        if (TDDTextBtnCollection* question = QuestionOf(widgets.Widget))
            question->SetSelected(rule->Action == TKeyAction::ChooseFirst);
        break;
    case TKeyAction::Letter:
        if (TDDEdit* field = FieldOf(widgets.Field))
            field->AddChar(static_cast<char>(key));
        break;
    case TKeyAction::Delete:
        if (TDDEdit* field = FieldOf(widgets.Field))
            field->AddChar('~');
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
    // Every widget weighs the click, shown or not; the state's choice reads
    // its own widget's verdict.
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
    // clang-format off
    static const TNamedKey names[] = {
        {8, "Back"},   {9, "Tab"},   {13, "Enter"}, {27, "Esc"},   {32, "Space"}, {33, "PgUp"},
        {34, "PgDn"},  {35, "End"},  {36, "Home"},  {37, "Left"},  {38, "Up"},    {39, "Right"},
        {40, "Down"},  {45, "Ins"},  {46, "Del"},   {160, "Shift"}, {161, "Shift"}, {162, "Ctrl"},
        {163, "Ctrl"}, {164, "Alt"},
    };
    // clang-format on
    for (const TNamedKey& k : names)
        if (k.Code == key)
            return k.Name;
    if (key >= 48 && key <= 90)
        return std::string(1, static_cast<char>(key)); // "0".."9", the seven signs ":".."@", "A".."Z"
    if (key >= 112 && key <= 126)
        return "F" + std::to_string(key - 111);
    return "Bad";
}
