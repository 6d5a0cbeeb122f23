// The icon in a form's caption: the application's, or the form's own.
// The backend's own header first: it takes back the macros <windows.h> makes of the layer's
// names (DrawText, MessageBox).
#include "ui/win32/common.h"

#include <gtest/gtest.h>

namespace {

// The icon the system shows for the window: its own, else its class's.
HICON ShownIcon(HWND hwnd, WPARAM size) {
  if (auto own = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, size, 0))) return own;
  return reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, size == ICON_BIG ? GCLP_HICON : GCLP_HICONSM));
}

TEST(FormIconWine, AFormShowsTheApplicationsIconUnlessItHasItsOwn) {
  ui::Application& app = ui::Application::Instance();
  app.SetIcon("MAINICON");
  ui::Form plain, own;
  plain.caption = "M2K icon test";
  own.caption = "M2K own icon test";
  own.iconResource = "SETTINGSICON";
  for (ui::Form* form : {&plain, &own}) {
    form->SetClientSize(160, 40);
    form->Show();
  }
  const HICON appIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  const HICON ownIcon = LoadIconA(GetModuleHandleA(nullptr), "SETTINGSICON");
  ASSERT_NE(nullptr, appIcon);
  ASSERT_NE(nullptr, ownIcon);
  for (WPARAM size : {ICON_BIG, ICON_SMALL}) {
    SCOPED_TRACE(size == ICON_BIG ? "big" : "small");
    EXPECT_EQ(appIcon, ShownIcon(ui::win32::WindowOf(plain)->hwnd, size));
    EXPECT_EQ(ownIcon, ShownIcon(ui::win32::WindowOf(own)->hwnd, size));
  }
  plain.Hide();
  own.Hide();
}

}  // namespace
