#ifndef SHIFTSUM_SHIFTSHEET_TEXT_INPUT_H_
#define SHIFTSUM_SHIFTSHEET_TEXT_INPUT_H_

#include <cstdio>
#include <string>
#include <string_view>

// How a file's bytes are read, as its byte-order mark says.
enum class Encoding { kBytes, kUtf16Le, kUtf16Be };

// A file read as lines of 8-bit text, in pieces, so that memory does not grow with its length.
// UTF-16 becomes UTF-8; a UTF-8 byte-order mark is dropped.
struct TextInput {
  std::FILE* file = nullptr;
  Encoding encoding = Encoding::kBytes;
  bool started = false;  // the first bytes have been read and the mark looked for
  bool at_end = false;   // the file has no more bytes
  bool failed = false;   // a read failed
  int error = 0;         // errno, as the failed read left it
  bool has_nul = false;  // a byte read was 0, so a line may hold one
  bool has_cr = false;   // a byte read was CR, so a line may end at one
  bool skip_lf = false;  // the last line ended in CR: an LF right after it ends it too
  std::string text;      // text read but not yet cut into lines, from next on
  std::size_t next = 0;
  std::string raw;  // UTF-16 bytes read but not yet decoded
};

// Cuts the next line off input, without its line end (LF, CR LF or CR); false at the end of
// the file or on a failed read, which sets input.failed. The line stays valid
// until the next call. In a file read as bytes, a line that holds a NUL ends with what has
// been read, line end or not.
bool cut_line(TextInput& input, std::string_view& line);

#endif  // SHIFTSUM_SHIFTSHEET_TEXT_INPUT_H_
