// The console as the engine sees it, with nothing behind it: no keys, no
// output, no time report. For programs that run the engine's loops bare.

#include "console/keyboard.h"
#include "console/output.h"
#include "console/report.h"

int key_available() { return 0; }
int read_key() { return -1; }
int wait_for_key() { return 0; }
uint32_t start_ms;
uint32_t report_elapsed() { return 0; }
void message(const char*, ...) {}
