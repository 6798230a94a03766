# Cross-compiles for 64-bit RISC-V Linux (riscv64), with Debian's g++-riscv64-linux-gnu.
set(CMAKE_SYSTEM_PROCESSOR riscv64)
set(SHIFTSUM_TRIPLE riscv64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-riscv64-static -L /usr/riscv64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
