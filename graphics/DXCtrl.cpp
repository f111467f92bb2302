// The game's own widget set: lit image buttons, button lists, the options
// menu, the two-button questions and the text fields. Widgets keep only their
// selection and text; the screens say where they appear and what a choice means.
#include "graphics/DXCtrl.h"

#include <algorithm>

#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/InputState.h"

TDDBtnCollection* MainMenuButtons;
TDDBtnCollection* HighScoreButtons;
TDDBtnCollection* HelpButtons;
TDDOptBtnCollection* OptionsMenu;
TDDEdit* CountryEdit;
TDDTextBtnCollection* YesNoDialog;
TDDTextBtnCollection* OkCancelDialog;
TDDEdit* NameEdit;
TWidgetClicks WidgetClicks;

namespace {

// The click of a changed selection, placed where the mouse is.
void SelectionSound()
{
    if (WidgetClicks.AtMouse)
        WidgetClicks.AtMouse(MouseX, MouseY);
}

TSurface* MenuSheet(int index)
{
    return index >= 0 && index < MenuSheetCount ? MenuSheets[index] : nullptr;
}

const TFontSpec EditFont{"Cranberry Cyr", 32, 20, 700};

// The field's art is 41 pixels tall whatever the field's own height: a
// frame at rows 4 and 36 around a well from row 6 to row 35. The 32-pixel
// text cell starts 3 rows down, so the capitals stand from row 11 on the
// baseline at row 29, tails and accents stay inside the well, and nothing
// sits on the frame. The caret spans the letters, capitals to tails.
constexpr int32_t EditTextTop = 3;
constexpr int32_t EditCaretTop = 11;
constexpr int32_t EditCaretBottom = 35; // the first row below the tails

constexpr int32_t CaptionHeight = 46;
constexpr int32_t CaptionWidth = 20;
constexpr uint32_t CaretHalfPeriod = 300; // ms
constexpr uint8_t MaxEditLetters = 10;
constexpr size_t MaxEditBytes = 255;
constexpr char DeleteMarker = '~';

int32_t MeasureEditText(const std::string& text)
{
    return Platform.Text ? Platform.Text->MeasureText(text, EditFont) : 0;
}

// Case changes in the Windows-1252 code page the texts are kept in.
unsigned char LowerCase1252(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    switch (c) {
    case 0x8A: return 0x9A; // S caron
    case 0x8C: return 0x9C; // OE
    case 0x8E: return 0x9E; // Z caron
    case 0x9F: return 0xFF; // Y diaeresis
    default: return c;
    }
}

unsigned char UpperCase1252(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
    }
}

// The widget table: where every item of every menu sits, and its lit image.
// clang-format off
const TRect MainMenuRects[] = {{470, 337, 786, 375}, {470, 376, 786, 413}, {470, 415, 786, 451},
                               {470, 452, 786, 491}, {470, 492, 786, 532}, {470, 533, 786, 573}};
// clang-format on
const uint8_t MainMenuImages[] = {SheetMainMenuItemLit + 0, SheetMainMenuItemLit + 1, SheetMainMenuItemLit + 2,
                                  SheetMainMenuItemLit + 3, SheetMainMenuItemLit + 4, SheetMainMenuItemLit + 5};
const TRect HighScoreRects[] = {{43, 133, 230, 208}, {44, 203, 229, 279}, {114, 453, 230, 504}};
const uint8_t HighScoreImages[] = {SheetScoreButtonLit, SheetScoreButtonLit + 1, SheetBackButtonLit};
const TRect HelpRects[] = {{434, 523, 550, 574}, {544, 523, 660, 574}, {653, 523, 769, 574}};
const uint8_t HelpImages[] = {SheetHelpButtonLit, SheetHelpButtonLit + 1, SheetBackButtonLit};
// Display, music, sound, the country field, boss key, back.
// clang-format off
const TRect OptionsRects[] = {{295, 226, 437, 256}, {322, 287, 390, 317}, {322, 347, 390, 377},
                              {305, 409, 677, 450}, {305, 473, 491, 509}, {614, 533, 730, 584}};
// clang-format on
const TRect YesRect{280, 340, 352, 380}, NoRect{460, 340, 510, 380};
const TRect OkRect{280, 340, 330, 380}, CancelRect{420, 340, 540, 380};
const TRect NameEditRect{236, 280, 564, 314};

template <typename T>
void FreeWidget(T*& widget)
{
    delete widget;
    widget = nullptr;
}

} // namespace

// ---- TDDButton ----

TDDButton::TDDButton(const TRect& rect, uint8_t imageIndex) : Rect(rect), ImageIndex(imageIndex) {}

void TDDButton::Draw(TSurface* target)
{
    // The unlit look is part of the screen's own pictures.
    TSurface* sheet = MenuSheet(ImageIndex);
    if (Lit && target && sheet)
        target->BltFast(Rect.Left, Rect.Top, sheet, nullptr, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY);
}

// ---- TDDBtnCollection ----

TDDBtnCollection::TDDBtnCollection(int8_t count, const TRect* rects, const uint8_t* images)
    : Count(std::max<int8_t>(count, 0))
{
    for (int i = 0; i < Count; ++i)
        Buttons.push_back(new TDDButton(rects[i], images[i]));
    Selected = 0;
    SetSelected(0);
}

TDDBtnCollection::~TDDBtnCollection()
{
    for (TDDButton* b : Buttons)
        delete b;
}

void TDDBtnCollection::Draw(TSurface* target)
{
    PrevSelected = Selected;
    if (MouseMode != 0)
        for (int i = 0; i < Count; ++i)
            if (PointInRect(Buttons[i]->Rect, MouseX, MouseY))
                Selected = int8_t(i); // the last button under the mouse wins
    if (Selected > Count - 1)
        Selected = 0;
    if (Selected < 0)
        Selected = int8_t(Count - 1);
    if (Count == 0)
        return;
    Buttons[Selected]->Draw(target);
    // A button chosen by the mouse shows lit from the next frame on.
    if (PrevSelected != Selected) {
        SelectionSound();
        if (PrevSelected >= 0 && PrevSelected < Count)
            Buttons[PrevSelected]->Lit = false;
        Buttons[Selected]->Lit = true;
    }
}

void TDDBtnCollection::SetSelected(int32_t index)
{
    // The list wraps round at both ends.
    if (index > Count - 1)
        index = 0;
    if (index < 0)
        index = Count - 1;
    if (Count > 0) {
        if (Selected >= 0 && Selected < Count)
            Buttons[Selected]->Lit = false;
        Buttons[index]->Lit = true;
        Selected = int8_t(index);
    }
    SelectionSound();
}

void TDDBtnCollection::SelectNext() { SetSelected(Selected + 1); }

void TDDBtnCollection::SelectPrevious() { SetSelected(Selected - 1); }

void TDDBtnCollection::HitTest()
{
    Done = false;
    for (TDDButton* b : Buttons)
        if (PointInRect(b->Rect, MouseX, MouseY))
            Done = true;
}

// ---- TDDEdit ----

TDDEdit::TDDEdit(const TRect& rect) : Rect(rect) {}

void TDDEdit::AddChar(char ch)
{
    const int32_t width = MeasureEditText(Text + ch);
    if (ch == '0')
        return;
    if (ch == DeleteMarker) {
        if (Length > 0) {
            if (!Text.empty())
                Text.pop_back();
            --Length;
        }
        return;
    }
    // At most ten letters, and never past the field's right edge.
    if (Length < MaxEditLetters && Text.size() < MaxEditBytes && int64_t(Rect.Left) + width + 5 < Rect.Right) {
        Text += ch;
        ++Length;
    }
}

void TDDEdit::Draw(TSurface* target)
{
    if (target) {
        if (Active) {
            if (TSurface* sheet = MenuSheet(SheetEditActive))
                target->BltFast(Rect.Left, Rect.Top, sheet, nullptr, DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY);
        } else if (TSurface* sheet = MenuSheet(SheetEditIdle)) {
            target->BltFast(Rect.Left + 4, Rect.Top + 4, sheet, nullptr, DDBLTFAST_WAIT);
        }
    }

    const uint32_t now = GetTickCount();
    LastDrawTick = now;
    if (now - BlinkTick > CaretHalfPeriod) {
        CaretOn = !CaretOn;
        BlinkTick = now;
    }

    const int32_t width = MeasureEditText(Text);
    if (CaretOn && Active && Editing && target) {
        // A bright green bar three pixels wide just after the text.
        const int32_t x = Rect.Left + width + 15;
        FillRoundRect(x - 1, Rect.Top + EditCaretTop, 3, EditCaretBottom - EditCaretTop, ColorBrightGreen, target);
    }

    // The stored name itself becomes "Anna", not only its picture.
    for (char& c : Text)
        c = char(LowerCase1252(static_cast<unsigned char>(c)));
    if (Length > 0 && !Text.empty())
        Text[0] = char(UpperCase1252(static_cast<unsigned char>(Text[0])));

    if (target && Platform.Text)
        Platform.Text->DrawText(*target, Rect.Left + 12, Rect.Top + EditTextTop, Text.substr(0, Length), EditFont,
                                ColorBrightGreen, TA_LEFT | TA_TOP);
}

// ---- TDDOptBtnCollection ----

TDDOptBtnCollection::TDDOptBtnCollection(const TRect* rects)
{
    Buttons[0] = new TDDButton(rects[0], SheetOptionDisplayLit);
    Buttons[1] = new TDDButton(rects[1], SheetOptionOnOffLit);
    Buttons[2] = new TDDButton(rects[2], SheetOptionOnOffLit);
    Buttons[3] = new TDDButton(rects[4], SheetOptionBossKeyLit);
    Buttons[4] = new TDDButton(rects[5], SheetBackButtonLit);
    Edit = new TDDEdit(rects[3]);
    Selected = 5;
}

TDDOptBtnCollection::~TDDOptBtnCollection()
{
    for (TDDButton*& b : Buttons)
        FreeWidget(b);
    FreeWidget(Edit);
}

void TDDOptBtnCollection::Draw(TSurface* target)
{
    PrevSelected = Selected;
    // Items 0 to 2 are buttons 0 to 2, item 3 is the text field, items 4 and 5
    // are buttons 3 and 4.
    if (FollowMouse) {
        for (int i = 0; i < 3; ++i)
            if (PointInRect(Buttons[i]->Rect, MouseX, MouseY))
                Selected = int8_t(i);
        if (PointInRect(Edit->Rect, MouseX, MouseY))
            Selected = 3;
        for (int i = 3; i < 5; ++i)
            if (PointInRect(Buttons[i]->Rect, MouseX, MouseY))
                Selected = int8_t(i + 1);
    }
    for (TDDButton* b : Buttons)
        b->Lit = false;
    Edit->Active = false;
    if (Selected >= 0 && Selected <= 2)
        Buttons[Selected]->Lit = true;
    else if (Selected == 3)
        Edit->Active = true;
    else if (Selected == 4 || Selected == 5)
        Buttons[Selected - 1]->Lit = true;
    for (TDDButton* b : Buttons)
        b->Draw(target);
    Edit->Draw(target);
    if (PrevSelected != Selected)
        SelectionSound();
}

void TDDOptBtnCollection::SelectNext()
{
    // The options menu stops at its last item instead of wrapping.
    FollowMouse = false;
    Selected = int8_t(std::min(Selected + 1, 5));
    SelectionSound();
}

void TDDOptBtnCollection::SelectPrevious()
{
    // Stops at the first item; the click comes straight from the wave list,
    // without the mouse's pan and volume.
    FollowMouse = false;
    Selected = int8_t(std::max(Selected - 1, 0));
    if (WidgetClicks.Plain)
        WidgetClicks.Plain();
}

void TDDOptBtnCollection::HitTest()
{
    Done = PointInRect(Edit->Rect, MouseX, MouseY);
    for (TDDButton* b : Buttons)
        if (PointInRect(b->Rect, MouseX, MouseY))
            Done = true;
}

void TDDOptBtnCollection::Confirm()
{
    Done = true;
}

// ---- TDDTextBtnCollection ----

TDDTextBtnCollection::TDDTextBtnCollection(const TRect& rect1, const TRect& rect2, const std::string& caption1,
                                           const std::string& caption2)
    : Caption1(caption1), Caption2(caption2), Rect1(rect1), Rect2(rect2)
{
}

void TDDTextBtnCollection::Draw(TSurface* target)
{
    const bool wasFirst = FirstSelected;
    // A question follows the mouse over its captions even while keys are used.
    if (PointInRect(Rect1, MouseX, MouseY))
        FirstSelected = true;
    if (PointInRect(Rect2, MouseX, MouseY))
        FirstSelected = false;
    DrawTextShadowed(target, Rect1.Left, Rect1.Top, Caption1, CaptionHeight, CaptionWidth,
                     FirstSelected ? ColorBrightGreen : ColorDarkGreen);
    DrawTextShadowed(target, Rect2.Left, Rect2.Top, Caption2, CaptionHeight, CaptionWidth,
                     FirstSelected ? ColorDarkGreen : ColorBrightGreen);
    if (FirstSelected != wasFirst)
        SelectionSound();
}

void TDDTextBtnCollection::SetSelected(bool first)
{
    SelectionSound();
    FirstSelected = first;
}

void TDDTextBtnCollection::HitTest()
{
    Done = PointInRect(Rect1, MouseX, MouseY) || PointInRect(Rect2, MouseX, MouseY);
}

// ---- The instances ----

void CreateMenuWidgets()
{
    if (!MainMenuButtons)
        MainMenuButtons = new TDDBtnCollection(6, MainMenuRects, MainMenuImages);
    if (!HighScoreButtons)
        HighScoreButtons = new TDDBtnCollection(3, HighScoreRects, HighScoreImages);
    if (!HelpButtons)
        HelpButtons = new TDDBtnCollection(3, HelpRects, HelpImages);
    if (!OptionsMenu) {
        OptionsMenu = new TDDOptBtnCollection(OptionsRects);
        CountryEdit = OptionsMenu->Edit;
    }
    if (!YesNoDialog)
        YesNoDialog = new TDDTextBtnCollection(YesRect, NoRect, "Yes", "No");
    if (!OkCancelDialog)
        OkCancelDialog = new TDDTextBtnCollection(OkRect, CancelRect, "Ok", "Cancel");
    if (!NameEdit) {
        NameEdit = new TDDEdit(NameEditRect);
        NameEdit->Active = true;
        NameEdit->Editing = true;
    }
}

void FreeMenuWidgets()
{
    FreeWidget(MainMenuButtons);
    FreeWidget(HighScoreButtons);
    FreeWidget(HelpButtons);
    CountryEdit = nullptr; // owned by the options menu
    FreeWidget(OptionsMenu);
    FreeWidget(YesNoDialog);
    FreeWidget(OkCancelDialog);
    FreeWidget(NameEdit);
}
