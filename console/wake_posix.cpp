// The wake-up on POSIX: a pipe that the workers write a byte into at their
// checkpoints, read by the console's thread in the same select() as the
// terminal.
//
// Facts relied on:
// - A write of one byte to a pipe is safe from any thread at any time, and
//   with O_NONBLOCK never waits. A full pipe (1024 threads' checkpoints fill
//   one) holds a wake-up already, so the byte that does not fit loses nothing.
// - select() waits on a pipe and a terminal together on Linux, macOS and the
//   BSDs; macOS's poll() does not serve terminals.
// - A job in the background must not read the terminal (SIGTTIN stops it):
//   then the pipe alone is watched, for a moment at a time, so that the job
//   sees when it is brought to the foreground.

#include "console/wake.h"

#include <algorithm>
#include <cerrno>

#include <sys/select.h>

#include "console/clock.h"
#include "console/descriptor_posix.h"
#include "console/keyboard.h"
#include "console/terminal_posix.h"

namespace {

int pipe_ends[2] = {-1, -1};

// How often a job in the background looks whether it has the terminal yet,
// as the keyboard's own wait does; and how long it naps between looks at
// the workers where no pipe could be made.
constexpr int BACKGROUND_LOOK_MS = 250;
constexpr int NO_PIPE_NAP_MS = 10;

// Empties the pipe; true when a wake-up was in it.
bool take_wakes()
{
    if (pipe_ends[0] < 0)
        return false;
    char bytes[256];
    bool woken = false;
    ssize_t n;
    while ((n = read(pipe_ends[0], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR))
        woken |= n > 0;
    return woken;
}

// Sleeps until one of the two descriptors (-1: none) is readable, a signal
// comes or timeout_ms pass (-1: no limit).
void sleep_on(int pipe, int tty, int timeout_ms)
{
    fd_set ready;
    FD_ZERO(&ready);
    if (pipe >= 0)
        FD_SET(pipe, &ready);
    if (tty >= 0)
        FD_SET(tty, &ready);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    if (select(std::max(pipe, tty) + 1, &ready, nullptr, nullptr, timeout_ms < 0 ? nullptr : &limit) < 0 &&
        errno != EINTR)
        pause_ms(NO_PIPE_NAP_MS); // nothing to wait on after all: never a spin
}

} // namespace

void prepare_wake()
{
    if (pipe_ends[0] >= 0)
        return;
    int ends[2];
    if (pipe(ends) != 0)
        return;
    for (int& end : ends) {
        end = above_standard_streams(end);
        if (end >= 0)
            fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    // It is 3 or a little more; an fd_set has no room from FD_SETSIZE on.
    if (ends[0] < 0 || ends[1] < 0 || ends[0] >= FD_SETSIZE) {
        for (const int end : ends)
            if (end >= 0)
                close(end);
        return;
    }
    pipe_ends[0] = ends[0];
    pipe_ends[1] = ends[1];
}

void wake_console()
{
    if (pipe_ends[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(pipe_ends[1], &byte, 1);
    }
}

int wait_for_key_or_wake()
{
    for (;;) {
        if (key_available())
            return 1;
        if (take_wakes())
            return 0;
        // The terminal while it is ours to read; in the background, the
        // pipe for a moment; with no terminal, the pipe alone. Without a
        // pipe nothing wakes us: a nap, then the caller looks at the workers.
        const int tty = terminal::settings_changed ? terminal::fd : -1;
        int timeout_ms = -1;
        if (pipe_ends[0] < 0)
            timeout_ms = NO_PIPE_NAP_MS;
        else if (terminal::state == terminal::OPEN && tty < 0)
            timeout_ms = BACKGROUND_LOOK_MS;
        sleep_on(pipe_ends[0], tty, timeout_ms);
        if (take_wakes() || pipe_ends[0] < 0)
            return 0;
    }
}
