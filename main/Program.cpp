// The program's entry: open the platform, run the main window's message loop,
// shut down, then open "play.url" if it is there.
#include <cstdio>

#include "graphics/AssetPack.h"
#include "main/Main.h"
#include "platform/App.h"
#include "platform/Platform.h"

int main()
{
    if (!OpenPlatform()) {
        std::fprintf(stderr, "Zephyrion: the display cannot be opened.\n");
        return 1;
    }
    Platform.Display->SetTitle("Zephyrion");
    int status = 0;
    {
        TForm1 form;
        try {
            form.FormCreate();
            RunMessageLoop(form);
        } catch (const EAssetPackError& e) {
            // The one fatal path: the pictures cannot be read. The settings
            // file is left as it was.
            Platform.Display->ShowError("Zephyrion", e.what());
            status = 1;
        }
        form.FormDestroy();
    }
    if (status == 0)
        OpenPlayShortcut();
    ClosePlatform();
    return status;
}
