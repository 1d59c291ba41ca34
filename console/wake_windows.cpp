// The wake-up on Windows: an event that the workers set at their
// checkpoints, waited for together with the console input.
//
// Facts relied on:
// - An auto-reset event stays set until one wait returns on it, so a wake
//   that comes before the wait is not lost, and many make one.
// - The console input handle is signalled while any event is queued, keys or
//   not: those that are no keystroke are removed before each wait.

#include "console/wake.h"

#include <windows.h>

#include "console/console_input_windows.h"
#include "console/keyboard.h"

namespace {

HANDLE wake_event = nullptr;

// How long the console's thread naps where no event could be made.
constexpr DWORD NO_EVENT_NAP_MS = 10;

} // namespace

void prepare_wake()
{
    if (wake_event == nullptr)
        wake_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

void wake_console()
{
    if (wake_event != nullptr)
        SetEvent(wake_event);
}

int wait_for_key_or_wake()
{
    for (;;) {
        if (key_available())
            return 1;
        if (wake_event == nullptr) {
            Sleep(NO_EVENT_NAP_MS);
            return 0;
        }
        const HANDLE input = console_input_to_wait_on();
        if (input == nullptr) {
            WaitForSingleObject(wake_event, INFINITE);
            return 0;
        }
        const HANDLE both[] = {wake_event, input};
        const DWORD woken = WaitForMultipleObjects(2, both, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0)
            return 0;
        if (woken == WAIT_FAILED)
            console_input_failed();
    }
}
