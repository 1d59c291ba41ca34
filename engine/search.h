#pragma once
// The second phase as a template over its fixed values, so that tests can
// run the very same loop with small intervals and a small candidate limit.
// The values are template arguments, not variables: the instantiation used
// by search_primes() compiles them in as constants and is as fast as a loop
// written with literals.

#include <cstdint>

#include "engine/primes.h"

struct SearchLimits {
    int64_t checkpoint_interval; // primes between keyboard polls and dots
    int64_t report_interval;     // primes between report lines
    int64_t final_report;        // the run ends at this report
    int64_t candidate_limit;     // candidates never reach this
};

inline constexpr SearchLimits BENCHMARK_LIMITS{100000, 1000000, 15, 4293001441};

inline constexpr int ESC = 27;

// The keyboard poll, and what follows it when the count reached a multiple of
// the checkpoint interval: the dot, the report line and, after the last one,
// the end of the run. True when the run is over (Esc, or the final key).
// Out of line (engine/primes.cpp): the timed loop holds nothing of it but
// the call, and no compiler can fold its branches into the loop's code.
bool checkpoint_ends_run(const SearchLimits& limits, int64_t count, int64_t candidate);

// What the checkpoints of the single run and of the rate run share, each
// printed or read on the console's thread (engine/primes.cpp).
// One keyboard poll, reading at most one code: true when it was Esc, which
// also sets quit_flag.
bool checkpoint_quits();
// The line for the m-th report, naming the prime found there.
void print_report_line(int64_t m, int64_t prime);
// The end of a completed run, after the time report: the prompt, the wait
// for a key, and quit_flag set; only the last where wait_at_prompt is false
// (a result in JSON waits for no key).
void prompt_and_wait();
extern bool wait_at_prompt;

// Counts trial divisions where a caller asks for it; the benchmark passes
// NoTally, which compiles to nothing.
struct NoTally {
    void operator()() const {}
};

// Trial division of an odd candidate by base_primes[1..], bounded by r and by
// the end of the table. True when no entry divides it.
template <class Tally>
inline bool survives_trial_division(int64_t candidate, uint32_t r, Tally& tally)
{
    const uint32_t* entry = &base_primes[1];
    const uint32_t* const last = &base_primes[BASE_PRIME_COUNT - 1];
    if (*entry > r)
        return true;
    // One division a pass in every build: clang would unroll the walk by
    // two, g++ does not.
#pragma GCC unroll 1
    do {
        tally();
        // An unsigned division: the candidate is positive, and clang, which
        // proves it, divides so whatever the source says; g++ would use
        // the signed instruction. Every build then divides with the same one.
        if (static_cast<uint64_t>(candidate) % *entry == 0)
            return false;
        if (entry == last)
            return true;
        ++entry;
    } while (*entry <= r);
    return true;
}

// The second phase's walk, with what happens at each checkpoint left to
// `checkpoint`: a type whose call compiles to one out-of-line call, and
// ends the walk when it returns true.
template <SearchLimits L, class Checkpoint, class Tally>
inline void search_with(Checkpoint checkpoint, Tally& tally)
{
    int64_t candidate = 0xFFF3; // the odd number after the largest base prime
    int64_t count = BASE_PRIME_COUNT;
    for (;;) {
        if (survives_trial_division(candidate, isqrt64(candidate), tally)) {
            ++count;
            if (count % L.checkpoint_interval == 0 && checkpoint(count, candidate))
                return;
        }
        candidate += 2;
        if (candidate >= L.candidate_limit)
            return;
    }
}

// The single run's checkpoint: the console's own.
template <SearchLimits L>
struct ConsoleCheckpoint {
    bool operator()(int64_t count, int64_t candidate) const { return checkpoint_ends_run(L, count, candidate); }
};

template <SearchLimits L, class Tally = NoTally>
void search_primes_within(Tally tally = {})
{
    search_with<L>(ConsoleCheckpoint<L>{}, tally);
}
