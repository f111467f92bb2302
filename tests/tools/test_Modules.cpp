// The two music modules written by the build: each loads in libxmp, plays
// at least a minute before it loops, and is neither silent nor clipping.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sdl/XmpPlayer.h"

namespace {

const std::string SoundFolder = std::string(ZEPHYRION_BINARY_DIR) + "/sound/";

std::vector<char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

TEST(Modules, EachModulePlaysAMinuteBeforeItLoopsAndIsHeard)
{
    struct Case {
        const char* File;
        int Channels;
    };
    for (const Case& c : {Case{"1.xm", 10}, Case{"2.xm", 12}}) {
        SCOPED_TRACE(c.File);
        TModuleMeasure m;
        // A low rate keeps the render quick; the module's timing does not depend on it.
        ASSERT_TRUE(MeasureModule(SoundFolder + c.File, 8000, 400, m));
        EXPECT_TRUE(m.Looped) << "the module returns to its restart order";
        EXPECT_GE(m.Seconds, 60.0);
        EXPECT_EQ(m.Channels, c.Channels);
        EXPECT_GE(m.Orders, 8);
        EXPECT_GE(m.Instruments, 7);
        EXPECT_GT(m.Rms, 0.03) << "not silent";
        EXPECT_LT(m.Peak, 0.99) << "not clipping";
    }
}

TEST(Modules, GeneratorsWriteTheSameBytesEveryTime)
{
    // Composed and synthesized from fixed seeds: a second run matches the build's files.
    const std::string tools = std::string(ZEPHYRION_BINARY_DIR) + "/tools/sound/";
    const std::string out = testing::TempDir() + "zephyrion-again";
    ASSERT_EQ(std::system(("mkdir -p " + out + " && " + tools + "zephyrion-music " + out + " && " + tools +
                           "zephyrion-waves " + out + "/Waves.cpp")
                              .c_str()),
              0);
    for (const char* name : {"1.xm", "2.xm"}) {
        std::vector<char> built = ReadFile(SoundFolder + name);
        ASSERT_GT(built.size(), 336u) << name;
        EXPECT_EQ(std::string(built.data(), 17), "Extended Module: ") << name;
        EXPECT_TRUE(built == ReadFile(out + "/" + name)) << name;
    }
    EXPECT_TRUE(ReadFile(tools + "Waves.cpp") == ReadFile(out + "/Waves.cpp"));
    std::system(("rm -rf " + out).c_str());
}

TEST(Modules, DamagedOrMissingModulesDoNotLoad)
{
    std::vector<char> good = ReadFile(SoundFolder + "1.xm");
    ASSERT_FALSE(good.empty());
    const std::string path = testing::TempDir() + "damaged.xm";
    struct Case {
        const char* What;
        std::vector<char> Bytes;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"header only", std::vector<char>(good.begin(), good.begin() + 60)},
        {"not a module", std::vector<char>(4096, 'x')},
    };
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary).write(c.Bytes.data(), static_cast<std::streamsize>(c.Bytes.size()));
        TModuleMeasure m;
        EXPECT_FALSE(MeasureModule(path, 8000, 1, m)) << c.What;
    }
    std::remove(path.c_str());
    TModuleMeasure m;
    EXPECT_FALSE(MeasureModule(SoundFolder + "missing.xm", 8000, 1, m));
}

} // namespace
