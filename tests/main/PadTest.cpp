// The game controller in the shell: held buttons in KeyboardState (a game flown
// with the pad plays exactly as one flown with the keys), presses as the menus'
// keys, and a whole game started, played and quit with SDL's virtual
// controllers alone.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Harness.h"
#include "fakes/VirtualPad.h"
#include "game/Game.h"
#include "graphics/DXCtrl.h"
#include "platform/Random.h"
#include "platform/sdl/SdlGamepad.h"
#include "services/Options.h"

namespace {

constexpr uint32_t Bit(TPadButton b) { return PadBit(b); }

// The main menu with a game running in the background, and a pad.
struct PadHarness : MenuHarness {
    void Press(TPadButton b)
    {
        P.Gamepad.Presses.push_back(b);
        Idle();
    }
};

const uint8_t ShipScans[] = {DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT, DIK_LCONTROL, DIK_RCONTROL, DIK_SPACE, DIK_P, DIK_ESCAPE, DIK_RETURN};

TEST(Pad, HeldButtonsHoldTheKeysTheShipReads)
{
    const struct {
        const char* Name;
        uint32_t Held;
        std::vector<uint8_t> Down;
    } cases[] = {
        {"nothing", 0, {}},
        {"up", Bit(PadUp), {DIK_UP}},
        {"down", Bit(PadDown), {DIK_DOWN}},
        {"left", Bit(PadLeft), {DIK_LEFT}},
        {"right", Bit(PadRight), {DIK_RIGHT}},
        {"up and left", Bit(PadUp) | Bit(PadLeft), {DIK_UP, DIK_LEFT}},
        {"A fires", Bit(PadA), {DIK_LCONTROL}},
        {"the right trigger fires", Bit(PadRightTrigger), {DIK_LCONTROL}},
        {"X: the special weapon", Bit(PadX), {DIK_SPACE}},
        {"B: the special weapon", Bit(PadB), {DIK_SPACE}},
        {"Y holds nothing", Bit(PadY), {}},
        {"Start and Back are presses only", Bit(PadStart) | Bit(PadBack), {}},
    };
    PadHarness h;
    GameState = StatePlaying;
    for (const auto& c : cases) {
        h.P.Gamepad.Held = c.Held;
        h.Frame();
        for (uint8_t scan : ShipScans) {
            const bool down = std::find(c.Down.begin(), c.Down.end(), scan) != c.Down.end();
            EXPECT_EQ(KeyboardState[scan], down ? 0x80 : 0) << c.Name << ", scan code " << int(scan);
        }
    }
}

TEST(Pad, KeyboardAndPadHoldTogether)
{
    PadHarness h;
    GameState = StatePlaying;
    h.P.Keyboard.Press(DIK_LEFT);
    h.P.Keyboard.Press(DIK_RCONTROL);
    h.P.Gamepad.Held = Bit(PadLeft) | Bit(PadUp);
    h.Frame();
    EXPECT_EQ(KeyboardState[DIK_LEFT], 0x80) << "held on both";
    EXPECT_EQ(KeyboardState[DIK_UP], 0x80) << "held on the pad only";
    EXPECT_EQ(KeyboardState[DIK_RCONTROL], 0x80) << "held on the keyboard only";
    h.P.Gamepad.Held = 0;
    h.Frame();
    EXPECT_EQ(KeyboardState[DIK_LEFT], 0x80) << "the keyboard still holds it";
    EXPECT_EQ(KeyboardState[DIK_UP], 0);
}

TEST(Pad, AWindowInTheBackgroundTakesNothingFromThePad)
{
    PadHarness h;
    GameState = StatePlaying;
    h.Form->ApplicationEvents1Deactivate();
    h.P.Gamepad.Held = Bit(PadLeft) | Bit(PadA);
    h.P.Gamepad.Presses = {PadStart, PadBack};
    h.Frame();
    EXPECT_EQ(KeyboardState[DIK_LEFT], 0);
    EXPECT_EQ(KeyboardState[DIK_LCONTROL], 0);
    EXPECT_EQ(GameState, StatePlaying);
    EXPECT_TRUE(h.P.Gamepad.Presses.empty()) << "presses made meanwhile are dropped, not kept for later";
}

// A seeded game flown for a while by a scripted player through the keys,
// or through the pad, ends in the same world.
struct TWorld {
    int32_t X, Y, Bank, Score, Shots, Energy;
    uint32_t Seed;
    std::vector<int> Sounds; // every effect played, in order
    bool operator==(const TWorld&) const = default;
};

TWorld Fly(bool withPad)
{
    PadHarness h;
    GameState = StatePlaying;
    struct TStep {
        int Frames;
        uint32_t Pad;
        std::vector<uint8_t> Keys;
    };
    const TStep script[] = {
        {40, 0, {}},
        {30, Bit(PadLeft) | Bit(PadA), {DIK_LEFT, DIK_LCONTROL}},
        {25, Bit(PadUp) | Bit(PadRight) | Bit(PadRightTrigger), {DIK_UP, DIK_RIGHT, DIK_LCONTROL}},
        {5, Bit(PadX), {DIK_SPACE}},
        {20, Bit(PadDown), {DIK_DOWN}},
        {60, Bit(PadA) | Bit(PadRight), {DIK_LCONTROL, DIK_RIGHT}},
        {10, Bit(PadB), {DIK_SPACE}},
        {40, Bit(PadUp) | Bit(PadLeft) | Bit(PadA), {DIK_UP, DIK_LEFT, DIK_LCONTROL}},
    };
    for (const TStep& s : script) {
        h.P.Gamepad.Held = withPad ? s.Pad : 0;
        h.P.Keyboard.ReleaseAll();
        if (!withPad)
            for (uint8_t k : s.Keys)
                h.P.Keyboard.Press(k);
        for (int i = 0; i < s.Frames; ++i) {
            h.Frame();
            h.P.Mixer.FinishAll(); // every effect is heard to its end
        }
    }
    const TGame& g = *CurrentGame;
    int32_t shots = 0;
    for (const auto& s : g.Ship->Gun->Shots)
        shots += s ? 1 : 0;
    return {g.Ship->X, g.Ship->Y, g.Ship->Bank, g.Score, shots, g.Energy, RandSeed, h.P.Mixer.PlayLog};
}

TEST(Pad, AGameFlownWithThePadPlaysAsWithTheKeys)
{
    const TWorld keys = Fly(false), pad = Fly(true);
    EXPECT_EQ(pad.X, keys.X);
    EXPECT_EQ(pad.Y, keys.Y);
    EXPECT_EQ(pad.Bank, keys.Bank);
    EXPECT_EQ(pad.Shots, keys.Shots);
    EXPECT_EQ(pad.Score, keys.Score);
    EXPECT_EQ(pad.Energy, keys.Energy);
    EXPECT_EQ(pad.Seed, keys.Seed);
    EXPECT_EQ(pad.Sounds, keys.Sounds) << "the same shots and hits, in the same order";
    EXPECT_GT(keys.Sounds.size(), 10u) << "the script fires";
}

struct PressCase {
    int32_t State;
    TPadButton Button;
    int32_t After;
};

TEST(Pad, PressesActAsTheMenusKeys)
{
    // clang-format off
    const PressCase cases[] = {
        {StateIntro, PadA, StateIntro},
        {StateIntro, PadStart, StateIntro},
        {StateMainMenu, PadA, StateHighScores},
        {StateMainMenu, PadStart, StateHighScores},
        {StateMainMenu, PadB, StateExitConfirm},
        {StateMainMenu, PadBack, StateExitConfirm},
        {StateMainMenu, PadX, StateMainMenu},
        {StateMainMenu, PadY, StateMainMenu},
        {StatePlaying, PadStart, StatePaused},
        {StatePlaying, PadBack, StateQuitGameConfirm},
        {StatePlaying, PadB, StatePlaying},   // the special weapon, never Esc
        {StatePlaying, PadA, StatePlaying},
        {StatePlaying, PadUp, StatePlaying},
        {StatePaused, PadStart, StatePlaying},
        {StatePaused, PadBack, StatePlaying},
        {StatePaused, PadA, StatePaused},
        {StateOptions, PadB, StateMainMenu},
        {StateOptions, PadA, StateBossKeyCapture},
        {StateOptions, PadRight, StateBossKeyCapture},
        {StateHighScores, PadB, StateMainMenu},
        {StateHighScores, PadA, StateMainMenu},
        {StateHelpOverview, PadStart, StateHelpBonuses},
        {StateHelpAbout, PadBack, StateMainMenu},
        {StateExitConfirm, PadB, StateMainMenu},
        {StateExitConfirm, PadA, StateMainMenu},   // "No" is selected
        {StateClearScoresConfirm, PadB, StateHighScores},
        {StateNameEntry, PadB, StateMainMenu},
        {StateNameEntry, PadA, StateMainMenu},     // "Cancel" is selected
        {StateSubmitConfirm, PadB, StateMainMenu},
        {StateQuitGameConfirm, PadB, StatePlaying},
        {StateQuitGameConfirm, PadA, StatePlaying},
        {StateSubmitting, PadB, StateSubmitting},
    };
    // clang-format on
    for (const PressCase& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        PadHarness h;
        h.SelectSomewhereVisible();
        GameState = c.State;
        MouseMode = -1;
        h.Press(c.Button);
        EXPECT_EQ(GameState, c.After);
        EXPECT_EQ(h.P.Display.Minimizes, 0) << "the pad has no boss key";
        EXPECT_FALSE(h.P.Display.QuitRequested);
        const bool sendsKey = c.State != StatePlaying && c.State != StatePaused && c.Button != PadX && c.Button != PadY;
        if (sendsKey) {
            EXPECT_EQ(MouseMode, 0) << "the pad, like the keys, takes the menus from the mouse";
        }
    }
}

TEST(Pad, DirectionsMoveTheSelection)
{
    PadHarness h;
    MainMenuButtons->SetSelected(0);
    h.Press(PadDown);
    h.Press(PadRight);
    EXPECT_EQ(MainMenuButtons->Selected, 2);
    h.Press(PadUp);
    EXPECT_EQ(MainMenuButtons->Selected, 1);
    GameState = StateExitConfirm;
    h.Press(PadRight);
    EXPECT_FALSE(YesNoDialog->FirstSelected);
    h.Press(PadLeft);
    EXPECT_TRUE(YesNoDialog->FirstSelected);
}

TEST(Pad, TextFieldsAreConfirmedOrCancelledButNeverTyped)
{
    PadHarness h;
    GameState = StateNameEntry;
    NameEdit->Text = "Ann";
    NameEdit->Length = 3;
    h.Key('B'); // the field takes letters and Backspace from the keys
    ASSERT_EQ(NameEdit->Text, "AnnB");
    h.Key(VK_BACK);
    ASSERT_EQ(NameEdit->Text, "Ann");
    for (TPadButton b : {PadX, PadY, PadUp, PadDown, PadLeft, PadRight, PadRightTrigger}) {
        h.Press(b);
        EXPECT_EQ(NameEdit->Text, "Ann") << "button " << int(b);
        EXPECT_EQ(GameState, StateNameEntry) << "button " << int(b);
    }

    GameState = StateOptions;
    OptionsMenu->Selected = 3;
    CountryEdit->Text = "Norway";
    CountryEdit->Length = 6;
    h.Press(PadA); // the country field opens for typing
    ASSERT_TRUE(CountryEdit->Editing);
    for (TPadButton b : {PadX, PadY, PadRightTrigger}) {
        h.Press(b);
        EXPECT_EQ(CountryEdit->Text, "Norway") << "button " << int(b);
        EXPECT_TRUE(CountryEdit->Editing) << "button " << int(b);
    }
    h.Press(PadStart);
    EXPECT_EQ(CountryEdit->Text, "Norway");
    EXPECT_FALSE(CountryEdit->Editing) << "Start, as Enter, closes the field";
    h.Press(PadB);
    EXPECT_EQ(GameState, StateMainMenu);
}

TEST(Pad, BossKeyCaptureTakesNoPadButtonAndBLeavesIt)
{
    PadHarness h;
    GameState = StateBossKeyCapture;
    for (TPadButton b : {PadA, PadStart, PadUp, PadLeft, PadX, PadY, PadRightTrigger}) {
        h.Press(b);
        EXPECT_EQ(GameState, StateBossKeyCapture) << "button " << int(b);
    }
    h.Press(PadB);
    EXPECT_EQ(GameState, StateOptions);
    EXPECT_EQ(GameOptions.BossKey, VK_F12);
    GameState = StateBossKeyCapture;
    h.Press(PadBack);
    EXPECT_EQ(GameState, StateOptions);
    EXPECT_EQ(GameOptions.BossKey, VK_F12);
}

TEST(Pad, APressAMenuTookHoldsNothingInTheGameUntilLetGo)
{
    // B cancels the quit question as Esc does; still held as the game goes
    // on, it must not drop a mega-bomb (Esc holds nothing either). A held
    // from "No" must not fire. A direction, like an arrow key, flies at once.
    const struct {
        const char* Name;
        TPadButton Button;
        uint8_t Scan;
        bool HeldIntoTheGame;
    } cases[] = {
        {"B: cancel", PadB, DIK_SPACE, false},
        {"A: No", PadA, DIK_LCONTROL, false},
        {"left: Yes chosen, a direction", PadLeft, DIK_LEFT, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        PadHarness h;
        GameState = StatePlaying;
        h.Frame();
        h.P.Gamepad.Held = Bit(PadBack);
        h.Press(PadBack);
        ASSERT_EQ(GameState, StateQuitGameConfirm);
        h.P.Gamepad.Held = 0;
        YesNoDialog->FirstSelected = false;
        h.P.Gamepad.Held = Bit(c.Button);
        h.Press(c.Button);
        if (c.Button != PadLeft) {
            ASSERT_EQ(GameState, StatePlaying);
        } else {
            ASSERT_TRUE(YesNoDialog->FirstSelected);
            GameState = StatePlaying; // as if No were then chosen with the keys
        }
        for (int i = 0; i < 5; ++i) {
            h.Frame();
            EXPECT_EQ(KeyboardState[c.Scan], c.HeldIntoTheGame ? 0x80 : 0) << "frame " << i;
        }
        h.P.Gamepad.Held = 0;
        h.Frame();
        h.P.Gamepad.Held = Bit(c.Button);
        h.Frame();
        EXPECT_EQ(KeyboardState[c.Scan], 0x80) << "let go and held again, it holds";
    }
}

TEST(Pad, ABossKeyOnAKeyThePadSendsStaysOnTheKeyboard)
{
    // The boss key may be any key with a name, also one the pad sends; the
    // pad's press still does what the pad's button does.
    const struct {
        uint16_t BossKey;
        int32_t State;
        TPadButton Button;
        int32_t After;
    } cases[] = {
        {'P', StatePlaying, PadStart, StatePaused},
        {'P', StatePaused, PadStart, StatePlaying},
        {VK_ESCAPE, StatePlaying, PadBack, StateQuitGameConfirm},
        {VK_RETURN, StateMainMenu, PadA, StateHighScores},
        {VK_RETURN, StateMainMenu, PadStart, StateHighScores},
        {VK_ESCAPE, StateMainMenu, PadB, StateExitConfirm},
        {VK_DOWN, StateMainMenu, PadDown, StateMainMenu},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("boss key " + KeyName(c.BossKey) + ", button " + std::to_string(c.Button));
        PadHarness h;
        MainMenuButtons->SetSelected(2);
        GameOptions.BossKey = c.BossKey;
        GameState = c.State;
        h.Press(c.Button);
        EXPECT_EQ(GameState, c.After);
        EXPECT_EQ(h.P.Display.Minimizes, 0);
        if (c.Button == PadDown) {
            EXPECT_EQ(MainMenuButtons->Selected, 3);
        }
        h.Key(c.BossKey);
        EXPECT_EQ(h.P.Display.Minimizes, 1) << "the key itself still hides the game";
    }
}

TEST(Pad, ThePadIsReadOnceAnIdleCallOnTheGameClock)
{
    PadHarness h;
    h.P.Gamepad.Polls.clear();
    h.P.Clock.Now = 5000;
    h.Idle();
    h.Idle();
    h.Frame();
    EXPECT_EQ(h.P.Gamepad.Polls, (std::vector<uint32_t>{5000, 5000, 5016}));
}

// The real pad on SDL's virtual controllers: the whole game with nothing
// else touched. Each step waits, frame by frame, for what it expects.
class VirtualPadGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        Pad = std::make_unique<TSdlGamepad>();
        Platform.Gamepad = Pad.get();
        First = std::make_unique<TVirtualPad>();
        ASSERT_TRUE(First->Plugged()) << SDL_GetError();
    }
    void TearDown() override
    {
        First.reset();
        Second.reset();
        Platform.Gamepad = &H.P.Gamepad;
        Pad.reset();
    }
    void WaitFor(const std::function<bool()>& done, const std::string& step, int frames = 600)
    {
        for (int i = 0; i < frames && !done(); ++i)
            H.Frame();
        ASSERT_TRUE(done()) << "gave up waiting: " << step;
    }
    // A button pressed for a few frames, then let go for a few.
    void Tap(TVirtualPad& v, SDL_GameControllerButton b)
    {
        v.Button(b, true);
        H.Frames(3);
        v.Button(b, false);
        H.Frames(3);
    }

    THarness H;
    std::unique_ptr<TSdlGamepad> Pad;
    std::unique_ptr<TVirtualPad> First, Second;
};

TEST_F(VirtualPadGame, StartedPlayedAndQuitWithThePadAlone)
{
    TVirtualPad& v = *First;
    Tap(v, SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(GameState, StateIntro) << "the intro takes no keys";
    WaitFor([] { return GameState == StateMainMenu; }, "the intro ends by itself");

    // Up to "New game", by the d-pad and by the stick.
    for (int i = 0; i < 6 && MainMenuButtons->Selected != 0; ++i) {
        if (i % 2) {
            Tap(v, SDL_CONTROLLER_BUTTON_DPAD_UP);
        } else {
            v.Stick(0, -30000);
            H.Frames(3);
            v.Stick(0, 0);
            H.Frames(3);
        }
    }
    ASSERT_EQ(MainMenuButtons->Selected, 0) << "the menu cursor reaches New game";
    Tap(v, SDL_CONTROLLER_BUTTON_START);
    ASSERT_EQ(GameState, StatePlaying) << "Start begins a new game";
    ASSERT_NE(CurrentGame, nullptr);
    WaitFor([] { return CurrentGame->Phase == PhasePlay; }, "the first stage starts");

    // Fly with the stick and the d-pad, fire with A and the trigger.
    const int16_t x0 = CurrentGame->Ship->X;
    v.Stick(-25000, 0);
    H.Frames(10);
    EXPECT_EQ(CurrentGame->Ship->X, x0 - 60) << "the stick past its dead zone flies left, a key's 6 pixels a frame";
    v.Stick(-6000, 0);
    H.Frames(10);
    EXPECT_EQ(CurrentGame->Ship->X, x0 - 60) << "inside the dead zone the ship stays";
    v.Stick(0, 0);
    v.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    H.Frames(5);
    v.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_EQ(CurrentGame->Ship->X, x0 - 30);
    auto shots = [] {
        int n = 0;
        for (const auto& s : CurrentGame->Ship->Gun->Shots)
            n += s ? 1 : 0;
        return n;
    };
    v.Button(SDL_CONTROLLER_BUTTON_A, true);
    WaitFor([&] { return shots() > 0; }, "A fires", 60);
    v.Button(SDL_CONTROLLER_BUTTON_A, false);
    WaitFor([&] { return shots() == 0; }, "the shots leave the screen");
    v.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    WaitFor([&] { return shots() > 0; }, "the right trigger fires", 60);
    v.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);

    // Pause and resume.
    Tap(v, SDL_CONTROLLER_BUTTON_START);
    ASSERT_EQ(GameState, StatePaused);
    const int16_t y0 = CurrentGame->Ship->Y;
    v.Stick(0, -30000);
    H.Frames(10);
    EXPECT_EQ(CurrentGame->Ship->Y, y0) << "nothing moves while paused";
    v.Stick(0, 0);
    Tap(v, SDL_CONTROLLER_BUTTON_START);
    ASSERT_EQ(GameState, StatePlaying);

    // A second controller plugged in mid-game flies too; pulled out while
    // held, it lets go.
    Second = std::make_unique<TVirtualPad>();
    ASSERT_TRUE(Second->Plugged());
    Second->Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    H.Frames(5);
    EXPECT_EQ(CurrentGame->Ship->Y, y0 - 30) << "the second controller flies";
    EXPECT_EQ(Pad->Count(), 2u);
    Second->Unplug();
    H.Frame();
    EXPECT_EQ(KeyboardState[DIK_UP], 0) << "a controller pulled out holds nothing";
    const int16_t y1 = CurrentGame->Ship->Y;
    H.Frames(5);
    EXPECT_EQ(CurrentGame->Ship->Y, y1);
    EXPECT_EQ(Pad->Count(), 1u);
    // The first pulled out and plugged in again.
    First.reset();
    H.Frames(2);
    EXPECT_EQ(Pad->Count(), 0u);
    First = std::make_unique<TVirtualPad>();
    ASSERT_TRUE(First->Plugged());
    TVirtualPad& again = *First;
    H.Frame();
    EXPECT_EQ(Pad->Count(), 1u);

    // Back asks; Yes ends the game.
    Tap(again, SDL_CONTROLLER_BUTTON_BACK);
    ASSERT_EQ(GameState, StateQuitGameConfirm) << "Back asks to quit";
    Tap(again, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    ASSERT_TRUE(YesNoDialog->FirstSelected);
    Tap(again, SDL_CONTROLLER_BUTTON_A);
    WaitFor([] { return GameState == StateMainMenu || GameState == StateNameEntry; }, "the game ends");
    if (GameState == StateNameEntry) {
        Tap(again, SDL_CONTROLLER_BUTTON_B);
        ASSERT_EQ(GameState, StateMainMenu);
    }

    // Back asks to leave; Yes leaves.
    Tap(again, SDL_CONTROLLER_BUTTON_BACK);
    ASSERT_EQ(GameState, StateExitConfirm);
    Tap(again, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    Tap(again, SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(H.P.Display.QuitRequested) << "Yes leaves the game";
    EXPECT_TRUE(ExitConfirmed);

    for (uint8_t b : H.P.Keyboard.State)
        ASSERT_EQ(b, 0) << "no key was touched";
}

TEST_F(VirtualPadGame, AHeldDirectionRepeatsInTheMenus)
{
    WaitFor([] { return GameState == StateMainMenu; }, "the intro ends by itself");
    MainMenuButtons->SetSelected(0);
    First->Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    H.Frame();
    EXPECT_EQ(MainMenuButtons->Selected, 1) << "the press";
    H.Frames(24); // 384 ms
    EXPECT_EQ(MainMenuButtons->Selected, 1) << "no repeat before the delay";
    H.Frames(7); // 496 ms: the first repeat at 400, the second at 500 is not yet due
    EXPECT_EQ(MainMenuButtons->Selected, 2);
    H.Frames(6); // 592 ms
    EXPECT_EQ(MainMenuButtons->Selected, 3);
    First->Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    H.Frames(40);
    EXPECT_EQ(MainMenuButtons->Selected, 3);
}

} // namespace
