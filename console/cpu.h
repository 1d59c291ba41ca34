#pragma once
// What the program learns of the processor it runs on, per platform.

// The CPUs this process may run on: its affinity mask where the system has
// one, else the processors online (on Windows every active processor in
// every processor group; on macOS the active CPUs). At least 1.
int available_cpus();
