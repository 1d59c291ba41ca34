#pragma once
// The controlling terminal, as the POSIX console services share it: the
// keyboard reads it, the signal handlers put its settings back, the wait for
// a key or a wake sleeps on it. Opened once, set to our modes only while the
// process is in the foreground, and put back on every way out.

#include <csignal>

namespace terminal {

enum State : sig_atomic_t { UNOPENED, OPEN, DEAD };

extern volatile sig_atomic_t state;
// The open terminal, -1 when there is none.
extern int fd;
// Our settings are on the terminal, and what was there is saved.
extern volatile sig_atomic_t settings_changed;
// While set, the settings applied leave the signal keys off (Ctrl+C reads as 3).
extern volatile sig_atomic_t signal_keys_off;

// Opens /dev/tty once; false, and DEAD, where the process has none.
bool open_tty();

// Sets our modes if the terminal is ours to set: false while the process
// runs in the background, or once the terminal has failed.
bool take();

// Sets our modes again, as signal_keys_off now wants them.
bool apply_settings();

// Puts back the settings found when the terminal was taken, if it still
// holds ours. Async-signal-safe.
void restore_settings();

// From here on the console behaves as if it had never been opened.
void give_up();

} // namespace terminal
