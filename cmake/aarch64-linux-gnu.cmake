# 64-bit ARM, with Debian's g++-aarch64-linux-gnu; tests run under qemu-aarch64.
set(PRIMEBENCH_TRIPLE aarch64-linux-gnu)
set(PRIMEBENCH_QEMU_ARCH aarch64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
# Debian's name for the architecture, for the package.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
