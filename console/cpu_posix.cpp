// The processor on POSIX systems.
//
// Facts relied on:
// - sched_getaffinity() and CPU_COUNT() (glibc, musl, FreeBSD from 13.1)
//   give the CPUs this process may run on, as taskset or a container's
//   cpuset leaves them, by a system call: no /proc or /sys, which a static
//   program in an empty root does not have.
// - Elsewhere (macOS, the other BSDs) sysconf(_SC_NPROCESSORS_ONLN) counts
//   the active CPUs.

#include "console/cpu.h"

#include <sched.h>
#include <unistd.h>

int available_cpus()
{
#ifdef CPU_COUNT
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
#endif
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<int>(online) : 1;
}
