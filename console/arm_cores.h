#pragma once
// The name of an ARM processor under Linux, from what the kernel says of it:
// /proc/cpuinfo names each core only by its implementer and part numbers, and
// a board with a device tree (a Raspberry Pi, say) names itself there.

#include <string>
#include <string_view>

// The board's model, then the kinds of core it has, in the order the kernel
// lists them: "Raspberry Pi 4 Model B Rev 1.4 (Cortex-A72)",
// "Cortex-A55 + Cortex-A76". A part that is not in the table is left out,
// never guessed; "" when nothing is known. The model may end in NULs, as the
// device tree's does.
std::string arm_cpu_name(std::string_view cpuinfo, std::string_view board_model);
