// Which widget each application state shows: its button list, options menu
// or question, and its text field. The state machine's table says it once
// (StateMachine.cpp); the screens draw, and the keys, the mouse and the
// confirmed choices act on, what it says.
#pragma once
#include <cstdint>

class TDDBtnCollection;
class TDDOptBtnCollection;
class TDDTextBtnCollection;
class TDDEdit;

enum class TWidget : uint8_t {
    None,
    MainMenu,
    HighScores,
    Help,
    Options,
    YesNo,
    OkCancel
};
enum class TField : uint8_t {
    None,
    Country,
    Name
};

struct TStateWidgets {
    TWidget Widget = TWidget::None;
    TField Field = TField::None; // drawn after the widget; the options menu draws its country field itself
    bool Driven = false;         // the keys and the mouse act on them; otherwise they are only shown
};

// The widgets a state's screen shows (none for a state the table does not list).
TStateWidgets WidgetsOf(int32_t state);
// The widgets input acts on in a state: those shown, or none where they are only shown.
TStateWidgets DrivenWidgetsOf(int32_t state);

// The instance of a kind of widget; null for another kind or while the
// widgets do not exist.
TDDBtnCollection* ButtonListOf(TWidget widget);
TDDOptBtnCollection* OptionsMenuOf(TWidget widget);
TDDTextBtnCollection* QuestionOf(TWidget widget);
TDDEdit* FieldOf(TField field);
// Whether a kind of widget is a button list, or a question (whether it
// exists or not).
bool IsButtonList(TWidget widget);
bool IsQuestion(TWidget widget);
