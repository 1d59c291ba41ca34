// What a run's time is made of: the square root, the trial division of a
// window of candidates as the second phase does it, and this CPU's raw
// integer division throughput at both widths.

#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/primes.h"
#include "engine/search.h"

namespace {

void BM_isqrt64(benchmark::State& state)
{
    int64_t a = 200000001;
    for (auto _ : state) {
        benchmark::DoNotOptimize(isqrt64(a));
        a += 2;
    }
}
BENCHMARK(BM_isqrt64);

// The candidates 200,000,001 to 200,019,999 (10,000 odd numbers), late in a
// run, where most of the time goes.
void BM_trial_division_window(benchmark::State& state)
{
    build_base_primes(base_primes, BASE_PRIME_COUNT);
    NoTally none;
    int64_t primes = 0;
    for (auto _ : state) {
        for (int64_t c = 200000001; c < 200020000; c += 2)
            primes += survives_trial_division(c, isqrt64(c), none) ? 1 : 0;
        benchmark::DoNotOptimize(primes);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_trial_division_window);

// Independent divisions (throughput, not latency) over operands that the
// compiler cannot see. `wide` dividends need all 64 bits.
template <class T>
void divide_many(benchmark::State& state, T first_dividend)
{
    std::vector<T> dividends(1024), divisors(1024);
    for (size_t i = 0; i < dividends.size(); ++i) {
        dividends[i] = static_cast<T>(first_dividend + static_cast<T>(i * 7919));
        divisors[i] = static_cast<T>(3 + 2 * (i % 6541));
    }
    benchmark::DoNotOptimize(dividends.data());
    benchmark::DoNotOptimize(divisors.data());
    for (auto _ : state) {
        T sum = 0;
        for (size_t i = 0; i < dividends.size(); ++i)
            sum += dividends[i] % divisors[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(dividends.size()));
}

void BM_div64_benchmark_operands(benchmark::State& state)
{
    divide_many<uint64_t>(state, 200000001); // what the second phase divides
}
BENCHMARK(BM_div64_benchmark_operands);

void BM_div64_wide_operands(benchmark::State& state)
{
    divide_many<uint64_t>(state, uint64_t{1} << 40);
}
BENCHMARK(BM_div64_wide_operands);

void BM_div32(benchmark::State& state)
{
    divide_many<uint32_t>(state, 200000001u);
}
BENCHMARK(BM_div32);

} // namespace

BENCHMARK_MAIN();

