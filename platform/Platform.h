// The services the game takes from the operating system, each behind a small
// interface. The real ones live in platform/sdl (SDL2, SDL2_mixer, SDL2_ttf,
// libxmp, libcurl, xdg-open); tests install fakes. Nothing outside platform/
// includes a system library header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DDraw.h"

// Millisecond tick count in steps of 1000/64 ms, as the old platform's was:
// floor(n * 1000 / 64) for the n-th tick since start.
struct IClock {
    virtual ~IClock() = default;
    virtual uint32_t GetTickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// Keyboard device: a 256-byte state indexed by PC set-1 scan codes (extended
// keys + 0x80), 0x80 for a key that is down.
struct IKeyboardDevice {
    virtual ~IKeyboardDevice() = default;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT GetDeviceState(uint32_t size, void* data) = 0;
};

// Mouse device: 20-byte state, x, y and wheel motion since the last read as
// signed 32-bit values at offsets 0, 4, 8, four button bytes at 12..15.
struct IMouseDevice {
    virtual ~IMouseDevice() = default;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT GetDeviceState(uint32_t size, void* data) = 0;
};

// The main window and the screen.
struct IDisplay {
    virtual ~IDisplay() = default;
    // Window mode: an 800 x 600 client area, centred, not resizable.
    // Full screen: the desktop's own mode, the frame scaled to fit with black bars.
    virtual void SetMode(bool windowed) = 0;
    // Shows srcRect of the frame (one upload per present).
    virtual void Present(const TSurface& frame, const TRect& srcRect) = 0;
    virtual void GetDesktopSize(int32_t& width, int32_t& height) = 0;
    virtual void GetWindowPos(int32_t& left, int32_t& top) = 0; // client area, screen coordinates
    virtual void MoveWindow(int32_t left, int32_t top) = 0;
    virtual void ShowCursor(bool show) = 0;
    virtual void SetCursorPos(int32_t x, int32_t y) = 0; // screen coordinates
    virtual void Minimize() = 0;
    virtual void Show() = 0; // restore and raise
    virtual void SetTitle(const std::string& title) = 0;
    virtual void RequestQuit() = 0; // end the message loop
    virtual void ShowError(const std::string& title, const std::string& message) = 0;
};

// Sound-effect mixer in the old platform's units: pan and volume in
// hundredths of a decibel. Buffers are numbered from 0; -1 is no buffer.
struct IEffectMixer {
    virtual ~IEffectMixer() = default;
    virtual bool IsOpen() = 0;
    // A main buffer from a RIFF WAVE image; copies share its samples.
    virtual int CreateBuffer(const uint8_t* wave, size_t size) = 0;
    virtual int DuplicateBuffer(int buffer) = 0;
    virtual bool IsPlaying(int buffer) = 0;
    virtual HRESULT Stop(int buffer) = 0;
    virtual HRESULT SetCurrentPosition(int buffer, uint32_t position) = 0;
    virtual HRESULT SetFrequency(int buffer, uint32_t hz) = 0; // 0: the wave's own rate
    virtual HRESULT SetPan(int buffer, int32_t pan) = 0;       // -10000..10000
    virtual HRESULT SetVolume(int buffer, int32_t volume) = 0; // -10000..0
    virtual HRESULT Play(int buffer) = 0;                      // once, not looped
};

// The XM module player. Handles are non-zero; 0 means failure.
struct IModulePlayer {
    virtual ~IModulePlayer() = default;
    virtual uintptr_t SongLoadFromFile(const char* path) = 0;
    virtual void SongPlay(uintptr_t song) = 0;
    virtual void SongFree(uintptr_t song) = 0;
    virtual int32_t SongGetOrder(uintptr_t song) = 0;
};

// Blocking HTTP GET through one client that keeps its cookies between requests.
struct IHttpClient {
    virtual ~IHttpClient() = default;
    // True with the body on a 2xx answer; false on any failure (no connection,
    // time-out, error status, broken or oversized transfer).
    virtual bool Get(const std::string& url, std::string& body) = 0;
    // The same for a POST of `data` (a client that cannot post fails).
    virtual bool Post(const std::string& /*url*/, const std::string& /*data*/, std::string& /*body*/) { return false; }
};

// The desktop's "open" action for web addresses and files.
struct IOpener {
    virtual ~IOpener() = default;
    virtual void Open(const std::string& target) = 0;
};

// Game controllers: every one plugged in is read, all together as one pad.
// clang-format off
enum TPadButton : uint8_t {
    PadUp, PadDown, PadLeft, PadRight,   // the d-pad, or the left stick past its dead zone
    PadA, PadB, PadX, PadY, PadBack, PadStart,
    PadRightTrigger,                     // pulled past half of its travel
    PadButtonCount
};
// clang-format on
constexpr uint32_t PadBit(TPadButton button) { return 1u << button; }

struct IGamepad {
    virtual ~IGamepad() = default;
    // Reads the controllers at tick count now, picking up those plugged in and
    // dropping those pulled out since the last call. Returns the buttons held
    // on any of them (a PadBit each) and queues their presses.
    virtual uint32_t Poll(uint32_t now) = 0;
    // Takes the oldest press waiting: a button that went down, or a direction
    // held long enough to repeat, as a held key repeats. False when none waits.
    virtual bool NextPress(TPadButton& button) = 0;
};

// A font as the game asks for it.
struct TFontSpec {
    std::string Face;     // "Crystal", "Cranberry Cyr"
    int32_t Height = 0;   // character height in pixels
    int32_t Width = 0;    // average character width in pixels
    int32_t Weight = 400; // 700 bold, 800 extra bold
    bool operator==(const TFontSpec&) const = default;
};

// Text alignment flags of the old platform.
constexpr uint32_t TA_LEFT = 0;
constexpr uint32_t TA_RIGHT = 2;
constexpr uint32_t TA_TOP = 0;

// Text rasteriser: 8-bit Windows-1252 text, anti-aliased, transparent background.
struct ITextRenderer {
    virtual ~ITextRenderer() = default;
    // Draws text with its reference point at (x, y): the top-left corner, or
    // the top-right corner with TA_RIGHT. rgb is 0x00RRGGBB.
    virtual void DrawText(TSurface& target, int32_t x, int32_t y, const std::string& text,
                          const TFontSpec& font, uint32_t rgb, uint32_t align) = 0;
    virtual int32_t MeasureText(const std::string& text, const TFontSpec& font) = 0;
    // Makes the font ready (opened, the characters of chars drawn once) so
    // that its first use in a frame costs no more than any later one.
    virtual void Prepare(const TFontSpec& /*font*/, const std::string& /*chars*/) {}
};

struct TPlatform {
    IClock* Clock = nullptr;
    IKeyboardDevice* Keyboard = nullptr;
    IMouseDevice* Mouse = nullptr;
    IDisplay* Display = nullptr;
    IEffectMixer* Mixer = nullptr;
    IModulePlayer* Music = nullptr;
    IHttpClient* Http = nullptr;
    IOpener* Opener = nullptr;
    ITextRenderer* Text = nullptr;
    IGamepad* Gamepad = nullptr; // none: no controllers
};

// The services in use; set once at start-up (or by a test fixture).
extern TPlatform Platform;

// Shorthands the game uses everywhere.
inline uint32_t GetTickCount() { return Platform.Clock->GetTickCount(); }
inline void Sleep(uint32_t ms) { Platform.Clock->Sleep(ms); }
inline void ShowCursor(bool show) { Platform.Display->ShowCursor(show); }

// Decoded picture: 0x00RRGGBB pixels, rows top to bottom.
struct TImage {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
};

// Decodes a Windows BMP file image (SDL2's reader). False when it is not a
// valid BMP.
bool DecodeBmp(const uint8_t* data, size_t size, TImage& out);
