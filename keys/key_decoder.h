#pragma once
// Terminal input bytes to the console's key codes, with no I/O and no
// state: what the bytes at the start of a buffer are. The reader
// (key_reader.h) holds the bytes until they make a key.

#include <cstddef>
#include <cstdint>

#include "keys/key_tables.h"

enum class Decoding {
    keystroke,  // a key, `used` bytes long
    ignored,    // `used` bytes that are no key (reports, unknown sequences)
    unfinished, // the start of a sequence whose rest may still come
};

struct Decoded {
    Decoding decoding;
    size_t used;
    Keystroke key;
};

// Where two terminals send the same bytes for different keys: ESC [ 25 ~ to
// ESC [ 34 ~ are Shift+F3 to F10 in the rxvt family and Shift+F1 to F8 on
// the Linux console. Every other terminal's own forms (rxvt's, st's) mean
// nothing else on any other, and are decoded whatever the terminal.
enum class KeyDialect : uint8_t { rxvt, linux_console };

// The dialect of the terminal named by $TERM.
KeyDialect dialect_of(const char* term);

// Decodes what stands at the start of bytes[0..n), n > 0. With `settled`, no
// more input is coming for now, and an unfinished sequence is taken as it
// stands: a lone Esc is 27, an introducer alone is the Alt key that sends it.
Decoded decode_key(const uint8_t* bytes, size_t n, bool settled, KeyDialect dialect = KeyDialect::rxvt);

// A sequence too long to hold is skipped up to its end as its bytes come:
// a control sequence (ESC [ or ESC O, then parameters and intermediates,
// then a final byte) or a control string (ESC ] P X ^ _, up to BEL or
// ESC \). `opened_by` is the byte after its ESC.
struct SkippedBytes {
    size_t used; // the bytes at the start of the buffer that belong to it
    bool ended;  // whether its end is among them
};
SkippedBytes skip_sequence(uint8_t opened_by, const uint8_t* bytes, size_t n);

// Whether a sequence ESC `c` opens a control string, whose end is BEL or
// ESC \ rather than a final byte.
bool opens_string(uint8_t c);
