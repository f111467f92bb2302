// Music: one module at a time from the "sound" folder, played by the
// platform's module player. A missing or damaged module is silence, never
// an error.
#include "services/FMOD.h"

#include "main/Globals.h"
#include "platform/Platform.h"

uintptr_t MusicHandle = 0;
int32_t LastMusicOrder = 0;
std::string MusicFolder = "sound/";

void PlayMusic(const std::string& name)
{
    IModulePlayer* player = Platform.Music;
    if (player == nullptr)
        return;
    // Only one module exists at a time: the old one goes before the new loads.
    if (MusicHandle != 0)
        player->SongFree(MusicHandle);
    MusicHandle = player->SongLoadFromFile((MusicFolder + name).c_str());
    if (MusicHandle != 0)
        player->SongPlay(MusicHandle);
}

void StopMusic()
{
    if (MusicHandle != 0 && Platform.Music != nullptr)
        Platform.Music->SongFree(MusicHandle);
    MusicHandle = 0;
}

namespace {

// The module that belongs to a state: the menus' "1.xm", the game's "2.xm";
// the dialogs over a game keep whatever plays.
const char* StateModule(int32_t state)
{
    switch (state) {
    case StateIntro:
    case StateMainMenu:
    case StateOptions:
    case StateHighScores:
    case StateHelpOverview:
    case 6:
    case StateExitConfirm:
    case StateClearScoresConfirm:
    case 9:
    case 10:
        return "1.xm";
    case StatePlaying:
    case 11:
        return "2.xm";
    default:
        return nullptr;
    }
}

} // namespace

void WatchMusic()
{
    if (MusicHandle == 0 || Platform.Music == nullptr) {
        LastMusicOrder = 0;
        return;
    }
    int32_t order = Platform.Music->SongGetOrder(MusicHandle);
    // The module has run through and started over: start the state's own
    // module afresh (the game's music after the menus' and the other way round).
    if (order == 0 && LastMusicOrder != 0) {
        if (const char* name = StateModule(GameState)) {
            PlayMusic(name);
            LastMusicOrder = 0;
            return;
        }
    }
    LastMusicOrder = order;
}
