// The rate run's coordinator with real threads and the scripted console:
// every assertion is made on this, the console's, thread (the MinGW build's
// GoogleTest has no threads of its own).

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "console/report.h"
#include "engine/primes.h"
#include "engine/rate.h"
#include "tests/expected_output.h"
#include "tests/scripted_console.h"

namespace {

constexpr int THREADS = 3;
constexpr int CPUS = 8;
constexpr uint32_t RUN_MS = 12345;

// The short run's limits, and one whose threads would take a minute and
// more to finish, so that an Esc is always read first.
constexpr SearchLimits SHORT_RUN{1000, 10000, 15, 4293001441};
constexpr SearchLimits CANDIDATE_LIMITED{1000, 10000, 15, 300001};
constexpr SearchLimits LONG_RUN{1000, 1000000, 15, 4293001441};

class RateRun : public SecondPhaseTest {
protected:
    void SetUp() override
    {
        SecondPhaseTest::SetUp();
        scripted::set_clock(RUN_MS); // every thread finds its last prime at 12.345 s
    }
};

template <SearchLimits L>
bool rate_run()
{
    return run_on_threads(THREADS, CPUS, L, search_primes_for_worker_within<L>);
}

// The single run's output, with the rate run's time and rate line.
std::string expected_rate_output(const SearchLimits& l)
{
    std::string out = expected_output(l);
    const std::string still = "\nTime taken: 0 Minutes, 0 Seconds, 0 Milliseconds\n";
    const size_t at = out.find(still);
    if (at != std::string::npos)
        out.replace(at, still.size(),
                    "\nTime taken: 0 Minutes, 12 Seconds, 345 Milliseconds\n"
                    "3 threads on 8 CPUs: each thread 12.345 to 12.345 seconds; 14.58 runs a minute\n");
    return out;
}

TEST_F(RateRun, ThreeThreadsShowTheSingleRunsDotsAndLinesThenTheirRate)
{
    const struct {
        const char* name;
        bool (*run)();
        SearchLimits limits;
        bool completes;
    } cases[] = {
        {"completed, then the prompt", rate_run<SHORT_RUN>, SHORT_RUN, true},
        {"the candidate limit ends it silently", rate_run<CANDIDATE_LIMITED>, CANDIDATE_LIMITED, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const long checkpoints = checkpoints_of(c.limits);
        // The key for the prompt, typed once the last dot is shown.
        scripted::reset(c.completes ? std::vector<scripted::Key>{{0, 'k', checkpoints}} : std::vector<scripted::Key>{});
        quit_flag = false;
        ASSERT_TRUE(c.run());
        EXPECT_EQ(scripted::output(), expected_rate_output(c.limits));
        EXPECT_EQ(quit_flag, c.completes);
        EXPECT_EQ(scripted::keys_left(), 0u);
        const auto& primes = primes_below_20m();
        for (int i = 0; i < THREADS; ++i) {
            SCOPED_TRACE(i);
            const WorkerProgress& w = worker_progress(i);
            EXPECT_EQ(w.checkpoints.load(), checkpoints);
            EXPECT_FALSE(w.stopped);
            for (int64_t m = 1; c.completes && m <= c.limits.final_report; ++m)
                EXPECT_EQ(w.report_primes[m - 1], primes[static_cast<size_t>(m * c.limits.report_interval - 1)]);
        }
    }
}

TEST_F(RateRun, EscEndsEveryThreadAtItsNextCheckpoint)
{
    const struct {
        const char* name;
        std::vector<scripted::Key> keys;
        long dots;
    } cases[] = {
        {"Esc before the first checkpoint", {{0, ESC, 0}}, 0},
        {"Esc after three dots", {{0, ESC, 3}}, 3},
        {"a letter is read and dropped, the Esc after it ends the run", {{0, 'x', 1}, {0, ESC, 3}}, 3},
        {"a second code of 27 ends it", {{0, 0, 2}, {0, ESC, 3}}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scripted::reset(c.keys);
        quit_flag = false;
        ASSERT_TRUE(rate_run<LONG_RUN>());
        EXPECT_TRUE(quit_flag);
        EXPECT_EQ(scripted::output(), std::string(static_cast<size_t>(c.dots), '.'));
        EXPECT_EQ(scripted::keys_left(), 0u);
        for (int i = 0; i < THREADS; ++i) {
            SCOPED_TRACE(i);
            EXPECT_TRUE(worker_progress(i).stopped);
            EXPECT_LT(worker_progress(i).checkpoints.load(), 15000);
        }
    }
}

} // namespace
