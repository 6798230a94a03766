#ifndef SHIFTSUM_TESTS_TEMPORARY_FILES_H_
#define SHIFTSUM_TESTS_TEMPORARY_FILES_H_

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

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

// A stream that opens but cannot be read: a folder's, as POSIX systems open it. Null where
// the folder cannot be opened so, as on Windows.
inline std::FILE* unreadable_stream(const std::string& name)
{
  std::string folder = temporary_path(name);
  std::filesystem::create_directory(folder);
  return std::fopen(folder.c_str(), "rb");
}

#endif  // SHIFTSUM_TESTS_TEMPORARY_FILES_H_
