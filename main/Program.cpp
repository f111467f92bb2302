// The program's entry: open the platform, run the main window, then open
// "play.url" if it is there.
#include <cstdio>

#include "main/Main.h"
#include "platform/App.h"
#include "platform/Platform.h"

int main()
{
    if (!OpenPlatform()) {
        std::fprintf(stderr, "Zephyrion: the display cannot be opened.\n");
        return 1;
    }
    const int status = RunMainWindow();
    if (status == 0)
        OpenPlayShortcut();
    ClosePlatform();
    return status;
}
