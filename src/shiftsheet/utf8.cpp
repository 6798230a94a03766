#include "shiftsheet/utf8.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace {

// A character of n bytes is a lead byte, whose high bits say n, then n - 1 continuation bytes
// 10xxxxxx of six bits each.
struct Form {
  unsigned first_lead;  // the range of lead bytes, less those of overlong forms
  unsigned last_lead;
  unsigned marker;    // the lead byte's high bits
  unsigned bits;      // the lead byte's own bits
  std::uint32_t end;  // the first code point too large for this form
};

constexpr std::array<Form, 4> kForms = {{
    {0x00, 0x7F, 0x00, 0x7F, 0x80},
    {0xC2, 0xDF, 0xC0, 0x1F, 0x800},
    {0xE0, 0xEF, 0xE0, 0x0F, 0x10000},
    {0xF0, 0xF4, 0xF0, 0x07, 0x110000},
}};
constexpr unsigned kContinuationMask = 0xC0;
constexpr unsigned kContinuationMarker = 0x80;
constexpr unsigned kContinuationBits = 0x3F;
constexpr unsigned kBitsPerContinuation = 6;

unsigned byte_at(std::string_view text, std::size_t at)
{
  return static_cast<unsigned char>(text[at]);
}

constexpr std::int64_t kMinutesPerHour = 60;
constexpr std::int64_t kHundredthsPerHour = 100;

// The first code point past the C1 controls, which a terminal may act on.
constexpr std::uint32_t kFirstShown = 0xA0;

// The length of the character at the front of text if it shows on a terminal as it is:
// printable ASCII, a tab, or UTF-8 past the C1 controls; else 0.
std::size_t shown_length(std::string_view text)
{
  if (text[0] == '\t' || (text[0] >= ' ' && text[0] <= '~'))
    return 1;
  std::size_t length = utf8_length(text);
  if (length < 2 || code_point(text, length) < kFirstShown)
    return 0;
  return length;
}

}  // namespace

std::size_t utf8_length(std::string_view text)
{
  unsigned lead = byte_at(text, 0);
  std::size_t length = 0;
  for (std::size_t i = 0; i < kForms.size(); ++i) {
    if (lead >= kForms[i].first_lead && lead <= kForms[i].last_lead)
      length = i + 1;
  }
  if (length == 0 || length > text.size())
    return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte_at(text, i) & kContinuationMask) != kContinuationMarker)
      return 0;
  }
  return length;
}

std::uint32_t code_point(std::string_view text, std::size_t length)
{
  std::uint32_t c = byte_at(text, 0) & kForms[length - 1].bits;
  for (std::size_t i = 1; i < length; ++i)
    c = c << kBitsPerContinuation | (byte_at(text, i) & kContinuationBits);
  return c;
}

void append_utf8(std::uint32_t c, std::string& text)
{
  std::size_t length = 1;
  while (length < kForms.size() && c >= kForms[length - 1].end)
    ++length;
  unsigned shift = kBitsPerContinuation * static_cast<unsigned>(length - 1);
  text += static_cast<char>(kForms[length - 1].marker | c >> shift);
  while (shift > 0) {
    shift -= kBitsPerContinuation;
    text += static_cast<char>(kContinuationMarker | (c >> shift & kContinuationBits));
  }
}

std::size_t column_at(std::string_view text, std::size_t offset)
{
  std::size_t column = 1;
  std::size_t at = 0;
  while (at < offset) {
    std::size_t length = utf8_length(text.substr(at));
    at += length == 0 ? 1 : length;
    ++column;
  }
  return column;
}

std::string quote(std::string_view text)
{
  return "'" + escape(text) + "'";
}

std::string escape(std::string_view text)
{
  std::string quoted;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t length = shown_length(text.substr(at));
    if (length > 0) {
      quoted += text.substr(at, length);
      at += length;
      continue;
    }
    std::array<char, sizeof "\\xFF"> escaped{};
    std::snprintf(escaped.data(), escaped.size(), "\\x%02X", static_cast<unsigned char>(text[at]));
    quoted += escaped.data();
    ++at;
  }
  return quoted;
}

// Appends value in decimal digits: std::to_string and printf take longer.
void append_integer(std::string& out, std::int64_t value)
{
  std::array<char, sizeof "-9223372036854775808"> digits{};
  char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  out.append(digits.data(), end);
}

// Appends shown, in minutes or, for decimal, in hundredths of an hour, as "-1:30" or "-1.50".
void append_figure(std::string& out, std::int64_t shown, bool decimal)
{
  std::int64_t magnitude = shown < 0 ? -shown : shown;
  std::int64_t unit = decimal ? kHundredthsPerHour : kMinutesPerHour;
  if (shown < 0)
    out += '-';
  append_integer(out, magnitude / unit);
  out += decimal ? '.' : ':';
  out += static_cast<char>('0' + magnitude % unit / 10);
  out += static_cast<char>('0' + magnitude % unit % 10);
}
