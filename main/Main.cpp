// The life of the main window: creation and re-creation of the display,
// the input devices, activation, minimising and restoring, the close request
// and the shutdown.
#include "main/Main.h"

#include <cctype>
#include <fstream>

#include "game/Game.h"
#include "main/GameRecording.h"
#include "graphics/AssetPack.h"
#include "services/DXSounds.h"
#include "services/FMOD.h"
#include "services/Options.h"
#include "platform/Platform.h"
#include "platform/Random.h"

TForm1* Form1 = nullptr;
bool FirstCreate = true;
uint16_t DesktopWidth = 0, DesktopHeight = 0;
TRect SavedWindowRect;
bool SkipNextMinimize = false;

TForm1::TForm1()
{
    Form1 = this;
    // The sound device opens with the window, before its creation runs (the
    // menu widgets play their selection sound as they are made).
    InitSoundEffects();
}

TForm1::~TForm1()
{
    FormDestroy();
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::FormCreate()
{
    Randomize();
    if (FirstCreate) {
        FirstCreate = false;
        int32_t w = 0, h = 0;
        Platform.Display->GetDesktopSize(w, h);
        DesktopWidth = static_cast<uint16_t>(w);
        DesktopHeight = static_cast<uint16_t>(h);
        // The settings, then the display for the loaded mode (this comes
        // back here on the re-creation path), then the options that need it.
        LoadConfig();
        FormCreate();
        ApplyConfig();
        InitInput();
        if (GameOptions.MusicOn)
            PlayMusic("1.xm");
        else
            StopMusic();
        return;
    }
    // Re-creation: a new display for the mode in the options, the pictures
    // loaded afresh. Widgets, the game and the state live on.
    FormActive = 0;
    InitDisplay();
    LoadAssetPack(DDraw);
    FormActive = -1;
}

namespace {

void CarryPicture(TSurface* from, TSurface* to)
{
    if (from && to && from->IsLost() == DD_OK)
        to->BltFast(0, 0, from, nullptr, DDBLTFAST_NOCOLORKEY | DDBLTFAST_WAIT);
}

} // namespace

void TForm1::InitDisplay()
{
    if (!DDraw)
        DDraw = new TDirectDraw;
    // Full screen keeps the desktop's own mode and scales the frame to fit it
    // with black bars; window mode gives the fixed 800 x 600 client area.
    Platform.Display->SetMode(GameOptions.Windowed);

    TSurface* primary = PrimarySurface;
    DDraw->Release(primary);
    PrimarySurface = DDraw->CreatePrimarySurface(
        [](const TSurface& frame, const TRect& src) { Platform.Display->Present(frame, src); });
    // The new frame surfaces start with the pictures of the old ones: the
    // frozen frame behind the pause and the dialogs, and the last drawn
    // frame a restore pauses on, survive any number of switches.
    TSurface* oldBack = BackBuffer;
    TSurface* oldSnapshot = SnapshotSurface;
    BackBuffer = DDraw->CreateSurface(800, 600);
    SnapshotSurface = DDraw->CreateSurface(800, 600);
    CarryPicture(oldBack, BackBuffer);
    CarryPicture(oldSnapshot, SnapshotSurface);
    DDraw->Release(oldBack);
    DDraw->Release(oldSnapshot);
    HandleWindowMove();
}

void TForm1::InitInput()
{
    Platform.Keyboard->Acquire();
    Platform.Mouse->Acquire();
}

void TForm1::HandleWindowMove()
{
    PresentSourceRect = Rect(0, 0, 800, 600);
    if (GameOptions.Windowed) {
        int32_t left = 0, top = 0;
        Platform.Display->GetWindowPos(left, top);
        PresentDestRect = Bounds(left, top, 800, 600);
    } else {
        PresentDestRect = PresentSourceRect;
    }
}

void TForm1::SetWindowed(bool windowed)
{
    GameOptions.Windowed = windowed;
    NoteForRecord(record::TNote::DisplaySwitch);
    FormCreate();
}

void TForm1::OnMaximize()
{
    // Maximising the window or double-clicking its caption goes full screen,
    // the same switch as Alt+Enter; already full screen, there is nothing to do.
    if (GameOptions.Windowed)
        SetWindowed(false);
}

void TForm1::ApplicationEvents1Activate()
{
    FormActive = -1;
    MouseMode = -1;
    Platform.Keyboard->Acquire();
    if (GameOptions.MusicOn)
        PlayMusic(GameState == StatePlaying || GameState == StatePaused ? "2.xm" : "1.xm");
    else
        StopMusic();
}

void TForm1::ApplicationEvents1Deactivate()
{
    NoteForRecord(record::TNote::Minimize);
    StopMusic();
    FormActive = 0;
    MouseMode = 0;
    Platform.Keyboard->Unacquire();
    if (GameOptions.Windowed) {
        int32_t left = 0, top = 0;
        Platform.Display->GetWindowPos(left, top);
        SavedWindowRect = Bounds(left, top, 800, 600);
        // No stray deactivation follows a mode switch on this platform, so
        // nothing here arms SkipNextMinimize: leaving full screen always
        // minimises.
    } else if (SkipNextMinimize) {
        SkipNextMinimize = false;
    } else {
        Platform.Display->Minimize();
    }
}

void TForm1::ApplicationEvents1Restore()
{
    NoteForRecord(record::TNote::Restore);
    FormActive = 0;
    if (GameOptions.Windowed) {
        Platform.Display->MoveWindow(SavedWindowRect.Left, SavedWindowRect.Top);
        HandleWindowMove();
    } else {
        FormCreate();
        Platform.Display->Show();
    }
    FormActive = -1;
    // A game interrupted by minimising comes back paused.
    if (GameState == StatePlaying) {
        RunFrame();
        TakeSnapshot();
        StripeSnapshot();
        GameState = StatePaused;
    }
}

bool TForm1::FormCloseQuery()
{
    switch (GameState) {
    case StateIntro:
    case StatePlaying:
    case StatePaused:
    case StateNameEntry:
    case StateSubmitConfirm:
        return false;
    default:
        GameState = StateExitConfirm;
        return ExitConfirmed;
    }
}

void TForm1::Close()
{
    if (FormCloseQuery())
        Platform.Display->RequestQuit();
}

void TForm1::FormDestroy()
{
    if (Destroyed)
        return;
    Destroyed = true;
    if (DDraw) {
        ReleaseAssets();
        delete CurrentGame;
        CurrentGame = nullptr;
        DDraw->Release(BackBuffer);
        DDraw->Release(SnapshotSurface);
        TSurface* primary = PrimarySurface;
        DDraw->Release(primary);
        PrimarySurface = nullptr;
        delete DDraw;
        DDraw = nullptr;
    }
    if (Platform.Mouse)
        Platform.Mouse->Unacquire();
    if (Platform.Keyboard)
        Platform.Keyboard->Unacquire();
    CloseSoundEffects();
}

int RunMainWindow()
{
    Platform.Display->SetTitle("Zephyrion");
    int status = 0;
    TForm1 form;
    try {
        form.FormCreate();
        RunMessageLoop(form);
    } catch (const EAssetPackError& e) {
        // The one fatal path: the pictures cannot be read. The settings file
        // is left as it was.
        Platform.Display->ShowError("Zephyrion", e.what());
        status = 1;
    }
    form.FormDestroy();
    return status;
}

void OpenWebAddress(const std::string& address)
{
    Platform.Opener->Open(address);
}

std::string ShortcutAddress(const std::string& text)
{
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos)
            continue;
        line.erase(0, first);
        if (line.size() < 4)
            continue;
        std::string key = line.substr(0, 4);
        for (char& c : key)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (key != "URL=")
            continue;
        std::string address = line.substr(4);
        std::string lower;
        for (char c : address)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        size_t scheme = 0;
        if (lower.rfind("http://", 0) == 0)
            scheme = 7;
        else if (lower.rfind("https://", 0) == 0)
            scheme = 8;
        bool clean = true;
        for (char c : address)
            if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
                clean = false;
        // Only a plain web address goes to the browser: a shortcut that names
        // a program, a local file or anything odd is left alone.
        return scheme > 0 && address.size() > scheme && clean ? address : std::string();
    }
    return {};
}

void OpenPlayShortcut()
{
    std::ifstream file("play.url", std::ios::binary);
    if (!file)
        return;
    std::string text;
    char buffer[4096];
    while (text.size() < 65536 && file.read(buffer, sizeof buffer).gcount() > 0)
        text.append(buffer, static_cast<size_t>(file.gcount()));
    const std::string address = ShortcutAddress(text);
    if (!address.empty())
        Platform.Opener->Open(address);
}
