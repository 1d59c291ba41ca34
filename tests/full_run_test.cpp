// Complete runs of the real binary, checked byte for byte. About a minute each.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/terminal.h"

namespace {

// The whole output of a complete run, with the time report's numbers as T.
std::string complete_run()
{
    std::ifstream file(PRIMEBENCH_COMPLETE_RUN);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_FALSE(text.str().empty()) << PRIMEBENCH_COMPLETE_RUN;
    return text.str();
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

std::string with_crlf(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

TEST(CompleteRun, WithoutATerminalItEndsByItselfAfterThePrompt)
{
    const Detached run = run_detached(10 * 60 * 1000);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(with_time_masked(run.output), complete_run());
}

// The reported time against this test's own monotonic clock, read when the
// banner arrived and when the time report did.
TEST(CompleteRun, OnATerminalAKeyAtThePromptEndsIt)
{
    using namespace std::chrono;
    Terminal t;
    ASSERT_TRUE(t.wait_for("Esc to quit...\r\n"));
    const auto banner = steady_clock::now();
    ASSERT_TRUE(t.wait_for(" Milliseconds\r\n", 1, 10 * 60 * 1000));
    const auto report = steady_clock::now();
    ASSERT_TRUE(t.wait_for("Any key exits..."));
    // Waiting for the key, it sleeps.
    const long waiting = t.cpu_ticks_during(1000);
    std::printf("CPU at the prompt: %ld ticks in 1 s\n", waiting);
    EXPECT_LE(waiting, 1);
    t.type("k");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    EXPECT_EQ(with_time_masked(t.output()), with_crlf(complete_run()));
    EXPECT_TRUE(same_settings(t.settings(), t.initial()));

    const long long outside = duration_cast<milliseconds>(report - banner).count();
    const long long reported = reported_ms(t.output());
    std::printf("time report %lld ms, this test's clock %lld ms\n", reported, outside);
    EXPECT_NEAR(static_cast<double>(reported), static_cast<double>(outside), 50.0)
        << "reported " << reported << " ms, measured " << outside << " ms";
}

} // namespace
