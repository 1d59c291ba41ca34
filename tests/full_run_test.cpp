// Complete runs of the real binary, checked byte for byte. About a minute each.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/terminal.h"

namespace {

// What a file holds now; empty while it does not exist.
std::string file_text(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The whole output of a complete run, with the time report's numbers as T.
std::string complete_run()
{
    const std::string text = file_text(PRIMEBENCH_COMPLETE_RUN);
    EXPECT_FALSE(text.empty()) << PRIMEBENCH_COMPLETE_RUN;
    return text;
}

// Replaces the three numbers of the one time report with T, after checking
// that they are a well-formed time.
std::string with_time_masked(const std::string& out)
{
    const std::string head = "Time taken: ";
    const size_t at = out.find(head);
    EXPECT_NE(at, std::string::npos) << out;
    EXPECT_EQ(out.find(head, at + 1), std::string::npos) << out;
    if (at == std::string::npos)
        return out;
    const size_t start = at + head.size();
    const size_t end = out.find_first_of("\r\n", start);
    int minutes = -1, seconds = -1, ms = -1, length = 0;
    std::sscanf(out.c_str() + start, "%d Minutes, %d Seconds, %d Milliseconds%n", &minutes, &seconds, &ms, &length);
    EXPECT_EQ(static_cast<size_t>(length), end - start) << out;
    EXPECT_TRUE(minutes >= 0 && seconds >= 0 && seconds < 60 && ms >= 0 && ms < 1000) << out;
    return out.substr(0, start) + "T" + out.substr(end);
}

long long reported_ms(const std::string& out)
{
    const size_t at = out.find("Time taken: ");
    int minutes = 0, seconds = 0, ms = 0;
    if (at == std::string::npos ||
        std::sscanf(out.c_str() + at, "Time taken: %d Minutes, %d Seconds, %d Milliseconds", &minutes, &seconds, &ms) != 3)
        return -1;
    return (minutes * 60LL + seconds) * 1000 + ms;
}

TEST(CompleteRun, WithoutATerminalItEndsByItselfAfterThePrompt)
{
    const Detached run = run_detached(10 * 60 * 1000);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(with_time_masked(run.output), complete_run());
}

// The rate line's numbers, checked against the run's time, then masked:
// the slowest thread's time is the run's, the fastest is no faster than 0,
// and the rate is the threads' runs over that time.
std::string with_rate_masked(const std::string& out, int threads)
{
    const std::string head = std::to_string(threads) + " threads on ";
    const size_t at = out.find("\n" + head);
    EXPECT_NE(at, std::string::npos) << out;
    if (at == std::string::npos)
        return out;
    const size_t start = at + 1;
    const size_t end = out.find('\n', start);
    int n = 0, cpus = 0, length = 0;
    unsigned s1 = 0, ms1 = 0, s2 = 0, ms2 = 0, rate = 0, hundredths = 0;
    std::sscanf(out.c_str() + start, "%d threads on %d CPUs: each thread %u.%3u to %u.%3u seconds; %u.%2u runs a minute%n",
                &n, &cpus, &s1, &ms1, &s2, &ms2, &rate, &hundredths, &length);
    EXPECT_EQ(static_cast<size_t>(length), end - start) << out;
    EXPECT_EQ(n, threads);
    EXPECT_GE(cpus, 1);
    const long long slowest = s2 * 1000LL + ms2;
    EXPECT_LE(s1 * 1000LL + ms1, slowest);
    EXPECT_EQ(slowest, reported_ms(out)) << "the run ends with its slowest thread";
    if (slowest > 0) {
        EXPECT_NEAR(rate + hundredths / 100.0, threads * 60000.0 / static_cast<double>(slowest), 0.006) << out;
    }
    return out.substr(0, start) + "RATE" + out.substr(end);
}

TEST(CompleteRun, OnTwoThreadsWithoutATerminalEveryLineIsTheSingleRunsAndTheRateFollows)
{
    if (EMULATED)
        GTEST_SKIP() << "two complete runs at once take many minutes emulated";
    const Detached run = run_detached(10 * 60 * 1000, {"--threads", "2"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.errors, "");
    std::string expected = complete_run();
    expected.replace(0, expected.find('\n'), "Computing 15,000,000 Prime Numbers on 2 threads - Esc to quit...");
    expected.insert(expected.find('\n', expected.find("Time taken: T")) + 1, "RATE\n");
    EXPECT_EQ(with_time_masked(with_rate_masked(run.output, 2)), expected);
}

// Looks every few milliseconds, so that the moment it is seen can be timed.
testing::AssertionResult wait_for_in_file(const std::string& path, const std::string& text, int timeout_ms = 20000)
{
    if (wait_until([&] { return file_text(path).find(text) != std::string::npos; }, timeout_ms))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << testing::PrintToString(text) << " not in " << path
                                       << "; it holds, at the end: " << tail_of(file_text(path));
}

// `primebench > file` on a terminal: each message is in the file as soon as
// it is printed, so Ctrl+C at the prompt loses nothing. The reported time is
// checked against this test's own monotonic clock, read when the banner and
// the time report reached the file.
TEST(CompleteRun, OnATerminalWithOutputToAFileCtrlCAtThePromptLosesNothing)
{
    using namespace std::chrono;
    const std::string file = testing::TempDir() + "primebench_complete_run.out";
    std::remove(file.c_str());
    Launch launch;
    launch.shell_command = "exec $PRIMEBENCH >'" + file + "'";
    Terminal t(launch);
    ASSERT_TRUE(wait_for_in_file(file, "Esc to quit...\n"));
    const auto banner = steady_clock::now();
    ASSERT_TRUE(wait_for_in_file(file, " 1,000,000th Prime: 15485863\n"));
    EXPECT_EQ(file_text(file).find("Time taken"), std::string::npos) << "not while the run goes on";
    ASSERT_TRUE(wait_for_in_file(file, " Milliseconds\n", 10 * 60 * 1000));
    const auto report = steady_clock::now();
    ASSERT_TRUE(wait_for_in_file(file, "Any key exits..."));
    // Waiting for the key, it sleeps.
    if (proc_readings("CPU at the prompt")) {
        const long waiting = t.cpu_ticks_during(1000);
        std::printf("CPU at the prompt: %ld ticks in 1 s\n", waiting);
        EXPECT_LE(waiting, 1);
    }
    const std::string at_prompt = file_text(file);
    t.type("\x03");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 128 + SIGINT);
    EXPECT_EQ(file_text(file), at_prompt);
    EXPECT_EQ(with_time_masked(at_prompt) + "\nExiting...", complete_run());
    EXPECT_EQ(t.output(), "") << "the terminal shows nothing of the output";
    EXPECT_TRUE(same_settings(t.settings(), t.initial()));
    std::remove(file.c_str());

    const long long outside = duration_cast<milliseconds>(report - banner).count();
    const long long reported = reported_ms(at_prompt);
    std::printf("time report %lld ms, this test's clock %lld ms\n", reported, outside);
    EXPECT_NEAR(static_cast<double>(reported), static_cast<double>(outside), 50.0)
        << "reported " << reported << " ms, measured " << outside << " ms";
}

} // namespace
