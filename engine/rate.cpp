#include "engine/rate.h"

#include <algorithm>
#include <new>

#include "console/clock.h"
#include "console/keyboard.h"
#include "console/output.h"
#include "console/report.h"
#include "console/threads.h"
#include "console/wake.h"

bool worker_checkpoint_ends(WorkerProgress& progress, const SearchLimits& limits, int64_t count, int64_t candidate)
{
    bool last = false;
    if (count % limits.report_interval == 0) {
        const int64_t m = count / limits.report_interval;
        progress.report_primes[m - 1] = candidate;
        progress.reports = static_cast<int32_t>(m);
        if (m == limits.final_report) {
            progress.finished_ms = clock_ms();
            last = true;
        }
    }
    // Only this thread writes the count: no read-modify-write is needed.
    progress.checkpoints.store(progress.checkpoints.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    wake_console();
    if (last)
        return true;
    progress.stopped = progress.stop->load(std::memory_order_acquire);
    return progress.stopped;
}

namespace {

// Static, so that the run allocates nothing: the pages of threads that a run
// does not have are never touched, and take no memory.
WorkerProgress workers[MAX_THREADS];

enum class Outcome { COMPLETED, ESC, CANDIDATE_LIMIT };

// Written once, by the console's thread; read by every worker at its checkpoints.
struct alignas(CACHE_LINE) StopFlag {
    std::atomic<bool> set{false};
};

struct Run {
    WorkerSearch search;
    WorkerProgress* workers;
};

void work(void* context, int index)
{
    const Run& run = *static_cast<const Run*>(context);
    WorkerProgress& progress = run.workers[index];
    run.search(progress);
    progress.ended.store(true, std::memory_order_release);
    wake_console();
}

int32_t slowest(const WorkerProgress* workers, int threads)
{
    int32_t least = workers[0].checkpoints.load(std::memory_order_acquire);
    for (int i = 1; i < threads; ++i)
        least = std::min(least, workers[i].checkpoints.load(std::memory_order_acquire));
    return least;
}

bool all_ended(const WorkerProgress* workers, int threads)
{
    return std::all_of(workers, workers + threads,
                       [](const WorkerProgress& w) { return w.ended.load(std::memory_order_acquire); });
}

// Reads every key waiting; true at an Esc, which also sets quit_flag. Other
// keys are dropped, as at the single run's checkpoints.
bool keys_quit()
{
    while (key_available()) {
        if (read_key() == ESC) {
            quit_flag = true;
            return true;
        }
    }
    return false;
}

// Shows each checkpoint once every thread has passed it, as the single run
// shows it: a keyboard poll, then the dot and the report line. Between
// them it sleeps until a key or a worker's checkpoint wakes it.
Outcome follow(const WorkerProgress* workers, int threads, const SearchLimits& limits)
{
    // The count at the first checkpoint: the search counts on from the base primes.
    const int64_t first = (BASE_PRIME_COUNT / limits.checkpoint_interval + 1) * limits.checkpoint_interval;
    int32_t shown = 0;
    for (;;) {
        // Ended first: a worker publishes its last checkpoint before it ends.
        const bool ended = all_ended(workers, threads);
        for (const int32_t passed = slowest(workers, threads); shown < passed;) {
            if (checkpoint_quits())
                return Outcome::ESC;
            const int64_t count = first + shown++ * limits.checkpoint_interval;
            message(".");
            if (count % limits.report_interval != 0)
                continue;
            const int64_t m = count / limits.report_interval;
            print_report_line(m, workers[0].report_primes[m - 1]);
            for (int i = 0; i < threads; ++i)
                check_report(limits, m, workers[i].report_primes[m - 1], i + 1);
            if (m == limits.final_report)
                return Outcome::COMPLETED;
        }
        if (ended)
            return Outcome::CANDIDATE_LIMIT;
        if (wait_for_key_or_wake() && keys_quit())
            return Outcome::ESC;
    }
}

const char* plural(int n, const char* one, const char* more)
{
    return n == 1 ? one : more;
}

// "N threads on C CPUs: each thread S1 to S2 seconds; R runs a minute", a run
// being the benchmark's fixed work.
void print_rate_line(int threads, int cpus, uint32_t fastest_ms, uint32_t slowest_ms, uint32_t run_ms)
{
    const uint64_t hundredths = rate_hundredths(threads, run_ms);
    message("%d %s on %d %s: each thread %u.%03u to %u.%03u seconds; %u.%02u runs a minute\n", threads,
            plural(threads, "thread", "threads"), cpus, plural(cpus, "CPU", "CPUs"), fastest_ms / 1000,
            fastest_ms % 1000, slowest_ms / 1000, slowest_ms % 1000, static_cast<uint32_t>(hundredths / 100),
            static_cast<uint32_t>(hundredths % 100));
}

void report_rate(const WorkerProgress* workers, int threads, int cpus)
{
    uint32_t fastest = UINT32_MAX, slowest_ms = 0;
    for (int i = 0; i < threads; ++i) {
        const uint32_t own = workers[i].finished_ms - start_ms;
        fastest = std::min(fastest, own);
        slowest_ms = std::max(slowest_ms, own);
    }
    // The run ends when its last thread has found the last prime.
    run_record.completed = true;
    run_record.finished_ms = start_ms + slowest_ms;
    report_time(slowest_ms);
    print_rate_line(threads, cpus, fastest, slowest_ms, slowest_ms);
    report_validity();
}

} // namespace

const WorkerProgress& worker_progress(int i)
{
    return workers[i];
}

uint64_t rate_hundredths(int threads, uint32_t run_ms)
{
    const uint64_t ms = std::max<uint32_t>(run_ms, 1);
    return (static_cast<uint64_t>(threads) * 6000000 * 2 + ms) / (2 * ms);
}

bool run_on_threads(int threads, int cpus, const SearchLimits& limits, WorkerSearch search)
{
    StopFlag stop;
    for (int i = 0; i < threads; ++i) {
        new (&workers[i]) WorkerProgress{};
        workers[i].stop = &stop.set;
    }
    Run run{search, workers};
    prepare_wake();
    if (start_threads(threads, work, &run) < threads) {
        stop.set.store(true, std::memory_order_release);
        join_threads();
        return false;
    }
    const Outcome outcome = follow(workers, threads, limits);
    if (outcome == Outcome::ESC)
        stop.set.store(true, std::memory_order_release);
    join_threads();
    if (outcome == Outcome::COMPLETED) {
        report_rate(workers, threads, cpus);
        prompt_and_wait();
    }
    return true;
}
