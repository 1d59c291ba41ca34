# macOS on Apple silicon, from macOS 11, with Zig's clang (cmake/zig.cmake).
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(PRIMEBENCH_ZIG_TARGET aarch64-macos.11.0)
include(${CMAKE_CURRENT_LIST_DIR}/zig.cmake)
