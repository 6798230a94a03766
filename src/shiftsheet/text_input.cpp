#include "shiftsheet/text_input.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "shiftsheet/utf8.h"

namespace {

// Big enough that a read costs little per byte, small enough to stay in a cache.
constexpr std::size_t kChunk = 65536;

// UTF-16 writes a code point past 0xFFFF as two units: a high surrogate, then a low one, each
// holding ten of its bits. Half a pair without its other half becomes U+FFFD.
constexpr std::uint32_t kHighSurrogate = 0xD800;
constexpr std::uint32_t kLowSurrogate = 0xDC00;
constexpr std::uint32_t kLastSurrogate = 0xDFFF;
constexpr std::uint32_t kFirstPaired = 0x10000;
constexpr unsigned kBitsPerSurrogate = 10;
constexpr std::uint32_t kReplacement = 0xFFFD;
constexpr unsigned kBitsPerByte = 8;

// Appends up to kChunk more bytes of the file to bytes.
void read_chunk(TextInput& input, std::string& bytes)
{
  std::size_t old = bytes.size();
  bytes.resize(old + kChunk);
  std::size_t got = std::fread(&bytes[old], 1, kChunk, input.file);
  bytes.resize(old + got);
  if (std::string_view(bytes).substr(old).find('\0') != std::string_view::npos)
    input.has_nul = true;
  if (std::string_view(bytes).substr(old).find('\r') != std::string_view::npos)
    input.has_cr = true;
  if (got == kChunk)
    return;
  input.at_end = true;
  // The C library need not set errno, so the failure is kept apart from it.
  if (std::ferror(input.file) != 0) {
    input.failed = true;
    input.error = errno;
  }
}

// The UTF-16 unit at raw[at], in the file's byte order.
std::uint32_t unit_at(const TextInput& input, std::size_t at)
{
  std::uint32_t first = static_cast<unsigned char>(input.raw[at]);
  std::uint32_t second = static_cast<unsigned char>(input.raw[at + 1]);
  if (input.encoding == Encoding::kUtf16Le)
    return first | second << kBitsPerByte;
  return first << kBitsPerByte | second;
}

// Turns the whole characters of raw into UTF-8 at the end of text; at the end of the file, what
// is left of a character becomes U+FFFD.
void decode_utf16(TextInput& input)
{
  const std::size_t size = input.raw.size();
  std::size_t at = 0;
  while (at + 2 <= size) {
    std::uint32_t unit = unit_at(input, at);
    if (unit < kHighSurrogate || unit > kLastSurrogate) {
      append_utf8(unit, input.text);
      at += 2;
      continue;
    }
    if (unit >= kLowSurrogate) {
      append_utf8(kReplacement, input.text);
      at += 2;
      continue;
    }
    if (at + 4 > size)
      break;  // the second half is still to be read
    std::uint32_t low = unit_at(input, at + 2);
    if (low < kLowSurrogate || low > kLastSurrogate) {
      append_utf8(kReplacement, input.text);
      at += 2;
      continue;
    }
    append_utf8(
        kFirstPaired + ((unit - kHighSurrogate) << kBitsPerSurrogate) + (low - kLowSurrogate),
        input.text);
    at += 4;
  }
  input.raw.erase(0, at);
  if (input.at_end && !input.raw.empty()) {
    append_utf8(kReplacement, input.text);
    input.raw.clear();
  }
}

// Reads the first bytes, and takes the encoding from the byte-order mark, if any.
void start(TextInput& input)
{
  input.started = true;
  read_chunk(input, input.text);
  std::string_view first = input.text;
  if (first.substr(0, 3) == "\xEF\xBB\xBF") {
    input.text.erase(0, 3);
    return;
  }
  if (first.substr(0, 2) == "\xFF\xFE")
    input.encoding = Encoding::kUtf16Le;
  else if (first.substr(0, 2) == "\xFE\xFF")
    input.encoding = Encoding::kUtf16Be;
  else
    return;
  input.raw.assign(input.text, 2);
  input.text.clear();
  decode_utf16(input);
}

// Reads more of the file onto the end of text.
void fill(TextInput& input)
{
  if (input.encoding == Encoding::kBytes) {
    read_chunk(input, input.text);
    return;
  }
  read_chunk(input, input.raw);
  decode_utf16(input);
}

// Whether the text not yet cut into lines holds a NUL byte. Such a file is no text, whose
// line may have no end (as /dev/zero's has none): it is cut there, with all that was read.
bool holds_nul_byte(const TextInput& input)
{
  if (!input.has_nul || input.encoding != Encoding::kBytes)
    return false;
  return std::string_view(input.text).substr(input.next).find('\0') != std::string_view::npos;
}

}  // namespace

bool cut_line(TextInput& input, std::string_view& line)
{
  if (!input.started)
    start(input);
  std::size_t at = input.next;  // the text before it holds no line end
  for (;;) {
    const std::string& text = input.text;
    if (input.skip_lf && input.next < text.size()) {
      input.skip_lf = false;
      if (text[input.next] == '\n')
        at = ++input.next;
    }
    // The first LF, then a CR before it where the file holds any: quick searches.
    std::size_t lf = std::min(std::string_view(text).find('\n', at), text.size());
    at = !input.has_cr
             ? lf
             : std::min(std::string_view(text).substr(at, lf - at).find('\r'), lf - at) + at;
    if (at < text.size()) {
      line = std::string_view(text).substr(input.next, at - input.next);
      input.skip_lf = text[at] == '\r';
      input.next = at + 1;
      return true;
    }
    if (input.at_end || holds_nul_byte(input)) {
      if (input.next == text.size())
        return false;
      line = std::string_view(text).substr(input.next);
      input.next = text.size();
      return true;
    }
    // Keep only what is not yet cut into lines, and read more after it.
    input.text.erase(0, input.next);
    at -= input.next;
    input.next = 0;
    fill(input);
  }
}
