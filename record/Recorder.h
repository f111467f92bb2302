// Writes down a running game as it is played: the shell tells the recorder
// where a game and each of its frames begin and end, and two thin wrappers
// around the platform's clock and mouse report every read the game world
// makes inside a frame. The last finished game's record stays in memory (for
// the score server) and in a file next to "Config.cfg".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "record/GameRecord.h"

namespace record {

class TRecorder {
public:
    TRecorder();
    ~TRecorder();
    TRecorder(const TRecorder&) = delete;
    TRecorder& operator=(const TRecorder&) = delete;

    // Puts the wrappers in front of the platform's clock and mouse (once the
    // platform is open); Uninstall gives the originals back.
    void Install(TPlatform& platform);
    void Uninstall();

    // A new game: the record starts empty, frame 0 is its creation.
    void StartGame();
    // Around the game's creation and around every UpdateAndDraw: the
    // keyboard state and the generator's seed the frame starts with, the
    // game's phase (ignored for the creation), then the seed and phase it
    // ends with.
    void BeginFrame(const uint8_t* keyboard, uint32_t seed, uint8_t phase);
    void EndFrame(uint32_t seed, uint8_t phase);
    // What the player did between frames (kept in the record, no effect on
    // the game played again).
    void Note(TNote note);
    // The game is over: its record is finished with the end the game saw and
    // kept as LastRecord(). False (and no record) when the game was longer
    // than a record may be.
    bool FinishGame(const TGameEnd& end);
    // A game left without an end (a new game, the program closing).
    void Abandon() { Recording = Inside = Open = false; }

    // A game was started and has not been finished or abandoned.
    bool GameOpen() const { return Open; }
    // Frames are still being written down (false once a game outgrew the limits).
    bool IsRecording() const { return Recording; }
    bool InFrame() const { return Inside; }
    uint32_t Frame() const { return FrameNo; }
    const std::vector<uint8_t>& LastRecord() const { return Last; }
    void ClearLastRecord() { Last.clear(); }

    // Called by the wrappers with what a read returned.
    void OnClockRead(uint32_t value);
    void OnMouseRead(const uint8_t* data, uint32_t size);

private:
    class TClockTap;
    class TMouseTap;

    void Add(const TEvent& e);

    TClockTap* ClockTap = nullptr;
    TMouseTap* MouseTap = nullptr;
    TPlatform* Installed = nullptr;

    TRecordWriter Writer;
    bool Recording = false;
    bool Open = false;
    bool Inside = false;
    uint32_t FrameNo = 0;
    TClockExpectation ClockSeen;
    uint32_t MouseReads = 0;
    TMouseBytes MouseNow{};
    uint8_t Keys[256] = {};
    uint32_t Seed = 0;
    uint8_t Phase = 0;
    std::vector<uint8_t> Last;
};

// The recorder of the program.
extern TRecorder GameRecorder;

// The file the last game's record is kept in, next to "Config.cfg".
extern std::string RecordFileName; // "LastGame.rec"
// Writes a record through a temporary file renamed over the old one; false
// when it could not be written (the old file is kept).
bool SaveRecordFile(const std::string& path, const std::vector<uint8_t>& bytes);
// Reads a record file of at most MaxRecordBytes; false when there is none or
// it is larger.
bool LoadRecordFile(const std::string& path, std::vector<uint8_t>& bytes);

} // namespace record
