// Sound effects on the platform mixer. A missing or failed sound device
// leaves every entry without buffers: every play is then silently nothing.
#include "services/DXSounds.h"

#include <cstdint>

#include "graphics/DXCtrl.h"
#include "platform/Platform.h"
#include "services/Options.h"
#include "services/Wave.h"

TDXWaveList DXWaveList1;

namespace {

bool ValidId(int32_t id) { return id >= 0 && id < EffectCount; }

// Far-off positions give values the mixer refuses; they must not wrap round.
int32_t Saturate(int64_t v)
{
    return static_cast<int32_t>(v < INT32_MIN   ? INT32_MIN
                                : v > INT32_MAX ? INT32_MAX
                                                : v);
}

IEffectMixer* OpenMixer()
{
    IEffectMixer* mixer = Platform.Mixer;
    return mixer != nullptr && mixer->IsOpen() ? mixer : nullptr;
}

} // namespace

void TWaveCollectionItem::Play()
{
    IEffectMixer* mixer = OpenMixer();
    if (mixer == nullptr || MainBuffer < 0)
        return;
    int chosen = -1;
    int playing = 0;
    for (int copy : Copies) {
        if (!mixer->IsPlaying(copy)) {
            chosen = copy;
            break;
        }
        ++playing;
    }
    if (chosen < 0) {
        if (MaxPlayingCount > 0 && playing >= MaxPlayingCount)
            return;
        chosen = mixer->DuplicateBuffer(MainBuffer);
        if (chosen < 0)
            return; // the mixer is out of room: this play is lost, the game goes on
        Copies.push_back(chosen);
    }
    // A pan or volume the mixer refuses leaves the copy at its previous setting.
    mixer->Stop(chosen);
    mixer->SetCurrentPosition(chosen, 0);
    mixer->SetFrequency(chosen, Frequency);
    mixer->SetPan(chosen, Pan);
    mixer->SetVolume(chosen, Volume);
    mixer->Play(chosen);
}

void InitSoundEffects()
{
    // The widgets' click is one of the effects.
    WidgetClicks.AtMouse = [](int32_t x, int32_t y) { PlaySoundEffect(x, y, MenuClick); };
    WidgetClicks.Plain = [] { PlayWave(MenuClick); };
    for (int id = 0; id < EffectCount; ++id) {
        TWaveCollectionItem& item = DXWaveList1.Items[id];
        item = TWaveCollectionItem{};
        item.Name = WaveImages[id].Name;
    }
    IEffectMixer* mixer = OpenMixer();
    if (mixer == nullptr)
        return;
    for (int id = 0; id < EffectCount; ++id)
        DXWaveList1.Items[id].MainBuffer = mixer->CreateBuffer(WaveImages[id].Data, WaveImages[id].Size);
}

void CloseSoundEffects()
{
    for (TWaveCollectionItem& item : DXWaveList1.Items) {
        if (IEffectMixer* mixer = OpenMixer()) {
            for (int copy : item.Copies)
                mixer->Stop(copy);
        }
        item.MainBuffer = -1;
        item.Copies.clear();
    }
}

void PlaySoundEffect(int32_t x, int32_t y, int32_t id)
{
    if (!GameOptions.SoundOn || !ValidId(id))
        return;
    TWaveCollectionItem& item = DXWaveList1.Items[id];
    // Left of the centre pans left, 10 hundredths of a decibel per pixel;
    // the lower on the screen, the louder.
    item.Pan = Saturate((static_cast<int64_t>(x) - 400) * 10);
    item.Volume = Saturate(static_cast<int64_t>(y) - 800);
    item.Play();
}

void PlayWave(int32_t id)
{
    if (ValidId(id))
        DXWaveList1.Items[id].Play();
}

void SetSoundOn(bool on)
{
    GameOptions.SoundOn = on;
    // The direct plays do not look at the switch: the volume silences them.
    for (TWaveCollectionItem& item : DXWaveList1.Items)
        item.Volume = on ? 0 : -10000;
}

int32_t EffectPan(int32_t id) { return ValidId(id) ? DXWaveList1.Items[id].Pan : 0; }
int32_t EffectVolume(int32_t id) { return ValidId(id) ? DXWaveList1.Items[id].Volume : 0; }
