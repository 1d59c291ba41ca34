// Keyboard services on the Windows console: key events straight from
// "CONIN$", so redirected standard input does not matter. Which events are
// keystrokes, and their codes, comes from the shared key tables.

#include "console/keyboard.h"

#include <new>
#include <vector>

#include <windows.h>

#include "console/console_input_windows.h"
#include "console/pending_code.h"
#include "keys/key_tables.h"

namespace {

enum ConsoleState { UNOPENED, OPEN, UNUSABLE };

ConsoleState console_state = UNOPENED;
HANDLE console_input = INVALID_HANDLE_VALUE;
// Set once the console stops answering, so that a wait for a key can end.
bool console_failed = false;

bool console_open()
{
    if (console_state == UNOPENED) {
        console_input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
        console_state = console_input == INVALID_HANDLE_VALUE ? UNUSABLE : OPEN;
    }
    return console_state == OPEN;
}

KeyEvent event_of(const INPUT_RECORD& record)
{
    KeyEvent e{};
    e.is_key = record.EventType == KEY_EVENT;
    if (!e.is_key)
        return e;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    const DWORD state = key.dwControlKeyState;
    e.key_down = key.bKeyDown != FALSE;
    e.scan_code = key.wVirtualScanCode;
    e.character = static_cast<uint8_t>(key.uChar.AsciiChar);
    e.enhanced = (state & ENHANCED_KEY) != 0;
    e.modifiers.shift = (state & SHIFT_PRESSED) != 0;
    e.modifiers.ctrl = (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
    e.modifiers.alt = (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
    return e;
}

// Room for every queued event: the queue has no fixed bound.
INPUT_RECORD* scratch_for(DWORD n)
{
    static std::vector<INPUT_RECORD> scratch;
    try {
        if (scratch.size() < n)
            scratch.resize(n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return scratch.data();
}

// Removes the events before the first keystroke, if any, from the queue.
void skip_leading_non_keystrokes()
{
    for (;;) {
        INPUT_RECORD record;
        DWORD got = 0;
        if (!PeekConsoleInputA(console_input, &record, 1, &got) || got == 0 ||
            keystroke_of(event_of(record)).length != 0)
            return;
        if (!ReadConsoleInputA(console_input, &record, 1, &got) || got == 0) {
            console_failed = true;
            return;
        }
    }
}

} // namespace

int key_available()
{
    if (pending_code != -1)
        return 1;
    if (!console_open())
        return 0;
    DWORD queued = 0;
    if (!GetNumberOfConsoleInputEvents(console_input, &queued)) {
        console_failed = true;
        return 0;
    }
    if (queued == 0)
        return 0;
    INPUT_RECORD* events = scratch_for(queued);
    DWORD copied = 0;
    if (events == nullptr || !PeekConsoleInputA(console_input, events, queued, &copied) || copied == 0 ||
        copied > queued)
        return 0;
    for (DWORD i = 0; i < copied; ++i) {
        if (keystroke_of(event_of(events[i])).length != 0)
            return 1;
    }
    return 0;
}

int read_key()
{
    if (pending_code != -1)
        return take_pending_code();
    if (!console_open())
        return -1;
    // No line input, echo or Ctrl+C processing while we read. A mode that
    // could not be read is left alone: we never set one we did not read.
    DWORD saved_mode = 0;
    const bool mode_read = GetConsoleMode(console_input, &saved_mode) != 0;
    if (mode_read)
        SetConsoleMode(console_input, 0);
    int result = -1;
    for (;;) {
        INPUT_RECORD record;
        DWORD got = 0;
        if (!ReadConsoleInputA(console_input, &record, 1, &got) || got == 0) {
            console_failed = true;
            break;
        }
        const Keystroke k = keystroke_of(event_of(record));
        if (k.length == 0)
            continue;
        result = first_code_holding_second(k);
        break;
    }
    if (mode_read)
        SetConsoleMode(console_input, saved_mode);
    return result;
}

HANDLE console_input_to_wait_on()
{
    if (!console_open() || console_failed)
        return nullptr;
    // Events that are no keystroke keep the handle signalled, and the
    // read_key() that follows a wait would skip them anyway.
    skip_leading_non_keystrokes();
    return console_input;
}

void console_input_failed()
{
    console_failed = true;
}

int wait_for_key()
{
    while (!key_available()) {
        const HANDLE input = console_input_to_wait_on();
        if (input == nullptr)
            return 0;
        if (WaitForSingleObject(input, INFINITE) == WAIT_FAILED)
            console_input_failed();
    }
    return 1;
}
