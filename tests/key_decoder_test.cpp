#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "keys/key_reader.h"

namespace {

// Feeds `bytes` as fast as the buffer takes them, then lets the input settle,
// and returns every code read.
std::vector<int> codes_of(const std::string& bytes, KeyDialect dialect = KeyDialect::rxvt)
{
    KeyReader reader;
    reader.dialect = dialect;
    std::vector<int> codes;
    size_t fed = 0;
    for (int guard = 0; guard < 100000; ++guard) {
        const size_t n = std::min(reader_room(reader), bytes.size() - fed);
        reader_append(reader, reinterpret_cast<const uint8_t*>(bytes.data()) + fed, n, 0);
        fed += n;
        const Pending p = reader_peek(reader, fed == bytes.size() ? 1000 : 0);
        EXPECT_LE(reader.length, KEY_BUFFER_SIZE);
        if (p.key.length != 0) {
            for (int i = 0; i < p.key.length; ++i)
                codes.push_back(p.key.codes[i]);
            reader_take(reader);
        } else if (fed == bytes.size()) {
            EXPECT_FALSE(p.unfinished);
            return codes;
        }
    }
    ADD_FAILURE() << "the reader never finished";
    return codes;
}

struct Case {
    const char* name;
    std::string bytes;
    std::vector<int> codes;
    const char* term = "xterm"; // $TERM, where it matters
};

void check(const std::vector<Case>& cases)
{
    for (const auto& c : cases)
        EXPECT_EQ(codes_of(c.bytes, dialect_of(c.term)), c.codes) << c.name;
}

TEST(KeyDecoder, PlainBytesAreTheirOwnCodes)
{
    check({
        {"letter", "a", {97}},
        {"Enter with CR-to-LF off", "\r", {13}},
        {"Backspace as DEL", "\x7f", {127}},
        {"Ctrl+C while read_key waits", "\x03", {3}},
        {"UTF-8 bytes one by one", "\xc3\xa9", {0xc3, 0xa9}},
        {"NUL is Ctrl+2", std::string(1, '\0'), {0, 3}},
        {"several keys", "x y", {120, 32, 121}},
    });
}

TEST(KeyDecoder, NavigationKeysTakeTheEnhancedPairs)
{
    check({
        {"Up", "\x1b[A", {224, 72}},         {"Down", "\x1b[B", {224, 80}},
        {"Right", "\x1b[C", {224, 77}},      {"Left", "\x1b[D", {224, 75}},
        {"Home", "\x1b[H", {224, 71}},       {"End", "\x1b[F", {224, 79}},
        {"Up, application mode", "\x1bOA", {224, 72}},
        {"Home, application mode", "\x1bOH", {224, 71}},
        {"Home VT220", "\x1b[1~", {224, 71}}, {"Insert", "\x1b[2~", {224, 82}},
        {"Delete", "\x1b[3~", {224, 83}},    {"End VT220", "\x1b[4~", {224, 79}},
        {"Page Up", "\x1b[5~", {224, 73}},   {"Page Down", "\x1b[6~", {224, 81}},
        {"Home rxvt", "\x1b[7~", {224, 71}}, {"End rxvt", "\x1b[8~", {224, 79}},
        {"Shift+Up", "\x1b[1;2A", {224, 72}},
        {"Alt+Up", "\x1b[1;3A", {0, 152}},
        {"Ctrl+Up", "\x1b[1;5A", {224, 141}},
        {"Ctrl+Alt+Up: Alt first", "\x1b[1;7A", {0, 152}},
        {"Meta+Up as Alt", "\x1b[1;9A", {0, 152}},
        {"Ctrl+Page Up", "\x1b[5;5~", {224, 134}},
        {"Alt+Page Up", "\x1b[5;3~", {0, 153}},
        {"Ctrl+Left", "\x1b[1;5D", {224, 115}},
        {"rxvt Shift+Up", "\x1b[a", {224, 72}},
        {"rxvt Ctrl+Up", "\x1bOa", {224, 141}},
        {"rxvt Ctrl+Delete", "\x1b[3^", {224, 147}},
        {"rxvt Shift+Delete", "\x1b[3$", {224, 83}},
        {"st Insert", "\x1b[4h", {224, 82}},              {"st Shift+Insert", "\x1b[4l", {224, 82}},
        {"st Ctrl+Insert", "\x1b[L", {224, 146}},         {"st Delete", "\x1b[P", {224, 83}},
        {"st Shift+Delete", "\x1b[2K", {224, 83}},        {"st Ctrl+End", "\x1b[J", {224, 117}},
        {"st Shift+End", "\x1b[K", {224, 79}},            {"st Shift+Home", "\x1b[2J", {224, 71}},
        {"st Ctrl+Delete, then keys it does not swallow", "\x1b[M !\x1b", {224, 147, ' ', '!', 27}},
        {"rxvt Alt+Up", "\x1b\x1b[A", {0, 152}},         {"rxvt Alt+Shift+Up", "\x1b\x1b[a", {0, 152}},
        {"Alt+Ctrl+Up, Esc-prefixed", "\x1b\x1b[1;5A", {0, 152}},
        {"Alt+Delete, Esc-prefixed", "\x1b\x1b[3~", {0, 163}},
        {"Alt+st Ctrl+Delete", "\x1b\x1b[M", {0, 163}},  {"Alt+keypad Enter", "\x1b\x1bOM", {0, 166}},
        {"Alt+keypad 5 has no pair: no key, no Esc", "\x1b\x1bOuq", {'q'}},
        {"Alt+unknown key: no key, no Esc", "\x1b\x1b[99~q", {'q'}},
    });
}

TEST(KeyDecoder, FunctionKeysTakeTheMainPairs)
{
    check({
        {"F1 SS3", "\x1bOP", {0, 59}},         {"F4 SS3", "\x1bOS", {0, 62}},
        {"F1 VT220", "\x1b[11~", {0, 59}},     {"F5", "\x1b[15~", {0, 63}},
        {"F6", "\x1b[17~", {0, 64}},           {"F10", "\x1b[21~", {0, 68}},
        {"F11", "\x1b[23~", {224, 133}},       {"F12", "\x1b[24~", {224, 134}},
        {"F1 Linux console", "\x1b[[A", {0, 59}},
        {"F5 Linux console", "\x1b[[E", {0, 63}},
        {"Shift+F1 xterm", "\x1b[1;2P", {0, 84}},
        {"Shift+F1 old xterm", "\x1bO2P", {0, 84}},
        {"Ctrl+F1", "\x1b[1;5P", {0, 94}},
        {"Alt+F1", "\x1b[1;3P", {0, 104}},
        {"Shift+F5", "\x1b[15;2~", {0, 88}},
        {"Shift+F11", "\x1b[23;2~", {224, 135}},
        {"Ctrl+F12", "\x1b[24;5~", {224, 138}},
        {"Alt+F12", "\x1b[24;3~", {224, 140}},
        {"rxvt Ctrl+F1", "\x1b[11^", {0, 94}},
        {"rxvt Shift+F1 is F11", "\x1b[23~", {224, 133}}, {"rxvt Shift+F5", "\x1b[28~", {0, 88}},
        {"rxvt Ctrl+Shift+F3", "\x1b[25^", {0, 96}},      {"rxvt Ctrl+Shift+F10", "\x1b[34@", {0, 103}},
        {"rxvt Alt+F5", "\x1b\x1b[15~", {0, 108}},       {"Alt+F1 SS3", "\x1b\x1bOP", {0, 104}},
        {"rxvt Alt+Shift+F3", "\x1b\x1b[25~", {0, 106}}, {"Linux console Alt+F1", "\x1b\x1b[[A", {0, 104}},
        {"rxvt Shift+F10", "\x1b[34~", {0, 93}, "rxvt-unicode-256color"},
        {"Linux console Shift+F1", "\x1b[25~", {0, 84}, "linux"},
        {"Linux console Shift+F8", "\x1b[34~", {0, 91}, "linux"},
        {"Shift+Tab", "\x1b[Z", {0, 15}},
        {"keypad Enter, application mode", "\x1bOM", {13}},
        {"keypad 5, application mode", "\x1bOu", {'5'}},
    });
}

TEST(KeyDecoder, EscThenACharacterIsThatKeyWithAlt)
{
    check({
        {"Alt+a", "\x1b" "a", {0, 30}},
        {"Alt+A takes the a key", "\x1b" "A", {0, 30}},
        {"Alt+1", "\x1b" "1", {0, 120}},
        {"Alt+=", "\x1b=", {0, 131}},
        {"Alt+] settles as a key", "\x1b]", {0, 27}},
        {"Alt+[ settles as a key", "\x1b[", {0, 26}},
        {"Alt+O settles as a key", "\x1bO", {0, 24}},
        {"Alt+P settles as a key", "\x1bP", {0, 25}},
        {"Alt+Backspace", "\x1b\x7f", {0, 14}},
        {"Alt+Enter", "\x1b\r", {0, 28}},
        {"Alt+Tab", "\x1b\t", {0, 15}},
        {"Alt+Ctrl+A", "\x1b\x01", {0, 30}},
        {"Alt+space has no pair: the character", "\x1b ", {32}},
        {"Alt+backslash has no pair: the character", "\x1b\\", {92}},
        {"Alt with a UTF-8 character", "\x1b\xc3\xa9", {0xc3, 0xa9}},
        {"Esc alone", "\x1b", {27}},
        {"Esc Esc is two Escs", "\x1b\x1b", {27, 27}},
        {"Esc, Esc then a letter", "\x1b\x1bx", {27, 0, 45}},
        {"Esc, then Alt+[ settled", "\x1b\x1b[", {27, 0, 26}},
        {"Esc then a focus report is still no Esc", "\x1b\x1b[I", {}},
        {"keys around a sequence", "x\x1b[Ay", {120, 224, 72, 121}},
    });
}

TEST(KeyDecoder, NewerEncodingsNameTheKeyThatTypesACharacter)
{
    check({
        {"Ctrl+a, CSI u", "\x1b[97;5u", {1}},             {"Ctrl+a, modifyOtherKeys", "\x1b[27;5;97~", {1}},
        {"Ctrl+Shift+A", "\x1b[65;6u", {1}},              {"Alt+a", "\x1b[97;3u", {0, 30}},
        {"Shift+a is A", "\x1b[97;2u", {'A'}},            {"Ctrl+Enter", "\x1b[13;5u", {10}},
        {"Shift+Tab", "\x1b[9;2u", {0, 15}},              {"Ctrl+Tab", "\x1b[27;5;9~", {0, 148}},
        {"Alt+Backspace", "\x1b[127;3u", {0, 14}},        {"Ctrl+2", "\x1b[50;5u", {0, 3}},
        {"Ctrl+1 has no code", "\x1b[49;5u", {}},         {"plain character", "\x1b[97u", {'a'}},
        {"Esc", "\x1b[27u", {27}},
        {"Esc with the event type as a sub-parameter", "\x1b[27;1:1u", {27}},
        {"shifted key as a sub-parameter", "\x1b[97:65;2u", {'A'}},
        {"Alt+backslash", "\x1b[92;3u", {92}},
    });
}

TEST(KeyDecoder, EverythingElseIsConsumedWhole)
{
    const std::string long_title = "\x1b]2;" + std::string(300, 't') + "\x07";
    const std::string long_csi = "\x1b[" + std::string(150, '1') + "m";
    check({
        {"focus in", "\x1b[I", {}},
        {"focus out", "\x1b[O", {}},
        {"SGR mouse press", "\x1b[<0;10;5M", {}},
        {"SGR mouse release", "\x1b[<0;10;5m", {}},
        {"bracketed paste keeps what was pasted", "\x1b[200~hi\x1b[201~", {'h', 'i'}},
        {"OSC ended by BEL", "\x1b]0;title\x07", {}},
        {"OSC ended by ST", "\x1b]11;rgb:0000/0000/0000\x1b\\", {}},
        {"DCS", "\x1bP1$r0m\x1b\\", {}},
        {"APC", "\x1b_Gi=1;OK\x1b\\", {}},
        {"cursor-position report", "\x1b[12;40R", {}},
        {"device attributes", "\x1b[?1;2c", {}},
        {"unknown ~ key", "\x1b[99~", {}},
        {"CSI u beyond 8 bits", "\x1b[57399u", {}},
        {"keyboard-protocol flags reply", "\x1b[?1u", {}},
        {"unknown SS3", "\x1bOz", {}},
        {"unfinished CSI dropped once settled", "\x1b[1;5", {}},
        {"unfinished OSC dropped once settled", "\x1b]0;abc", {}},
        {"malformed CSI ends before the odd byte", "\x1b[1;5\x01", {1}},
        {"report then Esc", "\x1b[I\x1b", {27}},
        {"mouse then a key", "\x1b[<0;1;1Mq", {'q'}},
        {"title longer than the buffer", long_title + "q", {'q'}},
        {"CSI longer than the buffer", long_csi + "z", {'z'}},
    });
}

// What tmux sent for `send-keys Up Down Left Right Home End IC DC PPage NPage
// F1 F2 F5 F11 F12 C-Up S-Up M-Up C-PPage S-F1 C-F1 M-F12 BTab M-a`, a bar
// typed after each, as a raw byte dump in its pane showed it.
TEST(KeyDecoder, KeysCapturedFromTmux)
{
    const std::string captured =
        "\x1b[A|\x1b[B|\x1b[D|\x1b[C|\x1b[1~|\x1b[4~|\x1b[2~|\x1b[3~|\x1b[5~|\x1b[6~|\x1bOP|"
        "\x1bOQ|\x1b[15~|\x1b[23~|\x1b[24~|\x1b[1;5A|\x1b[1;2A|\x1b[1;3A|\x1b[5;5~|"
        "\x1b[1;2P|\x1b[1;5P|\x1b[24;3~|\x1b[Z|\x1b" "a|";
    const std::vector<std::vector<int>> keys = {
        {224, 72},  {224, 80},  {224, 75}, {224, 77}, {224, 71}, {224, 79}, {224, 82}, {224, 83},
        {224, 73},  {224, 81},  {0, 59},   {0, 60},   {0, 63},   {224, 133}, {224, 134}, {224, 141},
        {224, 72},  {0, 152},   {224, 134}, {0, 84},  {0, 94},   {224, 140}, {0, 15},   {0, 30},
    };
    std::vector<int> expected;
    for (const auto& k : keys) {
        expected.insert(expected.end(), k.begin(), k.end());
        expected.push_back('|');
    }
    EXPECT_EQ(codes_of(captured), expected);
}

TEST(KeyReader, AnEscWaitsForItsGraceBeforeItIsAKey)
{
    KeyReader reader;
    const uint8_t esc = 0x1b;
    reader_append(reader, &esc, 1, 1000);
    Pending p = reader_peek(reader, 1000 + ESC_GRACE_MS - 1);
    EXPECT_EQ(p.key.length, 0);
    EXPECT_TRUE(p.unfinished);
    EXPECT_EQ(p.settles_ms, 1000 + ESC_GRACE_MS);
    p = reader_peek(reader, 1000 + ESC_GRACE_MS);
    ASSERT_EQ(p.key.length, 1);
    EXPECT_EQ(p.key.codes[0], 27);
}

TEST(KeyReader, ASequenceSplitAcrossReadsIsOneKey)
{
    KeyReader reader;
    const uint8_t esc = 0x1b;
    const uint8_t rest[] = {'[', 'A'};
    reader_append(reader, &esc, 1, 0);
    EXPECT_TRUE(reader_peek(reader, 10).unfinished);
    reader_append(reader, rest, 2, 30);
    const Pending p = reader_peek(reader, 40);
    ASSERT_EQ(p.key.length, 2);
    EXPECT_EQ(p.key.codes[0], 224);
    EXPECT_EQ(p.key.codes[1], 72);
    reader_take(reader);
    EXPECT_EQ(reader.length, 0u);
}

TEST(KeyReader, AGraceAcrossTheClockWrapStillEnds)
{
    KeyReader reader;
    const uint8_t esc = 0x1b;
    reader_append(reader, &esc, 1, 0xFFFFFFF0u);
    EXPECT_TRUE(reader_peek(reader, 0xFFFFFFF0u + 10).unfinished);
    EXPECT_EQ(reader_peek(reader, 0xFFFFFFF0u + ESC_GRACE_MS).key.length, 1);
}

TEST(KeyReader, InputBeyondTheBufferWaitsForALaterRound)
{
    KeyReader reader;
    const std::string many(KEY_BUFFER_SIZE + 10, 'k');
    reader_append(reader, reinterpret_cast<const uint8_t*>(many.data()), many.size(), 0);
    EXPECT_EQ(reader.length, KEY_BUFFER_SIZE);
    EXPECT_EQ(reader_room(reader), 0u);
    ASSERT_EQ(reader_peek(reader, 0).key.length, 1);
    reader_take(reader);
    EXPECT_EQ(reader_room(reader), 1u);
}

} // namespace
