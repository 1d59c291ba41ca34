#include "console/output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// The cause of the first failed write, 0 while there is none.
int write_error = 0;

void note_failure()
{
    if (write_error == 0)
        write_error = errno != 0 ? errno : EIO;
}

} // namespace

void message(const char* format, ...)
{
    static const bool to_terminal = isatty(fileno(stdout)) != 0;
    va_list args;
    va_start(args, format);
    const int written = std::vfprintf(stdout, format, args);
    va_end(args);
    if (written < 0 || (to_terminal && std::fflush(stdout) != 0))
        note_failure();
}

int output_status()
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        note_failure();
    if (write_error == 0)
        return 0;
    std::fprintf(stderr, "primebench: cannot write the output: %s\n", std::strerror(write_error));
    return 1;
}
