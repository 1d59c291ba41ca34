// Threads on POSIX: pthreads, each with a small stack of its own and the
// asynchronous signals blocked.
//
// Facts relied on:
// - A new thread inherits its creator's signal mask, and a signal sent to
//   the process goes to a thread that does not block it.
// - A signal that a thread's own fault raises (SIGSEGV, SIGFPE and the like)
//   goes to that thread whatever its mask; blocking one does not stop it
//   and only hides its handler, so those stay unblocked.
// - The default stack is 8 MiB on Linux: 1024 of them do not fit in a 32-bit
//   address space. A worker needs a few frames.

#include "console/threads.h"

#include <algorithm>
#include <csignal>
#include <cstring>

#include <limits.h>
#include <pthread.h>

namespace {

struct Start {
    void (*work)(void*, int);
    void* context;
    int index;
};

Start starts[MAX_THREADS];
pthread_t threads[MAX_THREADS];
int started = 0;
int failure = 0;

constexpr size_t STACK_SIZE = 256 * 1024;

void* run(void* start)
{
    const Start& s = *static_cast<const Start*>(start);
    s.work(s.context, s.index);
    return nullptr;
}

// Every signal but those a thread's own fault raises.
sigset_t asynchronous_signals()
{
    sigset_t set;
    sigfillset(&set);
    for (const int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS})
        sigdelset(&set, sig);
    return set;
}

} // namespace

int start_threads(int count, void (*work)(void*, int), void* context)
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, std::max<size_t>(STACK_SIZE, PTHREAD_STACK_MIN));
    const sigset_t blocked = asynchronous_signals();
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &blocked, &before);
    for (started = 0; started < count; ++started) {
        starts[started] = {work, context, started};
        failure = pthread_create(&threads[started], &attributes, run, &starts[started]);
        if (failure != 0)
            break;
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    pthread_attr_destroy(&attributes);
    return started;
}

void join_threads()
{
    for (int i = 0; i < started; ++i)
        pthread_join(threads[i], nullptr);
    started = 0;
}

const char* thread_failure()
{
    return std::strerror(failure);
}
