// Keyboard services on a POSIX terminal.
//
// Bytes understood: see key_decoder.cpp, which turns them into key codes.
//
// Terminal facts relied on:
// - /dev/tty is the controlling terminal whatever standard input is, and
//   cannot be opened when the process has none (cron, CI, setsid).
// - tcsetattr(TCSANOW) leaves pending input alone, and turning ICANON off
//   hands a half-typed canonical line to the non-canonical reader, so keys
//   typed before the start are still read.
// - A process whose group is not the terminal's foreground group is stopped
//   by SIGTTOU when it sets the terminal's modes and by SIGTTIN when it reads;
//   neither is done until tcgetpgrp() == getpgrp().
// - tcsetattr() is async-signal-safe, so the signal handlers restore the
//   settings themselves before the process dies or stops.
// - A terminal that is gone reads as end of file or fails with EIO; select()
//   reports it readable, so that the read finds out.
// - select() tells when a terminal has input on Linux, macOS and the BSDs
//   alike; poll() does not on macOS, which answers POLLNVAL for a device at
//   once, whatever the timeout.
// - BSD kernels (macOS, NetBSD, OpenBSD) set PENDIN in the local flags when
//   ICANON goes on, as a shell's settings turn it on before every command,
//   keep it through a tcsetattr() that leaves it out, and clear it at the
//   first read; FLUSHO comes and goes with the discard key. Neither is ours
//   to set, nor to compare.
// - With ICRNL off, Enter reads as CR (13), as on the console; with IXON off,
//   Ctrl+S and Ctrl+Q are keys, and cannot freeze the output while the clock
//   runs on.
// - Another program on the same terminal may change its settings while we
//   run; only settings still as we set them are ours to put back.
// - open() takes the lowest free descriptor: with standard output closed it
//   would be 1, and our output would go to the terminal unasked.

#include "console/keyboard.h"

#include "console/clock.h"
#include "keys/key_reader.h"
#include "console/pending_code.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

namespace {

enum ConsoleState : sig_atomic_t { UNOPENED, OPEN, DEAD };

volatile sig_atomic_t console_state = UNOPENED;
int tty = -1;

// The settings found when the terminal was taken, put back on every way out.
termios saved;
// What the terminal reads back once we set ours: the mark that it is still ours.
termios ours;
volatile sig_atomic_t settings_changed = 0;
// While read_key() waits, the signal keys are keys too (Ctrl+C reads as 3).
volatile sig_atomic_t signal_keys_off = 0;

KeyReader reader;

// The local flags that the kernel sets and clears by itself.
constexpr tcflag_t KERNEL_LOCAL_FLAGS = PENDIN | FLUSHO;

termios benchmark_settings()
{
    termios t = saved;
    t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | IEXTEN | KERNEL_LOCAL_FLAGS);
    t.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON);
    if (signal_keys_off)
        t.c_lflag &= ~static_cast<tcflag_t>(ISIG);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return t;
}

bool apply_settings()
{
    const termios t = benchmark_settings();
    return tcsetattr(tty, TCSANOW, &t) == 0;
}

// Whether the terminal still holds our settings, whichever way the signal
// keys are set now and whatever the kernel did with its own flags: a second
// instance started on it may have taken it, or a shell, and what we saved is
// then no longer the terminal's to get back.
bool still_ours()
{
    termios now;
    if (tcgetattr(tty, &now) != 0)
        return false;
    const tcflag_t not_compared = ISIG | KERNEL_LOCAL_FLAGS;
    return now.c_iflag == ours.c_iflag && now.c_oflag == ours.c_oflag && now.c_cflag == ours.c_cflag &&
           (now.c_lflag | not_compared) == (ours.c_lflag | not_compared) &&
           std::memcmp(now.c_cc, ours.c_cc, sizeof now.c_cc) == 0;
}

void restore_settings()
{
    if (settings_changed) {
        if (still_ours())
            tcsetattr(tty, TCSANOW, &saved);
        settings_changed = 0;
    }
}

// From here on the console behaves as if it had never been opened.
void give_up()
{
    restore_settings();
    console_state = DEAD;
    if (tty >= 0)
        close(tty);
    tty = -1;
}

// Sets our modes if the terminal is ours to set: false while the process
// runs in the background, or once the terminal has failed.
bool take_terminal()
{
    if (settings_changed)
        return true;
    const pid_t foreground = tcgetpgrp(tty);
    if (foreground < 0) {
        give_up();
        return false;
    }
    if (foreground != getpgrp())
        return false;
    // Read afresh each time: the shell may have changed them while we were stopped.
    if (tcgetattr(tty, &saved) != 0) {
        give_up();
        return false;
    }
    ours = benchmark_settings();
    settings_changed = 1;
    if (!apply_settings()) {
        give_up();
        return false;
    }
    // The terminal may keep a field otherwise than it was given.
    termios kept;
    if (tcgetattr(tty, &kept) == 0)
        ours = kept;
    return true;
}

// Every signal whose default action ends the process, each where the system
// has it: SIGEMT on macOS and the BSDs, SIGLIBRT on FreeBSD, SIGLOST on the
// Hurd, SIGPOLL, SIGSTKFLT and SIGPWR on Linux (NetBSD's SIGPWR is ignored
// by default: handled, it gives the terminal back until the next checkpoint
// takes it again). SIGINFO, SIGWINCH, SIGIO and the like end nothing and are
// left alone. The real-time signals follow, where there are any.
constexpr int DEADLY_SIGNALS[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGUSR1, SIGSEGV,
    SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef SIGEMT
    SIGEMT,
#endif
#ifdef SIGLIBRT
    SIGLIBRT,
#endif
#ifdef SIGLOST
    SIGLOST,
#endif
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

// The largest signal number, real-time ones included. NSIG does not tell (it
// is 32 on FreeBSD, whose real-time signals run from 65 to 126), and glibc's
// SIGRTMAX is read at run time: the C library's _NSIG (glibc, musl, NetBSD,
// OpenBSD), or else a constant SIGRTMAX (FreeBSD), or NSIG (macOS, which has
// no real-time signals).
#if defined(_NSIG)
constexpr int LAST_SIGNAL = _NSIG - 1;
#elif defined(SIGRTMAX)
constexpr int LAST_SIGNAL = SIGRTMAX;
#else
constexpr int LAST_SIGNAL = NSIG - 1;
#endif
constexpr int LARGEST_HANDLED = std::max(std::ranges::max(DEADLY_SIGNALS), LAST_SIGNAL);

// What each deadly signal did before us: the default, or a handler of the
// process's own (a sanitizer's runtime installs some before main).
struct sigaction earlier[LARGEST_HANDLED + 1];

void on_fatal_signal(int sig)
{
    restore_settings();
    // Blocked while we run: the signal lands again, on what handled it
    // before us, as soon as this returns.
    sigaction(sig, &earlier[sig], nullptr);
    raise(sig);
}

// Installs `handler` unless the signal is ignored (by nohup, say), which it
// stays, or has it already (two names for one number); `before` receives
// what was there.
void install(int sig, void (*handler)(int), int flags, struct sigaction* before = nullptr)
{
    struct sigaction current{};
    if (sigaction(sig, nullptr, &current) != 0 || current.sa_handler == SIG_IGN || current.sa_handler == handler)
        return;
    if (before)
        *before = current;
    struct sigaction action{};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    sigaction(sig, &action, nullptr);
}

void on_suspend(int)
{
    const int saved_errno = errno;
    const bool had_terminal = settings_changed;
    restore_settings();
    signal(SIGTSTP, SIG_DFL);
    sigset_t suspend;
    sigemptyset(&suspend);
    sigaddset(&suspend, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &suspend, nullptr);
    raise(SIGTSTP); // stopped here until continued
    install(SIGTSTP, on_suspend, SA_RESTART);
    // Continued with `fg` we own the terminal again; with `bg` we do not, and
    // the next poll takes it once we do.
    if (had_terminal && console_state == OPEN)
        take_terminal();
    errno = saved_errno;
}

void install_fatal_handler(int sig)
{
    install(sig, on_fatal_signal, 0, &earlier[sig]);
}

void install_fatal_handlers()
{
    for (const int sig : DEADLY_SIGNALS)
        install_fatal_handler(sig);
#ifdef SIGRTMIN
    for (int sig = SIGRTMIN; sig <= SIGRTMAX && sig <= LARGEST_HANDLED; ++sig)
        install_fatal_handler(sig);
#endif
}

void install_handlers()
{
    install_fatal_handlers();
    install(SIGTSTP, on_suspend, SA_RESTART);
    std::atexit(restore_settings);
}

// fd moved to 3 or above, where it cannot stand in for a closed standard stream.
int above_standard_streams(int fd)
{
    if (fd < 0 || fd > STDERR_FILENO)
        return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(fd);
    return moved;
}

bool console_open()
{
    if (console_state == UNOPENED) {
        tty = above_standard_streams(open("/dev/tty", O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        termios probe;
        // It is 3 or a little more; an fd_set has no room from FD_SETSIZE on.
        if (tty < 0 || tty >= FD_SETSIZE || tcgetattr(tty, &probe) != 0) {
            give_up();
            return false;
        }
        console_state = OPEN;
        reader.dialect = dialect_of(std::getenv("TERM"));
        install_handlers();
    }
    return console_state == OPEN;
}

// Moves what the terminal has ready into the reader, without waiting; true
// when something came.
bool read_ready()
{
    uint8_t chunk[KEY_BUFFER_SIZE];
    const size_t room = reader_room(reader);
    if (room == 0)
        return false;
    for (;;) {
        const ssize_t n = read(tty, chunk, room);
        if (n > 0) {
            reader_append(reader, chunk, static_cast<size_t>(n), clock_ms());
            return true;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return false;
        give_up(); // end of file, hang-up or a failed read
        return false;
    }
}

// Waits until the terminal has input or timeout_ms pass (-1: no limit), and
// through signals unless told to return at the first. select(), for macOS's
// poll() does not wait on a terminal.
bool wait_readable(int timeout_ms, bool through_signals = true)
{
    int n;
    do {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(tty, &ready);
        timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
        n = select(tty + 1, &ready, nullptr, nullptr, timeout_ms < 0 ? nullptr : &limit);
    } while (n < 0 && errno == EINTR && through_signals);
    if (n < 0 && errno != EINTR) {
        give_up();
        return false;
    }
    return n > 0;
}

// The next complete keystroke (length 0 if none). Waits only while the
// input ends inside an unfinished sequence, and no longer than its grace.
Keystroke next_keystroke()
{
    while (console_state == OPEN) {
        const uint32_t now = clock_ms();
        const Pending p = reader_peek(reader, now);
        if (p.key.length != 0)
            return p.key;
        if (read_ready())
            continue;
        if (!p.unfinished || console_state != OPEN)
            break;
        wait_readable(static_cast<int>(p.settles_ms - now));
    }
    return NO_KEY;
}

// Blocks until input arrives, with the signal keys off meanwhile.
bool wait_for_input()
{
    if (!take_terminal())
        return false;
    signal_keys_off = 1;
    apply_settings();
    const bool ready = wait_readable(-1);
    signal_keys_off = 0;
    if (settings_changed)
        apply_settings();
    return ready;
}

// How often a job in the background looks whether it has the terminal yet.
constexpr uint32_t BACKGROUND_LOOK_MS = 250;

// Sleeps until the terminal has input or a signal comes (after which the
// job may be in the background); in the background, where the terminal is
// not ours to read, for a moment.
void sleep_until_input()
{
    if (settings_changed)
        wait_readable(-1, false);
    else
        pause_ms(BACKGROUND_LOOK_MS);
}

} // namespace

int key_available()
{
    if (pending_code != -1)
        return 1;
    if (!console_open() || !take_terminal())
        return 0;
    return next_keystroke().length != 0 ? 1 : 0;
}

int read_key()
{
    if (pending_code != -1)
        return take_pending_code();
    if (!console_open() || !take_terminal())
        return -1;
    Keystroke k = next_keystroke();
    while (k.length == 0) {
        if (!wait_for_input())
            return -1;
        k = next_keystroke();
    }
    reader_take(reader);
    return first_code_holding_second(k);
}

int wait_for_key()
{
    while (!key_available()) {
        if (console_state != OPEN)
            return 0;
        sleep_until_input();
    }
    return 1;
}
