// The native text mapping must give the bytes Wine's LCMapStringA gave for each case.
#include <gtest/gtest.h>

#include "platform/textmap.h"
#include "tests/common/textmap_cases.h"

namespace {

class NativeTextMapTest : public ::testing::TestWithParam<TextMapCase> {};

TEST_P(NativeTextMapTest, MatchesWine) {
  const TextMapCase& mapCase = GetParam();
  const std::string input(mapCase.input, static_cast<size_t>(mapCase.inputLength));
  const std::string expected(mapCase.expected, static_cast<size_t>(mapCase.expectedLength));
  const std::string mapped = platform::MapText(input, mapCase.mapping);
  EXPECT_EQ(TextMapHex(mapped), TextMapHex(expected))
      << TextMappingName(mapCase.mapping) << " of " << TextMapHex(input);
}

INSTANTIATE_TEST_SUITE_P(WineResults, NativeTextMapTest, ::testing::ValuesIn(kTextMapCases),
                         [](const auto& row) { return TextMapCaseName(row.param, row.index); });

}  // namespace
