#include <cstdint>
#include <map>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "keys/key_tables.h"

namespace {

using Pairs = std::map<int, std::pair<int, int>>; // scan code -> pair

Pairs passing(Modifiers m)
{
    Pairs out;
    for (int s = 0; s <= 100; ++s) {
        KeyPair p{};
        if (extended_key(static_cast<uint16_t>(s), false, m, p))
            out[s] = {p.prefix, p.code};
    }
    return out;
}

void add_range(Pairs& pairs, int first_scan, int last_scan, int first_code, int prefix = 0)
{
    for (int s = first_scan; s <= last_scan; ++s)
        pairs[s] = {prefix, first_code + s - first_scan};
}

void add_function_keys(Pairs& pairs, int f1_code, int f11_code)
{
    add_range(pairs, 59, 68, f1_code);
    pairs[87] = {224, f11_code};
    pairs[88] = {224, f11_code + 1};
}

Pairs keypad(std::map<int, int> codes)
{
    Pairs out;
    for (auto [s, c] : codes)
        out[s] = {0, c};
    return out;
}

TEST(KeyTables, EachVariantPassesExactlyItsListedPairs)
{
    Pairs plain = keypad({{71, 71}, {72, 72}, {73, 73}, {75, 75}, {77, 77}, {79, 79}, {80, 80}, {81, 81}, {82, 82}, {83, 83}});
    add_range(plain, 59, 68, 59);
    plain[87] = {224, 133};
    plain[88] = {224, 134};

    Pairs shift{{15, {0, 15}}};
    add_function_keys(shift, 84, 135);

    Pairs ctrl = keypad({{71, 119}, {72, 141}, {73, 132}, {75, 115}, {77, 116}, {79, 117}, {80, 145}, {81, 118}, {82, 146}, {83, 147}});
    ctrl[3] = {0, 3};
    ctrl[15] = {0, 148};
    add_function_keys(ctrl, 94, 137);

    Pairs alt{{1, {0, 1}}, {14, {0, 14}}, {15, {0, 15}}};
    add_range(alt, 16, 28, 16);
    add_range(alt, 30, 41, 30);
    add_range(alt, 44, 53, 44);
    add_range(alt, 2, 13, 120);
    add_function_keys(alt, 104, 139);

    EXPECT_EQ(passing({}), plain);
    EXPECT_EQ(passing(with::SHIFT), shift);
    EXPECT_EQ(passing(with::CTRL), ctrl);
    EXPECT_EQ(passing(with::ALT), alt);
    // Alt wins over Ctrl, Ctrl over Shift.
    EXPECT_EQ(passing({true, true, true}), alt);
    EXPECT_EQ(passing(with::CTRL_SHIFT), ctrl);
}

TEST(KeyTables, NoPairPassesForKeysThatOnlyTypeOrModify)
{
    const std::set<int> silent{0, 29, 42, 43, 54, 55, 56, 57, 58, 69, 70, 74, 76, 78, 84, 85, 86};
    std::set<int> found;
    for (int s = 0; s <= 88; ++s) {
        bool any = false;
        for (const Modifiers m : {Modifiers{}, with::SHIFT, with::CTRL, with::ALT}) {
            KeyPair p{};
            any = any || extended_key(static_cast<uint16_t>(s), false, m, p);
        }
        if (!any)
            found.insert(s);
    }
    EXPECT_EQ(found, silent);
}

TEST(KeyTables, EnhancedKeysTakeTheirPairsWithoutATest)
{
    const struct {
        uint16_t scan;
        Modifiers m;
        bool has;
        KeyPair pair;
    } cases[] = {
        {28, {}, true, {13, 0}},                   // keypad Enter with no character
        {28, with::CTRL, true, {10, 0}}, // Ctrl+keypad Enter
        {53, with::SHIFT, true, {63, 0}}, // Shift+keypad slash
        {53, with::ALT, true, {0, 164}},
        {73, with::CTRL, true, {224, 134}}, // Ctrl+Page Up, the same codes as F12
        {72, {}, true, {224, 72}},
        {72, with::ALT, true, {0, 152}},
        {83, with::CTRL, true, {224, 147}},
        {29, {}, false, {}}, // right Ctrl: enhanced but not in the table, main table not consulted
        {59, {}, false, {}}, // F1 marked enhanced is not looked up in the main table
    };
    for (const auto& c : cases) {
        KeyPair p{};
        EXPECT_EQ(extended_key(c.scan, true, c.m, p), c.has) << c.scan;
        if (c.has) {
            EXPECT_EQ(p.prefix, c.pair.prefix) << c.scan;
            EXPECT_EQ(p.code, c.pair.code) << c.scan;
        }
    }
    KeyPair p{};
    EXPECT_FALSE(extended_key(89, false, {}, p)) << "outside the main table";
    EXPECT_FALSE(extended_key(0xFFFF, false, {}, p));
}

TEST(KeyTables, CharactersFindTheirUsKeys)
{
    const struct {
        uint8_t c;
        int scan;
    } cases[] = {{'a', 30}, {'A', 30}, {'1', 2}, {'!', 2}, {']', 27}, {'}', 27}, {'\\', 43}, {'*', 9},
                 {'-', 12}, {'+', 13}, {'.', 52}, {' ', 57}, {'\t', 15}, {'\r', 28}, {127, 14},
                 {1, 30}, {27, 1}, {200, -1}, {0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(scan_code_typing(c.c), c.scan) << int{c.c};
}

} // namespace
