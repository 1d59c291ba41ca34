#pragma once

#include <cstdint>

// Clock reading taken just before the first phase starts.
extern uint32_t start_ms;

// Prints the time taken since start_ms, and returns it in milliseconds.
uint32_t report_elapsed();

// Prints a time taken, in the same words.
void report_time(uint32_t elapsed_ms);
