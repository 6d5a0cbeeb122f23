// The executable of our demo game folder. The counter only looks for a file of this name in
// the game folder; started by hand it says what it is.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr,
              "Marivel2 KORVEN デモ\n\nM2KCOUNT の動作確認用のデモゲームです。\n"
              "画像と音声は M2KCOUNT の開発者が作ったものです。",
              "Marivel2 KORVEN デモ", MB_OK | MB_ICONINFORMATION);
  return 0;
}
