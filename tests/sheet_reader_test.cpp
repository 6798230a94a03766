#include "shiftsheet/sheet_reader.h"
#include "shiftsheet/utf8.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// The terms of a line, as "+492@0 -30@15": operator, minutes and offset of each.
std::string terms_of(const SheetLine& line)
{
  std::string terms;
  for (const SheetTerm& term : line.terms) {
    if (!terms.empty())
      terms += ' ';
    terms += term.op + std::to_string(to_minutes(term.value)) + "@" + std::to_string(term.offset);
  }
  return terms;
}

TEST(SheetReader, ReadsKindsLabelsAndTerms)
{
  const auto blank = LineKind::kBlank;
  const auto entry = LineKind::kEntry;
  const auto more = LineKind::kContinuation;
  const struct {
    const char* text;
    LineKind kind;
    const char* label;
    const char* terms;
  } cases[] = {
      {"", blank, "", ""},
      {" \t ", blank, "", ""},
      {"# Week 50", blank, "", ""},
      {"  # (9:00 x", blank, "", ""},
      {"(9:23,17:35) - 0:30     # Monday, less lunch", entry, "", "+492@0 -30@15"},
      {"+ (10:11,18:17) - 0:40  # Tuesday", more, "", "+486@2 -40@18"},
      {"-0:30", more, "", "-30@1"},
      {"\t- 1:00+2:00-:30", more, "", "-60@3 +120@8 -30@13"},
      {"Mon    (9:23,17:35) - 0:30", entry, "Mon", "+492@7 -30@22"},
      {"Dec 9  6:45", entry, "Dec 9", "+405@7"},
      {"2026-12-09 8:00", entry, "2026-12-09", "+480@11"},
      {"Week 50\t1:00", entry, "Week 50", "+60@8"},
      {"Mon :30", entry, "Mon", "+30@4"},
      {"Caf\xC3\xA9 1:00", entry, "Caf\xC3\xA9", "+60@6"},
      {"Caf\xE9 na\xEFve 1:00", entry, "Caf\xE9 na\xEFve", "+60@11"},
      {"\xC3\x89t\xC3\xA9 1:00", entry, "\xC3\x89t\xC3\xA9", "+60@6"},
      {"9:23", entry, "", "+563@0"},
      {": + 5: + :7 + 0:90", entry, "", "+0@0 +300@4 +7@9 +90@14"},
      {"(19:00,3:00)", entry, "", "+-960@0"},
      {"( 9:00 , 17:00 )", entry, "", "+480@0"},
      {"(\t9:00\t,\t17:00\t)-\t(8:00 ,9:00)", entry, "", "+480@0 -60@18"},
      {"35791394:7", entry, "", "+2147483647@0"},
      {"(0:0,0:2147483647)", entry, "", "+2147483647@0"},
  };
  for (const auto& c : cases) {
    SheetLine line;
    LineFault fault;
    EXPECT_TRUE(read_sheet_line(c.text, line, fault)) << c.text << ": " << fault.message;
    EXPECT_EQ(line.kind, c.kind) << c.text;
    EXPECT_EQ(line.label, c.label) << c.text;
    EXPECT_EQ(terms_of(line), c.terms) << c.text;
  }
}

TEST(SheetReader, SaysWhereAndWhyALineDoesNotRead)
{
  const struct {
    const char* text;
    std::size_t column;
    const char* message;  // the whole message, or a part that tells it from the others
  } cases[] = {
      // Not a clock, with the clock meant where it can be seen.
      {"Mon 9.30 - 0:30", 5, "'9.30' is not a clock; write hours:minutes, as 9:30"},
      {"930", 1, "'930' is not a clock; write hours:minutes, as 9:30"},
      {"Mon 12;45", 5, "as 12:45"},
      {"Mon 7h05", 5, "as 7:05"},
      {"Mon 7H05", 5, "as 7:05"},
      {"Mon 7.5", 5, "'7.5' is not a clock; write hours:minutes, as 9:30"},
      {"Mon 7.5.", 5, "as 9:30"},
      {"Mon 7..5", 5, "as 9:30"},
      {"1:00 - .30", 8, "'.30' is not a clock; write hours:minutes, as 9:30"},
      {"1:00 - 7x30", 8, "'7x30' is not a clock; write hours:minutes, as 9:30"},
      {"Dec 9", 5, "'9' is not a clock"},
      {"1:2:3", 1, "'1:2:3' has more than one colon; write hours:minutes, as 9:30"},
      {"a:00", 1, "'a:00' is not a clock; write hours and minutes in the digits 0 to 9"},
      {"1:0a", 1, "'1:0a' is not a clock; write hours and minutes in the digits 0 to 9"},
      {"Mon 9,30", 5, "'9,30' is not a clock; write an interval in parentheses, as (9:00,17:00)"},
      {"9(1:00,2:00)", 1, "'9(1:00,2:00)' needs a blank before its '('"},
      {"Mon 9)", 5, "'9)' has a ')' with no '(' before it"},
      // Two terms with no operator between them.
      {"7:30 45", 6, "'7:30' and '45' need a + or - between them"},
      {"1:00 :30", 6, "'1:00' and ':30' need a + or - between them"},
      {"Mon 9:00 (1:00,2:00)", 10, "'9:00' and '(1:00,2:00)' need a + or - between them"},
      {"1:00 abc", 6,
       "'abc' after '1:00' is not an operator; write + or - before a term, or # before a comment"},
      {"(8:00,9:00) ,", 13, "',' after '(8:00,9:00)' is not an operator"},
      {"9: x", 4, "'x' after '9:' is not an operator"},
      // A blank inside a clock.
      {"9: 30", 1, "'9: 30' has a blank inside a clock; write 9:30"},
      {"9 :30", 1, "'9 :30' has a blank inside a clock; write 9:30"},
      {"Mon 9:\t30 - 1:00", 5, "'9:\t30' has a blank inside a clock; write 9:30"},
      {"(9: 30,10:00)", 2, "'9: 30' has a blank inside a clock; write 9:30"},
      {"(9:00, 10 :00 )", 8, "'10 :00' has a blank inside a clock; write 10:00"},
      // Intervals.
      {"(9:00,17:00", 1, "'(9:00,17:00' has no closing parenthesis"},
      {"1:00 + (9:00, 17:00 - 0:30", 8, "'(9:00, 17:00' has no closing parenthesis"},
      {"(9:00,17:00)x", 13, "'(9:00,17:00)x' goes on after its closing parenthesis"},
      {"(9:00)", 1, "'(9:00)' needs a start and an end, as (9:00,17:00)"},
      {"(9:00 17:00)", 1, "'(9:00 17:00)' needs a comma between its start and its end"},
      {"(9:00 17:00,18:00)", 2, "'9:00 17:00' is two clocks with only a blank between them"},
      {"((9:00,10:00))", 1, "'((9:00,10:00))' has a parenthesis inside it; write (start,end)"},
      {"Mon: (9:00,17:00)", 1, "'Mon:' is no clock, and a label cannot hold ':'; write 'Mon'"},
      {"Mon, 1:00", 1, "'Mon,' is no clock, and a label cannot hold ','; write 'Mon'"},
      {"Mon,Tue 1:00", 1, "'Mon,Tue' is no clock, and a label cannot hold ','; write 'Mon Tue'"},
      {"2026-12-09: 1:00", 1, "'2026-12-09:' is no clock, and a label cannot hold ':'"},
      {"Week 50: (9:00,17:00)", 1, "'Week 50:' is no clock, and a label cannot hold ':'"},
      {"50: (9:00,17:00)", 5, "'50:' and '(9:00,17:00)' need a + or - between them"},
      {"L28 (9:00-17:00)", 10, "'(9:00-17:00)' has '-' where its comma should be"},
      {"(9:00-17:00", 1, "'(9:00' has no closing parenthesis"},
      {"(9:00,10:00-(11:00)", 1, "'(9:00,10:00' has no closing parenthesis"},
      {"A 9: 30-0:30", 3, "'9: 30' has a blank inside a clock; write 9:30"},
      {"B 8 :00+1:00", 3, "'8 :00' has a blank inside a clock; write 8:00"},
      {"G 7:30 45-0:15", 8, "'7:30' and '45' need a + or - between them"},
      {",", 1, "',' is not a clock; write an interval in parentheses"},
      {"::", 1, "'::' has more than one colon"},
      {"9: 3\x1B[7mX", 1, "'9: 3\\x1B[7mX' has a blank inside a clock"},
      {"(9 00,17:00)", 2, "'9 00' has a blank inside a clock"},
      {"(9:00,-17:00)", 7, "'(9:00,-17:00)' has '-' inside it, where no clock takes a sign"},
      {"( -9:00,17:00)", 3, "'( -9:00,17:00)' has '-' inside it, where no clock takes a sign"},
      {"Week 50: 9:00", 1, "'Week 50:' is no clock, and a label cannot hold ':'"},
      {"Mon,Tue: 1:00", 1, "'Mon,Tue:' is no clock, and a label cannot hold ','; write 'Mon Tue'"},
      {"Mon 1:00 + 2: (3:00,4:00)", 15, "'2:' and '(3:00,4:00)' need a + or - between them"},
      {"1:00 + 9,", 8, "'9,' is not a clock; write an interval in parentheses"},
      {"Mon 9 :30", 5, "'9 :30' has a blank inside a clock; write 9:30"},
      {"9 : 30", 1, "'9 : 30' has a blank inside a clock; write 9:30"},
      {"9 :", 1, "'9 :' has a blank inside a clock; write 9:"},
      {"9 : x", 1, "'9 :' has a blank inside a clock; write 9:"},
      {"1:00 \xE2\x80\x90 0:30", 6, "'\xE2\x80\x90' (a hyphen) is not an operator; write -"},
      {"1:00 \xAD 0:30", 6, "the byte 0xAD (a soft hyphen in Windows-1252) is not an operator"},
      {"(1:00,2:00,3:00)", 1, "'(1:00,2:00,3:00)' has more than one comma; write (start,end)"},
      {"( ,17:00)", 1, "'( ,17:00)' has no start, as (9:00,17:00)"},
      {"(9:00,)", 1, "'(9:00,)' has no end, as (9:00,17:00)"},
      {"(9:00,(10:00)", 1, "'(9:00,(10:00)' has a parenthesis inside it; write (start,end)"},
      {"(9.30,17:00)", 1, "'9.30' is not a clock; write hours:minutes, as 9:30"},
      {"(9:00,1700)", 1, "'1700' is not a clock"},
      // Too large.
      {"99999999999:00", 1, "'99999999999:00' is more than 2147483647 minutes"},
      {"1:00 - 0:2147483648", 8, "'0:2147483648' is more than 2147483647 minutes"},
      {"(0:0,35791394:8)", 1, "'35791394:8' is more than 2147483647 minutes"},
      // Labels.
      {"9 10:00", 1,
       "the label '9' is digits alone, as a mistyped clock would be; add a word, as Day 9"},
      {"12 31 (8:00,9:00)", 1, "the label '12 31' is digits alone"},
      {"Mon", 1, "the label 'Mon' has no term after it"},
      {"Mon ..", 1, "the label 'Mon ..' has no term after it"},
      {"Caf\xC3\xA9", 1, "the label 'Caf\xC3\xA9' has no term after it"},
      {"Mon - 0:30", 5, "the label 'Mon' is followed by '-', not by a term"},
      {"Week 5a +1:00", 9, "the label 'Week 5a' is followed by '+', not by a term"},
      // Operators.
      {"1:00 -", 6, "'-' has no term after it on its line"},
      {" +", 2, "'+' has no term after it on its line"},
      {"1:00 - + 2:00", 8, "'-' and '+' need a term between them"},
      {"--1:00", 2, "'-' and '-' need a term between them"},
      // Look-alikes, named with what was meant.
      {"1:00 \xE2\x80\x93 0:30", 6, "'\xE2\x80\x93' (an en dash) is not an operator; write -"},
      {"1:00 \xE2\x80\x94", 6, "'\xE2\x80\x94' (an em dash) is not an operator; write -"},
      {"1:00 -\xE2\x88\x92 0:30", 7, "'\xE2\x88\x92' (a minus sign) is not an operator"},
      {"Mon \xEF\xBC\x8B 1:00", 5,
       "'\xEF\xBC\x8B' (a full-width plus sign) is not an operator; write +"},
      {"\xEF\xBC\x8D 1:00", 1,
       "'\xEF\xBC\x8D' (a full-width hyphen-minus) is not an operator; write -"},
      {"Mon 9\xEF\xBC\x9A"
       "30",
       6, "'\xEF\xBC\x9A' (a full-width colon) is not a colon; write :"},
      {"\xE2\x88\xB6"
       "30 - 0:30",
       1, "'\xE2\x88\xB6' (a ratio sign) is not a colon; write :"},
      {"\xEF\xBC\x88"
       "9:00,17:00)",
       1, "'\xEF\xBC\x88' (a full-width parenthesis) is not a parenthesis; write ("},
      {"(9:00,17:00\xEF\xBC\x89", 12,
       "'\xEF\xBC\x89' (a full-width parenthesis) is not a parenthesis; write )"},
      {"(9:00\xEF\xBC\x8C 17:00)", 6,
       "'\xEF\xBC\x8C' (a full-width comma) is not a comma; write ,"},
      {"1:00\xC2\xA0+ 0:30", 5,
       "'\xC2\xA0' (a non-breaking space) is not a blank; write a plain space"},
      {"1:00 \x96 0:30", 6,
       "the byte 0x96 (an en dash in Windows-1252) is not an operator; write -"},
      {"Tue \x97 1:00", 5,
       "the byte 0x97 (an em dash in Windows-1252) is not an operator; write -"},
      {"1:00\xA0+0:30", 5, "the byte 0xA0 (a non-breaking space in Windows-1252) is not a blank"},
      // Other characters that no term may hold, named so that a terminal shows them.
      {"1:00 \xC3\xA9", 6,
       "'\xC3\xA9' (U+00E9) cannot stand in a term; write terms in digits and : ( ) , + -"},
      {"1:00 - 0:3\xF0\x9F\x98\x80", 11, "'\xF0\x9F\x98\x80' (U+1F600) cannot stand in a term"},
      {"1:00 \xC2\x85", 6, "'\\xC2\\x85' (U+0085) cannot stand in a term"},
      {"1:00\x7F", 5, "the control character 0x7F cannot stand in a term"},
      {"1:\x1B[2J", 3, "the control character 0x1B cannot stand in a term"},
      {"1:00 + \xFF:00", 8, "the byte 0xFF cannot stand in a term"},
      // Bytes that a terminal might act on come out as \xNN, never as they are.
      {"Mon\x1B[2J", 1, "the label 'Mon\\x1B[2J' has no term after it"},
      {"Caf\xE9", 1, "the label 'Caf\\xE9' has no term after it"},
      {"Caf\xC2\x85\x01\xC3", 1, "the label 'Caf\\xC2\\x85\\x01\\xC3' has no term after it"},
  };
  for (const auto& c : cases) {
    SheetLine line;
    LineFault fault;
    EXPECT_FALSE(read_sheet_line(c.text, line, fault)) << c.text;
    EXPECT_EQ(fault.column, c.column) << c.text;
    EXPECT_NE(fault.message.find(c.message), std::string::npos) << c.text << "\n" << fault.message;
  }
}

TEST(SheetReader, CountsColumnsInCharacters)
{
  const struct {
    const char* text;
    std::size_t offset;
    std::size_t column;
  } cases[] = {
      {"abc", 0, 1},
      {"abc", 2, 3},
      {"\xC3\xA9\xE2\x80\x93\xF0\x9F\x98\x80x", 9, 4},  // two, three and four bytes
      {"\x96\xFF\xE9x", 3, 4},                          // Windows-1252: a byte each
      {"\xE2\x80x", 2, 3},                              // a character cut short
      {"x\xC3", 2, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(column_at(c.text, c.offset), c.column) << c.text;
}

}  // namespace
