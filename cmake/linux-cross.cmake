# Shared by the Linux cross toolchain files, which set PRIMEBENCH_TRIPLE,
# PRIMEBENCH_QEMU_ARCH and CMAKE_SYSTEM_PROCESSOR first: Debian's cross
# compiler for the triple, the target's libraries under /usr/<triple>, and
# qemu-user to run what the build makes (tests included), with no binfmt
# handler needed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${PRIMEBENCH_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${PRIMEBENCH_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${PRIMEBENCH_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The emulated loader reads the host's /etc/ld.so.cache, which may name the
# same architecture's libc of another build (libc6:arm64, libc6-i386): mixed
# with the cross loader, a forked child then spins for ever. The search path
# keeps it to the cross libraries it belongs with.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${PRIMEBENCH_QEMU_ARCH};-L;/usr/${PRIMEBENCH_TRIPLE}
    -E;LD_LIBRARY_PATH=/usr/${PRIMEBENCH_TRIPLE}/lib)
