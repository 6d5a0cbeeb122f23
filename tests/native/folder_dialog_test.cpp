// The game folder dialog TfrmDir on the headless backend, over drives of the native platform
// that stand for temporary folders: where the list opens, browsing by double click and Enter,
// the drive box, the automatic search, what OK stores, and that the current folder stays.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "platform/files.h"
#include "platform/native/testing.h"
#include "platform/registry.h"
#include "settings/Untdir.h"
#include "settings/Untinit.h"
#include "settings/folder_path.h"
#include "tests/native/native_support.h"
#include "ui/headless/headless.h"

namespace {

namespace headless = ui::headless;
namespace fs = std::filesystem;
using native_support::MakeFile;
using native_support::TempFolder;
using platform::DriveType;

class Opener : public ui::Form {
 public:
  Opener() {
    caption = "opener";
    SetClientSize(340, 541);
  }
};

// Drive C: a work folder (the current folder) and a game under names whose second bytes are
// backslash codes; drive D: a game at its root; drive E: no medium.
class FolderDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    native_support::ResetMachine();
    ASSERT_TRUE(c.Made() && d.Made() && e.Made());
    platform::testing::SetDrive('C', DriveType::Fixed, c.Posix());
    platform::testing::SetDrive('D', DriveType::CdRom, d.Posix());
    platform::testing::SetDrive('e', DriveType::Removable, e.Posix(), false);
    for (const char* folder : {"work", "Games/表示テスト/ソフト", "Games/能力", "Games/ソ", "Games/abc", "Games/Zeta"})
      fs::create_directories(c.Child(folder));
    MakeFile(c.Child("Games/表示テスト/ソフト/Marivel2.exe"));
    MakeFile(c.Child("Games/ソ/Marivel2.exe"));
    MakeFile(c.Child("Games/readme.txt"));  // files are not listed
    MakeFile(d.Child("Marivel2.exe"));
    fs::current_path(c.Child("work"));
    data.LoadSettings();
    opener.Show();
  }
  void TearDown() override { native_support::ResetMachine(); }

  int Run(std::function<void(TfrmDir&)> user) {
    headless::OnModal<TfrmDir>(std::move(user));
    TfrmDir dialog(opener, data, data.counterSettings.dirwave);
    ui::PlaceDialog(opener, dialog);
    return dialog.ShowModal();
  }

  static int RowOf(const TfrmDir& dialog, const std::string& text) {
    const auto& items = dialog.dlbDir->Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == text) return static_cast<int>(i);
    ADD_FAILURE() << "no row " << text;
    return -1;
  }

  native_support::CurrentFolderGuard guard;
  TempFolder c, d, e;
  TfrmData data;
  Opener opener;
};

using Rows = std::vector<std::string>;

TEST_F(FolderDialog, TheDesign) {
  TfrmDir dialog(opener, data, data.counterSettings.dirwave);
  EXPECT_EQ("ゲームフォルダの指定", dialog.caption);
  EXPECT_EQ(ui::BorderStyle::Dialog, dialog.borderStyle);
  EXPECT_EQ(240, dialog.ClientWidth());
  EXPECT_EQ(208, dialog.ClientHeight());
  EXPECT_EQ("ＭＳ Ｐゴシック", dialog.font.name);
  struct Place {
    const ui::Control* control;
    int left, top, width, height;
  } places[] = {
      {dialog.bevDir, 4, 4, 233, 169},   {dialog.dcbDir, 8, 20, 121, 18},   {dialog.dlbDir, 8, 56, 225, 113},
      {dialog.btnOk, 80, 180, 75, 25},   {dialog.btnCancel, 160, 180, 75, 25}, {dialog.bbtReg, 136, 16, 95, 25},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.control->Name());
    EXPECT_EQ(p.left, p.control->Left());
    EXPECT_EQ(p.top, p.control->Top());
    EXPECT_EQ(p.width, p.control->Width());
    EXPECT_EQ(p.height, p.control->Height());
  }
  EXPECT_EQ(8, dialog.lblDrive->Left());
  EXPECT_EQ(8, dialog.lblDrive->Top());
  EXPECT_EQ("ドライブ(&V)", dialog.lblDrive->Caption());
  EXPECT_EQ(dialog.dcbDir, dialog.lblDrive->focusControl);
  EXPECT_EQ(44, dialog.lblDir->Top());
  EXPECT_EQ("フォルダ(&D)", dialog.lblDir->Caption());
  EXPECT_EQ(dialog.dlbDir, dialog.lblDir->focusControl);
  EXPECT_EQ("ゲームがインストールされているドライブ", dialog.dcbDir->hint);
  EXPECT_EQ("ゲームがインストールされているフォルダ", dialog.dlbDir->hint);
  EXPECT_EQ("レジストリから取得", dialog.bbtReg->hint);
  EXPECT_EQ("自動検索(&R)", dialog.bbtReg->Caption());
  EXPECT_EQ(16, dialog.bbtReg->glyph.width);
  EXPECT_EQ(16, dialog.dlbDir->itemHeight);
  EXPECT_FALSE(dialog.btnOk->isDefault);
  EXPECT_TRUE(dialog.btnCancel->isCancel);
  EXPECT_LT(dialog.dcbDir->tabOrder, dialog.dlbDir->tabOrder);
  EXPECT_LT(dialog.dlbDir->tabOrder, dialog.btnOk->tabOrder);
  EXPECT_LT(dialog.btnOk->tabOrder, dialog.btnCancel->tabOrder);
  EXPECT_LT(dialog.btnCancel->tabOrder, dialog.bbtReg->tabOrder);
}

TEST_F(FolderDialog, OpensOnTheGameFolderWithTheFoldersAboveAndInsideIt) {
  data.counterSettings.dirwave = "C:\\Games";
  Run([](TfrmDir& dialog) {
    EXPECT_EQ("C:\\Games", dialog.ListFolder());
    EXPECT_EQ((Rows{"C:\\", "Games", "abc", "Zeta", "ソ", "能力", "表示テスト"}), dialog.dlbDir->Items());
    const int depths[] = {0, 1, 2, 2, 2, 2, 2};
    const bool open[] = {true, true, false, false, false, false, false};
    for (int row = 0; row < 7; ++row) {
      EXPECT_EQ(depths[row], dialog.RowDepth(row)) << row;
      EXPECT_EQ(open[row], dialog.RowOpen(row)) << row;
    }
    EXPECT_EQ(1, dialog.dlbDir->ItemIndex());
    EXPECT_EQ((Rows{"C:", "D:", "E:"}), dialog.dcbDir->Items());
    EXPECT_EQ(0, dialog.dcbDir->ItemIndex());
  });
}

TEST_F(FolderDialog, WhereTheListOpens) {
  struct Case {
    const char* what;
    std::string dirwave;
    std::string listFolder;
  } cases[] = {
      {"as the registry gives it, with a trailing backslash", "C:\\Games\\表示テスト\\", "C:\\Games\\表示テスト"},
      {"a name ending in a 0x5C trail byte", "C:\\Games\\ソ", "C:\\Games\\ソ"},
      {"the same with a backslash after it", "C:\\Games\\ソ\\", "C:\\Games\\ソ"},
      {"a root stored as D:", "D:", "D:\\"},
      {"a lower-case drive letter", "c:\\Games", "C:\\Games"},
      {"a folder that is gone: the nearest one above it", "C:\\Games\\表示テスト\\gone\\deeper", "C:\\Games\\表示テスト"},
      {"no game folder: the current folder", "", "C:\\work"},
      {"a drive without a medium: the current folder", "E:\\Game", "C:\\work"},
      {"a drive that is not there: the current folder", "Q:\\Game", "C:\\work"},
      {"a relative folder: the current folder", "Games\\表示テスト", "C:\\work"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    data.counterSettings.dirwave = c.dirwave;
    std::string shown;
    Run([&](TfrmDir& dialog) {
      shown = dialog.ListFolder();
      const std::vector<std::string> chain = folder_path::Chain(c.listFolder);
      EXPECT_EQ(static_cast<int>(chain.size()) - 1, dialog.dlbDir->ItemIndex());
      EXPECT_EQ(chain.back(), dialog.dlbDir->Items()[dialog.dlbDir->ItemIndex()]);
    });
    EXPECT_EQ(c.listFolder, shown);
    EXPECT_EQ(c.dirwave, data.counterSettings.dirwave);  // opening and leaving stores nothing
  }
}

TEST_F(FolderDialog, DoubleClickAndEnterMoveIntoAFolderAndEnterNeverPressesOk) {
  data.counterSettings.dirwave = "C:\\Games";
  const int result = Run([](TfrmDir& dialog) {
    ASSERT_TRUE(headless::ActivateItem(*dialog.dlbDir, RowOf(dialog, "表示テスト")));
    EXPECT_EQ("C:\\Games\\表示テスト", dialog.ListFolder());
    EXPECT_EQ((Rows{"C:\\", "Games", "表示テスト", "ソフト"}), dialog.dlbDir->Items());
    EXPECT_EQ(2, dialog.dlbDir->ItemIndex());
    // A single click only selects; Enter on the selected row opens it.
    headless::ChooseItem(*dialog.dlbDir, 3);
    EXPECT_EQ("C:\\Games\\表示テスト", dialog.ListFolder());
    EXPECT_TRUE(headless::PressKey(dialog, headless::Key::Enter));
    EXPECT_EQ("C:\\Games\\表示テスト\\ソフト", dialog.ListFolder());
    EXPECT_EQ((Rows{"C:\\", "Games", "表示テスト", "ソフト"}), dialog.dlbDir->Items());
    EXPECT_TRUE(dialog.RowOpen(3));
    EXPECT_EQ(ui::mrNone, dialog.modalResult);
    EXPECT_TRUE(headless::ShownMessages().empty());
    // Up again through the chain: the root.
    headless::ActivateItem(*dialog.dlbDir, 0);
    EXPECT_EQ("C:\\", dialog.ListFolder());
    EXPECT_EQ((Rows{"C:\\", "Games", "work"}), dialog.dlbDir->Items());
    headless::PressKey(dialog, headless::Key::Escape);
  });
  EXPECT_EQ(ui::mrCancel, result);
  EXPECT_EQ("C:\\Games", data.counterSettings.dirwave);
}

TEST_F(FolderDialog, OkStoresTheListsFolderWithoutItsTrailingBackslash) {
  struct Case {
    const char* what;
    std::string start;
    ui::MessageResult answer;
    bool asked;
    std::string stored;  // "" : nothing stored, the dialog stays open
  } cases[] = {
      {"the root of D holds the game", "D:\\", ui::MessageResult::No, false, "D:"},
      {"a game folder under Shift-JIS names", "C:\\Games\\表示テスト\\ソフト", ui::MessageResult::No, false,
       "C:\\Games\\表示テスト\\ソフト"},
      {"a folder named with a 0x5C trail byte", "C:\\Games\\ソ", ui::MessageResult::No, false, "C:\\Games\\ソ"},
      {"no game here, No", "C:\\Games", ui::MessageResult::No, true, ""},
      {"no game here, Yes", "C:\\Games", ui::MessageResult::Yes, true, "C:\\Games"},
      {"the root of C without a game, Yes", "C:\\", ui::MessageResult::Yes, true, "C:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    native_support::ResetMachine();
    platform::testing::SetDrive('C', DriveType::Fixed, this->c.Posix());
    platform::testing::SetDrive('D', DriveType::CdRom, d.Posix());
    opener.Show();
    data.counterSettings.dirwave = c.start;
    headless::ScriptAnswer(c.answer);
    bool keptOpen = false;
    const int result = Run([&](TfrmDir& dialog) {
      headless::Click(*dialog.btnOk);
      keptOpen = dialog.modalResult == ui::mrNone;
      if (keptOpen) headless::Click(*dialog.btnCancel);
    });
    EXPECT_EQ(c.stored.empty(), keptOpen);
    EXPECT_EQ(c.stored.empty() ? ui::mrCancel : ui::mrOk, result);
    EXPECT_EQ(c.stored.empty() ? c.start : c.stored, data.counterSettings.dirwave);
    ASSERT_EQ(c.asked ? 1u : 0u, headless::ShownMessages().size());
    if (c.asked) {
      const headless::ShownMessage& m = headless::ShownMessages()[0];
      EXPECT_EQ("ゲームフォルダの指定", m.caption);
      EXPECT_EQ(ui::MessageIcon::Warning, m.icon);
      EXPECT_EQ(ui::MessageButtons::YesNo, m.buttons);
      EXPECT_EQ("指定したフォルダは、『Marivel2 KORVEN』が\nインストールされているフォルダとして認識できませんでした。\n"
                "フォルダの中にファイル Marivel2.exe が必要です。\n本当にこのフォルダでよろしいですか？",
                m.text);
    }
  }
}

TEST_F(FolderDialog, ADriveWithoutAMediumLeavesTheDriveBoxAndTheListWhereTheyWere) {
  data.counterSettings.dirwave = "C:\\Games\\表示テスト";
  Run([](TfrmDir& dialog) {
    const Rows before = dialog.dlbDir->Items();
    ASSERT_TRUE(headless::ChooseItem(*dialog.dcbDir, 2));  // E:
    EXPECT_EQ(0, dialog.dcbDir->ItemIndex());
    EXPECT_EQ(before, dialog.dlbDir->Items());
    EXPECT_EQ("C:\\Games\\表示テスト", dialog.ListFolder());
    EXPECT_TRUE(headless::ShownMessages().empty());
    headless::ChooseItem(*dialog.dcbDir, 1);  // D: moves to its root
    EXPECT_EQ("D:\\", dialog.ListFolder());
    EXPECT_EQ(1, dialog.dcbDir->ItemIndex());
    EXPECT_EQ((Rows{"D:\\"}), dialog.dlbDir->Items());
    headless::Click(*dialog.btnOk);
  });
  EXPECT_EQ("D:", data.counterSettings.dirwave);
}

TEST_F(FolderDialog, AutomaticSearchMovesTheListAndStoresNothingItself) {
  {
    platform::RegistryKey game(kGameKey, true);
    game.WriteText("InstallDir", "C:\\Games\\表示テスト\\ソフト\\");  // as the installer stores it
  }
  data.counterSettings.dirwave = "D:";
  Run([this](TfrmDir& dialog) {
    ASSERT_EQ(1, dialog.dcbDir->ItemIndex());
    headless::Click(*dialog.bbtReg);
    EXPECT_EQ("C:\\Games\\表示テスト\\ソフト", dialog.ListFolder());
    EXPECT_EQ(0, dialog.dcbDir->ItemIndex());
    EXPECT_EQ("D:", data.counterSettings.dirwave);
    headless::Click(*dialog.btnCancel);
  });
  EXPECT_EQ("D:", data.counterSettings.dirwave);

  Run([](TfrmDir& dialog) {
    EXPECT_TRUE(headless::PressAlt(dialog, 'R'));
    headless::Click(*dialog.btnOk);
  });
  // As the list shows it: without the registry's trailing backslash, the same game files.
  EXPECT_EQ("C:\\Games\\表示テスト\\ソフト", data.counterSettings.dirwave);
  EXPECT_TRUE(headless::ShownMessages().empty());
}

TEST_F(FolderDialog, AFailedSearchSaysSoAndTheListStays) {
  data.counterSettings.dirwave = "C:\\Games";
  Run([](TfrmDir& dialog) {
    headless::Click(*dialog.bbtReg);
    EXPECT_EQ("C:\\Games", dialog.ListFolder());
    headless::Click(*dialog.btnCancel);
  });
  ASSERT_EQ(1u, headless::ShownMessages().size());
  const headless::ShownMessage& m = headless::ShownMessages()[0];
  EXPECT_EQ("ゲームフォルダの指定", m.caption);
  EXPECT_EQ(ui::MessageIcon::Warning, m.icon);
  EXPECT_EQ(ui::MessageButtons::Ok, m.buttons);
  EXPECT_EQ("『Marivel2 KORVEN』の自動検索に失敗しました。\nゲームが正しくインストールされてない可能性があります。", m.text);
}

TEST_F(FolderDialog, FoldersThatCannotBeListedOrAreHiddenShowNoRows) {
  platform::testing::DenyListing("C:\\Games\\表示テスト");
  ASSERT_TRUE(platform::SetHidden("C:\\Games\\abc", true));
  data.counterSettings.dirwave = "C:\\Games";
  Run([](TfrmDir& dialog) {
    EXPECT_EQ((Rows{"C:\\", "Games", "Zeta", "ソ", "能力", "表示テスト"}), dialog.dlbDir->Items());
    headless::ActivateItem(*dialog.dlbDir, RowOf(dialog, "表示テスト"));
    EXPECT_EQ("C:\\Games\\表示テスト", dialog.ListFolder());
    EXPECT_EQ((Rows{"C:\\", "Games", "表示テスト"}), dialog.dlbDir->Items());
    headless::Click(*dialog.btnCancel);
  });
}

TEST_F(FolderDialog, BrowsingNeverMovesTheCurrentFolder) {
  {
    platform::RegistryKey game(kGameKey, true);
    game.WriteText("InstallDir", "C:\\Games\\ソ\\");
  }
  const std::string before = platform::CurrentFolder();
  const fs::path posixBefore = fs::current_path();
  ASSERT_EQ("C:\\work", before);
  data.counterSettings.dirwave = "C:\\Games";
  Run([](TfrmDir& dialog) {
    headless::ActivateItem(*dialog.dlbDir, RowOf(dialog, "表示テスト"));
    headless::ActivateItem(*dialog.dlbDir, RowOf(dialog, "ソフト"));
    headless::ChooseItem(*dialog.dcbDir, 1);
    headless::ChooseItem(*dialog.dcbDir, 2);
    headless::Click(*dialog.bbtReg);
    headless::Click(*dialog.btnOk);
  });
  EXPECT_EQ("C:\\Games\\ソ", data.counterSettings.dirwave);
  EXPECT_EQ(before, platform::CurrentFolder());
  EXPECT_EQ(posixBefore, fs::current_path());
}

// ---- drawing the rows ----

class RecordingCanvas : public ui::Canvas {
 public:
  struct Picture {
    int left, top;
    const ui::Bitmap* bitmap;
  };
  std::vector<Picture> pictures;
  std::vector<std::string> texts;
  std::vector<int> textLefts;
  void DrawBitmap(int left, int top, const ui::Bitmap& picture) override { pictures.push_back({left, top, &picture}); }
  void DrawText(int left, int, const std::string& text, const ui::Font&, bool) override {
    texts.push_back(text);
    textLefts.push_back(left);
  }
  void FillRect(int, int, int, int, ui::Color) override {}
  void Ellipse(int, int, int, int, ui::Color, ui::Color) override {}
  void RoundRect(int, int, int, int, int, ui::Color, ui::Color) override {}
  void Frame3D(int, int, int, int, bool) override {}
};

bool SamePixels(const ui::Bitmap& a, const ui::Bitmap& b) {
  return a.width == b.width && a.height == b.height &&
         std::equal(a.Pixels(), a.Pixels() + size_t(a.width) * a.height, b.Pixels());
}

TEST_F(FolderDialog, RowsAreIndentedByDepthWithOpenAndClosedFolders) {
  data.counterSettings.dirwave = "C:\\Games\\表示テスト";
  const ui::Bitmap open = ui::LoadPictureResource("FOLDER_OPEN");
  const ui::Bitmap closed = ui::LoadPictureResource("FOLDER_CLOSED");
  ASSERT_FALSE(SamePixels(open, closed));
  Run([&](TfrmDir& dialog) {
    ASSERT_EQ(4u, dialog.dlbDir->Items().size());
    int previousLeft = -1;
    for (int row = 0; row < 4; ++row) {
      SCOPED_TRACE(row);
      RecordingCanvas canvas;
      dialog.dlbDir->onDrawItem(canvas, ui::ItemDraw{row, 0, 0, 225, 16, row == 2});
      ASSERT_EQ(1u, canvas.pictures.size());
      EXPECT_TRUE(SamePixels(row < 3 ? open : closed, *canvas.pictures[0].bitmap));
      EXPECT_GT(canvas.pictures[0].left, previousLeft);  // each row one level deeper
      previousLeft = canvas.pictures[0].left;
      ASSERT_EQ(1u, canvas.texts.size());
      EXPECT_EQ(dialog.dlbDir->Items()[row], canvas.texts[0]);
      EXPECT_GE(canvas.textLefts[0], canvas.pictures[0].left + 16);
    }
  });
}

TEST_F(FolderDialog, DrivesShowTheIconOfTheirType) {
  platform::testing::SetDrive('F', DriveType::Remote, c.Posix());
  Run([](TfrmDir& dialog) {
    const char* icons[] = {"DRIVE_FIXED", "DRIVE_CDROM", "DRIVE_REMOVABLE", "DRIVE_REMOTE"};
    ASSERT_EQ((Rows{"C:", "D:", "E:", "F:"}), dialog.dcbDir->Items());
    for (int row = 0; row < 4; ++row) {
      SCOPED_TRACE(icons[row]);
      RecordingCanvas canvas;
      dialog.dcbDir->onDrawItem(canvas, ui::ItemDraw{row, 0, 0, 121, 16, false});
      ASSERT_EQ(1u, canvas.pictures.size());
      EXPECT_TRUE(SamePixels(ui::LoadPictureResource(icons[row]), *canvas.pictures[0].bitmap));
      EXPECT_EQ(dialog.dcbDir->Items()[row], canvas.texts.at(0));
    }
    RecordingCanvas empty;
    dialog.dcbDir->onDrawItem(empty, ui::ItemDraw{-1, 0, 0, 121, 16, false});
    EXPECT_TRUE(empty.pictures.empty() && empty.texts.empty());
  });
}

// ---- opened from the detailed settings ----

TEST_F(FolderDialog, OpensOverTheDetailedSettingsAndAnAcceptedFolderOutlivesTheirCancel) {
  data.counterSettings.dirwave = "C:\\Games";
  ui::Placement expected;
  headless::OnModal<TfrmInit>([&](TfrmInit& init) {
    headless::OnModal<TfrmDir>([&](TfrmDir& dialog) {
      EXPECT_EQ(&init, dialog.ownerForm);
      EXPECT_FALSE(headless::FormEnabled(init));
      expected = ui::DialogPlacement(init.Left(), init.Top(), init.OuterWidth(), init.OuterHeight(),
                                     dialog.OuterWidth(), dialog.OuterHeight(), 1024, 768);
      EXPECT_EQ(expected.left, dialog.Left());
      EXPECT_EQ(expected.top, dialog.Top());
      headless::ActivateItem(*dialog.dlbDir, RowOf(dialog, "ソ"));
      headless::Click(*dialog.btnOk);
    });
    ASSERT_TRUE(headless::Click(*init.bbtDir));
    EXPECT_EQ("C:\\Games\\ソ", init.edtDir->Text());
    headless::Click(*init.bbtCancel);
  });
  TfrmInit init(opener, data);
  EXPECT_EQ(ui::mrCancel, init.ShowModal());
  EXPECT_EQ("C:\\Games\\ソ", data.counterSettings.dirwave);
  EXPECT_TRUE(headless::UnscriptedModals().empty());
}

}  // namespace
