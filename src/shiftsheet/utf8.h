#ifndef SHIFTSUM_SHIFTSHEET_UTF8_H_
#define SHIFTSUM_SHIFTSHEET_UTF8_H_

#include <cstdint>
#include <string>
#include <string_view>

// The length of the UTF-8 character at the front of text, which is not empty, or 0 where the
// bytes there are no UTF-8.
std::size_t utf8_length(std::string_view text);

// The code point of the UTF-8 character of that length at the front of text.
std::uint32_t code_point(std::string_view text, std::size_t length);

// Appends the UTF-8 form of the code point c to text.
void append_utf8(std::uint32_t c, std::string& text);

// The column of text[offset], counted from 1: a UTF-8 character is one, any other byte one.
std::size_t column_at(std::string_view text, std::size_t offset);

// text in single quotes, each byte that a terminal might act on written as \xNN.
std::string quote(std::string_view text);

// text with each byte that a terminal might act on written as \xNN, as a file's name.
std::string escape(std::string_view text);

// Appends value in decimal digits: std::to_string and printf take longer.
void append_integer(std::string& out, std::int64_t value);

// Appends shown, in minutes or, for decimal, in hundredths of an hour, as "-1:30" or "-1.50":
// the form of every time that shiftsheet prints or names.
void append_figure(std::string& out, std::int64_t shown, bool decimal);

#endif  // SHIFTSUM_SHIFTSHEET_UTF8_H_
