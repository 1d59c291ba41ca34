# 64-bit ARM, with Debian's g++-aarch64-linux-gnu; tests run under qemu-aarch64.
set(PRIMEBENCH_TRIPLE aarch64-linux-gnu)
set(PRIMEBENCH_QEMU_ARCH aarch64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
# Debian's and RPM's names for the architecture, for the packages.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
set(CPACK_RPM_PACKAGE_ARCHITECTURE aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
