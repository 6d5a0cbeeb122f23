#pragma once
// Components and controls: what every part of a form shares. Painted controls (images, labels,
// shapes, bevels) are drawn by the container they sit in; windowed controls (WinControl) are
// real child windows on the win32 backend, made and kept in step by a backend peer.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "ui/graphics.h"

namespace ui {

class Form;
class Canvas;
class WinControl;
class PopupMenu;
struct Design;

// Raised by the layer for failures the caller may catch (a media device error, say).
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using Handler = std::function<void()>;

enum class Kind {
  Image, Label, Shape, Bevel,
  Button, BitmapButton, CheckBox, RadioButton, GroupBox, Panel, Edit, UpDown, ComboBox, ListBox,
  Timer, MediaPlayer,
};

enum class MouseButton { Left, Right, Middle };
using MouseHandler = std::function<void(MouseButton button, int x, int y)>;

class Component {
 public:
  Component(Form* owner, Kind kind, std::string name) : owner_(owner), kind_(kind), name_(std::move(name)) {}
  virtual ~Component() = default;
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;
  const std::string& Name() const { return name_; }
  Kind GetKind() const { return kind_; }
  Form* Owner() const { return owner_; }
  void* peer = nullptr;  // the backend's native object of timers and players

 private:
  Form* owner_;
  Kind kind_;
  std::string name_;
};

class Control : public Component {
 public:
  using Component::Component;
  // Place in the client area of the parent: a panel or group box, or the form itself.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Visible itself and inside visible containers.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Enabled itself and inside enabled containers: only then does it take input.
  bool Usable() const;

  WinControl* Parent() const { return parent_; }
  void SetParent(WinControl* parent) { parent_ = parent; }

  virtual bool IsPainted() const { return true; }
  virtual void Paint(Canvas&) const {}

  // Mouse input on painted controls, at client positions of the control; a press captures the
  // mouse, so the release comes to the same control even outside it.
  MouseHandler onMouseDown;
  MouseHandler onMouseUp;
  PopupMenu* popupMenu = nullptr;  // opened by the right button

 protected:
  virtual void Changed();

 private:
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  WinControl* parent_ = nullptr;
};

// The native side of one windowed control: made by the backend for the control's kind once the
// form's window exists, destroyed with the control. The headless backend makes none.
class Peer {
 public:
  virtual ~Peer() = default;
  // Makes the native control show the model's state: place, caption, enabled, contents.
  virtual void Sync() = 0;
  // Reads what the user changed (check state, selection, text, position) into the model.
  virtual void Fetch() {}
};

class WinControl : public Control {
 public:
  ~WinControl() override;
  bool IsPainted() const override { return false; }

  int tabOrder = 0;
  bool tabStop = true;
  std::string hint;  // a tooltip, when not empty

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  void SetFocus();
  bool Focused() const;

  // The backend's peer (null before the window exists, and always on the headless backend).
  Peer* GetPeer() const { return peer_.get(); }
  void AttachPeer(std::unique_ptr<Peer> peer);
  void DetachPeer() { peer_.reset(); }
  // Reads the native state into the model; a handler always sees what the user sees.
  void FetchState();
  // What a click of the user does (a disabled control takes none): the backends call it.
  virtual void UserClick() {}

 protected:
  // Takes the caption, place, state, tab stop and hint of its design row.
  WinControl(Form* owner, Kind kind, const Design& row);
  void Changed() override;

 private:
  std::string caption_;
  std::unique_ptr<Peer> peer_;
};

}  // namespace ui
