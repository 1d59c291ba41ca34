#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "bench/plain_search.h"
#include "engine/isqrt.h"

namespace {

// Squares, their neighbours and the rounding edges around n*n + n.
std::vector<uint64_t> arguments_around(uint64_t n)
{
    const uint64_t sq = n * n;
    std::vector<uint64_t> out{sq, sq + 1, sq + n, sq + n + 1, sq + n + 2};
    if (sq > 0)
        out.push_back(sq - 1);
    if (n > 0)
        out.push_back(sq + n - 1);
    return out;
}

TEST(Isqrt, ListedValues)
{
    const struct {
        uint32_t a;
        uint32_t root;
    } cases[] = {{0, 0},  {1, 1},  {2, 1},  {3, 2},  {8, 3},          {12, 3},
                 {13, 4}, {24, 5}, {99, 10}, {65521, 256}, {0xFFFFFFFFu, 65536}};
    for (const auto& c : cases) {
        EXPECT_EQ(isqrt32(c.a), c.root) << c.a;
        EXPECT_EQ(isqrt64(c.a), c.root) << c.a;
    }
    EXPECT_EQ(isqrt64(4293001441), 65521u);
    static_assert(isqrt32(13) == 4 && isqrt64(4293001441) == 65521);
}

TEST(Isqrt, ThirtyTwoBitAgreesWithExactRoundingAndWithSixtyFourBit)
{
    std::vector<uint64_t> args;
    for (uint64_t n = 0; n <= 65535; ++n)
        for (uint64_t a : arguments_around(n))
            args.push_back(a);
    for (uint64_t a = 0xFFFFFFFFu - 5000; a <= 0xFFFFFFFFu; ++a)
        args.push_back(a);
    for (uint64_t a = 0; a < 200000; ++a)
        args.push_back(a);
    for (uint64_t a = 1; a < 0xFFFFFFFFu; a += 999983)
        args.push_back(a);
    for (uint64_t a : args) {
        if (a > 0xFFFFFFFFu)
            continue;
        const uint32_t a32 = static_cast<uint32_t>(a);
        ASSERT_EQ(isqrt32(a32), nearest_root(a)) << a;
        ASSERT_EQ(isqrt64(static_cast<int64_t>(a)), isqrt32(a32)) << a;
    }
}

TEST(Isqrt, SixtyFourBitAgreesWithExactRoundingUpToTwoToTheSixtyTwo)
{
    const uint64_t top = (uint64_t{1} << 62) - 1;
    std::vector<uint64_t> args{top, top - 1, 4293001441, 4293001440, 4293001442};
    // Roots spread over the whole range, denser where the candidate lives.
    for (uint64_t n = 65000; n < 70000; ++n)
        for (uint64_t a : arguments_around(n))
            args.push_back(a);
    for (uint64_t n = 1; n < (uint64_t{1} << 31); n += n / 64 + 1)
        for (uint64_t a : arguments_around(n))
            if (a <= top)
                args.push_back(a);
    for (uint64_t a : args)
        ASSERT_EQ(isqrt64(static_cast<int64_t>(a)), nearest_root(a)) << a;
}

} // namespace
