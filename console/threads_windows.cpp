// Threads on Windows: the Win32 API's own, each with a small stack. There
// are no signals to block: Ctrl+C's handler runs on a thread of the
// system's making.
//
// Facts relied on:
// - Before Windows 11 and Server 2022 a process's threads all run in one
//   processor group, of at most 64 processors, unless each is given a group:
//   a run on every CPU of a larger machine places them.
// - A thread created suspended can be placed before it runs.

#include "console/threads.h"

#include <cstdio>
#include <cstring>

#include <windows.h>

namespace {

struct Start {
    void (*work)(void*, int);
    void* context;
    int index;
};

Start starts[MAX_THREADS];
HANDLE threads[MAX_THREADS];
int started = 0;
DWORD failure = 0;

constexpr SIZE_T STACK_SIZE = 256 * 1024;

DWORD WINAPI run(LPVOID start)
{
    const Start& s = *static_cast<const Start*>(start);
    s.work(s.context, s.index);
    return 0;
}

// The i-th thread goes to the group of the i-th active processor, counted
// group by group, so that threads fill the groups as the CPUs are counted.
// A failure leaves the thread where the system put it.
void place(HANDLE thread, int index)
{
    const WORD groups = GetActiveProcessorGroupCount();
    if (groups < 2)
        return;
    DWORD n = static_cast<DWORD>(index) % GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    for (WORD g = 0; g < groups; ++g) {
        const DWORD in_group = GetActiveProcessorCount(g);
        if (n < in_group) {
            GROUP_AFFINITY affinity{};
            affinity.Group = g;
            affinity.Mask = in_group >= 8 * sizeof(KAFFINITY) ? ~KAFFINITY{0} : (KAFFINITY{1} << in_group) - 1;
            SetThreadGroupAffinity(thread, &affinity, nullptr);
            return;
        }
        n -= in_group;
    }
}

} // namespace

int start_threads(int count, void (*work)(void*, int), void* context)
{
    for (started = 0; started < count; ++started) {
        starts[started] = {work, context, started};
        const HANDLE thread = CreateThread(nullptr, STACK_SIZE, run, &starts[started],
                                           CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread == nullptr) {
            failure = GetLastError();
            break;
        }
        place(thread, started);
        threads[started] = thread;
        ResumeThread(thread);
    }
    return started;
}

void join_threads()
{
    for (int i = 0; i < started; ++i) {
        WaitForSingleObject(threads[i], INFINITE);
        CloseHandle(threads[i]);
    }
    started = 0;
}

const char* thread_failure()
{
    static char text[256];
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, failure, 0,
                                   text, sizeof text, nullptr);
    if (n == 0)
        std::snprintf(text, sizeof text, "Windows error %lu", failure);
    // The system's text ends with a line break; the message goes on after it.
    text[std::strcspn(text, "\r\n")] = '\0';
    return text;
}
