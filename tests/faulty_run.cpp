// The short run on a machine that computes wrongly, from outside the engine.
// The single run: after the first phase the table's entry for 5 holds 7, as a
// fault in memory would leave it, so that multiples of 5 pass for primes. The
// rate run: the table is sound, but the second thread sees its candidate two
// too high at its checkpoints, as a flipped bit in one core would leave it.

#include "engine/rate.h"
#include "engine/search.h"

namespace {

constexpr SearchLimits SHORT_LIMITS{1000, 10000, 15, BENCHMARK_LIMITS.candidate_limit};

struct SkewedCheckpoint {
    WorkerProgress* progress;
    bool operator()(int64_t count, int64_t candidate) const
    {
        return worker_checkpoint_ends(*progress, SHORT_LIMITS, count, candidate + 2);
    }
};

} // namespace

void search_primes()
{
    base_primes[2] = 7;
    search_primes_within<SHORT_LIMITS>();
}

void search_primes_for_worker(WorkerProgress& progress)
{
    if (&progress != &worker_progress(1))
        return search_primes_for_worker_within<SHORT_LIMITS>(progress);
    NoTally tally;
    search_with<SHORT_LIMITS>(SkewedCheckpoint{&progress}, tally);
}

bool run_on_threads(int threads, int cpus)
{
    return run_on_threads(threads, cpus, SHORT_LIMITS, search_primes_for_worker);
}
