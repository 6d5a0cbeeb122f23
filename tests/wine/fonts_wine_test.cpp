// The fonts that the project's Wine prefix must offer: Wine draws the caption buttons of framed
// windows (minimise, maximise, close) as glyphs of the Marlett font, and without it they come
// out as the letters "0 1 r".
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

int CALLBACK CountFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return 1;
}

TEST(FontsWine, TheCaptionButtonFontMarlettIsInstalled) {
  HDC screen = GetDC(nullptr);
  LOGFONTA wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpyA(wanted.lfFaceName, "Marlett");
  int found = 0;
  EnumFontFamiliesExA(screen, &wanted, CountFamily, reinterpret_cast<LPARAM>(&found), 0);
  EXPECT_GT(found, 0) << "no font family Marlett";

  // Asked for by name, as the caption buttons ask for it, it is itself and no stand-in.
  HFONT marlett = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
  HGDIOBJ old = SelectObject(screen, marlett);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(screen, LF_FACESIZE, face);
  EXPECT_EQ("Marlett", std::string(face));
  SelectObject(screen, old);
  DeleteObject(marlett);
  ReleaseDC(nullptr, screen);
}

}  // namespace
