# macOS on Intel, from macOS 11, with Zig's clang (cmake/zig.cmake).
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PRIMEBENCH_ZIG_TARGET x86_64-macos.11.0)
include(${CMAKE_CURRENT_LIST_DIR}/zig.cmake)
