#pragma once
// The bytes read from a terminal, held until they make a keystroke: a lone
// Esc waits out its grace, a sequence split across reads is joined, what is
// no key is dropped, and a sequence too long to hold is skipped as it comes.
// No I/O: the POSIX keyboard feeds it what it reads and when it read it.

#include <cstddef>
#include <cstdint>

#include "keys/key_decoder.h"

// How long the rest of a key's sequence may take to follow its first bytes.
// A terminal writes a key's whole sequence at once, so locally it arrives in
// one read; over a remote link the pieces of one write follow each other
// within a few milliseconds. 50 ms is past both, yet short enough that a lone
// Esc still feels immediate.
inline constexpr uint32_t ESC_GRACE_MS = 50;

// Input read so far and not yet taken as keystrokes, in a fixed buffer.
inline constexpr size_t KEY_BUFFER_SIZE = 64;

struct KeyReader {
    uint8_t bytes[KEY_BUFFER_SIZE];
    size_t length = 0;
    uint32_t last_input_ms = 0;
    size_t ready = 0; // bytes of the keystroke reader_peek() found
    KeyDialect dialect = KeyDialect::rxvt;
    // The byte after the ESC of a sequence too long for the buffer, which is
    // being skipped up to its end; 0 when none is.
    uint8_t skipping = 0;
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
