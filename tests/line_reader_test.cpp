#include "shiftsheet/line_reader.h"

#include <string>

#include <gtest/gtest.h>

#include "shiftsheet/utf8.h"

namespace {

// The terms of a line, as "+492@0 -30@15": operator, minutes and offset of each.
std::string terms_of(const SheetLine& line)
{
  std::string terms;
  for (const SheetTerm& term : line.terms) {
    if (!terms.empty())
      terms += ' ';
    terms += term.op + std::to_string(term.minutes) + "@" + std::to_string(term.offset);
  }
  return terms;
}

TEST(LineReader, ReadsKindsLabelsTagsAndTerms)
{
  const auto blank = LineKind::kBlank;
  const auto entry = LineKind::kEntry;
  const auto more = LineKind::kContinuation;
  const struct {
    const char* text;
    LineKind kind;
    const char* label;
    const char* terms;
    const char* tag;
  } cases[] = {
      {" \t # (9:00 x", blank, "", "", ""},
      {"(9:23,17:35) - 0:30     # Monday, less lunch", entry, "", "+492@0 -30@15", ""},
      {"\t- 1:00-2:00+:30", more, "", "-60@3 -120@8 +30@13", ""},
      {"Caf\xE9 na\xEFve 1:00", entry, "Caf\xE9 na\xEFve", "+60@11", ""},
      {": + 5: + :7 + 0:90", entry, "", "+0@0 +300@4 +7@9 +90@14", ""},
      {"( 9:00 , 17:00 )-\t(8:00 ,9:00)", entry, "", "+480@0 -60@18", ""},
      {"(0:0,0:2147483647)", entry, "", "+2147483647@0", ""},
      // Dashes between clocks: intervals where a term begins an entry or stands beside one.
      {"Wed 9:00 - 13:00", entry, "Wed", "+240@4", ""},
      {"2026-12-07 09:00-17:30 - 0:30 - 0:15 # bob@x.com, @ @acme, site", entry, "2026-12-07",
       "+510@11 -30@25 -15@32", "@acme"},
      {"Mo 9:30-12:00 13:00 - 18:00", entry, "Mo", "+150@3 +300@14", ""},
      {"@client2 Mon 9:00\xE2\x80\x93"
       "17:00",
       entry, "@client2 Mon", "+480@13", "@client2"},
      {"+ 9:00-12:00 + 13:00-17:00", more, "", "+180@2 +240@15", ""},
      {"- 0:30-0:15", more, "", "-30@2 -15@7", ""},
      {"9:00-12:00, (13:00,17:00),17:00-17:30", entry, "", "+180@0 +240@12 +30@26", ""},
      // Clocks of 12 hours, durations with units.
      {"8:30am-12:00pm, 1:00 PM-6:00Pm", entry, "", "+210@0 +300@16", ""},
      {"12am-8 am 9pm-11:59pm", entry, "", "+480@0 +179@10", ""},
      {"Tue 7.5h + 7,1h + 7.25h + 0.75h + 7.50h", entry, "Tue",
       "+450@4 +426@11 +435@18 +45@26 +450@34", ""},
      {"8h - 30m + 7h30 + 1h30m + 90m", entry, "", "+480@0 -30@5 +450@11 +90@18 +90@26", ""},
      {"Week 50 8h", entry, "Week 50", "+480@8", ""},
      {"2026-12-7 1:00", entry, "2026-12-7", "+60@10", ""},
  };
  for (const auto& c : cases) {
    SheetLine line;
    LineFault fault;
    EXPECT_TRUE(parse_line(c.text, false, line, fault)) << c.text << ": " << describe_fault(fault);
    EXPECT_EQ(line.kind, c.kind) << c.text;
    EXPECT_EQ(line.label, c.label) << c.text;
    EXPECT_EQ(terms_of(line), c.terms) << c.text;
    EXPECT_EQ(line.tag, c.tag) << c.text;
  }
}

TEST(LineReader, ReadsNightsOnlyWhenAskedAndOnlyFromAfternoonToMorning)
{
  const struct {
    const char* text;
    const char* terms;  // empty where the line does not read
  } cases[] = {
      {"22:00-06:30", "+510@0"}, {"(19:00,7:30)", "+750@0"}, {"10pm-6am", "+480@0"},
      {"18:00-08:00", "+840@0"}, {"12:00-4:00", ""},  // or 16:00, the afternoon {"8:30-4:45", ""},
                                                      // {"11:59-1:00", ""},
  };
  for (const auto& c : cases) {
    SheetLine line;
    LineFault fault;
    EXPECT_FALSE(parse_line(c.text, false, line, fault)) << c.text;
    EXPECT_EQ(parse_line(c.text, true, line, fault), *c.terms != '\0') << c.text;
    if (*c.terms != '\0') {
      EXPECT_EQ(terms_of(line), c.terms) << c.text;
    }
  }
}

TEST(LineReader, SaysWhereAndWhyALineDoesNotReadWithEachReading)
{
  const struct {
    const char* text;
    std::size_t column;
    const char* message;  // the whole message, or a part that tells it from the others
  } cases[] = {
      // Intervals that end before or where they start.
      {"22:00 - 06:30", 1, "write 22:00-30:30, or give --overnight"},
      {"Thu 8:30-4:45", 5, "for an end at 4:45 pm, write 8:30-16:45"},
      {"Sat (19:00,7:30)", 5, "write (19:00,31:30), or give --overnight"},
      {"8:00 - 0:30", 1, "for 8:00 less a break of 0:30, write 7:30, or - 0:30 on the next line"},
      {"7:00-7:00", 1,
       "ends where it starts: for no time, leave it out; for 24 hours, write 7:00-31:00"},
      // Texts that could be meant two ways name both.
      {"x 1:00\t+ 0:15 - 0:30", 10,
       "for the time from 0:15 to 0:30, write 0:15-0:30; to subtract 0:30"},
      {"8:00-16:30, 12:00-12:30 # lunch", 13,
       "overlap: to subtract the second, write 8:00-16:30 - (12:00,12:30)"},
      {"1:30-5pm", 1, "has am or pm at one end only: write '1:30am' or '1:30pm'"},
      {"Fri 4.25", 5, "as decimal hours, write 4:15; as hours and minutes, write 4:25"},
      {"Mon 7,5", 5, "write 7:30; as hours and minutes, write 7:05"},
      {"4,75", 1, "'4,75' is no time: as decimal hours, write 4:45; or # before the line"},
      {"Thu 9.30 - 0:30", 5, "'9.30' could be read two ways"},
      {"7:30 45", 6, "after '7:30', '45' has no unit: write 45h for hours, or 45m for minutes"},
      {"Mon 9-5", 5, "write 9:00-17:00 (5:00 pm); for 9:00 less 5:00, write 4:00"},
      {"10am-2", 1,
       "from 10:00 to 2:00, write 10:00-14:00 (2:00 pm); for 10:00 less 2:00, write 8:00"},
      {"9:00-17 - 0:30", 1, "from 9:00 to 17:00, write 9:00-17:00"},
      {"8.30-16.45", 1, "'8.30-16.45' is no interval: write hours:minutes, as 8:30-16:45"},
      {"2200-0630", 1, "write hours:minutes, as 22:00-06:30"},
      {"22:00 to 06:30", 7, "for the time from 22:00 to 06:30, write 22:00-06:30"},
      {"22h-6h30", 1, "write 22:00-30:30 (the next day); for 22:00 less 6:30, write 15:30"},
      {"Tue 5:30pm", 5, "'5:30pm' is a time of day: for the hours worked, write an interval"},
      {"11am-12am", 1, "for an end at noon, write 12pm; for an end the next day"},
      {"7.30h", 1, "as decimal hours it is 7:18, and as hours and minutes it is 7:30 (write 7h30)"},
      {"7.33h", 1, "it is not a whole number of minutes"},
      {"13:00pm", 1, "only hours 1 to 12 take"},
      {"0:30am", 1, "only hours 1 to 12 take"},
      {"99999999999h", 1, "'99999999999h' is more than 2147483647 minutes"},
      {"(99999999999:00,1:00)", 2, "is more than 2147483647 minutes"},
      {"1:00 + lunch", 8, "'lunch' after '+' may hold a time"},
      {"9:00-17:00 30 min", 12,
       "'30 min' after '9:00-17:00' may hold a time: write it as a term, as + 30m"},
      {"Mon 8h viertel Stunde", 8, "as + 15m"},
      {"01.12.2026 8:00-17:75", 17, "'17:75' is no time of day: write hours, a colon and"},
      {"8:00-16:", 6, "'16:' is no time of day"},
      {"9999999999m", 1, "'9999999999m' is more than 2147483647 minutes"},
      {"8:75-17:00", 1, "'8:75' is no time of day"},
      {"Mo 6,5 Std", 4, "as 6.5h"},
      {"Mon 7.5 hours 30m", 5, "'Mon 7.5 hours 30m' may hold a time: write it as a term, and"},
      {"7h75", 1, "'7h75' has more than 59 minutes after its hours"},
      {"1:00 - 45", 8, "'45' has no unit: write 45h for hours, or 45m for minutes"},
      {"930", 1, "'930' is no clock: write hours:minutes, as 9:30"},
      {"2026-1", 1, "'2026-1' may hold a time"},  // a date cut short, at the end of the line
      {"7.125h", 1, "it is not a whole number of minutes, and as hours and minutes it is no time"},
      // Marks where no term or operator may stand.
      {")", 1, "')' stands where a term should"},
      {"7:30, 8h", 5, "',' after '7:30' is no operator"},
      {"9:00)", 5, "')' after '9:00' has no '(' before it"},
      {"()", 1, "'()' needs a start and an end"},
      // Words after the time: a note, or a time in words.
      {"2026-12-07 09:00-11:30 Acme website redesign \t", 24,
       "'Acme website redesign' after '09:00-11:30' is no term: put # before a note, as # Acme"},
      {"Mon 8h Pause 45 min", 8, "may hold a time: write it as a term, as - 45m, and put #"},
      {"Mo 8 Stunden", 4, "'Mo 8 Stunden' may hold a time: write it as a term, as 8h, and"},
      {"Pause 45 min", 7, "as - 45m on a line of its own after the hours it is taken from"},
      {"Mon 7 hours 30m", 5, "'Mon 7 hours 30m' may hold a time: write it as a term, as 7h30m"},
      {"Mon 8hrs 30m", 5, "as 8h30m"},
      {"Di 7 Std 15 Min", 4, "as 7h15m"},
      {"Mon 2 x 4h", 5, "'Mon 2 x 4h' may hold a time: write it as a term, and put #"},
      {"Thu 12-8 1h", 5, "write 12:00-20:00 (8:00 pm)"},
      {"Mon 9-5:30", 5, "write 9:00-17:30 (5:30 pm); for 9:00 less 5:30, write 3:30"},
      {"9:00-17:00 30 min", 12, "as + 30m, or - 30m if it is taken off"},
      {"Fr 1:00 halber Tag", 9, "may hold a time: write it as a term, and put #"},
      {"9:00-17:00 (30 min lunch)", 12, "'(30 min lunch)' may hold a time"},
      {"9:00-17:00 halbe Stunde Pause", 12, "as - 30m"},
      // Only intervals stand side by side; an en dash stands only between clocks.
      {"9:00-17:00 8h", 12, "'9:00-17:00' and '8h' need + or - between them"},
      {"Mon 9:00 (1:00,2:00)", 10, "'9:00' and '(1:00,2:00)' need + or - between them"},
      {"1:00 \xE2\x80\x93 1h", 6, "'\xE2\x80\x93' (an en dash) is not an operator; write -"},
      // Intervals in parentheses.
      {"(9:00\t17:00)", 1, "'(9:00\t17:00)' needs a comma between its start and its end"},
      {"(9:00 17:00)", 1, "needs a comma between its start and its end"},
      {"L28 (9:00-17:00)", 5, "has '-' where its comma should be"},
      {"(9:00,17:00", 1, "'(9:00,17:00' has no closing parenthesis"},
      {"(9:00,-17:00)", 1, "needs a clock after its comma"},
      // Labels, operators, and characters that look like marks.
      {"Week 50: 9:00", 1, "'Week 50:' is no clock, and a label cannot hold ':'; write 'Week 50'"},
      {"Mon, 1:00", 1, "'Mon,' is no clock, and a label cannot hold ','; write 'Mon'"},
      {"9: 30", 1, "'9: 30' has a blank inside a clock; write 9:30"},
      {"9 :30", 1, "'9 :30' has a blank inside a clock; write 9:30"},
      {"12 31 (8:00,9:00)", 1, "the label '12 31' is digits alone"},
      {"Mon", 1, "the label 'Mon' has no term after it; put # before a heading"},
      {"Mon - 0:30", 5, "the label 'Mon' is followed by '-', not by a term"},
      {"1:00 -", 6, "'-' has no term after it on its line"},
      {"--1:00", 2, "'-' and '-' need a term between them"},
      {"1:00\xC2\xA0+ 0:30", 5, "(a non-breaking space) is not a blank; write a plain space"},
      {"Tue \x97 1:00", 5, "the byte 0x97 (an em dash in Windows-1252) is not an operator"},
      {"Mon\x1B[2J 1:00", 4, "the control character 0x1B cannot stand in a line"},
      {"99999999999:00", 1, "'99999999999:00' is more than 2147483647 minutes"},
      {"(0:0,35791394:8)", 6, "is more than 2147483647 minutes"},
      {"Caf\xC2\x85 x", 1, "the label 'Caf\\xC2\\x85 x' has no term after it"},
  };
  for (const auto& c : cases) {
    SheetLine line;
    LineFault fault;
    EXPECT_FALSE(parse_line(c.text, false, line, fault)) << c.text;
    std::string message = describe_fault(fault);
    EXPECT_EQ(column_at(c.text, fault.offset), c.column) << c.text << "\n" << message;
    EXPECT_NE(message.find(c.message), std::string::npos) << c.text << "\n" << message;
  }
}

TEST(LineReader, CountsColumnsInCharacters)
{
  const struct {
    const char* text;
    std::size_t offset;
    std::size_t column;
  } cases[] = {
      {"abc", 2, 3},
      {"\xC3\xA9\xE2\x80\x93\xF0\x9F\x98\x80x", 9, 4},  // two, three and four bytes
      {"\x96\xFF\xE9x", 3, 4},                          // Windows-1252: a byte each
      {"\xE2\x80x", 2, 3},                              // a character cut short
  };
  for (const auto& c : cases)
    EXPECT_EQ(column_at(c.text, c.offset), c.column) << c.text;
}

}  // namespace
