// The application object: an exception from an event handler is shown and the loop goes on;
// one that leaves the loop still has the main form destroyed before it travels on.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "tests/native/native_support.h"
#include "ui/headless/headless.h"
#include "ui/ui.h"

namespace {

// A hidden main form whose timer fails on its first tick and closes the form on its second.
class FailingOnce : public ui::Form {
 public:
  explicit FailingOnce(int& ticks) {
    Build({{.kind = ui::Kind::Timer, .name = "timTick", .enabled = true, .interval = 100}});
    Find<ui::Timer>("timTick")->onTimer = [this, &ticks] {
      if (++ticks == 1) throw std::runtime_error("tick failed");
      Close();
    };
  }
};

// Records its own destruction.
class Watched : public ui::Form {
 public:
  explicit Watched(bool& destroyed) : destroyed_(destroyed) {}
  ~Watched() override { destroyed_ = true; }

 private:
  bool& destroyed_;
};

class ApplicationLoop : public ::testing::Test {
 protected:
  void SetUp() override { native_support::ResetMachine(); }
  void TearDown() override { native_support::ResetMachine(); }
  ui::Application& app = ui::Application::Instance();
};

TEST_F(ApplicationLoop, AnExceptionInAnEventHandlerIsShownAndTheLoopGoesOn) {
  app.title = "M2K";
  app.showMainForm = false;
  int ticks = 0;
  app.SetMainForm(std::make_unique<FailingOnce>(ticks));
  EXPECT_NO_THROW(app.Run());
  EXPECT_EQ(2, ticks);
  ASSERT_EQ(1u, ui::headless::ShownExceptions().size());
  EXPECT_EQ("M2K", ui::headless::ShownExceptions()[0].title);
  EXPECT_EQ("tick failed", ui::headless::ShownExceptions()[0].message);
}

TEST_F(ApplicationLoop, AnExceptionLeavingTheLoopDestroysTheMainFormFirst) {
  bool destroyed = false;
  auto form = std::make_unique<Watched>(destroyed);
  form->onShow = [] { throw std::runtime_error("show failed"); };
  app.SetMainForm(std::move(form));
  EXPECT_THROW(app.Run(), std::runtime_error);
  EXPECT_TRUE(destroyed) << "the form's cleanup waits for the end of the process";
  EXPECT_EQ(nullptr, app.MainForm());
}

}  // namespace
