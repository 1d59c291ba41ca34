// The real binary on a pseudo-terminal: what a person at a terminal sees.
// Each row of a table that may not run everywhere is a test of its own, so
// that where it cannot run it is reported as skipped, with its reason.

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/terminal.h"

namespace {

const std::string BANNER = "Computing 15,000,000 Prime Numbers - Esc to quit...\r\n";

bool only_dots(const std::string& text)
{
    return !text.empty() && text.find_first_not_of('.') == std::string::npos;
}

// The output after the banner of a run that Esc ended in the second phase:
// dots, then the closing message on a line of its own.
bool ended_by_esc(const std::string& text)
{
    const std::string closing = "\r\nExiting...";
    return text.size() > closing.size() && text.ends_with(closing) &&
           only_dots(text.substr(0, text.size() - closing.size()));
}

std::string after_banner(const Terminal& t, const std::string& banner = BANNER)
{
    const std::string& out = t.output();
    return out.compare(0, banner.size(), banner) == 0 ? out.substr(banner.size()) : "<no banner> " + out;
}

// Progress dots: those after the banner and before the closing message.
int dots_after_banner(const Terminal& t, const std::string& banner = BANNER)
{
    const std::string rest = after_banner(t, banner);
    return count_of(rest.substr(0, rest.find('\r')), ".");
}

// Waits for n progress dots; the banner ends with three dots of its own.
testing::AssertionResult wait_for_dots(Terminal& t, int n)
{
    return t.wait_for(".", 3 + n);
}

void expect_terminal_restored(const Terminal& t)
{
    EXPECT_TRUE(same_settings(t.settings(), t.initial()));
}

// Types Esc mid-run: the run must end by it, with status 0, the dots so far,
// the closing message and the terminal as it was.
void end_with_esc(Terminal& t)
{
    t.type("\x1b");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    EXPECT_TRUE(ended_by_esc(after_banner(t))) << t.output();
    expect_terminal_restored(t);
}

// A row's name as a test's: letters and digits, the rest as underscores.
template <class Row>
std::string row_name(const testing::TestParamInfo<Row>& info)
{
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

// Rows marked to run with poll() as macOS's need its stand-in preloaded.
bool no_poll_stand_in(bool as_on_macos)
{
    return as_on_macos && POLL_STAND_IN[0] == '\0';
}
constexpr const char* NO_POLL_STAND_IN = "the poll() stand-in is preloaded only into a native build without sanitizers";

TEST(OnATerminal, KeysTypedAheadDiscardTheFirstAndEndTheRunAtTheFirstCheckpoint)
{
    Terminal t({"x\x1b"});
    EXPECT_EQ(t.echo(), "x^[") << "the shell's terminal echoes what is typed before the start";
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    EXPECT_EQ(t.output(), BANNER + "\r\nExiting...");
    expect_terminal_restored(t);
}

TEST(OnATerminal, EscAfterSomeDotsEndsTheRunWithoutATimeReport)
{
    Terminal t;
    ASSERT_TRUE(wait_for_dots(t, 2));
    t.type("ab"); // read and dropped at the next two checkpoints, never echoed
    ASSERT_TRUE(wait_for_dots(t, 3));
    EXPECT_NE(t.settings().c_lflag & ICANON, t.initial().c_lflag & ICANON) << "not in non-canonical mode";
    EXPECT_EQ(t.settings().c_lflag & ECHO, 0u);
    end_with_esc(t);
}

struct SignalRow {
    const char* name;
    const char* keys; // typed, or nullptr to send the signal
    int sig;
    bool emulator_reports_it = false; // qemu-user prints a core dump line of its own
};

class SignalsEndIt : public testing::TestWithParam<SignalRow> {};

TEST_P(SignalsEndIt, WithTheTerminalRestored)
{
    const SignalRow& c = GetParam();
    if (EMULATED && c.emulator_reports_it)
        GTEST_SKIP() << "under emulation, qemu prints its own core dump line on the terminal";
    Terminal t;
    ASSERT_TRUE(wait_for_dots(t, 1));
    if (c.keys)
        t.type(c.keys);
    else
        kill(t.program(), c.sig);
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 128 + c.sig);
    EXPECT_TRUE(only_dots(after_banner(t))) << t.output();
    expect_terminal_restored(t);
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalsEndIt,
                         testing::Values(SignalRow{"Ctrl+C", "\x03", SIGINT}, SignalRow{"Ctrl+\\", "\x1c", SIGQUIT, true},
                                         SignalRow{"kill", nullptr, SIGTERM}, SignalRow{"hang-up", nullptr, SIGHUP},
                                         SignalRow{"alarm", nullptr, SIGALRM},
                                         SignalRow{"user signal", nullptr, SIGUSR1},
                                         SignalRow{"CPU time limit", nullptr, SIGXCPU},
                                         SignalRow{"abort", nullptr, SIGABRT, true}),
                         row_name<SignalRow>);

TEST(OnATerminal, OutputThatCannotBeWrittenEndsWithStatusOneAndTheCause)
{
    const struct {
        const char* name;
        const char* command;
        const char* on_stderr; // the terminal is standard error
    } cases[] = {
        {"standard output full", "exec $PRIMEBENCH >/dev/full", "No space left on device"},
        {"standard output closed: never replaced by the terminal", "exec $PRIMEBENCH >&-", "Bad file descriptor"},
        {"all three closed", "exec $PRIMEBENCH <&- >&- 2>&-", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Launch launch;
        launch.shell_command = c.command;
        Terminal t(launch);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        t.type("\x1b");
        ASSERT_TRUE(t.wait_for_exit());
        EXPECT_EQ(t.exit_code(), 1);
        EXPECT_EQ(t.output(), c.on_stderr ? "primebench: cannot write the output: " + std::string(c.on_stderr) + "\r\n"
                                          : std::string());
        expect_terminal_restored(t);
    }
}

TEST(OnATerminal, TwoInstancesLeaveTheTerminalAsItWasInEitherOrder)
{
    for (const char* order : {"$a $b", "$b $a"}) {
        SCOPED_TRACE(order);
        Launch launch;
        launch.shell_command = std::string("$PRIMEBENCH & a=$!; sleep 0.5; $PRIMEBENCH & b=$!; sleep 0.5; for p in ") +
                               order + "; do kill $p; wait $p; done";
        Terminal t(launch);
        ASSERT_TRUE(t.wait_for_exit());
        EXPECT_EQ(count_of(t.output(), "Esc to quit"), 2) << t.output();
        expect_terminal_restored(t);
    }
}

TEST(OnATerminal, CtrlZRestoresTheTerminalWhileStoppedAndRetakesItOnContinue)
{
    Terminal t;
    ASSERT_TRUE(wait_for_dots(t, 1));
    t.type("\x1a");
    if (proc_readings("stopped by Ctrl+Z")) {
        ASSERT_TRUE(wait_until([&] { return t.state() == 'T'; })) << "not stopped";
    }
    ASSERT_TRUE(wait_until([&] { return same_settings(t.settings(), t.initial()); })) << "not restored";
    kill(t.program(), SIGCONT);
    ASSERT_TRUE(wait_until([&] { return (t.settings().c_lflag & ECHO) == 0; })) << "echo stays on";
    end_with_esc(t);
}

TEST(OnATerminal, InTheBackgroundItRunsOnAndLeavesTheTerminalAlone)
{
    Terminal t({"", true});
    ASSERT_TRUE(wait_for_dots(t, 3));
    if (proc_readings("not stopped in the background")) {
        EXPECT_NE(t.state(), 'T');
    }
    expect_terminal_restored(t);
    t.hand_over_terminal();
    // It takes the terminal at its next checkpoint.
    ASSERT_TRUE(wait_until([&] { return (t.settings().c_lflag & ECHO) == 0; }, 5000 + 3 * t.checkpoint_ms()))
        << "never took the terminal";
    end_with_esc(t);
}

struct KeyRow {
    const char* name;
    const char* bytes;
    int further_dots; // beyond an Esc typed alone at the same moment
    bool as_on_macos = false;
    // Set before the start, as a BSD kernel sets PENDIN when a shell turns
    // ICANON on, and cleared once the run goes, as it does at the first
    // read: a program that set it with its own settings would no longer
    // know the terminal as its own.
    tcflag_t kernel_flags = 0;
};

class KeysWithAnEsc : public testing::TestWithParam<KeyRow> {};

TEST_P(KeysWithAnEsc, AKeyTypedWithAnEscUsesOneCheckpointPerCode)
{
    const KeyRow& c = GetParam();
    if (no_poll_stand_in(c.as_on_macos))
        GTEST_SKIP() << NO_POLL_STAND_IN;
    Terminal t({.kernel_local_flags = c.kernel_flags, .poll_as_on_macos = c.as_on_macos});
    ASSERT_TRUE(wait_for_dots(t, 1));
    EXPECT_EQ(t.settings().c_lflag & KERNEL_LOCAL_FLAGS, 0u) << "the kernel's flags among ours";
    t.clear_local_flags(c.kernel_flags);
    t.type(c.bytes);
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    EXPECT_TRUE(ended_by_esc(after_banner(t))) << t.output();
    EXPECT_EQ(dots_after_banner(t), 1 + c.further_dots) << t.output();
    expect_terminal_restored(t);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeysWithAnEsc,
    testing::Values(KeyRow{"Esc alone", "\x1b", 0},
                    KeyRow{"Esc alone, PENDIN set by the shell, then cleared by the kernel", "\x1b", 0, false, PENDIN},
                    KeyRow{"Esc alone, poll() as on macOS", "\x1b", 0, true}, KeyRow{"Up, then Esc", "\x1b[A\x1b", 2},
                    KeyRow{"Up, then Esc, poll() as on macOS", "\x1b[A\x1b", 2, true},
                    KeyRow{"a letter, then Esc", "q\x1b", 1}, KeyRow{"a focus report, then Esc", "\x1b[I\x1b", 0},
                    KeyRow{"an SGR mouse report, then Esc", "\x1b[<0;12;7M\x1b", 0},
                    KeyRow{"st's Ctrl+Delete never swallows the Esc after it", "\x1b[M\x1b", 2},
                    KeyRow{"rxvt's Alt+Up is no Esc", "\x1b\x1b[A\x1b", 2},
                    KeyRow{"Alt+] ends the run at its second code", "\x1b]", 1},
                    KeyRow{"Ctrl+S is a key, no pause of the output", "\x13\x1b", 1}),
    row_name<KeyRow>);

TEST(KeysOnATerminal, AnArrowSplitAcrossTwoWritesDoesNotEndTheRun)
{
    Terminal t;
    ASSERT_TRUE(wait_for_dots(t, 1));
    t.type("\x1b");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    t.type("[A");
    ASSERT_TRUE(wait_for_dots(t, 4)) << "the run ended: " << t.output();
    end_with_esc(t);
}

TEST(KeysOnATerminal, EnterReadsAsCarriageReturnAndCrToLfIsRestored)
{
    Terminal t;
    ASSERT_TRUE(wait_for_dots(t, 1));
    EXPECT_EQ(t.settings().c_iflag & ICRNL, 0u);
    EXPECT_NE(t.initial().c_iflag & ICRNL, 0u);
    t.type("\r\x1b");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(dots_after_banner(t), 2) << t.output();
    expect_terminal_restored(t);
}

// wait_for_key() on its own, then the key it waited for; the same probe.
TEST(WaitForKeyOnATerminal, SleepsInTheForegroundAndInTheBackground)
{
    for (const bool background : {false, true}) {
        SCOPED_TRACE(background ? "background" : "foreground");
        Launch launch;
        launch.background = background;
        launch.shell_command = "exec " + command_for(READ_KEY_PROBE) + " wait";
        Terminal t(launch);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (proc_readings("CPU and state while it waits")) {
            EXPECT_LE(t.cpu_ticks_during(1000), 1) << "CPU ticks in a second of waiting";
            EXPECT_NE(t.state(), 'T');
        }
        if (background) {
            expect_terminal_restored(t);
            t.hand_over_terminal();
            ASSERT_TRUE(wait_until([&] { return (t.settings().c_lflag & ECHO) == 0; })) << "never took the terminal";
        }
        EXPECT_NE(t.settings().c_lflag & ISIG, 0u) << "the signal keys are off while it waits";
        t.type("k");
        ASSERT_TRUE(t.wait_for_exit());
        EXPECT_EQ(t.output(), "107\r\n");
        expect_terminal_restored(t);
    }
}

struct ReadKeyRow {
    const char* name;
    const char* keys;
    const char* codes;
    bool as_on_macos = false;
};

class ReadKeyOnATerminal : public testing::TestWithParam<ReadKeyRow> {};

// read_key() on its own, waiting for a key: the signal keys are keys then.
TEST_P(ReadKeyOnATerminal, WhileItWaitsCtrlCIsCodeThreeAndTheSettingsComeBack)
{
    const ReadKeyRow& c = GetParam();
    if (no_poll_stand_in(c.as_on_macos))
        GTEST_SKIP() << NO_POLL_STAND_IN;
    Terminal t({.program = READ_KEY_PROBE, .poll_as_on_macos = c.as_on_macos});
    ASSERT_TRUE(wait_until([&] { return (t.settings().c_lflag & ISIG) == 0; })) << "signal keys stay on";
    EXPECT_EQ(t.settings().c_lflag & (ICANON | ECHO), 0u);
    t.type(c.keys);
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    EXPECT_EQ(t.output(), std::string(c.codes) + "\r\n");
    expect_terminal_restored(t);
}

INSTANTIATE_TEST_SUITE_P(Keys, ReadKeyOnATerminal,
                         testing::Values(ReadKeyRow{"Ctrl+C", "\x03", "3"}, ReadKeyRow{"Ctrl+Z", "\x1a", "26"},
                                         ReadKeyRow{"Ctrl+\\", "\x1c", "28"}, ReadKeyRow{"F1", "\x1bOP", "0 59"},
                                         ReadKeyRow{"F1, poll() as on macOS", "\x1bOP", "0 59", true}),
                         row_name<ReadKeyRow>);

struct PromptRow {
    const char* name;
    bool as_on_macos;
};

class PromptOnATerminal : public testing::TestWithParam<PromptRow> {};

// The program's own prompt, after a run cut short: asleep until a key, which
// then ends it.
TEST_P(PromptOnATerminal, SleepsUntilAKeyThenExits)
{
    const bool as_on_macos = GetParam().as_on_macos;
    if (no_poll_stand_in(as_on_macos))
        GTEST_SKIP() << NO_POLL_STAND_IN;
    Terminal t({.program = SHORT_RUN_BINARY, .poll_as_on_macos = as_on_macos});
    ASSERT_TRUE(t.wait_for("Any key exits..."));
    if (proc_readings("CPU at the prompt"))
        EXPECT_LE(t.cpu_ticks_during(1000), 1) << "CPU ticks in a second at the prompt";
    else
        std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_FALSE(t.wait_for("Exiting...", 1, 100)) << "the wait ended by itself";
    t.type("k");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    EXPECT_TRUE(t.output().ends_with(" Milliseconds\r\nAny key exits...\r\nExiting...")) << t.output();
    expect_terminal_restored(t);
}

INSTANTIATE_TEST_SUITE_P(Polls, PromptOnATerminal,
                         testing::Values(PromptRow{"poll() as on Linux", false}, PromptRow{"poll() as on macOS", true}),
                         row_name<PromptRow>);

struct RateKeyRow {
    const char* name;
    const char* keys;
    int exit_code;
};

class RateRunOnATerminal : public testing::TestWithParam<RateKeyRow> {};

// Two threads, a key typed after a few dots: Esc ends the run within one
// checkpoint, as a single run's; Ctrl+C ends it at once. Either way the
// terminal is as it was.
TEST_P(RateRunOnATerminal, AKeyEndsItAsItEndsASingleRun)
{
    const RateKeyRow& c = GetParam();
    const std::string banner = "Computing 15,000,000 Prime Numbers on 2 threads - Esc to quit...\r\n";
    Terminal t({.shell_command = "exec $PRIMEBENCH --threads 2"});
    ASSERT_TRUE(wait_for_dots(t, 2));
    const int shown = dots_after_banner(t, banner);
    t.type(c.keys);
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), c.exit_code);
    const std::string rest = after_banner(t, banner);
    EXPECT_TRUE(c.exit_code == 0 ? ended_by_esc(rest) : only_dots(rest)) << t.output();
    EXPECT_LE(dots_after_banner(t, banner), shown + 1) << "more than one checkpoint after the key";
    expect_terminal_restored(t);
}

INSTANTIATE_TEST_SUITE_P(Keys, RateRunOnATerminal,
                         testing::Values(RateKeyRow{"Esc", "\x1b", 0}, RateKeyRow{"Ctrl+C", "\x03", 128 + SIGINT}),
                         row_name<RateKeyRow>);

// Where the system starts one thread and refuses the next, the one started
// is stopped and waited for, the cause is said, and the terminal is as it was.
TEST(RateRunOnATerminal, ThreadsThatCannotStartEndItWithStatusOne)
{
    if (REFUSE_THREADS[0] == '\0')
        GTEST_SKIP() << "the pthread_create() stand-in is preloaded only into a native build without sanitizers";
    Terminal t({.shell_command = "exec $PRIMEBENCH --threads 3 2>&1", .threads_refused = true});
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 1);
    EXPECT_EQ(t.output(), "Computing 15,000,000 Prime Numbers on 3 threads - Esc to quit...\r\n"
                          "primebench: cannot start 3 threads: Resource temporarily unavailable\r\n");
    expect_terminal_restored(t);
}

// --threads all counts the CPUs this process may run on: one, under taskset.
TEST(RateRunOnATerminal, AllIsTheCpusOfTheAffinityMask)
{
    if (access("/usr/bin/taskset", X_OK) != 0)
        GTEST_SKIP() << "no /usr/bin/taskset here";
    Terminal t({.shell_command = "exec /usr/bin/taskset -c 0 " + command_for(SHORT_RUN_BINARY) + " --threads all"});
    ASSERT_TRUE(t.wait_for("Any key exits..."));
    t.type("k");
    ASSERT_TRUE(t.wait_for_exit());
    EXPECT_EQ(t.exit_code(), 0);
    EXPECT_TRUE(t.output().starts_with("Computing 15,000,000 Prime Numbers on 1 thread - Esc to quit...\r\n"))
        << t.output();
    EXPECT_NE(t.output().find("\r\n1 thread on 1 CPU: each thread "), std::string::npos) << t.output();
}

struct CommandLineRow {
    const char* name;
    std::vector<std::string> arguments;
    int exit_code;
    std::string output_start; // what standard output begins with
    std::string errors;       // standard error, whole
};

// Answered before anything runs: help and the version on standard output, a
// command line it does not take refused on standard error with status 2.
TEST(CommandLine, IsAnsweredBeforeAnythingRuns)
{
    const auto refused = [](const std::string& why) { return "primebench: " + why + "; see 'primebench --help'\n"; };
    const std::string not_a_count = "takes a whole number from 1 to 1024, or 'all', not ";
    const CommandLineRow rows[] = {
        {"help", {"--help"}, 0, "Usage: primebench [-t N | --threads N] [--json]\n", ""},
        {"help, short", {"-h"}, 0, "Usage: primebench [-t N | --threads N] [--json]\n", ""},
        {"version", {"--version"}, 0, "primebench " PRIMEBENCH_VERSION "\n", ""},
        {"no threads", {"--threads", "0"}, 2, "", refused("option '--threads' " + not_a_count + "'0'")},
        {"not a number", {"-t", "abc"}, 2, "", refused("option '-t' " + not_a_count + "'abc'")},
        {"no value", {"-t"}, 2, "", refused("option '-t' needs a value")},
        {"too many", {"--threads=99999"}, 2, "", refused("option '--threads' " + not_a_count + "'99999'")},
        {"a fraction", {"--threads", "1.5"}, 2, "", refused("option '--threads' " + not_a_count + "'1.5'")},
        {"an unknown option beside --help", {"--help", "--bogus"}, 2, "", refused("unknown option '--bogus'")},
        {"a stray argument", {"-t2", "stray"}, 2, "", refused("unexpected argument 'stray'")},
        {"control bytes shown, not sent", {"--x\x1b[31m\n"}, 2, "", refused("unknown option '--x\\x1b[31m\\x0a'")},
        {"--help with a value", {"--help=1"}, 2, "", refused("option '--help' takes no value")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Detached run = run_detached(20000, row.arguments);
        EXPECT_EQ(run.exit_code, row.exit_code);
        EXPECT_TRUE(row.output_start.empty() ? run.output.empty() : run.output.starts_with(row.output_start))
            << run.output;
        EXPECT_EQ(run.errors, row.errors);
    }
}

} // namespace
