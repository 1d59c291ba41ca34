#include "console/cpuid.h"

// No CPUID on this architecture: the system names the processor.
std::string cpuid_brand()
{
    return "";
}
