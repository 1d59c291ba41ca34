#include "keys/key_tables.h"

#include <initializer_list>

namespace {

enum Variant { PLAIN, SHIFT, CTRL, ALT };

struct EnhancedRow {
    uint16_t scan_code;
    KeyPair pairs[4];
};

// Keys marked enhanced: their pairs hold with no further test.
constexpr EnhancedRow ENHANCED[] = {
    {28, {{13, 0}, {13, 0}, {10, 0}, {0, 166}}},        // keypad Enter
    {53, {{47, 0}, {63, 0}, {0, 149}, {0, 164}}},       // keypad slash
    {71, {{224, 71}, {224, 71}, {224, 119}, {0, 151}}}, // Home
    {72, {{224, 72}, {224, 72}, {224, 141}, {0, 152}}}, // Up
    {73, {{224, 73}, {224, 73}, {224, 134}, {0, 153}}}, // Page Up
    {75, {{224, 75}, {224, 75}, {224, 115}, {0, 155}}}, // Left
    {77, {{224, 77}, {224, 77}, {224, 116}, {0, 157}}}, // Right
    {79, {{224, 79}, {224, 79}, {224, 117}, {0, 159}}}, // End
    {80, {{224, 80}, {224, 80}, {224, 145}, {0, 160}}}, // Down
    {81, {{224, 81}, {224, 81}, {224, 118}, {0, 161}}}, // Page Down
    {82, {{224, 82}, {224, 82}, {224, 146}, {0, 162}}}, // Insert
    {83, {{224, 83}, {224, 83}, {224, 147}, {0, 163}}}, // Delete
};

// Scan codes 0 to 88 on a US layout: plain, Shift, Ctrl, Alt. A character
// is its code followed by 0, which never counts as an extended code.
constexpr KeyPair MAIN[89][4] = {
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, //  0
    {{ 27,  0}, { 27,  0}, { 27,  0}, {  0,  1}}, //  1 Esc
    {{ 49,  0}, { 33,  0}, {  0,  0}, {  0,120}}, //  2 1
    {{ 50,  0}, { 64,  0}, {  0,  3}, {  0,121}}, //  3 2
    {{ 51,  0}, { 35,  0}, {  0,  0}, {  0,122}}, //  4 3
    {{ 52,  0}, { 36,  0}, {  0,  0}, {  0,123}}, //  5 4
    {{ 53,  0}, { 37,  0}, {  0,  0}, {  0,124}}, //  6 5
    {{ 54,  0}, { 94,  0}, { 30,  0}, {  0,125}}, //  7 6
    {{ 55,  0}, { 38,  0}, {  0,  0}, {  0,126}}, //  8 7
    {{ 56,  0}, { 42,  0}, {  0,  0}, {  0,127}}, //  9 8
    {{ 57,  0}, { 40,  0}, {  0,  0}, {  0,128}}, // 10 9
    {{ 48,  0}, { 41,  0}, {  0,  0}, {  0,129}}, // 11 0
    {{ 45,  0}, { 95,  0}, { 31,  0}, {  0,130}}, // 12 -
    {{ 61,  0}, { 43,  0}, {  0,  0}, {  0,131}}, // 13 =
    {{  8,  0}, {  8,  0}, {127,  0}, {  0, 14}}, // 14 Backspace
    {{  9,  0}, {  0, 15}, {  0,148}, {  0, 15}}, // 15 Tab
    {{113,  0}, { 81,  0}, { 17,  0}, {  0, 16}}, // 16 q
    {{119,  0}, { 87,  0}, { 23,  0}, {  0, 17}}, // 17 w
    {{101,  0}, { 69,  0}, {  5,  0}, {  0, 18}}, // 18 e
    {{114,  0}, { 82,  0}, { 18,  0}, {  0, 19}}, // 19 r
    {{116,  0}, { 84,  0}, { 20,  0}, {  0, 20}}, // 20 t
    {{121,  0}, { 89,  0}, { 25,  0}, {  0, 21}}, // 21 y
    {{117,  0}, { 85,  0}, { 21,  0}, {  0, 22}}, // 22 u
    {{105,  0}, { 73,  0}, {  9,  0}, {  0, 23}}, // 23 i
    {{111,  0}, { 79,  0}, { 15,  0}, {  0, 24}}, // 24 o
    {{112,  0}, { 80,  0}, { 16,  0}, {  0, 25}}, // 25 p
    {{ 91,  0}, {123,  0}, { 27,  0}, {  0, 26}}, // 26 [
    {{ 93,  0}, {125,  0}, { 29,  0}, {  0, 27}}, // 27 ]
    {{ 13,  0}, { 13,  0}, { 10,  0}, {  0, 28}}, // 28 Enter
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 29 Ctrl
    {{ 97,  0}, { 65,  0}, {  1,  0}, {  0, 30}}, // 30 a
    {{115,  0}, { 83,  0}, { 19,  0}, {  0, 31}}, // 31 s
    {{100,  0}, { 68,  0}, {  4,  0}, {  0, 32}}, // 32 d
    {{102,  0}, { 70,  0}, {  6,  0}, {  0, 33}}, // 33 f
    {{103,  0}, { 71,  0}, {  7,  0}, {  0, 34}}, // 34 g
    {{104,  0}, { 72,  0}, {  8,  0}, {  0, 35}}, // 35 h
    {{106,  0}, { 74,  0}, { 10,  0}, {  0, 36}}, // 36 j
    {{107,  0}, { 75,  0}, { 11,  0}, {  0, 37}}, // 37 k
    {{108,  0}, { 76,  0}, { 12,  0}, {  0, 38}}, // 38 l
    {{ 59,  0}, { 58,  0}, {  0,  0}, {  0, 39}}, // 39 ;
    {{ 39,  0}, { 34,  0}, {  0,  0}, {  0, 40}}, // 40 '
    {{ 96,  0}, {126,  0}, {  0,  0}, {  0, 41}}, // 41 `
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 42 left Shift
    {{ 92,  0}, {124,  0}, { 28,  0}, {  0,  0}}, // 43 backslash
    {{122,  0}, { 90,  0}, { 26,  0}, {  0, 44}}, // 44 z
    {{120,  0}, { 88,  0}, { 24,  0}, {  0, 45}}, // 45 x
    {{ 99,  0}, { 67,  0}, {  3,  0}, {  0, 46}}, // 46 c
    {{118,  0}, { 86,  0}, { 22,  0}, {  0, 47}}, // 47 v
    {{ 98,  0}, { 66,  0}, {  2,  0}, {  0, 48}}, // 48 b
    {{110,  0}, { 78,  0}, { 14,  0}, {  0, 49}}, // 49 n
    {{109,  0}, { 77,  0}, { 13,  0}, {  0, 50}}, // 50 m
    {{ 44,  0}, { 60,  0}, {  0,  0}, {  0, 51}}, // 51 ,
    {{ 46,  0}, { 62,  0}, {  0,  0}, {  0, 52}}, // 52 .
    {{ 47,  0}, { 63,  0}, {  0,  0}, {  0, 53}}, // 53 /
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 54 right Shift
    {{ 42,  0}, { 42,  0}, {  0,  0}, {  0,  0}}, // 55 keypad *
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 56 Alt
    {{ 32,  0}, { 32,  0}, { 32,  0}, { 32,  0}}, // 57 space
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 58 Caps Lock
    {{  0, 59}, {  0, 84}, {  0, 94}, {  0,104}}, // 59 F1
    {{  0, 60}, {  0, 85}, {  0, 95}, {  0,105}}, // 60 F2
    {{  0, 61}, {  0, 86}, {  0, 96}, {  0,106}}, // 61 F3
    {{  0, 62}, {  0, 87}, {  0, 97}, {  0,107}}, // 62 F4
    {{  0, 63}, {  0, 88}, {  0, 98}, {  0,108}}, // 63 F5
    {{  0, 64}, {  0, 89}, {  0, 99}, {  0,109}}, // 64 F6
    {{  0, 65}, {  0, 90}, {  0,100}, {  0,110}}, // 65 F7
    {{  0, 66}, {  0, 91}, {  0,101}, {  0,111}}, // 66 F8
    {{  0, 67}, {  0, 92}, {  0,102}, {  0,112}}, // 67 F9
    {{  0, 68}, {  0, 93}, {  0,103}, {  0,113}}, // 68 F10
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 69 Num Lock
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 70 Scroll Lock
    {{  0, 71}, { 55,  0}, {  0,119}, {  0,  0}}, // 71 keypad Home
    {{  0, 72}, { 56,  0}, {  0,141}, {  0,  0}}, // 72 keypad Up
    {{  0, 73}, { 57,  0}, {  0,132}, {  0,  0}}, // 73 keypad Page Up
    {{ 45,  0}, { 45,  0}, {  0,  0}, {  0,  0}}, // 74 keypad -
    {{  0, 75}, { 52,  0}, {  0,115}, {  0,  0}}, // 75 keypad Left
    {{  0,  0}, { 53,  0}, {  0,  0}, {  0,  0}}, // 76 keypad 5
    {{  0, 77}, { 54,  0}, {  0,116}, {  0,  0}}, // 77 keypad Right
    {{ 43,  0}, { 43,  0}, {  0,  0}, {  0,  0}}, // 78 keypad +
    {{  0, 79}, { 49,  0}, {  0,117}, {  0,  0}}, // 79 keypad End
    {{  0, 80}, { 50,  0}, {  0,145}, {  0,  0}}, // 80 keypad Down
    {{  0, 81}, { 51,  0}, {  0,118}, {  0,  0}}, // 81 keypad Page Down
    {{  0, 82}, { 48,  0}, {  0,146}, {  0,  0}}, // 82 keypad Insert
    {{  0, 83}, { 46,  0}, {  0,147}, {  0,  0}}, // 83 keypad Delete
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 84
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 85
    {{  0,  0}, {  0,  0}, {  0,  0}, {  0,  0}}, // 86
    {{224,133}, {224,135}, {224,137}, {224,139}}, // 87 F11
    {{224,134}, {224,136}, {224,138}, {224,140}}, // 88 F12
};

Variant variant_of(Modifiers m)
{
    if (m.alt)
        return ALT;
    if (m.ctrl)
        return CTRL;
    return m.shift ? SHIFT : PLAIN;
}

} // namespace

bool extended_key(uint16_t scan_code, bool enhanced, Modifiers modifiers, KeyPair& pair)
{
    const Variant v = variant_of(modifiers);
    if (enhanced) {
        for (const EnhancedRow& row : ENHANCED) {
            if (row.scan_code == scan_code) {
                pair = row.pairs[v];
                return true;
            }
        }
        return false;
    }
    if (scan_code >= sizeof MAIN / sizeof MAIN[0])
        return false;
    const KeyPair candidate = MAIN[scan_code][v];
    if ((candidate.prefix != 0 && candidate.prefix != 224) || candidate.code == 0)
        return false;
    pair = candidate;
    return true;
}

Keystroke extended_keystroke(uint16_t scan_code, bool enhanced, Modifiers modifiers)
{
    KeyPair pair;
    if (!extended_key(scan_code, enhanced, modifiers, pair))
        return NO_KEY;
    return {2, {pair.prefix, pair.code}};
}

int scan_code_typing(uint8_t c)
{
    // Lowest scan code first, so that the main keys win over the keypad.
    for (int s = 1; s < static_cast<int>(sizeof MAIN / sizeof MAIN[0]); ++s)
        for (const Variant v : {PLAIN, SHIFT, CTRL})
            if (MAIN[s][v].code == 0 && MAIN[s][v].prefix == c && c != 0)
                return s;
    return -1;
}

Keystroke typed_keystroke(uint8_t c, Modifiers modifiers)
{
    const bool unmodified = !modifiers.shift && !modifiers.ctrl && !modifiers.alt;
    if (c == 0)
        return extended_keystroke(scan::TWO, false, unmodified ? with::CTRL : modifiers | with::CTRL);
    const int s = scan_code_typing(c);
    const Keystroke as_is{1, {c, 0}};
    if (unmodified || s < 0)
        return as_is;
    const KeyPair entry = MAIN[s][variant_of(modifiers)];
    if (entry.code == 0 && entry.prefix != 0)
        return {1, {entry.prefix, 0}}; // the character the modifiers make
    const Keystroke k = extended_keystroke(static_cast<uint16_t>(s), false, modifiers);
    return k.length == 0 && modifiers.alt ? as_is : k;
}

Keystroke keystroke_of(const KeyEvent& event)
{
    if (!event.is_key || !event.key_down)
        return NO_KEY;
    if (event.character != 0)
        return {1, {event.character, 0}};
    return extended_keystroke(event.scan_code, event.enhanced, event.modifiers);
}
