// Shift-JIS paths compared as the file system compares names.
#include <gtest/gtest.h>

#include "platform/sjis.h"

namespace {

TEST(SjisPaths, SamePathIgnoringCaseFoldsOnlySingleByteLetters) {
  struct Case {
    const char *a, *b;
    bool same;
  } const cases[] = {
      {"C:\\Users\\Ann\\Startup\\x.lnk", "c:\\users\\ANN\\startup\\X.LNK", true},
      {"C:\\Users\\Ann", "C:/Users/Ann", true},                 // either separator
      {"C:\\\x83\x5C\x95\x5C\\a", "c:\\\x83\x5C\x95\x5C\\A", true},  // ソ表, trail bytes 0x5C
      {"C:\\\x83\x5C", "C:\\\x83/", false},                     // a trail 0x5C is no separator
      {"C:\\\x82\x61", "C:\\\x82\x41", false},                  // nor is a trail 0x61 a letter
      {"C:\\\xB1", "C:\\\xB2", false},                          // half-width katakana as they are
      {"C:\\Ann", "C:\\Anna", false},
      {"", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(c.same, platform::SamePathIgnoringCase(c.a, c.b));
    EXPECT_EQ(c.same, platform::SamePathIgnoringCase(c.b, c.a));
  }
}

}  // namespace
