#include "engine/primes.h"

#include "console/keyboard.h"
#include "console/output.h"
#include "console/report.h"
#include "engine/results.h"
#include "engine/search.h"

uint32_t base_primes[BASE_PRIME_COUNT];
bool quit_flag;

bool checkpoint_quits()
{
    if (key_available() && read_key() == ESC) {
        quit_flag = true;
        return true;
    }
    return false;
}

void print_report_line(int64_t m, int64_t prime)
{
    if (m < 10)
        message("\n %ld,000,000th Prime: %ld\n", printed(m), printed(prime));
    else
        message("\n%ld,000,000th Prime: %ld\n", printed(m), printed(prime));
}

bool wait_at_prompt = true;

void prompt_and_wait()
{
    quit_flag = true;
    if (!wait_at_prompt)
        return;
    message("Any key exits...");
    // Asleep until the key comes: a finished benchmark must not load the
    // machine it measured. A dead or absent console ends the wait.
    wait_for_key();
    read_key();
}

void build_base_primes(uint32_t* table, int32_t count)
{
    table[0] = 2;
    table[1] = 3;
    table[2] = 5;
    table[3] = 7;
    uint32_t filled = 4;
    uint32_t candidate = 9;
    for (;;) {
        const uint32_t r = isqrt32(candidate);
        // No end-of-table test: from 9 on, a stored prime above r always
        // stops the walk first. 2 is never tried, every candidate is odd.
        const uint32_t* entry = &table[1];
        while (*entry <= r && candidate % *entry != 0)
            ++entry;
        if (*entry <= r) {
            candidate += 2;
            continue;
        }
        table[filled] = candidate;
        if (checkpoint_quits())
            return;
        candidate += 2;
        ++filled;
        if (filled == static_cast<uint32_t>(count))
            return;
    }
}

bool checkpoint_ends_run(const SearchLimits& limits, int64_t count, int64_t candidate)
{
    if (checkpoint_quits())
        return true;
    message(".");
    if (count % limits.report_interval != 0)
        return false;
    const int64_t m = count / limits.report_interval;
    print_report_line(m, candidate);
    check_report(limits, m, candidate, 0);
    if (m <= MAX_REPORTS) {
        run_record.report_primes[m - 1] = candidate;
        run_record.reports = static_cast<int>(m);
    }
    if (m != limits.final_report)
        return false;
    run_record.finished_ms = start_ms + report_elapsed();
    run_record.completed = true;
    report_validity();
    prompt_and_wait();
    return true;
}
