#include "console/clock.h"

#include <windows.h>

namespace {

// timeGetTime() moves with the system timer's tick, 15.6 ms by default, and
// only raising the timer rate for the whole run would make it finer; the
// performance counter is precise to well under a microsecond and changes
// nothing. Its frequency is fixed at boot, and reading it cannot fail from
// Windows XP on.
uint64_t counter_frequency()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<uint64_t>(frequency.QuadPart);
}

const uint64_t frequency = counter_frequency();

} // namespace

// Milliseconds since the counter started, kept to 32 bits to wrap as
// timeGetTime()'s do; split so that no product overflows.
uint32_t clock_ms()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
    return static_cast<uint32_t>(ticks / frequency * 1000 + ticks % frequency * 1000 / frequency);
}

void pause_ms(uint32_t ms)
{
    Sleep(ms);
}
