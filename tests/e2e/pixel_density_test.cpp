// At twice the pixel density the game draws at the screen's resolution, not an enlarged
// picture: lines two device pixels wide with nothing grey beside them, dots where the board
// puts them, smooth digits.
#include <gtest/gtest.h>

#include <set>

#include "engine/board_model.h"
#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

constexpr QRgb kBlack = 0xff000000U;
constexpr QRgb kWhite = 0xffffffffU;

TEST(PixelDensity, AtRatioTwoLinesDotsAndDigitsAreSharp) {
  GameOptions options;
  options.scaleFactor = 2;
  Game game(options);
  ASSERT_EQ(game.scale(), 2.0);
  const QImage board = game.grab(QRect(29, 45, 541, 541));
  ASSERT_EQ(board.width(), 1082);

  // The thin line between columns 1 and 2 (client x 89): device columns 120 and 121 of the
  // board black, 119 and 122 white, wherever no dot sits on it.
  punktivo::NullDisplay display;
  punktivo::BoardModel model(display);
  model.loadStartBoard();
  int lineRows = 0;
  for (int r = 1; r <= 9; ++r) {
    if (model.dotsRight[r][1] != 0) continue;
    for (int y = 2 * 60 * (r - 1) + 4; y < 2 * 60 * r - 4; ++y) {
      EXPECT_EQ(board.pixel(120, y), kBlack) << y;
      EXPECT_EQ(board.pixel(121, y), kBlack) << y;
      EXPECT_EQ(board.pixel(119, y), kWhite) << y;
      EXPECT_EQ(board.pixel(122, y), kWhite) << y;
      ++lineRows;
    }
  }
  EXPECT_GT(lineRows, 100);

  // Every dot at its place, scaled: its centre in its colour, white beyond its rim.
  int dots = 0;
  const auto expectDot = [&](uint8_t code, int cx, int cy) {
    if (code == 0) return;
    ++dots;
    const QRgb inside = code == 2 ? kBlack : kWhite;
    EXPECT_EQ(board.pixel(2 * cx, 2 * cy), inside) << cx << "," << cy;
    EXPECT_EQ(board.pixel(2 * cx + 10, 2 * cy), inside) << cx << "," << cy;
    EXPECT_EQ(board.pixel(2 * cx, 2 * cy + 14), kBlack) << "rim at " << cx << "," << cy;
  };
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      expectDot(model.dotsRight[r][c], 60 * c, 60 * (r - 1) + 30);
      expectDot(model.dotsDown[c][r], 60 * (c - 1) + 30, 60 * r);
    }
  }
  EXPECT_GT(dots, 40);

  // A digit: smooth edges (colours between blue and white), not blocks of 2 x 2.
  startSession(game);
  const QPoint cell = game.cellCentre(5, 5);
  game.click(cell.x(), cell.y());
  ASSERT_TRUE(waitUntil([&] { return game.grab(QRect(29 + 4 * 60 + 14, 45 + 4 * 60 + 14, 1, 1)).pixel(0, 0) == kBlack; }))
      << "no picker";
  game.tap("8");
  QImage digit;
  ASSERT_TRUE(waitUntil([&] {
    digit = game.grab(QRect(29 + 4 * 60 + 8, 45 + 4 * 60 + 4, 44, 52));
    return digit.pixel(0, 0) == kWhite && std::count(reinterpret_cast<const QRgb*>(digit.constBits()),
                                                     reinterpret_cast<const QRgb*>(digit.constBits()) +
                                                         digit.sizeInBytes() / 4,
                                                     0xff0000bcU) > 100;
  }));
  std::set<QRgb> shades;
  int unlikeNeighbours = 0;
  for (int y = 0; y < digit.height(); ++y) {
    for (int x = 0; x < digit.width(); ++x) {
      shades.insert(digit.pixel(x, y));
      if (x % 2 == 0 && digit.pixel(x, y) != digit.pixel(x + 1, y)) ++unlikeNeighbours;
    }
  }
  EXPECT_GT(shades.size(), 8u) << "no antialiased edges";
  EXPECT_GT(unlikeNeighbours, 20) << "pixels doubled";
  leaveSession(game);
}

}  // namespace
}  // namespace e2e
