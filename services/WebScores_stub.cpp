// Stand-in until this unit lands; delete it then.
#include "services/WebScores.h"

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
