// Terminal key sequences to the console's key codes.
//
// Understood (ESC is 0x1b; m is xterm's modifier parameter, 1 + Shift 1,
// Alt 2, Ctrl 4, Meta 8, with Meta taken as Alt; c a character code; what
// follows a ':' inside a parameter is ignored):
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
//                                   (rxvt's Shift+F1, F2 send 23, 24 too),
//                                   25 26 28 29 31 32 33 34 Shift+F3-F10
//                                   (rxvt), Shift+F1-F8 (TERM=linux)
//   ESC O P Q R S, ESC [ 1 ; m P Q R S, ESC O m P ...   F1-F4
//   ESC [ [ A ... E                 Linux console F1-F5
//   ESC [ Z                         Shift+Tab: 0 15
//   ESC [ 4 h, ESC [ 4 l, ESC [ L   st: Insert, Shift+Insert, Ctrl+Insert
//   ESC [ P, ESC [ 2 K, ESC [ M     st: Delete, Shift+Delete, Ctrl+Delete
//   ESC [ J, ESC [ K, ESC [ 2 J     st: Ctrl+End, Shift+End, Shift+Home
//   ESC O M, ESC O j ... y          keypad Enter (13), keypad * + , - . / 0-9
//   ESC [ 27 ; m ; c ~, ESC [ c ; m u, ESC [ c u
//                                   the key that types c, with modifiers m
//                                   (xterm's modifyOtherKeys, CSI u): Ctrl+a
//                                   1, Ctrl+Enter 10, Shift+Tab 0 15, Alt+a
//                                   0 30, c alone itself (ESC [ 27 u is Esc)
//   ESC c                           Alt with the key that types c on a US
//                                   layout (ESC a: 0 30, ESC 1: 0 120,
//                                   ESC ]: 0 27); c itself where that key has
//                                   no Alt pair
//   ESC ESC [ ..., ESC ESC O ...    Alt with the key of the sequence after the
//                                   first ESC (rxvt, the Linux console): its
//                                   Alt pair, or no key, never an Esc
//   ESC ESC                         two Escs
//   ESC alone                       Esc, 27, once ESC_GRACE_MS passed
// Consumed whole, giving no key: every other CSI (ESC [ ... final) and SS3
// sequence, SGR (ESC [ < ... M/m) mouse reports, focus in/out (ESC [ I,
// ESC [ O), bracketed-paste markers (ESC [ 200 ~, ESC [ 201 ~), cursor-
// position and other reports, OSC, DCS, SOS, PM and APC strings
// (ESC ] P X ^ _ ... up to BEL or ESC \), and malformed sequences.
// ESC [ M is st's Ctrl+Delete, never an X10 mouse report: this program never
// turns mouse reporting on, and the bytes after it are keys typed with it.
// An unfinished sequence that nothing completes within the grace is dropped,
// except the bare introducers ESC [, ESC O, ESC ] ..., which are Alt keys.

#include "keys/key_decoder.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "keys/key_tables.h"

namespace {

constexpr uint8_t ESC = 0x1b;
constexpr uint8_t BEL = 0x07;

constexpr Decoded UNFINISHED{Decoding::unfinished, 0, NO_KEY};

Keystroke one(uint8_t c)
{
    return {1, {c, 0}};
}

// Alt with the key that types c, as terminals send it: ESC then c.
Keystroke alt_key(uint8_t c)
{
    return typed_keystroke(c, with::ALT);
}

Decoded key(size_t used, Keystroke k)
{
    // A sequence naming a key that has no code here is still consumed.
    return {k.length ? Decoding::keystroke : Decoding::ignored, used, k};
}

Decoded ignored(size_t used)
{
    return {Decoding::ignored, used, NO_KEY};
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

// The keys that a CSI (ESC [) or SS3 (ESC O) sequence names by its final
// byte, a column for the modifiers each introducer adds. The cursor keys,
// Home, End and F1 to F4 are the same after either, modified by xterm's
// parameter; rxvt's a to d name their modifier themselves, and take no
// parameter: Shift after CSI, Ctrl after SS3.
struct FinalKey {
    uint8_t final;
    uint16_t scan_code;
    bool enhanced; // the navigation cluster, not the function keys
    Modifiers after_csi = {};
    Modifiers after_ss3 = {};
    bool rxvt = false;
};

constexpr FinalKey FINAL_KEYS[] = {
    {'A', scan::UP, true},   {'B', scan::DOWN, true}, {'C', scan::RIGHT, true}, {'D', scan::LEFT, true},
    {'H', scan::HOME, true}, {'F', scan::END, true},
    {'P', scan::F1, false},  {'Q', scan::F2, false},  {'R', scan::F3, false},    {'S', scan::F4, false},
    {'a', scan::UP, true, with::SHIFT, with::CTRL, true},
    {'b', scan::DOWN, true, with::SHIFT, with::CTRL, true},
    {'c', scan::RIGHT, true, with::SHIFT, with::CTRL, true},
    {'d', scan::LEFT, true, with::SHIFT, with::CTRL, true},
};

const FinalKey* final_key(uint8_t final)
{
    for (const FinalKey& f : FINAL_KEYS)
        if (f.final == final)
            return &f;
    return nullptr;
}

// A final's key, `m` from the sequence's parameter, `added` from its introducer.
Keystroke key_of(const FinalKey& f, Modifiers m, Modifiers added, Modifiers extra)
{
    return extended_keystroke(f.scan_code, f.enhanced, f.rxvt ? added | extra : m);
}

uint16_t function_key(int n) // F1 to F12, or 0
{
    if (n >= 1 && n <= 10)
        return static_cast<uint16_t>(scan::F1 + n - 1);
    return n == 11 ? scan::F11 : n == 12 ? scan::F12 : 0;
}

Keystroke f_key(int n, Modifiers m)
{
    return extended_keystroke(function_key(n), false, m);
}

// Where n stands in `numbers`, from 1; 0 if it is not there.
template <size_t N>
int position(const int (&numbers)[N], int n)
{
    const int* at = std::find(std::begin(numbers), std::end(numbers), n);
    return at == std::end(numbers) ? 0 : static_cast<int>(at - numbers) + 1;
}

// ESC [ n ~ and its rxvt forms: the key numbered n, or none.
Keystroke numbered_key(int n, Modifiers m, KeyDialect dialect)
{
    static constexpr uint16_t NAVIGATION[] = {0, scan::HOME, scan::INSERT, scan::DEL, scan::END,
                                              scan::PAGE_UP, scan::PAGE_DOWN, scan::HOME, scan::END};
    if (n >= 1 && n <= 8)
        return extended_keystroke(NAVIGATION[n], true, m);
    static constexpr int F_NUMBERS[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24};
    if (const int f = position(F_NUMBERS, n))
        return f_key(f, m);
    static constexpr int SHIFTED_F_NUMBERS[] = {25, 26, 28, 29, 31, 32, 33, 34};
    if (const int f = position(SHIFTED_F_NUMBERS, n))
        return f_key(f + (dialect == KeyDialect::linux_console ? 0 : 2), m | with::SHIFT);
    return NO_KEY; // paste markers 200/201, unknown keys
}

// st's editing keys outside application keypad mode: a final, with one
// parameter or none (0).
struct StKey {
    uint8_t final;
    int parameter;
    uint16_t scan_code;
    Modifiers modifiers;
};

constexpr StKey ST_KEYS[] = {
    {'h', 4, scan::INSERT, {}},        {'l', 4, scan::INSERT, with::SHIFT}, {'L', 0, scan::INSERT, with::CTRL},
    {'P', 0, scan::DEL, {}},           {'K', 2, scan::DEL, with::SHIFT},    {'M', 0, scan::DEL, with::CTRL},
    {'J', 0, scan::END, with::CTRL},   {'K', 0, scan::END, with::SHIFT},    {'J', 2, scan::HOME, with::SHIFT},
};

struct Parameters {
    int value[3] = {0, 0, 0}; // the first three; 0 where absent
    int count = 0;
};

// Reads digits, ':' and ';' from bytes[i..n); i ends on the first other byte.
// Of a parameter with ':'-separated parts only the first part counts.
Parameters read_parameters(const uint8_t* bytes, size_t n, size_t& i)
{
    Parameters p;
    bool in_part = false;
    for (; i < n && ((bytes[i] >= '0' && bytes[i] <= '9') || bytes[i] == ';' || bytes[i] == ':'); ++i) {
        if (p.count == 0)
            p.count = 1;
        if (bytes[i] == ';') {
            ++p.count;
            in_part = false;
        } else if (bytes[i] == ':') {
            in_part = true;
        } else if (!in_part && p.count <= 3) {
            int& v = p.value[p.count - 1];
            v = std::min(v * 10 + (bytes[i] - '0'), 100000);
        }
    }
    return p;
}

// The key that types c, as the newer encodings name it; none beyond 8 bits.
Keystroke typed_key(int c, Modifiers m)
{
    return c >= 0 && c <= 255 ? typed_keystroke(static_cast<uint8_t>(c), m) : NO_KEY;
}

Decoded linux_function_key(const uint8_t* bytes, size_t n, bool settled, Modifiers extra)
{
    if (n < 4)
        return unfinished_or_dropped(n, settled);
    if (bytes[3] >= 'A' && bytes[3] <= 'E')
        return key(4, f_key(bytes[3] - 'A' + 1, extra));
    return ignored(3);
}

// The key a complete CSI names, `extra` added to its modifiers.
Keystroke csi_key(const Parameters& p, uint8_t final, Modifiers extra, KeyDialect dialect)
{
    const int first = p.value[0];
    const Modifiers m = from_parameter(p.count >= 2 ? p.value[1] : 1) | extra;
    if (p.count <= 1) {
        for (const StKey& st : ST_KEYS)
            if (st.final == final && st.parameter == first)
                return extended_keystroke(st.scan_code, true, st.modifiers | extra);
    }
    if (const FinalKey* f = final_key(final)) {
        // With other parameters, R is a cursor-position report.
        if (!f->rxvt && first > 1)
            return NO_KEY;
        return key_of(*f, m, f->after_csi, extra);
    }
    switch (final) {
    case 'Z':
        return extended_keystroke(scan::TAB, false, with::SHIFT | extra);
    case '~':
        if (first == 27 && p.count >= 3)
            return typed_key(p.value[2], m);
        return numbered_key(first, m, dialect);
    case 'u':
        return p.count >= 1 ? typed_key(first, m) : NO_KEY;
    case '$':
        return numbered_key(first, with::SHIFT | extra, dialect);
    case '^':
        return numbered_key(first, with::CTRL | extra, dialect);
    case '@':
        return numbered_key(first, with::CTRL_SHIFT | extra, dialect);
    default:
        return NO_KEY; // focus reports and everything else
    }
}

Decoded control_sequence(const uint8_t* bytes, size_t n, bool settled, Modifiers extra, KeyDialect dialect)
{
    if (n == 2)
        return unfinished_or_key(2, alt_key('['), settled);
    if (bytes[2] == '[')
        return linux_function_key(bytes, n, settled, extra);
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
    return key(used, csi_key(p, final, extra, dialect));
}

// The keypad in application mode, by final j to y: its character, and the
// key the console knows it by where that key has an Alt pair (Enter, slash).
Keystroke keypad_key(uint8_t character, Modifiers extra)
{
    if (!extra.alt)
        return one(character);
    if (character == '\r')
        return extended_keystroke(scan::ENTER, true, extra);
    return character == '/' ? extended_keystroke(scan::SLASH, true, extra) : NO_KEY;
}

Decoded single_shift(const uint8_t* bytes, size_t n, bool settled, Modifiers extra)
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
    const Modifiers m = from_parameter(p.count ? p.value[p.count >= 2 ? 1 : 0] : 1) | extra;
    if (const FinalKey* f = final_key(final))
        return key(used, key_of(*f, m, f->after_ss3, extra));
    if (final == 'M')
        return key(used, keypad_key('\r', extra));
    static constexpr char KEYPAD[] = "*+,-./0123456789"; // finals j to y
    if (final >= 'j' && final <= 'y')
        return key(used, keypad_key(static_cast<uint8_t>(KEYPAD[final - 'j']), extra));
    return ignored(used);
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

// A CSI or SS3 sequence from bytes[0] = ESC, `extra` added to its key.
Decoded key_sequence(const uint8_t* bytes, size_t n, bool settled, Modifiers extra, KeyDialect dialect)
{
    return bytes[1] == '[' ? control_sequence(bytes, n, settled, extra, dialect)
                           : single_shift(bytes, n, settled, extra);
}

// ESC ESC ...: an Esc, or Alt with the key sequence that follows the first ESC.
Decoded escaped(const uint8_t* bytes, size_t n, bool settled, KeyDialect dialect)
{
    if (n == 2)
        return unfinished_or_key(1, one(ESC), settled);
    if (bytes[2] == '[' || bytes[2] == 'O') {
        const Decoded inner = key_sequence(bytes + 1, n - 1, settled, with::ALT, dialect);
        if (inner.decoding == Decoding::unfinished)
            return UNFINISHED;
        if (inner.used > 2) // more than a bare introducer, which is a key of its own
            return {inner.decoding, inner.used + 1, inner.key};
    }
    return key(1, one(ESC));
}

} // namespace

bool opens_string(uint8_t c)
{
    return c == ']' || c == 'P' || c == 'X' || c == '^' || c == '_';
}

SkippedBytes skip_sequence(uint8_t opened_by, const uint8_t* bytes, size_t n)
{
    if (opens_string(opened_by)) {
        const StringEnd end = string_end(bytes, n, 0);
        return {end.used, end.found};
    }
    size_t i = 0;
    while (i < n && (is_parameter(bytes[i]) || is_intermediate(bytes[i])))
        ++i;
    if (i == n)
        return {n, false};
    return {i + (is_final(bytes[i]) ? 1 : 0), true};
}

KeyDialect dialect_of(const char* term)
{
    return term != nullptr && std::strncmp(term, "linux", 5) == 0 ? KeyDialect::linux_console : KeyDialect::rxvt;
}

Decoded decode_key(const uint8_t* bytes, size_t n, bool settled, KeyDialect dialect)
{
    if (bytes[0] != ESC)
        return key(1, bytes[0] == 0 ? typed_keystroke(0, {}) : one(bytes[0]));
    if (n == 1)
        return unfinished_or_key(1, one(ESC), settled);
    const uint8_t c = bytes[1];
    if (c == '[' || c == 'O')
        return key_sequence(bytes, n, settled, {}, dialect);
    if (opens_string(c))
        return string_sequence(bytes, n, settled);
    if (c == ESC)
        return escaped(bytes, n, settled, dialect);
    return key(2, alt_key(c));
}
