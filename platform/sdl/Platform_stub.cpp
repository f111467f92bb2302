// Stand-ins until the SDL platform lands.
#include "platform/App.h"
#include "platform/Platform.h"

bool DecodeBmp(const uint8_t*, size_t, TImage&) { return false; }
bool OpenPlatform() { return false; }
void ClosePlatform() {}
void RunMessageLoop(IAppHandler&) {}
