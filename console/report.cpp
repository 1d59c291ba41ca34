#include "console/report.h"

#include "console/clock.h"
#include "console/output.h"

uint32_t start_ms;

uint32_t report_elapsed()
{
    // Unsigned 32-bit subtraction: one wrap of the clock between the two
    // readings still gives the right interval.
    const uint32_t elapsed = clock_ms() - start_ms;
    report_time(elapsed);
    return elapsed;
}

void report_time(uint32_t elapsed)
{
    const uint32_t seconds = elapsed / 1000;
    const uint32_t minutes = seconds / 60;
    message("\nTime taken: %ld Minutes, %ld Seconds, %ld Milliseconds\n", printed(minutes),
            printed(seconds % 60), printed(elapsed % 1000));
}
