#pragma once
// Rounded integer square roots that bound trial division.
//
// Both run a fixed number of shift-and-subtract passes (16 and 32), with no
// multiplication, division or floating point, so their cost does not depend
// on the argument. That fixed cost is part of what the benchmark times.
//
// Each pass's test is a branch in every build, so that every compiler times
// the same code: left to itself, clang computes both outcomes of each pass
// and keeps one (cmov, csel), twice as slow here as g++'s branch. The hint
// is true (the leading passes of a root below 2^16 all fail the test) and
// keeps the branch; the pragma, which g++ and clang read alike, stops clang
// from unrolling all the passes first, after which it selects again on ARM64.
// tools/check-division fails a build of the second phase with a select.

#include <cstdint>

constexpr uint32_t isqrt32(uint32_t a)
{
    uint32_t remainder = a;
    uint32_t root = 0;
#pragma GCC unroll 1
    for (uint32_t bit = 0x40000000u; bit != 0; bit >>= 2) {
        const uint32_t t = root + bit;
        if (t <= remainder) [[unlikely]] {
            remainder -= t;
            root = t + bit;
        }
        root >>= 1;
    }
    // remainder == a - root*root; the true root is nearer root + 1 exactly
    // when the remainder exceeds root (a tie cannot happen for integers).
    if (remainder > root)
        ++root;
    return root;
}

// Valid for 0 <= a < 2^62. The working values are signed 64-bit on purpose:
// inside that range signed comparisons and arithmetic shifts behave exactly
// like unsigned ones, and the second phase holds its candidate signed.
constexpr uint32_t isqrt64(int64_t a)
{
    int64_t remainder = a;
    int64_t root = 0;
#pragma GCC unroll 1
    for (int64_t bit = int64_t{1} << 62; bit != 0; bit >>= 2) {
        const int64_t t = root + bit;
        if (t <= remainder) [[unlikely]] {
            remainder -= t;
            root = t + bit;
        }
        root >>= 1;
    }
    if (remainder > root)
        ++root;
    return static_cast<uint32_t>(root);
}
