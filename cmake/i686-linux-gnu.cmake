# 32-bit x86, with Debian's g++-i686-linux-gnu; tests run under qemu-i386.
set(PRIMEBENCH_TRIPLE i686-linux-gnu)
set(PRIMEBENCH_QEMU_ARCH i386)
set(CMAKE_SYSTEM_PROCESSOR i686)
# Debian's name for the architecture, for the package.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
