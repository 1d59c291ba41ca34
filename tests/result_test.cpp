// What travels with a result: its JSON, read by a real parser; the wrong
// primes of a machine that computes wrongly, caught; the build and the CPU
// named as the compiler and the kernel name them.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "bench/plain_search.h"
#include "console/json.h"
#include "tests/terminal.h"

namespace {

using nlohmann::json;

// The short run's reports: the 10,000th to the 150,000th prime, from a sieve.
std::vector<int64_t> short_run_primes()
{
    const std::vector<uint32_t> primes = sieve_primes_below(2100000);
    std::vector<int64_t> reports;
    for (size_t m = 1; m <= 15; ++m)
        reports.push_back(primes[10000 * m - 1]);
    return reports;
}

json parsed(const std::string& text)
{
    const json document = json::parse(text, nullptr, false);
    EXPECT_FALSE(document.is_discarded()) << "not one JSON document: " << text;
    return document;
}

std::string own_host_name()
{
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

TEST(ResultInJson, OfAShortRunAndARateRunHasEveryField)
{
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        int threads;
    } rows[] = {{"single run", {"--json"}, 1}, {"rate run", {"--json", "--threads", "3"}, 3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Detached run = run_detached(60000, row.arguments, SHORT_RUN_BINARY);
        EXPECT_EQ(run.exit_code, 0);
        EXPECT_EQ(run.errors, "");
        const json r = parsed(run.output);
        ASSERT_TRUE(r.is_object());
        EXPECT_EQ(r["schema"], 1);
        EXPECT_EQ(r["program"]["name"], "primebench");
        EXPECT_EQ(r["program"]["version"], PRIMEBENCH_VERSION);
        EXPECT_EQ(r["mode"], row.threads == 1 && row.arguments.size() == 1 ? "single" : "rate");
        EXPECT_EQ(r["threads"], row.threads);
        EXPECT_EQ(r["ended"], "completed");
        EXPECT_EQ(r["valid"], true);
        EXPECT_GE(r["cpus"].get<int>(), 1);
        EXPECT_EQ(r["host"], own_host_name());
        const std::string start = r["start_utc"].get<std::string>();
        int length = 0;
        std::sscanf(start.c_str(), "%*4d-%*2d-%*2dT%*2d:%*2d:%*2dZ%n", &length);
        EXPECT_TRUE(length == 20 && start.size() == 20) << start;
        EXPECT_EQ(r["runs_a_minute"].is_number(), row.threads > 1);
        ASSERT_EQ(r["per_thread"].size(), static_cast<size_t>(row.threads));
        for (const json& t : r["per_thread"]) {
            EXPECT_EQ(t["millionth_primes"].get<std::vector<int64_t>>(), short_run_primes());
            EXPECT_LE(t["elapsed_ms"].get<int64_t>(), r["elapsed_ms"].get<int64_t>());
        }
    }
}

TEST(ResultInJson, AfterAnEscOnATerminalItIsAllThatIsPrinted)
{
    Terminal t({.shell_command = "exec $PRIMEBENCH --json"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    t.type("\x1b");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    const json r = parsed(t.output());
    EXPECT_EQ(r["ended"], "esc");
    EXPECT_EQ(r["valid"], true);
    EXPECT_TRUE(r["per_thread"][0]["elapsed_ms"].is_null());
    EXPECT_TRUE(same_settings(t.settings(), t.initial()));
}

TEST(ResultInJson, AnyNameMakesAValidDocument)
{
    RunResult result;
    result.cpu = "a \"quoted\" \\name\\ \x01\t\xff\xc3\x28 \xc3\xa9";
    result.host = "\"\\\"";
    result.per_thread.push_back({-1, {}});
    const json r = parsed(result_json(result));
    EXPECT_EQ(r["cpu"], "a \"quoted\" \\name\\ \x01\t\xef\xbf\xbd\xef\xbf\xbd( \xc3\xa9");
    EXPECT_EQ(r["host"], "\"\\\"");
}

TEST(WrongResult, IsCaughtOnATerminalInJsonAndInOneThreadOfARateRun)
{
    const std::vector<int64_t> known = short_run_primes();
    Terminal t({.program = FAULTY_RUN_BINARY});
    ASSERT_TRUE(t.wait_for("Any key exits..."));
    t.type("k");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 3);
    // Each line as computed, then what it should have been.
    int wrong = 0;
    for (size_t at = t.output().find("Prime: "); at != std::string::npos; at = t.output().find("Prime: ", at + 1)) {
        const size_t line = t.output().rfind('\n', at) + 1;
        long long m = 0, computed = 0, right = 0, not_it = 0;
        if (std::sscanf(t.output().c_str() + line, "%lld,000,000th Prime: %lld\r\nWrong: the %*d,000,000th prime is %lld, not %lld.",
                        &m, &computed, &right, &not_it) == 4 && m >= 1 && m <= 15) {
            ++wrong;
            EXPECT_EQ(right, known[static_cast<size_t>(m - 1)]);
            EXPECT_EQ(not_it, computed);
        }
    }
    EXPECT_EQ(wrong, 15) << t.output();
    EXPECT_TRUE(t.output().ends_with(" Milliseconds\r\nNot a valid result: 15 of the primes reported were wrong.\r\n"
                                     "Any key exits...\r\nExiting..."))
        << t.output();

    const Detached in_json = run_detached(60000, {"--json"}, FAULTY_RUN_BINARY);
    EXPECT_EQ(in_json.exit_code, 3);
    const json r = parsed(in_json.output);
    EXPECT_EQ(r["ended"], "completed");
    EXPECT_EQ(r["valid"], false);
    EXPECT_NE(r["per_thread"][0]["millionth_primes"].get<std::vector<int64_t>>(), known);

    const Detached rate = run_detached(60000, {"--threads", "3"}, FAULTY_RUN_BINARY);
    EXPECT_EQ(rate.exit_code, 3);
    for (int64_t m = 1; m <= 15; ++m) {
        const int64_t prime = known[static_cast<size_t>(m - 1)];
        EXPECT_NE(rate.output.find("Wrong in thread 2: the " + std::to_string(m) + ",000,000th prime is " +
                                   std::to_string(prime) + ", not " + std::to_string(prime + 2) + ".\n"),
                  std::string::npos)
            << m;
    }
    EXPECT_EQ(count_of(rate.output, "Wrong"), 15) << rate.output;
    EXPECT_NE(rate.output.find(" runs a minute\nNot a valid result: 15 of the primes reported were wrong.\n"),
              std::string::npos)
        << rate.output;
}

// The first line a command prints.
std::string first_line_of(const std::string& command)
{
    std::string line;
    if (FILE* out = popen(command.c_str(), "r")) {
        char buffer[512];
        if (std::fgets(buffer, sizeof buffer, out))
            line = buffer;
        pclose(out);
    }
    return line;
}

TEST(Version, NamesTheCompilerAsTheCompilerNamesItself)
{
    const Detached run = run_detached(20000, {"--version"});
    // "primebench VERSION\nbuilt by COMPILER VERSION... for TARGET, TYPE\n"
    char compiler[64] = "", version[64] = "";
    ASSERT_EQ(std::sscanf(run.output.c_str(), "primebench %*s built by %63s %63s", compiler, version), 2) << run.output;
    EXPECT_NE(run.output.find(" for "), std::string::npos) << run.output;
    const std::string compiler_says = first_line_of(std::string(PRIMEBENCH_CXX_COMPILER) + " --version");
    EXPECT_NE(compiler_says.find(version), std::string::npos) << compiler_says << " / " << run.output;
}

TEST(CpuName, IsTheModelNameThatTheKernelGivesOnX86)
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line, name;
    while (name.empty() && std::getline(cpuinfo, line)) {
        if (line.starts_with("model name") && line.find(':') != std::string::npos) {
            name = line.substr(line.find_first_not_of(" \t", line.find(':') + 1));
            name.erase(name.find_last_not_of(" \t") + 1);
        }
    }
    if (EMULATED || name.empty())
        GTEST_SKIP() << "natively on x86 Linux only, where /proc/cpuinfo has a model name";
    const Detached run = run_detached(60000, {"--json"}, SHORT_RUN_BINARY);
    EXPECT_EQ(parsed(run.output)["cpu"], name);
}

} // namespace
