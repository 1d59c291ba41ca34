#pragma once
// Stand-ins for the keyboard, the clock, the output and the wake-up, linked
// into the unit tests in place of the real ones: keys arrive on a script, the
// clock reads what the test sets, and every message is kept for comparison.
// Only the clock and the wake-up may be used from other threads.

#include <cstdint>
#include <string>
#include <vector>

namespace scripted {

struct Key {
    long from_poll; // readable from this key_available() call on (1-based)
    int code;
    long after_dots = 0; // and once this many dots have been printed
};

// Starts a fresh script: no keys, no output, a console present.
void reset(std::vector<Key> keys = {}, bool console = true);

long polls();            // key_available() calls so far
long reads();            // read_key() calls so far
size_t keys_left();      // scripted codes not read yet
const std::string& output();

void set_clock(uint32_t ms);

} // namespace scripted
