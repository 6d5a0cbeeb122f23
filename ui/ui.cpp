#include "ui/ui.h"

#include <algorithm>

#include "platform/sjis.h"
#include "ui/backend.h"
#include "ui/input.h"

namespace ui {

// ---- controls ----

void Control::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (IsPainted()) Changed();  // the place it leaves needs painting too
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

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

bool Control::Showing() const { return visible_ && (!parent_ || parent_->Showing()); }
bool Control::Usable() const { return enabled_ && Showing() && (!parent_ || parent_->Usable()); }

void Control::Changed() { backend::PaintedChanged(*this); }

WinControl::WinControl(Form* owner, Kind kind, const Design& row) : Control(owner, kind, row.name) {
  SetCaption(row.caption);
  SetBounds(row.left, row.top, row.width, row.height);
  SetEnabled(row.enabled);
  SetVisible(row.visible);
  tabStop = row.tabStop;  // the kinds that never take the focus themselves clear it after
  hint = row.hint;
}

WinControl::~WinControl() { backend::ControlDestroyed(*this); }

void WinControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}

void WinControl::Changed() {
  if (peer_) peer_->Sync();
}

void WinControl::AttachPeer(std::unique_ptr<Peer> peer) {
  peer_ = std::move(peer);
  if (peer_) peer_->Sync();
}

void WinControl::FetchState() {
  if (peer_) peer_->Fetch();
}

void WinControl::SetFocus() { backend::FocusControl(*this); }
bool WinControl::Focused() const { return Owner() && backend::FocusedControl(*Owner()) == this; }

// ---- painted controls ----

Image::Image(Form* owner, const Design& row) : Control(owner, kKind, row.name) {
  SetBounds(row.left, row.top, row.width, row.height);
  autoSize = row.autoSize;
  iconResource = row.icon;
  SetVisible(row.visible);
  if (*row.picture) SetPicture(LoadPictureResource(row.picture));
}

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

Label::Label(Form* owner, const Design& row) : Control(owner, kKind, row.name) {
  SetBounds(row.left, row.top, row.width, row.height);
  autoSize = row.autoSize;
  transparent = row.transparent;
  background = row.color;
  SetVisible(row.visible);
  SetFont(row.useFont ? row.font : owner->font);
  SetCaption(row.caption);
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
  const Size extent = MeasureText(font_, caption_, showAccelChar);
  SetBounds(Left(), Top(), extent.width, extent.height);
}

void Label::Paint(Canvas& canvas) const {
  if (!transparent) canvas.FillRect(Left(), Top(), Width(), Height(), background);
  canvas.DrawText(Left(), Top(), caption_, font_, showAccelChar);
}

Shape::Shape(Form* owner, const Design& row) : Control(owner, kKind, row.name) {
  SetBounds(row.left, row.top, row.width, row.height);
  brushColor = row.color;
}

void Shape::Paint(Canvas& canvas) const {
  if (shape == ShapeType::Circle) {
    // A circle is as large as the shorter side, centred in the control.
    const int d = std::min(Width(), Height());
    canvas.Ellipse(Left() + (Width() - d) / 2, Top() + (Height() - d) / 2, d, d, brushColor, penColor);
  } else if (shape == ShapeType::RoundRect) {
    const int corner = std::min(Width(), Height()) / 4;
    canvas.RoundRect(Left(), Top(), Width(), Height(), corner, brushColor, penColor);
  } else {
    canvas.FillRect(Left(), Top(), Width(), Height(), brushColor);
  }
}

Bevel::Bevel(Form* owner, const Design& row) : Control(owner, kKind, row.name) {
  SetBounds(row.left, row.top, row.width, row.height);
  lowered = row.lowered;
}

void Bevel::Paint(Canvas& canvas) const { canvas.Frame3D(Left(), Top(), Width(), Height(), lowered); }

char MnemonicOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(caption[i]);
    // Skip the trail byte of a Shift-JIS character: it may well be 0x26, an "&".
    if (platform::IsSjisLeadByte(c)) {
      ++i;
      continue;
    }
    if (c != '&') continue;
    const char next = caption[i + 1];
    if (next == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(next >= 'a' && next <= 'z' ? next - 'a' + 'A' : next);
  }
  return 0;
}

std::string StripMnemonic(const std::string& caption) {
  std::string shown;
  for (size_t i = 0; i < caption.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(caption[i]);
    if (platform::IsSjisLeadByte(c) && i + 1 < caption.size()) {
      shown += caption.substr(i, 2);
      ++i;
      continue;
    }
    if (c == '&' && i + 1 < caption.size()) ++i;  // "&x" shows x, "&&" shows "&"
    shown.push_back(caption[i]);
  }
  return shown;
}

// ---- timers and media ----

Timer::Timer(Form* owner, const Design& row) : Component(owner, kKind, row.name) {
  SetInterval(row.interval);
  SetEnabled(row.enabled);
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

MediaPlayer::MediaPlayer(Form* owner, const Design& row) : MediaPlayer(owner, std::string(row.name)) {}

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
  // Back to front: the controls inside a container go before it.
  for (auto it = components_.rbegin(); it != components_.rend(); ++it) it->reset();
  popups_.clear();
  menu_.reset();
  input::FormGone(*this);
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

void Form::SetCaption(const std::string& text) {
  caption = text;
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
  // Like any dialog, the form opens with the first control of its tab order focused.
  if (!backend::FocusedControl(*this)) {
    const std::vector<WinControl*> sequence = input::TabSequence(*this);
    if (!sequence.empty()) sequence.front()->SetFocus();
  }
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
  if (inModal_) {
    if (modalResult == mrNone) modalResult = mrCancel;
    return;  // the modal loop ends and hides the form
  }
  Hide();
  Application& app = Application::Instance();
  if (app.MainForm() == this) app.Terminate();
}

int Form::ShowModal() {
  modalResult = mrNone;
  closed_ = false;
  inModal_ = true;
  backend::FormEnableOwner(*this, false);
  Show();
  backend::FormRunModal(*this);
  if (modalResult == mrNone) modalResult = mrCancel;
  // The owner is enabled before the dialog hides, so that it, not another program, becomes
  // the active window.
  backend::FormEnableOwner(*this, true);
  Hide();
  inModal_ = false;
  return modalResult;
}

namespace {

using Maker = std::unique_ptr<Component> (*)(Form* form, const Design& row);

template <class T>
constexpr std::pair<Kind, Maker> MakerOf() {
  return {T::kKind, [](Form* form, const Design& row) -> std::unique_ptr<Component> {
            return std::make_unique<T>(form, row);
          }};
}

// The class of every kind a design row can name.
constexpr std::pair<Kind, Maker> kMakers[] = {
    MakerOf<Image>(),    MakerOf<Label>(),        MakerOf<Shape>(),    MakerOf<Bevel>(),
    MakerOf<Button>(),   MakerOf<BitmapButton>(), MakerOf<CheckBox>(), MakerOf<RadioButton>(),
    MakerOf<GroupBox>(), MakerOf<Panel>(),        MakerOf<Edit>(),     MakerOf<UpDown>(),
    MakerOf<ComboBox>(), MakerOf<ListBox>(),      MakerOf<Timer>(),    MakerOf<MediaPlayer>(),
};

std::unique_ptr<Component> Make(Form* form, const Design& row) {
  for (const auto& [kind, make] : kMakers)
    if (kind == row.kind) return make(form, row);
  throw Error("unknown component kind");
}

// The control a row links to: one of the form's, made before the link is read.
template <class T>
T* Linked(const Form& form, const Design& row, const Link<T>& link) {
  T* linked = link.Read();
  for (const auto& c : form.Components())
    if (c.get() == linked) return linked;
  throw Error(std::string("design row ") + row.name + " links to a control the form has not made");
}

}  // namespace

void Form::Build(const std::vector<Design>& design) {
  int nextTabOrder = 0;
  std::vector<std::pair<Label*, const Design*>> linkedLabels;  // their controls may come later
  for (const Design& row : design) {
    WinControl* parent = row.parent.Empty() ? nullptr : Linked(*this, row, row.parent);
    if (!row.associate.Empty()) Linked(*this, row, row.associate);  // the up-down reads it
    std::unique_ptr<Component> made = Make(this, row);
    if (auto* control = dynamic_cast<Control*>(made.get()); control && parent) control->SetParent(parent);
    if (auto* windowed = dynamic_cast<WinControl*>(made.get()))
      windowed->tabOrder = row.tabOrder >= 0 ? row.tabOrder : nextTabOrder++;
    if (auto* label = dynamic_cast<Label*>(made.get()); label && !row.focusControl.Empty())
      linkedLabels.emplace_back(label, &row);
    if (row.bind) row.bind(made.get());
    components_.push_back(std::move(made));
  }
  for (auto& [label, row] : linkedLabels) label->focusControl = Linked(*this, *row, row->focusControl);
}

Component* Form::FindComponent(const std::string& name) const {
  for (const auto& c : components_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

MainMenu* Form::MakeMainMenu(const std::string& name, const std::vector<MenuDesign>& design) {
  menu_ = std::make_unique<MainMenu>(this, name);
  BuildMenu(menu_->Root(), design);
  backend::FormChanged(*this);
  return menu_.get();
}

PopupMenu* Form::MakePopupMenu(const std::string& name) {
  popups_.push_back(std::make_unique<PopupMenu>(this, name));
  return popups_.back().get();
}

void Form::PaintControls(Canvas& canvas, const WinControl* container) const {
  for (const auto& c : components_) {
    const auto* control = dynamic_cast<const Control*>(c.get());
    if (control && control->IsPainted() && control->Visible() && control->Parent() == container)
      control->Paint(canvas);
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

void Application::Guard(const Handler& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(error);
  }
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
  if (!UseBmp(backend::ResourceBytes(name), picture)) throw Error("picture resource unreadable: " + name);
  return picture;
}

Size MeasureText(const Font& font, const std::string& text, bool prefix) {
  return backend::MeasureText(font, text, prefix);
}

}  // namespace ui
