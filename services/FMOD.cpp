// Music: one module at a time from the "sound" folder, played by the
// platform's module player. A missing or damaged module is silence, never
// an error.
#include "services/FMOD.h"

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

void WatchMusic(const char* restartWith)
{
    if (MusicHandle == 0 || Platform.Music == nullptr) {
        LastMusicOrder = 0;
        return;
    }
    int32_t order = Platform.Music->SongGetOrder(MusicHandle);
    // The module has run through and started over: start the state's own
    // module afresh (the game's music after the menus' and the other way round).
    if (order == 0 && LastMusicOrder != 0) {
        if (restartWith) {
            PlayMusic(restartWith);
            LastMusicOrder = 0;
            return;
        }
    }
    LastMusicOrder = order;
}
