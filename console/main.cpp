#include <algorithm>
#include <cstdio>
#include <ctime>

#include "console/build_info.h"
#include "console/clock.h"
#include "console/json.h"
#include "console/keyboard.h"
#include "console/machine.h"
#include "console/options.h"
#include "console/output.h"
#include "console/report.h"
#include "console/threads.h"
#include "engine/primes.h"
#include "engine/rate.h"
#include "engine/results.h"

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

// 3 for a result with a wrong prime in it, unless its output failed (1).
int exit_status()
{
    const int status = output_status();
    return status == 0 && wrong_reports > 0 ? 3 : status;
}

// ISO 8601 in UTC. Not strftime(): the static programs would carry its
// locale machinery, for digits only.
std::string utc_text(std::time_t when)
{
    char text[80] = "";
    if (const std::tm* utc = std::gmtime(&when))
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc->tm_year + 1900, utc->tm_mon + 1,
                      utc->tm_mday, utc->tm_hour, utc->tm_min, utc->tm_sec);
    return text;
}

// What the run found, for the JSON: the single run's reports, or each
// thread's of a rate run.
RunResult result_of(int threads, std::time_t started, uint32_t ended_ms)
{
    RunResult r;
    r.version = PRIMEBENCH_VERSION;
    r.compiler = compiler_description();
    r.target = target_description();
    r.build_type = build_type();
    r.cpu = cpu_name();
    r.cpus = available_cpus();
    r.host = host_name();
    r.start_utc = utc_text(started);
    r.threads = threads;
    r.end = !quit_flag ? RunResult::CANDIDATE_LIMIT : run_record.completed ? RunResult::COMPLETED : RunResult::ESC;
    r.elapsed_ms = (run_record.completed ? run_record.finished_ms : ended_ms) - start_ms;
    r.valid = wrong_reports == 0;
    if (threads == 0) {
        const int64_t own = run_record.completed ? r.elapsed_ms : -1;
        r.per_thread.push_back({own, {run_record.report_primes, run_record.report_primes + run_record.reports}});
        return r;
    }
    r.rate_hundredths = rate_hundredths(threads, static_cast<uint32_t>(r.elapsed_ms));
    for (int i = 0; i < threads; ++i) {
        const WorkerProgress& w = worker_progress(i);
        const bool finished = r.end == RunResult::COMPLETED;
        r.per_thread.push_back({finished ? static_cast<int64_t>(static_cast<uint32_t>(w.finished_ms - start_ms)) : -1,
                                {w.report_primes, w.report_primes + w.reports}});
    }
    return r;
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
        message("primebench %s\nbuilt by %s for %s, %s\n", PRIMEBENCH_VERSION, compiler_description().c_str(),
                target_description(), build_type());
        return output_status();
    case Options::RUN:
        break;
    }
    const int threads = options.threads == ALL_CPUS ? std::min(available_cpus(), MAX_THREADS) : options.threads;
    // A result in JSON is all that is printed, and it waits for no key.
    silence_messages(options.json);
    wait_at_prompt = !options.json;
    const std::time_t started = std::time(nullptr);

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
    if (!quit_flag && !second_phase(threads)) {
        output_status();
        return 1;
    }
    if (options.json) {
        const std::string json = result_json(result_of(threads, started, clock_ms()));
        silence_messages(false);
        message("%s\n", json.c_str());
    } else if (quit_flag) {
        // Not after the candidate limit: nothing more to say then.
        message("\nExiting...");
        pause_ms(500);
    }
    return exit_status();
}
