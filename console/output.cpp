#include "console/output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// The cause of the first failed write, 0 while there is none.
int write_error = 0;
bool silent = false;

void note_failure()
{
    if (write_error == 0)
        write_error = errno != 0 ? errno : EIO;
}

} // namespace

// Flushed after every message, whatever standard output is: a dot or the
// prompt must show at once through a pipe too, and a result held in the
// buffer of a file would die with the process on a signal at the prompt.
void message(const char* format, ...)
{
    if (silent)
        return;
    va_list args;
    va_start(args, format);
    const int written = std::vfprintf(stdout, format, args);
    va_end(args);
    if (written < 0 || std::fflush(stdout) != 0)
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

void silence_messages(bool on)
{
    silent = on;
}
