// The console as the engine sees it, with nothing behind it: no keys, no
// output, no time report. For programs that run the engine's loops bare.

#include "console/keyboard.h"
#include "console/output.h"
#include "console/report.h"

int key_available() { return 0; }
int read_key() { return -1; }
int wait_for_key() { return 0; }
void report_elapsed() {}
void message(const char*, ...) {}
