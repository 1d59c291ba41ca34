// The two phases with nothing of the program around them: no keyboard, no
// progress output, no clock, no checkpoint tests. It runs the engine's own
// first phase and its own trial division, so that, timed from outside against
// primebench built with the same compiler and flags, the difference is what
// the program adds.

#include <cstdint>
#include <cstdio>

#include "engine/primes.h"
#include "engine/search.h"

int main()
{
    build_base_primes(base_primes, BASE_PRIME_COUNT);
    NoTally none;
    int64_t count = BASE_PRIME_COUNT;
    int64_t candidate = 0xFFF3;
    for (;; candidate += 2) {
        if (survives_trial_division(candidate, isqrt64(candidate), none) && ++count == 15000000)
            break;
    }
    std::printf("%lld\n", static_cast<long long>(candidate));
    return 0;
}

