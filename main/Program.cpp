// The program's entry: open the platform, run the main window, then open
// "play.url" if it is there.
#include <cstdio>

#include "main/Main.h"
#include "platform/App.h"
#include "platform/Platform.h"
#include "record/Recorder.h"

int main()
{
    if (!OpenPlatform()) {
        std::fprintf(stderr, "Zephyrion: the display cannot be opened.\n");
        return 1;
    }
    // Every game is written down as it is played (see record/).
    record::GameRecorder.Install(Platform);
    const int status = RunMainWindow();
    record::GameRecorder.Uninstall();
    if (status == 0)
        OpenPlayShortcut();
    ClosePlatform();
    return status;
}
