// Complete runs of the real binary, checked byte for byte. About a minute each.

#include <regex>
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

// The whole output with the time report's three numbers left as they came.
const std::regex TIME_REPORT("(\r?\n)Time taken: [0-9]+ Minutes, [0-9]+ Seconds, [0-9]+ Milliseconds(\r?\n)");

std::string complete_run()
{
    std::string out = "Computing 15,000,000 Prime Numbers - Esc to quit...\n";
    for (int m = 1; m <= 15; ++m)
        out += std::string(10, '.') + (m < 10 ? "\n " : "\n") + std::to_string(m) + ",000,000th Prime: " +
               MILLIONTH_PRIMES[m - 1] + "\n";
    return out + "\nTime taken: T\nAny key exits...\nExiting...";
}

std::string with_time_masked(const std::string& out)
{
    EXPECT_EQ(std::distance(std::sregex_iterator(out.begin(), out.end(), TIME_REPORT), std::sregex_iterator()), 1)
        << out;
    return std::regex_replace(out, TIME_REPORT, "$1Time taken: T$2");
}

std::string with_crlf(const std::string& text)
{
    return std::regex_replace(text, std::regex("\n"), "\r\n");
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
