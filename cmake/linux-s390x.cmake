# Cross-compiles for 64-bit big-endian IBM Z Linux (s390x), with Debian's g++-s390x-linux-gnu.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(SHIFTSUM_TRIPLE s390x-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-s390x-static -L /usr/s390x-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
