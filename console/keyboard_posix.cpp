// Keyboard services on a POSIX terminal: the reading of keys. The terminal's
// modes are in terminal_posix.cpp, the signals in signals_posix.cpp.
//
// Bytes understood: see key_decoder.cpp, which turns them into key codes.
//
// Terminal facts relied on:
// - A terminal that is gone reads as end of file or fails with EIO; select()
//   reports it readable, so that the read finds out.
// - select() tells when a terminal has input on Linux, macOS and the BSDs
//   alike; poll() does not on macOS, which answers POLLNVAL for a device at
//   once, whatever the timeout.
// - The terminal is opened non-blocking: a read takes what is there.

#include "console/keyboard.h"

#include "console/clock.h"
#include "console/pending_code.h"
#include "console/signals_posix.h"
#include "console/terminal_posix.h"
#include "keys/key_reader.h"

#include <cerrno>
#include <cstdlib>

#include <sys/select.h>
#include <unistd.h>

namespace {

KeyReader reader;

bool console_open()
{
    if (terminal::state == terminal::UNOPENED && terminal::open_tty()) {
        reader.dialect = dialect_of(std::getenv("TERM"));
        install_signal_handlers();
    }
    return terminal::state == terminal::OPEN;
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
        const ssize_t n = read(terminal::fd, chunk, room);
        if (n > 0) {
            reader_append(reader, chunk, static_cast<size_t>(n), clock_ms());
            return true;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return false;
        terminal::give_up(); // end of file, hang-up or a failed read
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
        FD_SET(terminal::fd, &ready);
        timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
        n = select(terminal::fd + 1, &ready, nullptr, nullptr, timeout_ms < 0 ? nullptr : &limit);
    } while (n < 0 && errno == EINTR && through_signals);
    if (n < 0 && errno != EINTR) {
        terminal::give_up();
        return false;
    }
    return n > 0;
}

// The next complete keystroke (length 0 if none). Waits only while the
// input ends inside an unfinished sequence, and no longer than its grace.
Keystroke next_keystroke()
{
    while (terminal::state == terminal::OPEN) {
        const uint32_t now = clock_ms();
        const Pending p = reader_peek(reader, now);
        if (p.key.length != 0)
            return p.key;
        if (read_ready())
            continue;
        if (!p.unfinished || terminal::state != terminal::OPEN)
            break;
        wait_readable(static_cast<int>(p.settles_ms - now));
    }
    return NO_KEY;
}

// Blocks until input arrives, with the signal keys off meanwhile.
bool wait_for_input()
{
    if (!terminal::take())
        return false;
    terminal::signal_keys_off = 1;
    terminal::apply_settings();
    const bool ready = wait_readable(-1);
    terminal::signal_keys_off = 0;
    if (terminal::settings_changed)
        terminal::apply_settings();
    return ready;
}

// How often a job in the background looks whether it has the terminal yet.
constexpr uint32_t BACKGROUND_LOOK_MS = 250;

// Sleeps until the terminal has input or a signal comes (after which the
// job may be in the background); in the background, where the terminal is
// not ours to read, for a moment.
void sleep_until_input()
{
    if (terminal::settings_changed)
        wait_readable(-1, false);
    else
        pause_ms(BACKGROUND_LOOK_MS);
}

} // namespace

int key_available()
{
    if (pending_code != -1)
        return 1;
    if (!console_open() || !terminal::take())
        return 0;
    return next_keystroke().length != 0 ? 1 : 0;
}

int read_key()
{
    if (pending_code != -1)
        return take_pending_code();
    if (!console_open() || !terminal::take())
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
        if (terminal::state != terminal::OPEN)
            return 0;
        sleep_until_input();
    }
    return 1;
}
