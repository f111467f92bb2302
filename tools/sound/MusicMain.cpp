// zephyrion-music <folder>: composes the two music modules and writes
// "1.xm" (menus) and "2.xm" (play) into the folder.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "Songs.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zephyrion-music <folder>\n");
        return 2;
    }
    try {
        const std::pair<const char*, TXmModule (*)()> songs[] = {{"1.xm", MakeMenuSong}, {"2.xm", MakeGameSong}};
        for (const auto& [name, make] : songs) {
            std::vector<uint8_t> image = WriteXm(make());
            std::string path = std::string(argv[1]) + "/" + name;
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
            if (!out) {
                std::fprintf(stderr, "zephyrion-music: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zephyrion-music: %s\n", e.what());
        return 1;
    }
    return 0;
}
