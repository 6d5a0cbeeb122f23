// The Windows test runner: unit tests against the real Win32 platform code and integration
// tests that start M2KCOUNT.EXE, all run under Wine.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
