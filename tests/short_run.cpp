// The second phase of the real program with its intervals cut down: 150,000
// primes, a dot per 1,000 and a report line per 10,000, then the time report
// and the prompt, all in a fraction of a second; on threads too.

#include "engine/rate.h"
#include "engine/search.h"

namespace {
constexpr SearchLimits SHORT_LIMITS{1000, 10000, 15, BENCHMARK_LIMITS.candidate_limit};
}

void search_primes()
{
    search_primes_within<SHORT_LIMITS>();
}

void search_primes_for_worker(WorkerProgress& progress)
{
    search_primes_for_worker_within<SHORT_LIMITS>(progress);
}

bool run_on_threads(int threads, int cpus)
{
    return run_on_threads(threads, cpus, SHORT_LIMITS, search_primes_for_worker);
}
