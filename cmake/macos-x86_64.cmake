# Builds for macOS on Intel with Zig's C++ compiler. Its programs cannot run here.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SHIFTSUM_ZIG_TARGET x86_64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/zig.cmake)
