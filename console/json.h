#pragma once
// A run's result as one JSON object: what the program, the machine and the
// run were, for tools that compare many machines. Its fields are defined in
// the manual page; a field is never renamed without a new schema version.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int RESULT_SCHEMA = 1;

// A JSON string: quotes, backslashes and bytes below 0x20 escaped, bytes that
// are not UTF-8 replaced by U+FFFD, so that any text makes a valid document.
std::string json_string(std::string_view text);

struct RunResult {
    enum End { COMPLETED, ESC, CANDIDATE_LIMIT };
    struct Thread {
        int64_t elapsed_ms; // -1 where it did not find its last prime
        std::vector<int64_t> primes; // of the reports it passed
    };
    std::string version, compiler, target, build_type;
    std::string cpu, host, start_utc;
    int cpus = 1;
    int threads = 0; // 0: the single run
    uint64_t rate_hundredths = 0; // a completed rate run's runs a minute
    End end = COMPLETED;
    int64_t elapsed_ms = 0;
    std::vector<Thread> per_thread; // one for the single run
    bool valid = true;
};

std::string result_json(const RunResult& result);
