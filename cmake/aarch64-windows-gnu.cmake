# Windows on ARM, a native ARM64 console program, with Zig's clang and its
# MinGW-w64 (cmake/zig.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)
set(PRIMEBENCH_ZIG_TARGET aarch64-windows-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/zig.cmake)
