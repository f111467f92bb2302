// Stand-ins until the service units land. Remove each part as its unit arrives.
#include "services/DXSounds.h"
#include "services/FMOD.h"
#include "services/Options.h"
#include "services/WebScores.h"

TOptions GameOptions;
THiScores HiScores[HiScoreCount];
std::string ConfigFileName = "Config.cfg";
void LoadConfig() { ApplyConfig(); }
void ApplyConfig() {}
void SaveConfig() {}
void ResetHiScores() {}
void InsertHiScore() {}
void DrawHiScores(TSurface*) {}

void InitSoundEffects() {}
void CloseSoundEffects() {}
void PlaySoundEffect(int32_t, int32_t, int32_t) {}
void PlayWave(int32_t) {}
void SetSoundOn(bool on) { GameOptions.SoundOn = on; }
int32_t EffectPan(int32_t) { return 0; }
int32_t EffectVolume(int32_t) { return 0; }

uintptr_t MusicHandle = 0;
int32_t LastMusicOrder = 0;
std::string MusicFolder = "sound/";
void PlayMusic(const std::string&) {}
void StopMusic() {}
void WatchMusic() {}

const char* const Base32Alphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
const char ScoreKeyLetter = 'Z';
std::string ScoreServerRoot() { return "http://127.0.0.1:8077"; }
std::string WebSiteAddress() { return ScoreServerRoot() + "/"; }
std::string VersionRequestAddress() { return ScoreServerRoot() + "/cgi/version.pl?version&prg=Zephyrion"; }
std::string SubmissionAddress(const std::string& e) { return ScoreServerRoot() + "/cgi/version.pl?hs&prg=Zephyrion&inf=" + e; }
std::string WorldTableAddress() { return ScoreServerRoot() + "/cgi/version.pl?prg=Zephyrion&show&type=0"; }
std::string BytesToBits(const std::string&) { return {}; }
std::string BitsToBase32(const std::string&) { return {}; }
std::string VersionToken(const std::string&) { return {}; }
std::string BuildPayload(const std::string&, int32_t, const std::string&, const std::string&) { return {}; }
void SendResult(const std::string&) {}
