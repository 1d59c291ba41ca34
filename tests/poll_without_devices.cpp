// poll() as macOS's: it does not support devices, and for a terminal it
// answers POLLNVAL at once, whatever the timeout. Preloaded into the program
// under test (Linux only), so that a keyboard that asked poll() about the
// terminal would fail here as it does there.

#include <cerrno>

#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

extern "C" int poll(pollfd* fds, nfds_t count, int timeout_ms)
{
    const int saved_errno = errno;
    int devices = 0;
    for (nfds_t i = 0; i < count; ++i) {
        fds[i].revents = fds[i].fd >= 0 && isatty(fds[i].fd) ? POLLNVAL : 0;
        devices += fds[i].revents != 0;
    }
    errno = saved_errno;
    if (devices > 0)
        return devices;
    using Poll = int (*)(pollfd*, nfds_t, int);
    static const Poll real_poll = reinterpret_cast<Poll>(dlsym(RTLD_NEXT, "poll"));
    return real_poll(fds, count, timeout_ms);
}
