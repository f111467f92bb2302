#include "platform/InputState.h"

uint8_t KeyboardState[256];
uint8_t MouseState[20];
int32_t MouseX = 0, MouseY = 0;
int32_t MouseMode = 0;
int32_t FormActive = 0;
