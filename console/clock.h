#pragma once
// The millisecond clock and the pause, per platform.

#include <cstdint>

// Milliseconds on a monotonic clock, as 32 bits that wrap: only differences
// of two readings mean anything.
uint32_t clock_ms();

void pause_ms(uint32_t ms);
