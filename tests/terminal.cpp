#include "tests/terminal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>
// openpty() and login_tty(): glibc's headers, FreeBSD's, then those of
// macOS, NetBSD and OpenBSD.
#if __has_include(<pty.h>)
#include <pty.h>
#include <utmp.h>
#elif __has_include(<libutil.h>)
#include <libutil.h>
#else
#include <util.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

int encoded(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

// select(), not poll(): macOS's poll() does not support terminal devices.
// The descriptors here are a handful, far below FD_SETSIZE.
bool readable(int fd, int timeout_ms)
{
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(fd, &ready);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    return select(fd + 1, &ready, nullptr, nullptr, &limit) > 0;
}

// pipe2() is missing on macOS.
void make_pipe(int fds[2])
{
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
}

void write_all(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("write to the terminal failed");
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

// Runs a binary of this build, through the emulator where there is one.
// Only in a forked child of this single-threaded test.
[[noreturn]] void exec_binary(const char* binary, const std::vector<std::string>& arguments = {})
{
    std::istringstream emulator(PRIMEBENCH_EMULATOR);
    std::vector<std::string> words;
    for (std::string word; emulator >> word;)
        words.push_back(word);
    words.push_back(binary);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// The shell's side: runs the program as a job of its own, reports its pid,
// hands it the terminal on request and exits with its encoded status.
[[noreturn]] void be_shell(int slave, int go, int report, int control, const Launch& launch)
{
    if (login_tty(slave) != 0)
        _exit(120);
    signal(SIGTTOU, SIG_IGN);
    const pid_t job = fork();
    if (job == 0) {
        setpgid(0, 0);
        if (!launch.background)
            tcsetpgrp(0, getpid());
        signal(SIGTTOU, SIG_DFL);
        if (launch.poll_as_on_macos)
            setenv("LD_PRELOAD", POLL_STAND_IN, 1);
        if (launch.threads_refused)
            setenv("LD_PRELOAD", REFUSE_THREADS, 1);
        char byte;
        while (read(go, &byte, 1) < 0 && errno == EINTR) {
        }
        if (!launch.shell_command.empty()) {
            setenv("PRIMEBENCH", command_for(PRIMEBENCH_BINARY).c_str(), 1);
            execl("/bin/sh", "sh", "-c", launch.shell_command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        exec_binary(launch.program);
    }
    setpgid(job, job);
    if (!launch.background)
        tcsetpgrp(0, job);
    if (write(report, &job, sizeof job) != sizeof job)
        _exit(121);
    for (;;) {
        int status;
        if (waitpid(job, &status, WNOHANG) == job) {
            tcsetpgrp(0, getpgrp());
            _exit(encoded(status));
        }
        char byte;
        if (readable(control, 10) && read(control, &byte, 1) == 1)
            tcsetpgrp(0, job);
    }
}

} // namespace

Terminal::Terminal(Launch launch)
{
    winsize size{24, 80, 0, 0};
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0)
        throw std::runtime_error("openpty failed");
    tcgetattr(slave_, &initial_);
    if (launch.kernel_local_flags != 0) {
        initial_.c_lflag |= launch.kernel_local_flags;
        tcsetattr(slave_, TCSANOW, &initial_);
    }
    int go[2], report[2], control[2];
    make_pipe(go);
    make_pipe(report);
    make_pipe(control);
    shell_ = fork();
    if (shell_ == 0) {
        close(master_);
        be_shell(slave_, go[0], report[1], control[0], launch);
    }
    close(go[0]);
    close(report[1]);
    close(control[0]);
    control_ = control[1];
    if (read(report[0], &program_, sizeof program_) != sizeof program_)
        throw std::runtime_error("the shell did not start the program");
    close(report[0]);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (!launch.typed_ahead.empty()) {
        write_all(master_, launch.typed_ahead);
        read_available(echo_, 300);
    }
    write_all(go[1], "g");
    close(go[1]);
}

Terminal::~Terminal()
{
    if (exit_code_ < 0) {
        kill(program_, SIGKILL);
        kill(shell_, SIGKILL);
        waitpid(shell_, nullptr, 0);
    }
    close(master_);
    close(slave_);
    close(control_);
}

void Terminal::type(std::string_view keys)
{
    write_all(master_, keys);
}

void Terminal::read_available(std::string& into, int timeout_ms)
{
    if (!readable(master_, timeout_ms))
        return;
    char buffer[4096];
    ssize_t n;
    const size_t before = into.size();
    while ((n = read(master_, buffer, sizeof buffer)) > 0)
        into.append(buffer, static_cast<size_t>(n));
    if (into.find('.', before) != std::string::npos) {
        const auto now = Clock::now();
        const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(now - last_dot_).count();
        checkpoint_ms_ = std::max(checkpoint_ms_, static_cast<int>(gap));
        last_dot_ = now;
    }
}

bool Terminal::waited_too_long(Clock::time_point start, int timeout_ms) const
{
    return Clock::now() - start > std::chrono::milliseconds(timeout_ms + 3 * checkpoint_ms_);
}

testing::AssertionResult Terminal::wait_for(std::string_view text, int times, int timeout_ms)
{
    const auto start = Clock::now();
    while (count_of(output_, text) < times) {
        if (waited_too_long(start, timeout_ms))
            return testing::AssertionFailure() << testing::PrintToString(std::string(text)) << " seen "
                                               << count_of(output_, text) << " of " << times
                                               << " times; the program wrote, at the end: " << tail_of(output_);
        read_available(output_, 20);
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult Terminal::wait_for_exit(int timeout_ms)
{
    const auto start = Clock::now();
    for (;;) {
        read_available(output_, 10);
        int status;
        if (waitpid(shell_, &status, WNOHANG) == shell_) {
            exit_code_ = encoded(status);
            read_available(output_, 0);
            return testing::AssertionSuccess();
        }
        if (waited_too_long(start, timeout_ms))
            return testing::AssertionFailure() << "the program did not exit; it wrote, at the end: " << tail_of(output_);
    }
}

char Terminal::state() const
{
    std::ifstream stat("/proc/" + std::to_string(program_) + "/stat");
    std::string pid, name, state;
    stat >> pid >> name >> state;
    return state.empty() ? '?' : state[0];
}

long Terminal::cpu_ticks_during(int ms) const
{
    // Fields 14 and 15 of /proc/PID/stat: user and system time. The name in
    // field 2 has no spaces here.
    const auto used = [this] {
        std::ifstream stat("/proc/" + std::to_string(program_) + "/stat");
        std::string field;
        long user = 0, system = 0;
        for (int i = 1; i <= 13; ++i)
            stat >> field;
        stat >> user >> system;
        return user + system;
    };
    const long before = used();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return used() - before;
}

void Terminal::hand_over_terminal()
{
    write_all(control_, "f");
}

termios Terminal::settings() const
{
    termios now{};
    tcgetattr(slave_, &now);
    return now;
}

void Terminal::clear_local_flags(tcflag_t flags)
{
    termios now = settings();
    now.c_lflag &= ~flags;
    tcsetattr(slave_, TCSANOW, &now);
}

bool same_settings(const termios& a, const termios& b)
{
    const tcflag_t theirs = ~KERNEL_LOCAL_FLAGS;
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           (a.c_lflag & theirs) == (b.c_lflag & theirs) && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

bool proc_readings(const char* check)
{
    static const bool present = access("/proc/self/stat", R_OK) == 0;
    if (!present)
        std::printf("skipped: %s: no /proc on this system\n", check);
    return present;
}

std::string command_for(const char* binary)
{
    const std::string emulator = PRIMEBENCH_EMULATOR;
    return emulator.empty() ? binary : emulator + " " + binary;
}

int count_of(const std::string& text, std::string_view what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

std::string tail_of(const std::string& output)
{
    constexpr size_t SHOWN = 300;
    if (output.size() <= SHOWN)
        return testing::PrintToString(output);
    return "..." + testing::PrintToString(output.substr(output.size() - SHOWN));
}

bool wait_until(const std::function<bool()>& done, int timeout_ms)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Detached run_detached(int timeout_ms, const std::vector<std::string>& arguments, const char* binary)
{
    int out[2], err[2];
    make_pipe(out);
    make_pipe(err);
    const pid_t child = fork();
    if (child == 0) {
        setsid(); // no controlling terminal from here on
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        exec_binary(binary, arguments);
    }
    close(out[1]);
    close(err[1]);
    Detached result{"", "", -1};
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    struct Stream {
        int fd;
        std::string* into;
    } streams[] = {{out[0], &result.output}, {err[0], &result.errors}};
    char buffer[4096];
    // Until both pipes are at their end.
    while (streams[0].fd >= 0 || streams[1].fd >= 0) {
        fd_set ready;
        FD_ZERO(&ready);
        int top = -1;
        for (const Stream& s : streams) {
            if (s.fd >= 0) {
                FD_SET(s.fd, &ready);
                top = std::max(top, s.fd);
            }
        }
        timeval limit{0, 100000};
        if (select(top + 1, &ready, nullptr, nullptr, &limit) > 0) {
            for (Stream& s : streams) {
                if (s.fd < 0 || !FD_ISSET(s.fd, &ready))
                    continue;
                const ssize_t n = read(s.fd, buffer, sizeof buffer);
                if (n > 0) {
                    s.into->append(buffer, static_cast<size_t>(n));
                } else {
                    close(s.fd);
                    s.fd = -1;
                }
            }
        }
        if (Clock::now() > deadline) {
            kill(child, SIGKILL);
            break;
        }
    }
    for (const Stream& s : streams)
        if (s.fd >= 0)
            close(s.fd);
    int status;
    waitpid(child, &status, 0);
    result.exit_code = encoded(status);
    return result;
}
