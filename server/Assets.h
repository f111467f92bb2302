// Files the pages use, built into the program: the game's title art and its
// Play face (so the server needs nothing beside itself).
#pragma once
#include <cstddef>

namespace scores {

struct TAsset {
    const unsigned char* Data;
    size_t Size;
};
TAsset TitleArtPng();
TAsset PlayFont();
int TitleArtWidth();
int TitleArtHeight();

} // namespace scores
