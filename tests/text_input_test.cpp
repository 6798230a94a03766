#include "shiftsheet/text_input.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "temporary_files.h"

namespace {

struct Read {
  std::vector<std::string> lines;
  bool has_nul = false;
  int error = 0;
};

// Every line of a file that holds bytes.
Read read_all(const std::string& bytes)
{
  Read read;
  TextInput input;
  input.file = file_of(bytes);
  if (input.file == nullptr) {
    ADD_FAILURE() << "no temporary file";
    return read;
  }
  std::string_view line;
  while (cut_line(input, line))
    read.lines.emplace_back(line);
  read.has_nul = input.has_nul;
  read.error = input.error;
  std::fclose(input.file);
  return read;
}

// UTF-16 with its byte-order mark, each unit in the byte order asked for.
std::string utf16(bool big_endian, const std::vector<unsigned>& units)
{
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (unsigned unit : units) {
    char high = static_cast<char>(unit >> 8);
    char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

const std::string kChunk(65536, 'a');

TEST(TextInput, CutsLinesAndDecodes)
{
  // U+00E9, U+20AC, U+FF0B and U+1F600: two, three, three and four bytes of UTF-8.
  const std::vector<unsigned> text = {'a', 0xE9, 0x20AC, 0xFF0B, 0xD83D, 0xDE00, '\r', '\n', 'b'};
  const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
  // The mark and 32766 units fill the first read but for the pair's first half.
  std::vector<unsigned> split_pair(32766, 'a');
  split_pair.insert(split_pair.end(), {0xD83D, 0xDE00, '\n', 'b'});
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\rb\n\nc", {"a", "", "", "b", "", "c"}},
      {"\n", {""}},
      {"\r\n\n", {"", ""}},
      {"a", {"a"}},
      {"\xEF\xBB\xBFx\r\nb", {"x", "b"}},
      {"\xEF\xBBx", {"\xEF\xBBx"}},  // no mark, but for a part of one
      {"\xFF\xFE", {}},
      {utf16(false, text), {"a\xC3\xA9\xE2\x82\xAC\xEF\xBC\x8B\xF0\x9F\x98\x80", "b"}},
      {utf16(true, text), {"a\xC3\xA9\xE2\x82\xAC\xEF\xBC\x8B\xF0\x9F\x98\x80", "b"}},
      // Halves of a pair alone, and an odd last byte, become U+FFFD.
      {utf16(false, {0xD83D, 'a', 0xDE00, 'b', 0xD800, 0xE000}),
       {bad + "a" + bad + "b" + bad + "\xEE\x80\x80"}},
      {utf16(true, {'a', 0xD83D}), {"a" + bad}},
      {utf16(false, {'a'}) + "b", {"a" + bad}},
      {utf16(false, {'a', 0xD83D}) + "b", {"a" + bad}},
      // A CR LF across the boundary of two reads ends one line.
      {kChunk.substr(1) + "\r\nb", {kChunk.substr(1), "b"}},
      {kChunk + kChunk + kChunk + "a\nb", {kChunk + kChunk + kChunk + "a", "b"}},
      // The pair's second half is in the second read.
      {utf16(false, split_pair), {std::string(32766, 'a') + "\xF0\x9F\x98\x80", "b"}},
  };
  for (const auto& c : cases) {
    Read read = read_all(c.bytes);
    EXPECT_EQ(read.lines, c.lines) << c.bytes.substr(0, 40);
    EXPECT_EQ(read.error, 0) << c.bytes.substr(0, 40);
  }
}

TEST(TextInput, SaysWhetherANulWasRead)
{
  Read read = read_all(std::string("a\0b\nc", 5));
  EXPECT_EQ(read.lines, (std::vector<std::string>{std::string("a\0b", 3), "c"}));
  EXPECT_TRUE(read.has_nul);
  EXPECT_FALSE(read_all("a\nb").has_nul);

  // Lines past a NUL are still cut whole, even across a chunk; but a line that holds one
  // ends with what has been read, so that a file of NULs alone is never held whole.
  std::string after = std::string("a\0b\n", 4) + std::string(70000, 'x') + "\n";
  EXPECT_EQ(read_all(after).lines,
            (std::vector<std::string>{std::string("a\0b", 3), std::string(70000, 'x')}));
  std::vector<std::string> nuls = read_all(std::string(200000, '\0')).lines;
  ASSERT_GT(nuls.size(), 1U);
  EXPECT_LT(nuls[0].size(), 200000U);
}

TEST(TextInput, FailedReadSaysSo)
{
  TextInput input;
  input.file = unreadable_stream("text_input_write_only");
  ASSERT_NE(input.file, nullptr);
  std::string_view line;
  EXPECT_FALSE(cut_line(input, line));
  EXPECT_TRUE(input.failed);
  std::fclose(input.file);
}

}  // namespace
