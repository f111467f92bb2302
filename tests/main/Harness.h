// A headless main window for tests: the whole shell over the fake platform,
// with a small asset pack in the real format (every picture one plain colour,
// so a test can tell from a pixel which picture is drawn there), its own
// settings file and music folder, a clock the test moves, and helpers that
// send keys and mouse events, run frames and read what was drawn.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "fakes/Fakes.h"
#include "main/Main.h"

// The colour of every pixel of pack entry n in the harness's pack
// (game sheets 0..59, menu sheets 60..101).
uint32_t PackColor(int entry);
inline uint32_t MenuSheetColor(int sheet) { return PackColor(60 + sheet); }
inline uint32_t GameSheetColor(int sheet) { return PackColor(sheet); }

// The path of the harness's pack, written once per test program.
const std::string& HarnessPackPath();

struct THarnessOptions {
    bool Windowed = true;    // the display mode the first run starts in
    bool Create = true;      // run the window's creation at once
};

class THarness {
public:
    explicit THarness(THarnessOptions options = {});
    ~THarness();
    THarness(const THarness&) = delete;
    THarness& operator=(const THarness&) = delete;

    // One idle call without moving the clock (throttled unless time passed).
    void Idle() { Form->OnIdle(); }
    // Moves the clock 16 ms on and runs one idle call: one drawn frame.
    void Frame();
    void Frames(int n);
    void Key(uint16_t vk, bool alt = false) { Form->OnKeyDown(vk, alt); }
    void MoveMouse(int32_t x, int32_t y) { Form->OnMouseMove(x, y); }
    // A click where the mouse is now, and a move there followed by a click.
    void ClickHere() { Form->OnMouseDown(1, MouseX, MouseY); }
    void ClickAt(int32_t x, int32_t y);
    // Ends the intro with a click and draws the main menu once.
    void SkipIntro();

    // Pixels of the back buffer and of the last presented frame.
    uint32_t Pixel(int32_t x, int32_t y) const;
    uint32_t Shown(int32_t x, int32_t y) const;
    // How often the menu click effect has been played so far.
    int ClickSounds() const;
    // Texts drawn since the last call (the fake text renderer's record).
    std::vector<std::string> TakeTexts();

    const std::string& Folder() const { return Dir; }

    FakePlatform P;
    std::unique_ptr<TForm1> Form;

private:
    std::string Dir;
};
