# 32-bit ARM, hard float, with Debian's g++-arm-linux-gnueabihf; tests run under qemu-arm.
set(PRIMEBENCH_TRIPLE arm-linux-gnueabihf)
set(PRIMEBENCH_QEMU_ARCH arm)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
# Debian's name for the architecture, for the package.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
