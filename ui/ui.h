#pragma once
// A small component layer in the manner of a visual form designer: a form is declared as a
// table of components; painted controls (images, labels, shapes, bevels) are drawn by their
// form in z-order, windowed controls are real child windows. The same code runs on the win32
// backend (real windows) and on the headless backend (native tests, virtual time).
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/graphics.h"

namespace ui {

class Form;
class Canvas;

// Raised by the layer for failures the caller may catch (a media device error, say).
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using Handler = std::function<void()>;

enum class Kind { Image, Label, Shape, Bevel, Button, Timer, MediaPlayer };

class Component {
 public:
  Component(Form* owner, Kind kind, std::string name) : owner_(owner), kind_(kind), name_(std::move(name)) {}
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;
  const std::string& Name() const { return name_; }
  Kind GetKind() const { return kind_; }
  Form* Owner() const { return owner_; }
  void* peer = nullptr;  // the backend's native object, if any

 private:
  Form* owner_;
  Kind kind_;
  std::string name_;
};

class Control : public Component {
 public:
  using Component::Component;
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Visible() const { return visible_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetVisible(bool visible);
  virtual bool IsPainted() const { return true; }
  virtual void Paint(Canvas&) const {}

 protected:
  void Changed();

 private:
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
};

class Image : public Control {
 public:
  Image(Form* owner, std::string name) : Control(owner, Kind::Image, std::move(name)) {}
  bool autoSize = false;
  std::string iconResource;  // an image that carries an icon rather than a picture
  // The picture; drawing code may change it and then call Changed() through Invalidate().
  Bitmap& Picture() { return picture_; }
  const Bitmap& Picture() const { return picture_; }
  void SetPicture(Bitmap picture);
  void Invalidate() { Changed(); }
  void Paint(Canvas& canvas) const override;

 private:
  Bitmap picture_;
};

class Label : public Control {
 public:
  Label(Form* owner, std::string name) : Control(owner, Kind::Label, std::move(name)) {}
  bool autoSize = true;
  bool transparent = true;
  Color background = kButtonFace;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const Font& GetFont() const { return font_; }
  void SetFont(const Font& font);
  void Paint(Canvas& canvas) const override;

 private:
  void AdjustSize();
  std::string caption_;
  Font font_;
};

enum class ShapeType { Circle, Rectangle };

class Shape : public Control {
 public:
  Shape(Form* owner, std::string name) : Control(owner, Kind::Shape, std::move(name)) {}
  ShapeType shape = ShapeType::Circle;
  Color brushColor = kWhite;
  Color penColor = kBlack;
  void Paint(Canvas& canvas) const override;
};

class Bevel : public Control {
 public:
  Bevel(Form* owner, std::string name) : Control(owner, Kind::Bevel, std::move(name)) {}
  bool lowered = true;
  void Paint(Canvas& canvas) const override;
};

class Button : public Control {
 public:
  Button(Form* owner, std::string name) : Control(owner, Kind::Button, std::move(name)) {}
  bool IsPainted() const override { return false; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool isDefault = false;  // Enter presses it
  bool isCancel = false;   // Esc presses it
  Handler onClick;
  void Click() {
    if (onClick) onClick();
  }

 private:
  std::string caption_;
};

class Timer : public Component {
 public:
  Timer(Form* owner, std::string name) : Component(owner, Kind::Timer, std::move(name)) {}
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
  MediaPlayer(Form* owner, std::string name) : Component(owner, Kind::MediaPlayer, std::move(name)) {}
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

// One row of a form's design: the component's kind, name, place and its design-time values.
struct Design {
  Kind kind;
  const char* name;
  int left = 0, top = 0, width = 0, height = 0;
  const char* caption = "";
  Font font{};
  bool useFont = false;  // false: the form's font
  Color color = kBlack;  // shape fill, label background
  const char* picture = "";  // resource name of an image's picture
  const char* icon = "";     // resource name of an image's icon
  bool autoSize = false;
  bool transparent = true;
  bool enabled = true;  // timers
  int interval = 1000;  // timers
  bool isDefault = false, isCancel = false;
};

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
  Handler onShow;
  Handler onClose;

  // Client area size; a borderless form's outer size equals it.
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);
  void SetBorderStyle(BorderStyle style);
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
  void Close();
  int ShowModal();  // returns modalResult
  int modalResult = 0;

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

  // Paints the painted controls in z-order (called by the backend).
  void PaintControls(Canvas& canvas) const;
  void Invalidate();
  void* peer = nullptr;

 private:
  friend class Control;
  std::unique_ptr<Component> Make(const Design& row);
  std::vector<std::unique_ptr<Component>> components_;
  int clientWidth_ = 0, clientHeight_ = 0;
  int placeLeft_ = 0, placeTop_ = 0;
  bool visible_ = false;
  bool closed_ = false;
};

// Surface the form paints on.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void DrawBitmap(int left, int top, const Bitmap& picture) = 0;
  virtual void DrawText(int left, int top, const std::string& text, const Font& font) = 0;
  virtual void FillRect(int left, int top, int width, int height, Color color) = 0;
  virtual void Ellipse(int left, int top, int width, int height, Color fill, Color pen) = 0;
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

// Pixel extent of a text in a font.
Size MeasureText(const Font& font, const std::string& text);

}  // namespace ui
