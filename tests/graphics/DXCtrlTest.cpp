// The widget set: selections that wrap or stop, hovering, hit tests, the text
// fields and the selection click.
#include <gtest/gtest.h>

#include <functional>

#include "fakes/Fakes.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "graphics/Draw.h"
#include "main/Globals.h"
#include "services/DXSounds.h"
#include "services/Options.h"

namespace {

constexpr uint32_t Blank = 0x00000000;

// Lit images in their own colours, so a test can see which one was drawn.
uint32_t SheetColor(int index) { return 0x00100000u + uint32_t(index); }

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MouseX = MouseY = 0;
        MouseMode = 0;
        GameOptions.SoundOn = true;
        InitSoundEffects();
        for (int i = 0; i < MenuSheetCount; ++i) {
            MenuSheets[i] = DD.CreateSurface(8, 8);
            MenuSheets[i]->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, SheetColor(i));
        }
        Target = DD.CreateSurface(800, 600);
        CreateMenuWidgets();
    }
    void TearDown() override
    {
        FreeMenuWidgets();
        for (TSurface*& s : MenuSheets)
            DD.Release(s);
        DD.Release(Target);
        CloseSoundEffects();
    }
    void Clear() { Target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, Blank); }
    void MouseAt(int32_t x, int32_t y)
    {
        MouseX = x;
        MouseY = y;
    }
    size_t Clicks() const { return Fake.Mixer.PlayLog.size(); }
    static std::vector<int> LitButtons(const std::vector<TDDButton*>& buttons)
    {
        std::vector<int> lit;
        for (size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i]->Lit)
                lit.push_back(int(i));
        return lit;
    }

    FakePlatform Fake;
    TDirectDraw DD;
    TSurface* Target = nullptr;
};

// ---- Button lists ----

TEST_F(WidgetTest, ButtonListsWrapAtBothEnds)
{
    // clang-format off
    struct { TDDBtnCollection** List; int Start; int Step; int Expected; } cases[] = {
        {&MainMenuButtons, 0, -1, 5}, {&MainMenuButtons, 5, +1, 0}, {&MainMenuButtons, 2, +1, 3},
        {&MainMenuButtons, 3, -1, 2}, {&HelpButtons, 0, -1, 2},     {&HelpButtons, 2, +1, 0},
        {&HighScoreButtons, 1, +1, 2},
    };
    // clang-format on
    for (const auto& c : cases) {
        TDDBtnCollection& list = **c.List;
        list.SetSelected(c.Start);
        if (c.Step > 0)
            list.SelectNext();
        else
            list.SelectPrevious();
        EXPECT_EQ(list.Selected, c.Expected) << "from " << c.Start << " step " << c.Step;
        EXPECT_EQ(LitButtons(list.Buttons), std::vector<int>{c.Expected});
    }
    MainMenuButtons->SetSelected(9);
    EXPECT_EQ(MainMenuButtons->Selected, 0);
    MainMenuButtons->SetSelected(-3);
    EXPECT_EQ(MainMenuButtons->Selected, 5);
}

TEST_F(WidgetTest, ButtonListHoverNeedsTheMouseMode)
{
    TDDBtnCollection& menu = *MainMenuButtons;
    MouseAt(600, 430); // over item 2
    MouseMode = 0;
    menu.Draw(Target);
    EXPECT_EQ(menu.Selected, 0) << "the keyboard drives the menu";

    MouseMode = -1;
    Clear();
    menu.Draw(Target);
    EXPECT_EQ(menu.Selected, 2);
    EXPECT_EQ(LitButtons(menu.Buttons), std::vector<int>{2});
    EXPECT_EQ(Target->GetPixel(470, 415), Blank) << "lit from the next frame on";
    Clear();
    menu.Draw(Target);
    EXPECT_EQ(Target->GetPixel(470, 415), SheetColor(SheetMainMenuItemLit + 2));
    EXPECT_EQ(Target->GetPixel(470, 337), Blank) << "only the selected item is drawn";
}

TEST_F(WidgetTest, HoverIsStrictAndTheLastButtonWins)
{
    MouseMode = -1;
    // clang-format off
    struct { TDDBtnCollection** List; int32_t X, Y; int Start, Expected; } cases[] = {
        {&MainMenuButtons, 600, 415, 0, 0},  // top border of item 2
        {&MainMenuButtons, 470, 430, 0, 0},  // left border of item 2
        {&MainMenuButtons, 786, 430, 1, 1},  // right border
        {&MainMenuButtons, 471, 416, 0, 2},  // first pixel inside
        {&MainMenuButtons, 600, 414, 3, 3},  // between items 1 and 2
        {&HighScoreButtons, 100, 205, 0, 1}, // items 0 and 1 overlap: the later wins
        {&HelpButtons, 545, 550, 0, 1},
    };
    // clang-format on
    for (const auto& c : cases) {
        TDDBtnCollection& list = **c.List;
        list.SetSelected(c.Start);
        MouseAt(c.X, c.Y);
        list.Draw(Target);
        EXPECT_EQ(list.Selected, c.Expected) << c.X << ", " << c.Y;
    }
}

TEST_F(WidgetTest, HitTestsSetAndClearDone)
{
    // clang-format off
    struct { std::function<bool()> HitTest; int32_t X, Y; bool Done; } cases[] = {
        {[] { MainMenuButtons->HitTest(); return MainMenuButtons->Done; }, 600, 350, true},
        {[] { MainMenuButtons->HitTest(); return MainMenuButtons->Done; }, 470, 350, false},
        {[] { MainMenuButtons->HitTest(); return MainMenuButtons->Done; }, 10, 10, false},
        {[] { OptionsMenu->HitTest(); return OptionsMenu->Done; }, 400, 430, true},  // the country field
        {[] { OptionsMenu->HitTest(); return OptionsMenu->Done; }, 700, 550, true},  // back
        {[] { OptionsMenu->HitTest(); return OptionsMenu->Done; }, 305, 430, false},
        {[] { YesNoDialog->HitTest(); return YesNoDialog->Done; }, 480, 360, true},
        {[] { YesNoDialog->HitTest(); return YesNoDialog->Done; }, 400, 360, false},
        {[] { OkCancelDialog->HitTest(); return OkCancelDialog->Done; }, 300, 350, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        MainMenuButtons->Done = OptionsMenu->Done = YesNoDialog->Done = OkCancelDialog->Done = !c.Done;
        MouseAt(c.X, c.Y);
        EXPECT_EQ(c.HitTest(), c.Done) << c.X << ", " << c.Y;
    }
}

// ---- The options menu ----

TEST_F(WidgetTest, OptionsMenuStopsAtItsEnds)
{
    TDDOptBtnCollection& options = *OptionsMenu;
    EXPECT_EQ(options.Selected, 5) << "back is selected at first";
    // clang-format off
    struct { int Start; int Step; int Expected; } cases[] = {
        {0, -1, 0}, {1, -1, 0}, {5, +1, 5}, {4, +1, 5}, {3, +1, 4}, {3, -1, 2},
    };
    // clang-format on
    for (const auto& c : cases) {
        options.Selected = int8_t(c.Start);
        options.FollowMouse = true;
        if (c.Step > 0)
            options.SelectNext();
        else
            options.SelectPrevious();
        EXPECT_EQ(options.Selected, c.Expected) << "from " << c.Start << " step " << c.Step;
        EXPECT_FALSE(options.FollowMouse) << "keys take over from the mouse";
    }
}

TEST_F(WidgetTest, OptionsMenuLightsTheSelectedItemAndFollowsTheMouse)
{
    TDDOptBtnCollection& options = *OptionsMenu;
    // clang-format off
    struct { bool Follow; int32_t X, Y; int Start; int Expected; std::vector<int> Lit; } cases[] = {
        {false, 400, 430, 5, 5, {4}}, // mouse over the field, but keys are in use
        {true, 400, 430, 5, 3, {}}, // the country field
        {true, 350, 240, 5, 0, {0}}, // display
        {true, 350, 300, 0, 1, {1}}, // music
        {true, 350, 360, 0, 2, {2}}, // sound
        {true, 400, 490, 0, 4, {3}}, // boss key
        {true, 700, 550, 0, 5, {4}}, // back
        {true, 10, 10, 2, 2, {2}}, // nowhere: the selection stays
        {true, 295, 240, 1, 1, {1}}, // the border of display
        {false, 0, 0, 9, 9, {}}, // a value with no item lights nothing
    };
    // clang-format on
    for (const auto& c : cases) {
        options.Selected = int8_t(c.Start);
        options.FollowMouse = c.Follow;
        MouseAt(c.X, c.Y);
        options.Draw(Target);
        EXPECT_EQ(options.Selected, c.Expected) << c.X << ", " << c.Y;
        EXPECT_EQ(options.PrevSelected, c.Start);
        std::vector<int> lit;
        for (int i = 0; i < 5; ++i)
            if (options.Buttons[i]->Lit)
                lit.push_back(i);
        EXPECT_EQ(lit, c.Lit) << "selected " << c.Expected;
        EXPECT_EQ(options.Edit->Active, c.Expected == 3);
    }
    // A lit button is drawn at once, in the same frame.
    options.FollowMouse = false;
    options.Selected = 4;
    Clear();
    options.Draw(Target);
    EXPECT_EQ(Target->GetPixel(305, 473), SheetColor(SheetOptionBossKeyLit));
    EXPECT_EQ(Target->GetPixel(614, 533), Blank);
}

// ---- Two-button questions ----

TEST_F(WidgetTest, QuestionFollowsTheMouseEvenWhileKeysAreUsed)
{
    TDDTextBtnCollection& dialog = *YesNoDialog;
    MouseMode = 0;
    // clang-format off
    struct { int32_t X, Y; bool KeyChoice; bool Expected; } cases[] = {
        {300, 360, false, true},  // mouse on "Yes" overrides the key's "No"
        {480, 360, true, false},  // mouse on "No" overrides the key's "Yes"
        {400, 360, false, false}, // between the captions the key's choice stands
        {280, 360, false, false}, // the caption's border is outside
        {100, 100, true, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        dialog.SetSelected(c.KeyChoice);
        MouseAt(c.X, c.Y);
        Fake.Text.Calls.clear();
        dialog.Draw(Target);
        EXPECT_EQ(dialog.FirstSelected, c.Expected) << c.X << ", " << c.Y;
        ASSERT_EQ(Fake.Text.Calls.size(), 4u) << "two captions with their shadows";
        const auto& yes = Fake.Text.Calls[1];
        const auto& no = Fake.Text.Calls[3];
        EXPECT_EQ(yes.Text, "Yes");
        EXPECT_EQ(yes.X, 280);
        EXPECT_EQ(yes.Y, 340);
        EXPECT_EQ(no.Text, "No");
        EXPECT_EQ(no.X, 460);
        EXPECT_EQ(yes.Color, c.Expected ? ColorBrightGreen : ColorDarkGreen);
        EXPECT_EQ(no.Color, c.Expected ? ColorDarkGreen : ColorBrightGreen);
        EXPECT_EQ(yes.Font, (TFontSpec{"Crystal", 46, 20, 800}));
    }
}

// ---- Text fields ----

struct TAddCase {
    const char* Keys;
    TRect Field;
    const char* Expected;
};

TEST_F(WidgetTest, AddCharKeepsToTenLettersInsideTheField)
{
    // The fake font is 20 pixels a letter; a letter is taken while
    // left + width of the longer text + 5 < right.
    const TRect wide = NameEdit->Rect;
    const TAddCase cases[] = {
        {"~", wide, ""},
        {"~~A", wide, "A"},
        {"AB~C", wide, "AC"},
        {"A~~B", wide, "B"},
        {"ABCDEFGHIJ", wide, "ABCDEFGHIJ"},
        {"ABCDEFGHIJK", wide, "ABCDEFGHIJ"},
        {"ABCDEFGHIJK~L", wide, "ABCDEFGHIL"},
        {"A0B", wide, "AB"},
        {"ABCDE", {0, 0, 100, 40}, "ABCD"}, // 80 + 5 < 100, 100 + 5 is not
        {"ABCDE", {0, 0, 86, 40}, "ABCD"},  // 85 < 86
        {"ABCDE", {0, 0, 85, 40}, "ABC"},   // 85 < 85 is not
    };
    for (const auto& c : cases) {
        TDDEdit edit(c.Field);
        for (const char* k = c.Keys; *k; ++k)
            edit.AddChar(*k);
        EXPECT_EQ(edit.Text, c.Expected) << c.Keys;
        EXPECT_EQ(edit.Length, edit.Text.size()) << c.Keys;
    }
}

TEST_F(WidgetTest, AddCharNeverStoresMoreThan255Bytes)
{
    // A text set from outside may already be long; typing never makes it longer
    // than a settings file can hold.
    TDDEdit edit({0, 0, 100000, 40});
    edit.Text.assign(255, 'x');
    edit.Length = 0;
    edit.AddChar('A');
    EXPECT_EQ(edit.Text.size(), 255u);
    edit.Length = 1;
    edit.Text.clear();
    edit.AddChar('~');
    EXPECT_EQ(edit.Length, 0);
    EXPECT_EQ(edit.Text, "");
}

TEST_F(WidgetTest, TypedNameIsStoredWithACapitalFirstLetterAfterADraw)
{
    for (char k : std::string("ANNA"))
        NameEdit->AddChar(k);
    EXPECT_EQ(NameEdit->Text, "ANNA");
    Fake.Text.Calls.clear();
    NameEdit->Draw(Target);
    EXPECT_EQ(NameEdit->Text, "Anna");
    ASSERT_EQ(Fake.Text.Calls.size(), 1u);
    const auto& call = Fake.Text.Calls[0];
    EXPECT_EQ(call.Text, "Anna");
    EXPECT_EQ(call.X, 236 + 12);
    EXPECT_EQ(call.Y, 280 + 3) << "the 32-pixel text cell inside the frame, its letters off the bottom edge";
    EXPECT_EQ(call.Color, ColorBrightGreen);
    EXPECT_EQ(call.Font, (TFontSpec{"Cranberry Cyr", 32, 20, 700}));

    // clang-format off
    struct { std::string Text; uint8_t Length; std::string Stored, Shown; } cases[] = {
        {"nORWAY", 6, "Norway", "Norway"},
        {"Norway", 3, "Norway", "Nor"},                       // only Length letters are shown
        {"abc", 0, "abc", ""},                                // no letters: no capital
        {"\xC9MILE", 5, "\xC9mile", "\xC9mile"},              // Windows-1252 capitals
        {"\xE9mile", 5, "\xC9mile", "\xC9mile"},
    };
    // clang-format on
    for (const auto& c : cases) {
        CountryEdit->Text = c.Text;
        CountryEdit->Length = c.Length;
        Fake.Text.Calls.clear();
        CountryEdit->Draw(Target);
        EXPECT_EQ(CountryEdit->Text, c.Stored);
        ASSERT_EQ(Fake.Text.Calls.size(), 1u);
        EXPECT_EQ(Fake.Text.Calls[0].Text, c.Shown);
        EXPECT_EQ(Fake.Text.Calls[0].Y, 409 + 3);
    }
}

TEST_F(WidgetTest, CaretBlinksEvery300MsOnlyWhileEditing)
{
    // The caret stands 15 pixels after the text, inside the field's frame
    // (rows 4 and 36 of its 41-pixel art, whatever the field's height): from
    // row 11, the capitals' tops, to row 34, the tails' last.
    auto caretShown = [&](TDDEdit& edit) {
        const int32_t x = edit.Rect.Left + Fake.Text.MeasureText(edit.Text, {"Cranberry Cyr", 32, 20, 700}) + 15;
        return Target->GetPixel(x, edit.Rect.Top + 10) != ColorBrightGreen &&
               Target->GetPixel(x, edit.Rect.Top + 11) == ColorBrightGreen &&
               Target->GetPixel(x, edit.Rect.Top + 34) == ColorBrightGreen &&
               Target->GetPixel(x, edit.Rect.Top + 35) != ColorBrightGreen;
    };
    NameEdit->Text = "Bo";
    NameEdit->Length = 2;
    // clang-format off
    struct { uint32_t Now; bool CaretOn; } steps[] = {
        {100, false}, {300, false}, {301, true}, {500, true}, {601, true}, {602, false},
        {903, true},  {5000, false},
    };
    // clang-format on
    for (const auto& s : steps) {
        Fake.Clock.Now = s.Now;
        Clear();
        NameEdit->Draw(Target);
        EXPECT_EQ(NameEdit->CaretOn, s.CaretOn) << "at " << s.Now;
        EXPECT_EQ(NameEdit->LastDrawTick, s.Now);
        EXPECT_EQ(caretShown(*NameEdit), s.CaretOn) << "at " << s.Now;
    }

    // The taller country field has its caret at the same rows of the art.
    CountryEdit->Text = "Peru";
    CountryEdit->Active = CountryEdit->Editing = true;
    CountryEdit->BlinkTick = 0;
    CountryEdit->CaretOn = false;
    Fake.Clock.Now = 5400;
    Clear();
    CountryEdit->Draw(Target);
    EXPECT_TRUE(caretShown(*CountryEdit));

    // Not editing (or not active): the phase runs on, the caret never shows.
    for (bool active : {true, false}) {
        CountryEdit->Active = active;
        CountryEdit->Editing = false;
        for (uint32_t now = 6000; now < 8000; now += 150) {
            Fake.Clock.Now = now;
            Clear();
            CountryEdit->Draw(Target);
            EXPECT_FALSE(caretShown(*CountryEdit)) << "at " << now;
        }
    }
}

TEST_F(WidgetTest, FieldBackgroundShowsWhetherItIsActive)
{
    TDDEdit& field = *CountryEdit;
    field.Active = false;
    field.Draw(Target);
    EXPECT_EQ(Target->GetPixel(field.Rect.Left + 4, field.Rect.Top + 4), SheetColor(SheetEditIdle));
    EXPECT_EQ(Target->GetPixel(field.Rect.Left, field.Rect.Top), Blank);
    field.Active = true;
    field.Draw(Target);
    EXPECT_EQ(Target->GetPixel(field.Rect.Left, field.Rect.Top), SheetColor(SheetEditActive));
}

// ---- The selection click ----

TEST_F(WidgetTest, CreatingAButtonListClicksOnce)
{
    ASSERT_FALSE(Fake.Mixer.Buffers.empty()) << "the effects are on the fake mixer";
    FreeMenuWidgets();
    size_t before = Clicks();
    const TRect rects[] = {{0, 0, 10, 10}, {0, 10, 10, 20}};
    const uint8_t images[] = {1, 2};
    TDDBtnCollection list(2, rects, images);
    EXPECT_EQ(Clicks(), before + 1);
    EXPECT_EQ(list.Selected, 0);
    EXPECT_EQ(LitButtons(list.Buttons), std::vector<int>{0});

    before = Clicks();
    CreateMenuWidgets();
    EXPECT_EQ(Clicks(), before + 3) << "one for each of the three button lists";
    before = Clicks();
    CreateMenuWidgets();
    EXPECT_EQ(Clicks(), before) << "widgets that exist are kept";
}

TEST_F(WidgetTest, SelectionClicks)
{
    ASSERT_FALSE(Fake.Mixer.Buffers.empty()) << "the effects are on the fake mixer";
    // clang-format off
    struct { const char* Name; std::function<void()> Action; size_t Clicks; } cases[] = {
        {"list set to the same item", [] { MainMenuButtons->SetSelected(MainMenuButtons->Selected); }, 1},
        {"list next", [] { MainMenuButtons->SelectNext(); }, 1},
        {"list drawn without change", [] { MainMenuButtons->Draw(nullptr); }, 0},
        {"list hovered to another item", [] { MouseMode = -1; MouseX = 600; MouseY = 550; MainMenuButtons->Draw(nullptr); MouseMode = 0; }, 1},
        {"options next at the end", [] { OptionsMenu->Selected = 5; OptionsMenu->SelectNext(); }, 1},
        {"options previous at the start", [] { OptionsMenu->Selected = 0; OptionsMenu->SelectPrevious(); }, 1},
        {"options drawn without change", [] { OptionsMenu->FollowMouse = false; OptionsMenu->Draw(nullptr); }, 0},
        {"options hovered", [] { OptionsMenu->Selected = 5; OptionsMenu->FollowMouse = true; MouseX = 400; MouseY = 430; OptionsMenu->Draw(nullptr); }, 1},
        {"question set", [] { YesNoDialog->SetSelected(true); }, 1},
        {"question hovered to the other caption", [] { YesNoDialog->SetSelected(true); MouseX = 480; MouseY = 360; YesNoDialog->Draw(nullptr); }, 2},
        {"question drawn without change", [] { MouseX = 0; MouseY = 0; YesNoDialog->Draw(nullptr); }, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        // Draw once so that nothing is left over from the case before.
        MouseX = MouseY = 0;
        OptionsMenu->FollowMouse = false;
        OptionsMenu->Draw(nullptr);
        MainMenuButtons->Draw(nullptr);
        const size_t before = Clicks();
        c.Action();
        EXPECT_EQ(Clicks() - before, c.Clicks) << c.Name;
    }
}

// Moving down places the click where the mouse is; moving up in the options
// menu plays it as the wave list has it, without the mouse's pan.
TEST_F(WidgetTest, OptionsMenuUpClickIgnoresTheMouse)
{
    ASSERT_FALSE(Fake.Mixer.Buffers.empty()) << "the effects are on the fake mixer";
    MouseAt(0, 500);
    OptionsMenu->SelectNext();
    const int32_t leftPan = EffectPan(MenuClick);
    MouseAt(799, 500);
    OptionsMenu->SelectNext();
    const int32_t rightPan = EffectPan(MenuClick);
    EXPECT_NE(leftPan, rightPan) << "the click follows the mouse";

    MouseAt(0, 500);
    const size_t before = Clicks();
    OptionsMenu->SelectPrevious();
    EXPECT_EQ(Clicks(), before + 1);
    EXPECT_EQ(EffectPan(MenuClick), rightPan) << "the wave list's own pan";
}

} // namespace
