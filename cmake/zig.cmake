# Shared by the toolchain files of the targets that Zig's clang builds from
# Linux (macOS, Windows on ARM), which set CMAKE_SYSTEM_NAME,
# CMAKE_SYSTEM_PROCESSOR and PRIMEBENCH_ZIG_TARGET first. Zig brings the
# target's C library headers, libc++ and a linker (Mach-O programs for arm64
# come out signed ad hoc, as macOS demands). tools/setup-zig installs the
# pinned Zig into .cache/zig; a zig on the PATH does as well. Nothing here
# runs what these builds make, so they build the program alone.
find_program(PRIMEBENCH_ZIG zig HINTS ${CMAKE_CURRENT_LIST_DIR}/../.cache/zig/bin REQUIRED)
set(CMAKE_CXX_COMPILER ${PRIMEBENCH_ZIG} c++)
set(CMAKE_CXX_COMPILER_TARGET ${PRIMEBENCH_ZIG_TARGET})
set(CMAKE_CXX_ARCHIVE_CREATE "${PRIMEBENCH_ZIG} ar qc <TARGET> <OBJECTS>")
set(CMAKE_CXX_ARCHIVE_APPEND "${PRIMEBENCH_ZIG} ar q <TARGET> <OBJECTS>")
set(CMAKE_CXX_ARCHIVE_FINISH "${PRIMEBENCH_ZIG} ranlib <TARGET>")
# Zig optimises across files at link time unless told not to; no other build
# of the program does, and the timed loop is to be the same code everywhere.
set(CMAKE_CXX_FLAGS_INIT -fno-lto)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fno-lto)
# Zig refuses the verbose link flag of CMake's compiler checks, so CMake
# cannot learn the pointer size; every target here is 64-bit.
set(CMAKE_SIZEOF_VOID_P 8)
# The compiler checks link with the flags of the build, so that Zig builds
# its C++ runtime for a target once, not once for them and once for us.
set(CMAKE_TRY_COMPILE_CONFIGURATION Release)
set(PRIMEBENCH_TESTS OFF CACHE BOOL "Build the tests")
