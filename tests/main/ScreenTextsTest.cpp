// Every text on every screen, where it belongs: its place, face, size,
// weight, colour, alignment and shadow, one table for all screens.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Harness.h"
#include "game/Game.h"
#include "graphics/DXCtrl.h"
#include "main/Screens.h"
#include "services/Options.h"

namespace {

// One text as the screen draws it, in a line a reader can compare with the
// screens' layout: "text" at x,y face height/width/weight #colour, with
// "right" for right-aligned text and "shadow #colour" when a shadow one
// pixel right and down was drawn just before it in that colour.
std::string Describe(const FakeTextRenderer::Call& c, const FakeTextRenderer::Call* shadow)
{
    char line[512];
    std::snprintf(line, sizeof line, "\"%s\" at %d,%d %s %d/%d/%d #%06X%s", c.Text.c_str(), c.X, c.Y,
                  c.Font.Face.c_str(), c.Font.Height, c.Font.Width, c.Font.Weight, c.Color,
                  (c.Align & TA_RIGHT) ? " right" : "");
    std::string out = line;
    if (shadow) {
        std::snprintf(line, sizeof line, " shadow #%06X", shadow->Color);
        out += line;
    }
    return out;
}

std::vector<std::string> Describe(const std::vector<FakeTextRenderer::Call>& calls)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < calls.size(); ++i) {
        const auto& c = calls[i];
        if (i + 1 < calls.size()) {
            const auto& n = calls[i + 1];
            if (n.Text == c.Text && n.X + 1 == c.X && n.Y + 1 == c.Y && n.Font == c.Font && n.Align == c.Align) {
                out.push_back(Describe(n, &c));
                ++i;
                continue;
            }
        }
        out.push_back(Describe(c, nullptr));
    }
    return out;
}

// Puts the program on a screen, with a game behind the screens over it.
void Enter(THarness& h, int32_t state)
{
    h.SkipIntro();
    MainMenuButtons->SetSelected(0);
    MainMenuButtons->Done = true;
    ApplyMenuChoice();
    CurrentGame->Score = 4321;
    GameState = state;
    h.MoveMouse(0, 599); // over no item
}

struct TScreenTexts {
    const char* Name;
    int32_t State;
    std::vector<std::string> Texts;
};

// clang-format off
const TScreenTexts ScreenTexts[] = {
    {"intro", StateIntro, {}},
    {"main menu", StateMainMenu, {}},
    {"options", StateOptions,
     {
         R"("Options" at 420,25 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("Display" at 120,238 Crystal 18/12/800 #00FF00)",
         R"("Music" at 120,299 Crystal 18/12/800 #00FF00)",
         R"("Sound" at 120,359 Crystal 18/12/800 #00FF00)",
         R"("Your country" at 120,425 Crystal 18/12/800 #00FF00)",
         R"("Boss key" at 120,485 Crystal 18/12/800 #00FF00)",
         R"("" at 317,412 Cranberry Cyr 32/20/700 #00FF00)",
         R"("Window" at 320,238 Crystal 18/14/800 #00FF00)",
         R"("On" at 344,298 Crystal 18/14/800 #00FF00)",
         R"("On" at 344,358 Crystal 18/14/800 #00FF00)",
         R"("F12" at 364,488 Crystal 18/14/800 #00FF00)",
     }},
    {"boss key capture", StateBossKeyCapture,
     {
         R"("Options" at 420,25 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("Display" at 120,238 Crystal 18/12/800 #00FF00)",
         R"("Music" at 120,299 Crystal 18/12/800 #00FF00)",
         R"("Sound" at 120,359 Crystal 18/12/800 #00FF00)",
         R"("Your country" at 120,425 Crystal 18/12/800 #00FF00)",
         R"("Boss key" at 120,485 Crystal 18/12/800 #00FF00)",
         R"("" at 317,412 Cranberry Cyr 32/20/700 #00FF00)",
         R"("Window" at 320,238 Crystal 18/14/800 #00FF00)",
         R"("On" at 344,298 Crystal 18/14/800 #00FF00)",
         R"("On" at 344,358 Crystal 18/14/800 #00FF00)",
         R"("..." at 384,488 Crystal 18/14/800 #00FF00)",
     }},
    {"high scores", StateHighScores,
     {
         R"("High Score" at 420,25 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("Place" at 270,124 Crystal 24/16/800 #00FF00 shadow #78FF78)",
         R"("Name" at 450,124 Crystal 24/14/800 #00FF00 shadow #78FF78)",
         R"("Score" at 640,124 Crystal 24/16/800 #00FF00 shadow #78FF78)",
         R"("1" at 310,160 Crystal 24/16/800 #00FF00 shadow #78FF78)",
         R"("Anonymous" at 410,160 Crystal 24/14/800 #00FF00 shadow #78FF78)",
         R"("1000" at 640,160 Crystal 24/16/800 #00FF00 shadow #78FF78)",
         R"("2" at 310,196 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,196 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("900" at 640,196 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("3" at 310,232 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,232 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("800" at 640,232 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("4" at 310,268 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,268 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("700" at 640,268 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("5" at 310,304 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,304 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("600" at 640,304 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("6" at 310,340 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,340 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("500" at 640,340 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("7" at 310,376 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,376 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("400" at 640,376 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("8" at 310,412 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,412 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("300" at 640,412 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("9" at 310,448 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,448 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("200" at 640,448 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("10" at 310,484 Crystal 24/16/800 #228822 shadow #30BB30)",
         R"("Anonymous" at 410,484 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("100" at 640,484 Crystal 24/16/800 #228822 shadow #30BB30)",
     }},
    {"help: overview", StateHelpOverview,
     {
         R"("HELP" at 475,25 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("GAME OVERVIEW" at 40,140 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("The year is 2471. Without a word of warning, a fleet of alien invaders" at 40,180 Crystal 14/10/800 #228822)",
         R"("came out of deep space and fell upon the outer colonies of mankind." at 20,200 Crystal 14/10/800 #228822)",
         R"("One by one the frontier worlds went dark, their defence squadrons" at 20,220 Crystal 14/10/800 #228822)",
         R"("scattered and their orbital stations turned into drifting wreckage." at 20,240 Crystal 14/10/800 #228822)",
         R"("Now the alien armada is moving towards the heart of the Federation," at 20,260 Crystal 14/10/800 #228822)",
         R"("and nothing that is left of our fleet can stop it in open battle." at 20,280 Crystal 14/10/800 #228822)",
         R"("One hope remains: a single warship, the Zephyrion." at 20,300 Crystal 14/10/800 #228822)",
         R"("Your mission is to slip through the enemy lines, get behind the front" at 40,320 Crystal 14/10/800 #228822)",
         R"("and destroy the command ships that lead the invasion. Without their" at 20,340 Crystal 14/10/800 #228822)",
         R"("commanders the alien squadrons will fall into disorder and retreat." at 20,360 Crystal 14/10/800 #228822)",
         R"("Enemy fighters, gunships and asteroid fields wait for you at every" at 40,380 Crystal 14/10/800 #228822)",
         R"("level. Every ship you destroy may leave new weapons, armour plating" at 20,400 Crystal 14/10/800 #228822)",
         R"("and energy cells behind: pick them up to stay in the fight." at 20,420 Crystal 14/10/800 #228822)",
         R"("Good luck, pilot! The fate of mankind is in your hands." at 40,440 Crystal 14/10/800 #228822)",
     }},
    {"help: bonuses", StateHelpBonuses,
     {
         R"("HELP" at 475,25 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("BONUSES" at 40,140 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("Armor" at 120,200 Crystal 24/14/800 #228822)",
         R"("Live" at 120,320 Crystal 24/14/800 #228822)",
         R"("Energy" at 120,440 Crystal 24/14/800 #228822)",
         R"("Ionic gun" at 350,200 Crystal 24/14/800 #228822)",
         R"("Laser gun" at 350,320 Crystal 24/14/800 #228822)",
         R"("Plasma gun" at 350,440 Crystal 24/14/800 #228822)",
         R"("Missiles" at 590,200 Crystal 24/14/800 #228822)",
         R"("Mega-skull" at 590,320 Crystal 24/14/800 #228822)",
         R"("mega-bomb" at 590,440 Crystal 24/14/800 #228822)",
     }},
    {"help: controls", StateHelpControls,
     {
         R"("HELP" at 475,25 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("CONTROLS" at 40,140 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("MENU NAVIGATIONS" at 40,180 Crystal 18/10/800 #00FF00)",
         R"("Use the cursor keys or mouse to move the menu cursor up and down" at 40,210 Crystal 14/10/800 #228822)",
         R"("Press the "Enter" key or any mouse button to enter menu options" at 40,230 Crystal 14/10/800 #228822)",
         R"("Press the "Left Arrow", "Right Arrow", "Enter" keys or any mouse" at 40,250 Crystal 14/10/800 #228822)",
         R"("button to change a menu option." at 40,270 Crystal 14/10/800 #228822)",
         R"("Press "Esc" to back from the submenu to Main Menu" at 40,290 Crystal 14/10/800 #228822)",
         R"("GAME NAVIGATIONS" at 40,320 Crystal 18/10/800 #00FF00)",
         R"("Use the arrow keys or mouse to move the spaceship" at 40,350 Crystal 14/10/800 #228822)",
         R"("Press "Ctrl" key or left mouse button to fire." at 40,370 Crystal 14/10/800 #228822)",
         R"("Use "P" to pause or resume the game." at 40,390 Crystal 14/10/800 #228822)",
         R"("Use "Escape" key to quit the game to Main Menu." at 40,410 Crystal 14/10/800 #228822)",
         R"("Use "Alt"+"Enter" keys to change window/full screen modes." at 40,430 Crystal 14/10/800 #228822)",
     }},
    {"help: about", StateHelpAbout,
     {
         R"("HELP" at 475,25 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("ABOUT" at 40,140 Crystal 28/18/800 #00FF00 shadow #78FF78)",
         R"("ZEPHYRION v.2.0" at 170,220 Crystal 28/18/800 #00FF00)",
         R"("(c) 2026 Zephyrion Games" at 170,255 Crystal 28/18/800 #228822)",
         R"("http://127.0.0.1:8077/" at 170,290 Crystal 28/18/800 #228822)",
     }},
    {"exit question", StateExitConfirm,
     {
         R"("Exit game?" at 300,260 Crystal 46/20/800 #228822 shadow #30BB30)",
         R"("Yes" at 280,340 Crystal 46/20/800 #00FF00 shadow #78FF78)",
         R"("No" at 460,340 Crystal 46/20/800 #228822 shadow #30BB30)",
     }},
    {"clear-table question", StateClearScoresConfirm,
     {
         R"("Do you want to clear" at 260,250 Crystal 26/14/800 #228822 shadow #30BB30)",
         R"("the High Score Table?" at 260,278 Crystal 26/14/800 #228822 shadow #30BB30)",
         R"("Ok" at 280,340 Crystal 46/20/800 #00FF00 shadow #78FF78)",
         R"("Cancel" at 420,340 Crystal 46/20/800 #228822 shadow #30BB30)",
     }},
    {"pause", StatePaused,
     {
         R"("Pause" at 350,300 Crystal 32/20/800 #228822 shadow #30BB30)",
     }},
    {"name entry", StateNameEntry,
     {
         R"("Your score is 4321" at 290,232 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("Please enter your name" at 250,254 Crystal 24/14/800 #228822 shadow #30BB30)",
         R"("Ok" at 280,340 Crystal 46/20/800 #00FF00 shadow #78FF78)",
         R"("Cancel" at 420,340 Crystal 46/20/800 #228822 shadow #30BB30)",
         R"("" at 248,283 Cranberry Cyr 32/20/700 #00FF00)",
     }},
    {"send question", StateSubmitConfirm,
     {
         R"("Yes" at 280,340 Crystal 46/20/800 #00FF00 shadow #78FF78)",
         R"("No" at 460,340 Crystal 46/20/800 #228822 shadow #30BB30)",
         R"("Send the result to" at 254,252 Crystal 24/15/800 #228822 shadow #30BB30)",
         R"("world's highscores page" at 216,282 Crystal 24/15/800 #228822 shadow #30BB30)",
     }},
    {"in-game exit question", StateQuitGameConfirm,
     {
         R"("Exit game?" at 300,260 Crystal 46/20/800 #228822 shadow #30BB30)",
         R"("Yes" at 280,340 Crystal 46/20/800 #00FF00 shadow #78FF78)",
         R"("No" at 460,340 Crystal 46/20/800 #228822 shadow #30BB30)",
     }},
    {"connection failed", StateSubmitRetry,
     {
         R"("Yes" at 280,340 Crystal 46/20/800 #00FF00 shadow #78FF78)",
         R"("No" at 460,340 Crystal 46/20/800 #228822 shadow #30BB30)",
         R"("Can not connect to" at 254,252 Crystal 24/15/800 #FF0000 shadow #30BB30)",
         R"("server! Repeat?" at 290,282 Crystal 24/15/800 #FF0000 shadow #30BB30)",
     }},
    {"sending", StateSubmitting,
     {
         R"("Please wait..." at 290,282 Crystal 24/16/800 #228822 shadow #30BB30)",
     }},
};
// clang-format on

TEST(ScreenTexts, EveryTextIsWhereTheLayoutPutsIt)
{
    for (const auto& screen : ScreenTexts) {
        SCOPED_TRACE(screen.Name);
        THarness h;
        Enter(h, screen.State);
        h.P.Text.Calls.clear();
        h.Frame();
        const auto drawn = Describe(h.P.Text.Calls);
        EXPECT_EQ(drawn, screen.Texts);
        if (drawn != screen.Texts) {
            std::string table;
            for (const auto& t : drawn)
                table += "      R\"(" + t + ")\",\n";
            ADD_FAILURE() << screen.Name << " draws:\n"
                          << table;
        }
    }
}

} // namespace
