// The second phase of the real program with its intervals cut down: 150,000
// primes, a dot per 1,000 and a report line per 10,000, then the time report
// and the prompt, all in a fraction of a second.

#include "engine/search.h"

void search_primes()
{
    search_primes_within<SearchLimits{1000, 10000, 15, BENCHMARK_LIMITS.candidate_limit}>();
}
