#include "engine/primes.h"

#include "engine/search.h"

uint32_t base_primes[BASE_PRIME_COUNT];
bool quit_flag;

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
