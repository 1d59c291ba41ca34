#pragma once
// A descriptor of ours kept out of the standard streams' places.

#include <fcntl.h>
#include <unistd.h>

// open() and pipe() take the lowest free descriptors: with standard output
// closed, one would be 1, and our output would go into it. Moved to 3 or
// above, close-on-exec; -1 stays -1, and a failed move gives -1.
inline int above_standard_streams(int fd)
{
    if (fd < 0 || fd > STDERR_FILENO)
        return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(fd);
    return moved;
}
