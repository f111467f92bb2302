// The platform of programs that run the game world without a display: the
// score server and zephyrion-replay play recorded games with no window, no
// pictures and no message loop. Linked instead of platform/sdl.
#include "platform/App.h"
#include "platform/Platform.h"

bool DecodeBmp(const uint8_t*, size_t, TImage&) { return false; }

bool OpenPlatform() { return false; }

void ClosePlatform() {}

void RunMessageLoop(IAppHandler&) {}
