#pragma once
// What the files of the win32 backend share: the process-wide window state, fonts, colours,
// the painting canvas and the way handlers are run.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#undef MessageBox
#undef DrawText

#include <map>
#include <tuple>

#include "platform/win32/late_bound.h"
#include "platform/win32/shift_jis.h"
#include "ui/backend.h"

namespace ui::win32 {

using platform::win32::Wide;

// A window's text as Shift-JIS; false when a character has no Shift-JIS form.
bool WindowText(HWND hwnd, std::string& text);

struct FormWindow {
  HWND hwnd = nullptr;
  int left = CW_USEDEFAULT, top = CW_USEDEFAULT;
  bool placed = false;
  HWND tooltip = nullptr;
};

struct State {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  HWND messages = nullptr;   // timers and media notices
  HWND appWindow = nullptr;  // hidden owner: owned forms get no taskbar button
  HICON icon = nullptr;
  bool taskbarHidden = false;
  std::map<UINT_PTR, Timer*> timers;
  UINT_PTR nextTimerId = 1;
  std::map<MCIDEVICEID, MediaPlayer*> players;
  std::map<std::tuple<std::string, int, bool, int>, HFONT> fonts;
  std::map<UINT, MenuItem*> menuItems;
  UINT nextMenuId = 10000;
  int nextControlId = 100;
};

State& S();

inline COLORREF Ref(Color c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }
HFONT FontHandle(const Font& font);

Form* FormOf(HWND hwnd);
FormWindow* WindowOf(const Form& form);
// The form's window, made (with its controls and menu bar) when first needed.
HWND EnsureWindow(Form& form);
// The window that holds a control: its panel or group box, or the form.
HWND ContainerWindow(const Control& control);
void RegisterClasses();
// Registers the forms' class, once, with the icon of the first form; returns the class's icon.
HICON RegisterFormClass(HICON icon);
// Loads the common controls and registers their classes, once, before the first windowed
// control is made: a form of painted controls alone (the counter) never needs them.
void EnsureCommonControls();
HWND MessageWindow();
HWND AppWindow();
const wchar_t* FormClassName();
const wchar_t* ContainerClassName();

// The windows of a container's controls (null: the form's own) put in tab order.
void ArrangeTabOrder(const Form& form, const WinControl* container);
// A tooltip for every control of the form that has a hint.
void AddHints(FormWindow& window, const Form& form);

// Paints the invalid part of a form's or a container's window.
void PaintForm(HWND hwnd, const Form& form);
void PaintContainer(HWND hwnd, const WinControl& container);
// The colour behind a control: the face of the panel it sits in, or the form's.
Color SurfaceColor(const Control& control);

// Mouse input on the painted controls of a form or container (null: the form itself).
bool IsMouseInput(UINT message);
void HandleMouse(HWND hwnd, Form& form, const WinControl* container, UINT message, LPARAM lParam);

// Runs an event handler; an exception it raises is shown, and the message loop goes on.
void Guarded(const Handler& handler);

// Messages from child controls, the same for forms and containers: true when handled.
bool HandleChildMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The native menu of a menu model, built afresh from it.
HMENU MenuHandle(Menu& menu);
// The handler of a menu command; false when the id is not a menu item's.
bool RunMenuCommand(UINT id);

// Paints through GDI into a 32-bit DIB whose pixels the pictures are blended into directly.
// The canvas covers a part of a larger surface that starts at (originX, originY).
class DibCanvas : public Canvas {
 public:
  DibCanvas(HDC dc, uint32_t* bits, int width, int height, int originX, int originY);
  void DrawBitmap(int left, int top, const Bitmap& picture) override;
  void DrawText(int left, int top, const std::string& text, const Font& font, bool prefix) override;
  void FillRect(int left, int top, int width, int height, Color color) override;
  void Ellipse(int left, int top, int width, int height, Color fill, Color pen) override;
  void RoundRect(int left, int top, int width, int height, int corner, Color fill, Color pen) override;
  void Frame3D(int left, int top, int width, int height, bool lowered) override;
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  uint32_t* bits_;
  int width_, height_, originX_, originY_;
};

// A 32-bit DIB section selected into a memory DC, for painting a rectangle of a window.
class BackBuffer {
 public:
  BackBuffer(HDC screen, int width, int height);
  ~BackBuffer();
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;
  bool Ok() const { return bits_ != nullptr; }
  HDC Dc() const { return memory_; }
  uint32_t* Bits() const { return bits_; }

 private:
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// The peer of every windowed control: a child window that belongs to one model control.
class WinPeer : public Peer {
 public:
  WinPeer(WinControl& control, const wchar_t* windowClass, DWORD style, DWORD exStyle = 0);
  ~WinPeer() override;
  HWND Handle() const { return hwnd_; }
  WinControl& Model() const { return control_; }
  int Id() const { return id_; }
  // Place, visibility, enabled state and caption; kinds add their contents.
  void Sync() override;
  // Notifications that reach the control's container.
  virtual void Command(WORD) {}
  virtual LRESULT Notify(NMHDR*) { return 0; }
  virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }
  virtual void Scrolled() {}

 protected:
  void SetTextIfChanged(const std::string& text);
  bool syncing_ = false;  // our own changes raise no notices

 private:
  WinControl& control_;
  HWND hwnd_ = nullptr;
  int id_ = 0;
};

WinPeer* PeerOf(HWND hwnd);
// The peer of a windowed control's kind.
std::unique_ptr<WinPeer> MakePeer(WinControl& control);

}  // namespace ui::win32
