// A fingerprint of a running game: two games that read the same things end
// with the same fingerprint, and almost any difference in what moves, scores
// or waits shows in it. The recorder writes the real game's fingerprint into
// its record; a game played again from the record must end with the same.
#pragma once
#include <cstdint>
#include <cstring>

class TGame;

// FNV-1a over the little-endian bytes of each value; the fingerprint below
// and the replay tests' own fingerprints are made with it.
class THasher {
public:
    void Add(int64_t v)
    {
        for (int i = 0; i < 8; ++i) {
            H ^= static_cast<uint8_t>(v >> (8 * i));
            H *= 0x100000001B3ull;
        }
    }
    void AddFloat(double v)
    {
        int64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Add(bits);
    }
    uint64_t H = 0xCBF29CE484222325ull;
};

uint64_t GameStateHash(const TGame& game);
