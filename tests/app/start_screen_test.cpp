// What the player sees right after start-up, checked pixel by pixel.
#include <gtest/gtest.h>

#include <string>

#include "engine/board_model.h"
#include "support/gui_support.h"

using guitest::pixelAt;
using guitest::rgb;

namespace {

const QColor kBackground = rgb(180, 201, 208);
const QColor kWhite = rgb(255, 255, 255);
const QColor kDarkGrey = rgb(64, 64, 64);
const QColor kBlack = rgb(0, 0, 0);
const QColor kRed = rgb(255, 0, 0);

bool isDark(QColor c) { return c.red() < 110 && c.green() < 110 && c.blue() < 110; }

class StartScreen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { started_ = new guitest::StartedGame; }
  static void TearDownTestSuite() {
    delete started_;
    started_ = nullptr;
  }
  const QImage& image() const { return started_->image(); }
  static guitest::StartedGame* started_;
};
guitest::StartedGame* StartScreen::started_ = nullptr;

TEST_F(StartScreen, WindowHasFixedClientAreaAndTitle) {
  QWidget* window = started_->runtime.mainWindowWidget();
  QWidget* client = started_->runtime.clientWidget();
  EXPECT_EQ(window->windowTitle(), "Punktivo V1.0");
  EXPECT_EQ(client->size(), QSize(862, 694));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the window must not be resizable";
  EXPECT_EQ(image().size(), QSize(862, 694));
}

TEST_F(StartScreen, BackgroundAndRaisedFramesThreePixelsThick) {
  EXPECT_EQ(pixelAt(image(), 5, 5), kBackground);
  EXPECT_EQ(pixelAt(image(), 590, 100), kBackground);
  // Bottom bar (0, 651)-(862, 674), raised, width 2.
  for (int y = 651; y <= 653; ++y) EXPECT_EQ(pixelAt(image(), 400, y), kWhite) << y;
  EXPECT_EQ(pixelAt(image(), 400, 654), kBackground);
  for (int y = 672; y <= 674; ++y) EXPECT_EQ(pixelAt(image(), 400, y), kDarkGrey) << y;
  EXPECT_EQ(pixelAt(image(), 400, 671), kBackground);
  // Board panel (20, 16)-(577, 634): left edge white, right edge dark grey.
  for (int x = 20; x <= 22; ++x) EXPECT_EQ(pixelAt(image(), x, 300), kWhite) << x;
  EXPECT_EQ(pixelAt(image(), 23, 300), kBackground);
  for (int x = 575; x <= 577; ++x) EXPECT_EQ(pixelAt(image(), x, 300), kDarkGrey) << x;
  // Statistics panel (603, 200)-(837, 278), raised: top three rows white.
  for (int y = 200; y <= 202; ++y) EXPECT_EQ(pixelAt(image(), 610, y), kWhite) << y;
  EXPECT_EQ(pixelAt(image(), 610, 203), kBackground);
}

TEST_F(StartScreen, SunkenButtonBarIsTwoPixelsThick) {
  // (28, 595)-(570, 626): two dark grey lines at the top, two white at the bottom.
  EXPECT_EQ(pixelAt(image(), 300, 595), kDarkGrey);
  EXPECT_EQ(pixelAt(image(), 300, 596), kDarkGrey);
  EXPECT_EQ(pixelAt(image(), 300, 597), kBackground);
  EXPECT_EQ(pixelAt(image(), 300, 626), kWhite);
  EXPECT_EQ(pixelAt(image(), 300, 625), kWhite);
  EXPECT_EQ(pixelAt(image(), 300, 624), kBackground);
}

TEST_F(StartScreen, GridHasBlackCellLinesAndRedTwoPixelBoxLines) {
  for (int x : {29, 209, 389, 569}) {
    EXPECT_EQ(pixelAt(image(), x, 100), kRed) << x;
    EXPECT_EQ(pixelAt(image(), x - 1, 100), kRed) << x;
  }
  for (int y : {45, 225, 405, 585}) {
    EXPECT_EQ(pixelAt(image(), 130, y), kRed) << y;
    EXPECT_EQ(pixelAt(image(), 130, y - 1), kRed) << y;
  }
  for (int x : {89, 149, 269, 329, 449, 509}) {
    EXPECT_EQ(pixelAt(image(), x, 160), kBlack) << x;
    EXPECT_EQ(pixelAt(image(), x + 1, 160), kWhite) << x;
    EXPECT_EQ(pixelAt(image(), x - 1, 160), kWhite) << x;
  }
  // Cell interiors are white, right up to the box lines.
  EXPECT_EQ(pixelAt(image(), 30, 46), kWhite);
  EXPECT_EQ(pixelAt(image(), 207, 223), kWhite);
  EXPECT_EQ(pixelAt(image(), 210, 226), kWhite);
  EXPECT_EQ(pixelAt(image(), 567, 583), kWhite);
}

TEST_F(StartScreen, EveryStartBoardDotIsDrawnWithItsFill) {
  punktivo::NullDisplay none;
  punktivo::BoardModel reference(none);
  reference.loadStartBoard();
  int dots = 0;
  auto check = [&](uint8_t code, int cx, int cy, const char* where, int r, int c) {
    SCOPED_TRACE(testing::Message() << where << " r" << r << " c" << c);
    // Beside the centre, still inside a dot: the dot's fill, or the white cell.
    const QColor inside = pixelAt(image(), cx + 3, cy + 3);
    // On the outline (radius 7) of a dot, inside a cell and off the grid lines.
    const bool across = std::string(where) == "right";
    const QColor rim = across ? pixelAt(image(), cx + 7, cy - 1) : pixelAt(image(), cx + 1, cy + 7);
    if (code == 0) {
      EXPECT_EQ(inside, kWhite);
      EXPECT_EQ(rim, kWhite);
      return;
    }
    ++dots;
    EXPECT_EQ(inside, code == 1 ? kWhite : kBlack);
    EXPECT_EQ(pixelAt(image(), cx, cy), code == 1 ? kWhite : kBlack);
    EXPECT_TRUE(isDark(rim)) << rim.name().toStdString();
  };
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 8; ++c) check(reference.dotsRight[r][c], 29 + 60 * c, 75 + 60 * (r - 1), "right", r, c);
  for (int c = 1; c <= 9; ++c)
    for (int r = 1; r <= 8; ++r) check(reference.dotsDown[c][r], 59 + 60 * (c - 1), 45 + 60 * r, "down", r, c);
  EXPECT_EQ(dots, 47);  // 29 across, 18 down
}

TEST_F(StartScreen, ClockLabelAndHelpText) {
  EXPECT_EQ(started_->runtime.labelCaption(), " 99:99:99");
  EXPECT_EQ(started_->game.panels().helpText, "Bitte Menupunkt auswählen!");
  // The hint is 26 characters of the 8-px text font at (616, 515): ink inside that
  // field and nowhere to its right.
  const QImage& img = image();
  int firstInk = -1, lastInk = -1;
  for (int x = 612; x < 830; ++x)
    for (int y = 515; y < 527; ++y)
      if (isDark(pixelAt(img, x, y))) {
        if (firstInk < 0) firstInk = x;
        lastInk = x;
      }
  EXPECT_GE(firstInk, 616);
  EXPECT_LE(firstInk, 620);
  EXPECT_LT(lastInk, 616 + 26 * 8);
  EXPECT_GT(lastInk, 616 + 25 * 8);
}

TEST_F(StartScreen, ClockLabelSitsInTheTimerPanel) {
  const QImage shown = started_->runtime.grabClient();
  // White label background at (646, 592)-(805, 621), black digits inside.
  EXPECT_EQ(pixelAt(shown, 648, 594), kWhite);
  bool ink = false;
  for (int x = 650; x < 800 && !ink; ++x)
    for (int y = 595; y < 620 && !ink; ++y) ink = isDark(pixelAt(shown, x, y));
  EXPECT_TRUE(ink);
}

TEST_F(StartScreen, RepaintCopiesTheBackingImage) {
  // What the window shows after a repaint (covering, restoring) is the backing image.
  started_->runtime.clientWidget()->repaint();
  const QImage shown = started_->runtime.grabClient();
  const QRect board(20, 16, 560, 620);
  EXPECT_EQ(shown.copy(board), image().copy(board));
}

TEST(WindowPosition, CentredOnTheClientAreaHalvesToEven) {
  EXPECT_EQ(app::computeWindowPosition(QSize(862, 694)), QPoint(0, -32));
  EXPECT_EQ(app::computeWindowPosition(QSize(1920, 1080)), QPoint(529, 161));
  EXPECT_EQ(app::computeWindowPosition(QSize(800, 600)), QPoint(-31, -79));
  // Halves round to even: 0.5 -> 0, 1.5 -> 2, -0.5 -> -0.
  EXPECT_EQ(app::computeWindowPosition(QSize(863, 695)).x(), 0);
  EXPECT_EQ(app::computeWindowPosition(QSize(865, 697)), QPoint(2, -30));
}

}  // namespace
