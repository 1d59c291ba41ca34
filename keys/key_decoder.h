#pragma once
// Terminal input bytes to the console's key codes, with no I/O: the POSIX
// keyboard feeds it what it reads and the time it read it.

#include <cstddef>
#include <cstdint>

#include "keys/key_tables.h"

// How long the rest of a key's sequence may take to follow its first bytes.
// A terminal writes a key's whole sequence at once, so locally it arrives in
// one read; over a remote link the pieces of one write follow each other
// within a few milliseconds. 50 ms is past both, yet short enough that a lone
// Esc still feels immediate.
inline constexpr uint32_t ESC_GRACE_MS = 50;

enum class Scan {
    keystroke,  // a key, `used` bytes long
    ignored,    // `used` bytes that are no key (reports, unknown sequences)
    unfinished, // the start of a sequence whose rest may still come
};

struct Decoded {
    Scan scan;
    size_t used;
    Keystroke key;
};

// The one place where terminals disagree on a key's bytes: ESC [ 25 ~ to
// ESC [ 34 ~ are Shift+F3 to F10 in the rxvt family and Shift+F1 to F8 on the
// Linux console.
enum class KeyDialect : uint8_t { rxvt, linux_console };

// The dialect of the terminal named by $TERM.
KeyDialect dialect_of(const char* term);

// Decodes what stands at the start of bytes[0..n), n > 0. With `settled`, no
// more input is coming for now, and an unfinished sequence is taken as it
// stands: a lone Esc is 27, an introducer alone is the Alt key that sends it.
Decoded decode_key(const uint8_t* bytes, size_t n, bool settled, KeyDialect dialect = KeyDialect::rxvt);

// Input read so far and not yet taken as keystrokes, in a fixed buffer.
inline constexpr size_t KEY_BUFFER_SIZE = 64;

struct KeyReader {
    uint8_t bytes[KEY_BUFFER_SIZE];
    size_t length = 0;
    uint32_t last_input_ms = 0;
    size_t ready = 0; // bytes of the keystroke reader_peek() found
    KeyDialect dialect = KeyDialect::rxvt;
    // A sequence too long for the buffer is being skipped up to its end.
    enum Skip : uint8_t { NOT_SKIPPING, SKIP_CONTROL, SKIP_STRING } skipping = NOT_SKIPPING;
};

size_t reader_room(const KeyReader& reader);

// Appends up to reader_room() bytes read at `now_ms`.
void reader_append(KeyReader& reader, const uint8_t* bytes, size_t n, uint32_t now_ms);

struct Pending {
    Keystroke key;       // length 0 when there is no complete keystroke
    bool unfinished;     // waiting for the rest of a sequence...
    uint32_t settles_ms; // ...until this time at the latest
};

// The first keystroke, if one is complete at `now_ms`; drops what is no key.
Pending reader_peek(KeyReader& reader, uint32_t now_ms);

// Removes the keystroke that reader_peek() just returned.
void reader_take(KeyReader& reader);
