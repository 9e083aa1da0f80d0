// Helpers of the printing tests: the pieces of the game that printing needs, pages held
// as images of a known resolution, and texts rendered independently for comparison.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <cmath>
#include <vector>

#include "app/printing.h"
#include "engine/board_model.h"
#include "engine/generator.h"
#include "engine/random.h"
#include "engine/solver.h"
#include "platform/runtime.h"
#include "render/drawing.h"
#include "storage/board_file.h"

namespace printtest {

// Remembers what the engine asked of the screen, and where the drawing went meanwhile.
struct RecordingDisplay final : punktivo::BoardDisplay {
  platform::Runtime* runtime = nullptr;
  int mainScreens = 0;
  int mainScreensWhilePrinting = 0;
  int otherCalls = 0;
  void drawPlayerCell(int, int, int) override { ++otherCalls; }
  void redrawBoard() override { ++otherCalls; }
  void drawDots() override { ++otherCalls; }
  void drawMainScreen() override {
    ++mainScreens;
    if (!runtime->drawingToWindow()) ++mainScreensWhilePrinting;
  }
  void drawCandidateMarks() override { ++otherCalls; }
  void endTimedGame() override {}
};

// The game's state as far as printing touches it, wired as the game wires it.
struct PrintRig {
  platform::Runtime runtime;
  render::Drawing drawing{runtime, runtime};
  punktivo::Settings settings;
  RecordingDisplay display;
  punktivo::BoardModel model{display};
  punktivo::Solver solver{model, settings};
  punktivo::SeededRandom random{runtime.randomSeed()};
  punktivo::Generator generator{model, settings, solver, random};
  punktivo::BoardFile boardFile{model, random};
  punktivo::Printing printing{runtime, drawing, model, settings, solver, generator, boardFile};
  // The play session's flags that reading a record resets.
  bool timedGame = true;
  int mistakeCount = 5;
  std::vector<bool> quietAtLoad;
  std::vector<platform::MessageBoxRequest> messages;

  PrintRig() {
    display.runtime = &runtime;
    drawing.initPalette();
    settings.fillLevelNames();
    boardFile.onLoadStart = [this] {
      timedGame = false;
      mistakeCount = 0;
      quietAtLoad.push_back(model.quietMode);
    };
    runtime.messageBoxResponder = [this](const platform::MessageBoxRequest& request) {
      messages.push_back(request);
      return 1;
    };
  }
};

// A white page of width x height pixels at `dpi` dots per inch.
inline QImage blankPage(int width, int height, int dpi) {
  QImage page(width, height, QImage::Format_Grayscale8);
  const int dotsPerMetre = int(std::lround(dpi / 0.0254));
  page.setDotsPerMeterX(dotsPerMetre);
  page.setDotsPerMeterY(dotsPerMetre);
  page.fill(Qt::white);
  return page;
}

inline bool dark(const QImage& page, int x, int y) { return qGray(page.pixel(x, y)) < 128; }
inline bool dark(const QImage& page, QPoint p) { return dark(page, p.x(), p.y()); }

inline int inkIn(const QImage& page, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const uchar* line = page.constScanLine(y);
    for (int x = area.left(); x <= area.right(); ++x) count += line[x] < 128;
  }
  return count;
}

// Where the digit of a cell may leave ink: inside the cell, clear of its lines and dots.
inline QRect digitWindow(const punktivo::GridLayout& g, int column, int row) {
  const int left = g.originX + (column - 1) * g.cellWidth;
  const int top = g.originY + (row - 1) * g.cellHeight;
  const int reach = int(std::ceil(g.dotRadius)) + 6;
  return QRect(QPoint(left + reach, top + reach), QPoint(left + g.cellWidth - reach, top + g.cellHeight - reach));
}

// `text` in the sans face at `points`, its character cell's top-left corner at `at`, on a
// white image covering `area` of a page of `dpi`: what the page should show there.
inline QImage expectedText(const QRect& area, QPoint at, double points, int dpi, const QString& text) {
  QImage image = blankPage(area.width(), area.height(), dpi);
  QFont font("Liberation Sans");
  font.setPixelSize(int(std::lround(points * dpi / 72.0)));
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const int ascent = QFontMetrics(font, &image).ascent();
  painter.drawText(at.x() - area.left(), at.y() + ascent - area.top(), text);
  painter.end();
  return image;
}

// Pixels of `area` of the page that differ from `expected` by more than a trace.
inline int differences(const QImage& page, const QRect& area, const QImage& expected) {
  int count = 0;
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x)
      count += std::abs(qGray(page.pixel(area.left() + x, area.top() + y)) - qGray(expected.pixel(x, y))) > 24;
  return count;
}

inline int countNonZero(const punktivo::Grid& grid) {
  int n = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) n += grid[r][c] != 0;
  return n;
}

}  // namespace printtest
