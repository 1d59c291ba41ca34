#pragma once
// The command line: one parser, the same options on every system.

#include <string>

// --threads all: the CPUs this process may run on, counted when it runs.
inline constexpr int ALL_CPUS = -1;

struct Options {
    enum Action { RUN, HELP, VERSION, REFUSED };
    Action action = RUN;
    int threads = 0;     // 0: the single run; else the rate run's, or ALL_CPUS
    bool json = false;   // the result as one JSON object, and nothing else
    std::string refusal; // what was wrong, when REFUSED
};

// Windows programs take "/?" for help too, as the system's own commands do.
#ifdef _WIN32
inline constexpr bool SLASH_HELP = true;
#else
inline constexpr bool SLASH_HELP = false;
#endif

// Anything it does not know, anywhere on the line, refuses the whole line,
// --help beside it included: nothing is run on a guess.
Options parse_options(int argc, const char* const* argv, bool slash_help = SLASH_HELP);

// The text of --help.
const char* usage();
