// Arbitrary bytes, arriving in arbitrary pieces at arbitrary times, through
// the key reader: it must never crash, never leave its buffer, only ever
// report keystrokes of one or two codes, and, once input settles, turn
// everything it holds into keys or drop it.

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "keys/key_reader.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void check(const KeyReader& reader, const Pending& p)
{
    require(reader.length <= KEY_BUFFER_SIZE);
    require(reader.ready <= reader.length);
    require(p.key.length >= 0 && p.key.length <= 2);
    require(p.key.length == 0 || reader.ready > 0);
    require(!(p.unfinished && p.key.length != 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const KeyDialect dialect = size > 0 && (data[0] & 1) ? KeyDialect::linux_console : KeyDialect::rxvt;
    for (const bool settled : {false, true}) {
        if (size == 0)
            break;
        const Decoded d = decode_key(data, size, settled, dialect);
        require(d.decoding == Decoding::unfinished ? !settled && d.used == 0 : d.used > 0 && d.used <= size);
    }

    KeyReader reader;
    reader.dialect = dialect;
    uint32_t now = size > 0 ? 0xFFFFFF00u + data[0] : 0; // cross the clock's wrap now and then
    size_t i = 0;
    while (i < size) {
        const uint8_t op = data[i++];
        switch (op % 4) {
        case 0:
        case 1: { // bytes arrive
            const size_t n = std::min<size_t>(op / 4 % 24 + 1, size - i);
            reader_append(reader, data + i, n, now);
            i += n;
            break;
        }
        case 2: // time passes: 0 to about 190 ms
            now += static_cast<uint32_t>(op / 4) * 3;
            break;
        default: { // a poll, which may take the key
            const Pending p = reader_peek(reader, now);
            check(reader, p);
            if (p.key.length != 0 && (op & 4) != 0)
                reader_take(reader);
            break;
        }
        }
        require(reader.length <= KEY_BUFFER_SIZE);
    }
    // Input stops: within a bounded number of polls everything is settled.
    now += 1000;
    for (size_t round = 0; round <= KEY_BUFFER_SIZE + 1; ++round) {
        const Pending p = reader_peek(reader, now);
        check(reader, p);
        require(!p.unfinished);
        if (p.key.length == 0)
            break;
        reader_take(reader);
    }
    require(reader.length == 0);
    return 0;
}
