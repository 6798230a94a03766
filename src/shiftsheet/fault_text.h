#ifndef SHIFTSUM_SHIFTSHEET_FAULT_TEXT_H_
#define SHIFTSUM_SHIFTSHEET_FAULT_TEXT_H_

#include <string>
#include <string_view>

// The words in which a fault quotes what it found and says what is wrong with it.

// text in single quotes, each byte that a terminal might act on written as \xNN.
std::string quote(std::string_view text);

// text with each byte that a terminal might act on written as \xNN, as a file's name.
std::string escape(std::string_view text);

// Where text holds a character that no term may hold, or npos.
std::size_t find_foreign(std::string_view text);

// Whether text begins with a character that looks like one a term is written with.
bool begins_with_look_alike(std::string_view text);

// Whether text begins with a character that looks like + or -.
bool begins_with_operator_look_alike(std::string_view text);

// Why the character at the front of text may stand in no term, and what was probably meant.
std::string describe_character(std::string_view text);

// Whether word, which is no term, is a label that holds a colon or a comma, as "Mon:",
// "2026-12-09:" or "Mon,Tue".
bool is_marked_label(std::string_view word);

// That word, a label, holds a colon or a comma, which no label may.
std::string describe_marked_label(std::string_view word);

// Why text, which holds no character foreign to terms and is no interval, is no clock.
std::string describe_clock(std::string_view text);

// Why text, "(" to ")" with its blanks as written and no parenthesis between, is no
// interval.
std::string describe_interval(std::string_view text);

// That clock, as written, holds a blank.
std::string describe_blank_inside(std::string_view clock);

#endif  // SHIFTSUM_SHIFTSHEET_FAULT_TEXT_H_
