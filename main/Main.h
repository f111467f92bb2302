// The main window: its creation and re-creation, the two display modes, the
// input devices, activation and minimising, the close request, the frame loop
// and the key and mouse handlers that drive the menus.
#pragma once
#include <cstdint>
#include <string>

#include "main/Globals.h"
#include "platform/App.h"

class TForm1 : public IAppHandler {
public:
    TForm1();
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Window life (Main.cpp).
    void FormCreate();
    void InitDisplay();
    void InitInput();
    void SetWindowed(bool windowed);
    void FormDestroy();
    bool FormCloseQuery();
    void Close(); // a close request that ends the message loop when granted
    void HandleWindowMove();
    void ApplicationEvents1Activate();
    void ApplicationEvents1Deactivate();
    void ApplicationEvents1Restore();

    // Frame loop and state machine (StateMachine.cpp).
    void ApplicationEvents1Idle(bool& done);
    void RunFrame();
    HRESULT ClearBackBuffer();
    void RecoverSurfaces();
    void ApplyMenuChoice();

    // Input (Input.cpp).
    void FormKeyDown(uint16_t key, bool alt, bool fromPad = false); // the pad has no boss key
    void FormMouseMove(int32_t x, int32_t y);
    void FormMouseDown(int32_t button, int32_t x, int32_t y);

    // Game controllers (Pad.cpp): the pad read once an idle call, its presses
    // sent as key events; its held buttons merged into KeyboardState.
    void PollGamepad();
    void MergePadKeys();
    uint32_t PadHeld = 0;
    uint32_t PadTaken = 0; // buttons a menu took a press from: they hold nothing until let go

    // IAppHandler: the platform's message loop calls these.
    void OnIdle() override;
    void OnKeyDown(uint16_t vk, bool alt) override { FormKeyDown(vk, alt); }
    void OnMouseMove(int32_t x, int32_t y) override { FormMouseMove(x, y); }
    void OnMouseDown(int32_t button, int32_t x, int32_t y) override { FormMouseDown(button, x, y); }
    void OnActivate() override { ApplicationEvents1Activate(); }
    void OnDeactivate() override { ApplicationEvents1Deactivate(); }
    void OnRestore() override { ApplicationEvents1Restore(); }
    bool OnCloseQuery() override { return FormCloseQuery(); }
    void OnMaximize() override;
    void OnWindowMove() override { HandleWindowMove(); }

    TPrimarySurface* PrimarySurface = nullptr;
    uint32_t LastPresentTick = 0;
    TRect PresentSourceRect{0, 0, 800, 600};
    TRect PresentDestRect{0, 0, 800, 600};

    // The answer to the send question: "Please wait..." drawn at once, then
    // the blocking request on Yes.
    void SubmitAnswer(bool yes);

private:
    bool Destroyed = false;
};

// The one main window (set while it exists).
extern TForm1* Form1;

// Window globals.
extern bool FirstCreate;
extern uint16_t DesktopWidth, DesktopHeight;
extern TRect SavedWindowRect;
extern bool SkipNextMinimize;

// The program's life once the platform is open: the main window created,
// the message loop run, the window destroyed. Returns the exit status: 0, or
// 1 after the asset pack could not be read (the message has been shown).
int RunMainWindow();

// Opens an address in the user's web browser.
void OpenWebAddress(const std::string& address);
// The address on the "URL=" line of an Internet-shortcut text, or empty when
// it has none that is a plain web address (http or https, no spaces or
// control characters).
std::string ShortcutAddress(const std::string& text);
// Opens the web address of "play.url" in the working folder, if there is one.
void OpenPlayShortcut();

// The name shown for a key code on the options screen; "Bad" for a key that
// cannot be the boss key.
std::string KeyName(int32_t key);
