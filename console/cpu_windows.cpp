// The processor on Windows.

#include "console/cpu.h"

#include <windows.h>

int available_cpus()
{
    // Every processor group's: a machine of more than 64 CPUs has several.
    const DWORD active = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    return active > 0 ? static_cast<int>(active) : 1;
}
