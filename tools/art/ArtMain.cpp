// Writes the asset pack: 102 length-prefixed 24-bit BMP images.
//   zephyrion-art <pack path>
#include <cstdio>
#include <vector>

#include "Art.h"
#include "platform/Files.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <pack path>\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> pack;
    for (int entry = 0; entry < 102; ++entry) {
        const TPicture p = entry < 60 ? DrawGameEntry(entry) : DrawMenuEntry(entry);
        if (p.Width <= 0 || p.Height <= 0) {
            std::fprintf(stderr, "entry %d has no picture\n", entry);
            return 1;
        }
        const std::vector<uint8_t> bmp = EncodeBmp24(p);
        const uint32_t n = uint32_t(bmp.size());
        for (int i = 0; i < 4; ++i)
            pack.push_back((n >> (8 * i)) & 0xFF);
        pack.insert(pack.end(), bmp.begin(), bmp.end());
    }
    if (!Files().WriteAtomically(argv[1], pack)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
