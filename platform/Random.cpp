#include "platform/Random.h"

#include "platform/Platform.h"

uint32_t RandSeed = 0;

int32_t Random(int32_t n)
{
    RandSeed = RandSeed * 0x08088405u + 1u;
    if (n <= 0)
        return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(RandSeed) * static_cast<uint32_t>(n)) >> 32);
}

void Randomize()
{
    RandSeed = Platform.Clock ? Platform.Clock->GetTickCount() * 2654435761u + 12345u : 0u;
}
