#pragma once
// A small component layer in the manner of a visual form designer: a form is declared as a
// table of components; painted controls (images, labels, shapes, bevels) are drawn by their
// container in z-order, windowed controls are real child windows. The same code runs on the
// win32 backend (real windows) and on the headless backend (native tests, virtual time).
#include <concepts>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/graphics.h"
#include "ui/menu.h"
#include "ui/painted.h"
#include "ui/windowed.h"

namespace ui {

class Timer : public Component {
 public:
  static constexpr Kind kKind = Kind::Timer;
  Timer(Form* owner, const Design& row);
  ~Timer() override;
  int Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  void SetInterval(int ms);
  void SetEnabled(bool enabled);
  Handler onTimer;
  void Fire() {
    if (onTimer) onTimer();
  }

 private:
  void Restart();
  int interval_ = 1000;
  bool enabled_ = false;
};

enum class NotifyValue { Successful, Superseded, Aborted, Failure };

// Plays wave files through the system's media control interface.
class MediaPlayer : public Component {
 public:
  static constexpr Kind kKind = Kind::MediaPlayer;
  MediaPlayer(Form* owner, std::string name) : Component(owner, kKind, std::move(name)) {}
  MediaPlayer(Form* owner, const Design& row);
  ~MediaPlayer() override;
  std::string fileName;
  std::function<void(NotifyValue)> onNotify;
  void Open();   // throws ui::Error when the device cannot open the file
  void Play();   // with a completion notice; throws ui::Error
  void Close();  // never throws; closing a closed player does nothing
  bool IsOpen() const { return open_; }
  void Notify(NotifyValue value) {
    if (onNotify) onNotify(value);
  }

 private:
  bool open_ = false;
};

enum class BorderStyle { Single, None, Dialog };
enum class FormPosition { Designed, ScreenCenter };

// A row's link to the control of another row, made from the form's member that Bind() sets for
// that row (`.parent = gbxName`): a link to a control of the wrong kind does not compile. The
// member is read while the form is built.
template <class T>
class Link {
 public:
  Link() = default;
  template <std::derived_from<T> Member>
  Link(Member*& member)
      : member_(&member), read_([](const void* m) -> T* { return *static_cast<Member* const*>(m); }) {}
  bool Empty() const { return member_ == nullptr; }
  T* Read() const { return member_ ? read_(member_) : nullptr; }

 private:
  const void* member_ = nullptr;
  T* (*read_)(const void*) = nullptr;
};

// One row of a form's design: the component's kind, name, place and its design-time values.
// Rows made with Bind() also set the form's member that names the component. Each kind's class
// is made from its row.
struct Design {
  Kind kind = Kind::Image;  // set by Bind() from the member's type
  const char* name;
  int left = 0, top = 0, width = 0, height = 0;
  const char* caption = "";
  Font font{};
  bool useFont = false;  // false: the form's font
  Color color = kBlack;  // shape fill, label background; panel and edit face when useColor
  bool useColor = false;
  const char* picture = "";  // resource name of an image's picture or a bitmap button's glyph
  const char* icon = "";     // resource name of an image's icon
  bool autoSize = false;
  bool transparent = true;
  bool enabled = true;
  bool visible = true;
  int interval = 1000;  // timers
  bool isDefault = false, isCancel = false;
  int modalResult = mrNone;
  Link<Container> parent{};  // the panel or group box it sits in (an earlier row)
  int tabOrder = -1;        // -1: after the controls before it
  bool tabStop = true;
  const char* hint = "";
  int itemHeight = 0;                  // lists
  int maxLength = 0;                   // edits, in bytes
  bool readOnly = false;               // edits
  int min = 0, max = 100;              // up-downs
  Link<Edit> associate{};              // up-downs: the edit box (an earlier row)
  Link<WinControl> focusControl{};     // labels: the control their mnemonic focuses
  BevelCut bevelOuter = BevelCut::Raised, bevelInner = BevelCut::None;  // panels
  bool lowered = true;                 // bevels
  bool singleBorder = false;           // panels: a sunken edge around the bevels and the face
  std::function<void(Component*)> bind = nullptr;
};

template <class T>
Design Bind(T*& member, Design row) {
  row.kind = T::kKind;
  row.bind = [&member](Component* made) { member = static_cast<T*>(made); };
  return row;
}

class Form {
 public:
  Form();
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  std::string caption;
  BorderStyle borderStyle = BorderStyle::Single;
  bool stayOnTop = false;
  bool minimizeBox = true, maximizeBox = false;
  FormPosition position = FormPosition::Designed;
  Font font;
  Color color = kButtonFace;
  Form* ownerForm = nullptr;
  std::string iconResource;  // the window's own icon; empty: the application's
  Handler onShow;
  Handler onClose;

  // Client area size (below the menu bar); a borderless form's outer size equals it.
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);
  void SetBorderStyle(BorderStyle style);
  void SetCaption(const std::string& text);
  // Outer window rectangle on the screen.
  int Left() const;
  int Top() const;
  int OuterWidth() const;
  int OuterHeight() const;
  void SetPlace(int left, int top);

  bool Visible() const { return visible_; }
  bool Closed() const { return closed_; }
  void Show();
  void Hide();
  // Closes the form: a modal form ends its ShowModal with mrCancel unless a result is set.
  void Close();
  // Shows the form with its owner disabled until it closes; returns modalResult.
  int ShowModal();
  int modalResult = mrNone;
  bool InModal() const { return inModal_; }

  // Builds the components of a design table, in table order (back to front).
  void Build(const std::vector<Design>& design);
  Component* FindComponent(const std::string& name) const;
  template <class T>
  T* Find(const std::string& name) const {
    T* found = dynamic_cast<T*>(FindComponent(name));
    if (!found) throw Error("component missing from design: " + name);
    return found;
  }
  const std::vector<std::unique_ptr<Component>>& Components() const { return components_; }

  // The menu bar (null: none) and the pop-up menus the form owns.
  MainMenu* Menu() const { return menu_.get(); }
  MainMenu* MakeMainMenu(const std::string& name, const std::vector<MenuDesign>& design);
  PopupMenu* MakePopupMenu(const std::string& name);
  const std::vector<std::unique_ptr<PopupMenu>>& PopupMenus() const { return popups_; }

  // The painted controls of one container (null: the form itself), back to front.
  void PaintControls(Canvas& canvas, const WinControl* container = nullptr) const;
  void Invalidate();
  void* peer = nullptr;

 private:
  friend class Control;
  std::vector<std::unique_ptr<Component>> components_;
  std::unique_ptr<MainMenu> menu_;
  std::vector<std::unique_ptr<PopupMenu>> popups_;
  int clientWidth_ = 0, clientHeight_ = 0;
  bool visible_ = false;
  bool closed_ = false;
  bool inModal_ = false;
};

// Surface the form paints on.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void DrawBitmap(int left, int top, const Bitmap& picture) = 0;
  // With `prefix`, "&" marks an underlined mnemonic as in a label's caption.
  virtual void DrawText(int left, int top, const std::string& text, const Font& font, bool prefix = false) = 0;
  virtual void FillRect(int left, int top, int width, int height, Color color) = 0;
  virtual void Ellipse(int left, int top, int width, int height, Color fill, Color pen) = 0;
  // A filled rectangle whose corners are quarter ellipses `corner` pixels across.
  virtual void RoundRect(int left, int top, int width, int height, int corner, Color fill, Color pen) = 0;
  virtual void Frame3D(int left, int top, int width, int height, bool lowered) = 0;
};

class Application {
 public:
  static Application& Instance();
  std::string title;
  std::string iconResource;
  bool showMainForm = true;

  void SetIcon(const std::string& resource);
  // Hides the application's own taskbar window: the run shows no taskbar button.
  void HideTaskbarWindow();
  bool TaskbarWindowHidden() const { return taskbarHidden_; }
  void Restore();
  void SetMainForm(std::unique_ptr<Form> form);
  Form* MainForm() const { return mainForm_.get(); }
  // Shows the main form (when asked to) and runs the message loop until it closes, then
  // destroys it.
  void Run();
  void ShowException(const std::exception& error);
  // Runs an event handler; an exception it raises is shown and the program goes on.
  void Guard(const Handler& handler);
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  void Reset();  // for tests: back to a fresh application

 private:
  std::unique_ptr<Form> mainForm_;
  bool taskbarHidden_ = false;
  bool terminated_ = false;
};

enum class MessageIcon { Error, Warning, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageResult { Ok, Yes, No };

// A message box titled with the caption of `owner`.
MessageResult MessageDlg(const Form& owner, const std::string& text, MessageIcon icon,
                         MessageButtons buttons);

struct Placement {
  int left = 0, top = 0;
};
// Where a dialog of the given outer size goes over the window that opens it: centred on the
// opener (divisions truncating toward zero), then pushed inside the screen, left before right
// and top before bottom, so a dialog larger than the screen ends with a negative left or top.
Placement DialogPlacement(int openerLeft, int openerTop, int openerWidth, int openerHeight,
                          int ownWidth, int ownHeight, int screenWidth, int screenHeight);
// Places `dialog` over `opener` on the primary screen.
void PlaceDialog(const Form& opener, Form& dialog);
Size ScreenSize();

// A picture shipped as a resource of the program.
Bitmap LoadPictureResource(const std::string& name);

// Pixel extent of a text in a font; with `prefix`, as a label with a mnemonic shows it.
Size MeasureText(const Font& font, const std::string& text, bool prefix = false);

}  // namespace ui
