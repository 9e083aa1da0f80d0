// printBoard and printGames on pages of known size and resolution: geometry, lines, dots,
// digits, footers, and the puzzles printGames prepares in the model.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "engine/rules.h"
#include "support/print_support.h"
#include "support/working_folder.h"

namespace {

using punktivo::boardPageLayout;
using punktivo::gamesPageLayout;
using punktivo::GridLayout;
using namespace printtest;

// The example page: 8 x 11 inches at 600 dots per inch.
constexpr int kWidth = 4800, kHeight = 6600, kDpi = 600;

TEST(PrintLayout, ExamplePageOfFortyEightHundredBySixtySixHundred) {
  const GridLayout g = boardPageLayout(kWidth, kHeight);
  EXPECT_EQ(g.u, 60);
  EXPECT_EQ(g.v, 94);
  EXPECT_EQ(QPoint(g.originX, g.originY), QPoint(300, 282));
  EXPECT_EQ(QSize(g.cellWidth, g.cellHeight), QSize(480, 564));
  EXPECT_EQ(QPoint(g.footerX, g.footerY), QPoint(300, 5546));
  // 6.5u + (c-1)cw + u/2 + 7, 4v + (r-1)ch - v/3 + 3 with -31.33 rounded to -31.
  EXPECT_EQ(g.digitPosition(1, 1), QPoint(427, 348));
  EXPECT_EQ(g.digitPosition(9, 9), QPoint(427 + 8 * 480, 348 + 8 * 564));
  EXPECT_EQ(g.rightDotCentre(1, 1), QPoint(780, 564));
  EXPECT_EQ(g.downDotCentre(9, 8), QPoint(300 + 8 * 480 + 240, 282 + 8 * 564));
  EXPECT_DOUBLE_EQ(g.dotRadius, 72.0);

  // Four games two by two, 40u apart across and 32v down.
  const QPoint origins[4] = {{120, 282}, {2520, 282}, {120, 3290}, {2520, 3290}};
  for (int k = 0; k < 4; ++k) {
    const GridLayout game = gamesPageLayout(kWidth, kHeight, k);
    EXPECT_EQ(QPoint(game.originX, game.originY), origins[k]) << "game " << k;
    EXPECT_EQ(QSize(game.cellWidth, game.cellHeight), QSize(240, 282));
    EXPECT_EQ(QPoint(game.footerX, game.footerY), origins[k] + QPoint(0, 2867 - 282)) << "30.5v below the page top";
    EXPECT_EQ(game.digitPosition(1, 1), origins[k] + QPoint(60 + 7, 47 + 3));
    EXPECT_DOUBLE_EQ(game.dotRadius, 36.0);
  }
}

TEST(PrintLayout, FractionsRoundEachTermHalfToEven) {
  // u = 61, v = 95: 6.5u = 396.5 -> 396, u/2 = 30.5 -> 30, -v/3 = -31.67 -> -32.
  const GridLayout g = boardPageLayout(80 * 61 + 79, 70 * 95 + 69);
  EXPECT_EQ(g.u, 61);
  EXPECT_EQ(g.v, 95);
  EXPECT_EQ(g.digitPosition(1, 1), QPoint(396 + 30 + 7, 380 - 32 + 3));
  // 3.5v = 332.5 -> 332, 30.5v = 2897.5 -> 2898, ch/2 = 142.5 -> 142.
  const GridLayout game = gamesPageLayout(80 * 61, 70 * 95, 3);
  EXPECT_EQ(game.digitPosition(1, 1), QPoint(183 + 40 * 61 + 7, 332 + 32 * 95 + 3));
  EXPECT_EQ(game.footerY, 2898 + 32 * 95);
  EXPECT_EQ(game.rightDotCentre(1, 1).y(), game.originY + 142);
  EXPECT_EQ(game.downDotCentre(1, 1).x(), game.originX + 122);

  EXPECT_EQ(punktivo::roundHalfEven(2.5), 2);
  EXPECT_EQ(punktivo::roundHalfEven(3.5), 4);
  EXPECT_EQ(punktivo::roundHalfEven(-0.5), 0);
  EXPECT_EQ(punktivo::roundHalfEven(-1.5), -2);
  EXPECT_EQ(punktivo::roundHalfEven(-31.67), -32);
}

TEST(PrintLayout, FooterNamesTheLevelWithItsBlanks) {
  punktivo::Settings settings;
  settings.fillLevelNames();
  EXPECT_EQ(punktivo::footerText(settings, 30), "Schwierigkeitsgrad:   Leicht mit 30 Zahlen");
  settings.difficulty = 3;
  EXPECT_EQ(punktivo::footerText(settings, 0), "Schwierigkeitsgrad:  Extrem mit 0 Zahlen");
}

class PrintBoard : public ::testing::Test {
 protected:
  void print(int width, int height, int dpi) {
    page = blankPage(width, height, dpi);
    rig.printing.destination = platform::PrintDestination::intoDevice(&page);
    ASSERT_TRUE(rig.printing.printBoard());
    layout = boardPageLayout(width, height);
  }
  QPoint cellCorner(int column, int row) const {
    return {layout.originX + (column - 1) * layout.cellWidth, layout.originY + (row - 1) * layout.cellHeight};
  }

  PrintRig rig;
  QImage page;
  GridLayout layout;
};

TEST_F(PrintBoard, EmptyBoardPrintsGridDotsAndFooterWithNoNumbers) {
  rig.model.dotsRight[2][1] = punktivo::kWhiteDot;  // between (2, 1) and (2, 2)
  rig.model.dotsDown[4][5] = punktivo::kBlackDot;   // between (5, 4) and (6, 4)
  print(kWidth, kHeight, kDpi);

  // Cell lines 2 px wide at 300 + 480k (pixels e-1 .. e), box lines 10 px (e-5 .. e+4).
  const int y = 282 + 100;
  EXPECT_TRUE(dark(page, 779, y) && dark(page, 780, y));
  EXPECT_FALSE(dark(page, 778, y) || dark(page, 781, y));
  const int x = 300 + 100;
  EXPECT_TRUE(dark(page, x, 845) && dark(page, x, 846));
  EXPECT_FALSE(dark(page, x, 844) || dark(page, x, 847));
  for (const int e : {300, 1740, 3180, 4620}) {
    EXPECT_EQ(inkIn(page, QRect(e - 5, y, 10, 1)), 10) << "box line at x " << e;
    EXPECT_FALSE(dark(page, e - 6, y) || dark(page, e + 5, y)) << "box line at x " << e;
  }
  for (const int e : {282, 1974, 3666, 5358}) {
    EXPECT_EQ(inkIn(page, QRect(x, e - 5, 1, 10)), 10) << "box line at y " << e;
    EXPECT_FALSE(dark(page, x, e - 6) || dark(page, x, e + 5)) << "box line at y " << e;
  }
  EXPECT_EQ(inkIn(page, QRect(0, 0, kWidth, 276)), 0) << "nothing above the grid";

  // The white dot lies on a cell line: white inside, a black outline at radius 72.
  const QPoint white = layout.rightDotCentre(1, 2);
  EXPECT_EQ(white, QPoint(780, 1128));
  EXPECT_EQ(inkIn(page, QRect(white.x() - 66, white.y(), 133, 1)), 0) << "white inside, line covered";
  EXPECT_GT(inkIn(page, QRect(white.x() + 68, white.y(), 8, 1)), 0) << "outline right";
  EXPECT_GT(inkIn(page, QRect(white.x() - 75, white.y(), 8, 1)), 0) << "outline left";
  EXPECT_EQ(inkIn(page, QRect(white.x() + 78, white.y(), 20, 1)), 0);
  // The black dot lies on a horizontal cell line: solid black to radius 72.
  const QPoint black = layout.downDotCentre(4, 5);
  EXPECT_EQ(black, QPoint(1980, 3102));
  EXPECT_EQ(inkIn(page, QRect(black.x(), black.y() - 68, 1, 137)), 137);
  EXPECT_FALSE(dark(page, black.x(), black.y() - 80) || dark(page, black.x(), black.y() + 80));
  // Where there is no dot, only the line.
  const QPoint none = layout.rightDotCentre(1, 1);
  EXPECT_EQ(inkIn(page, QRect(none.x() + 1, none.y() - 40, 60, 80)), 0);

  for (int row = 1; row <= 9; ++row)
    for (int column = 1; column <= 9; ++column)
      EXPECT_EQ(inkIn(page, digitWindow(layout, column, row)), 0) << "cell " << row << "," << column;

  const QRect footer(300, 5546, 3500, 140);
  EXPECT_GT(inkIn(page, footer), 1000);
  EXPECT_EQ(differences(page, footer,
                        expectedText(footer, {300, 5546}, 12, kDpi, "Schwierigkeitsgrad:   Leicht mit 0 Zahlen")),
            0);
  EXPECT_EQ(inkIn(page, QRect(0, 5546 + 140, kWidth, kHeight - 5546 - 140)), 0) << "nothing below the footer";
}

TEST_F(PrintBoard, PlayerDigitsPrintLikeGivensButOnlyGivensAreCounted) {
  // An A4 page at 300 dpi: the fonts follow the printer's resolution.
  rig.settings.difficulty = 2;
  auto& m = rig.model;
  m.board[1][1] = m.givens[1][1] = 5;
  m.board[9][9] = m.givens[9][9] = 3;
  m.board[4][5] = m.givens[4][5] = 7;
  m.board[2][2] = 5;  // the player's
  m.board[5][4] = 7;
  print(2480, 3508, 300);
  ASSERT_EQ(layout.u, 31);
  ASSERT_EQ(layout.v, 50);

  for (int row = 1; row <= 9; ++row) {
    for (int column = 1; column <= 9; ++column) {
      const int ink = inkIn(page, digitWindow(layout, column, row));
      if (m.board[row][column] != 0) {
        EXPECT_GT(ink, 200) << "cell " << row << "," << column;
      } else {
        EXPECT_EQ(ink, 0) << "cell " << row << "," << column;
      }
    }
  }
  // Each digit is the face at 54 points, its cell's corner at the digit position.
  for (const QPoint cell : {QPoint(1, 1), QPoint(2, 2), QPoint(5, 4), QPoint(9, 9)}) {
    const int column = cell.x(), row = cell.y();
    const QRect area = digitWindow(layout, column, row);
    const QString digit = QString::number(m.board[row][column]);
    EXPECT_EQ(differences(page, area, expectedText(area, layout.digitPosition(column, row), 54, 300, digit)), 0)
        << "cell " << row << "," << column;
  }
  const QRect footer(layout.footerX, layout.footerY, 1300, 70);
  EXPECT_EQ(
      differences(page, footer,
                  expectedText(footer, {layout.footerX, layout.footerY}, 12, 300, "Schwierigkeitsgrad:  Schwer mit 3 Zahlen")),
      0);
}

TEST_F(PrintBoard, FullBoardKeepsEveryGridLineWhole) {
  // At 54 points a digit's character cell reaches below its cell on this page; only the
  // glyphs may be printed, not a background box over the line underneath.
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) rig.model.board[r][c] = uint8_t((3 * (r - 1) + (r - 1) / 3 + (c - 1)) % 9 + 1);
  print(kWidth, kHeight, kDpi);
  const int length = 9 * layout.cellWidth;
  for (int k = 0; k <= 9; ++k) {
    const int y = layout.originY + k * layout.cellHeight;
    EXPECT_EQ(inkIn(page, QRect(layout.originX, y - 1, length, 2)), 2 * length) << "line " << k;
  }
  for (int row = 1; row <= 9; ++row)
    for (int column = 1; column <= 9; ++column)
      EXPECT_GT(inkIn(page, digitWindow(layout, column, row)), 1000) << "cell " << row << "," << column;
  const QRect footer(layout.footerX, layout.footerY, 3500, 140);
  EXPECT_EQ(differences(page, footer,
                        expectedText(footer, {layout.footerX, layout.footerY}, 12, kDpi,
                                     "Schwierigkeitsgrad:   Leicht mit 0 Zahlen")),
            0)
      << "no givens among the 81 digits";
}

TEST_F(PrintBoard, LeavesTheModelAndScreenStateAsTheyWere) {
  auto& m = rig.model;
  m.loadStartBoard();
  m.board[3][3] = m.givens[3][3] = 8;
  const punktivo::Grid board = m.board, dotsRight = m.dotsRight, dotsDown = m.dotsDown;
  rig.runtime.setTextBackground(platform::TextBackground::Opaque);
  print(1600, 2200, 200);
  EXPECT_EQ(m.board, board);
  EXPECT_EQ(m.dotsRight, dotsRight);
  EXPECT_EQ(m.dotsDown, dotsDown);
  EXPECT_TRUE(rig.timedGame) << "printing the board reads no record";
  EXPECT_EQ(rig.display.mainScreens, 0);
  EXPECT_TRUE(rig.messages.empty());
  // The window is the drawing output again, in the default state, with the screen's font.
  EXPECT_TRUE(rig.runtime.drawingToWindow());
  EXPECT_EQ(rig.runtime.pen(), QColor(0, 0, 0));
  EXPECT_EQ(rig.runtime.lineWidth(), 1);
  EXPECT_EQ(rig.runtime.textBackground(), platform::TextBackground::Opaque);
  EXPECT_EQ(rig.runtime.currentFontMetrics().cellHeight, 12);
  rig.runtime.setFill(QColor(255, 0, 0));
  rig.runtime.filledBox(10, 10, 20, 20);
  EXPECT_EQ(rig.runtime.backingImage().pixelColor(15, 15), QColor(255, 0, 0));
}

// printGames from collections in a folder of the test's own.
class PrintGames : public ::testing::Test {
 protected:
  void SetUp() override {
    qunsetenv("PUNKTIVO_DATA_DIR");
  }

  void copyCollection(const QString& name) {
    ASSERT_TRUE(QFile::copy(QString(PUNKTIVO_SOURCE_DATA_DIR) + "/" + name, folder.filePath(name)));
  }
  // Givens of each record of a collection.
  std::vector<int> givenCounts(const std::string& name) {
    punktivo::NullDisplay quiet;
    punktivo::BoardModel scratch(quiet);
    scratch.quietMode = true;
    punktivo::SeededRandom random(1);
    punktivo::BoardFile file(scratch, random);
    file.boardFileName = name;
    std::vector<int> counts;
    for (int slot = 0; slot < 4; ++slot) {
      EXPECT_TRUE(file.loadBoardRecord(slot).loaded());
      counts.push_back(countNonZero(scratch.givens));
    }
    return counts;
  }
  void print() {
    rig.display.otherCalls = 0;
    page = blankPage(kWidth, kHeight, kDpi);
    rig.printing.destination = platform::PrintDestination::intoDevice(&page);
    ASSERT_TRUE(rig.printing.printGames());
  }
  int inkedCells(const GridLayout& g) {
    int cells = 0;
    for (int row = 1; row <= 9; ++row)
      for (int column = 1; column <= 9; ++column) cells += inkIn(page, digitWindow(g, column, row)) > 0;
    return cells;
  }
  // The count in the footer of game k, among the candidates; -1 when none matches.
  int footerCount(int k, const std::vector<int>& candidates) {
    const GridLayout g = gamesPageLayout(kWidth, kHeight, k);
    const QRect footer(g.footerX, g.footerY, 1900, 110);
    for (const int n : candidates)
      if (differences(page, footer,
                      expectedText(footer, {g.footerX, g.footerY}, 10, kDpi, punktivo::footerText(rig.settings, n))) ==
          0)
        return n;
    return -1;
  }
  // The dots of the model where game k shows them.
  void expectDotsOfModel(int k) {
    const GridLayout g = gamesPageLayout(kWidth, kHeight, k);
    const auto check = [&](uint8_t code, QPoint centre, QPoint aside, const char* where, int column, int row) {
      SCOPED_TRACE(::testing::Message() << where << " dot of " << row << "," << column);
      if (code == punktivo::kWhiteDot) {
        EXPECT_FALSE(dark(page, centre));
      } else if (code == punktivo::kBlackDot) {
        EXPECT_TRUE(dark(page, centre));
        EXPECT_TRUE(dark(page, centre + aside));
      } else {
        EXPECT_TRUE(dark(page, centre)) << "the cell line";
        EXPECT_FALSE(dark(page, centre + aside));
      }
    };
    for (int row = 1; row <= 9; ++row)
      for (int column = 1; column <= 8; ++column)
        check(rig.model.dotsRight[row][column], g.rightDotCentre(column, row), {20, 0}, "right", column, row);
    for (int column = 1; column <= 9; ++column)
      for (int row = 1; row <= 8; ++row)
        check(rig.model.dotsDown[column][row], g.downDotCentre(column, row), {0, 20}, "down", column, row);
  }

  punktivo::testing::WorkingFolder folder;
  PrintRig rig;
  QImage page;
};

TEST_F(PrintGames, FourGridsOfGivensEachWithItsFooterAndTheLastStaysInTheModel) {
  copyCollection("leicht.ptv");
  const std::vector<int> counts = givenCounts("leicht.ptv");
  rig.model.loadStartBoard();
  print();

  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(::testing::Message() << "game " << k);
    const GridLayout g = gamesPageLayout(kWidth, kHeight, k);
    // Box lines 8 px wide (e-4 .. e+3) around the grid, at its own corner.
    const int y = g.originY + 40;
    EXPECT_EQ(inkIn(page, QRect(g.originX - 4, y, 8, 1)), 8);
    EXPECT_FALSE(dark(page, g.originX - 5, y) || dark(page, g.originX + 4, y));
    EXPECT_EQ(inkIn(page, QRect(g.originX + 9 * 240 - 4, y, 8, 1)), 8);
    EXPECT_EQ(inkIn(page, QRect(g.originX + 40, g.originY - 4, 1, 8)), 8);
    EXPECT_FALSE(dark(page, g.originX + 40, g.originY - 5));
    // Cell lines 2 px wide.
    EXPECT_TRUE(dark(page, g.originX + 239, y) && dark(page, g.originX + 240, y));
    EXPECT_FALSE(dark(page, g.originX + 238, y) || dark(page, g.originX + 241, y));
    // Only the givens are printed (the model's board holds the whole solution), and the
    // footer under the grid counts them.
    const int footer = footerCount(k, counts);
    EXPECT_NE(footer, -1) << "a footer for one of the records";
    EXPECT_EQ(inkedCells(g), footer);
  }
  EXPECT_EQ(inkIn(page, QRect(0, 0, kWidth, 278)), 0) << "nothing above the grids";

  // The model holds the fourth game as prepared: a complete solution with its givens and
  // the dots of that solution, printed at the bottom right.
  auto& m = rig.model;
  EXPECT_TRUE(punktivo::isValidSolution(m.board));
  EXPECT_EQ(m.solution, m.board);
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      if (m.givens[r][c] != 0) {
        EXPECT_EQ(m.givens[r][c], m.board[r][c]);
      }
    }
  }
  punktivo::NullDisplay quiet;
  punktivo::BoardModel derived(quiet);
  derived.board = m.solution;
  punktivo::deriveDots(derived);
  EXPECT_EQ(m.dotsRight, derived.dotsRight);
  EXPECT_EQ(m.dotsDown, derived.dotsDown);
  const GridLayout last = gamesPageLayout(kWidth, kHeight, 3);
  for (int row = 1; row <= 9; ++row)
    for (int column = 1; column <= 9; ++column)
      EXPECT_EQ(inkIn(page, digitWindow(last, column, row)) > 0, m.givens[row][column] != 0)
          << "cell " << row << "," << column;
  expectDotsOfModel(3);
  EXPECT_EQ(footerCount(3, {countNonZero(m.givens)}), countNonZero(m.givens));

  // A record read quietly for each game (again when a disguise is not unique), each read
  // stopping the clock; the screen redrawn once, afterwards.
  EXPECT_GE(rig.quietAtLoad.size(), 4u);
  EXPECT_EQ(rig.quietAtLoad, std::vector<bool>(rig.quietAtLoad.size(), true));
  EXPECT_FALSE(m.quietMode);
  EXPECT_FALSE(rig.timedGame);
  EXPECT_EQ(rig.mistakeCount, 0);
  EXPECT_EQ(rig.display.otherCalls, 0);
  EXPECT_EQ(rig.display.mainScreens, 1);
  EXPECT_EQ(rig.display.mainScreensWhilePrinting, 0);
  EXPECT_TRUE(rig.messages.empty());
  EXPECT_EQ(rig.boardFile.boardFileName, "leicht.ptv");
}

TEST_F(PrintGames, ExtremeThinsOutTheGivens) {
  copyCollection("extrem.ptv");
  const std::vector<int> counts = givenCounts("extrem.ptv");
  rig.settings.difficulty = 3;
  print();
  auto& m = rig.model;
  const int givens = countNonZero(m.givens);
  EXPECT_LE(givens, *std::max_element(counts.begin(), counts.end()));
  // Only the givens stay on the board, and the solver finishes them.
  EXPECT_EQ(m.board, m.givens);
  EXPECT_EQ(punktivo::countSolutions(m.givens, m.dotsRight, m.dotsDown), 1);
  const GridLayout last = gamesPageLayout(kWidth, kHeight, 3);
  EXPECT_EQ(inkedCells(last), givens);
  EXPECT_EQ(footerCount(3, {givens}), givens);
  expectDotsOfModel(3);
  for (int k = 0; k < 3; ++k) {
    const int printed = inkedCells(gamesPageLayout(kWidth, kHeight, k));
    EXPECT_GT(printed, 0);
    EXPECT_EQ(footerCount(k, {printed}), printed) << "game " << k;
  }
}

TEST_F(PrintGames, EveryPrintedPuzzleHasOneSolution) {
  // A disguise re-derives the dots, and a few disguises are no longer unique; those must
  // not reach the paper. The fourth game stays in the model to be checked; a small page
  // keeps the many prints quick.
  for (int16_t level : {int16_t{3}, int16_t{2}}) {
    copyCollection(QString::fromLatin1(punktivo::collectionFileName(level)));
    rig.settings.difficulty = level;
    for (int round = 0; round < 250; ++round) {
      page = blankPage(480, 660, 30);
      rig.printing.destination = platform::PrintDestination::intoDevice(&page);
      ASSERT_TRUE(rig.printing.printGames());
      const auto& m = rig.model;
      ASSERT_EQ(punktivo::countSolutions(m.givens, m.dotsRight, m.dotsDown, 2), 1)
          << "level " << level << ", print " << round << ", seed " << rig.runtime.randomSeed();
    }
  }
}

// The digits a printed grid shows, read back by comparing each cell with the digits 1-9
// rendered independently at the layout's place; 0 for a cell without ink.
punktivo::Grid readDigits(const QImage& page, const GridLayout& g, int dpi) {
  const QRect first = digitWindow(g, 1, 1);
  std::array<QImage, 10> digits;
  for (int d = 1; d <= 9; ++d)
    digits[size_t(d)] = expectedText(first, g.digitPosition(1, 1), g.digitPoints, dpi, QString::number(d));
  punktivo::Grid read{};
  for (int row = 1; row <= 9; ++row)
    for (int column = 1; column <= 9; ++column) {
      const QRect window = digitWindow(g, column, row);
      if (inkIn(page, window) == 0) continue;
      int best = 0, fewest = window.width() * window.height();
      for (int d = 1; d <= 9; ++d) {
        const int differ = differences(page, window, digits[size_t(d)]);
        if (differ < fewest) {
          fewest = differ;
          best = d;
        }
      }
      read[row][column] = uint8_t(fewest == 0 ? best : 10);  // 10: ink that is no digit
    }
  return read;
}

// The dots a printed grid shows: white where the centre is light, black where it is dark and
// so is the paper beside it, none where only the cell line is there.
void readDots(const QImage& page, const GridLayout& g, punktivo::BoardModel& into) {
  const auto dot = [&](QPoint centre, QPoint aside) -> uint8_t {
    if (!dark(page, centre)) return punktivo::kWhiteDot;
    return dark(page, centre + aside) ? punktivo::kBlackDot : 0;
  };
  for (int row = 1; row <= 9; ++row)
    for (int column = 1; column <= 8; ++column)
      into.dotsRight[row][column] = dot(g.rightDotCentre(column, row), {g.dotRadius / 2 + 2, 0});
  for (int column = 1; column <= 9; ++column)
    for (int row = 1; row <= 8; ++row) into.dotsDown[column][row] = dot(g.downDotCentre(column, row), {0, g.dotRadius / 2 + 2});
}

bool headedWith(const QImage& page, const GridLayout& g, const QString& heading) {
  const QPoint at = punktivo::gameHeadingPosition(g);
  const QRect area(at, QSize(1500, 3 * g.v / 2));  // clear of the grid below
  return differences(page, area, expectedText(area, at, punktivo::kHeadingPoints, kDpi, heading)) == 0;
}

TEST_F(PrintGames, WithSolutionsTheSecondPageSolvesEachPuzzleUnderItsNumber) {
  copyCollection("leicht.ptv");
  page = blankPage(kWidth, kHeight, kDpi);
  QImage solutions = blankPage(kWidth, kHeight, kDpi);
  rig.printing.destination = platform::PrintDestination::intoDevices({&page, &solutions});
  ASSERT_TRUE(rig.printing.printGames(punktivo::Printing::kWithSolutions));
  EXPECT_TRUE(rig.messages.empty());
  EXPECT_EQ(rig.display.mainScreensWhilePrinting, 0);
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(::testing::Message() << "game " << k);
    const GridLayout puzzle = gamesPageLayout(kWidth, kHeight, k);
    const GridLayout solved = punktivo::solutionsPageLayout(kWidth, kHeight, k);
    EXPECT_TRUE(headedWith(page, puzzle, punktivo::gameHeading(k)));
    EXPECT_TRUE(headedWith(solutions, solved, punktivo::solutionHeading(k)));
    EXPECT_FALSE(headedWith(solutions, solved, punktivo::solutionHeading((k + 1) % 4)));
    const punktivo::Grid givens = readDigits(page, puzzle, kDpi);
    const punktivo::Grid solution = readDigits(solutions, solved, kDpi);
    ASSERT_TRUE(punktivo::isValidSolution(solution)) << "not a whole sudoku on the solutions page";
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (givens[r][c] != 0) {
          EXPECT_EQ(solution[r][c], givens[r][c]) << "given " << r << "," << c;
        }
    // The puzzle's dots (read from the first page) are the dots of that solution, and both
    // pages show the same dots: so it is the puzzle's one solution.
    punktivo::NullDisplay quiet;
    punktivo::BoardModel printedPuzzle(quiet), printedSolution(quiet), derived(quiet);
    readDots(page, puzzle, printedPuzzle);
    readDots(solutions, solved, printedSolution);
    derived.board = solution;
    punktivo::deriveDots(derived);
    EXPECT_EQ(printedPuzzle.dotsRight, derived.dotsRight);
    EXPECT_EQ(printedPuzzle.dotsDown, derived.dotsDown);
    EXPECT_EQ(printedSolution.dotsRight, derived.dotsRight);
    EXPECT_EQ(printedSolution.dotsDown, derived.dotsDown);
    EXPECT_EQ(punktivo::countSolutions(givens, derived.dotsRight, derived.dotsDown, 2), 1);
    if (k == 3) {
      EXPECT_EQ(solution, rig.model.solution);
    }
  }
}

TEST_F(PrintGames, WithSolutionsButOnlyOnePageTheJobFailsAndSaysSo) {
  copyCollection("leicht.ptv");
  print();  // the plain print on one page still works
  page = blankPage(kWidth, kHeight, kDpi);
  rig.printing.destination = platform::PrintDestination::intoDevice(&page);
  EXPECT_FALSE(rig.printing.printGames(punktivo::Printing::kWithSolutions));
  ASSERT_EQ(rig.messages.size(), 1u);
  EXPECT_EQ(rig.messages[0].text, "Druckerfehler!");
  EXPECT_TRUE(rig.runtime.drawingToWindow());
}

TEST_F(PrintGames, MissingCollectionPrintsTheBoardInTheModelAgain) {
  // No collection anywhere: each game is the model's board, disguised afresh.
  auto& m = rig.model;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      m.board[r][c] = uint8_t((3 * (r - 1) + (r - 1) / 3 + (c - 1)) % 9 + 1);
      if ((r + 2 * c) % 3 == 0) m.givens[r][c] = m.board[r][c];
    }
  const int givens = countNonZero(m.givens);
  ASSERT_TRUE(punktivo::isValidSolution(m.board));
  print();
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(inkedCells(gamesPageLayout(kWidth, kHeight, k)), givens) << "game " << k;
    EXPECT_EQ(footerCount(k, {givens}), givens) << "game " << k;
  }
  EXPECT_EQ(countNonZero(m.givens), givens);
  EXPECT_TRUE(punktivo::isValidSolution(m.board));
  EXPECT_TRUE(rig.messages.empty()) << "a missing collection is not a printer error";
  EXPECT_EQ(rig.display.mainScreens, 1);
}

}  // namespace
