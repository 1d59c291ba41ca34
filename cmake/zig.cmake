# Shared by the toolchain files of the targets that Zig's clang builds from
# Linux (macOS, Windows on ARM), which set CMAKE_SYSTEM_NAME,
# CMAKE_SYSTEM_PROCESSOR and PRIMEBENCH_ZIG_TARGET first. Zig brings the
# target's C library headers, libc++ and a linker (Mach-O programs for arm64
# come out signed ad hoc, as macOS demands). tools/setup-zig installs the
# pinned Zig into .cache/zig; a zig on the PATH does as well. Nothing here
# runs what these builds make here, so they build the program alone unless
# asked for the tests (-DPRIMEBENCH_TESTS=ON: the Windows on ARM stage runs
# them under an emulated Wine).
find_program(PRIMEBENCH_ZIG zig HINTS ${CMAKE_CURRENT_LIST_DIR}/../.cache/zig/bin REQUIRED)
# C as well as C++: GoogleTest's project() enables C, which CMake would
# otherwise give the machine's own cc.
foreach(language C CXX)
  if(language STREQUAL C)
    set(CMAKE_C_COMPILER ${PRIMEBENCH_ZIG} cc)
  else()
    set(CMAKE_CXX_COMPILER ${PRIMEBENCH_ZIG} c++)
  endif()
  set(CMAKE_${language}_COMPILER_TARGET ${PRIMEBENCH_ZIG_TARGET})
  set(CMAKE_${language}_ARCHIVE_CREATE "${PRIMEBENCH_ZIG} ar qc <TARGET> <OBJECTS>")
  set(CMAKE_${language}_ARCHIVE_APPEND "${PRIMEBENCH_ZIG} ar q <TARGET> <OBJECTS>")
  set(CMAKE_${language}_ARCHIVE_FINISH "${PRIMEBENCH_ZIG} ranlib <TARGET>")
endforeach()
# Nothing of this machine's own: GoogleTest is built from its sources.
set(CMAKE_FIND_ROOT_PATH ${CMAKE_CURRENT_LIST_DIR}/../.cache/zig/no-packages)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Zig optimises across files at link time unless told not to; no other build
# of the program does, and the timed loop is to be the same code everywhere.
set(CMAKE_C_FLAGS_INIT -fno-lto)
set(CMAKE_CXX_FLAGS_INIT -fno-lto)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fno-lto)
# Zig refuses the verbose link flag of CMake's compiler checks, so CMake
# cannot learn the pointer size; every target here is 64-bit.
set(CMAKE_SIZEOF_VOID_P 8)
# The compiler checks link with the flags of the build, so that Zig builds
# its C++ runtime for a target once, not once for them and once for us.
set(CMAKE_TRY_COMPILE_CONFIGURATION Release)
set(PRIMEBENCH_TESTS OFF CACHE BOOL "Build the tests")
