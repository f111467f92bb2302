// Game controllers through SDL's GameController layer, so any controller in
// SDL's mapping database (or in SDL_GAMECONTROLLERCONFIG) is read the same
// way. Controllers plugged in or pulled out while the game runs are picked up
// or dropped at the next poll; every one plugged in counts, and a button held
// on any of them is held.
#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/Platform.h"

// Left-stick travel (of 32767) inside which the stick counts as centred, and
// the smaller travel it must come back inside before it counts as centred
// again, so a stick resting near the edge of the dead zone does not flicker.
constexpr int32_t PadStickDeadZone = 8000;
constexpr int32_t PadStickReleaseZone = 6000;
// A trigger past half of its travel is pulled, as SDL reads one as a button.
constexpr int32_t PadTriggerThreshold = 16384;
// A held direction repeats after this many milliseconds, then at this interval.
constexpr uint32_t PadRepeatDelay = 400;
constexpr uint32_t PadRepeatInterval = 100;

// The directions (PadBit of PadUp, PadDown, PadLeft, PadRight) of a stick at
// (x, y), y growing downwards: none while it stays within the zone; past it
// the eight sectors of 45 degrees each give one direction or a diagonal.
// wasOut: the stick was out of its dead zone at the last reading.
uint32_t StickDirections(int32_t x, int32_t y, bool wasOut);

// Presses of the merged pad: a button that goes down is pressed once; a
// direction held for PadRepeatDelay ms is pressed again every
// PadRepeatInterval ms. A long stall between polls gives one repeat, not a
// burst.
class TPadPresses {
public:
    void Update(uint32_t held, uint32_t now);
    bool Next(TPadButton& button);
    static constexpr size_t MaxWaiting = 32;

private:
    uint32_t Held = 0;
    uint32_t RepeatDue[PadButtonCount] = {};
    std::deque<TPadButton> Waiting;
};

class TSdlGamepad : public IGamepad {
public:
    TSdlGamepad(); // starts SDL's controller system (no controllers: an idle pad)
    ~TSdlGamepad() override;
    TSdlGamepad(const TSdlGamepad&) = delete;
    TSdlGamepad& operator=(const TSdlGamepad&) = delete;

    uint32_t Poll(uint32_t now) override;
    bool NextPress(TPadButton& button) override { return Presses.Next(button); }
    // How many controllers are open now.
    size_t Count() const { return Pads.size(); }

private:
    struct TPad {
        int32_t Id;       // SDL's instance id
        void* Controller; // SDL_GameController
        bool StickOut = false;
    };
    void PickUpAndDrop();
    uint32_t Read(TPad& pad);

    bool Started = false;
    std::vector<TPad> Pads;
    std::vector<int32_t> NotControllers; // joysticks SDL has no mapping for
    TPadPresses Presses;
};
