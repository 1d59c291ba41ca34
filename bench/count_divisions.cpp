// Prints the number of trial divisions the second phase of a complete run
// performs, counted by the plain restatement of the loop.

#include <cinttypes>
#include <cstdio>

#include "bench/plain_search.h"

int main()
{
    const PlainCount c = plain_second_phase(4293001441, 15000000);
    std::printf("primes: %" PRId64 "\nlast prime: %" PRId64 "\ntrial divisions: %" PRIu64 "\n", c.primes,
                c.last_prime, c.divisions);
    return 0;
}
