#pragma once
// A key without a character reads as two codes, one per read_key(): the
// second waits here in between. The same on every platform.

#include "keys/key_tables.h"

// -1 when nothing is held.
inline int pending_code = -1;

// The held code, which is no longer held afterwards.
inline int take_pending_code()
{
    const int code = pending_code;
    pending_code = -1;
    return code;
}

// The keystroke's first code; its second, if it has one, is held.
inline int first_code_holding_second(const Keystroke& k)
{
    if (k.length == 2)
        pending_code = k.codes[1];
    return k.codes[0];
}
