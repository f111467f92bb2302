// The game's own widget set, drawn on the back buffer every frame.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DDraw.h"

// The click the widgets make, played by the sound effects once they have
// started (until then the widgets are silent).
struct TWidgetClicks {
    void (*AtMouse)(int32_t x, int32_t y) = nullptr; // a changed selection, placed where the mouse is
    void (*Plain)() = nullptr;                       // the click as the wave list holds it
};
extern TWidgetClicks WidgetClicks;

class TDDButton {
public:
    TDDButton(const TRect& rect, uint8_t imageIndex);
    void Draw(TSurface* target);
    TRect Rect;
    bool Lit = false;
    uint8_t ImageIndex;
};

class TDDBtnCollection {
public:
    TDDBtnCollection(int8_t count, const TRect* rects, const uint8_t* images);
    ~TDDBtnCollection();
    void Draw(TSurface* target);
    void SetSelected(int32_t index);
    void SelectNext();
    void SelectPrevious();
    void HitTest();
    std::vector<TDDButton*> Buttons;
    int8_t Selected = 0;
    int8_t PrevSelected = 0;
    int8_t Count = 0;
    bool Done = false;
};

class TDDEdit {
public:
    explicit TDDEdit(const TRect& rect);
    void AddChar(char ch);
    void Draw(TSurface* target);
    bool Active = false;
    bool Editing = false;
    std::string Text; // Windows-1252
    uint8_t Length = 0;
    TRect Rect;
    uint32_t LastDrawTick = 0;
    uint32_t BlinkTick = 0;
    bool CaretOn = false;
};

class TDDOptBtnCollection {
public:
    // rects: buttons 0, 1, 2, the text field, buttons 3, 4.
    explicit TDDOptBtnCollection(const TRect* rects);
    ~TDDOptBtnCollection();
    void Draw(TSurface* target);
    void SelectNext();
    void SelectPrevious();
    void HitTest();
    void Confirm(); // the choice is made; the shell acts on it
    TDDButton* Buttons[5] = {};
    TDDEdit* Edit = nullptr;
    int8_t PrevSelected = 5;
    int8_t Selected = 5;
    bool Done = false;
    bool FollowMouse = false;
};

class TDDTextBtnCollection {
public:
    TDDTextBtnCollection(const TRect& rect1, const TRect& rect2, const std::string& caption1,
                         const std::string& caption2);
    void Draw(TSurface* target);
    void SetSelected(bool first);
    void HitTest();
    bool FirstSelected = true;
    std::string Caption1, Caption2;
    TRect Rect1, Rect2;
    bool Done = false;
};

class TDDProgress {
public:
    TDDProgress(int16_t x, int16_t y) : X(x), Y(y) {}
    int16_t X, Y;
};

// The widget instances, created by the asset-pack loader on its first run.
extern TDDBtnCollection* MainMenuButtons;
extern TDDBtnCollection* HighScoreButtons;
extern TDDBtnCollection* HelpButtons;
extern TDDOptBtnCollection* OptionsMenu;
extern TDDEdit* CountryEdit; // OptionsMenu->Edit
extern TDDTextBtnCollection* YesNoDialog;
extern TDDTextBtnCollection* OkCancelDialog;
extern TDDEdit* NameEdit;

// Creates the widgets that do not exist yet (the loader's last step).
void CreateMenuWidgets();
void FreeMenuWidgets();
