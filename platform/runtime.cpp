// The runtime layer over Qt 6 Widgets.
#include "platform/runtime.h"

#include <QApplication>
#include <QDialog>
#include <QDate>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/font_faces.h"
#include "platform/window.h"
#include "platform/window_system.h"

namespace platform {

namespace {

// An idle waiting loop wakes at least this often, so flags set elsewhere are seen.
constexpr int kWakeIntervalMs = 50;

const std::chrono::steady_clock::time_point kClockEpoch = std::chrono::steady_clock::now();

uint64_t chooseSeed() {
  if (const char* text = std::getenv("PUNKTIVO_SEED"); text != nullptr && *text != '\0') {
    return std::strtoull(text, nullptr, 10);
  }
  std::random_device device;
  return (uint64_t(device()) << 32) ^ device();
}

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

}  // namespace

Runtime::Runtime() : wake_(std::make_unique<QTimer>()), captionSink_(std::make_unique<CaptionSink>(*this)) {
  seed_ = chooseSeed();
  wake_->setSingleShot(true);
  rebuildImage(logicalSize_, ratio_, false);
  painter_ = windowPainter_.get();
}

Runtime::~Runtime() {
  watch_.reset();
  if (windowPainter_->isActive()) windowPainter_->end();
  fonts_.clear();
}

// --- window ---------------------------------------------------------------------

QSize Runtime::screenSize() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().size() : QSize(kClientWidth, kClientHeight);
}

void Runtime::openWindow(int x, int y, int outerWidth, int outerHeight, const QString& title) {
  window_ = std::make_unique<MainWindow>(*this);
  window_->setWindowTitle(title);
  client_ = new ClientWidget(*this, window_.get());
  window_->setCentralWidget(client_);
  window_->move(x, y);
  window_->resize(outerWidth, outerHeight);
  window_->show();
  client_->setFocus();
  windowGone_ = false;
  watch_ = WindowSystemWatch::create(*this, *window_);
  // Nothing is drawn yet: the picture simply starts at the screen's ratio.
  const double ratio = client_->devicePixelRatioF();
  if (ratio != ratio_) rebuildImage(logicalSize_, ratio, false);
}

void Runtime::rebuildImage(QSize logical, double ratio, bool scaleOld) {
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

void Runtime::setDevicePixelRatio(double ratio) {
  if (ratio <= 0 || ratio == ratio_) return;
  rebuildImage(logicalSize_, ratio, true);
  // Captured images keep their client size: scaled like the picture they came from.
  for (auto& [handle, captured] : images_)
    captured.pixels = captured.pixels.scaled(toDevice(captured.logical).size(), Qt::IgnoreAspectRatio,
                                             Qt::SmoothTransformation);
  markDirty(QRect(QPoint(0, 0), logicalSize_));
  // Drawing the screen again is not an event of the game: it makes no sound.
  beepsMuted_ = true;
  if (onDevicePixelRatioChanged) onDevicePixelRatioChanged();
  beepsMuted_ = false;
}

void Runtime::followScreenLater() {
  if (ratioCheckPending_ || client_ == nullptr) return;
  ratioCheckPending_ = true;
  // Not from inside the event that noticed it: the game draws anew in its own time.
  QTimer::singleShot(0, client_, [this] {
    ratioCheckPending_ = false;
    setDevicePixelRatio(client_->devicePixelRatioF());
  });
}

int Runtime::toDevice(int edge) const { return deviceEdge(edge, ratio_); }
QRect Runtime::toDevice(const QRect& rect) const { return deviceRect(rect, ratio_); }

void Runtime::setDrawingCaches(bool on) {
  cachesOn_ = on;
  standing_.clear();
}

void Runtime::forgetCaches() {
  standing_.clear();
  circleSprites_.clear();
  stamps_.clear();
}

void Runtime::setClientSize(int width, int height) {
  if (QSize(width, height) != logicalSize_) rebuildImage(QSize(width, height), ratio_, false);
  if (client_ != nullptr) {
    client_->setFixedSize(width, height);
    window_->adjustSize();
    // A fixed layout: the window cannot be resized.
    window_->setFixedSize(window_->sizeHint());
  }
}

void Runtime::setTitle(const QString& title) {
  if (window_) window_->setWindowTitle(title);
}

void Runtime::clearClient(QColor colour) {
  const QRect all(QPoint(0, 0), logicalSize_);
  fillLogical(all, colour);
  markDirty(all);
}

bool Runtime::windowExists() const {
  // A scripted end of input ends the loops once every message before it was taken.
  return window_ != nullptr && !windowGone_ && !(quitPending_ && queue_.empty());
}

void Runtime::handleQuitRequest() { quitPending_ = true; }

void Runtime::closeWindow() {
  windowGone_ = true;
  if (window_) window_->close();
}

QWidget* Runtime::mainWindowWidget() const { return window_.get(); }
QWidget* Runtime::clientWidget() const { return client_; }


QImage Runtime::grabClient() {
  flushDirty();
  if (client_ == nullptr) return image_;
  return client_->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Runtime::paintClient(QPainter& painter, const QRect& rect) {
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

bool Runtime::handleCloseRequest() {
  if (windowGone_) return true;
  if (!onCloseRequest) {
    windowGone_ = true;
    return true;
  }
  if (!onCloseRequest()) return false;
  windowGone_ = true;
  return true;
}

// --- event pump -------------------------------------------------------------------

void Runtime::handleInput(const WindowMessage& message) {
  if (message.kind == MessageKind::KeyRelease) {
    auto it = std::find(swallowedReleases_.begin(), swallowedReleases_.end(), message.key);
    if (it != swallowedReleases_.end()) {
      swallowedReleases_.erase(it);
      return;
    }
  }
  if (message.kind == MessageKind::LeftPress) buttonsHeld_ |= Qt::LeftButton;
  if (message.kind == MessageKind::RightPress) buttonsHeld_ |= Qt::RightButton;
  queue_.push_back(message);
}

void Runtime::handleKeyPress(int id, int key, int modifiers) {
  const auto same = [id](const PressedKey& k) { return k.id == id; };
  if (std::none_of(pressedKeys_.begin(), pressedKeys_.end(), same)) pressedKeys_.push_back({id, key, modifiers});
}

std::optional<WindowMessage> Runtime::takeKeyRelease(int id) {
  std::optional<WindowMessage> release = repeatedKeyRelease(id);
  if (release) std::erase_if(pressedKeys_, [id](const PressedKey& k) { return k.id == id; });
  return release;
}

std::optional<WindowMessage> Runtime::repeatedKeyRelease(int id) const {
  const auto it = std::find_if(pressedKeys_.begin(), pressedKeys_.end(), [id](const PressedKey& k) { return k.id == id; });
  if (it == pressedKeys_.end()) return std::nullopt;
  WindowMessage release;
  release.kind = MessageKind::KeyRelease;
  release.key = it->key;
  release.modifiers = it->modifiers;
  return release;
}

void Runtime::refreshButtonsFromWindowSystem() {
  const int held = pointerButtonsFromWindowSystem();
  buttonsHeld_ &= held;
}

void Runtime::handleWindowDestroyed() {
  if (windowGone_) return;
  windowGone_ = true;
  // Closed from the event loop, not from inside the event that told us: a message box or
  // the print dialog then returns from its own loop as if cancelled.
  QTimer::singleShot(0, captionSink_.get(), [this] {  // dropped with the runtime
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget == window_.get() || !widget->isVisible()) continue;
      if (auto* dialog = qobject_cast<QDialog*>(widget)) {
        dialog->reject();
      } else {
        widget->close();
      }
    }
  });
}

void Runtime::handleMouseMove(int buttons, int shift, double x, double y) {
  mouseX_ = int(std::lround(x));
  mouseY_ = int(std::lround(y));
  if (onMouseMove) onMouseMove(buttons, shift, x, y);
}

void Runtime::handleButtonRelease(Qt::MouseButton button) { buttonsHeld_ &= ~int(button); }

void Runtime::processEventsOnce() {
  current_ = WindowMessage{};
  flushDirty();
  if (!windowExists()) return;
  if (queue_.empty()) {
    // Sleep until something happens; the wake timer bounds the wait.
    wake_->start(kWakeIntervalMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    wake_->stop();
  } else {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  if (windowGone_ || queue_.empty()) return;
  current_ = queue_.front();
  queue_.pop_front();
  if (current_.kind == MessageKind::LeftPress || current_.kind == MessageKind::RightPress) {
    // The press is acted on where it happened, even if the mouse has moved on since.
    const int button = current_.kind == MessageKind::LeftPress ? Qt::LeftButton : Qt::RightButton;
    handleMouseMove(button, 0, current_.x, current_.y);
  }
}

void Runtime::waitButtonsUp() {
  while (buttonsHeld_ != 0 && !windowGone_) waitForEvents();
}

void Runtime::waitForEvents() {
  flushDirty();
  wake_->start(kWakeIntervalMs);
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  wake_->stop();
}

void Runtime::consumeKeyRelease(int key) {
  // The release may already wait in the queue, or still be on its way.
  const auto queued = std::find_if(queue_.begin(), queue_.end(), [key](const WindowMessage& m) {
    return m.kind == MessageKind::KeyRelease && m.key == key;
  });
  if (queued != queue_.end()) {
    queue_.erase(queued);
  } else {
    swallowedReleases_.push_back(key);
  }
}

void Runtime::postQuit() {
  if (client_ != nullptr) QCoreApplication::postEvent(client_, new QEvent(QEvent::Type(kQuitEventType)));
}

// --- drawing state ------------------------------------------------------------------

QPainter& Runtime::painter() { return *painter_; }

void Runtime::setPen(QColor colour) { pen_ = colour; }
void Runtime::setFill(QColor colour) { fill_ = colour; }
void Runtime::setLineWidth(int width) { lineWidth_ = std::max(1, width); }
void Runtime::setLineStyleSolid() {}  // every line of the game is solid
void Runtime::setFillStyle(FillStyle style) { fillStyle_ = style; }
void Runtime::setRasterOp(RasterOp op) { rasterOp_ = op; }
void Runtime::setTextBackground(TextBackground mode) { textBackground_ = mode; }

void Runtime::markDirty(const QRect& rect) {
  if (!drawingToWindow()) return;
  // Collected here and handed to the window once per pass of the event pump: thousands
  // of small update requests per redraw would cost more than the drawing itself.
  dirty_ |= rect;
  // A sprite under new pixels must be drawn again when it is asked for.
  if (!standing_.empty())
    std::erase_if(standing_, [&rect](const StandingSprite& s) { return overlaps(s.area, rect); });
}

double Runtime::scale() const { return drawingToWindow() ? ratio_ : 1.0; }

void Runtime::fillLogical(const QRect& rect, QColor colour) { painter().fillRect(deviceRect(rect, scale()), colour); }

void Runtime::flushDirty() {
  if (client_ != nullptr && !dirty_.isEmpty()) client_->update(dirty_);
  dirty_ = QRect();
}

namespace {

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

void Runtime::line(int x1, int y1, int x2, int y2) {
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

void Runtime::box(int x1, int y1, int x2, int y2) {
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

void Runtime::filledBox(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (fillStyle_ == FillStyle::Solid) {
    ShapeMode mode(painter(), rasterOp_);
    fillLogical(QRect(QPoint(x1, y1), QPoint(x2, y2)), fill_);
  }
  box(x1, y1, x2, y2);
}

void Runtime::circle(int cx, int cy, int radius) {
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

bool Runtime::spriteStands(const QRect& area, const QImage* sprite) const {
  return std::any_of(standing_.begin(), standing_.end(),
                     [&](const StandingSprite& s) { return s.area == area && s.sprite == sprite; });
}

void Runtime::drawCircleShape(QPainter& p, QPointF centre, int radius) {
  // Without antialiasing: dots are drawn again after every cell, and blended edges
  // would darken with each pass.
  p.setPen(QPen(pen_, lineWidth_));
  p.setBrush(fillStyle_ == FillStyle::Solid ? QBrush(fill_) : QBrush(Qt::NoBrush));
  // Pixel (x, y) covers [x, x+1): the centre of the centre pixel is at +0.5.
  p.drawEllipse(centre, radius, radius);
  p.setBrush(Qt::NoBrush);
}

int Runtime::phase(int edge) const {
  return int(std::lround((edge * ratio_ - deviceEdge(edge, ratio_)) * kPhaseSteps));
}

const Runtime::CircleSprite& Runtime::circleSprite(int radius, const QRect& deviceArea, QPoint corner) {
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

void Runtime::pixel(int x, int y, QColor colour) {
  fillLogical(QRect(x, y, 1, 1), colour);
  markDirty(QRect(x, y, 1, 1));
}

int Runtime::textWidth(const QString& text) const {
  const RealisedFont& f = currentFont_;
  if (f.metrics.fixedPitch) return int(text.toUcs4().size()) * f.metrics.cellWidth;
  if (!cachesOn_ || f.id < 0) return QFontMetrics(f.font).horizontalAdvance(text);
  // Measuring shapes the text: the widths of the few texts the game draws are kept.
  if (textWidths_.size() >= kMaxStamps) textWidths_.clear();
  const auto [it, added] = textWidths_.try_emplace({f.id, text}, 0);
  if (added) it->second = QFontMetrics(f.font).horizontalAdvance(text);
  return it->second;
}

void Runtime::text(int x, int y, const QString& text) {
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

void Runtime::paintGlyphs(QPainter& p, const QTransform& transform, int x, int y, const QString& text,
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
bool Runtime::stampText(int x, int y, const QString& text, const QRect& cell) {
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
QRect Runtime::stampArea(int x, int y, const QString& text, const QRect& cell) const {
  const RealisedFont& f = currentFont_;
  if (f.metrics.fixedPitch) return deviceRect(cell, ratio_);
  const QRectF ink = QFontMetricsF(f.font).tightBoundingRect(text).translated(x, y + f.ascent);
  const QRect scaled = QTransform::fromScale(ratio_, ratio_).mapRect(ink).toAlignedRect();
  return scaled.adjusted(-2, -2, 2, 2);
}

// Drawn once over a margin of a colour far from the pen: a text whose ink reaches beyond
// its area is always drawn directly.
bool Runtime::inkStaysInside(int x, int y, const QString& text, const QRect& cell, const QRect& area) {
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
QImage Runtime::renderOver(int x, int y, const QString& text, const QRect& cell, const QImage& background,
                           QPoint deviceOrigin) {
  QImage canvas = background.copy();
  QPainter p(&canvas);
  const QTransform transform(ratio_, 0, 0, ratio_, -deviceOrigin.x(), -deviceOrigin.y());
  paintGlyphs(p, transform, x, y, text, deviceRect(cell, ratio_).translated(-deviceOrigin));
  p.end();
  return canvas;
}

bool Runtime::imageHolds(const QRect& deviceArea, const QImage& pixels) const {
  const size_t rowBytes = size_t(deviceArea.width()) * sizeof(QRgb);
  for (int row = 0; row < deviceArea.height(); ++row) {
    const uchar* line = image_.constScanLine(deviceArea.top() + row) + size_t(deviceArea.left()) * sizeof(QRgb);
    if (std::memcmp(line, pixels.constScanLine(row), rowBytes) != 0) return false;
  }
  return true;
}

// The client pixels that hold the device pixels of `deviceArea`.
QRect Runtime::logicalCover(const QRect& deviceArea) const {
  if (ratio_ == 1.0) return deviceArea;
  const auto down = [this](int d) { return int(std::floor(d / ratio_)); };
  return {QPoint(down(deviceArea.left()), down(deviceArea.top())),
          QPoint(down(deviceArea.right()), down(deviceArea.bottom()))};
}

// --- fonts ----------------------------------------------------------------------------

Runtime::RealisedFont Runtime::realise(const FontDescription& d) const {
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

FontHandle Runtime::createFont(const FontDescription& description) {
  fonts_.push_back(realise(description));
  fonts_.back().id = nextFontId_++;
  return FontHandle(fonts_.size() - 1);
}

void Runtime::selectFont(FontHandle font) {
  if (font >= 0 && font < int(fonts_.size())) currentFont_ = fonts_[size_t(font)];
}

void Runtime::selectSystemFont(const QString& face, double points) {
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

void Runtime::selectFontByPoints(const QString& face, double points) {
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

void Runtime::redirectDrawing(QPainter* target) {
  painter_ = target != nullptr ? target : windowPainter_.get();
}

bool Runtime::drawingToWindow() const { return painter_ == windowPainter_.get(); }

void Runtime::deleteFonts() { fonts_.clear(); }

FontMetrics Runtime::currentFontMetrics() const { return currentFont_.metrics; }

// --- screen images ---------------------------------------------------------------------

ImageHandle Runtime::captureImage(int x1, int y1, int x2, int y2) {
  const ImageHandle handle = nextImage_++;
  const QRect logical(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
  images_[handle] = {image_.copy(toDevice(logical)), logical};
  return handle;
}

void Runtime::drawImage(ImageHandle image, int x, int y) {
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

void Runtime::releaseImage(ImageHandle image) { images_.erase(image); }

// --- the label control ---------------------------------------------------------------------

void Runtime::createLabel(int x, int y, int width, int height, const QString& caption,
                          const QString& fontFace, double points, QColor background) {
  label_ = new QLabel(caption, client_);
  label_->setGeometry(x, y, width, height);
  QFont font(fontFace.toUpper() == "ARIAL" ? kSansFamily : fontFace);
  font.setPixelSize(int(std::lround(points * 96.0 / 72.0)));
  label_->setFont(font);
  QPalette colours = label_->palette();
  colours.setColor(QPalette::Window, background);
  colours.setColor(QPalette::WindowText, Qt::black);
  label_->setPalette(colours);
  label_->setAutoFillBackground(true);
  label_->show();
}

void Runtime::setLabelCaption(const QString& caption) {
  if (label_ == nullptr) return;
  if (QThread::currentThread() == label_->thread()) {
    // A caption set here outranks every caption another thread sent before it.
    ++captionEpoch_;
    label_->setText(caption);
  } else {
    // Posted by name: the caption is copied into the event by Qt, and the epoch tells the
    // user-interface thread whether it is still wanted when it arrives.
    QMetaObject::invokeMethod(captionSink_.get(), "applyCaption", Qt::QueuedConnection, Q_ARG(QString, caption),
                              Q_ARG(int, captionEpoch_.load()));
  }
}

void Runtime::applyQueuedCaption(const QString& caption, int epoch) {
  if (label_ != nullptr && epoch == captionEpoch_.load()) label_->setText(caption);
}

QString Runtime::labelCaption() const { return label_ != nullptr ? label_->text() : QString(); }

// --- menus ------------------------------------------------------------------------------------

Runtime::MenuHandle Runtime::createMenuBar() {
  const MenuHandle handle = nextMenu_++;
  menus_[handle] = new QMenuBar();
  return handle;
}

Runtime::MenuHandle Runtime::createPopupMenu() {
  const MenuHandle handle = nextMenu_++;
  menus_[handle] = new QMenu();
  return handle;
}

void Runtime::appendMenuItem(MenuHandle menu, int id, const QString& caption) {
  QWidget* widget = menus_.at(menu);
  auto* action = new QAction(caption, widget);
  action->setCheckable(true);
  action->setChecked(false);
  QObject::connect(action, &QAction::triggered, action, [this, id, action] {
    // Check marks follow the program's state only, never the click itself.
    action->setChecked(menuChecked(id));
    if (onMenuEvent) onMenuEvent(id);
  });
  widget->addAction(action);
  menuItems_[id] = action;
}

void Runtime::appendMenuSeparator(MenuHandle menu) {
  if (auto* popup = qobject_cast<QMenu*>(menus_.at(menu))) popup->addSeparator();
}

void Runtime::appendSubmenu(MenuHandle menu, MenuHandle submenu, const QString& caption) {
  auto* child = qobject_cast<QMenu*>(menus_.at(submenu));
  child->setTitle(caption);
  QWidget* parent = menus_.at(menu);
  child->setParent(parent, child->windowFlags());
  if (auto* bar = qobject_cast<QMenuBar*>(parent)) {
    bar->addMenu(child);
  } else {
    qobject_cast<QMenu*>(parent)->addMenu(child);
  }
}

void Runtime::setWindowMenu(MenuHandle bar) {
  auto* menuBar = qobject_cast<QMenuBar*>(menus_.at(bar));
  QWidget* oldBar = windowMenu_ != 0 ? menus_.at(windowMenu_) : nullptr;
  if (oldBar != nullptr && oldBar != menuBar) forgetMenusUnder(oldBar);
  window_->setMenuBar(menuBar);  // Qt destroys the bar attached before
  windowMenu_ = bar;
  window_->adjustSize();
  window_->setFixedSize(window_->sizeHint());
}

void Runtime::forgetMenusUnder(QObject* root) {
  const auto within = [root](QObject* object) {
    for (; object != nullptr; object = object->parent())
      if (object == root) return true;
    return false;
  };
  std::erase_if(menus_, [&](const auto& entry) { return within(entry.second); });
  std::erase_if(menuItems_, [&](const auto& entry) { return within(entry.second); });
}

void Runtime::setMenuCheck(int id, bool checked) {
  const auto it = menuItems_.find(id);
  if (it != menuItems_.end()) {
    it->second->setProperty("punktivoChecked", checked);
    it->second->setChecked(checked);
  }
}

bool Runtime::menuChecked(int id) const {
  const auto it = menuItems_.find(id);
  return it != menuItems_.end() && it->second->property("punktivoChecked").toBool();
}

void Runtime::setMenuEnabled(bool enabled) {
  menuEnabled_ = enabled;
  if (windowMenu_ == 0) return;
  QWidget* bar = menus_.at(windowMenu_);
  if (keptItems_.empty()) {
    bar->setEnabled(enabled);
    return;
  }
  // The bar stays usable for the kept items; every other title and item follows `enabled`.
  for (QAction* title : bar->actions()) {
    QMenu* menu = title->menu();
    if (menu == nullptr) continue;
    const QList<QAction*> items = menu->actions();
    const bool holdsKept = std::any_of(keptItems_.begin(), keptItems_.end(), [&](int id) {
      const auto it = menuItems_.find(id);
      return it != menuItems_.end() && items.contains(it->second);
    });
    // The menu itself, not its title action: Qt carries a menu's state over to its title.
    menu->setEnabled(enabled || holdsKept);
  }
  for (const auto& [id, action] : menuItems_) applyItemEnabled(id, action);
}

void Runtime::applyItemEnabled(int id, QAction* action) {
  const QVariant wanted = action->property("punktivoEnabled");
  const bool kept = std::find(keptItems_.begin(), keptItems_.end(), id) != keptItems_.end();
  action->setEnabled((!wanted.isValid() || wanted.toBool()) && (kept || menuEnabled_ || keptItems_.empty()));
}

bool Runtime::menuEnabled() const { return windowMenu_ != 0 && menuEnabled_; }

void Runtime::keepMenuItemEnabled(int id) {
  keptItems_.push_back(id);
  setMenuEnabled(menuEnabled_);
}

void Runtime::setMenuItemEnabled(int id, bool enabled) {
  const auto it = menuItems_.find(id);
  if (it == menuItems_.end()) return;
  it->second->setProperty("punktivoEnabled", enabled);
  applyItemEnabled(id, it->second);
}

bool Runtime::menuItemEnabled(int id) const {
  const auto it = menuItems_.find(id);
  if (it == menuItems_.end() || !it->second->isEnabled()) return false;
  return menuEnabled() || std::find(keptItems_.begin(), keptItems_.end(), id) != keptItems_.end();
}

void Runtime::postCommand(int id) {
  WindowMessage message;
  message.kind = MessageKind::Command;
  message.key = id;
  queue_.push_back(message);
}

QStringList Runtime::describeMenu(MenuHandle menu) const {
  QStringList items;
  const QWidget* widget = menus_.at(menu);
  for (QAction* action : widget->actions()) {
    if (action->isSeparator()) {
      items << "-";
    } else if (QMenu* sub = action->menu()) {
      items << ">" + sub->title();
      for (const auto& [handle, w] : menus_)
        if (w == sub) items << describeMenu(handle);
      items << "";
    } else {
      for (const auto& [id, item] : menuItems_)
        if (item == action) items << QString::number(id) + ":" + action->text();
    }
  }
  return items;
}

void Runtime::chooseMenuItem(int id) {
  const auto it = menuItems_.find(id);
  if (it == menuItems_.end() || !it->second->isEnabled()) return;
  const bool kept = std::find(keptItems_.begin(), keptItems_.end(), id) != keptItems_.end();
  if (menuEnabled() || kept) it->second->trigger();
}

// --- message boxes ---------------------------------------------------------------------------

int Runtime::messageBox(MessageIcon icon, const QString& text, const QString& buttons, int defaultButton) {
  MessageBoxRequest request{icon, text, buttons.split('|'), defaultButton};
  if (messageBoxResponder) return messageBoxResponder(request);
  QMessageBox box(window_.get());
  box.setWindowTitle(window_ ? window_->windowTitle() : QString());
  box.setText(text);
  switch (icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::None: break;
  }
  std::vector<QAbstractButton*> added;
  for (const QString& caption : request.buttons) added.push_back(box.addButton(caption, QMessageBox::AcceptRole));
  if (defaultButton >= 1 && defaultButton <= int(added.size()))
    box.setDefaultButton(static_cast<QPushButton*>(added[size_t(defaultButton - 1)]));
  // Escape or the close box answer with the last button ("&NEIN", "&OK").
  box.setEscapeButton(added.back());
  flushDirty();
  box.exec();
  refreshButtonsFromWindowSystem();
  const auto it = std::find(added.begin(), added.end(), box.clickedButton());
  return it == added.end() ? int(added.size()) : int(it - added.begin()) + 1;
}

// --- time, threads, pointer, sound ---------------------------------------------------------------

double Runtime::clock() const {
  if (clockSource) return clockSource();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - kClockEpoch).count();
}

QString Runtime::dateText() const {
  if (dateSource) return dateSource();
  return QDate::currentDate().toString("dd.MM.yyyy");
}

void Runtime::pause(int milliseconds) {
  // Let what was drawn reach the screen (no input is taken), then wait.
  flushDirty();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QThread::msleep(milliseconds);
}

std::thread Runtime::startThread(std::function<void()> body) { return std::thread(std::move(body)); }

void Runtime::setPointer(Pointer pointer) {
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (pointer == Pointer::Busy && !busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (pointer == Pointer::Normal) {
    while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  }
}

void Runtime::hidePointer() {
  if (pointerHidden_++ == 0 && client_ != nullptr) client_->setCursor(Qt::BlankCursor);
}

void Runtime::showPointer() {
  if (pointerHidden_ > 0 && --pointerHidden_ == 0 && client_ != nullptr) client_->unsetCursor();
}

void Runtime::beep() {
  if (beepsMuted_) return;
  ++beepCount_;
  QApplication::beep();
}

}  // namespace platform
