// The Windows test runner: unit tests against the real Win32 platform code and integration
// tests that start M2KCOUNT.EXE, all run under Wine.
#include <gtest/gtest.h>

#include <memory>

#include "tests/wine/user_state.h"

namespace {

// Every test finds the user's registry keys, sound scheme and the runner's folder as the
// previous one found them, and leaves them so, whether it passes or an assertion ends it early.
class KeepUserState : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override { guard_ = std::make_unique<wine_test::UserStateGuard>(); }
  void OnTestEnd(const testing::TestInfo&) override { guard_.reset(); }

 private:
  std::unique_ptr<wine_test::UserStateGuard> guard_;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new KeepUserState);
  return RUN_ALL_TESTS();
}
