// The canvas over a QImage and QPainter: how client pixels become device pixels, and the
// caches that spare a board redraw most of its painting.
#include "platform/canvas.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/font_faces.h"
#include "platform/window.h"
#include "platform/window_state.h"

namespace platform {

namespace {

// Pixels covered by an edge of width w drawn at coordinate e: the extra pixels of a wide
// pen lie towards smaller coordinates, so a cell's inner area is never touched.
int bandStart(int e, int w) { return e - w / 2; }

// How client pixels become device pixels: the client pixel edge e lies at the device edge
// round(e * ratio), and every shape is filled from the device edge of its first pixel to
// the device edge after its last. Neighbouring shapes therefore share their device edge
// and meet exactly at any ratio: at 1.5 a one-pixel line is one or two device pixels wide,
// depending on where its edges round to, but no seam or gap opens between a cell and its
// lines. Text and circles are drawn through the plain scale, at full resolution.
int deviceEdge(int e, double ratio) { return ratio == 1.0 ? e : int(std::floor(e * ratio + 0.5)); }

QRect deviceRect(const QRect& r, double ratio) {
  if (ratio == 1.0) return r;
  return {QPoint(deviceEdge(r.left(), ratio), deviceEdge(r.top(), ratio)),
          QPoint(deviceEdge(r.right() + 1, ratio) - 1, deviceEdge(r.bottom() + 1, ratio) - 1)};
}

// Glyph stamps kept at most; panel texts change, so the set is dropped when it fills up.
constexpr size_t kMaxStamps = 256;
// Device pixels of margin around a stamp's ink, checked to stay clear when it is made.
constexpr int kStampMargin = 3;
// Backgrounds kept per stamp.
constexpr size_t kStampVariants = 4;

bool overlaps(const QRect& a, const QRect& b) {
  return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}
// Sub-pixel phases are told apart in 1/64 of a device pixel.
constexpr double kPhaseSteps = 64.0;

// Shapes honour the raster operation: merge paints pen OR screen.
class ShapeMode {
 public:
  ShapeMode(QPainter& painter, RasterOp op) : painter_(painter) {
    if (op == RasterOp::Merge) painter_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
  }
  ~ShapeMode() { painter_.setCompositionMode(QPainter::CompositionMode_SourceOver); }

 private:
  QPainter& painter_;
};

}  // namespace

Canvas::Canvas(WindowState& window) : window_(window) {
  rebuildImage(logicalSize_, ratio_, false);
  painter_ = windowPainter_.get();
}

Canvas::~Canvas() {
  if (windowPainter_->isActive()) windowPainter_->end();
}

void Canvas::startAtRatio(double ratio) {
  if (ratio != ratio_) rebuildImage(logicalSize_, ratio, false);
}

void Canvas::resizeClient(QSize logical) {
  if (logical != logicalSize_) rebuildImage(logical, ratio_, false);
}

void Canvas::rebuildImage(QSize logical, double ratio, bool scaleOld) {
  if (windowPainter_ && windowPainter_->isActive()) windowPainter_->end();
  const QImage old = image_;
  const double oldRatio = ratio_;
  ratio_ = ratio;
  logicalSize_ = logical;
  QImage fresh(toDevice(logical.width()), toDevice(logical.height()), QImage::Format_RGB32);
  fresh.fill(Qt::white);
  if (!old.isNull()) {
    QPainter copy(&fresh);
    if (scaleOld) {
      copy.setRenderHint(QPainter::SmoothPixmapTransform);
      copy.drawImage(QRectF(0, 0, old.width() * ratio / oldRatio, old.height() * ratio / oldRatio), old);
    } else {
      copy.drawImage(0, 0, old);
    }
  }
  image_ = fresh;
  if (windowPainter_) {
    windowPainter_->begin(&image_);
  } else {
    windowPainter_ = std::make_unique<QPainter>(&image_);
  }
  forgetCaches();
}

void Canvas::setDevicePixelRatio(double ratio) {
  if (ratio <= 0 || ratio == ratio_) return;
  rebuildImage(logicalSize_, ratio, true);
  // Captured images keep their client size: scaled like the picture they came from.
  for (auto& [handle, captured] : images_)
    captured.pixels = captured.pixels.scaled(toDevice(captured.logical).size(), Qt::IgnoreAspectRatio,
                                             Qt::SmoothTransformation);
  markDirty(QRect(QPoint(0, 0), logicalSize_));
  // Drawing the screen again is not an event of the game: it makes no sound.
  window_.redrawingForRatio = true;
  if (onDevicePixelRatioChanged) onDevicePixelRatioChanged();
  window_.redrawingForRatio = false;
}

void Canvas::followScreenLater() {
  if (ratioCheckPending_ || window_.client == nullptr) return;
  ratioCheckPending_ = true;
  // Not from inside the event that noticed it: the game draws anew in its own time.
  QTimer::singleShot(0, window_.client, [this] {
    ratioCheckPending_ = false;
    setDevicePixelRatio(window_.client->devicePixelRatioF());
  });
}

int Canvas::toDevice(int edge) const { return deviceEdge(edge, ratio_); }
QRect Canvas::toDevice(const QRect& rect) const { return deviceRect(rect, ratio_); }

void Canvas::setDrawingCaches(bool on) {
  cachesOn_ = on;
  standing_.clear();
}

void Canvas::forgetCaches() {
  standing_.clear();
  circleSprites_.clear();
  stamps_.clear();
}

void Canvas::clearClient(QColor colour) {
  const QRect all(QPoint(0, 0), logicalSize_);
  fillLogical(all, colour);
  markDirty(all);
}

QImage Canvas::grabClient() {
  window_.flushRepaints();
  if (window_.client == nullptr) return image_;
  return window_.client->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Canvas::paintClient(QPainter& painter, const QRect& rect) {
  if (ratio_ == 1.0 && painter.device()->devicePixelRatioF() == 1.0) {
    painter.drawImage(rect, image_, rect);
    return;
  }
  // The picture with its ratio attached (sharing its pixels): at the window's own ratio
  // it lands one to one on the device pixels; the paint event's region clips it.
  QImage picture(image_.constBits(), image_.width(), image_.height(), image_.bytesPerLine(), image_.format());
  picture.setDevicePixelRatio(ratio_);
  painter.drawImage(QPointF(0, 0), picture);
}

// --- drawing state ------------------------------------------------------------------

QPainter& Canvas::painter() { return *painter_; }

void Canvas::setPen(QColor colour) { pen_ = colour; }
void Canvas::setFill(QColor colour) { fill_ = colour; }
void Canvas::setLineWidth(int width) { lineWidth_ = std::max(1, width); }
void Canvas::setLineStyleSolid() {}  // every line of the game is solid
void Canvas::setFillStyle(FillStyle style) { fillStyle_ = style; }
void Canvas::setRasterOp(RasterOp op) { rasterOp_ = op; }
void Canvas::setTextBackground(TextBackground mode) { textBackground_ = mode; }

void Canvas::markDirty(const QRect& rect) {
  if (!drawingToWindow()) return;
  window_.repaintLater(rect);
  // A sprite under new pixels must be drawn again when it is asked for.
  if (!standing_.empty())
    std::erase_if(standing_, [&rect](const StandingSprite& s) { return overlaps(s.area, rect); });
}

double Canvas::scale() const { return drawingToWindow() ? ratio_ : 1.0; }

void Canvas::fillLogical(const QRect& rect, QColor colour) { painter().fillRect(deviceRect(rect, scale()), colour); }

void Canvas::line(int x1, int y1, int x2, int y2) {
  ShapeMode mode(painter(), rasterOp_);
  const int w = lineWidth_;
  QRect covered;
  if (y1 == y2) {
    if (x1 == x2) return;
    const int from = x1 < x2 ? x1 : x2 + 1;
    const int to = x1 < x2 ? x2 - 1 : x1;
    covered = QRect(QPoint(from, bandStart(y1, w)), QPoint(to, bandStart(y1, w) + w - 1));
    fillLogical(covered, pen_);
  } else if (x1 == x2) {
    const int from = y1 < y2 ? y1 : y2 + 1;
    const int to = y1 < y2 ? y2 - 1 : y1;
    covered = QRect(QPoint(bandStart(x1, w), from), QPoint(bandStart(x1, w) + w - 1, to));
    fillLogical(covered, pen_);
  } else {
    // Slanted lines stop one step short of their end point, as straight ones do.
    const double dx = x2 - x1, dy = y2 - y1;
    const double steps = std::max(std::abs(dx), std::abs(dy));
    const QPointF end(x2 - dx / steps, y2 - dy / steps);
    const double s = scale();
    if (s != 1.0) painter().setTransform(QTransform::fromScale(s, s));
    painter().setPen(QPen(pen_, w));
    painter().drawLine(QPointF(x1, y1), end);
    if (s != 1.0) painter().resetTransform();
    covered = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)))
                  .adjusted(-w, -w, w, w);
  }
  markDirty(covered);
}

void Canvas::box(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  ShapeMode mode(painter(), rasterOp_);
  const int w = lineWidth_;
  const int left = bandStart(x1, w), right = bandStart(x2, w);
  const int top = bandStart(y1, w), bottom = bandStart(y2, w);
  fillLogical(QRect(left, top, right - left + w, w), pen_);
  fillLogical(QRect(left, bottom, right - left + w, w), pen_);
  fillLogical(QRect(left, top, w, bottom - top + w), pen_);
  fillLogical(QRect(right, top, w, bottom - top + w), pen_);
  markDirty(QRect(left, top, right - left + w, bottom - top + w));
}

void Canvas::filledBox(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (fillStyle_ == FillStyle::Solid) {
    ShapeMode mode(painter(), rasterOp_);
    fillLogical(QRect(QPoint(x1, y1), QPoint(x2, y2)), fill_);
  }
  box(x1, y1, x2, y2);
}

void Canvas::circle(int cx, int cy, int radius) {
  const int reach = radius + lineWidth_ + 1;
  const QRect area(cx - reach, cy - reach, 2 * reach + 1, 2 * reach + 1);
  QPainter& p = painter();
  if (rasterOp_ == RasterOp::Copy && drawingToWindow()) {
    // The same circle, rasterised once into a sprite and copied from then on: a board
    // redraw draws thousands of dots. A sprite still standing untouched where it was
    // drawn last is not drawn again, as that would change no pixel.
    const QRect device = deviceRect(area, ratio_);
    const CircleSprite& sprite = circleSprite(radius, device, area.topLeft());
    if (cachesOn_ && spriteStands(area, &sprite.pixels)) return;
    p.drawImage(device.topLeft(), sprite.pixels);
    markDirty(area);
    if (cachesOn_ && sprite.binary) standing_.push_back({area, &sprite.pixels});
    return;
  }
  ShapeMode mode(p, rasterOp_);
  const double s = scale();
  if (s != 1.0) p.setTransform(QTransform::fromScale(s, s));
  drawCircleShape(p, QPointF(cx + 0.5, cy + 0.5), radius);
  if (s != 1.0) p.resetTransform();
  markDirty(area);
}

bool Canvas::spriteStands(const QRect& area, const QImage* sprite) const {
  return std::any_of(standing_.begin(), standing_.end(),
                     [&](const StandingSprite& s) { return s.area == area && s.sprite == sprite; });
}

void Canvas::drawCircleShape(QPainter& p, QPointF centre, int radius) {
  // Without antialiasing: dots are drawn again after every cell, and blended edges
  // would darken with each pass.
  p.setPen(QPen(pen_, lineWidth_));
  p.setBrush(fillStyle_ == FillStyle::Solid ? QBrush(fill_) : QBrush(Qt::NoBrush));
  // Pixel (x, y) covers [x, x+1): the centre of the centre pixel is at +0.5.
  p.drawEllipse(centre, radius, radius);
  p.setBrush(Qt::NoBrush);
}

int Canvas::phase(int edge) const {
  return int(std::lround((edge * ratio_ - deviceEdge(edge, ratio_)) * kPhaseSteps));
}

const Canvas::CircleSprite& Canvas::circleSprite(int radius, const QRect& deviceArea, QPoint corner) {
  const SpriteKey key{radius,        lineWidth_,           pen_.rgb(),          fill_.rgb(),
                      fillStyle_ == FillStyle::Solid, phase(corner.x()), phase(corner.y()),
                      deviceArea.width(), deviceArea.height()};
  auto it = circleSprites_.find(key);
  if (it != circleSprites_.end()) return it->second;
  CircleSprite sprite;
  sprite.pixels = QImage(deviceArea.size(), QImage::Format_ARGB32_Premultiplied);
  sprite.pixels.fill(Qt::transparent);
  QPainter p(&sprite.pixels);
  const int reach = radius + lineWidth_ + 1;
  if (ratio_ == 1.0) {
    drawCircleShape(p, QPointF(reach + 0.5, reach + 0.5), radius);
  } else {
    p.setTransform(QTransform(ratio_, 0, 0, ratio_, -deviceArea.left(), -deviceArea.top()));
    drawCircleShape(p, QPointF(corner.x() + reach + 0.5, corner.y() + reach + 0.5), radius);
  }
  p.end();
  sprite.binary = true;
  for (int y = 0; y < sprite.pixels.height() && sprite.binary; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(sprite.pixels.constScanLine(y));
    for (int x = 0; x < sprite.pixels.width(); ++x)
      if (qAlpha(line[x]) != 0 && qAlpha(line[x]) != 255) sprite.binary = false;
  }
  return circleSprites_.emplace(key, std::move(sprite)).first->second;
}

void Canvas::pixel(int x, int y, QColor colour) {
  fillLogical(QRect(x, y, 1, 1), colour);
  markDirty(QRect(x, y, 1, 1));
}

int Canvas::textWidth(const QString& text) const {
  const RealisedFont& f = currentFont_;
  if (f.metrics.fixedPitch) return int(text.toUcs4().size()) * f.metrics.cellWidth;
  if (!cachesOn_ || f.id < 0) return QFontMetrics(f.font).horizontalAdvance(text);
  // Measuring shapes the text: the widths of the few texts the game draws are kept.
  if (textWidths_.size() >= kMaxStamps) textWidths_.clear();
  const auto [it, added] = textWidths_.try_emplace({f.id, text}, 0);
  if (added) it->second = QFontMetrics(f.font).horizontalAdvance(text);
  return it->second;
}

void Canvas::text(int x, int y, const QString& text) {
  if (text.isEmpty()) return;
  const RealisedFont& f = currentFont_;
  const QRect cell(x, y, textWidth(text), f.metrics.cellHeight);
  if (textBackground_ == TextBackground::Opaque) {
    fillLogical(cell, fill_);
    markDirty(cell);
  }
  if (cachesOn_ && drawingToWindow() && f.id >= 0 && stampText(x, y, text, cell)) return;
  const double s = scale();
  paintGlyphs(painter(), QTransform::fromScale(s, s), x, y, text, deviceRect(cell, s));
  // Glyphs may reach a little beyond their cells.
  markDirty(cell.adjusted(-2, -2, 4, 4));
}

void Canvas::paintGlyphs(QPainter& p, const QTransform& transform, int x, int y, const QString& text,
                          const QRect& deviceClip) {
  const RealisedFont& f = currentFont_;
  const bool transformed = !transform.isIdentity();
  p.setFont(f.font);
  p.setPen(pen_);
  const int baseline = y + f.ascent;
  if (f.metrics.fixedPitch) {
    // Fixed-pitch faces sit on an exact grid: one character per cell, nothing outside it.
    p.save();
    p.setClipRect(deviceClip);
    if (transformed) p.setTransform(transform);
    int i = 0;
    for (char32_t ch : text.toUcs4()) {
      p.drawText(x + i * f.metrics.cellWidth + f.glyphOffset, baseline, QString::fromUcs4(&ch, 1));
      ++i;
    }
    p.restore();
  } else {
    if (transformed) p.setTransform(transform);
    p.drawText(x, baseline, text);
    if (transformed) p.resetTransform();
  }
}

// Text on the window is copied from stamps: the text drawn once over the pixels it lands
// on, kept with those pixels. A stamp is used only where the pixels under it are the same
// again (an erased cell, an opaque text background, a picker square), so the copy gives
// the very pixels that drawing the glyphs would.
bool Canvas::stampText(int x, int y, const QString& text, const QRect& cell) {
  const StampKey key{currentFont_.id, text, pen_.rgb(), phase(x), phase(y)};
  auto it = stamps_.find(key);
  if (it == stamps_.end()) {
    if (stamps_.size() >= kMaxStamps) stamps_.clear();
    Stamp stamp;
    const QRect area = stampArea(x, y, text, cell);
    stamp.area = area.translated(-toDevice(x), -toDevice(y));
    stamp.usable = inkStaysInside(x, y, text, cell, area);
    it = stamps_.emplace(key, std::move(stamp)).first;
  }
  Stamp& stamp = it->second;
  if (!stamp.usable) return false;
  const QRect area = stamp.area.translated(toDevice(x), toDevice(y));
  if (area.isEmpty() || !image_.rect().contains(area)) return false;
  auto variant = std::find_if(stamp.variants.begin(), stamp.variants.end(),
                              [&](const StampVariant& v) { return imageHolds(area, v.before); });
  if (variant == stamp.variants.end()) {
    // Few backgrounds recur for one text; the oldest is dropped to make room.
    if (stamp.variants.size() >= kStampVariants) stamp.variants.erase(stamp.variants.begin());
    StampVariant fresh;
    fresh.before = image_.copy(area);
    fresh.after = renderOver(x, y, text, cell, fresh.before, area.topLeft());
    stamp.variants.push_back(std::move(fresh));
    variant = std::prev(stamp.variants.end());
  }
  painter().drawImage(area.topLeft(), variant->after);
  markDirty(logicalCover(area));
  return true;
}

// Device pixels that may hold ink of the text: its cell for fixed-pitch faces (clipped to
// it), otherwise the glyphs' bounds with a margin for antialiasing.
QRect Canvas::stampArea(int x, int y, const QString& text, const QRect& cell) const {
  const RealisedFont& f = currentFont_;
  if (f.metrics.fixedPitch) return deviceRect(cell, ratio_);
  const QRectF ink = QFontMetricsF(f.font).tightBoundingRect(text).translated(x, y + f.ascent);
  const QRect scaled = QTransform::fromScale(ratio_, ratio_).mapRect(ink).toAlignedRect();
  return scaled.adjusted(-2, -2, 2, 2);
}

// Drawn once over a margin of a colour far from the pen: a text whose ink reaches beyond
// its area is always drawn directly.
bool Canvas::inkStaysInside(int x, int y, const QString& text, const QRect& cell, const QRect& area) {
  const QRect canvasArea = area.adjusted(-kStampMargin, -kStampMargin, kStampMargin, kStampMargin);
  const QRgb background = pen_.rgb() ^ 0xffffffU;
  QImage canvas(canvasArea.size(), image_.format());
  canvas.fill(background);
  canvas = renderOver(x, y, text, cell, canvas, canvasArea.topLeft());
  const QRect inner = area.translated(-canvasArea.topLeft());
  for (int row = 0; row < canvas.height(); ++row) {
    const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(row));
    for (int column = 0; column < canvas.width(); ++column)
      if (!inner.contains(column, row) && line[column] != background) return false;
  }
  return true;
}

// The text drawn over a copy of `background`, whose top-left pixel is `deviceOrigin` of
// the window: with the same transform and clip as on the window, moved by whole pixels.
QImage Canvas::renderOver(int x, int y, const QString& text, const QRect& cell, const QImage& background,
                           QPoint deviceOrigin) {
  QImage canvas = background.copy();
  QPainter p(&canvas);
  const QTransform transform(ratio_, 0, 0, ratio_, -deviceOrigin.x(), -deviceOrigin.y());
  paintGlyphs(p, transform, x, y, text, deviceRect(cell, ratio_).translated(-deviceOrigin));
  p.end();
  return canvas;
}

bool Canvas::imageHolds(const QRect& deviceArea, const QImage& pixels) const {
  const size_t rowBytes = size_t(deviceArea.width()) * sizeof(QRgb);
  for (int row = 0; row < deviceArea.height(); ++row) {
    const uchar* line = image_.constScanLine(deviceArea.top() + row) + size_t(deviceArea.left()) * sizeof(QRgb);
    if (std::memcmp(line, pixels.constScanLine(row), rowBytes) != 0) return false;
  }
  return true;
}

// The client pixels that hold the device pixels of `deviceArea`.
QRect Canvas::logicalCover(const QRect& deviceArea) const {
  if (ratio_ == 1.0) return deviceArea;
  const auto down = [this](int d) { return int(std::floor(d / ratio_)); };
  return {QPoint(down(deviceArea.left()), down(deviceArea.top())),
          QPoint(down(deviceArea.right()), down(deviceArea.bottom()))};
}

// --- fonts ----------------------------------------------------------------------------

Canvas::RealisedFont Canvas::realise(const FontDescription& d) const {
  const QString face = d.face.toUpper();
  const bool fixed = d.fixedPitch || face == "TERMINAL" || face == "FIXEDSYS";
  QFont font(fixed ? kMonoFamily : kSansFamily);
  font.setStyleStrategy(QFont::PreferDefault);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setKerning(false);
  font.setBold(d.weight >= 600);
  RealisedFont result;
  result.metrics.cellHeight = d.height;
  result.metrics.fixedPitch = fixed;
  if (fixed) {
    // Fixed-pitch faces are drawn one character per grid cell, so only the glyph size
    // matters: the largest that leaves a one-pixel gap beside each character and keeps
    // capitals within three quarters of the cell, like the bitmap faces it stands in for.
    int size = std::max(1, d.height);
    for (; size > 1; --size) {
      font.setPixelSize(size);
      const QFontMetrics m(font);
      if (m.horizontalAdvance(QChar('M')) <= d.width - 1 && 4 * m.capHeight() <= 3 * d.height) break;
    }
    font.setPixelSize(size);
    const QFontMetrics m(font);
    result.metrics.cellWidth = d.width;
    result.glyphOffset = (d.width - m.horizontalAdvance(QChar('M'))) / 2;
    result.ascent = d.height - std::max(2, d.height / 5);
  } else {
    // The largest pixel size whose line fits the character cell, then stretched to the
    // requested average width.
    int size = std::max(1, d.height);
    for (; size > 1; --size) {
      font.setPixelSize(size);
      if (QFontMetrics(font).height() <= d.height) break;
    }
    font.setPixelSize(size);
    if (d.width > 0) {
      const int average = QFontMetrics(font).averageCharWidth();
      if (average > 0) font.setStretch(std::clamp(int(std::lround(100.0 * d.width / average)), 1, 4000));
    }
    const QFontMetrics m(font);
    result.metrics.cellWidth = m.averageCharWidth();
    // Centre the font's line in the cell when it is lower than the cell.
    result.ascent = m.ascent() + (d.height - m.height()) / 2;
  }
  result.font = font;
  return result;
}

FontHandle Canvas::createFont(const FontDescription& description) {
  fonts_.push_back(realise(description));
  fonts_.back().id = nextFontId_++;
  return FontHandle(fonts_.size() - 1);
}

void Canvas::selectFont(FontHandle font) {
  if (font >= 0 && font < int(fonts_.size())) currentFont_ = fonts_[size_t(font)];
}

void Canvas::selectSystemFont(const QString& face, double points) {
  const QString upper = face.toUpper();
  if (upper != "FIXEDSYS" && upper != "SYSTEM") {
    selectFontByPoints(face, points);
    return;
  }
  const QString key = upper + QString::number(points);
  auto it = systemFonts_.find(key);
  if (it == systemFonts_.end()) {
    // The two system faces the game names: an 8 x 15 fixed-pitch face and a bold
    // proportional caption face with a 16-pixel cell.
    FontDescription d;
    d.face = face;
    if (upper == "FIXEDSYS") {
      d.height = 15;
      d.width = 8;
      d.weight = 700;
      d.fixedPitch = true;
    } else {
      d.height = int(std::lround(points * 96.0 / 72.0 * 1.23));
      d.weight = 700;
    }
    it = systemFonts_.emplace(key, realise(d)).first;
    it->second.id = nextFontId_++;
  }
  currentFont_ = it->second;
}

void Canvas::selectFontByPoints(const QString& face, double points) {
  // A face by name and size in points, on whatever the drawing goes to (the window at
  // 96 dots per inch, or a printer at its own resolution).
  const int dpi = painter_->device() != nullptr ? painter_->device()->logicalDpiY() : 96;
  const QString upper = face.toUpper();
  QFont font(upper == "ARIAL" ? kSansFamily : face);
  font.setPixelSize(std::max(1, int(std::lround(points * dpi / 72.0))));
  RealisedFont f;
  f.font = font;
  const QFontMetrics m(font, painter_->device());
  f.metrics.cellHeight = m.height();
  f.metrics.cellWidth = m.averageCharWidth();
  f.ascent = m.ascent();
  currentFont_ = f;
}

// --- drawing output -------------------------------------------------------------------------

void Canvas::redirectDrawing(QPainter* target) {
  painter_ = target != nullptr ? target : windowPainter_.get();
}

bool Canvas::drawingToWindow() const { return painter_ == windowPainter_.get(); }

void Canvas::deleteFonts() { fonts_.clear(); }

FontMetrics Canvas::currentFontMetrics() const { return currentFont_.metrics; }

// --- screen images ---------------------------------------------------------------------

ImageHandle Canvas::captureImage(int x1, int y1, int x2, int y2) {
  const ImageHandle handle = nextImage_++;
  const QRect logical(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
  images_[handle] = {image_.copy(toDevice(logical)), logical};
  return handle;
}

void Canvas::drawImage(ImageHandle image, int x, int y) {
  const auto it = images_.find(image);
  if (it == images_.end()) return;
  const double s = scale();
  // Pixel for pixel from the device corner of (x, y): put back where it was taken, an
  // image covers exactly the device pixels it came from.
  painter().setCompositionMode(QPainter::CompositionMode_Source);
  painter().drawImage(deviceEdge(x, s), deviceEdge(y, s), it->second.pixels);
  painter().setCompositionMode(QPainter::CompositionMode_SourceOver);
  markDirty(QRect(QPoint(x, y), it->second.logical.size()));
}

void Canvas::releaseImage(ImageHandle image) { images_.erase(image); }

}  // namespace platform
