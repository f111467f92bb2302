// What every screen outside play draws: backgrounds, decorations, texts and
// the screen's widget, each screen a table of pieces.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DDraw.h"

// A line of text of a screen.
struct TScreenText {
    int32_t X, Y;
    std::string Text;
    int32_t Height, Width;
    uint32_t Color;
    bool Shadowed; // DrawTextShadowed; otherwise plain DrawText
};

// The fixed texts of a state's screen, in drawing order (values that change,
// such as the options' values or the score, are not in it).
std::vector<TScreenText> ScreenTexts(int32_t state);

// Draws the screen of state onto target. Returns the result of the screen's
// first blit (its full-screen background or frozen frame); DD_OK for a
// state that draws nothing.
HRESULT DrawScreen(int32_t state, TSurface* target);

// Draws the widgets the state machine's table gives state: its button list,
// options menu or question, then its text field.
void DrawWidgets(int32_t state, TSurface* target);

// The intro's picture: background, the part of the title that has slid in
// (at AnimCounter - 250) and the main menu panel; the buttons come after.
void DrawIntro(TSurface* target);

// The story of the first help page: thirteen lines in three paragraphs and
// a closing line.
extern const TScreenText OverviewStory[14];

// Names of the bonus kinds on the bonus help page (their frames are BonusSize).
struct TBonusHelp {
    const char* Name;
};
extern const TBonusHelp BonusHelp[9];
