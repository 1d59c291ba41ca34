#include "console/clock.h"
#include "console/keyboard.h"
#include "console/output.h"
#include "console/report.h"
#include "engine/primes.h"

int main()
{
    // A key pressed before the start must not count, not even Esc; of a
    // two-code key only the first code goes.
    if (key_available())
        read_key();
    message("Computing 15,000,000 Prime Numbers - Esc to quit...\n");
    start_ms = clock_ms();
    build_base_primes(base_primes, BASE_PRIME_COUNT);
    if (!quit_flag) {
        search_primes();
        if (!quit_flag)
            return output_status(); // candidate limit: nothing more to say
    }
    message("\nExiting...");
    pause_ms(500);
    return output_status();
}
