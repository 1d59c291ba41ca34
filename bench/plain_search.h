#pragma once
// The second phase restated plainly and independently of the engine: its own
// table from a sieve, its own rounded root from floating point, the walk as
// written out in words. It counts the trial divisions, so that the engine's
// work can be pinned to it; the tests take their reference primes and roots
// from here too.

#include <cmath>
#include <cstdint>
#include <vector>

// The primes below `limit`, by the sieve of Eratosthenes.
inline std::vector<uint32_t> sieve_primes_below(uint32_t limit)
{
    std::vector<bool> composite(limit, false);
    std::vector<uint32_t> primes;
    for (uint32_t n = 2; n < limit; ++n) {
        if (composite[n])
            continue;
        primes.push_back(n);
        for (uint64_t m = uint64_t{n} * n; m < limit; m += n)
            composite[m] = true;
    }
    return primes;
}

// The integer nearest to sqrt(a), a < 2^62, found without the
// shift-and-subtract method: floating point, then corrected to the floor.
inline uint64_t nearest_root(uint64_t a)
{
    auto r = static_cast<uint64_t>(std::sqrt(static_cast<double>(a)));
    while (r * r > a)
        --r;
    while ((r + 1) * (r + 1) <= a)
        ++r;
    // sqrt(a) >= r + 1/2  <=>  a >= r*r + r + 1/4  <=>  a - r*r > r
    return a - r * r > r ? r + 1 : r;
}

struct PlainCount {
    uint64_t divisions = 0;
    int64_t primes = 0;     // including the 6,542 below 65,536
    int64_t last_prime = 0; // the last one counted
};

// Candidates from 65,523 while below candidate_limit, stopping early once
// `target` primes are counted.
inline PlainCount plain_second_phase(int64_t candidate_limit, int64_t target)
{
    const std::vector<uint32_t> table = sieve_primes_below(65536);
    PlainCount c;
    c.primes = static_cast<int64_t>(table.size());
    for (int64_t candidate = 65523; candidate < candidate_limit && c.primes < target; candidate += 2) {
        const auto r = static_cast<int64_t>(nearest_root(static_cast<uint64_t>(candidate)));
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
