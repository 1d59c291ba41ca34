// Signal handling for the POSIX terminal: every signal that would end the
// process, and the one that stops it, put the terminal's settings back first.
//
// Facts relied on:
// - tcsetattr() and raise() are async-signal-safe; a handler's own signal
//   is blocked while it runs, and lands again once it returns.
// - A signal ignored when the process starts (nohup) is to stay ignored.
// - A sanitizer's runtime installs handlers of its own before main, which
//   still want their signal after ours.
// - SIGTSTP stops the process only with its default action; with `fg` the
//   process owns the terminal again, with `bg` it does not.

#include "console/signals_posix.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "console/terminal_posix.h"

namespace {

// Every signal whose default action ends the process, each where the system
// has it: SIGEMT on macOS and the BSDs, SIGLIBRT on FreeBSD, SIGLOST on the
// Hurd, SIGPOLL, SIGSTKFLT and SIGPWR on Linux (NetBSD's SIGPWR is ignored
// by default: handled, it gives the terminal back until the next checkpoint
// takes it again). SIGINFO, SIGWINCH, SIGIO and the like end nothing and are
// left alone. The real-time signals follow, where there are any.
constexpr int DEADLY_SIGNALS[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGUSR1, SIGSEGV,
    SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef SIGEMT
    SIGEMT,
#endif
#ifdef SIGLIBRT
    SIGLIBRT,
#endif
#ifdef SIGLOST
    SIGLOST,
#endif
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};

// The largest signal number, real-time ones included. NSIG does not tell (it
// is 32 on FreeBSD, whose real-time signals run from 65 to 126), and glibc's
// SIGRTMAX is read at run time: the C library's _NSIG (glibc, musl, NetBSD,
// OpenBSD), or else a constant SIGRTMAX (FreeBSD), or NSIG (macOS, which has
// no real-time signals).
#if defined(_NSIG)
constexpr int LAST_SIGNAL = _NSIG - 1;
#elif defined(SIGRTMAX)
constexpr int LAST_SIGNAL = SIGRTMAX;
#else
constexpr int LAST_SIGNAL = NSIG - 1;
#endif
constexpr int LARGEST_HANDLED = std::max(std::ranges::max(DEADLY_SIGNALS), LAST_SIGNAL);

// What each deadly signal did before us: the default, or a handler of the
// process's own (a sanitizer's runtime installs some before main).
struct sigaction earlier[LARGEST_HANDLED + 1];

void on_fatal_signal(int sig)
{
    terminal::restore_settings();
    // Blocked while we run: the signal lands again, on what handled it
    // before us, as soon as this returns.
    sigaction(sig, &earlier[sig], nullptr);
    raise(sig);
}

// Installs `handler` unless the signal is ignored (by nohup, say), which it
// stays, or has it already (two names for one number). `current` receives
// what is there; true when it was replaced.
bool install(int sig, void (*handler)(int), int flags, struct sigaction& current)
{
    if (sigaction(sig, nullptr, &current) != 0 || current.sa_handler == SIG_IGN || current.sa_handler == handler)
        return false;
    struct sigaction action{};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    sigaction(sig, &action, nullptr);
    return true;
}

void install_suspend_handler();

void on_suspend(int)
{
    const int saved_errno = errno;
    const bool had_terminal = terminal::settings_changed;
    terminal::restore_settings();
    signal(SIGTSTP, SIG_DFL);
    sigset_t suspend;
    sigemptyset(&suspend);
    sigaddset(&suspend, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &suspend, nullptr);
    raise(SIGTSTP); // stopped here until continued
    install_suspend_handler();
    // Continued with `fg` we own the terminal again; with `bg` we do not, and
    // the next poll takes it once we do.
    if (had_terminal && terminal::state == terminal::OPEN)
        terminal::take();
    errno = saved_errno;
}

void install_suspend_handler()
{
    struct sigaction current;
    install(SIGTSTP, on_suspend, SA_RESTART, current);
}

void install_fatal_handler(int sig)
{
    struct sigaction current;
    if (install(sig, on_fatal_signal, 0, current))
        earlier[sig] = current;
}

} // namespace

void install_signal_handlers()
{
    for (const int sig : DEADLY_SIGNALS)
        install_fatal_handler(sig);
#ifdef SIGRTMIN
    for (int sig = SIGRTMIN; sig <= SIGRTMAX && sig <= LARGEST_HANDLED; ++sig)
        install_fatal_handler(sig);
#endif
    install_suspend_handler();
    std::atexit(terminal::restore_settings);
}
