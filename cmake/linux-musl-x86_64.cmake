# Builds for Linux x86-64 with musl, the C library of Alpine, with Zig's C++ compiler. The
# programs are static, so they run here as they are.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SHIFTSUM_ZIG_TARGET x86_64-linux-musl)
include(${CMAKE_CURRENT_LIST_DIR}/zig.cmake)
