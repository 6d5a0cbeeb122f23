// The About box TfrmVer, opened from the settings main window on the headless backend: its
// design, the ways it closes and where it stands.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/native/testing.h"
#include "settings/Untmain.h"
#include "tests/native/native_support.h"
#include "ui/headless/headless.h"

namespace {

using native_support::StoreSetting;
using native_support::TempFolder;
namespace headless = ui::headless;

class AboutBox : public native_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    StoreSetting("char0", 0);
    main = std::make_unique<TfrmMain>(data);
    main->Show();
  }
  void TearDown() override {
    main.reset();
    ProgramTest::TearDown();
  }
  // Opens the box from the menu and runs `script` while it is up.
  void OpenAbout(std::function<void(TfrmVer&)> script) {
    headless::OnModal<TfrmVer>(std::move(script));
    ASSERT_TRUE(headless::ChooseMenuItem(*main->mnuAbout));
    EXPECT_TRUE(headless::UnscriptedModals().empty());
  }

  std::unique_ptr<TfrmMain> main;
};

TEST_F(AboutBox, DesignAsTheTableHasIt) {
  OpenAbout([](TfrmVer& box) {
    EXPECT_EQ("バージョン情報", box.caption);
    EXPECT_EQ(ui::BorderStyle::Dialog, box.borderStyle);
    EXPECT_EQ(279, box.ClientWidth());
    EXPECT_EQ(93, box.ClientHeight());
    EXPECT_EQ(12, box.font.PixelHeight());

    EXPECT_EQ(ui::ShapeType::RoundRect, box.shpVer->shape);
    EXPECT_EQ(ui::kBlack, box.shpVer->brushColor);
    struct Place {
      const ui::Control* control;
      int left, top, width, height;
    };
    const Place places[] = {
        {box.shpVer, 4, 4, 269, 57},
        {box.imgLogo, 8, 12, 73, 33},
        {box.btnOk, 104, 68, 80, 21},
    };
    for (const Place& p : places) {
      SCOPED_TRACE(p.control->Name());
      EXPECT_EQ(p.left, p.control->Left());
      EXPECT_EQ(p.top, p.control->Top());
      EXPECT_EQ(p.width, p.control->Width());
      EXPECT_EQ(p.height, p.control->Height());
    }
    EXPECT_EQ(73, box.imgLogo->Picture().width);
    EXPECT_EQ(33, box.imgLogo->Picture().height);

    struct Text {
      const ui::Label* label;
      int left, top;
      const char* caption;
      ui::Color color;
    };
    const Text texts[] = {
        {box.lblTitle, 84, 20, "Marivel2起動カウンターKORVEN", ui::kWhite},
        {box.lblName, 140, 32, "Version 1.03", ui::Rgb(0, 255, 255)},
    };
    for (const Text& t : texts) {
      SCOPED_TRACE(t.caption);
      EXPECT_EQ(t.caption, t.label->Caption());
      EXPECT_EQ(t.left, t.label->Left());
      EXPECT_EQ(t.top, t.label->Top());
      EXPECT_TRUE(t.label->GetFont().bold);
      EXPECT_EQ(t.color, t.label->GetFont().color);
      EXPECT_EQ(12, t.label->GetFont().PixelHeight());
      // Opaque on black, or transparent over the black field: black behind the text either way.
      EXPECT_TRUE(t.label->transparent || t.label->background == ui::kBlack);
    }

    EXPECT_EQ("OK", box.btnOk->Caption());
    EXPECT_TRUE(box.btnOk->isCancel);
    EXPECT_EQ(0, box.btnOk->tabOrder);
    EXPECT_EQ(box.btnOk, headless::Focused(box));
    headless::Click(*box.btnOk);
  });
}

TEST_F(AboutBox, OkEscAndTheCloseBoxCloseItAndTheOwnerTakesInputAgain) {
  const char* const ways[] = {"OK", "Esc", "close box"};
  for (const char* way : ways) {
    SCOPED_TRACE(way);
    bool ownerWasDisabled = false;
    OpenAbout([&](TfrmVer& box) {
      ownerWasDisabled = !headless::FormEnabled(*main);
      if (std::string(way) == "OK")
        EXPECT_TRUE(headless::Click(*box.btnOk));
      else if (std::string(way) == "Esc")
        EXPECT_TRUE(headless::PressKey(box, headless::Key::Escape));
      else
        box.Close();
      EXPECT_TRUE(box.Closed());
    });
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(headless::FormEnabled(*main));
    EXPECT_FALSE(main->Closed());
  }
}

TEST_F(AboutBox, StandsCentredOverTheSettingsWindow) {
  main->SetPlace(100, 50);
  OpenAbout([&](TfrmVer& box) {
    EXPECT_EQ(main.get(), box.ownerForm);
    EXPECT_EQ(100 + (main->OuterWidth() - box.OuterWidth()) / 2, box.Left());
    EXPECT_EQ(50 + (main->OuterHeight() - box.OuterHeight()) / 2, box.Top());
    box.Close();
  });
}

}  // namespace
