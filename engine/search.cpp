#include "engine/rate.h"
#include "engine/search.h"

// On their own, so that a test build can link the program with a shorter run.
void search_primes()
{
    search_primes_within<BENCHMARK_LIMITS>();
}

void search_primes_for_worker(WorkerProgress& progress)
{
    search_primes_for_worker_within<BENCHMARK_LIMITS>(progress);
}

bool run_on_threads(int threads, int cpus)
{
    return run_on_threads(threads, cpus, BENCHMARK_LIMITS, search_primes_for_worker);
}
