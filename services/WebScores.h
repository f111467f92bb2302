// Sending a finished game's result to the score server.
#pragma once
#include <cstdint>
#include <string>

extern const char* const Base32Alphabet; // "ABCDEFGHJKLMNPQRSTUVWXY123456789"
extern const char ScoreKeyLetter;        // 'Z'

std::string ScoreServerRoot(); // build setting ZEPHYRION_SCORE_SERVER
// The root in use: the build setting, unless a test points it at its own server.
extern std::string ScoreServerAddress;
std::string WebSiteAddress(); // build setting ZEPHYRION_WEBSITE
std::string VersionRequestAddress();
std::string SubmissionAddress(const std::string& encoded);
std::string WorldTableAddress();

std::string BytesToBits(const std::string& text);
std::string BitsToBase32(const std::string& bits);
// The fifth field of a version response ('|'-separated), empty with fewer than five '|'.
std::string VersionToken(const std::string& response);
// The server says it takes game records: the sixth field is "records".
bool TakesRecords(const std::string& response);
std::string RecordAddress();
// The padded plain payload for a result.
std::string BuildPayload(const std::string& name, int32_t score, const std::string& token,
                         const std::string& country);
// Both requests, and the game's record after them when the server takes
// records and the last record is of this game. False when the server could
// not be reached (the player is asked to try again); true when the result went
// out, whatever the server made of it (the local table is shown next).
bool SendResult(const std::string& name, int32_t score);
