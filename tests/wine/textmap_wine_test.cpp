// The Win32 text mapping, run under Wine, must still give the bytes recorded for each case.
#include <gtest/gtest.h>

#include "platform/textmap.h"
#include "tests/common/textmap_cases.h"

namespace {

class Win32TextMapTest : public ::testing::TestWithParam<TextMapCase> {};

TEST_P(Win32TextMapTest, MatchesRecordedWineResult) {
  const TextMapCase& mapCase = GetParam();
  const std::string input(mapCase.input, static_cast<size_t>(mapCase.inputLength));
  const std::string expected(mapCase.expected, static_cast<size_t>(mapCase.expectedLength));
  const std::string mapped = platform::MapText(input, mapCase.mapping);
  EXPECT_EQ(TextMapHex(mapped), TextMapHex(expected))
      << TextMappingName(mapCase.mapping) << " of " << TextMapHex(input);
}

INSTANTIATE_TEST_SUITE_P(WineResults, Win32TextMapTest, ::testing::ValuesIn(kTextMapCases),
                         [](const auto& row) { return TextMapCaseName(row.param, row.index); });

}  // namespace
