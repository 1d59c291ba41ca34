#include "console/output.h"

#include <cstdarg>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

void message(const char* format, ...)
{
    static const bool to_terminal = isatty(fileno(stdout)) != 0;
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    if (to_terminal)
        std::fflush(stdout);
}
