// The Startup registration of the settings main window on the headless backend: the two
// Startup folders come from the fake shell, the shortcut library DIDAZURA.DLL is one of the
// stand-ins of tests/fixtures/didazura copied into the program's folder (or none at all), and
// the user's answers are scripted.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/native/testing.h"
#include "settings/Untmain.h"
#include "tests/native/native_support.h"
#include "ui/headless/headless.h"

namespace {

using native_support::CurrentFolderGuard;
using native_support::MakeFile;
using native_support::StoreSetting;
using native_support::TempFolder;
using platform::FolderLookup;
using ui::MessageButtons;
using ui::MessageIcon;
using ui::MessageResult;
namespace headless = ui::headless;

const char kKey[] = "\\Software\\Zorve\\M2K-COUNTER";
const char kCaption[] = "Marivel2起動カウンターKORVENの設定";
const char kLinkName[] = "ミルテカ起動カウンター＋(プラス).lnk";
const char kQuestionTail[] = "スタートアップへ登録を行います。\nよろしいですか？\n※統合環境利用時は登録しないで下さい";
const char kUserQuestionPrefix[] = "現ユーザーの";
const char kCommonQuestionPrefix[] = "全てのユーザーの";
const char kAlready[] = "すでにスタートアップ登録済みです。";
const char kRemoveQuestion[] = "スタートアップの登録を取り消します。\nよろしいですか？";
const char kNothingRegistered[] = "スタートアップには登録されておりません。";

enum Scope { kUser = 0, kCommon = 1 };

class StartupRegistration : public native_support::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // The user's folder has a double-byte name whose second byte is a backslash (表, 0x95 0x5C).
    folder[kUser] = work.Posix() + "\\スタートアップ表";
    folder[kCommon] = work.Posix() + "\\Common Startup";
    for (const std::string& f : folder) ASSERT_TRUE(platform::MakeFolder(f));
    SetFolders(FolderLookup::Found, FolderLookup::Found);
    StoreSetting("char0", 0);  // not the first setup
    game.emplace();
    MakeFile(game->Child("grp.pak"));
    StoreSetting("dirwave", game->Windows());  // OK finds the game
  }

  void SetFolders(FolderLookup user, FolderLookup common) {
    platform::testing::SetSpecialFolder(platform::ShellFolder::Startup, user, folder[kUser]);
    platform::testing::SetSpecialFolder(platform::ShellFolder::CommonStartup, common, folder[kCommon]);
  }
  std::string Link(Scope scope) const { return folder[scope] + "\\" + kLinkName; }
  bool Registered(Scope scope) const { return platform::FileExists(Link(scope)); }
  void PlaceShortcut(Scope scope) { ASSERT_TRUE(platform::WriteWholeFile(Link(scope), "earlier shortcut")); }
  void InstallLibrary(const char* fixture) {
    std::filesystem::copy_file(fixture, work.Child("DIDAZURA.DLL"),
                               std::filesystem::copy_options::overwrite_existing);
  }
  std::unique_ptr<TfrmMain> Open() {
    auto form = std::make_unique<TfrmMain>(data);
    form->Show();
    return form;
  }
  static const headless::ShownMessage& OnlyMessage() {
    const auto& shown = headless::ShownMessages();
    EXPECT_EQ(1u, shown.size());
    static const headless::ShownMessage none{"", "(no message)", MessageIcon::Information, MessageButtons::Ok};
    return shown.empty() ? none : shown.back();
  }
  static bool Saved() { return platform::RegistryKey(kKey, false).ValueExists("char1"); }

  std::optional<TempFolder> game;
  std::string folder[2];
};

// ---- registering ----

TEST_F(StartupRegistration, YesMakesTheShortcutTicksItAndDeletesTheOtherScopes) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  struct Case {
    const char* what;
    Scope scope, other;
    const char* prefix;
  };
  const Case cases[] = {
      {"current user while all users is registered", kUser, kCommon, kUserQuestionPrefix},
      {"all users while the current user is registered", kCommon, kUser, kCommonQuestionPrefix},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    headless::Reset();
    platform::RemoveFile(Link(c.scope));
    PlaceShortcut(c.other);
    auto form = Open();
    ui::MenuItem* item[2] = {form->mnuStartupUser, form->mnuStartupComm};
    ASSERT_TRUE(item[c.other]->Checked());
    headless::ScriptAnswer(MessageResult::Yes);
    ASSERT_TRUE(headless::ChooseMenuItem(*item[c.scope]));

    const headless::ShownMessage& question = OnlyMessage();
    EXPECT_EQ(std::string(c.prefix) + kQuestionTail, question.text);
    EXPECT_EQ(kCaption, question.caption);
    EXPECT_EQ(MessageIcon::Warning, question.icon);
    EXPECT_EQ(MessageButtons::YesNo, question.buttons);
    ASSERT_TRUE(Registered(c.scope));
    EXPECT_FALSE(Registered(c.other));
    EXPECT_TRUE(item[c.scope]->Checked());
    EXPECT_FALSE(item[c.other]->Checked());
    // The stand-in library writes what it was asked for: the program itself, with the switch.
    std::string shortcut;
    ASSERT_TRUE(platform::ReadWholeFile(Link(c.scope), shortcut));
    EXPECT_EQ(work.Windows() + "M2KCOUNT.EXE\n/C\n", shortcut);
  }
}

TEST_F(StartupRegistration, NoChangesNothing) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  PlaceShortcut(kCommon);
  auto form = Open();
  headless::ScriptAnswer(MessageResult::No);
  headless::ChooseMenuItem(*form->mnuStartupUser);
  EXPECT_EQ(MessageButtons::YesNo, OnlyMessage().buttons);
  EXPECT_FALSE(Registered(kUser));
  EXPECT_TRUE(Registered(kCommon));
  EXPECT_FALSE(form->mnuStartupUser->Checked());
  EXPECT_TRUE(form->mnuStartupComm->Checked());
}

TEST_F(StartupRegistration, ARegisteredScopeIsNotRegisteredAgain) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  for (bool otherToo : {false, true}) {
    SCOPED_TRACE(otherToo ? "both registered" : "this scope only");
    headless::Reset();
    PlaceShortcut(kUser);
    if (otherToo) PlaceShortcut(kCommon);
    auto form = Open();
    headless::ChooseMenuItem(*form->mnuStartupUser);
    const headless::ShownMessage& shown = OnlyMessage();
    EXPECT_EQ(kAlready, shown.text);
    EXPECT_EQ(MessageIcon::Warning, shown.icon);
    EXPECT_EQ(MessageButtons::Ok, shown.buttons);
    std::string content;
    platform::ReadWholeFile(Link(kUser), content);
    EXPECT_EQ("earlier shortcut", content);
    EXPECT_EQ(otherToo, Registered(kCommon));
    EXPECT_TRUE(form->mnuStartupUser->Checked());
    EXPECT_EQ(otherToo, form->mnuStartupComm->Checked());
  }
}

// A shortcut that is not on disk after the library's call is no registration: no tick, the
// other scope's working shortcut stays, and an error box says why.
TEST_F(StartupRegistration, AShortcutThatWasNotMadeIsReportedNotTicked) {
  struct Case {
    const char* what;
    const char* library;  // null: none in the program's folder
    const char* reasonPart;
  };
  const Case cases[] = {
      {"no library", nullptr, "DIDAZURA.DLL"},
      {"a library without CreateShortcut", M2K_FAKE_DIDAZURA_NO_ENTRY, "DIDAZURA.DLL"},
      {"the library wrote nothing", M2K_FAKE_DIDAZURA_SILENT, "ショートカットを作成できませんでした"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    headless::Reset();
    std::filesystem::remove(work.Child("DIDAZURA.DLL"));
    if (c.library) InstallLibrary(c.library);
    PlaceShortcut(kCommon);
    auto form = Open();
    headless::ScriptAnswer(MessageResult::Yes);
    headless::ChooseMenuItem(*form->mnuStartupUser);

    const auto& shown = headless::ShownMessages();
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(kCaption, shown[1].caption);
    EXPECT_EQ(MessageIcon::Error, shown[1].icon);
    EXPECT_EQ(MessageButtons::Ok, shown[1].buttons);
    EXPECT_NE(std::string::npos, shown[1].text.find("スタートアップへ登録できませんでした。")) << shown[1].text;
    EXPECT_NE(std::string::npos, shown[1].text.find(c.reasonPart)) << shown[1].text;
    EXPECT_FALSE(Registered(kUser));
    EXPECT_FALSE(form->mnuStartupUser->Checked());
    EXPECT_TRUE(Registered(kCommon));
    EXPECT_TRUE(form->mnuStartupComm->Checked());
  }
}

TEST_F(StartupRegistration, TheLibraryIsLookedForOnlyWhenAShortcutIsAskedFor) {
  // The program opens, shows everything and saves without the library.
  auto form = Open();
  headless::AdvanceTime(1000);
  headless::ScriptAnswer(MessageResult::Yes);
  headless::ChooseMenuItem(*form->mnuStartupUser);
  ASSERT_EQ(2u, headless::ShownMessages().size());
  EXPECT_FALSE(Registered(kUser));
  // Put in place afterwards, it is found at the next attempt.
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  headless::ScriptAnswer(MessageResult::Yes);
  headless::ChooseMenuItem(*form->mnuStartupUser);
  EXPECT_EQ(3u, headless::ShownMessages().size());
  EXPECT_TRUE(Registered(kUser));
  EXPECT_TRUE(form->mnuStartupUser->Checked());
}

TEST_F(StartupRegistration, AnOtherScopesShortcutThatCannotBeDeletedStaysTicked) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  PlaceShortcut(kCommon);
  platform::testing::DenyRemoving(Link(kCommon));
  auto form = Open();
  headless::ScriptAnswer(MessageResult::Yes);
  headless::ChooseMenuItem(*form->mnuStartupUser);
  EXPECT_TRUE(Registered(kUser));
  EXPECT_TRUE(Registered(kCommon));
  EXPECT_TRUE(form->mnuStartupUser->Checked());
  EXPECT_TRUE(form->mnuStartupComm->Checked());
  ASSERT_EQ(2u, headless::ShownMessages().size());
  EXPECT_EQ(MessageIcon::Error, headless::ShownMessages()[1].icon);
  EXPECT_NE(std::string::npos, headless::ShownMessages()[1].text.find("取り消せませんでした"));
}

TEST_F(StartupRegistration, UnavailableFoldersAreNeverOffered) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  // A folder whose path has a character Shift-JIS lacks is as out of reach as none.
  for (const FolderLookup missing : {FolderLookup::NoFolder, FolderLookup::NotShiftJis}) {
    SetFolders(missing, FolderLookup::Found);
    auto form = Open();
    EXPECT_FALSE(form->mnuStartupUser->Enabled());
    EXPECT_FALSE(headless::ChooseMenuItem(*form->mnuStartupUser));
    EXPECT_TRUE(headless::ShownMessages().empty());
  }
  SetFolders(FolderLookup::NoFolder, FolderLookup::NoPath);
  auto form = Open();
  // The shell knows the all-users folder but not where it is: nothing to ask about.
  EXPECT_TRUE(form->mnuStartupComm->Enabled());
  headless::ScriptAnswer(MessageResult::Yes);
  headless::ChooseMenuItem(*form->mnuStartupComm);
  const headless::ShownMessage& shown = OnlyMessage();
  EXPECT_EQ(MessageIcon::Error, shown.icon);
  EXPECT_EQ(MessageButtons::Ok, shown.buttons);
  EXPECT_FALSE(form->mnuStartupComm->Checked());
}

// The shortcut would name the program by a path with "?" in it: refused before any question.
TEST_F(StartupRegistration, AProgramFolderShiftJisCannotNameIsReportedNotRegistered) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  auto form = Open();
  platform::testing::SetProgramFolder("");
  headless::ChooseMenuItem(*form->mnuStartupUser);
  const headless::ShownMessage& shown = OnlyMessage();
  EXPECT_EQ(MessageIcon::Error, shown.icon);
  EXPECT_EQ(MessageButtons::Ok, shown.buttons);
  EXPECT_NE(std::string::npos, shown.text.find("スタートアップへ登録できませんでした。")) << shown.text;
  EXPECT_NE(std::string::npos, shown.text.find("Shift-JIS")) << shown.text;
  EXPECT_FALSE(Registered(kUser));
  EXPECT_FALSE(form->mnuStartupUser->Checked());
}

// Redirected folders: the current user's and all users' Startup folders are one. The shortcut
// made for one scope is the other's too: it is neither deleted as the other scope's at once
// nor by the consolidation at OK.
TEST_F(StartupRegistration, BothScopesInOneFolderKeepTheirOneShortcut) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  platform::testing::SetSpecialFolder(platform::ShellFolder::CommonStartup, FolderLookup::Found, folder[kUser]);
  auto form = Open();
  headless::ScriptAnswer(MessageResult::Yes);
  headless::ChooseMenuItem(*form->mnuStartupUser);
  EXPECT_EQ(1u, headless::ShownMessages().size()) << "only the question";
  EXPECT_TRUE(Registered(kUser));
  EXPECT_TRUE(form->mnuStartupUser->Checked());
  EXPECT_TRUE(form->mnuStartupComm->Checked()) << "the one shortcut is all users' too";
  headless::Click(*form->btnOk);
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(Registered(kUser)) << "the consolidation deleted the only shortcut";
}

// ---- removing ----

TEST_F(StartupRegistration, NoToTheRemovalKeepsEverything) {
  PlaceShortcut(kUser);
  PlaceShortcut(kCommon);
  auto form = Open();
  headless::ScriptAnswer(MessageResult::No);
  headless::ChooseMenuItem(*form->mnuStartupDel);
  EXPECT_EQ(kRemoveQuestion, OnlyMessage().text);
  EXPECT_TRUE(Registered(kUser));
  EXPECT_TRUE(Registered(kCommon));
  EXPECT_TRUE(form->mnuStartupUser->Checked());
  EXPECT_TRUE(form->mnuStartupComm->Checked());
}

TEST_F(StartupRegistration, OneYesRemovesWhateverIsRegistered) {
  struct Case {
    const char* what;
    bool user, common;
  };
  const Case cases[] = {{"both", true, true}, {"the current user's only", true, false}, {"all users' only", false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    headless::Reset();
    if (c.user) PlaceShortcut(kUser);
    if (c.common) PlaceShortcut(kCommon);
    auto form = Open();
    headless::ScriptAnswer(MessageResult::Yes);
    headless::ChooseMenuItem(*form->mnuStartupDel);
    const headless::ShownMessage& question = OnlyMessage();
    EXPECT_EQ(kRemoveQuestion, question.text);
    EXPECT_EQ(MessageIcon::Warning, question.icon);
    EXPECT_EQ(MessageButtons::YesNo, question.buttons);
    EXPECT_FALSE(Registered(kUser));
    EXPECT_FALSE(Registered(kCommon));
    EXPECT_FALSE(form->mnuStartupUser->Checked());
    EXPECT_FALSE(form->mnuStartupComm->Checked());
  }
}

TEST_F(StartupRegistration, RemovalWithNothingRegisteredSaysSo) {
  struct Case {
    const char* what;
    FolderLookup common;
    bool commonShortcut;
  };
  const Case cases[] = {
      {"no shortcut anywhere", FolderLookup::Found, false},
      // A shortcut in a folder the shell does not name is not the program's registration.
      {"all users' folder unknown", FolderLookup::NoFolder, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    headless::Reset();
    platform::RemoveFile(Link(kCommon));
    if (c.commonShortcut) PlaceShortcut(kCommon);
    SetFolders(FolderLookup::Found, c.common);
    auto form = Open();
    headless::ChooseMenuItem(*form->mnuStartupDel);
    const headless::ShownMessage& shown = OnlyMessage();
    EXPECT_EQ(kNothingRegistered, shown.text);
    EXPECT_EQ(MessageIcon::Warning, shown.icon);
    EXPECT_EQ(MessageButtons::Ok, shown.buttons);
  }
}

TEST_F(StartupRegistration, AShortcutThatCannotBeRemovedKeepsItsTickAndIsReported) {
  PlaceShortcut(kUser);
  PlaceShortcut(kCommon);
  platform::testing::DenyRemoving(Link(kCommon));
  auto form = Open();
  headless::ScriptAnswer(MessageResult::Yes);
  headless::ChooseMenuItem(*form->mnuStartupDel);
  EXPECT_FALSE(Registered(kUser));
  EXPECT_FALSE(form->mnuStartupUser->Checked());
  EXPECT_TRUE(form->mnuStartupComm->Checked());
  ASSERT_EQ(2u, headless::ShownMessages().size());
  EXPECT_EQ(MessageIcon::Error, headless::ShownMessages()[1].icon);
}

// ---- OK: the first setup and the consolidation ----

struct FirstSetupCase {
  const char* what;
  FolderLookup user, common;
  bool userShortcut, commonShortcut;
  const char* askedPrefix;  // null: nothing asked
};

TEST_F(StartupRegistration, FirstSetupOffersTheRegistrationOnlyWithoutAShortcut) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  const FirstSetupCase cases[] = {
      {"no shortcut, current user's folder known", FolderLookup::Found, FolderLookup::Found, false, false,
       kUserQuestionPrefix},
      {"current user's shortcut present", FolderLookup::Found, FolderLookup::Found, true, false, nullptr},
      {"all users' shortcut present", FolderLookup::Found, FolderLookup::Found, false, true, nullptr},
      {"no current user's folder", FolderLookup::NoFolder, FolderLookup::Found, false, false, kCommonQuestionPrefix},
      {"current user's folder without a path", FolderLookup::NoPath, FolderLookup::Found, false, false,
       kCommonQuestionPrefix},
      {"neither folder", FolderLookup::NoFolder, FolderLookup::NoFolder, false, false, nullptr},
      {"neither folder has a path", FolderLookup::NoPath, FolderLookup::NoPath, false, false, nullptr},
  };
  for (const FirstSetupCase& c : cases) {
    SCOPED_TRACE(c.what);
    headless::Reset();
    ui::Application::Instance().Reset();
    platform::DeleteRegistryTree(kKey);
    StoreSetting("dirwave", game->Windows());  // the game, but no saved settings yet
    for (Scope s : {kUser, kCommon}) platform::RemoveFile(Link(s));
    if (c.userShortcut) PlaceShortcut(kUser);
    if (c.commonShortcut) PlaceShortcut(kCommon);
    SetFolders(c.user, c.common);
    auto form = Open();
    ASSERT_FALSE(form->btnCancel->Enabled());
    headless::ScriptAnswer(MessageResult::No);
    ASSERT_TRUE(headless::Click(*form->btnOk));

    const auto& shown = headless::ShownMessages();
    if (c.askedPrefix) {
      ASSERT_EQ(1u, shown.size());
      EXPECT_EQ(std::string(c.askedPrefix) + kQuestionTail, shown[0].text);
    } else {
      EXPECT_TRUE(shown.empty()) << shown[0].text;
    }
    EXPECT_TRUE(form->Closed());  // No still saves and closes
    EXPECT_TRUE(Saved());
    EXPECT_EQ(c.userShortcut, Registered(kUser));
    EXPECT_EQ(c.commonShortcut, Registered(kCommon));
  }
}

TEST_F(StartupRegistration, FirstSetupYesRegistersAndSaves) {
  InstallLibrary(M2K_FAKE_DIDAZURA_WRITES);
  platform::DeleteRegistryTree(kKey);
  StoreSetting("dirwave", game->Windows());
  auto form = Open();
  headless::ScriptAnswer(MessageResult::Yes);
  headless::Click(*form->btnOk);
  EXPECT_TRUE(Registered(kUser));
  EXPECT_FALSE(Registered(kCommon));
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(Saved());
}

TEST_F(StartupRegistration, FirstSetupGoesOnWhenTheShortcutCannotBeMade) {
  platform::DeleteRegistryTree(kKey);
  StoreSetting("dirwave", game->Windows());
  auto form = Open();
  headless::ScriptAnswer(MessageResult::Yes);
  headless::Click(*form->btnOk);
  ASSERT_EQ(2u, headless::ShownMessages().size());
  EXPECT_EQ(MessageIcon::Error, headless::ShownMessages()[1].icon);
  EXPECT_FALSE(Registered(kUser));
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(Saved());
}

TEST_F(StartupRegistration, LaterOpeningsAskNothingAtOk) {
  auto form = Open();
  headless::Click(*form->btnOk);
  EXPECT_TRUE(headless::ShownMessages().empty());
  EXPECT_TRUE(form->Closed());
  EXPECT_FALSE(Registered(kUser));
}

TEST_F(StartupRegistration, OkKeepsOneShortcutTheCurrentUsersFirst) {
  struct Case {
    const char* what;
    FolderLookup user;
    bool userShortcut, commonShortcut;
    bool userAfter, commonAfter;
  };
  const Case cases[] = {
      {"both present", FolderLookup::Found, true, true, true, false},
      {"all users' only", FolderLookup::Found, false, true, false, true},
      {"current user's only", FolderLookup::Found, true, false, true, false},
      // The current user's folder is one the shell no longer names: its file is not looked at.
      {"both present, current user's folder unknown", FolderLookup::NoFolder, true, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui::Application::Instance().Reset();
    for (Scope s : {kUser, kCommon}) platform::RemoveFile(Link(s));
    if (c.userShortcut) PlaceShortcut(kUser);
    if (c.commonShortcut) PlaceShortcut(kCommon);
    SetFolders(c.user, FolderLookup::Found);
    auto form = Open();
    headless::Click(*form->btnOk);
    EXPECT_TRUE(form->Closed());
    EXPECT_EQ(c.userAfter, Registered(kUser));
    EXPECT_EQ(c.commonAfter, Registered(kCommon));
  }
}

TEST_F(StartupRegistration, CancelLeavesBothShortcuts) {
  PlaceShortcut(kUser);
  PlaceShortcut(kCommon);
  auto form = Open();
  headless::Click(*form->btnCancel);
  EXPECT_TRUE(Registered(kUser));
  EXPECT_TRUE(Registered(kCommon));
}

}  // namespace
