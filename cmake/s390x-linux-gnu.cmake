# IBM Z, big-endian, with Debian's g++-s390x-linux-gnu; tests run under qemu-s390x.
set(PRIMEBENCH_TRIPLE s390x-linux-gnu)
set(PRIMEBENCH_QEMU_ARCH s390x)
set(CMAKE_SYSTEM_PROCESSOR s390x)
# Debian's name for the architecture, for the package.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
