#ifndef SHIFTSUM_CORE_TERM_READER_H_
#define SHIFTSUM_CORE_TERM_READER_H_

#include <string_view>

#include "core/time_values.h"

// Cuts source at the first a or b; false, outputs untouched, when neither occurs.
bool split_at_first(std::string_view source, char a, char b, std::string_view& left,
                    std::string_view& right, char& separator);

// True when every character is an ASCII digit; the empty text is all digits.
bool is_all_digits(std::string_view text);

// Reads "hours:minutes", digits only, an empty side being 0; false when a field or the
// minute total leaves 32 bits.
bool parse_clock(std::string_view text, ClockTime& clock);

// Reads "(start,end)" into two clocks.
bool parse_interval(std::string_view text, ClockTime& start, ClockTime& end);

// Reads a clock, or an interval as end minus start, into value.
bool parse_term(std::string_view text, ClockTime& value);

#endif  // SHIFTSUM_CORE_TERM_READER_H_
