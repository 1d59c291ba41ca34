#pragma once
// What a run found beyond what it printed, and the check of it: each report
// names a prime whose value is known, for the limits the program was built
// with, so a machine that computes a wrong one is caught. All of it happens
// at the report lines, none in the timed loop.

#include <cstdint>

struct SearchLimits;

// Room for the reports of a run: the benchmark has 15.
inline constexpr int MAX_REPORTS = 16;

// The prime that report m (from 1) of these limits must name: the
// benchmark's millionth primes, and the short test run's; 0 where the limits'
// values are not known, and nothing is checked.
int64_t known_prime(const SearchLimits& limits, int64_t m);

// Checks the prime a report named; when it is wrong, counts it and says so
// on a line of its own, naming the thread of a rate run (from 1; 0 for the
// single run). True when it is right or not known.
bool check_report(const SearchLimits& limits, int64_t m, int64_t prime, int thread);

// Wrong primes reported so far, in either run.
extern int wrong_reports;

// After the time report of a run with wrong primes: the line that says the
// result is not valid.
void report_validity();

// How the last run went: whether it completed, and the clock when it found
// its last prime (a rate run's: its slowest thread's); the single run's
// reports too (a rate run's threads keep their own, in their progress).
struct RunRecord {
    bool completed = false;
    uint32_t finished_ms = 0;
    int reports = 0;
    int64_t report_primes[MAX_REPORTS] = {};
};
extern RunRecord run_record;
