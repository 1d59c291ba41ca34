#pragma once
// The console input handle, as the Windows keyboard shares it with the wait
// for a key or a wake.

#include <windows.h>

// The console input, with the events before its first keystroke removed, so
// that it is signalled only by new input: for a wait. nullptr where there is
// no console, or it has failed.
HANDLE console_input_to_wait_on();

// A wait on it failed: from here on there is no console to wait for.
void console_input_failed();
