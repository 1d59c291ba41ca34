#include "keys/key_reader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t ESC = 0x1b;

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
    r.skipping = r.bytes[1];
    drop(r, r.bytes[r.length - 1] == ESC ? r.length - 1 : r.length);
}

void skip_rest(KeyReader& r, uint32_t now_ms)
{
    const SkippedBytes skipped = skip_sequence(r.skipping, r.bytes, r.length);
    drop(r, skipped.used);
    // Its end may never come; once input pauses, take what follows as keys.
    if (skipped.ended || settled(r, now_ms))
        r.skipping = 0;
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
        if (reader.skipping != 0) {
            skip_rest(reader, now_ms);
            if (reader.skipping != 0)
                return {NO_KEY, false, 0};
        }
        if (reader.length == 0)
            return {NO_KEY, false, 0};
        const Decoded d = decode_key(reader.bytes, reader.length, settled(reader, now_ms), reader.dialect);
        switch (d.decoding) {
        case Decoding::keystroke:
            reader.ready = d.used;
            return {d.key, false, 0};
        case Decoding::ignored:
            drop(reader, d.used);
            break;
        case Decoding::unfinished:
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
