#include "ui/ui.h"

#include <algorithm>

#include "ui/backend.h"

namespace ui {

// ---- controls ----

void Control::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

void Control::Changed() { backend::ControlChanged(*this); }

void Image::SetPicture(Bitmap picture) {
  picture_ = std::move(picture);
  if (autoSize && !picture_.Empty())
    SetBounds(Left(), Top(), picture_.width, picture_.height);
  else
    Changed();
}

void Image::Paint(Canvas& canvas) const {
  if (!picture_.Empty()) canvas.DrawBitmap(Left(), Top(), picture_);
}

void Label::SetCaption(const std::string& caption) {
  caption_ = caption;
  AdjustSize();
  Changed();
}

void Label::SetFont(const Font& font) {
  font_ = font;
  AdjustSize();
  Changed();
}

void Label::AdjustSize() {
  if (!autoSize) return;
  const Size extent = MeasureText(font_, caption_);
  SetBounds(Left(), Top(), extent.width, extent.height);
}

void Label::Paint(Canvas& canvas) const {
  if (!transparent) canvas.FillRect(Left(), Top(), Width(), Height(), background);
  canvas.DrawText(Left(), Top(), caption_, font_);
}

void Shape::Paint(Canvas& canvas) const {
  if (shape == ShapeType::Circle) {
    // A circle is as large as the shorter side, centred in the control.
    const int d = std::min(Width(), Height());
    canvas.Ellipse(Left() + (Width() - d) / 2, Top() + (Height() - d) / 2, d, d, brushColor, penColor);
  } else {
    canvas.FillRect(Left(), Top(), Width(), Height(), brushColor);
  }
}

void Bevel::Paint(Canvas& canvas) const { canvas.Frame3D(Left(), Top(), Width(), Height(), lowered); }

void Button::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed();
}

Timer::~Timer() { backend::TimerDestroyed(*this); }

void Timer::SetInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Restart();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Restart();
}

void Timer::Restart() { backend::TimerChanged(*this); }

MediaPlayer::~MediaPlayer() { Close(); }

void MediaPlayer::Open() {
  Close();
  backend::MediaOpen(*this);
  open_ = true;
}

void MediaPlayer::Play() {
  if (!open_) throw Error("メディアプレーヤーが開かれていません");
  backend::MediaPlay(*this);
}

void MediaPlayer::Close() {
  if (!open_) return;
  open_ = false;
  backend::MediaClose(*this);
}

// ---- forms ----

Form::Form() = default;

Form::~Form() {
  for (auto it = components_.rbegin(); it != components_.rend(); ++it) {
    if (auto* control = dynamic_cast<Control*>(it->get())) backend::ControlDestroyed(*control);
    it->reset();
  }
  backend::FormDestroyed(*this);
}

void Form::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  backend::FormChanged(*this);
}

void Form::SetBorderStyle(BorderStyle style) {
  borderStyle = style;
  backend::FormChanged(*this);
}

int Form::Left() const { return backend::FormOuterRect(*this).left; }
int Form::Top() const { return backend::FormOuterRect(*this).top; }
int Form::OuterWidth() const { return backend::FormOuterRect(*this).width; }
int Form::OuterHeight() const { return backend::FormOuterRect(*this).height; }

void Form::SetPlace(int left, int top) { backend::FormMove(*this, left, top); }

void Form::Show() {
  if (visible_) return;
  closed_ = false;
  visible_ = true;
  backend::FormSetVisible(*this, true);
  if (onShow) onShow();
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  backend::FormSetVisible(*this, false);
}

void Form::Close() {
  if (closed_) return;
  closed_ = true;
  if (onClose) onClose();
  Hide();
  Application& app = Application::Instance();
  if (app.MainForm() == this) app.Terminate();
}

int Form::ShowModal() {
  modalResult = 0;
  closed_ = false;
  return backend::FormRunModal(*this);
}

std::unique_ptr<Component> Form::Make(const Design& row) {
  const Font rowFont = row.useFont ? row.font : font;
  switch (row.kind) {
    case Kind::Image: {
      auto image = std::make_unique<Image>(this, row.name);
      image->SetBounds(row.left, row.top, row.width, row.height);
      image->autoSize = row.autoSize;
      image->iconResource = row.icon;
      if (*row.picture) image->SetPicture(LoadPictureResource(row.picture));
      return image;
    }
    case Kind::Label: {
      auto label = std::make_unique<Label>(this, row.name);
      label->SetBounds(row.left, row.top, row.width, row.height);
      label->autoSize = row.autoSize;
      label->transparent = row.transparent;
      label->background = row.color;
      label->SetFont(rowFont);
      label->SetCaption(row.caption);
      return label;
    }
    case Kind::Shape: {
      auto shape = std::make_unique<Shape>(this, row.name);
      shape->SetBounds(row.left, row.top, row.width, row.height);
      shape->brushColor = row.color;
      return shape;
    }
    case Kind::Bevel: {
      auto bevel = std::make_unique<Bevel>(this, row.name);
      bevel->SetBounds(row.left, row.top, row.width, row.height);
      return bevel;
    }
    case Kind::Button: {
      auto button = std::make_unique<Button>(this, row.name);
      button->isDefault = row.isDefault;
      button->isCancel = row.isCancel;
      button->SetBounds(row.left, row.top, row.width, row.height);
      button->SetCaption(row.caption);
      return button;
    }
    case Kind::Timer: {
      auto timer = std::make_unique<Timer>(this, row.name);
      timer->SetInterval(row.interval);
      timer->SetEnabled(row.enabled);
      return timer;
    }
    case Kind::MediaPlayer:
      return std::make_unique<MediaPlayer>(this, row.name);
  }
  throw Error("unknown component kind");
}

void Form::Build(const std::vector<Design>& design) {
  for (const Design& row : design) components_.push_back(Make(row));
}

Component* Form::FindComponent(const std::string& name) const {
  for (const auto& c : components_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

void Form::PaintControls(Canvas& canvas) const {
  for (const auto& c : components_) {
    const auto* control = dynamic_cast<const Control*>(c.get());
    if (control && control->IsPainted() && control->Visible()) control->Paint(canvas);
  }
}

void Form::Invalidate() { backend::FormInvalidate(*this); }

// ---- application ----

Application& Application::Instance() {
  static Application app;
  return app;
}

void Application::SetIcon(const std::string& resource) {
  iconResource = resource;
  backend::ApplicationIcon(resource);
}

void Application::HideTaskbarWindow() {
  taskbarHidden_ = true;
  backend::ApplicationHideTaskbar();
}

void Application::Restore() { backend::ApplicationRestore(); }

void Application::SetMainForm(std::unique_ptr<Form> form) { mainForm_ = std::move(form); }

void Application::Run() {
  try {
    if (mainForm_ && showMainForm) mainForm_->Show();
    if (mainForm_ && !terminated_) backend::RunMessageLoop(*this);
  } catch (...) {
    // The forms' cleanup runs now, while everything it uses still exists, not at the end of
    // the process.
    mainForm_.reset();
    throw;
  }
  mainForm_.reset();
}

void Application::ShowException(const std::exception& error) {
  backend::ShowException(title, error.what());
}

void Application::Reset() {
  mainForm_.reset();
  title.clear();
  iconResource.clear();
  showMainForm = true;
  taskbarHidden_ = false;
  terminated_ = false;
}

MessageResult MessageDlg(const Form& owner, const std::string& text, MessageIcon icon,
                         MessageButtons buttons) {
  return backend::MessageBox(owner, text, icon, buttons);
}

Placement DialogPlacement(int openerLeft, int openerTop, int openerWidth, int openerHeight,
                          int ownWidth, int ownHeight, int screenWidth, int screenHeight) {
  Placement p{openerLeft + (openerWidth - ownWidth) / 2, openerTop + (openerHeight - ownHeight) / 2};
  if (p.left < 0) p.left = 0;
  if (p.left + ownWidth > screenWidth) p.left = screenWidth - ownWidth;
  if (p.top < 0) p.top = 0;
  if (p.top + ownHeight > screenHeight) p.top = screenHeight - ownHeight;
  return p;
}

void PlaceDialog(const Form& opener, Form& dialog) {
  const Size screen = ScreenSize();
  const Placement p = DialogPlacement(opener.Left(), opener.Top(), opener.OuterWidth(), opener.OuterHeight(),
                                      dialog.OuterWidth(), dialog.OuterHeight(), screen.width, screen.height);
  dialog.SetPlace(p.left, p.top);
}

Size ScreenSize() { return backend::ScreenSize(); }

Bitmap LoadPictureResource(const std::string& name) {
  Bitmap picture;
  if (!DecodeBmp(backend::ResourceBytes(name), picture)) throw Error("picture resource unreadable: " + name);
  return picture;
}

Size MeasureText(const Font& font, const std::string& text) { return backend::MeasureText(font, text); }

}  // namespace ui
