#include "settings/folder_path.h"

#include "platform/sjis.h"

namespace folder_path {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool EndsWithSeparator(const std::string& text) {
  return !text.empty() && text.back() == '\\' && platform::LastByteIsSingle(text);
}

// The names between single-byte backslashes.
std::vector<std::string> SplitNames(const std::string& text) {
  std::vector<std::string> names(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (platform::IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      names.back() += text.substr(i++, 2);
    } else if (text[i] == '\\') {
      names.emplace_back();
    } else {
      names.back() += text[i];
    }
  }
  return names;
}

}  // namespace

std::string ListForm(const std::string& path) {
  if (path.size() < 2 || !IsLetter(path[0]) || path[1] != ':') return "";
  if (path.size() > 2 && path[2] != '\\') return "";  // "D:Games" is relative to the drive
  const char letter = path[0] >= 'a' ? static_cast<char>(path[0] - 'a' + 'A') : path[0];
  std::vector<std::string> kept;
  for (const std::string& name : SplitNames(path.substr(2))) {
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(name);
  }
  std::string folder = std::string(1, letter) + ":\\";
  for (size_t i = 0; i < kept.size(); ++i) folder += (i ? "\\" : "") + kept[i];
  return folder;
}

std::vector<std::string> Chain(const std::string& listFolder) {
  if (listFolder.size() < 3) return {};
  std::vector<std::string> chain{listFolder.substr(0, 3)};
  for (const std::string& name : SplitNames(listFolder.substr(3)))
    if (!name.empty()) chain.push_back(name);
  return chain;
}

std::string Parent(const std::string& listFolder) {
  std::vector<std::string> chain = Chain(listFolder);
  if (chain.size() <= 1) return "";
  chain.pop_back();
  std::string parent = chain[0];
  for (size_t i = 1; i < chain.size(); ++i) parent = Join(parent, chain[i]);
  return parent;
}

std::string Join(const std::string& folder, const std::string& name) {
  return EndsWithSeparator(folder) ? folder + name : folder + "\\" + name;
}

std::string WithoutTrailingSeparator(const std::string& folder) {
  return EndsWithSeparator(folder) ? folder.substr(0, folder.size() - 1) : folder;
}

}  // namespace folder_path
