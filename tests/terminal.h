#pragma once
// Runs the real binary on a pseudo-terminal, under a minimal job-control
// shell, so that tests can type keys, read the screen bytes, stop and
// continue the job, and check the terminal's settings afterwards.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#ifndef PRIMEBENCH_BINARY
#error "PRIMEBENCH_BINARY names the program under test"
#endif

#include <gtest/gtest.h>
#include <sys/types.h>
#include <termios.h>

struct Launch {
    std::string typed_ahead = {}; // typed (and echoed) before the program starts
    bool background = false; // started as `primebench &`
    const char* program = PRIMEBENCH_BINARY;
    // When set, run by /bin/sh -c instead of `program`: redirections, several
    // programs on one terminal. $PRIMEBENCH (unquoted) runs the binary.
    std::string shell_command = {};
    // Set on the terminal before the start, as a BSD kernel sets PENDIN.
    tcflag_t kernel_local_flags = 0;
    // Run with poll() as macOS's (POLL_STAND_IN preloaded; native builds only).
    bool poll_as_on_macos = false;
    // Run where no second thread can start (REFUSE_THREADS preloaded; the same).
    bool threads_refused = false;
};

// The local flags a BSD kernel sets and clears by itself (PENDIN when
// ICANON goes on until the next read, FLUSHO with the discard key): no
// program's to compare.
inline constexpr tcflag_t KERNEL_LOCAL_FLAGS = PENDIN | FLUSHO;

class Terminal {
public:
    explicit Terminal(Launch launch = {});
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    void type(std::string_view keys);
    // Reads until the output holds `text` `times` times. Every wait allows
    // three checkpoints more at the pace measured, which an emulated run
    // needs. A timeout fails with the text and the end of the output.
    testing::AssertionResult wait_for(std::string_view text, int times = 1, int timeout_ms = 20000);
    // A timeout fails with the end of the output; the program is then killed
    // by the destructor.
    testing::AssertionResult wait_for_exit(int timeout_ms = 20000);
    // The longest time yet between two reads that brought a progress dot (the
    // first counted from the start): how far apart the checkpoints are.
    int checkpoint_ms() const { return checkpoint_ms_; }
    // The program's exit status, or 128 + the signal that ended it.
    int exit_code() const { return exit_code_; }
    // Everything the program wrote, after the echo of typed-ahead keys.
    const std::string& output() const { return output_; }
    const std::string& echo() const { return echo_; }
    // The program's own state letter from /proc ('T' when stopped); see
    // proc_readings().
    char state() const;
    pid_t program() const { return program_; }
    // CPU time the program uses while the test sleeps for `ms`, in clock ticks.
    long cpu_ticks_during(int ms) const;
    void hand_over_terminal();

    termios settings() const;
    // Clears local flags from outside the program, as a kernel does.
    void clear_local_flags(tcflag_t flags);
    const termios& initial() const { return initial_; }

private:
    void read_available(std::string& into, int timeout_ms);
    bool waited_too_long(std::chrono::steady_clock::time_point start, int timeout_ms) const;
    int master_ = -1;
    int slave_ = -1;
    int control_ = -1;
    pid_t shell_ = -1;
    pid_t program_ = -1;
    int exit_code_ = -1;
    std::chrono::steady_clock::time_point last_dot_ = std::chrono::steady_clock::now();
    int checkpoint_ms_ = 0;
    termios initial_{};
    std::string output_;
    std::string echo_;
};

// Whether state() and cpu_ticks_during() can be read here; where they
// cannot, prints that `check` is skipped.
bool proc_readings(const char* check);

// Compares the fields a program can change with tcsetattr(), the kernel's
// own local flags left aside.
bool same_settings(const termios& a, const termios& b);

// What a shell command runs a binary of this build with: in a cross build the
// emulator comes first (PRIMEBENCH_EMULATOR, empty natively).
std::string command_for(const char* binary);
inline constexpr bool EMULATED = sizeof(PRIMEBENCH_EMULATOR) > 1;

int count_of(const std::string& text, std::string_view what);

// The last few hundred bytes a program wrote, quoted, for a failure message.
std::string tail_of(const std::string& output);

// Looks every 5 ms until `done` holds; false when `timeout_ms` passes first.
bool wait_until(const std::function<bool()>& done, int timeout_ms = 5000);

// Runs a binary of this build with its arguments, no controlling terminal,
// standard input from /dev/null and standard output and error each into a
// pipe, as cron or CI would.
struct Detached {
    std::string output;
    std::string errors;
    int exit_code;
};
Detached run_detached(int timeout_ms, const std::vector<std::string>& arguments = {},
                      const char* binary = PRIMEBENCH_BINARY);
