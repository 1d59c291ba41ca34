#pragma once
// What the second phase must print, worked out from a sieve, for any limits,
// and a fixture for its tests: shared by the single run's and the rate run's.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bench/plain_search.h"
#include "console/report.h"
#include "engine/primes.h"
#include "engine/search.h"
#include "tests/scripted_console.h"

inline const std::vector<uint32_t>& primes_below_20m()
{
    static const std::vector<uint32_t> primes = sieve_primes_below(20000000);
    return primes;
}

inline std::string report_line(int64_t m, uint32_t prime)
{
    char line[64];
    std::snprintf(line, sizeof line, m < 10 ? "\n %d,000,000th Prime: %u\n" : "\n%d,000,000th Prime: %u\n",
                  static_cast<int>(m), prime);
    return line;
}

// What the second phase must print, worked out from a sieve. The clock stands
// still in these tests, so a finished run reports zero time.
inline std::string expected_output(const SearchLimits& l)
{
    std::string out;
    const auto& primes = primes_below_20m();
    for (size_t i = BASE_PRIME_COUNT; i < primes.size() && primes[i] < l.candidate_limit; ++i) {
        const int64_t count = static_cast<int64_t>(i) + 1;
        if (count % l.checkpoint_interval != 0)
            continue;
        out += ".";
        if (count % l.report_interval != 0)
            continue;
        const int64_t m = count / l.report_interval;
        out += report_line(m, primes[i]);
        if (m == l.final_report)
            return out + "\nTime taken: 0 Minutes, 0 Seconds, 0 Milliseconds\nAny key exits...";
    }
    return out;
}

// Checkpoints a second phase passes before it ends by itself.
inline long checkpoints_of(const SearchLimits& l)
{
    const std::string out = expected_output(l);
    long n = 0;
    for (char c : out.substr(0, out.find("\nTime taken")))
        n += c == '.';
    return n;
}

// The table of base primes, built once for the suite; a clean start, with
// the clock standing at 0, for each test.
class SecondPhaseTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        scripted::reset();
        quit_flag = false;
        build_base_primes(base_primes, BASE_PRIME_COUNT);
    }
    void SetUp() override
    {
        quit_flag = false;
        scripted::set_clock(0);
        start_ms = 0;
    }
};
