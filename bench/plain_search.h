#pragma once
// The second phase restated plainly and independently of the engine: its own
// table from a sieve, its own rounded root from floating point, the walk as
// written out in words. It counts the trial divisions, so that the engine's
// work can be pinned to it.

#include <cmath>
#include <cstdint>
#include <vector>

struct PlainCount {
    uint64_t divisions = 0;
    int64_t primes = 0;     // including the 6,542 below 65,536
    int64_t last_prime = 0; // the last one counted
};

// Candidates from 65,523 while below candidate_limit, stopping early once
// `target` primes are counted.
inline PlainCount plain_second_phase(int64_t candidate_limit, int64_t target)
{
    std::vector<int64_t> table;
    std::vector<bool> composite(65536, false);
    for (int64_t n = 2; n < 65536; ++n) {
        if (composite[static_cast<size_t>(n)])
            continue;
        table.push_back(n);
        for (int64_t m = n * n; m < 65536; m += n)
            composite[static_cast<size_t>(m)] = true;
    }
    PlainCount c;
    c.primes = static_cast<int64_t>(table.size());
    for (int64_t candidate = 65523; candidate < candidate_limit && c.primes < target; candidate += 2) {
        auto r = static_cast<int64_t>(std::sqrt(static_cast<double>(candidate)));
        while (r * r > candidate)
            --r;
        while ((r + 1) * (r + 1) <= candidate)
            ++r;
        if (candidate - r * r > r)
            ++r; // nearest, not floor
        bool prime = true;
        for (size_t i = 1; i < table.size() && table[i] <= r; ++i) {
            ++c.divisions;
            if (candidate % table[i] == 0) {
                prime = false;
                break;
            }
        }
        if (prime) {
            ++c.primes;
            c.last_prime = candidate;
        }
    }
    return c;
}
