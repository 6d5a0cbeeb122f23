#pragma once
// Painted controls: drawn by the form or panel they sit in, in z-order, without windows. Each
// is made from its design row.
#include <string>

#include "ui/component.h"

namespace ui {

class Image : public Control {
 public:
  static constexpr Kind kKind = Kind::Image;
  Image(Form* owner, const Design& row);
  bool autoSize = false;
  std::string iconResource;  // an image that carries an icon rather than a picture
  // The picture; drawing code may change it and then call Invalidate().
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
  static constexpr Kind kKind = Kind::Label;
  Label(Form* owner, const Design& row);
  bool autoSize = true;
  bool transparent = true;
  Color background = kButtonFace;
  // "&" marks the next character as the mnemonic, drawn underlined ("&&" is one "&"); Alt with
  // it focuses focusControl.
  bool showAccelChar = true;
  WinControl* focusControl = nullptr;
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

// A rounded rectangle rounds its corners with quarter ellipses a quarter of its shorter side
// across.
enum class ShapeType { Circle, Rectangle, RoundRect };

class Shape : public Control {
 public:
  static constexpr Kind kKind = Kind::Shape;
  Shape(Form* owner, const Design& row);
  ShapeType shape = ShapeType::Circle;
  Color brushColor = kWhite;
  Color penColor = kBlack;
  void Paint(Canvas& canvas) const override;
};

class Bevel : public Control {
 public:
  static constexpr Kind kKind = Kind::Bevel;
  Bevel(Form* owner, const Design& row);
  bool lowered = true;
  void Paint(Canvas& canvas) const override;
};

// The mnemonic of a caption ("詳細設定(&C)" → 'C'), upper-cased; 0 when there is none.
char MnemonicOf(const std::string& caption);
// The caption as shown: the marking "&" removed, "&&" as one "&".
std::string StripMnemonic(const std::string& caption);

}  // namespace ui
