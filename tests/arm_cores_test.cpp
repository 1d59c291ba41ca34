// The name of an ARM processor from /proc/cpuinfo and the device tree's
// model, as Linux gives them on these machines.

#include <string>

#include <gtest/gtest.h>

#include "console/arm_cores.h"

namespace {

// /proc/cpuinfo's block for one core as an arm64 kernel writes it.
std::string arm64_core(int n, const char* implementer, const char* part)
{
    return "processor\t: " + std::to_string(n) +
           "\nBogoMIPS\t: 108.00\nFeatures\t: fp asimd evtstrm crc32 cpuid\nCPU implementer\t: " + implementer +
           "\nCPU architecture: 8\nCPU variant\t: 0x0\nCPU part\t: " + part + "\nCPU revision\t: 3\n\n";
}

std::string arm64_cores(int from, int count, const char* implementer, const char* part)
{
    std::string text;
    for (int n = from; n < from + count; ++n)
        text += arm64_core(n, implementer, part);
    return text;
}

// A 32-bit kernel's, on a Raspberry Pi 3 running Raspberry Pi OS.
const std::string PI3_ARMHF = "processor\t: 0\nmodel name\t: ARMv7 Processor rev 4 (v7l)\nBogoMIPS\t: 38.40\n"
                              "Features\t: half thumb fastmult vfp edsp neon vfpv3 tls vfpv4 idiva idivt vfpd32 lpae "
                              "evtstrm crc32\nCPU implementer\t: 0x41\nCPU architecture: 7\nCPU variant\t: 0x0\n"
                              "CPU part\t: 0xd03\nCPU revision\t: 4\n\nHardware\t: BCM2835\nRevision\t: a020d3\n"
                              "Serial\t\t: 00000000a1b2c3d4\nModel\t\t: Raspberry Pi 3 Model B Plus Rev 1.3\n";

// An x86 machine's, which a program under qemu-user reads on an x86 host.
const std::string X86_HOST = "processor\t: 0\nvendor_id\t: AuthenticAMD\ncpu family\t: 25\nmodel\t\t: 1\n"
                             "model name\t: AMD EPYC 7763 64-Core Processor\nstepping\t: 1\n\n";

TEST(ArmCpuName, FromTheCoresAndTheBoard)
{
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string cpuinfo;
        std::string model; // the device tree's, NUL-terminated
        const char* expected;
    } rows[] = {
        {"Raspberry Pi 4, 64-bit", arm64_cores(0, 4, "0x41", "0xd08"), "Raspberry Pi 4 Model B Rev 1.4\0"s,
         "Raspberry Pi 4 Model B Rev 1.4 (Cortex-A72)"},
        {"Raspberry Pi 3, 32-bit", PI3_ARMHF, "Raspberry Pi 3 Model B Plus Rev 1.3\0"s,
         "Raspberry Pi 3 Model B Plus Rev 1.3 (Cortex-A53)"},
        {"big and little cores, in the kernel's order",
         arm64_cores(0, 4, "0x41", "0xd05") + arm64_cores(4, 4, "0x41", "0xd0b"), "Radxa ROCK 5B\0"s,
         "Radxa ROCK 5B (Cortex-A55 + Cortex-A76)"},
        {"a server with no device tree", arm64_cores(0, 64, "0x41", "0xd0c"), "", "Neoverse-N1"},
        {"Apple M1 under Linux", arm64_cores(0, 4, "0x61", "0x022") + arm64_cores(4, 4, "0x61", "0x023"),
         "Apple MacBook Air (M1, 2020)\0"s, "Apple MacBook Air (M1, 2020) (Apple M1 Icestorm + Apple M1 Firestorm)"},
        {"a part not in the table is not guessed", arm64_cores(0, 2, "0x41", "0xfff"), "", ""},
        {"only the board is known", arm64_cores(0, 2, "0x41", "0xfff"), "Some Board\0"s, "Some Board"},
        {"an x86 host's, as under qemu-user", X86_HOST, "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(arm_cpu_name(row.cpuinfo, row.model), row.expected);
    }
}

} // namespace
