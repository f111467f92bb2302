// The desktop's "open" action: the target reaches the opener as one
// argument, untouched by any shell, and the finished child is reaped.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/sdl/SpawnOpener.h"

namespace {

class SpawnOpenerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = ::testing::TempDir() + "/zephyrion-opener-" + std::to_string(getpid());
        mkdir(Dir.c_str(), 0700);
        Script = Dir + "/fake-xdg-open";
        Log = Dir + "/args";
        std::ofstream out(Script);
        // Writes its argument count and each argument on a line of its own.
        out << "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"" << Log
            << ".tmp\"\nmv \"" << Log << ".tmp\" \"" << Log << "\"\n";
        out.close();
        chmod(Script.c_str(), 0700);
    }
    void TearDown() override
    {
        unlink(Log.c_str());
        unlink(Script.c_str());
        rmdir(Dir.c_str());
    }
    // The script's log once it appears (empty after two seconds).
    std::string WaitForLog()
    {
        for (int i = 0; i < 200; ++i) {
            std::ifstream in(Log);
            if (in) {
                std::stringstream all;
                all << in.rdbuf();
                return all.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }
    static bool Gone(int pid)
    {
        // A zombie keeps its /proc entry until it is reaped.
        for (int i = 0; i < 200; ++i) {
            if (access(("/proc/" + std::to_string(pid)).c_str(), F_OK) != 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    std::string Dir, Script, Log;
};

TEST_F(SpawnOpenerTest, TargetArrivesAsOneUntouchedArgumentAndTheChildIsReaped)
{
    const std::string targets[] = {
        "http://127.0.0.1:8077/",
        "play.url",
        "http://example.com/a b?x=1&y=2#top",
        "$(touch " + Dir + "/pwned); `touch " + Dir + "/pwned2`",
        "a;b|c>d<e",
        "'single' \"double\" \\back",
        "*",
    };
    for (const std::string& target : targets) {
        TSpawnOpener opener(Script);
        opener.Open(target);
        ASSERT_GT(opener.LastChild(), 0) << target;
        EXPECT_EQ(WaitForLog(), "1\n" + target + "\n") << target;
        EXPECT_TRUE(Gone(opener.LastChild())) << "child of " << target << " left as a zombie";
        unlink(Log.c_str());
    }
    EXPECT_NE(access((Dir + "/pwned").c_str(), F_OK), 0);
    EXPECT_NE(access((Dir + "/pwned2").c_str(), F_OK), 0);
}

TEST_F(SpawnOpenerTest, MissingOpenerAndEmptyTargetsAreQuiet)
{
    TSpawnOpener missing(Dir + "/no-such-opener");
    missing.Open("http://127.0.0.1/");
    EXPECT_EQ(missing.LastChild(), 0);
    TSpawnOpener notOnPath("zephyrion-no-such-program-anywhere");
    notOnPath.Open("http://127.0.0.1/");
    EXPECT_EQ(notOnPath.LastChild(), 0);
    TSpawnOpener opener(Script);
    opener.Open("");
    EXPECT_EQ(opener.LastChild(), 0);
    opener.Open(std::string("bad\0target", 10));
    EXPECT_EQ(opener.LastChild(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_NE(access(Log.c_str(), F_OK), 0);
}

} // namespace
