#include <algorithm>
#include <cstdio>

#include "console/clock.h"
#include "console/cpu.h"
#include "console/keyboard.h"
#include "console/options.h"
#include "console/output.h"
#include "console/report.h"
#include "console/threads.h"
#include "engine/primes.h"
#include "engine/rate.h"

namespace {

// The second phase: the single run's with no threads, the rate run's with
// some. False when the threads could not be started.
bool second_phase(int threads)
{
    if (threads == 0) {
        search_primes();
        return true;
    }
    if (run_on_threads(threads, available_cpus()))
        return true;
    std::fprintf(stderr, "primebench: cannot start %d threads: %s\n", threads, thread_failure());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse_options(argc, argv);
    switch (options.action) {
    case Options::REFUSED:
        std::fprintf(stderr, "primebench: %s; see 'primebench --help'\n", options.refusal.c_str());
        return 2;
    case Options::HELP:
        message("%s", usage());
        return output_status();
    case Options::VERSION:
        message("primebench %s\n", PRIMEBENCH_VERSION);
        return output_status();
    case Options::RUN:
        break;
    }
    const int threads = options.threads == ALL_CPUS ? std::min(available_cpus(), MAX_THREADS) : options.threads;

    // A key pressed before the start must not count, not even Esc; of a
    // two-code key only the first code goes.
    if (key_available())
        read_key();
    if (threads == 0)
        message("Computing 15,000,000 Prime Numbers - Esc to quit...\n");
    else
        message("Computing 15,000,000 Prime Numbers on %d %s - Esc to quit...\n", threads,
                threads == 1 ? "thread" : "threads");
    start_ms = clock_ms();
    build_base_primes(base_primes, BASE_PRIME_COUNT);
    if (!quit_flag) {
        if (!second_phase(threads)) {
            output_status();
            return 1;
        }
        if (!quit_flag)
            return output_status(); // candidate limit: nothing more to say
    }
    message("\nExiting...");
    pause_ms(500);
    return output_status();
}
