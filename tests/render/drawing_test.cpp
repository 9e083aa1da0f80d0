// Frames and push buttons: sizes by caption, hot-key letters where the caption says.
#include <gtest/gtest.h>

#include "support/gui_support.h"
#include "render/drawing.h"

#include <QPainter>

using guitest::pixelAt;
using guitest::rgb;

namespace {

const QColor kBackground = rgb(180, 201, 208);

class Drawing : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime.openWindow(0, 0, 862, 723, "drawing");
    runtime.setClientSize(862, 694);
    drawing.initPalette();
    runtime.clearClient(kBackground);
  }
  const QImage& image() { return runtime.backingImage(); }
  // x of the rightmost black pixel of the outline in row y, right of x0.
  int rightOutline(int x0, int y) {
    int last = -1;
    for (int x = x0; x < 862; ++x)
      if (pixelAt(image(), x, y) == rgb(0, 0, 0)) last = x;
    return last;
  }
  // Columns holding pixels of the hot-key colour (dark red core of the glyph).
  std::pair<int, int> hotLetterColumns(int x0, int x1, int y0, int y1) {
    int first = -1, last = -1;
    for (int x = x0; x <= x1; ++x)
      for (int y = y0; y <= y1; ++y) {
        const QColor c = pixelAt(image(), x, y);
        if (c.red() > 90 && c.green() < 60 && c.blue() < 60) {
          if (first < 0) first = x;
          last = x;
        }
      }
    return {first, last};
  }
  platform::Runtime runtime;
  render::Drawing drawing{runtime, runtime};
};

TEST_F(Drawing, RaisedFrameIsThreeAndSunkenTwoPixelsThick) {
  drawing.drawFrame(0, 2, 100, 100, 200, 150);
  drawing.drawFrame(1, 2, 300, 100, 400, 150);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(pixelAt(image(), 150, 100 + i), rgb(255, 255, 255)) << i;
    EXPECT_EQ(pixelAt(image(), 150, 150 - i), rgb(64, 64, 64)) << i;
  }
  EXPECT_EQ(pixelAt(image(), 150, 103), kBackground);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(pixelAt(image(), 300 + i, 125), rgb(64, 64, 64)) << i;
    EXPECT_EQ(pixelAt(image(), 400 - i, 125), rgb(255, 255, 255)) << i;
  }
  EXPECT_EQ(pixelAt(image(), 302, 125), kBackground);
  EXPECT_EQ(pixelAt(image(), 398, 125), kBackground);
}

TEST_F(Drawing, ButtonWidthIsEightPixelsPerCharacterPlusTwenty) {
  struct Case {
    const char* caption;
    int width;
  };
  const Case cases[] = {{" _Laden ", 76}, {" _Sichern ", 92}, {" _Neustart ", 100}, {"Ok", 28}, {"Ok_", 36}};
  int y = 20;
  for (const Case& c : cases) {
    drawing.drawButton(0, 100, y, c.caption);
    // The black outline runs from x - 1 to x + w.
    EXPECT_EQ(pixelAt(image(), 99, y + 13), rgb(0, 0, 0)) << c.caption;
    EXPECT_EQ(rightOutline(100, y + 13), 100 + c.width) << c.caption;
    y += 40;
  }
}

TEST_F(Drawing, HotLetterLandsOnTheBlankLeftByTheUnderscore) {
  // " _Laden ": text from x + 10, the letter in the second character cell.
  drawing.drawButton(0, 30, 598, " _Laden ");
  const auto [first, last] = hotLetterColumns(30, 120, 598, 624);
  ASSERT_GE(first, 0) << "no hot letter drawn";
  EXPECT_GE(first, 30 + 18 - 1);
  EXPECT_LE(last, 30 + 18 + 8);
}

TEST_F(Drawing, LeadingUnderscorePutsTheLetterOnePixelLeft) {
  drawing.drawButton(0, 200, 300, "_Ok");
  const auto [first, last] = hotLetterColumns(200, 260, 300, 326);
  ASSERT_GE(first, 0);
  EXPECT_GE(first, 200 + 10 - 1 - 1);
  EXPECT_LE(last, 200 + 10 - 1 + 8);
}

TEST_F(Drawing, CaptionsWithoutOrEndingInUnderscoreHaveNoHotLetter) {
  drawing.drawButton(0, 100, 100, " Abbruch ");
  drawing.drawButton(0, 100, 200, "Ok_");
  EXPECT_EQ(hotLetterColumns(90, 300, 95, 130).first, -1);
  EXPECT_EQ(hotLetterColumns(90, 300, 195, 230).first, -1);
  // Text starts 6 px right of the left edge (its coloured copy one pixel further left).
  int firstInk = -1;
  for (int x = 101; x < 200 && firstInk < 0; ++x)
    for (int y = 104; y < 124; ++y)
      if (pixelAt(image(), x, y).lightness() < 80) {
        firstInk = x;
        break;
      }
  EXPECT_GE(firstInk, 100 + 6 - 1);
  EXPECT_LE(firstInk, 100 + 6 + 8);  // the first character is a blank
}

TEST_F(Drawing, PressedButtonSwapsTheFrameColours) {
  drawing.drawButton(1, 100, 100, " _Hilfe ");
  EXPECT_EQ(pixelAt(image(), 100, 110), rgb(64, 64, 64));
  EXPECT_EQ(pixelAt(image(), 101, 110), rgb(64, 64, 64));
  EXPECT_EQ(pixelAt(image(), 175, 110), rgb(255, 255, 255));
}

TEST_F(Drawing, CircleSpritesMatchCirclesDrawnDirectly) {
  // The window copies dots from cached sprites; any other output draws them. Both must
  // give the same pixels, for every fill and pen the game uses.
  QImage direct(862, 694, QImage::Format_RGB32);
  direct.fill(kBackground);
  struct Dot {
    QColor pen, fill;
    platform::FillStyle style;
    int radius, width;
  };
  const Dot dots[] = {{rgb(0, 0, 0), rgb(255, 255, 255), platform::FillStyle::Solid, 7, 1},
                      {rgb(0, 0, 0), rgb(0, 0, 0), platform::FillStyle::Solid, 7, 1},
                      {rgb(255, 0, 0), rgb(0, 0, 255), platform::FillStyle::Hollow, 12, 2},
                      {rgb(0, 0, 0), rgb(255, 255, 255), platform::FillStyle::Solid, 3, 1}};
  const auto drawAll = [&] {
    int x = 40;
    for (const Dot& d : dots) {
      runtime.setPen(d.pen);
      runtime.setFill(d.fill);
      runtime.setFillStyle(d.style);
      runtime.setLineWidth(d.width);
      runtime.circle(x, 300, d.radius);
      runtime.circle(x + 5, 303, d.radius);  // overlapping: drawn twice where they meet
      x += 60;
    }
    runtime.setLineWidth(1);
    runtime.setFillStyle(platform::FillStyle::Solid);
  };
  drawAll();
  QPainter other(&direct);
  runtime.redirectDrawing(&other);
  drawAll();
  runtime.redirectDrawing(nullptr);
  other.end();
  const QRect area(0, 270, 300, 60);
  EXPECT_EQ(image().copy(area), direct.copy(area));
  bool ink = false;
  for (int x = 30; x < 60; ++x) ink = ink || pixelAt(image(), x, 300) == rgb(0, 0, 0);
  EXPECT_TRUE(ink);
}

TEST_F(Drawing, OpaqueTextCoversWholeCellsOfTheTextFont) {
  drawing.selectFont(render::kFontText);
  runtime.setPen(drawing.palette(render::kBlack));
  runtime.setFill(drawing.palette(render::kWhite));
  runtime.setTextBackground(platform::TextBackground::Opaque);
  runtime.text(100, 400, "Falsche Zahl! ");
  runtime.text(100, 400, "ab");
  // "ab" covers two 8 x 12 cells; the longer text's tail stands.
  EXPECT_EQ(pixelAt(image(), 100, 400), rgb(255, 255, 255));
  EXPECT_EQ(pixelAt(image(), 115, 411), rgb(255, 255, 255));
  EXPECT_EQ(pixelAt(image(), 100 + 14 * 8 - 1, 411), rgb(255, 255, 255));
  EXPECT_EQ(pixelAt(image(), 100 + 14 * 8, 405), kBackground);
  EXPECT_EQ(pixelAt(image(), 100, 412), kBackground);
  bool tail = false;
  for (int x = 116; x < 100 + 13 * 8; ++x)
    for (int y = 400; y < 412; ++y) tail = tail || pixelAt(image(), x, y).lightness() < 100;
  EXPECT_TRUE(tail);
}

}  // namespace
