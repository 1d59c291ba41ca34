#pragma once
// The prime engine: a table of the primes below 65,536 built with 32-bit
// arithmetic, then a 64-bit trial-division search that runs on to the
// 15,000,000th prime.

#include <cstdint>

#include "engine/isqrt.h"

inline constexpr int32_t BASE_PRIME_COUNT = 6542;

extern uint32_t base_primes[BASE_PRIME_COUNT];
extern bool quit_flag;

// Fills table[0..count) with the first count primes, 4 < count <= size of
// table. Returns early, with quit_flag set, when Esc is read at a checkpoint.
void build_base_primes(uint32_t* table, int32_t count);

// The timed second phase. Needs a full base_primes table.
void search_primes();
