#include <cstdint>

#include <gtest/gtest.h>

#include "console/report.h"
#include "tests/scripted_console.h"

namespace {

TEST(ReportElapsed, PrintsMinutesSecondsAndMillisecondsAcrossTheClockWrap)
{
    const struct {
        uint32_t start;
        uint32_t elapsed;
        const char* text;
    } cases[] = {
        {1000, 61005, "\nTime taken: 1 Minutes, 1 Seconds, 5 Milliseconds\n"},
        {1000, 59999, "\nTime taken: 0 Minutes, 59 Seconds, 999 Milliseconds\n"},
        {0, 0, "\nTime taken: 0 Minutes, 0 Seconds, 0 Milliseconds\n"},
        // minutes are never folded into hours
        {5, 75 * 60000 + 1, "\nTime taken: 75 Minutes, 0 Seconds, 1 Milliseconds\n"},
        // the clock wraps between the two readings
        {0xFFFFF000u, 61005, "\nTime taken: 1 Minutes, 1 Seconds, 5 Milliseconds\n"},
        {0xFFFFFFFFu, 1, "\nTime taken: 0 Minutes, 0 Seconds, 1 Milliseconds\n"},
    };
    for (const auto& c : cases) {
        scripted::reset();
        start_ms = c.start;
        scripted::set_clock(c.start + c.elapsed);
        report_elapsed();
        EXPECT_EQ(scripted::output(), c.text) << c.start << " + " << c.elapsed;
    }
}

} // namespace
