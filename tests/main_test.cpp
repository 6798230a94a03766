// The program run in-process, where even an argument count of 0 can be given to it.
#include "shiftsum/main.h"

#include <string>

#include <gtest/gtest.h>

#include "usage_text.h"

namespace {

TEST(Main, NoArgumentsAtAllPrintUsage)
{
  const char* const no_name[] = {nullptr};
  const char* const name_only[] = {"shiftsum", nullptr};
  const struct {
    int argc;
    const char* const* argv;
  } cases[] = {{0, no_name}, {1, name_only}};
  for (const auto& c : cases) {
    testing::internal::CaptureStdout();
    int status = run_shiftsum(c.argc, c.argv);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kUsage) << "argc " << c.argc;
    EXPECT_EQ(status, 0) << "argc " << c.argc;
  }
}

}  // namespace
