#pragma once
// The console's key tables: which two codes a key without a character gives,
// by scan code and modifiers. One source for every platform: the Windows
// console feeds real scan codes, the POSIX decoder names the key it decoded.

#include <cstdint>

struct KeyPair {
    uint8_t prefix;
    uint8_t code;
};

// What one key press reads as.
struct Keystroke {
    int length; // 0: none, 1: one code, 2: a prefix and a second code
    uint8_t codes[2];
};

inline constexpr Keystroke NO_KEY{0, {0, 0}};

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Both sets of modifiers at once.
constexpr Modifiers operator|(Modifiers a, Modifiers b)
{
    return {a.shift || b.shift, a.ctrl || b.ctrl, a.alt || b.alt};
}

namespace with {
inline constexpr Modifiers SHIFT{true, false, false};
inline constexpr Modifiers CTRL{false, true, false};
inline constexpr Modifiers ALT{false, false, true};
inline constexpr Modifiers CTRL_SHIFT{true, true, false};
} // namespace with

// The extended code of a key, if it has one. Enhanced keys (the navigation
// cluster, keypad Enter and slash) are looked up in their own table and taken
// as they stand; other keys only where the pair is 0 or 224 and a non-zero
// second code. Scan codes outside the tables have none.
bool extended_key(uint16_t scan_code, bool enhanced, Modifiers modifiers, KeyPair& pair);

// The same as a keystroke of two codes; NO_KEY where the key has none.
Keystroke extended_keystroke(uint16_t scan_code, bool enhanced, Modifiers modifiers);

// A console key event, as the Windows console reports it.
struct KeyEvent {
    bool is_key;        // false for mouse, focus, menu and buffer-size events
    bool key_down;
    uint16_t scan_code;
    uint8_t character;  // 0 when the key types none
    bool enhanced;
    Modifiers modifiers;
};

// One event is one keystroke at most: its character if it types one, else
// its extended code. Key releases, other events and keys with neither
// (Shift, Ctrl, Alt and the lock keys on their own) read as none.
Keystroke keystroke_of(const KeyEvent& event);

// The scan code of the key that types `c` on a US layout, plain, shifted or
// with Ctrl; -1 if no key does.
int scan_code_typing(uint8_t c);

// What the console reads for the key that types `c`, pressed with
// `modifiers`: c itself unmodified (NUL is Ctrl+2), else that key's character
// or pair for the modifiers, or none where it has neither. Alt with a key
// that has no Alt pair, or with a character no key types, reads as c, as an
// Esc-prefixed character always has.
Keystroke typed_keystroke(uint8_t c, Modifiers modifiers);

namespace scan {
inline constexpr uint16_t ESC = 1, TWO = 3, TAB = 15, ENTER = 28, SLASH = 53;
inline constexpr uint16_t F1 = 59, F2 = 60, F3 = 61, F4 = 62, F11 = 87, F12 = 88;
inline constexpr uint16_t HOME = 71, UP = 72, PAGE_UP = 73, LEFT = 75, RIGHT = 77, END = 79, DOWN = 80,
                          PAGE_DOWN = 81, INSERT = 82, DEL = 83;
} // namespace scan
