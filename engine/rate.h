#pragma once
// The rate run: the second phase run whole by several threads at once, each
// on its own candidate and count, all reading the one table, while the
// console's thread shows their common progress and reads the keyboard. Its
// number grows with a machine's cores, so machines of different core counts
// compare by it.

#include <atomic>
#include <cstdint>

#include "console/threads.h"
#include "engine/results.h"
#include "engine/search.h"


// Apple silicon's cache lines are 128 bytes, twice most others'.
inline constexpr size_t CACHE_LINE = 128;

// One thread's progress, written by that thread at its checkpoints only and
// on cache lines of its own, so that no thread writes a line another reads
// while it works.
struct alignas(CACHE_LINE) WorkerProgress {
    // Checkpoints passed; what the worker writes below is written before it
    // publishes the count.
    std::atomic<int32_t> checkpoints{0};
    // Set once its search has returned.
    std::atomic<bool> ended{false};
    uint32_t finished_ms = 0; // the clock when it found its last prime
    int32_t reports = 0;      // report lines it has passed
    int64_t report_primes[MAX_REPORTS] = {}; // the prime of each report, in order
    bool stopped = false; // it ended at the stop; read once it is joined
    const std::atomic<bool>* stop = nullptr; // set by the console's thread for all
};

// A worker's checkpoint: publishes its progress and wakes the console's
// thread. True when the worker is to end: its final report is done, or the
// console asked every thread to stop. Out of line (engine/rate.cpp), like the
// single run's.
bool worker_checkpoint_ends(WorkerProgress& progress, const SearchLimits& limits, int64_t count, int64_t candidate);

template <SearchLimits L>
struct WorkerCheckpoint {
    WorkerProgress* progress;
    bool operator()(int64_t count, int64_t candidate) const
    {
        return worker_checkpoint_ends(*progress, L, count, candidate);
    }
};

// One thread's whole second phase: the single run's loop, with the worker's
// checkpoint.
template <SearchLimits L>
void search_primes_for_worker_within(WorkerProgress& progress)
{
    static_assert(L.final_report <= MAX_REPORTS);
    NoTally tally;
    search_with<L>(WorkerCheckpoint<L>{&progress}, tally);
}

using WorkerSearch = void (*)(WorkerProgress&);

// The rate run's second phase on `threads` threads (1 to MAX_THREADS), after
// the first phase, with the same dots and report lines as the single run, a
// line of the threads' times and rate after the time report, then the
// prompt. Leaves quit_flag as search_primes() does. False, with nothing
// more printed and the cause on standard error, when the system would not
// start the threads. `cpus` is only reported.
bool run_on_threads(int threads, int cpus, const SearchLimits& limits, WorkerSearch search);

// Each thread's progress in the last rate run, i below its thread count.
const WorkerProgress& worker_progress(int i);

// Runs a minute, in hundredths, rounded: `threads` runs in run_ms (a run of
// 0 ms counts as 1 ms).
uint64_t rate_hundredths(int threads, uint32_t run_ms);

// The benchmark's (engine/search.cpp): each thread's loop, in a function of
// its own that tools/check-division reads, and the run with its limits.
void search_primes_for_worker(WorkerProgress& progress);
bool run_on_threads(int threads, int cpus);
