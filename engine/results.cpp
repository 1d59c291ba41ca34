#include "engine/results.h"

#include "console/output.h"
#include "engine/search.h"

int wrong_reports = 0;
RunRecord run_record;

namespace {

struct KnownReports {
    int64_t report_interval;
    int64_t primes[15];
};

// The 1,000,000th to the 15,000,000th prime; and the 10,000th to the
// 150,000th, which the short run that the tests build reports.
constexpr KnownReports KNOWN[] = {
    {1000000,
     {15485863, 32452843, 49979687, 67867967, 86028121, 104395301, 122949823, 141650939, 160481183, 179424673,
      198491317, 217645177, 236887691, 256203161, 275604541}},
    {10000,
     {104729, 224737, 350377, 479909, 611953, 746773, 882377, 1020379, 1159523, 1299709, 1441049, 1583539, 1726943,
      1870667, 2015177}},
};

} // namespace

int64_t known_prime(const SearchLimits& limits, int64_t m)
{
    for (const KnownReports& k : KNOWN)
        if (k.report_interval == limits.report_interval && m >= 1 && m <= 15)
            return k.primes[m - 1];
    return 0;
}

bool check_report(const SearchLimits& limits, int64_t m, int64_t prime, int thread)
{
    const int64_t known = known_prime(limits, m);
    if (known == 0 || prime == known)
        return true;
    ++wrong_reports;
    if (thread == 0)
        message("Wrong: the %ld,000,000th prime is %ld, not %ld.\n", printed(m), printed(known), printed(prime));
    else
        message("Wrong in thread %d: the %ld,000,000th prime is %ld, not %ld.\n", thread, printed(m), printed(known),
                printed(prime));
    return false;
}

void report_validity()
{
    if (wrong_reports > 0)
        message("Not a valid result: %d of the primes reported were wrong.\n", wrong_reports);
}
