#include "console/options.h"

#include <cstdio>
#include <string_view>

#include "console/threads.h"

namespace {

// An argument as one line can show it: bytes below 0x20 and DEL as \xNN, so
// that a refusal stays one line and writes no control sequence.
std::string shown(std::string_view argument)
{
    std::string text = "'";
    for (const char c : argument) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        } else {
            text += c;
        }
    }
    return text + "'";
}

// A whole number from 1 to MAX_THREADS in plain decimal digits, or "all";
// 0 for anything else.
int thread_count(std::string_view value)
{
    if (value == "all")
        return ALL_CPUS;
    if (value.empty())
        return 0;
    int n = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
        if (n > MAX_THREADS)
            return 0;
    }
    return n;
}

class Parser {
public:
    Parser(int argc, const char* const* argv, bool slash_help) : argc_(argc), argv_(argv), slash_help_(slash_help) {}

    Options parse()
    {
        for (next_ = 1; next_ < argc_ && options_.action != Options::REFUSED;)
            take(argv_[next_++]);
        if (options_.action != Options::REFUSED)
            options_.action = help_ ? Options::HELP : version_ ? Options::VERSION : Options::RUN;
        return options_;
    }

private:
    void take(std::string_view argument)
    {
        if (operands_only_ || argument.size() < 2 || argument[0] != '-') {
            if (slash_help_ && !operands_only_ && argument == "/?")
                help_ = true;
            else
                refuse("unexpected argument " + shown(argument));
        } else if (argument == "--") {
            operands_only_ = true;
        } else if (argument == "-h" || argument == "--help") {
            help_ = true;
        } else if (argument == "--version") {
            version_ = true;
        } else if (argument == "--json") {
            options_.json = true;
        } else if (argument == "-t" || argument == "--threads") {
            if (next_ < argc_)
                threads(argument, argv_[next_++]);
            else
                refuse("option " + shown(argument) + " needs a value");
        } else if (argument.starts_with("--threads=")) {
            threads("--threads", argument.substr(10));
        } else if (argument.starts_with("-t") && !argument.starts_with("--")) {
            threads("-t", argument.substr(2));
        } else if (argument.starts_with("--help=") || argument.starts_with("--version=") ||
                   argument.starts_with("--json=")) {
            refuse("option " + shown(argument.substr(0, argument.find('='))) + " takes no value");
        } else {
            refuse("unknown option " + shown(argument));
        }
    }

    // A repeated option's last value wins.
    void threads(std::string_view option, std::string_view value)
    {
        options_.threads = thread_count(value);
        if (options_.threads == 0)
            refuse("option " + shown(option) + " takes a whole number from 1 to " + std::to_string(MAX_THREADS) +
                   ", or 'all', not " + shown(value));
    }

    void refuse(std::string why)
    {
        options_.action = Options::REFUSED;
        options_.refusal = std::move(why);
    }

    int argc_;
    const char* const* argv_;
    bool slash_help_;
    int next_ = 1;
    bool help_ = false;
    bool version_ = false;
    bool operands_only_ = false;
    Options options_;
};

} // namespace

Options parse_options(int argc, const char* const* argv, bool slash_help)
{
    return Parser(argc, argv, slash_help).parse();
}

const char* usage()
{
    return "Usage: primebench [-t N | --threads N] [--json]\n"
           "Times the first 15,000,000 primes found by trial division: on one core, or,\n"
           "with --threads, whole on N threads at once. Esc ends a run early.\n"
           "\n"
           "  -t, --threads N  run the work N times at once, one copy a thread, and\n"
           "                   report the rate in runs a minute; N from 1 to 1024, or\n"
           "                   'all' for one thread a CPU this process may use\n"
           "      --json       print nothing but the result, at the end, as one JSON\n"
           "                   object; Esc still ends the run, and no key is waited for\n"
           "  -h, --help       show this help and exit\n"
           "      --version    show the version and exit\n"
           "\n"
           "Exit status: 0 when the program ends by itself or by Esc; 1 when its output\n"
           "could not be written or its threads could not start; 2 for a command line\n"
           "it does not take; 3 when a prime it found was wrong, and its result is not\n"
           "valid. The manual page, primebench(1), tells the rest.\n";
}
