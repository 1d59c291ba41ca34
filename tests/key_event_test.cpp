// Which console key events are keystrokes, and what they read as.

#include <vector>

#include <gtest/gtest.h>

#include "keys/key_tables.h"

namespace {

constexpr Modifiers NONE{};
using with::ALT;
using with::CTRL;
using with::SHIFT;

KeyEvent key_down(uint16_t scan, uint8_t character, bool enhanced = false, Modifiers m = NONE)
{
    return {true, true, scan, character, enhanced, m};
}

TEST(KeyEvents, ClassifiedAndLookedUp)
{
    KeyEvent released = key_down(30, 'a');
    released.key_down = false;
    KeyEvent mouse{};
    mouse.is_key = false;
    const struct {
        const char* name;
        KeyEvent event;
        std::vector<int> codes; // empty: not a keystroke
    } cases[] = {
        {"key release", released, {}},
        {"mouse, focus, menu or buffer-size event", mouse, {}},
        {"lone Shift", key_down(42, 0, false, SHIFT), {}},
        {"lone right Ctrl", key_down(29, 0, true, CTRL), {}},
        {"lone Alt", key_down(56, 0, false, ALT), {}},
        {"Caps Lock", key_down(58, 0), {}},
        {"Num Lock", key_down(69, 0), {}},
        {"a character", key_down(30, 'a'), {'a'}},
        {"Esc", key_down(1, 27), {27}},
        {"Enter", key_down(28, 13), {13}},
        {"a character in the upper half", key_down(40, 0xE9), {0xE9}},
        {"F1", key_down(59, 0), {0, 59}},
        {"Shift+F1", key_down(59, 0, false, SHIFT), {0, 84}},
        {"Alt+F12", key_down(88, 0, false, ALT), {224, 140}},
        {"keypad Enter without a character", key_down(28, 0, true), {13, 0}},
        {"Ctrl+Page Up", key_down(73, 0, true, CTRL), {224, 134}},
        {"Up", key_down(72, 0, true), {224, 72}},
        {"keypad Up with Num Lock off", key_down(72, 0), {0, 72}},
        {"Alt+] as a pair", key_down(27, 0, false, ALT), {0, 27}},
        {"scan code beyond the main table", key_down(100, 0), {}},
        {"enhanced scan code beyond both tables", key_down(200, 0, true), {}},
    };
    for (const auto& c : cases) {
        const Keystroke k = keystroke_of(c.event);
        std::vector<int> codes;
        for (int i = 0; i < k.length; ++i)
            codes.push_back(k.codes[i]);
        EXPECT_EQ(codes, c.codes) << c.name;
    }
}

} // namespace
