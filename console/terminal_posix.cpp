// The controlling terminal's modes, taken and put back.
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
//   would be 1, and our output would go to the terminal unasked
//   (descriptor_posix.h).
// - An fd_set has no room for a descriptor from FD_SETSIZE on.

#include "console/terminal_posix.h"

#include <cstring>

#include "console/descriptor_posix.h"

#include <fcntl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

namespace terminal {

volatile sig_atomic_t state = UNOPENED;
int fd = -1;
volatile sig_atomic_t settings_changed = 0;
volatile sig_atomic_t signal_keys_off = 0;

namespace {

// The settings found when the terminal was taken, put back on every way out.
termios saved;
// What the terminal reads back once we set ours: the mark that it is still ours.
termios ours;

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

// Whether the terminal still holds our settings, whichever way the signal
// keys are set now and whatever the kernel did with its own flags: a second
// instance started on it may have taken it, or a shell, and what we saved is
// then no longer the terminal's to get back.
bool still_ours()
{
    termios now;
    if (tcgetattr(fd, &now) != 0)
        return false;
    const tcflag_t not_compared = ISIG | KERNEL_LOCAL_FLAGS;
    return now.c_iflag == ours.c_iflag && now.c_oflag == ours.c_oflag && now.c_cflag == ours.c_cflag &&
           (now.c_lflag | not_compared) == (ours.c_lflag | not_compared) &&
           std::memcmp(now.c_cc, ours.c_cc, sizeof now.c_cc) == 0;
}

} // namespace

bool open_tty()
{
    if (state == UNOPENED) {
        fd = above_standard_streams(open("/dev/tty", O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        termios probe;
        // It is 3 or a little more.
        if (fd < 0 || fd >= FD_SETSIZE || tcgetattr(fd, &probe) != 0) {
            give_up();
            return false;
        }
        state = OPEN;
        return true;
    }
    return state == OPEN;
}

bool apply_settings()
{
    const termios t = benchmark_settings();
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

void restore_settings()
{
    if (settings_changed) {
        if (still_ours())
            tcsetattr(fd, TCSANOW, &saved);
        settings_changed = 0;
    }
}

void give_up()
{
    restore_settings();
    state = DEAD;
    if (fd >= 0)
        close(fd);
    fd = -1;
}

bool take()
{
    if (settings_changed)
        return true;
    const pid_t foreground = tcgetpgrp(fd);
    if (foreground < 0) {
        give_up();
        return false;
    }
    if (foreground != getpgrp())
        return false;
    // Read afresh each time: the shell may have changed them while we were stopped.
    if (tcgetattr(fd, &saved) != 0) {
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
    if (tcgetattr(fd, &kept) == 0)
        ours = kept;
    return true;
}

} // namespace terminal
