# Mends CMake's rules for Zig's compilers, after those of the platform: its linker takes no -v,
# which CMake passes on macOS, and its archiver is a subcommand, which the default rules cannot
# name.
foreach(lang C CXX)
  set(CMAKE_${lang}_VERBOSE_FLAG "-v")
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> ar qc <TARGET> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> ar q <TARGET> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_AR> ranlib <TARGET>")
endforeach()
