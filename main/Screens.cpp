// Every screen outside play, as a table of pieces drawn in order onto the
// back buffer: pictures, texts and the screen's widget.
#include "main/Screens.h"

#include <map>

#include "game/Game.h"
#include "graphics/AssetPack.h"
#include "graphics/DXCtrl.h"
#include "graphics/Draw.h"
#include "graphics/SpriteSizes.h"
#include "main/Main.h"
#include "main/StateWidgets.h"
#include "services/Options.h"
#include "services/WebScores.h"

const TScreenText OverviewStory[14] = {
    {40, 180, "The year is 2471. Without a word of warning, a fleet of alien invaders", 14, 10, ColorDarkGreen, false},
    {20, 200, "came out of deep space and fell upon the outer colonies of mankind.", 14, 10, ColorDarkGreen, false},
    {20, 220, "One by one the frontier worlds went dark, their defence squadrons", 14, 10, ColorDarkGreen, false},
    {20, 240, "scattered and their orbital stations turned into drifting wreckage.", 14, 10, ColorDarkGreen, false},
    {20, 260, "Now the alien armada is moving towards the heart of the Federation,", 14, 10, ColorDarkGreen, false},
    {20, 280, "and nothing that is left of our fleet can stop it in open battle.", 14, 10, ColorDarkGreen, false},
    {20, 300, "One hope remains: a single warship, the Zephyrion.", 14, 10, ColorDarkGreen, false},
    {40, 320, "Your mission is to slip through the enemy lines, get behind the front", 14, 10, ColorDarkGreen, false},
    {20, 340, "and destroy the command ships that lead the invasion. Without their", 14, 10, ColorDarkGreen, false},
    {20, 360, "commanders the alien squadrons will fall into disorder and retreat.", 14, 10, ColorDarkGreen, false},
    {40, 380, "Enemy fighters, gunships and asteroid fields wait for you at every", 14, 10, ColorDarkGreen, false},
    {20, 400, "level. Every ship you destroy may leave new weapons, armour plating", 14, 10, ColorDarkGreen, false},
    {20, 420, "and energy cells behind: pick them up to stay in the fight.", 14, 10, ColorDarkGreen, false},
    {40, 440, "Good luck, pilot! The fate of mankind is in your hands.", 14, 10, ColorDarkGreen, false},
};

// clang-format off
const TBonusHelp BonusHelp[9] = {
    {"Armor"}, {"Live"}, {"Energy"}, {"Ionic gun"}, {"Laser gun"},
    {"Plasma gun"}, {"Missiles"}, {"Mega-skull"}, {"mega-bomb"},
};
// clang-format on

namespace {

// The kinds of piece a screen is made of.
// clang-format off
enum class TPieceKind : uint8_t {
    Opaque,          // menu sheet, no colour key
    Keyed,           // menu sheet, colour-keyed
    Snapshot,        // the frozen frame, opaque at (0, 0)
    Text,            // a TScreenText
    Widgets,         // the state's widget and text field (last on a screen without this piece)
    OptionValues,    // "Window"/"FullScreen", "On"/"Off" twice, the boss key's name
    CaptureValues,   // the same, with "..." for the boss key
    HiScoreTable,
    BonusGrid,
    ScoreLine,       // "Your score is " and the finished game's score
    WebAddress,      // the publisher's web site on the About page
};
// clang-format on

struct TPiece {
    TPieceKind Kind;
    int32_t Sheet = 0;
    int32_t X = 0, Y = 0;
    TScreenText Text{};
};

TPiece Opaque(int32_t sheet, int32_t x, int32_t y) { return {TPieceKind::Opaque, sheet, x, y}; }
TPiece Keyed(int32_t sheet, int32_t x, int32_t y) { return {TPieceKind::Keyed, sheet, x, y}; }
TPiece Piece(TPieceKind kind) { return {kind}; }
TPiece Shadowed(int32_t x, int32_t y, const char* text, int32_t h, int32_t w, uint32_t color)
{
    return {TPieceKind::Text, 0, x, y, {x, y, text, h, w, color, true}};
}
TPiece Plain(int32_t x, int32_t y, const char* text, int32_t h, int32_t w, uint32_t color)
{
    return {TPieceKind::Text, 0, x, y, {x, y, text, h, w, color, false}};
}
TPiece Line(const TScreenText& t) { return {TPieceKind::Text, 0, t.X, t.Y, t}; }

using TPieces = std::vector<TPiece>;

void Append(TPieces& to, const TPieces& from) { to.insert(to.end(), from.begin(), from.end()); }

TPieces SubmenuFrame()
{
    return {Opaque(SheetMenuBackground, 0, 0), Keyed(SheetTitle, 0, 0), Keyed(SheetTitleBanner, 388, 0)};
}

TPieces HelpFrame(const char* title)
{
    TPieces p = SubmenuFrame();
    Append(p, {Keyed(SheetHelpPrev, 440, 530), Keyed(SheetHelpNext, 550, 530), Keyed(SheetBackLabel, 660, 530),
               Shadowed(475, 25, "HELP", 28, 18, ColorBrightGreen),
               Shadowed(40, 140, title, 28, 18, ColorBrightGreen)});
    return p;
}

TPieces OptionsScreen(bool capture)
{
    TPieces p = SubmenuFrame();
    Append(p, {Shadowed(420, 25, "Options", 28, 18, ColorBrightGreen),
               Plain(120, 238, "Display", 18, 12, ColorBrightGreen),
               Plain(120, 299, "Music", 18, 12, ColorBrightGreen),
               Plain(120, 359, "Sound", 18, 12, ColorBrightGreen),
               Plain(120, 425, "Your country", 18, 12, ColorBrightGreen),
               Plain(120, 485, "Boss key", 18, 12, ColorBrightGreen),
               Keyed(SheetOptionDisplay, 300, capture ? 231 : 230),
               Keyed(SheetOptionOnOff, 327, 292),
               Keyed(SheetOptionOnOff, 327, 352),
               capture ? Keyed(SheetOptionBossKeyLit, 305, 473) : Keyed(SheetOptionBossKey, 309, 477),
               Keyed(SheetBackLabel, 621, 540),
               Piece(TPieceKind::Widgets),
               Piece(capture ? TPieceKind::CaptureValues : TPieceKind::OptionValues)});
    return p;
}

TPieces HighScoreScreen()
{
    TPieces p{Opaque(SheetMenuBackground, 0, 0)};
    for (int32_t i = 0; i <= 10; ++i)
        p.push_back(Opaque(SheetScoreRow, 250, 120 + 36 * i));
    Append(p, {Keyed(SheetTitle, 0, 0), Keyed(SheetTitleBanner, 388, 0),
               Shadowed(420, 25, "High Score", 28, 18, ColorBrightGreen),
               Keyed(SheetScoreButton0, 50, 140), Keyed(SheetScoreButton1, 50, 210),
               Opaque(SheetBackLabel, 121, 460), Piece(TPieceKind::Widgets),
               Piece(TPieceKind::HiScoreTable)});
    return p;
}

TPieces OverviewScreen()
{
    TPieces p = HelpFrame("GAME OVERVIEW");
    for (const TScreenText& t : OverviewStory)
        p.push_back(Line(t));
    p.push_back(Piece(TPieceKind::Widgets));
    return p;
}

TPieces ControlsScreen()
{
    TPieces p = HelpFrame("CONTROLS");
    const auto heading = [](int32_t y, const char* t) { return Plain(40, y, t, 18, 10, ColorBrightGreen); };
    const auto line = [](int32_t y, const char* t) { return Plain(40, y, t, 14, 10, ColorDarkGreen); };
    Append(p, {heading(180, "MENU NAVIGATIONS"),
               line(210, "Use the cursor keys or mouse to move the menu cursor up and down"),
               line(230, "Press the \"Enter\" key or any mouse button to enter menu options"),
               line(250, "Press the \"Left Arrow\", \"Right Arrow\", \"Enter\" keys or any mouse"),
               line(270, "button to change a menu option."),
               line(290, "Press \"Esc\" to back from the submenu to Main Menu"),
               heading(320, "GAME NAVIGATIONS"),
               line(350, "Use the arrow keys or mouse to move the spaceship"),
               line(370, "Press \"Ctrl\" key or left mouse button to fire."),
               line(390, "Use \"P\" to pause or resume the game."),
               line(410, "Use \"Escape\" key to quit the game to Main Menu."),
               line(430, "Use \"Alt\"+\"Enter\" keys to change window/full screen modes."),
               Piece(TPieceKind::Widgets)});
    return p;
}

TPieces AboutScreen()
{
    TPieces p = HelpFrame("ABOUT");
    Append(p, {Keyed(SheetAboutPicture, 40, 220),
               Plain(170, 220, "ZEPHYRION v.2.0", 28, 18, ColorBrightGreen),
               Plain(170, 255, "(c) 2026 Zephyrion Games", 28, 18, ColorDarkGreen),
               Piece(TPieceKind::WebAddress), Piece(TPieceKind::Widgets)});
    return p;
}

// The screens by state. The intro and play are drawn elsewhere.
const std::map<int32_t, TPieces>& Screens()
{
    static const std::map<int32_t, TPieces> screens = {
        {StateMainMenu,
         {Opaque(SheetMenuBackground, 0, 0), Keyed(SheetTitle, 0, 0), Keyed(SheetMainMenuItems, 461, 327),
          Piece(TPieceKind::Widgets)}},
        {StateOptions, OptionsScreen(false)},
        {StateBossKeyCapture, OptionsScreen(true)},
        {StateHighScores, HighScoreScreen()},
        {StateHelpOverview, OverviewScreen()},
        {StateHelpBonuses,
         [] {
             TPieces p = HelpFrame("BONUSES");
             Append(p, {Piece(TPieceKind::BonusGrid), Piece(TPieceKind::Widgets)});
             return p;
         }()},
        {StateHelpControls, ControlsScreen()},
        {StateHelpAbout, AboutScreen()},
        {StateExitConfirm,
         {Opaque(SheetMenuBackground, 0, 0), Opaque(SheetDialogPanel, 190, 200), Keyed(SheetTitle, 0, 0),
          Shadowed(300, 260, "Exit game?", 46, 20, ColorDarkGreen), Piece(TPieceKind::Widgets)}},
        {StateClearScoresConfirm,
         {Piece(TPieceKind::Snapshot), Opaque(SheetDialogPanel, 210, 200), Keyed(SheetTitle, 0, 0),
          Shadowed(260, 250, "Do you want to clear", 26, 14, ColorDarkGreen),
          Shadowed(260, 278, "the High Score Table?", 26, 14, ColorDarkGreen), Piece(TPieceKind::Widgets)}},
        {StatePaused, {Piece(TPieceKind::Snapshot), Shadowed(350, 300, "Pause", 32, 20, ColorDarkGreen)}},
        {StateNameEntry,
         {Piece(TPieceKind::Snapshot), Opaque(SheetDialogPanel, 215, 200), Piece(TPieceKind::ScoreLine),
          Shadowed(250, 254, "Please enter your name", 24, 14, ColorDarkGreen), Piece(TPieceKind::Widgets)}},
        {StateSubmitConfirm,
         {Piece(TPieceKind::Snapshot), Opaque(SheetDialogPanel, 200, 200), Piece(TPieceKind::Widgets),
          Shadowed(254, 252, "Send the result to", 24, 15, ColorDarkGreen),
          Shadowed(216, 282, "world's highscores page", 24, 15, ColorDarkGreen)}},
        {StateQuitGameConfirm,
         {Piece(TPieceKind::Snapshot), Opaque(SheetDialogPanel, 190, 200),
          Shadowed(300, 260, "Exit game?", 46, 20, ColorDarkGreen), Piece(TPieceKind::Widgets)}},
        {StateSubmitRetry,
         {Piece(TPieceKind::Snapshot), Opaque(SheetDialogPanel, 190, 200), Piece(TPieceKind::Widgets),
          Shadowed(254, 252, "Can not connect to", 24, 15, ColorRed),
          Shadowed(290, 282, "server! Repeat?", 24, 15, ColorRed), Opaque(SheetHelpNext, 0, 0)}},
        {StateSubmitting,
         {Piece(TPieceKind::Snapshot), Opaque(SheetDialogPanel, 190, 200),
          Shadowed(290, 282, "Please wait...", 24, 16, ColorDarkGreen), Opaque(SheetHelpNext, 0, 0)}},
    };
    return screens;
}

HRESULT DrawSheet(TSurface* target, int32_t sheet, int32_t x, int32_t y, uint32_t flags)
{
    TSurface* s = sheet >= 0 && sheet < MenuSheetCount ? MenuSheets[sheet] : nullptr;
    if (!s)
        return DD_OK; // nothing loaded in this slot: nothing to draw
    return target->BltFast(x, y, s, nullptr, flags | DDBLTFAST_WAIT);
}

void DrawScreenText(TSurface* target, const TScreenText& t)
{
    if (t.Shadowed)
        DrawTextShadowed(target, t.X, t.Y, t.Text, t.Height, t.Width, t.Color);
    else
        DrawText(target, t.X, t.Y, t.Text, t.Height, t.Width, t.Color, false);
}

void DrawOptionValues(TSurface* target, bool capture)
{
    if (GameOptions.Windowed)
        DrawText(target, 320, 238, "Window", 18, 14, ColorBrightGreen, false);
    else
        DrawText(target, 310, 238, "FullScreen", 18, 10, ColorBrightGreen, false);
    const auto onOff = [&](bool on, int32_t y) {
        DrawText(target, 344, y, on ? "On" : "Off", 18, on ? 14 : 10, ColorBrightGreen, false);
    };
    onOff(GameOptions.MusicOn, 298);
    onOff(GameOptions.SoundOn, 358);
    if (capture)
        DrawText(target, 384, 488, "...", 18, 14, ColorBrightGreen, false);
    else
        DrawText(target, 364, 488, KeyName(GameOptions.BossKey), 18, 14, ColorBrightGreen, false);
}

void DrawBonusGrid(TSurface* target)
{
    static const int32_t columnX[3] = {40, 280, 520};
    static const int32_t nameX[3] = {120, 350, 590};
    for (int32_t k = 0; k < 9; ++k) {
        const int32_t c = k / 3, r = k % 3;
        uint32_t f = AnimCounter / 10;
        if (f > 7) {
            AnimCounter = 0;
            f = 0;
        }
        const TBonusHelp& b = BonusHelp[k];
        if (TSurface* sheet = GameSheets[SheetBonus + k]) {
            const TSpriteSize size = BonusSize[k];
            const TRect src = Bounds(static_cast<int32_t>(f) * size.W, 0, size.W, size.H);
            target->BltFast(columnX[c], 180 + 120 * r, sheet, &src, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
        }
        DrawText(target, nameX[c], 200 + 120 * r, b.Name, 24, 14, ColorDarkGreen, false);
    }
    ++AnimCounter;
}

template <class W>
void DrawWidget(W* widget, TSurface* target)
{
    if (widget)
        widget->Draw(target);
}

HRESULT DrawPiece(const TPiece& p, int32_t state, TSurface* target)
{
    switch (p.Kind) {
    case TPieceKind::Opaque:
        return DrawSheet(target, p.Sheet, p.X, p.Y, DDBLTFAST_NOCOLORKEY);
    case TPieceKind::Keyed:
        return DrawSheet(target, p.Sheet, p.X, p.Y, DDBLTFAST_SRCCOLORKEY);
    case TPieceKind::Snapshot:
        return SnapshotSurface ? target->BltFast(0, 0, SnapshotSurface, nullptr, DDBLTFAST_WAIT) : DD_OK;
    case TPieceKind::Text:
        DrawScreenText(target, p.Text);
        break;
    case TPieceKind::Widgets:
        DrawWidgets(state, target);
        break;
    case TPieceKind::OptionValues: DrawOptionValues(target, false); break;
    case TPieceKind::CaptureValues: DrawOptionValues(target, true); break;
    case TPieceKind::HiScoreTable: DrawHiScores(target); break;
    case TPieceKind::BonusGrid: DrawBonusGrid(target); break;
    case TPieceKind::ScoreLine:
        DrawTextShadowed(target, 290, 232, "Your score is " + std::to_string(CurrentGame ? CurrentGame->Score : 0),
                         24, 14, ColorDarkGreen);
        break;
    case TPieceKind::WebAddress:
        DrawText(target, 170, 290, WebSiteAddress(), 28, 18, ColorDarkGreen, false);
        break;
    }
    return DD_OK;
}

} // namespace

std::vector<TScreenText> ScreenTexts(int32_t state)
{
    std::vector<TScreenText> texts;
    const auto& screens = Screens();
    const auto it = screens.find(state);
    if (it != screens.end())
        for (const TPiece& p : it->second)
            if (p.Kind == TPieceKind::Text)
                texts.push_back(p.Text);
    return texts;
}

HRESULT DrawScreen(int32_t state, TSurface* target)
{
    const auto& screens = Screens();
    const auto it = screens.find(state);
    if (it == screens.end() || !target)
        return DD_OK; // a state without a screen shows the cleared frame
    HRESULT first = DD_OK;
    bool isFirst = true;
    bool widgetsDrawn = false;
    for (const TPiece& p : it->second) {
        const HRESULT hr = DrawPiece(p, state, target);
        if (isFirst)
            first = hr;
        isFirst = false;
        widgetsDrawn = widgetsDrawn || p.Kind == TPieceKind::Widgets;
    }
    if (!widgetsDrawn)
        DrawWidgets(state, target);
    return first;
}

void DrawWidgets(int32_t state, TSurface* target)
{
    const TStateWidgets widgets = WidgetsOf(state);
    DrawWidget(ButtonListOf(widgets.Widget), target);
    DrawWidget(OptionsMenuOf(widgets.Widget), target);
    DrawWidget(QuestionOf(widgets.Widget), target);
    if (widgets.Widget != TWidget::Options) // the options menu has drawn its field
        DrawWidget(FieldOf(widgets.Field), target);
}

void DrawIntro(TSurface* target)
{
    DrawSheet(target, SheetMenuBackground, 0, 0, DDBLTFAST_NOCOLORKEY);
    if (MenuSheets[SheetTitle])
        BlitClipped(MenuSheets[SheetTitle], target, Rect(0, 0, 250, 138),
                    static_cast<int32_t>(AnimCounter) - 250, 0);
    DrawSheet(target, SheetMainMenuItems, 461, 327, DDBLTFAST_SRCCOLORKEY);
}
