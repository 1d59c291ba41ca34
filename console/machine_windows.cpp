// The machine on Windows.
//
// Facts relied on:
// - GetActiveProcessorCount(ALL_PROCESSOR_GROUPS) counts every processor
//   group's: a machine of more than 64 CPUs has several.
// - On x86 CPUID names the processor; Windows on ARM keeps the name it was
//   given in the registry, as ProcessorNameString of the first processor.

#include "console/machine.h"

#include <windows.h>

#include "console/cpuid.h"

namespace {

std::string registry_processor_name()
{
    char name[256] = {};
    DWORD size = sizeof name;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                     "ProcessorNameString", RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS)
        return "";
    std::string text(name);
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

int available_cpus()
{
    const DWORD active = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    return active > 0 ? static_cast<int>(active) : 1;
}

std::string cpu_name()
{
    for (const std::string& name : {cpuid_brand(), registry_processor_name()})
        if (!name.empty())
            return name;
    return "unknown";
}

std::string host_name()
{
    char name[256] = {};
    DWORD size = sizeof name;
    return GetComputerNameExA(ComputerNameDnsHostname, name, &size) ? name : "";
}
