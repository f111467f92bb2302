#include "graphics/Frame.h"

TDirectDraw* DDraw = nullptr;
TSurface* BackBuffer = nullptr;
TSurface* SnapshotSurface = nullptr;
