// CPUID's brand string: leaves 0x80000002 to 0x80000004, 48 bytes, padded with
// spaces (at the front on some Intel processors) and NULs.

#include "console/cpuid.h"

#include <cstdint>
#include <cstring>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
namespace {
bool cpuid(uint32_t leaf, uint32_t registers[4])
{
    int r[4];
    __cpuid(r, static_cast<int>(leaf));
    std::memcpy(registers, r, sizeof r);
    return true;
}
} // namespace
#else
#include <cpuid.h>
namespace {
bool cpuid(uint32_t leaf, uint32_t registers[4])
{
    return __get_cpuid(leaf, &registers[0], &registers[1], &registers[2], &registers[3]) != 0;
}
} // namespace
#endif

std::string cpuid_brand()
{
    uint32_t registers[4];
    if (!cpuid(0x80000000u, registers) || registers[0] < 0x80000004u)
        return "";
    char brand[49] = {};
    for (uint32_t i = 0; i < 3; ++i) {
        if (!cpuid(0x80000002u + i, registers))
            return "";
        std::memcpy(brand + 16 * i, registers, 16);
    }
    std::string text(brand);
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    text.erase(0, first);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}
