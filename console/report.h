#pragma once

#include <cstdint>

// Clock reading taken just before the first phase starts.
extern uint32_t start_ms;

// Prints the time taken since start_ms.
void report_elapsed();

// Prints a time taken, in the same words.
void report_time(uint32_t elapsed_ms);
