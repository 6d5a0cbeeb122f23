// The version resources of what we ship: the program and both libraries say 1.03, in numbers
// and in text, each under its own file name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/program_runner.h"
#include "tests/wine/sjis_calls.h"

namespace {

struct VersionInfo {
  bool found = false;
  DWORD fileMs = 0, fileLs = 0, productMs = 0, productLs = 0;
  std::string fileVersion, productVersion, originalName;
};

std::string Text(std::vector<char>& block, const char* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\041103A4\\" + sjis::Wide(name);
  if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return "";
  return sjis::Narrow(value);
}

VersionInfo ReadVersion(const std::string& file) {
  VersionInfo info;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(sjis::Wide(file).c_str(), &ignored);
  if (size == 0) return info;
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(sjis::Wide(file).c_str(), 0, size, block.data())) return info;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return info;
  info.found = true;
  info.fileMs = fixed->dwFileVersionMS;
  info.fileLs = fixed->dwFileVersionLS;
  info.productMs = fixed->dwProductVersionMS;
  info.productLs = fixed->dwProductVersionLS;
  info.fileVersion = Text(block, "FileVersion");
  info.productVersion = Text(block, "ProductVersion");
  info.originalName = Text(block, "OriginalFilename");
  return info;
}

TEST(VersionResources, TheProgramAndBothLibrariesAreVersion103) {
  for (const char* name : {"M2KCOUNT.EXE", "ogog.dll", "DIDAZURA.DLL"}) {
    SCOPED_TRACE(name);
    const VersionInfo info = ReadVersion(wine_test::BinFolder() + name);
    ASSERT_TRUE(info.found);
    EXPECT_EQ(MAKELONG(0, 1), info.fileMs);  // 1.0
    EXPECT_EQ(MAKELONG(0, 3), info.fileLs);  // .3.0
    EXPECT_EQ(info.fileMs, info.productMs);
    EXPECT_EQ(info.fileLs, info.productLs);
    EXPECT_EQ("1.03", info.fileVersion);
    EXPECT_EQ("1.03", info.productVersion);
    EXPECT_EQ(name, info.originalName);
  }
}

}  // namespace
