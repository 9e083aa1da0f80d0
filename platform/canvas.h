// The canvas of the runtime: the backing image of the client area at its device pixel
// ratio, the drawing state, shapes, text, fonts and screen images, and their caches.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QTransform>

#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

class QPainter;

namespace platform {

struct WindowState;

enum class TextBackground { Transparent = 1, Opaque = 2 };
enum class RasterOp { Copy = 13, Merge = 15 };
enum class FillStyle { Solid, Hollow };

using FontHandle = int;
using ImageHandle = int;

struct FontDescription {
  int height = 0;  // character cell height in pixels
  int width = 0;   // average character width in pixels
  int weight = 400;
  bool fixedPitch = false;
  QString face;
};

// The metrics of a realised font: where its glyphs land within the character cell.
struct FontMetrics {
  int cellHeight = 0;
  int cellWidth = 0;  // advance per character for fixed-pitch faces, average otherwise
  bool fixedPitch = false;
};

class Canvas {
 public:
  static constexpr int kClientWidth = 862;
  static constexpr int kClientHeight = 694;

  explicit Canvas(WindowState& window);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void clearClient(QColor colour);
  // The picture of the client area in device pixels (the logical client size times the
  // device pixel ratio); every drawing call paints into it.
  const QImage& backingImage() const { return image_; }
  // Device pixels per client pixel of the screen the window is on (1, 1.25, 1.5, 2, 3).
  double devicePixelRatio() const { return ratio_; }
  // Redraws the backing image at another ratio: the old picture is scaled into it for the
  // moment and onDevicePixelRatioChanged asks the game to draw everything anew. The window
  // calls it when it moves to a screen of another ratio.
  void setDevicePixelRatio(double ratio);
  std::function<void()> onDevicePixelRatioChanged;
  // Where a client pixel edge lies in the backing image (see deviceEdge in canvas.cpp).
  int toDevice(int edge) const;
  QRect toDevice(const QRect& rect) const;
  // The caches of the window output (glyph stamps, dots left standing). On by default;
  // the benchmark switches them off to measure the plain path beside them.
  void setDrawingCaches(bool on);
  bool drawingCaches() const { return cachesOn_; }
  // The client area as a person sees it, child controls (the clock label) included.
  QImage grabClient();

  // --- drawing state ----------------------------------------------------------
  void setPen(QColor colour);
  void setFill(QColor colour);
  void setLineWidth(int width);
  void setLineStyleSolid();
  void setFillStyle(FillStyle style);
  void setRasterOp(RasterOp op);
  void setTextBackground(TextBackground mode);
  QColor pen() const { return pen_; }
  QColor fill() const { return fill_; }
  int lineWidth() const { return lineWidth_; }
  TextBackground textBackground() const { return textBackground_; }

  // --- shapes and text (client pixels; corners inclusive) -------------------
  // A line from (x1, y1) up to, not including, (x2, y2).
  void line(int x1, int y1, int x2, int y2);
  void box(int x1, int y1, int x2, int y2);        // outline in the pen colour
  void filledBox(int x1, int y1, int x2, int y2);  // outline in pen, inside in fill
  void circle(int cx, int cy, int radius);         // outline in pen, inside in fill
  void pixel(int x, int y, QColor colour);
  // Text with the top-left corner of its first character cell at (x, y).
  void text(int x, int y, const QString& text);
  int textWidth(const QString& text) const;

  // --- fonts ------------------------------------------------------------------
  FontHandle createFont(const FontDescription& description);
  void selectFont(FontHandle font);
  void selectSystemFont(const QString& face, double points);
  // A face by name ("Arial" and the like) at a size in points on the current output.
  void selectFontByPoints(const QString& face, double points);
  void deleteFonts();
  FontMetrics currentFontMetrics() const;

  // --- drawing output ---------------------------------------------------------------
  // Sends every drawing call to `target` (a painter on a printer page, owned by the
  // caller) until redirectDrawing(nullptr) brings the output back to the window.
  void redirectDrawing(QPainter* target);
  bool drawingToWindow() const;

  // --- screen images -----------------------------------------------------------
  ImageHandle captureImage(int x1, int y1, int x2, int y2);
  void drawImage(ImageHandle image, int x, int y);
  void releaseImage(ImageHandle image);

  // Used by the window classes.
  // Follows the ratio of the window's screen, later (from a paint or screen-change event).
  void followScreenLater();
  void paintClient(QPainter& painter, const QRect& rect);

 protected:
  // The client area takes a new size in client pixels; the picture keeps its top-left part.
  void resizeClient(QSize logical);
  // The window opened on a screen of this ratio: nothing is drawn yet, so the picture
  // simply starts at it.
  void startAtRatio(double ratio);

 private:
  struct RealisedFont {
    QFont font;
    FontMetrics metrics;
    int ascent = 0;
    int glyphOffset = 0;  // fixed pitch: where a glyph starts inside its cell
    int id = -1;          // created and system fonts: a key of the glyph stamps
  };
  // A circle rasterised once, for one look and one sub-pixel phase of its corner.
  struct SpriteKey {
    int radius, lineWidth;
    QRgb pen, fill;
    bool solid;
    int phaseX, phaseY, width, height;
    auto operator<=>(const SpriteKey&) const = default;
  };
  struct CircleSprite {
    QImage pixels;
    bool binary = false;  // every pixel opaque or clear: drawing it twice changes nothing
  };
  // A sprite copied into the window whose pixels nothing has touched since.
  struct StandingSprite {
    QRect area;  // client pixels
    const QImage* sprite;
  };
  // A text rendered once over a plain background, copied from then on.
  struct StampKey {
    int font;
    QString text;
    QRgb pen;
    int phaseX, phaseY;
    bool operator<(const StampKey& other) const {
      return std::tie(font, pen, phaseX, phaseY) != std::tie(other.font, other.pen, other.phaseX, other.phaseY)
                 ? std::tie(font, pen, phaseX, phaseY) < std::tie(other.font, other.pen, other.phaseX, other.phaseY)
                 : text < other.text;
    }
  };
  // The text over one background it was drawn on: the pixels of its area before and after.
  struct StampVariant {
    QImage before, after;
  };
  struct Stamp {
    QRect area;           // device pixels around the ink, relative to the text's device origin
    bool usable = false;  // false when the ink reached beyond the area
    std::vector<StampVariant> variants;
  };
  struct CapturedImage {
    QImage pixels;   // device pixels
    QRect logical;   // the client rectangle it was taken from
  };
  RealisedFont realise(const FontDescription& description) const;
  void markDirty(const QRect& rect);
  void drawCircleShape(QPainter& painter, QPointF centre, int radius);
  const CircleSprite& circleSprite(int radius, const QRect& deviceArea, QPoint corner);
  bool spriteStands(const QRect& area, const QImage* sprite) const;
  void fillLogical(const QRect& rect, QColor colour);
  double scale() const;
  void paintGlyphs(QPainter& p, const QTransform& transform, int x, int y, const QString& text,
                   const QRect& deviceClip);
  bool stampText(int x, int y, const QString& text, const QRect& cell);
  QRect stampArea(int x, int y, const QString& text, const QRect& cell) const;
  bool inkStaysInside(int x, int y, const QString& text, const QRect& cell, const QRect& area);
  QImage renderOver(int x, int y, const QString& text, const QRect& cell, const QImage& background,
                    QPoint deviceOrigin);
  QRect logicalCover(const QRect& deviceArea) const;
  int phase(int edge) const;
  bool imageHolds(const QRect& deviceArea, const QImage& pixels) const;
  void rebuildImage(QSize logical, double ratio, bool scaleOld);
  void forgetCaches();
  QPainter& painter();

  WindowState& window_;
  QImage image_;
  std::unique_ptr<QPainter> windowPainter_;  // draws into image_
  QPainter* painter_ = nullptr;              // where drawing goes now: windowPainter_ or the printer's

  QColor pen_{0, 0, 0};
  QColor fill_{255, 255, 255};
  int lineWidth_ = 1;
  FillStyle fillStyle_ = FillStyle::Solid;
  RasterOp rasterOp_ = RasterOp::Copy;
  TextBackground textBackground_ = TextBackground::Opaque;

  std::vector<RealisedFont> fonts_;
  RealisedFont currentFont_;
  std::map<QString, RealisedFont> systemFonts_;
  int nextFontId_ = 0;

  double ratio_ = 1.0;
  QSize logicalSize_{kClientWidth, kClientHeight};
  std::map<ImageHandle, CapturedImage> images_;
  ImageHandle nextImage_ = 1;
  std::map<SpriteKey, CircleSprite> circleSprites_;
  std::vector<StandingSprite> standing_;
  std::map<StampKey, Stamp> stamps_;
  mutable std::map<std::pair<int, QString>, int> textWidths_;
  bool cachesOn_ = true;
  bool ratioCheckPending_ = false;
};

}  // namespace platform
