#pragma once
// Every message goes through here: formatted, to standard output, and
// flushed at once, to a terminal, a file or a pipe alike (dots and the
// prompt end without a line break).

#include <cstdint>

#if defined(__GNUC__) || defined(__clang__)
#define PRIMEBENCH_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define PRIMEBENCH_PRINTF(f, a)
#endif

void message(const char* format, ...) PRIMEBENCH_PRINTF(1, 2);

// While set, messages are dropped: a run whose result goes out in JSON
// prints nothing until that.
void silence_messages(bool silent);

// The exit status once the program is done: 0 when all output reached
// standard output; 1, after a line on standard error naming the cause, when
// some could not be written. A result that was lost is no success.
int output_status();

// What a "%ld" conversion gets for a value: its low 32 bits as a signed
// 32-bit number, widened to long (which is 32 bits on Windows).
constexpr long printed(int64_t value)
{
    return static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}
