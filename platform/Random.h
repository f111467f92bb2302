// The one global pseudo-random generator: a 32-bit linear congruential
// generator whose draws are uniform integers 0..n-1.
#pragma once
#include <cstdint>

extern uint32_t RandSeed;

// Uniform integer in 0..n-1 (0 when n <= 0).
int32_t Random(int32_t n);
// Seeds the generator from the clock, as every window creation does.
void Randomize();
