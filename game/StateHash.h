// A fingerprint of a running game: two games that read the same things end
// with the same fingerprint, and almost any difference in what moves, scores
// or waits shows in it. The recorder writes the real game's fingerprint into
// its record; a game played again from the record must end with the same.
#pragma once
#include <cstdint>

class TGame;

uint64_t GameStateHash(const TGame& game);
