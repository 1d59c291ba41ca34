// Complete runs of the real binary, checked byte for byte. About a minute each.

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "tests/terminal.h"

namespace {

// The nth-million primes, n = 1 to 15.
const char* const MILLIONTH_PRIMES[] = {
    "15485863",  "32452843",  "49979687",  "67867967",  "86028121",
    "104395301", "122949823", "141650939", "160481183", "179424673",
    "198491317", "217645177", "236887691", "256203161", "275604541",
};


std::string complete_run()
{
    std::string out = "Computing 15,000,000 Prime Numbers - Esc to quit...\n";
    for (int m = 1; m <= 15; ++m)
        out += std::string(10, '.') + (m < 10 ? "\n " : "\n") + std::to_string(m) + ",000,000th Prime: " +
               MILLIONTH_PRIMES[m - 1] + "\n";
    return out + "\nTime taken: T\nAny key exits...\nExiting...";
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

TEST(CompleteRun, OnATerminalAKeyAtThePromptEndsIt)
{
    Terminal t;
    ASSERT_TRUE(t.wait_for("Any key exits...", 1, 10 * 60 * 1000));
    t.type("k");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    EXPECT_EQ(with_time_masked(t.output()), with_crlf(complete_run()));
    EXPECT_TRUE(same_settings(t.settings(), t.initial()));
}

} // namespace
