#pragma once
// What the program learns of the machine it runs on, per platform.

#include <string>

// The CPUs this process may run on: its affinity mask where the system has
// one, else the processors online (on Windows every active processor in
// every processor group; on macOS the active CPUs). At least 1.
int available_cpus();

// The processor's name as the system or the processor itself gives it:
// CPUID's brand string on x86, the system's own description elsewhere, the
// cores' kinds and the board on Linux on ARM. "unknown" where nothing gives
// one: never a guess.
std::string cpu_name();

// The host's name, "" where the system gives none.
std::string host_name();
