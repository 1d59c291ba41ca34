// The machine on POSIX systems.
//
// Facts relied on:
// - sched_getaffinity() and CPU_COUNT() (glibc, musl, FreeBSD from 13.1)
//   give the CPUs this process may run on, as taskset or a container's
//   cpuset leaves them, by a system call: no /proc or /sys, which a static
//   program in an empty root does not have.
// - Elsewhere (macOS, the other BSDs) sysconf(_SC_NPROCESSORS_ONLN) counts
//   the active CPUs.
// - macOS names its processor in sysctl machdep.cpu.brand_string, FreeBSD in
//   hw.model (on macOS that is the Mac's model, read only after the first).
// - Linux on ARM names no processor: /proc/cpuinfo gives each core's
//   implementer and part numbers, the device tree the board's model. Under
//   qemu-user a program reads the host's /proc/cpuinfo, which has no such
//   numbers on an x86 host, and so names nothing.

#include "console/machine.h"

#include <cerrno>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include "console/arm_cores.h"
#include "console/cpuid.h"

#ifdef PRIMEBENCH_HAVE_SYSCTLBYNAME
#include <sys/sysctl.h>
#include <sys/types.h>
#endif

namespace {

// A file's whole text, "" where it cannot be read. Not through iostreams,
// which would bring their locale machinery into the static programs.
std::string file_text(const char* path)
{
    std::string text;
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char chunk[4096];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n > 0)
            text.append(chunk, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(fd);
    return text;
}

std::string sysctl_text([[maybe_unused]] const char* name)
{
#ifdef PRIMEBENCH_HAVE_SYSCTLBYNAME
    char text[256] = {};
    size_t size = sizeof text - 1;
    if (sysctlbyname(name, text, &size, nullptr, 0) == 0)
        return text;
#endif
    return "";
}

} // namespace

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

std::string cpu_name()
{
    for (const std::string& name : {cpuid_brand(), sysctl_text("machdep.cpu.brand_string"), sysctl_text("hw.model"),
                                    arm_cpu_name(file_text("/proc/cpuinfo"), file_text("/proc/device-tree/model"))})
        if (!name.empty())
            return name;
    return "unknown";
}

std::string host_name()
{
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? name : "";
}
