# What every cross build for Linux shares. The file that includes this one names the target:
# CMAKE_SYSTEM_PROCESSOR, SHIFTSUM_TRIPLE (the Debian cross toolchain's prefix) and the
# qemu-user emulator that runs its programs here, where no binfmt handler is registered. The
# emulator's -L points it at the target's libraries, which Debian installs under /usr/<triple>.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${SHIFTSUM_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${SHIFTSUM_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${SHIFTSUM_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
