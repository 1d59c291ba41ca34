// Terminal key sequences to the console's key codes.
//
// Understood (ESC is 0x1b; m is xterm's modifier parameter, 1 + Shift 1,
// Alt 2, Ctrl 4, Meta 8, with Meta taken as Alt):
//   any byte but ESC and NUL        that byte: letters, digits, punctuation,
//                                   control bytes, each byte of UTF-8
//   NUL (Ctrl+Space, Ctrl+2)        Ctrl+2: 0 3
//   ESC [ A B C D H F               Up Down Right Left Home End
//   ESC [ 1 ; m A ... F             the same with modifiers
//   ESC O A B C D H F               the same in application cursor mode
//   ESC [ a b c d, ESC O a b c d    rxvt: Shift, Ctrl + Up Down Right Left
//   ESC [ n ~    (also ESC [ n ; m ~, and rxvt's finals $ Shift, ^ Ctrl,
//                @ Ctrl+Shift)      n = 1 Home, 2 Insert, 3 Delete, 4 End,
//                                   5 Page Up, 6 Page Down, 7 Home, 8 End,
//                                   11-15 F1-F5, 17-21 F6-F10, 23 F11, 24 F12
//   ESC O P Q R S, ESC [ 1 ; m P Q R S, ESC O m P ...   F1-F4
//   ESC [ [ A ... E                 Linux console F1-F5
//   ESC [ Z                         Shift+Tab: 0 15
//   ESC O M, ESC O j ... y          keypad Enter (13), keypad * + , - . / 0-9
//   ESC c                           Alt with the key that types c on a US
//                                   layout (ESC a: 0 30, ESC 1: 0 120,
//                                   ESC ]: 0 27); c itself where that key has
//                                   no Alt pair
//   ESC ESC                         two Escs
//   ESC alone                       Esc, 27, once ESC_GRACE_MS passed
// Consumed whole, giving no key: every other CSI (ESC [ ... final) and SS3
// sequence, X10 (ESC [ M b x y) and SGR (ESC [ < ... M/m) mouse reports,
// focus in/out (ESC [ I, ESC [ O), bracketed-paste markers (ESC [ 200 ~,
// ESC [ 201 ~), cursor-position and other reports, OSC, DCS, SOS, PM and APC
// strings (ESC ] P X ^ _ ... up to BEL or ESC \), and malformed sequences.
// An unfinished sequence that nothing completes within the grace is dropped,
// except the bare introducers ESC [, ESC O, ESC ] ..., which are Alt keys.

#include "console/key_decoder.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "console/key_tables.h"

namespace {

constexpr uint8_t ESC = 0x1b;
constexpr uint8_t BEL = 0x07;

constexpr Decoded UNFINISHED{Scan::unfinished, 0, NO_KEY};

Keystroke one(uint8_t c)
{
    return {1, {c, 0}};
}

// Alt with the key that types c, as terminals send it: ESC then c.
Keystroke alt_key(uint8_t c)
{
    const int s = c == 0 ? scan::TWO : scan_code_typing(c);
    const Keystroke k = s < 0 ? NO_KEY : extended_keystroke(static_cast<uint16_t>(s), false, with::ALT);
    return k.length ? k : one(c);
}

Decoded key(size_t used, Keystroke k)
{
    // A sequence naming a key that has no code here is still consumed.
    return {k.length ? Scan::keystroke : Scan::ignored, used, k};
}

Decoded ignored(size_t used)
{
    return {Scan::ignored, used, NO_KEY};
}

// What an unfinished sequence of n bytes is once settled: dropped.
Decoded unfinished_or_dropped(size_t n, bool settled)
{
    return settled ? ignored(n) : UNFINISHED;
}

// What a bare introducer (ESC, ESC [, ESC O, ESC ] ...) is once settled: a key.
Decoded unfinished_or_key(size_t n, Keystroke k, bool settled)
{
    return settled ? key(n, k) : UNFINISHED;
}

Modifiers from_parameter(int m)
{
    const int bits = m > 1 ? m - 1 : 0;
    return {(bits & 1) != 0, (bits & 4) != 0, (bits & (2 | 8)) != 0};
}

bool is_final(uint8_t c)
{
    return c >= 0x40 && c <= 0x7e;
}

bool is_parameter(uint8_t c)
{
    return c >= 0x30 && c <= 0x3f;
}

bool is_intermediate(uint8_t c)
{
    return c >= 0x20 && c <= 0x2f;
}

// Up Down Right Left Home End by their final letter, or 0.
uint16_t cursor_key(uint8_t final)
{
    switch (final) {
    case 'A': return scan::UP;
    case 'B': return scan::DOWN;
    case 'C': return scan::RIGHT;
    case 'D': return scan::LEFT;
    case 'H': return scan::HOME;
    case 'F': return scan::END;
    default: return 0;
    }
}

uint16_t function_key(int n) // F1 to F12, or 0
{
    if (n >= 1 && n <= 10)
        return static_cast<uint16_t>(scan::F1 + n - 1);
    return n == 11 ? scan::F11 : n == 12 ? scan::F12 : 0;
}

// ESC [ n ~ and its rxvt forms: the key numbered n, or none.
Keystroke numbered_key(int n, Modifiers m)
{
    static constexpr uint16_t NAVIGATION[] = {0, scan::HOME, scan::INSERT, scan::DEL, scan::END,
                                              scan::PAGE_UP, scan::PAGE_DOWN, scan::HOME, scan::END};
    if (n >= 1 && n <= 8)
        return extended_keystroke(NAVIGATION[n], true, m);
    static constexpr int F_NUMBERS[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24};
    const int* f = std::find(std::begin(F_NUMBERS), std::end(F_NUMBERS), n);
    if (f == std::end(F_NUMBERS))
        return NO_KEY; // paste markers 200/201, unknown keys
    return extended_keystroke(function_key(static_cast<int>(f - F_NUMBERS) + 1), false, m);
}

struct Parameters {
    int value[2] = {0, 0}; // the first two; 0 where absent
    int count = 0;
};

// Reads digits and semicolons from bytes[i..n); i ends on the first other byte.
Parameters read_parameters(const uint8_t* bytes, size_t n, size_t& i)
{
    Parameters p;
    bool started = false;
    for (; i < n && ((bytes[i] >= '0' && bytes[i] <= '9') || bytes[i] == ';' || bytes[i] == ':'); ++i) {
        if (!started) {
            started = true;
            p.count = 1;
        }
        if (bytes[i] == ';' || bytes[i] == ':') {
            ++p.count;
        } else if (p.count <= 2) {
            int& v = p.value[p.count - 1];
            v = std::min(v * 10 + (bytes[i] - '0'), 100000);
        }
    }
    return p;
}

Decoded x10_mouse(size_t n, bool settled)
{
    return n >= 6 ? ignored(6) : unfinished_or_dropped(n, settled);
}

Decoded linux_function_key(const uint8_t* bytes, size_t n, bool settled)
{
    if (n < 4)
        return unfinished_or_dropped(n, settled);
    if (bytes[3] >= 'A' && bytes[3] <= 'E')
        return key(4, extended_keystroke(function_key(bytes[3] - 'A' + 1), false, {}));
    return ignored(3);
}

Decoded control_sequence(const uint8_t* bytes, size_t n, bool settled)
{
    if (n == 2)
        return unfinished_or_key(2, alt_key('['), settled);
    if (bytes[2] == '[')
        return linux_function_key(bytes, n, settled);
    if (bytes[2] == 'M')
        return x10_mouse(n, settled);
    size_t i = 2;
    const bool marked = is_parameter(bytes[i]) && bytes[i] >= '<'; // < = > ? private forms
    if (marked)
        ++i;
    const Parameters p = read_parameters(bytes, n, i);
    // rxvt ends Shift+key with '$', which is otherwise an intermediate byte.
    const bool rxvt_shift = !marked && i < n && bytes[i] == '$';
    bool intermediate = false;
    if (!rxvt_shift) {
        for (; i < n && (is_parameter(bytes[i]) || is_intermediate(bytes[i])); ++i)
            intermediate = true;
    }
    if (i == n)
        return unfinished_or_dropped(n, settled);
    const uint8_t final = bytes[i];
    if (!rxvt_shift && !is_final(final))
        return i == 2 ? key(2, alt_key('[')) : ignored(i); // malformed: ends before the odd byte
    const size_t used = i + 1;
    if (marked || intermediate)
        return ignored(used);
    const int first = p.value[0];
    const Modifiers m = from_parameter(p.count >= 2 ? p.value[1] : 1);
    if (const uint16_t cursor = cursor_key(final))
        return first <= 1 ? key(used, extended_keystroke(cursor, true, m)) : ignored(used);
    switch (final) {
    case 'P': case 'Q': case 'R': case 'S':
        // With other parameters, R is a cursor-position report.
        return first <= 1 ? key(used, extended_keystroke(function_key(final - 'P' + 1), false, m)) : ignored(used);
    case 'Z':
        return key(used, extended_keystroke(scan::TAB, false, with::SHIFT));
    case 'a': case 'b': case 'c': case 'd':
        return key(used, extended_keystroke(cursor_key(static_cast<uint8_t>(final - 'a' + 'A')), true, with::SHIFT));
    case '~':
        return key(used, numbered_key(first, m));
    case '$':
        return key(used, numbered_key(first, with::SHIFT));
    case '^':
        return key(used, numbered_key(first, with::CTRL));
    case '@':
        return key(used, numbered_key(first, with::CTRL_SHIFT));
    default:
        return ignored(used); // focus reports and everything else
    }
}

Decoded single_shift(const uint8_t* bytes, size_t n, bool settled)
{
    if (n == 2)
        return unfinished_or_key(2, alt_key('O'), settled);
    size_t i = 2;
    const Parameters p = read_parameters(bytes, n, i);
    if (i == n)
        return unfinished_or_dropped(n, settled);
    const uint8_t final = bytes[i];
    if (!is_final(final))
        return i == 2 ? key(2, alt_key('O')) : ignored(i);
    const size_t used = i + 1;
    const Modifiers m = from_parameter(p.count ? p.value[p.count >= 2 ? 1 : 0] : 1);
    if (const uint16_t cursor = cursor_key(final))
        return key(used, extended_keystroke(cursor, true, m));
    if (final >= 'P' && final <= 'S')
        return key(used, extended_keystroke(function_key(final - 'P' + 1), false, m));
    if (final >= 'a' && final <= 'd')
        return key(used, extended_keystroke(cursor_key(static_cast<uint8_t>(final - 'a' + 'A')), true, with::CTRL));
    if (final == 'M')
        return key(used, one('\r'));
    static constexpr char KEYPAD[] = "*+,-./0123456789"; // finals j to y
    if (final >= 'j' && final <= 'y')
        return key(used, one(static_cast<uint8_t>(KEYPAD[final - 'j'])));
    return ignored(used);
}

bool opens_string(uint8_t c)
{
    return c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_';
}

struct StringEnd {
    bool found;
    size_t used; // through the end if found; else what surely belongs to the string
};

// Looks for the end of a control string from bytes[from] on: BEL or ESC \,
// taken with it; any other ESC cuts the string short and is left to what
// follows. A trailing ESC is not counted: it may begin the ESC \.
StringEnd string_end(const uint8_t* bytes, size_t n, size_t from)
{
    for (size_t i = from; i < n; ++i) {
        if (bytes[i] == BEL)
            return {true, i + 1};
        if (bytes[i] == ESC) {
            if (i + 1 == n)
                return {false, i};
            return {true, bytes[i + 1] == '\\' ? i + 2 : i};
        }
    }
    return {false, n};
}

Decoded string_sequence(const uint8_t* bytes, size_t n, bool settled)
{
    if (n == 2)
        return unfinished_or_key(2, alt_key(bytes[1]), settled);
    const StringEnd end = string_end(bytes, n, 2);
    return end.found ? ignored(end.used) : unfinished_or_dropped(n, settled);
}

} // namespace

Decoded decode_key(const uint8_t* bytes, size_t n, bool settled)
{
    if (bytes[0] == 0)
        return key(1, extended_keystroke(scan::TWO, false, with::CTRL));
    if (bytes[0] != ESC)
        return key(1, one(bytes[0]));
    if (n == 1)
        return unfinished_or_key(1, one(ESC), settled);
    const uint8_t c = bytes[1];
    if (c == '[')
        return control_sequence(bytes, n, settled);
    if (c == 'O')
        return single_shift(bytes, n, settled);
    if (opens_string(c))
        return string_sequence(bytes, n, settled);
    if (c == ESC)
        return key(1, one(ESC));
    return key(2, alt_key(c));
}

// The reader.

namespace {

void drop(KeyReader& r, size_t n)
{
    std::memmove(r.bytes, r.bytes + n, r.length - n);
    r.length -= n;
}

bool settled(const KeyReader& r, uint32_t now_ms)
{
    return static_cast<uint32_t>(now_ms - r.last_input_ms) >= ESC_GRACE_MS;
}

// A sequence fills the whole buffer: drop it and skip the rest as it comes.
// A trailing ESC stays, it may begin the ESC \ that ends a string.
void start_skipping(KeyReader& r)
{
    r.skipping = opens_string(r.bytes[1]) ? KeyReader::SKIP_STRING : KeyReader::SKIP_CONTROL;
    drop(r, r.bytes[r.length - 1] == ESC ? r.length - 1 : r.length);
}

void skip_rest(KeyReader& r, uint32_t now_ms)
{
    size_t i = 0;
    bool ended = false;
    if (r.skipping == KeyReader::SKIP_CONTROL) {
        while (i < r.length && (is_parameter(r.bytes[i]) || is_intermediate(r.bytes[i])))
            ++i;
        if (i < r.length) {
            ended = true;
            i += is_final(r.bytes[i]) ? 1 : 0;
        }
    } else {
        const StringEnd end = string_end(r.bytes, r.length, 0);
        ended = end.found;
        i = end.used;
    }
    drop(r, i);
    // Its end may never come; once input pauses, take what follows as keys.
    if (ended || settled(r, now_ms))
        r.skipping = KeyReader::NOT_SKIPPING;
}

} // namespace

size_t reader_room(const KeyReader& reader)
{
    return KEY_BUFFER_SIZE - reader.length;
}

void reader_append(KeyReader& reader, const uint8_t* bytes, size_t n, uint32_t now_ms)
{
    n = std::min(n, reader_room(reader));
    if (n == 0)
        return;
    std::memcpy(reader.bytes + reader.length, bytes, n);
    reader.length += n;
    reader.last_input_ms = now_ms;
}

Pending reader_peek(KeyReader& reader, uint32_t now_ms)
{
    reader.ready = 0;
    for (;;) {
        if (reader.skipping != KeyReader::NOT_SKIPPING) {
            skip_rest(reader, now_ms);
            if (reader.skipping != KeyReader::NOT_SKIPPING)
                return {NO_KEY, false, 0};
        }
        if (reader.length == 0)
            return {NO_KEY, false, 0};
        const Decoded d = decode_key(reader.bytes, reader.length, settled(reader, now_ms));
        switch (d.scan) {
        case Scan::keystroke:
            reader.ready = d.used;
            return {d.key, false, 0};
        case Scan::ignored:
            drop(reader, d.used);
            break;
        case Scan::unfinished:
            if (reader.length < KEY_BUFFER_SIZE)
                return {NO_KEY, true, reader.last_input_ms + ESC_GRACE_MS};
            start_skipping(reader);
            break;
        }
    }
}

void reader_take(KeyReader& reader)
{
    drop(reader, reader.ready);
    reader.ready = 0;
}
