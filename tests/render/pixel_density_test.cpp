// The picture at the screen's device pixel ratio: run at ratio 1 and, through
// QT_SCALE_FACTOR, at 1.5 and 2. Client geometry is scaled, lines snap to whole device
// pixels without seams, and the caches give exactly the pixels of plain drawing.
#include <gtest/gtest.h>

#include <QPainter>

#include "support/gui_support.h"

using guitest::rgb;

namespace {

const QColor kWhite = rgb(255, 255, 255);
const QColor kBlack = rgb(0, 0, 0);
const QColor kRed = rgb(255, 0, 0);

// Empty when the pictures agree, else where they first differ.
std::string difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "sizes differ";
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y))
        return "device pixel " + std::to_string(x) + "," + std::to_string(y) + ": " +
               a.pixelColor(x, y).name().toStdString() + " / " + b.pixelColor(x, y).name().toStdString();
  return {};
}

double expectedRatio() {
  const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
  return factor.isEmpty() ? 1.0 : factor.toDouble();
}

// A game with digits right and wrong, givens, candidates and the start board's dots.
struct BusyGame : guitest::StartedGame {
  explicit BusyGame(bool caches) {
    runtime.setDrawingCaches(caches);
    auto& m = game.model();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        m.solution[r][c] = uint8_t(guitest::kStartSolution[r - 1][c - 1]);
        if ((r + 2 * c) % 5 == 0) m.givens[r][c] = m.solution[r][c];
        if ((r * c) % 4 == 1) m.board[r][c] = uint8_t(m.solution[r][c] % 9 + 1);  // wrong: red
        if ((r + c) % 4 == 0) m.board[r][c] = m.solution[r][c];
        if (m.givens[r][c] != 0) m.board[r][c] = m.givens[r][c];
        for (int d = 1; d <= 9; ++d) m.candidates[r][c][d] = (r + c + d) % 3 == 0;
      }
    game.panels().updateDifficultyPanel();
    game.screen().redrawBoard();  // with the candidate marks
  }
  void openPicker(int column, int row, int digit) {
    auto& in = game.input();
    in.pickerOpen = true;
    in.pickerColumn = int16_t(column);
    in.pickerRow = int16_t(row);
    in.pickerX = int16_t(29 + 60 * (column - 1) - 16);
    in.pickerY = int16_t(45 + 60 * (row - 1) - 16);
    in.pickerDigit = int16_t(digit);
    game.cells().drawPicker(column, row);
  }
  void closePicker() {
    auto& in = game.input();
    runtime.drawImage(in.pickerBackground, in.pickerX, in.pickerY);
    runtime.releaseImage(in.pickerBackground);
    in.backgroundHeld = false;
    in.pickerOpen = false;
  }
};

TEST(PixelDensity, BackingImageHasTheScreensDevicePixels) {
  guitest::StartedGame g;
  const double ratio = expectedRatio();
  EXPECT_EQ(g.runtime.devicePixelRatio(), ratio);
  EXPECT_EQ(g.image().size(), QSize(int(std::floor(862 * ratio + 0.5)), int(std::floor(694 * ratio + 0.5))));
  EXPECT_EQ(g.runtime.clientWidget()->size(), QSize(862, 694)) << "the client area keeps its size";
  // What the window shows is the picture, pixel for pixel.
  const QImage shown = g.runtime.grabClient();
  const QRect board = g.runtime.toDevice(QRect(20, 16, 560, 620));
  EXPECT_EQ(shown.copy(board), g.image().copy(board));
}

TEST(PixelDensity, CachedDrawingGivesThePixelsOfPlainDrawing) {
  BusyGame cached(true), plain(false);
  EXPECT_EQ(difference(cached.image(), plain.image()), "");
  for (BusyGame* g : {&cached, &plain}) {
    g->game.view().drawPlayerCell(3, 3, 7);
    g->game.view().drawPlayerCell(4, 6, 0);
    g->game.screen().redrawBoard();
  }
  EXPECT_EQ(difference(cached.image(), plain.image()), "");
  const QRect board = cached.runtime.toDevice(QRect(20, 16, 560, 620));
  const QImage beforePicker = cached.image().copy(board);
  for (BusyGame* g : {&cached, &plain}) {
    g->openPicker(5, 4, 2);
    g->openPicker(5, 4, 8);  // moved highlight: drawn again over itself
  }
  EXPECT_EQ(difference(cached.image(), plain.image()), "");
  for (BusyGame* g : {&cached, &plain}) g->closePicker();
  EXPECT_EQ(difference(cached.image(), plain.image()), "");
  EXPECT_EQ(difference(cached.image().copy(board), beforePicker), "") << "the picker's background comes back whole";
}

TEST(PixelDensity, LinesAreWholeDevicePixelsWithoutSeams) {
  guitest::StartedGame g;
  platform::Runtime& rt = g.runtime;
  auto& cells = g.game.view();
  // Digits everywhere, then every cell erased: nothing of them may stay between the lines.
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 9; ++r) cells.drawPlayerCell(c, r, 8);
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 9; ++r) cells.drawPlayerCell(c, r, 0);
  const QImage& img = g.image();
  const int y = rt.toDevice(115);  // through row 2, clear of dots
  const auto colourAt = [&](int x) { return img.pixelColor(x, y); };
  for (int x = rt.toDevice(28); x < rt.toDevice(570); ++x) {
    const QColor c = colourAt(x);
    EXPECT_TRUE(c == kWhite || c == kBlack || c == kRed) << "device x " << x << ": " << c.name().toStdString();
  }
  for (int line : {89, 149, 269, 329, 449, 509}) {
    for (int x = rt.toDevice(line); x < rt.toDevice(line + 1); ++x) EXPECT_EQ(colourAt(x), kBlack) << line;
    EXPECT_EQ(colourAt(rt.toDevice(line) - 1), kWhite) << line;
    EXPECT_EQ(colourAt(rt.toDevice(line + 1)), kWhite) << line;
  }
  for (int line : {209, 389}) {  // 2 px red box lines at line - 1 and line
    for (int x = rt.toDevice(line - 1); x < rt.toDevice(line + 1); ++x) EXPECT_EQ(colourAt(x), kRed) << line;
    EXPECT_EQ(colourAt(rt.toDevice(line - 1) - 1), kWhite) << line;
    EXPECT_EQ(colourAt(rt.toDevice(line + 1)), kWhite) << line;
  }
}

TEST(PixelDensity, DotsSitAtTheirScaledCentres) {
  guitest::StartedGame g;
  const double ratio = g.runtime.devicePixelRatio();
  const auto& m = g.game.model();
  int dots = 0;
  const auto check = [&](uint8_t code, int cx, int cy) {
    if (code == 0) return;
    ++dots;
    const double centreX = (cx + 0.5) * ratio, centreY = (cy + 0.5) * ratio;
    const QColor fill = code == 1 ? kWhite : kBlack;
    EXPECT_EQ(g.image().pixelColor(int(centreX), int(centreY)), fill) << cx << "," << cy;
    // The outline crosses the row below the centre between radius 6.5 and 7.5 (scaled).
    bool outline = false;
    for (int x = int(centreX + 6.5 * ratio); x <= int(centreX + 7.5 * ratio); ++x)
      outline = outline || g.image().pixelColor(x, int(centreY) + 1) == kBlack;
    EXPECT_TRUE(outline) << cx << "," << cy;
  };
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 8; ++c) check(m.dotsRight[r][c], 29 + 60 * c, 75 + 60 * (r - 1));
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 8; ++r) check(m.dotsDown[c][r], 59 + 60 * (c - 1), 45 + 60 * r);
  EXPECT_EQ(dots, 47);
}

TEST(PixelDensity, DigitsAreDrawnAtFullResolution) {
  guitest::StartedGame g;
  const double ratio = g.runtime.devicePixelRatio();
  if (ratio < 2) GTEST_SKIP() << "needs two or more device pixels per client pixel";
  g.game.view().drawPlayerCell(1, 1, 8);
  // The digit of cell (1, 1): its edges are antialiased on device pixels, not blown-up
  // client pixels (which would make every aligned 2 x 2 block one colour).
  const QRect digit = g.runtime.toDevice(QRect(35, 50, 45, 50));
  int steppedBlocks = 0, greys = 0;
  for (int y = digit.top() & ~1; y < digit.bottom(); y += 2)
    for (int x = digit.left() & ~1; x < digit.right(); x += 2) {
      const QRgb a = g.image().pixel(x, y);
      if (a != g.image().pixel(x + 1, y) || a != g.image().pixel(x, y + 1)) ++steppedBlocks;
      const QColor c = g.image().pixelColor(x, y);
      if (c != kWhite && c != rgb(0, 0, 188)) ++greys;
    }
  EXPECT_GT(steppedBlocks, 20);
  EXPECT_GT(greys, 20);
}

TEST(PixelDensity, AnotherRatioDrawsTheWholeScreenAnew) {
  BusyGame g(true);
  g.game.buttonRowShown = true;
  for (int i = 0; i < 6; ++i) app::drawSessionButton(g.game, i, false);
  g.openPicker(7, 2, 5);
  // The board with its buttons and the panels but the help text, which the picker wrote
  // over a longer one whose tail a fresh drawing does not bring back.
  const auto shown = [](const BusyGame& game) {
    const QRect board = game.runtime.toDevice(QRect(20, 16, 558, 619));
    const QRect panels = game.runtime.toDevice(QRect(603, 200, 235, 263));
    return std::pair(game.image().copy(board), game.image().copy(panels));
  };
  const auto before = shown(g);
  const int mistakes = g.game.game().mistakeCount;
  const int beeps = g.runtime.beepCount();
  const double ratio = g.runtime.devicePixelRatio();
  const QSize originalSize = g.image().size();
  g.runtime.setDevicePixelRatio(ratio == 2 ? 1.5 : 2);
  EXPECT_NE(g.image().size(), originalSize);
  g.runtime.setDevicePixelRatio(ratio);
  EXPECT_EQ(difference(shown(g).first, before.first), "");
  EXPECT_EQ(difference(shown(g).second, before.second), "");
  EXPECT_EQ(g.game.game().mistakeCount, mistakes) << "drawing anew counts no mistake";
  EXPECT_EQ(g.runtime.beepCount(), beeps);
  // The picker's background was taken again at this ratio: closing it leaves the board.
  g.closePicker();
  BusyGame reference(true);
  reference.game.buttonRowShown = true;
  for (int i = 0; i < 6; ++i) app::drawSessionButton(reference.game, i, false);
  EXPECT_EQ(difference(shown(g).first, shown(reference).first), "");
}

}  // namespace
