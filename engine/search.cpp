#include "engine/search.h"

// On its own, so that a test build can link the program with a shorter run.
void search_primes()
{
    search_primes_within<BENCHMARK_LIMITS>();
}
