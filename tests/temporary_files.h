#ifndef SHIFTSUM_TESTS_TEMPORARY_FILES_H_
#define SHIFTSUM_TESTS_TEMPORARY_FILES_H_

#include <chrono>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

// A path of its own for a file that a test makes, even where other runs of it make theirs.
inline std::string temporary_path(const std::string& name)
{
  auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return testing::TempDir() + name + "_" + std::to_string(now);
}

// A temporary file holding bytes, ready to be read from the start.
inline std::FILE* file_of(const std::string& bytes)
{
  std::FILE* file = std::tmpfile();
  if (file == nullptr)
    return nullptr;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  return file;
}

// A stream that opens but cannot be read: its descriptor is made that of a file opened for
// writing alone, which every system fails to read from.
inline std::FILE* unreadable_stream(const std::string& name)
{
  std::FILE* stream = std::tmpfile();
  std::FILE* write_only = std::fopen(temporary_path(name).c_str(), "wb");
  if (stream != nullptr && write_only != nullptr) {
#ifdef _WIN32
    _dup2(_fileno(write_only), _fileno(stream));
#else
    dup2(fileno(write_only), fileno(stream));
#endif
  }
  if (write_only != nullptr)
    std::fclose(write_only);
  return stream;
}

#endif  // SHIFTSUM_TESTS_TEMPORARY_FILES_H_
