#include "settings/Untdir.h"

#include <algorithm>
#include <cctype>

#include "data/Untdata.h"
#include "platform/files.h"
#include "settings/folder_path.h"

const char* const kDirCaption = "ゲームフォルダの指定";

namespace {

const char kSearchFailed[] =
    "『Marivel2 KORVEN』の自動検索に失敗しました。\n"
    "ゲームが正しくインストールされてない可能性があります。";
const char kNotTheGameFolder[] =
    "指定したフォルダは、『Marivel2 KORVEN』が\n"
    "インストールされているフォルダとして認識できませんでした。\n"
    "フォルダの中にファイル Marivel2.exe が必要です。\n"
    "本当にこのフォルダでよろしいですか？";

constexpr int kIndent = 10;  // per level of the folder list
constexpr int kGlyph = 16;
constexpr ui::Color kSelectedFace = ui::Rgb(0, 120, 215);

const char* DriveIcon(platform::DriveType type) {
  switch (type) {
    case platform::DriveType::Removable: return "DRIVE_REMOVABLE";
    case platform::DriveType::CdRom: return "DRIVE_CDROM";
    case platform::DriveType::Remote: return "DRIVE_REMOTE";
    case platform::DriveType::RamDisk: return "DRIVE_RAMDISK";
    case platform::DriveType::Fixed:
    case platform::DriveType::Unknown: break;
  }
  return "DRIVE_FIXED";
}

// Folder names in the order a reader expects: letters without regard to case.
bool NameBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

// A row: its glyph after the indentation, its text beside it, white on blue when selected.
void DrawRow(ui::Canvas& canvas, const ui::ItemDraw& item, int indent, const ui::Bitmap& glyph,
             const std::string& text, ui::Font font) {
  canvas.FillRect(item.left, item.top, item.width, item.height, item.selected ? kSelectedFace : ui::kWhite);
  const int x = item.left + 2 + indent;
  canvas.DrawBitmap(x, item.top + (item.height - kGlyph) / 2, glyph);
  font.color = item.selected ? ui::kWhite : ui::kBlack;
  canvas.DrawText(x + kGlyph + 4, item.top + (item.height - font.PixelHeight()) / 2, text, font);
}

}  // namespace

TfrmDir::TfrmDir(ui::Form& owner, TfrmData& data, std::string& gameFolder) : frmData(data), gameFolder_(gameFolder) {
  ownerForm = &owner;
  caption = kDirCaption;
  borderStyle = ui::BorderStyle::Dialog;
  font = ui::FontOfPixels(12);
  font.name = "ＭＳ Ｐゴシック";
  SetClientSize(240, 208);
  using ui::Bind;
  Build({
      Bind(bevDir, {.name = "bevDir", .left = 4, .top = 4, .width = 233, .height = 169}),
      Bind(lblDrive, {.name = "lblDrive", .left = 8, .top = 8, .caption = "ドライブ(&V)", .autoSize = true,
                      .focusControl = dcbDir}),
      Bind(lblDir, {.name = "lblDir", .left = 8, .top = 44, .caption = "フォルダ(&D)", .autoSize = true,
                    .focusControl = dlbDir}),
      Bind(dcbDir, {.name = "dcbDir", .left = 8, .top = 20, .width = 121, .height = 18,
                    .hint = "ゲームがインストールされているドライブ", .itemHeight = kGlyph}),
      Bind(dlbDir, {.name = "dlbDir", .left = 8, .top = 56, .width = 225, .height = 113,
                    .hint = "ゲームがインストールされているフォルダ", .itemHeight = 16}),
      Bind(btnOk, {.name = "btnOk", .left = 80, .top = 180, .width = 75, .height = 25, .caption = "OK"}),
      Bind(btnCancel, {.name = "btnCancel", .left = 160, .top = 180, .width = 75, .height = 25,
                       .caption = "キャンセル", .isCancel = true, .modalResult = ui::mrCancel}),
      Bind(bbtReg, {.name = "bbtReg", .left = 136, .top = 16, .width = 95, .height = 25, .caption = "自動検索(&R)",
                    .picture = "SEARCH", .hint = "レジストリから取得"}),
  });
  folderOpen_ = ui::LoadPictureResource("FOLDER_OPEN");
  folderClosed_ = ui::LoadPictureResource("FOLDER_CLOSED");
  for (const platform::DriveType type : {platform::DriveType::Unknown, platform::DriveType::Removable,
                                         platform::DriveType::Fixed, platform::DriveType::Remote,
                                         platform::DriveType::CdRom, platform::DriveType::RamDisk})
    driveIcons_[type] = ui::LoadPictureResource(DriveIcon(type));
  dcbDir->onDrawItem = [this](ui::Canvas& canvas, const ui::ItemDraw& item) { DrawDriveRow(canvas, item); };
  dlbDir->onDrawItem = [this](ui::Canvas& canvas, const ui::ItemDraw& item) { DrawFolderRow(canvas, item); };
  dcbDir->onChange = [this] { dcbDirChange(); };
  dlbDir->onDblClick = [this] { dlbDirDblClick(); };
  btnOk->onClick = [this] { btnOkClick(); };
  btnCancel->onClick = [this] { btnCancelClick(); };
  bbtReg->onClick = [this] { bbtRegClick(); };
  FormCreate();
}

void TfrmDir::FormCreate() {
  drives_ = platform::Drives();
  for (const platform::Drive& drive : drives_) dcbDir->Add(std::string(1, drive.letter) + ":");
  if (!MoveList(StartFolder()))
    for (const platform::Drive& drive : drives_)
      if (MoveList(std::string(1, drive.letter) + ":\\")) break;
  SetDriveOfList();
}

// The game folder; one that is gone gives the nearest folder above it that is still there,
// and without that (or without a game folder) the current folder.
std::string TfrmDir::StartFolder() const {
  std::string folder = folder_path::ListForm(gameFolder_);
  while (!folder.empty() && !platform::FolderExists(folder)) folder = folder_path::Parent(folder);
  return folder.empty() ? folder_path::ListForm(platform::CurrentFolder()) : folder;
}

// Shows `folder` with the folders above it and its sub-folders; false, and nothing changes,
// when its drive cannot be read. A folder that cannot be listed shows without sub-folders.
bool TfrmDir::MoveList(const std::string& folder) {
  if (folder.empty() || !platform::DriveReadable(folder[0])) return false;
  folder_ = folder;
  rows_.clear();
  const std::vector<std::string> chain = folder_path::Chain(folder);
  std::string path;
  for (size_t i = 0; i < chain.size(); ++i) {
    path = i == 0 ? chain[0] : folder_path::Join(path, chain[i]);
    rows_.push_back({path, static_cast<int>(i), true});
  }
  std::vector<std::string> names;
  platform::SubFolders(folder, names);
  std::sort(names.begin(), names.end(), NameBefore);
  for (const std::string& name : names)
    rows_.push_back({folder_path::Join(folder, name), static_cast<int>(chain.size()), false});
  dlbDir->Clear();
  for (size_t i = 0; i < rows_.size(); ++i) dlbDir->Add(i < chain.size() ? chain[i] : names[i - chain.size()]);
  dlbDir->SetItemIndex(static_cast<int>(chain.size()) - 1);
  return true;
}

void TfrmDir::SetDriveOfList() {
  int index = -1;
  for (size_t i = 0; i < drives_.size(); ++i)
    if (!folder_.empty() && drives_[i].letter == folder_[0]) index = static_cast<int>(i);
  dcbDir->SetItemIndex(index);
}

void TfrmDir::dcbDirChange() {
  const int chosen = dcbDir->ItemIndex();
  if (chosen < 0 || (!folder_.empty() && drives_[chosen].letter == folder_[0])) return;
  // A drive without a medium: back to the drive the list is on, silently.
  if (!MoveList(std::string(1, drives_[chosen].letter) + ":\\")) SetDriveOfList();
}

void TfrmDir::dlbDirDblClick() {
  const int row = dlbDir->ItemIndex();
  if (row < 0) return;
  const std::string folder = rows_[row].path;  // the rows are made anew
  MoveList(folder);
}

void TfrmDir::bbtRegClick() {
  std::string found;
  if (!frmData.FindGameFolder(found)) {
    ui::MessageDlg(*this, kSearchFailed, ui::MessageIcon::Warning, ui::MessageButtons::Ok);
    return;
  }
  if (MoveList(folder_path::ListForm(found))) SetDriveOfList();
}

void TfrmDir::btnOkClick() {
  // The root of D is stored as "D:", which the game's file paths complete with one backslash.
  const std::string folder = folder_path::WithoutTrailingSeparator(folder_);
  if (!platform::FileExists(folder + "\\Marivel2.exe") &&
      ui::MessageDlg(*this, kNotTheGameFolder, ui::MessageIcon::Warning, ui::MessageButtons::YesNo) !=
          ui::MessageResult::Yes)
    return;
  gameFolder_ = folder;
  modalResult = ui::mrOk;
}

void TfrmDir::btnCancelClick() { Close(); }

void TfrmDir::DrawFolderRow(ui::Canvas& canvas, const ui::ItemDraw& item) {
  if (item.index < 0 || item.index >= static_cast<int>(rows_.size())) return;
  const Row& row = rows_[item.index];
  DrawRow(canvas, item, row.depth * kIndent, row.open ? folderOpen_ : folderClosed_, dlbDir->Items()[item.index], font);
}

void TfrmDir::DrawDriveRow(ui::Canvas& canvas, const ui::ItemDraw& item) {
  if (item.index < 0 || item.index >= static_cast<int>(drives_.size())) {
    canvas.FillRect(item.left, item.top, item.width, item.height, ui::kWhite);
    return;
  }
  DrawRow(canvas, item, 0, driveIcons_.at(drives_[item.index].type), dcbDir->Items()[item.index], font);
}
