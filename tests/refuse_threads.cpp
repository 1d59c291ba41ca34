// A system that runs out of threads: pthread_create() starts the first thread
// and refuses every one after it with EAGAIN, as it does at a process or
// memory limit. Preloaded into the program under test (native Linux builds).

#include <cerrno>

#include <dlfcn.h>
#include <pthread.h>

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument)
{
    static int started = 0;
    if (started > 0)
        return EAGAIN;
    ++started;
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const Create real_create = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return real_create(thread, attributes, start, argument);
}
