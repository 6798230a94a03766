# Builds for macOS on Apple silicon with Zig's C++ compiler. Its programs cannot run here.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(SHIFTSUM_ZIG_TARGET aarch64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/zig.cmake)
