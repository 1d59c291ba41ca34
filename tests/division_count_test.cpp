// The engine does exactly the benchmark's work: as many trial divisions as a
// plain, independent restatement of the loop, over the same candidates.

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "bench/plain_search.h"
#include "engine/primes.h"
#include "engine/search.h"
#include "tests/scripted_console.h"

namespace {

struct CountingTally {
    uint64_t* divisions;
    void operator()() const { ++*divisions; }
};

constexpr SearchLimits FIRST_FIVE_MILLION{100000, 1000000, 15, 5000001};

TEST(DivisionCount, EngineDividesExactlyAsOftenAsThePlainLoop)
{
    scripted::reset();
    quit_flag = false;
    build_base_primes(base_primes, BASE_PRIME_COUNT);
    uint64_t divisions = 0;
    search_primes_within<FIRST_FIVE_MILLION>(CountingTally{&divisions});

    const PlainCount plain = plain_second_phase(FIRST_FIVE_MILLION.candidate_limit, std::numeric_limits<int64_t>::max());
    EXPECT_EQ(divisions, plain.divisions);
    EXPECT_EQ(plain.primes, 348513); // primes below 5,000,001
    EXPECT_FALSE(quit_flag);
}

} // namespace
