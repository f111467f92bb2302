// zephyrion-module-stats <module>...: renders each module through libxmp
// until it loops and prints its length and its peak and mean levels.
#include <cmath>
#include <cstdio>

#include "platform/sdl/XmpPlayer.h"

namespace {
double Db(double level) { return level > 0 ? 20 * std::log10(level) : -INFINITY; }
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: zephyrion-module-stats <module>...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        TModuleMeasure m;
        if (!MeasureModule(argv[i], 44100, 900, m)) {
            std::printf("%s: libxmp cannot load it\n", argv[i]);
            status = 1;
            continue;
        }
        std::printf("%s: \"%s\", %d orders, %d patterns, %d channels, %d instruments\n", argv[i], m.Name.c_str(),
                    m.Orders, m.Patterns, m.Channels, m.Instruments);
        std::printf("  %.1f s before it %s; peak %.3f (%.1f dBFS), mean %.3f, RMS %.3f (%.1f dBFS)\n", m.Seconds,
                    m.Looped ? "loops" : "was stopped", m.Peak, Db(m.Peak), m.Mean, m.Rms, Db(m.Rms));
    }
    return status;
}
