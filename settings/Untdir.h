#pragma once
// The game folder dialog: the game's folder chosen by drive and folder, or found through the
// game's registry entry. It browses by absolute paths and never moves the process's current
// folder, which the start history and the extracted files are addressed by.
#include <map>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "platform/drives.h"
#include "ui/ui.h"

class TfrmDir : public ui::Form {
 public:
  // Opens at `gameFolder`. OK stores the chosen folder there at once: it stays chosen even
  // when the dialog that opened this one is cancelled. The search button asks `data`.
  TfrmDir(ui::Form& owner, TfrmData& data, std::string& gameFolder);

  TfrmData& frmData;

  ui::Bevel* bevDir = nullptr;
  ui::Label *lblDrive = nullptr, *lblDir = nullptr;
  ui::ComboBox* dcbDir = nullptr;  // the drive box
  ui::ListBox* dlbDir = nullptr;   // the folder list
  ui::Button *btnOk = nullptr, *btnCancel = nullptr;
  ui::BitmapButton* bbtReg = nullptr;

  void FormCreate();
  void dcbDirChange();
  void dlbDirDblClick();
  void btnOkClick();
  void btnCancelClick();
  void bbtRegClick();

  // The list's folder: a full path without a trailing backslash, "D:\" at a drive's root.
  const std::string& ListFolder() const { return folder_; }
  // How deep a row of the list is indented, and whether it shows an open folder (the list's
  // folder and those above it) or a closed one (its sub-folders).
  int RowDepth(int row) const { return rows_.at(row).depth; }
  bool RowOpen(int row) const { return rows_.at(row).open; }

 private:
  struct Row {
    std::string path;
    int depth;
    bool open;
  };
  std::string StartFolder() const;
  bool MoveList(const std::string& folder);
  void SetDriveOfList();
  void DrawFolderRow(ui::Canvas& canvas, const ui::ItemDraw& item);
  void DrawDriveRow(ui::Canvas& canvas, const ui::ItemDraw& item);

  std::string& gameFolder_;
  std::vector<platform::Drive> drives_;
  std::string folder_;
  std::vector<Row> rows_;
  ui::Bitmap folderOpen_, folderClosed_;
  std::map<platform::DriveType, ui::Bitmap> driveIcons_;
};

extern const char* const kDirCaption;
