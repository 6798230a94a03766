# What every build with Zig's compilers shares: clang with libc++, and the C library and
# system headers of each target it knows, macOS's among them, so that one Linux machine can
# build for several systems. The file that includes this one names CMAKE_SYSTEM_NAME,
# CMAKE_SYSTEM_PROCESSOR and SHIFTSUM_ZIG_TARGET, Zig's name for the target.
find_program(SHIFTSUM_ZIG zig REQUIRED)
set(CMAKE_C_COMPILER ${SHIFTSUM_ZIG} cc)
set(CMAKE_CXX_COMPILER ${SHIFTSUM_ZIG} c++)
set(CMAKE_C_COMPILER_TARGET ${SHIFTSUM_ZIG_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${SHIFTSUM_ZIG_TARGET})
set(CMAKE_AR ${SHIFTSUM_ZIG})
# Libraries and packages come from Zig's folder alone, never the host's, which are built for
# another C library or system.
get_filename_component(zig_folder ${SHIFTSUM_ZIG} DIRECTORY)
set(CMAKE_FIND_ROOT_PATH ${zig_folder})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Nothing is installed from these builds, so macOS's install_name_tool is never run.
set(CMAKE_INSTALL_NAME_TOOL ${SHIFTSUM_ZIG})
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/zig-rules.cmake)
