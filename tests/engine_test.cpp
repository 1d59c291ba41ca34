#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bench/plain_search.h"
#include "console/report.h"
#include "engine/primes.h"
#include "engine/search.h"
#include "tests/expected_output.h"
#include "tests/scripted_console.h"

namespace {

TEST(FirstPhase, FillsTheTableWithThePrimesBelow65536AndPollsOncePerPrime)
{
    scripted::reset();
    quit_flag = false;
    std::vector<uint32_t> table(BASE_PRIME_COUNT, 0);
    build_base_primes(table.data(), BASE_PRIME_COUNT);

    const auto sieve = sieve_primes_below(65536);
    EXPECT_EQ(table, sieve);
    EXPECT_EQ(table.back(), 65521u);
    EXPECT_EQ(scripted::polls(), 6538);
    EXPECT_EQ(scripted::reads(), 0);
    EXPECT_FALSE(quit_flag);
    EXPECT_EQ(scripted::output(), "");
}

TEST(FirstPhase, StopsExactlyAtTheRequestedCount)
{
    scripted::reset();
    quit_flag = false;
    std::vector<uint32_t> table(20, 0);
    build_base_primes(table.data(), 10);
    const std::vector<uint32_t> expected{2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(table, expected);
    EXPECT_EQ(scripted::polls(), 6);
}

TEST(FirstPhase, KeysAtCheckpoints)
{
    const struct {
        const char* name;
        std::vector<scripted::Key> keys;
        long quit_at_poll; // 0: runs to the end
        long reads;
    } cases[] = {
        {"Esc at the 100th prime", {{100, ESC}}, 100, 1},
        {"a letter is consumed, the Esc behind it ends one poll later", {{1, 'x'}, {1, ESC}}, 2, 2},
        {"a two-code key uses two checkpoints", {{5, 0}, {0, 59}, {5, ESC}}, 7, 3},
        {"a held second code of 27 ends the run", {{3, 0}, {0, ESC}}, 4, 2},
        {"other keys never end it", {{1, 'a'}, {2, 224}, {0, 72}, {6000, 13}}, 0, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scripted::reset(c.keys);
        quit_flag = false;
        std::vector<uint32_t> table(BASE_PRIME_COUNT, 0);
        build_base_primes(table.data(), BASE_PRIME_COUNT);

        const long filled = static_cast<long>(std::count_if(table.begin(), table.end(), [](uint32_t p) { return p != 0; }));
        EXPECT_EQ(quit_flag, c.quit_at_poll != 0);
        EXPECT_EQ(scripted::polls(), c.quit_at_poll ? c.quit_at_poll : 6538);
        EXPECT_EQ(filled, c.quit_at_poll ? 4 + c.quit_at_poll : BASE_PRIME_COUNT);
        EXPECT_EQ(scripted::reads(), c.reads);
        EXPECT_EQ(scripted::keys_left(), 0u);
    }
}

class SecondPhase : public SecondPhaseTest {};

constexpr SearchLimits SILENT_LIMIT{100000, 1000000, 15, 1000001};
constexpr SearchLimits SMALL_LIMIT{1000, 10000, 15, 300001};
constexpr SearchLimits FORMAT_SWITCH{1000, 1000, 11, 4293001441};
constexpr SearchLimits FIRST_MILLION{100000, 1000000, 1, 4293001441};
constexpr SearchLimits FOUR_CHECKPOINTS{1000, 10000, 1, 4293001441};

template <SearchLimits L>
void expect_output_of_undisturbed_run(bool ends_with_prompt)
{
    SCOPED_TRACE(testing::Message() << "checkpoint " << L.checkpoint_interval << ", limit "
                                    << L.candidate_limit);
    const long checkpoints = checkpoints_of(L);
    scripted::reset({{checkpoints + 50, 'k'}});
    quit_flag = false;
    search_primes_within<L>();
    EXPECT_EQ(scripted::output(), expected_output(L));
    EXPECT_EQ(quit_flag, ends_with_prompt);
    // After the prompt the wait polls until the key comes, then reads it.
    EXPECT_EQ(scripted::polls(), ends_with_prompt ? checkpoints + 50 : checkpoints);
    EXPECT_EQ(scripted::keys_left(), ends_with_prompt ? 0u : 1u);
}

TEST_F(SecondPhase, OutputMatchesASieve)
{
    expect_output_of_undisturbed_run<SILENT_LIMIT>(false);
    expect_output_of_undisturbed_run<SMALL_LIMIT>(false);
    expect_output_of_undisturbed_run<FORMAT_SWITCH>(true);
    expect_output_of_undisturbed_run<FIRST_MILLION>(true);
    EXPECT_EQ(expected_output(FIRST_MILLION),
              "..........\n 1,000,000th Prime: 15485863\n"
              "\nTime taken: 0 Minutes, 0 Seconds, 0 Milliseconds\nAny key exits...");
}

TEST_F(SecondPhase, CandidateLimitEndsSilentlyWithoutPolling)
{
    scripted::reset();
    search_primes_within<SILENT_LIMIT>();
    EXPECT_FALSE(quit_flag);
    EXPECT_EQ(scripted::polls(), 0);
    EXPECT_EQ(scripted::output(), "");
}

TEST_F(SecondPhase, KeysAtCheckpoints)
{
    const struct {
        const char* name;
        std::vector<scripted::Key> keys;
        long quit_at_poll;
    } cases[] = {
        {"Esc at the first checkpoint", {{1, ESC}}, 1},
        {"Esc at the third checkpoint", {{3, ESC}}, 3},
        {"a letter is consumed, the Esc behind it ends one checkpoint later", {{2, 'q'}, {2, ESC}}, 3},
        {"a two-code key uses two checkpoints", {{1, 0}, {0, 59}, {1, ESC}}, 3},
        {"a held second code of 27 ends the run", {{2, 0}, {0, ESC}}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scripted::reset(c.keys);
        quit_flag = false;
        search_primes();
        EXPECT_TRUE(quit_flag);
        EXPECT_EQ(scripted::polls(), c.quit_at_poll);
        // No dot for the checkpoint that read the Esc.
        EXPECT_EQ(scripted::output(), std::string(static_cast<size_t>(c.quit_at_poll - 1), '.'));
        EXPECT_EQ(scripted::keys_left(), 0u);
    }
}

TEST_F(SecondPhase, WaitAfterThePromptTakesAKeyAlreadyWaiting)
{
    // FOUR_CHECKPOINTS reaches its only report at the fourth checkpoint.
    const struct {
        const char* name;
        std::vector<scripted::Key> keys;
    } cases[] = {
        {"second of two keys pressed before the last checkpoint", {{4, 'x'}, {4, 'y'}}},
        {"held second code of a key read at the last checkpoint", {{4, 0}, {0, 59}}},
        {"Esc ends the wait like any key", {{4, 'x'}, {4, ESC}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scripted::reset(c.keys);
        quit_flag = false;
        search_primes_within<FOUR_CHECKPOINTS>();
        EXPECT_TRUE(quit_flag);
        EXPECT_EQ(scripted::polls(), 5);
        EXPECT_EQ(scripted::keys_left(), 0u);
        EXPECT_EQ(scripted::output(), expected_output(FOUR_CHECKPOINTS));
    }
}

TEST_F(SecondPhase, WaitEndsWhenThereIsNoConsole)
{
    scripted::reset({}, false);
    search_primes_within<FOUR_CHECKPOINTS>();
    EXPECT_TRUE(quit_flag);
    EXPECT_EQ(scripted::polls(), 5);
    EXPECT_EQ(scripted::output(), expected_output(FOUR_CHECKPOINTS));
}

TEST_F(SecondPhase, ReportsTheTimeSinceTheStart)
{
    scripted::reset({{5, 'k'}});
    start_ms = 0xFFFFFF00u;
    scripted::set_clock(start_ms + 83456);
    search_primes_within<FOUR_CHECKPOINTS>();
    EXPECT_NE(scripted::output().find("\nTime taken: 1 Minutes, 23 Seconds, 456 Milliseconds\nAny key exits..."),
              std::string::npos)
        << scripted::output();
}

} // namespace
