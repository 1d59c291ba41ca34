#include "console/arm_cores.h"

#include <cstdlib>
#include <vector>

namespace {

struct Core {
    unsigned implementer;
    unsigned part;
    const char* name;
};

// The common cores, by the numbers in their Main ID register. A part number
// that two cores of one maker share (Qualcomm's 0x800) is not here.
constexpr Core CORES[] = {
    {0x41, 0xb76, "ARM1176"},          {0x41, 0xc07, "Cortex-A7"},         {0x41, 0xc08, "Cortex-A8"},
    {0x41, 0xc09, "Cortex-A9"},        {0x41, 0xc0d, "Cortex-A12"},        {0x41, 0xc0e, "Cortex-A17"},
    {0x41, 0xc0f, "Cortex-A15"},       {0x41, 0xd01, "Cortex-A32"},        {0x41, 0xd03, "Cortex-A53"},
    {0x41, 0xd04, "Cortex-A35"},       {0x41, 0xd05, "Cortex-A55"},        {0x41, 0xd06, "Cortex-A65"},
    {0x41, 0xd07, "Cortex-A57"},       {0x41, 0xd08, "Cortex-A72"},        {0x41, 0xd09, "Cortex-A73"},
    {0x41, 0xd0a, "Cortex-A75"},       {0x41, 0xd0b, "Cortex-A76"},        {0x41, 0xd0c, "Neoverse-N1"},
    {0x41, 0xd0d, "Cortex-A77"},       {0x41, 0xd0e, "Cortex-A76AE"},      {0x41, 0xd40, "Neoverse-V1"},
    {0x41, 0xd41, "Cortex-A78"},       {0x41, 0xd42, "Cortex-A78AE"},      {0x41, 0xd44, "Cortex-X1"},
    {0x41, 0xd46, "Cortex-A510"},      {0x41, 0xd47, "Cortex-A710"},       {0x41, 0xd48, "Cortex-X2"},
    {0x41, 0xd49, "Neoverse-N2"},      {0x41, 0xd4a, "Neoverse-E1"},       {0x41, 0xd4b, "Cortex-A78C"},
    {0x41, 0xd4d, "Cortex-A715"},      {0x41, 0xd4e, "Cortex-X3"},         {0x41, 0xd4f, "Neoverse-V2"},
    {0x41, 0xd80, "Cortex-A520"},      {0x41, 0xd81, "Cortex-A720"},       {0x41, 0xd82, "Cortex-X4"},
    {0x41, 0xd84, "Neoverse-V3"},      {0x41, 0xd85, "Cortex-X925"},       {0x41, 0xd87, "Cortex-A725"},
    {0x41, 0xd8e, "Neoverse-N3"},      {0x42, 0x00f, "Broadcom Brahma-B15"}, {0x42, 0x516, "Broadcom Vulcan"},
    {0x43, 0x0a1, "Cavium ThunderX"},  {0x43, 0x0af, "Cavium ThunderX2"},  {0x46, 0x001, "Fujitsu A64FX"},
    {0x48, 0xd01, "HiSilicon TaiShan v110"}, {0x4e, 0x003, "NVIDIA Denver"}, {0x4e, 0x004, "NVIDIA Carmel"},
    {0x51, 0x001, "Qualcomm Oryon"},   {0x51, 0x801, "Qualcomm Kryo 2xx Silver"}, {0x51, 0x802, "Qualcomm Kryo 3xx Gold"},
    {0x51, 0x803, "Qualcomm Kryo 3xx Silver"}, {0x51, 0x804, "Qualcomm Kryo 4xx Gold"},
    {0x51, 0x805, "Qualcomm Kryo 4xx Silver"}, {0x51, 0xc00, "Qualcomm Falkor"},
    {0x61, 0x022, "Apple M1 Icestorm"}, {0x61, 0x023, "Apple M1 Firestorm"}, {0x61, 0x032, "Apple M2 Blizzard"},
    {0x61, 0x033, "Apple M2 Avalanche"}, {0xc0, 0xac3, "Ampere-1"},         {0xc0, 0xac4, "Ampere-1a"},
};

const char* core_name(unsigned implementer, unsigned part)
{
    for (const Core& c : CORES)
        if (c.implementer == implementer && c.part == part)
            return c.name;
    return nullptr;
}

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    text.remove_prefix(first);
    return text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
}

// The value of a line "KEY<tabs>: VALUE" as a number, or -1.
long number_of(std::string_view line, std::string_view key)
{
    if (!line.starts_with(key))
        return -1;
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || !trimmed(line.substr(key.size(), colon - key.size())).empty())
        return -1;
    const std::string value(trimmed(line.substr(colon + 1)));
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 0);
    return end != value.c_str() && *end == '\0' ? n : -1;
}

} // namespace

std::string arm_cpu_name(std::string_view cpuinfo, std::string_view board_model)
{
    std::vector<const char*> kinds;
    long implementer = -1;
    while (!cpuinfo.empty()) {
        const size_t end = cpuinfo.find('\n');
        const std::string_view line = cpuinfo.substr(0, end);
        cpuinfo.remove_prefix(end == std::string_view::npos ? cpuinfo.size() : end + 1);
        if (const long n = number_of(line, "CPU implementer"); n >= 0)
            implementer = n;
        const long part = number_of(line, "CPU part");
        if (part < 0 || implementer < 0)
            continue;
        const char* name = core_name(static_cast<unsigned>(implementer), static_cast<unsigned>(part));
        bool seen = false;
        for (const char* kind : kinds)
            seen |= kind == name;
        if (name && !seen)
            kinds.push_back(name);
    }
    std::string cores;
    for (const char* kind : kinds)
        cores += (cores.empty() ? "" : " + ") + std::string(kind);
    const std::string model(trimmed(board_model.substr(0, board_model.find('\0'))));
    if (model.empty())
        return cores;
    return cores.empty() ? model : model + " (" + cores + ")";
}
