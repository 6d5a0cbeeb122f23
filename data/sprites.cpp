#include "data/sprites.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <new>
#include <utility>

#include "data/Untdata.h"
#include "image/blend.h"
#include "image/targa.h"

const char* const SpriteFiles[kRosterSize][kVariants] = {
    {"mapc010.tga", "mapc011.tga", "mapc013.tga"},
    {"mapc020.tga", nullptr, nullptr},
    {"mapc030.tga", "mapc031.tga", nullptr},
    {"mapc040.tga", nullptr, nullptr},
    {"mapc050.tga", "mapc059.tga", nullptr},
    {"mapc060.tga", nullptr, nullptr},
    {"mapc070.tg2", "mapc072.tga", nullptr},
    {"mapc080.tga", "mapc081.tga", nullptr},
    {"mapc090.tga", "mapc140.tga", nullptr},
    {"mapc140.tga", nullptr, nullptr},
};

namespace {

// Poses from 3 on show the same stand-in picture.
constexpr ChipRect P = {0, 4, 4, 104, 172};
constexpr ChipRect kEnd = {-1, -1, -1, -1, -1};

const ChipRect kRects0[] = {{0, 0, 1, 106, 174}, {0, 106, 2, 106, 174}, {0, 4, 183, 106, 174}, kEnd};
const ChipRect kRects1[] = {{0, 2, 1, 88, 174}, {0, 131, 17, 88, 174}, {0, 4, 215, 88, 174}, kEnd};
const ChipRect kRects2[] = {{0, 3, 3, 80, 174}, {0, 88, 2, 80, 174}, {0, 4, 182, 80, 174},
                            P, P, P, P, P, P, P, P, P, P, P, P, P, kEnd};
const ChipRect kRects3[] = {{0, 4, 1, 92, 172}, {0, 105, 0, 92, 172}, {0, 5, 176, 92, 172},
                            P, P, P, P, P, P, P, P, P, P, P, P, P, P, P, P, kEnd};
const ChipRect kRects4[] = {{0, 2, 0, 96, 176}, {0, 105, 1, 96, 176}, {0, 4, 182, 96, 176},
                            P, P, P, P, P, P, kEnd};
const ChipRect kRects5[] = {{0, 2, 0, 96, 176}, {0, 105, 2, 96, 176}, {0, 4, 184, 96, 176},
                            P, P, P, P, P, P, P, kEnd};
const ChipRect kRects6[] = {{0, 2, 2, 92, 172}, {0, 100, 3, 92, 172}, {0, 3, 182, 92, 172},
                            P, P, P, P, P, kEnd};
const ChipRect kRects7[] = {{0, 3, 0, 106, 174}, {0, 113, 0, 106, 174}, {0, 4, 175, 106, 174}, P, P, kEnd};
const ChipRect kRects8[] = {{0, 4, 1, 76, 174}, {0, 121, 19, 76, 174}, {0, 5, 212, 76, 174},
                            P, P, P, P, P, P, P, kEnd};
// Pose 4 is this character's resting pose.
const ChipRect kRects9[] = {{0, 3, 3, 82, 174}, {0, 88, 4, 82, 174}, {0, 5, 185, 82, 174},
                            P, {0, 176, 185, 77, 171}, P, P, kEnd};

const int32_t kWalk[] = {0, 1, 2, 1, -1};

}  // namespace

const ChipRect* const ChipRects[kRosterSize] = {kRects0, kRects1, kRects2, kRects3, kRects4,
                                                kRects5, kRects6, kRects7, kRects8, kRects9};
const int32_t* const ChipSequences[kRosterSize] = {kWalk, kWalk, kWalk, kWalk, kWalk,
                                                   kWalk, kWalk, kWalk, kWalk, kWalk};

void StepChip(int character, int& frameCounter, ChipSlot& slot) {
  ++frameCounter;
  if (ChipSequences[character][frameCounter] == -1) frameCounter = 0;
  const int32_t pose = ChipSequences[character][frameCounter];
  slot = {ChipRects[character][pose].variant, pose};
}

void ResetChip(int character, int& frameCounter, ChipSlot& slot) {
  frameCounter = 0;
  const int32_t pose = ChipSequences[character][0];
  slot = {ChipRects[character][pose].variant, pose};
}

namespace {

int WidthOf(const ui::Bitmap& b) { return b.width; }
int WidthOf(const PixelBuffer& b) { return b.BufferWidth(); }
int HeightOf(const ui::Bitmap& b) { return b.height; }
int HeightOf(const PixelBuffer& b) { return b.BufferHeight(); }
const uint32_t* RowOf(const ui::Bitmap& b, int y) {
  return y >= 0 && y < b.height ? b.Pixels() + static_cast<size_t>(y) * b.width : nullptr;
}
uint32_t* RowOf(ui::Bitmap& b, int y) {
  return y >= 0 && y < b.height ? b.MutablePixels() + static_cast<size_t>(y) * b.width : nullptr;
}
const uint32_t* RowOf(const PixelBuffer& b, int y) { return b.PixelAt(0, y); }
uint32_t* RowOf(PixelBuffer& b, int y) { return b.PixelAt(0, y); }
// A 24-bit bitmap has no alpha: what is copied into one is opaque.
uint32_t OpaqueBits(const ui::Bitmap&) { return 0xFF000000u; }
uint32_t OpaqueBits(const PixelBuffer&) { return 0; }

// Copies the w x h area of `from` at (fx, fy) to `to` at (tx, ty), as a block transfer does;
// what lies outside either picture is left alone.
template <class From, class To>
void CopyArea(const From& from, int fx, int fy, To& to, int tx, int ty, int w, int h) {
  // The columns x0..x1 - 1 and rows y0..y1 - 1 of the area lie inside both pictures.
  const int x0 = std::max({0, -fx, -tx}), x1 = std::min({w, WidthOf(from) - fx, WidthOf(to) - tx});
  const int y0 = std::max({0, -fy, -ty}), y1 = std::min({h, HeightOf(from) - fy, HeightOf(to) - ty});
  const uint32_t opaque = OpaqueBits(to);
  for (int y = y0; y < y1; ++y) {
    const uint32_t* source = RowOf(from, fy + y);
    uint32_t* target = RowOf(to, ty + y);
    if (!source || !target) continue;
    for (int x = x0; x < x1; ++x) target[tx + x] = source[fx + x] | opaque;
  }
}

// The target's picture as an opaque canvas of the box's size.
ui::Bitmap& CanvasOf(ui::Image* image) {
  ui::Bitmap& picture = image->Picture();
  if (picture.width != image->Width() || picture.height != image->Height()) {
    picture.Resize(image->Width(), image->Height());
    std::fill_n(picture.MutablePixels(), static_cast<size_t>(picture.width) * picture.height, 0xFFFFFFFFu);
  }
  picture.hasAlpha = false;
  return picture;
}

void ClearToZero(PixelBuffer& surface) {
  for (int y = 0; y < surface.BufferHeight(); ++y)
    if (uint32_t* row = surface.PixelAt(0, y)) std::fill(row, row + surface.BufferWidth(), 0u);
}

int PoseCount(int character) {
  int count = 0;
  while (ChipRects[character][count].variant != -1) ++count;
  return count;
}

}  // namespace

namespace {

// A pixel block kept from one figure to the next: the windows animate five times a second, and
// a fresh half-megabyte block each time costs more than decoding into it. The two figures'
// sheets (and poses) differ in size, so the block only ever grows; a smaller picture goes into
// the front of it (every pixel it covers is written before it is read, so the block is not
// cleared). A new block has room for twice the picture, so that the other figure's larger one
// fits it too: room never written costs no memory, a second block fresh pages to fault in.
class KeptPixels : public PixelBuffer {
 public:
  bool Resize(int32_t width, int32_t height) override {
    const int32_t w = width < 1 ? 1 : width, h = height < 1 ? 1 : height;
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (!pixels_ || count > capacity_) {
      FreePixels();
      capacity_ = count <= SIZE_MAX / 8 ? count * 2 : count;
      pixels_ = new (std::nothrow) uint32_t[capacity_];
      if (!pixels_ && capacity_ != count) pixels_ = new (std::nothrow) uint32_t[capacity_ = count];
      if (!pixels_) {
        capacity_ = 0;
        return false;
      }
    }
    width_ = w;
    height_ = h;
    return true;
  }

 private:
  size_t capacity_ = 1;  // the base buffer is born with one pixel
};

}  // namespace

// Kept from one figure to the next. The surface only grows (each pose of each figure has a size
// of its own); a figure uses its top-left W x H. Its pixels never meet GDI (the copies in and
// out of it are made here, in memory), so it is plain memory, not a DIB section: under Wine a
// section and its device context cost about a millisecond of the counter's start.
struct TfrmData::FigureScratch {
  KeptPixels sheet;  // the figure's part of its sheet
  KeptPixels surface;
};

void TfrmData::DrawCharacter(int character, int variant, ui::Image* background, ui::Image* target, int pose) {
  if (!target || character < 0 || character >= kRosterSize || variant < 0 || variant >= kVariants) return;
  if (pose < 0 || pose >= PoseCount(character) || !SpriteFiles[character][variant]) return;
  try {
    if (!scratch_) scratch_ = std::make_shared<FigureScratch>();
    PixelBuffer& sheet = scratch_->sheet;
    PixelBuffer& surface = scratch_->surface;
    const ChipRect& r = ChipRects[character][pose];
    // The figure is cut with a one-pixel margin and centred in the box. Only that part of the
    // sheet is read into memory, as far as it lies in the sheet.
    const int W = r.width + 2, H = r.height + 2;
    TargaArea cut{r.x - 1, r.y - 1, W, H};
    if (!LoadTargaAreaInto(&sheet, SpriteFiles[character][variant], cut)) return;
    const int ox = (target->Width() - W) / 2, oy = (target->Height() - H) / 2;
    // Without its surface there is nothing to draw on: the box keeps what it showed.
    if ((surface.BufferWidth() < W || surface.BufferHeight() < H) &&
        !surface.Resize(std::max(W, surface.BufferWidth()), std::max(H, surface.BufferHeight())))
      return;
    ui::Bitmap& canvas = CanvasOf(target);
    if (background)
      CopyArea(background->Picture(), target->Left() + ox, target->Top() + oy, surface, 0, 0, W, H);
    else
      ClearToZero(surface);  // the figure alone: black where the sheet is transparent
    if (cut.width > 0 && cut.height > 0)
      BlendRect(surface, BlendSpec{}, cut.left - (r.x - 1), cut.top - (r.y - 1), sheet, 0, 0, cut.width, cut.height);
    if (background)
      CopyArea(background->Picture(), target->Left(), target->Top(), canvas, 0, 0, target->Width(), target->Height());
    CopyArea(surface, 0, 0, canvas, ox, oy, W, H);  // opaque: the alpha channel stops here
    target->Invalidate();
  } catch (const std::exception&) {
    // A figure that cannot be drawn is simply not shown.
  }
}

void TfrmData::DrawCharacters(int mode, ui::Image* target0, ui::Image* background, ui::Image* target1) {
  const int characters[2] = {counterSettings.char0, counterSettings.char1};
  ui::Image* targets[2] = {target0, target1};
  for (int slot = 0; slot < 2; ++slot) {
    const int c = characters[slot];
    if (c < 0 || c >= kRosterSize) continue;
    const ChipSlot chip = mode == -1 ? ChipSlot{Roster[c].defaultVariant, Roster[c].defaultPose} : ChipState[slot];
    DrawCharacter(c, chip.variant, background, targets[slot], chip.pose);
  }
}
