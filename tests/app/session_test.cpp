// The menu and a play session driven by genuine posted input: picker, digits,
// candidates, mistakes, leaving, and the exit question.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "in_loop.h"
#include "support/gui_support.h"

using guitest::pixelAt;
using guitest::rgb;

namespace {

using guitest::cellCentre;
using guitest::pickerSquare;


// Colour that dominates the ink of a cell's digit: red, blue, black or none.
QString inkOf(const QImage& image, int column, int row) {
  int red = 0, blue = 0, black = 0;
  const int x0 = 29 + 60 * (column - 1) + 11, y0 = 45 + 60 * (row - 1) + 8;
  for (int x = x0; x < x0 + 36; ++x)
    for (int y = y0; y < y0 + 44; ++y) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++red;
      else if (c.blue() > 120 && c.red() < 80 && c.green() < 80) ++blue;
      else if (c.lightness() < 60) ++black;
    }
  if (red > 40) return "red";
  if (blue > 40) return "blue";
  if (black > 40) return "black";
  return "none";
}

class Session : public ::testing::Test {
 protected:
  void SetUp() override {
    started.runtime.messageBoxResponder = [this](const platform::MessageBoxRequest& request) {
      asked.push_back(request.text);
      return answer;
    };
    auto& m = model();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) m.solution[r][c] = uint8_t(guitest::kStartSolution[r - 1][c - 1]);
    m.board[1][1] = m.givens[1][1] = 4;
    m.board[9][9] = m.givens[9][9] = 4;
    started.game.screen().redrawBoard();
  }
  void TearDown() override { started.runtime.postQuit(); }

  punktivo::BoardModel& model() { return started.game.model(); }
  QWidget* client() { return started.runtime.clientWidget(); }
  void click(Qt::MouseButton button, QPoint p) { guitest::postClick(client(), button, p.x(), p.y()); }
  void type(int qtKey, const QString& text) { guitest::postTyped(client(), qtKey, text); }
  void release(int qtKey) { guitest::postKeyStroke(client(), qtKey); }
  // Runs a menu command; the posted input drives it. A quit behind the script makes sure
  // nothing waits forever if the script does not end the session.
  void choose(int id) {
    started.runtime.chooseMenuItem(id);
  }
  void when(const std::function<bool()>& holds, const std::function<void()>& action) {
    guitest::whenInLoop(client(), holds, action);
  }
  // A cell's tint, read inside its top-left corner where no digit, mark or dot reaches.
  QColor tintOf(int column, int row) { return pixelAt(started.image(), 29 + 60 * (column - 1) + 3, 45 + 60 * (row - 1) + 3); }

  guitest::StartedGame started;
  int answer = 2;
  QStringList asked;
};

TEST_F(Session, DigitsEnteredByClickAndByTypingAreJudgedAgainstTheSolution) {
  click(Qt::LeftButton, cellCentre(2, 1));
  click(Qt::LeftButton, pickerSquare(2, 1, 1));  // right digit
  click(Qt::LeftButton, cellCentre(3, 1));
  type(Qt::Key_7, "7");                          // wrong digit (2 is right)
  release(Qt::Key_Escape);
  choose(10);
  EXPECT_EQ(model().board[1][2], 1);
  EXPECT_EQ(model().board[1][3], 7);
  EXPECT_EQ(inkOf(started.image(), 2, 1), "blue");
  EXPECT_EQ(inkOf(started.image(), 3, 1), "red");
  EXPECT_EQ(inkOf(started.image(), 1, 1), "black");
  EXPECT_EQ(started.game.game().mistakeCount, 1);
  EXPECT_EQ(started.game.panels().statusMessage, "Falsche Zahl! ");
  EXPECT_TRUE(started.runtime.windowExists());
  // The common ending ran: hint back, buttons wiped, menu usable again.
  EXPECT_EQ(started.game.panels().helpText, "Bitte Menupunkt auswählen!");
  EXPECT_EQ(pixelAt(started.image(), 35, 610), rgb(180, 201, 208));
  EXPECT_TRUE(started.runtime.menuEnabled());
}

TEST_F(Session, RightButtonClearsAFilledCellAndNotesCandidatesInAnEmptyOne) {
  model().board[5][5] = 5;
  click(Qt::RightButton, cellCentre(5, 5));        // filled: emptied at once
  click(Qt::RightButton, cellCentre(4, 4));        // empty: candidate picker
  click(Qt::LeftButton, pickerSquare(4, 4, 3));
  click(Qt::RightButton, cellCentre(6, 4));        // another candidate picker ...
  type(Qt::Key_8, "8");                            // ... marks 8
  click(Qt::RightButton, cellCentre(1, 1));        // a given: nothing
  release(Qt::Key_Escape);
  choose(10);
  EXPECT_EQ(model().board[5][5], 0);
  EXPECT_EQ(inkOf(started.image(), 5, 5), "none");
  EXPECT_TRUE(model().candidates[4][4][3]);
  EXPECT_TRUE(model().candidates[4][6][8]);
  int marks = 0;
  for (int d = 1; d <= 9; ++d) marks += model().candidates[4][4][d] + model().candidates[4][6][d];
  EXPECT_EQ(marks, 2);
  EXPECT_EQ(model().board[1][1], 4);
  EXPECT_EQ(model().givens[1][1], 4);
  // The mark 3 is drawn in the top right of cell (4, 4).
  bool ink = false;
  for (int x = 29 + 180 + 5 + 38; x < 29 + 180 + 5 + 38 + 12; ++x)
    for (int y = 45 + 180 + 2; y < 45 + 180 + 18; ++y) ink = ink || started.image().pixelColor(x, y).lightness() < 90;
  EXPECT_TRUE(ink);
}

TEST_F(Session, FNotesEveryCandidateEverywhereAndCTakesThemAllAway) {
  const auto notes = [this] {
    int count = 0;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        for (int d = 1; d <= 9; ++d) count += model().candidates[r][c][d];
    return count;
  };
  release(Qt::Key_F);
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(notes(), 9 * 9 * 9);
  release(Qt::Key_C);
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(notes(), 0);
}

TEST_F(Session, EscapeInThePickerClearsTheCellButDoesNotLeaveTheSession) {
  model().board[2][2] = 8;
  click(Qt::LeftButton, cellCentre(2, 2));
  type(Qt::Key_Escape, QString(QChar(27)));  // picker: clears the cell, no more
  click(Qt::LeftButton, cellCentre(3, 2));
  type(Qt::Key_9, "9");                      // still in the session: enters 9
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(model().board[2][2], 0);
  EXPECT_EQ(model().board[2][3], 9);
}

TEST_F(Session, ThePickerLeavesNoTraceAtTheBoardsCorner) {
  // Column 1, row 2: the picker reaches out over the frame (x from 13).
  const QRect picker(13, 89, 91, 91);
  const QImage before = started.image().copy(picker);
  click(Qt::LeftButton, cellCentre(1, 2));
  guitest::postMove(client(), pickerSquare(1, 2, 9).x(), pickerSquare(1, 2, 9).y());
  click(Qt::RightButton, QPoint(700, 100));  // right click far away: closes, cell stays empty
  release(Qt::Key_Escape);
  choose(10);
  const QImage after = started.image().copy(picker);
  for (int y = 0; y < after.height(); ++y)
    for (int x = 0; x < after.width(); ++x)
      if (after.pixel(x, y) != before.pixel(x, y))
        ADD_FAILURE() << "differs at " << x + 13 << "," << y + 89 << " " << qPrintable(QColor(after.pixel(x, y)).name()) << " was " << qPrintable(QColor(before.pixel(x, y)).name());
}

TEST_F(Session, TheAbortButtonLeavesTheSessionFromTheLastPixelOfItsRange) {
  click(Qt::LeftButton, QPoint(613, 610));  // right of the button row: nothing
  click(Qt::LeftButton, QPoint(540, 624));  // below it: nothing
  click(Qt::LeftButton, cellCentre(4, 5));
  type(Qt::Key_6, "6");
  click(Qt::LeftButton, QPoint(612, 623));  // " _Abbruch ", the last of the six buttons, at 612 and 623
  click(Qt::LeftButton, cellCentre(5, 5));  // then no session is left to open a picker
  type(Qt::Key_6, "6");
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(model().board[5][4], 6);
  EXPECT_EQ(model().board[5][5], 0);
}

TEST_F(Session, ALeftClickOutsideThePickerIsIgnored) {
  click(Qt::LeftButton, cellCentre(5, 5));
  click(Qt::LeftButton, cellCentre(9, 5));   // outside the picker: nothing
  type(Qt::Key_6, "6");
  release(Qt::Key_Escape);
  choose(10);
  EXPECT_EQ(model().board[5][5], 6);
  EXPECT_EQ(model().board[5][9], 0);
}

TEST_F(Session, RefusingTheExitQuestionKeepsTheRunningSession) {
  click(Qt::LeftButton, cellCentre(4, 1));
  type(Qt::Key_5, "5");
  QCoreApplication::postEvent(started.runtime.mainWindowWidget(), new QCloseEvent);
  click(Qt::LeftButton, cellCentre(5, 1));
  type(Qt::Key_8, "8");
  release(Qt::Key_Escape);
  answer = 2;  // "&NEIN"
  choose(10);
  ASSERT_EQ(asked, QStringList{"Spiel beenden?"});
  EXPECT_TRUE(started.runtime.windowExists());
  EXPECT_EQ(model().board[1][4], 5);
  EXPECT_EQ(model().board[1][5], 8);
}

TEST_F(Session, ConfirmingTheExitInsideASessionEndsEveryLoop) {
  answer = 1;  // "&JA"
  release(Qt::Key_N);
  QCoreApplication::postEvent(started.runtime.mainWindowWidget(), new QCloseEvent);
  choose(10);  // returns although the script never aborts the session
  EXPECT_EQ(asked, QStringList{"Spiel beenden?"});
  EXPECT_FALSE(started.runtime.windowExists());
}

TEST_F(Session, ConfirmedExitWhileTimedWithThePickerOpenEndsCleanly) {
  answer = 1;
  started.game.game().timedGame = true;  // the session starts the clock thread
  started.game.timer().startTiming();
  click(Qt::LeftButton, cellCentre(3, 3));  // the picker opens and waits
  QCoreApplication::postEvent(started.runtime.mainWindowWidget(), new QCloseEvent);
  choose(10);
  EXPECT_FALSE(started.runtime.windowExists());
  EXPECT_FALSE(started.game.game().timedGame);
  started.game.shutDown();
  EXPECT_FALSE(started.game.timer().clockThreadRunning());
  EXPECT_FALSE(started.game.input().pickerOpen);
}

TEST_F(Session, ConfirmedExitWhileTheRecordDialogIsOpenEndsCleanly) {
  answer = 1;
  started.game.boardDialog().onShown = [this](platform::Form&) {
    QCoreApplication::postEvent(started.runtime.mainWindowWidget(), new QCloseEvent);
  };
  release(Qt::Key_L);
  choose(10);
  EXPECT_EQ(asked, QStringList{"Spiel beenden?"});
  EXPECT_FALSE(started.runtime.windowExists());
}

TEST_F(Session, AWrongDigitCountsOnceHoweverOftenTheBoardIsRedrawn) {
  auto& game = started.game.game();
  game.timedGame = true;
  started.game.timer().startTiming();
  started.game.timer().refreshClock();  // the running time; " 99:99:99" only once the game ends
  click(Qt::LeftButton, cellCentre(3, 1));
  type(Qt::Key_7, "7");  // wrong: 2 is right
  for (const int key : {Qt::Key_C, Qt::Key_C, Qt::Key_F}) release(key);
  release(Qt::Key_A);  // leaves without touching the clock label
  choose(10);
  EXPECT_EQ(game.mistakeCount, 1);
  EXPECT_NE(started.runtime.labelCaption(), " 99:99:99") << "the timed game went on";
  EXPECT_EQ(inkOf(started.image(), 3, 1), "red");
  // M (which ends the timing itself) redraws twice more; the digit stays red, uncounted.
  for (const int key : {Qt::Key_M, Qt::Key_M, Qt::Key_A}) release(key);
  choose(10);
  EXPECT_EQ(game.mistakeCount, 1);
  EXPECT_EQ(inkOf(started.image(), 3, 1), "red");
  // A second wrong entry counts again.
  click(Qt::LeftButton, cellCentre(3, 1));
  type(Qt::Key_8, "8");
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(game.mistakeCount, 2);
}

TEST_F(Session, TheThirdMistakeEndsATimedGameNotTheSecond) {
  auto& game = started.game.game();
  game.timedGame = true;
  started.game.timer().startTiming();
  started.game.timer().refreshClock();
  const auto enterWrongDigitInColumn = [this](int column) {
    const int wrong = model().solution[1][column] % 9 + 1;
    click(Qt::LeftButton, cellCentre(column, 1));
    type(Qt::Key_0 + wrong, QString::number(wrong));
  };
  enterWrongDigitInColumn(2);  // its solution is 1: judged like any other
  enterWrongDigitInColumn(3);
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(game.mistakeCount, 2);
  EXPECT_NE(started.runtime.labelCaption(), " 99:99:99") << "the clock ran on";
  // The menu command's end stops the timing; the game goes on timed, as in one session.
  game.timedGame = true;
  enterWrongDigitInColumn(4);
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(game.mistakeCount, 3);
  EXPECT_EQ(started.runtime.labelCaption(), " 99:99:99");
}

TEST_F(Session, ADigitKeyAtTheCursorEntersTheDigitAndWithShiftNotesIt) {
  // Home and PgUp show the cursor and take it to the top left; the right arrow to (2, 1).
  for (const int key : {Qt::Key_Home, Qt::Key_PageUp, Qt::Key_Home, Qt::Key_Right}) release(key);
  type(Qt::Key_5, "5");
  QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier));
  QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier));
  QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyPress, Qt::Key_6, Qt::ShiftModifier, "6"));
  QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_6, Qt::ShiftModifier, "6"));
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(model().board[1][2], 5);
  EXPECT_FALSE(model().candidates[1][2][5]);
  EXPECT_EQ(model().board[1][3], 0);
  EXPECT_TRUE(model().candidates[1][3][6]);
}

TEST_F(Session, AClickTakesTheShownCursorAlongToTheClickedCell) {
  release(Qt::Key_Home);                      // the cursor shows at (1, 1)
  click(Qt::LeftButton, cellCentre(3, 7));    // column 3, row 7
  type(Qt::Key_Escape, QString(QChar(27)));   // the picker closes
  type(Qt::Key_5, "5");                       // at the cursor
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(model().board[7][3], 5);
  EXPECT_EQ(model().board[3][7], 0);
}

TEST_F(Session, TheDigitUnderTheCursorTintsItsCellsAndAnEmptyCellTintsNone) {
  const QColor white = rgb(255, 255, 255);
  model().board[1][2] = 1;
  model().board[6][7] = 1;
  model().board[5][4] = 5;
  started.game.screen().redrawBoard();
  struct Tints {
    QColor one, five, empty;
  } onOne, onEmpty;
  const auto read = [this] { return Tints{tintOf(7, 6), tintOf(4, 5), tintOf(5, 5)}; };
  release(Qt::Key_Home);
  release(Qt::Key_Right);  // the cursor on the 1 at (2, 1)
  when([&] { return tintOf(2, 1) == render::kCursorTint; }, [&] {
    onOne = read();
    release(Qt::Key_Right);  // on the empty cell (3, 1)
    when([&] { return tintOf(3, 1) == render::kCursorTint; }, [&] {
      onEmpty = read();
      release(Qt::Key_A);
    });
  });
  choose(10);
  EXPECT_EQ(onOne.one, render::kSameDigitTint);
  EXPECT_EQ(onOne.five, white);
  EXPECT_EQ(onOne.empty, white);
  EXPECT_EQ(onEmpty.one, white);
  EXPECT_EQ(onEmpty.five, white);
  EXPECT_EQ(onEmpty.empty, white);
}

// Of the open picker over (column, row): the squares mostly light grey, and those drawn over
// what the board showed there before.
struct PickerSquares {
  std::vector<int> lit, drawn;
};
PickerSquares pickerSquares(const QImage& image, const QImage& board, int column, int row) {
  PickerSquares squares;
  for (int d = 1; d <= 9; ++d) {
    const QRect square(pickerSquare(column, row, d) - QPoint(13, 13), QSize(26, 26));
    int grey = 0;
    for (int x = square.left(); x <= square.right(); ++x)
      for (int y = square.top(); y <= square.bottom(); ++y) grey += image.pixelColor(x, y) == rgb(192, 192, 192);
    if (grey > 300) squares.lit.push_back(d);
    if (image.copy(square) != board.copy(square)) squares.drawn.push_back(d);
  }
  return squares;
}

TEST_F(Session, ThePickerLightsTheSquareUnderTheMouseAndDrawsEveryDigit) {
  const std::vector<int> all{1, 2, 3, 4, 5, 6, 7, 8, 9};
  PickerSquares onEight, onThree;
  const QImage board = started.image().copy();
  const auto squares = [&] { return pickerSquares(started.image(), board, 5, 5); };
  const auto moveTo = [this](int digit) {
    guitest::postMove(client(), pickerSquare(5, 5, digit).x(), pickerSquare(5, 5, digit).y());
  };
  click(Qt::LeftButton, cellCentre(5, 5));
  // Each move once the picker waits: a move handled before it opened would light nothing.
  when([this] { return started.game.input().pickerOpen; }, [&] {
    moveTo(8);
    when([&] { return !squares().lit.empty(); }, [&] {
      onEight = squares();
      moveTo(3);
      when([&] { return squares().lit != onEight.lit; }, [&] {
        onThree = squares();
        click(Qt::LeftButton, pickerSquare(5, 5, 3));
        release(Qt::Key_A);
      });
    });
  });
  choose(10);
  EXPECT_EQ(onEight.lit, std::vector<int>{8});
  EXPECT_EQ(onEight.drawn, all);
  EXPECT_EQ(onThree.lit, std::vector<int>{3});
  EXPECT_EQ(onThree.drawn, all);
  EXPECT_EQ(model().board[5][5], 3);
}

TEST_F(Session, TheBoardsOutermostPixelsBelongToItsEdgeCellsAndThoseBeyondToNone) {
  // Inside: the first and last pixel column and row of the board.
  const struct {
    QPoint at;
    int column, row, digit;
  } inside[] = {{{29, cellCentre(1, 3).y()}, 1, 3, 1},
                {{cellCentre(4, 9).x(), 45 + 539}, 4, 9, 2},
                {{29 + 539, cellCentre(9, 5).y()}, 9, 5, 3},
                {{cellCentre(6, 1).x(), 45}, 6, 1, 5}};
  // One pixel beyond each edge.
  const QPoint outside[] = {{28, cellCentre(1, 6).y()}, {cellCentre(2, 9).x(), 45 + 540},
                            {29 + 540, cellCentre(9, 7).y()}, {cellCentre(8, 1).x(), 44}};
  punktivo::Grid expected = model().board;
  const punktivo::Grid givens = model().givens;
  for (const auto& cell : inside) {
    click(Qt::LeftButton, cell.at);
    type(Qt::Key_0 + cell.digit, QString::number(cell.digit));
    expected[cell.row][cell.column] = uint8_t(cell.digit);
  }
  for (const QPoint& at : outside) {
    click(Qt::LeftButton, at);
    type(Qt::Key_9, "9");  // no picker to take it
  }
  release(Qt::Key_A);
  choose(10);
  EXPECT_EQ(model().board, expected);
  EXPECT_EQ(model().givens, givens);
}

TEST_F(Session, AGivenAndAnEnteredDigitStandAtTheSamePlaceInTheirCells) {
  const auto digit = uint8_t(guitest::kStartSolution[1][3]);
  model().board[2][4] = digit;  // the player's, right: blue
  model().board[2][2] = model().givens[2][2] = digit;
  started.game.screen().redrawBoard();
  // Where the cell is not white, away from its sides (and the dots there).
  const auto inkOfCell = [this](int column, int row) {
    QImage mask(44, 44, QImage::Format_Mono);
    for (int x = 0; x < 44; ++x)
      for (int y = 0; y < 44; ++y)
        mask.setPixel(x, y, pixelAt(started.image(), 29 + 60 * (column - 1) + 8 + x, 45 + 60 * (row - 1) + 8 + y) != rgb(255, 255, 255));
    return mask;
  };
  EXPECT_EQ(inkOf(started.image(), 2, 2), "black");
  EXPECT_EQ(inkOf(started.image(), 4, 2), "blue");
  EXPECT_EQ(inkOfCell(2, 2), inkOfCell(4, 2));
}

TEST_F(Session, CellsRepaintedUnderTheCursorLeaveTheBoxLinesWhole) {
  auto& screen = started.game.screen();
  screen.drawMainScreen();
  const QImage grid = started.image().copy();  // the lines on an empty board
  screen.redrawBoard();
  release(Qt::Key_Home);
  for (int i = 0; i < 8; ++i) release(Qt::Key_Right);  // along row 1 ...
  for (int i = 0; i < 8; ++i) release(Qt::Key_Down);   // ... and down column 9
  release(Qt::Key_A);
  choose(10);
  // Every red pixel of the lines stays red, away from the dots on the cells' sides.
  int broken = 0;
  for (int x = 28; x <= 569; ++x)
    for (int y = 44; y <= 585; ++y) {
      const int u = (x - 29 + 60) % 60, v = (y - 45 + 60) % 60;
      if (std::abs(u - 30) < 12 || std::abs(v - 30) < 12) continue;
      if (grid.pixelColor(x, y) == rgb(255, 0, 0) && pixelAt(started.image(), x, y) != rgb(255, 0, 0)) ++broken;
    }
  EXPECT_EQ(broken, 0);
}

TEST_F(Session, TheSessionCountsAsRunningOnlyWhileItLasts) {
  bool runningInside = false;
  when([this] { return started.game.session().running(); }, [&] {
    runningInside = started.game.session().running();
    release(Qt::Key_A);
  });
  choose(10);
  EXPECT_TRUE(runningInside);
  EXPECT_FALSE(started.game.session().running()) << "left set after the session";
}

TEST_F(Session, SolveSequenceFillsTheBoardFromTheGivensAndStopsTheClock) {
  started.game.game().timedGame = true;
  started.game.timer().startTiming();
  started.game.timer().refreshClock();
  const int right = guitest::kStartSolution[7][4];
  click(Qt::LeftButton, cellCentre(5, 8));
  type(Qt::Key_0 + right, QString::number(right));  // a step the solve leaves no undo of
  release(Qt::Key_Q);
  release(Qt::Key_K);  // other keys in between do not disarm
  release(Qt::Key_Z);
  // Still in the session (leaving ends the timing anyway): the solve ended it.
  bool timedAfter = true;
  when([this] { return model().isBoardComplete(); }, [&] {
    timedAfter = started.game.game().timedGame;
    release(Qt::Key_Escape);
  });
  // The start board's solution needs no givens beyond the dots to be judged; give the
  // solver enough to finish: every cell of rows 1-6.
  for (int r = 1; r <= 6; ++r)
    for (int c = 1; c <= 9; ++c) model().board[r][c] = model().givens[r][c] = uint8_t(guitest::kStartSolution[r - 1][c - 1]);
  choose(10);
  EXPECT_TRUE(model().isBoardComplete());
  EXPECT_EQ(model().board, model().solution);
  EXPECT_EQ(started.game.panels().statusMessage, "Brett gelöst!!!");
  EXPECT_FALSE(started.game.core().history().canUndo()) << "the solve starts the history afresh";
  EXPECT_FALSE(timedAfter) << "a solved game left timed would enter the hall of fame";
}

TEST_F(Session, TheSixButtonsStandRaisedWhileTheSessionWaits) {
  std::vector<int> pressedLook;
  when([this] { return started.game.session().running(); }, [&] {
    // The top-left edge of each button: white when raised, dark grey when pressed.
    for (const int x : {30, 108, 202, 296, 398, 476})
      if (pixelAt(started.image(), x + 1, 599) != rgb(255, 255, 255)) pressedLook.push_back(x);
    release(Qt::Key_A);
  });
  choose(10);
  EXPECT_EQ(pressedLook, std::vector<int>{});
}

TEST_F(Session, AHintInATimedGameIsAskedForWithNoAsTheDefault) {
  std::vector<platform::MessageBoxRequest> requests;
  started.runtime.messageBoxResponder = [&](const platform::MessageBoxRequest& request) {
    requests.push_back(request);
    return 2;  // "&NEIN"
  };
  started.game.game().timedGame = true;
  started.game.timer().startTiming();
  release(Qt::Key_T);
  release(Qt::Key_A);
  choose(10);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].text, "Mit Tipp zählt die Zeit nicht für die Ruhmeshalle. Tipp anzeigen?");
  EXPECT_EQ(requests[0].buttons, (QStringList{"&JA", "&NEIN"}));
  EXPECT_EQ(requests[0].defaultButton, 2);
  EXPECT_FALSE(started.game.game().hintShown);
}

}  // namespace

namespace {

class MenuBar : public ::testing::Test {
 protected:
  guitest::StartedGame started;
  platform::Runtime& rt() { return started.runtime; }
};

TEST_F(MenuBar, BuiltFromTheDefinitionInOrder) {
  const QStringList items = rt().describeMenu(rt().windowMenu());
  const QStringList expected = {
      ">&Punktivo", "8:&Neues Spiel", "-", "10:&Spielstart", "25:N&eustart", "-", "12:Spieledruck", "-",
      "99:&Beenden", "",
      ">&Optionen", "20:&lade Brett", "21:&sichere Brett", "-", "22:&Brett lösen", "26:B&rett löschen",
      "27:Brett &drucken", "24:Brett &mischen", "-", "11:&Eigenes Brett", "",
      ">Sch&wierigkeit", "30:&Leicht", "31:&Mittel", "32:&Schwer", "33:&Extrem", "-", "44:Zeige &Kandidaten",
      "-", "45:Rätsel-Symmetrie", "-", "50:&Ruhmeshalle", "",
      ">E&xtras", "70:&Rückgängig\tStrg+Z", "71:&Wiederholen\tStrg+Y", "-", "72:&Gleiche Ziffern hervorheben",
      "-", "73:&Letztes Spiel fortsetzen", "-", "74:Lösungen &zählen\tU", "-", "75:Als Link &kopieren",
      "76:Link &einfügen", "-", "80:&Tipp\tT",
      "81:Rätsel &bewerten", "82:Zurück zum letzten &fehlerfreien Stand\tStrg+Rück",
      "-", "84:&Pause\tP",
      "-", "85:&Notizen automatisch bereinigen",
      "86:Fehler zusätzlich &markieren",
      "-", "87:Spiele mit Lösungen &drucken", "",
      ">&Hilfe", "60:&Anleitung", "-", "1:über &Punktivo...", "",
  };
  EXPECT_EQ(items, expected);
}

TEST_F(MenuBar, CheckMarksFollowDifficultyAndOptions) {
  EXPECT_TRUE(rt().menuChecked(30));
  EXPECT_TRUE(rt().menuChecked(45));
  EXPECT_FALSE(rt().menuChecked(44));
  rt().chooseMenuItem(32);
  rt().chooseMenuItem(44);
  rt().chooseMenuItem(45);
  EXPECT_EQ(started.game.settings().difficulty, 2);
  EXPECT_FALSE(rt().menuChecked(30));
  EXPECT_TRUE(rt().menuChecked(32));
  EXPECT_TRUE(rt().menuChecked(44));
  EXPECT_FALSE(rt().menuChecked(45));
  EXPECT_TRUE(started.game.settings().showCandidates);
  EXPECT_FALSE(started.game.settings().puzzleSymmetry);
}

TEST_F(MenuBar, TheCommonEndingRunsAfterEveryIdAlsoUnknownOnes) {
  auto& app = started.game;
  const QImage row = started.image().copy(28, 595, 543, 32);
  app.panels().helpText = "irgendwas";
  app.drawing().drawButton(0, 30, 598, " _Laden ");
  app.game().timedGame = true;
  app.menu().Win_0_MenuEvent(77);
  EXPECT_EQ(app.panels().helpText, "Bitte Menupunkt auswählen!");
  EXPECT_FALSE(app.game().timedGame);
  EXPECT_EQ(started.image().copy(28, 595, 543, 32), row) << "the button row is wiped completely";
}

TEST_F(MenuBar, ClearAndSolveCommands) {
  auto& m = started.game.model();
  rt().chooseMenuItem(22);  // the start board: nothing to place
  EXPECT_TRUE(m.unsolvedFlag);
  EXPECT_EQ(started.game.panels().statusMessage, "Nicht lösbar!!!");
  rt().chooseMenuItem(26);
  EXPECT_FALSE(m.unsolvedFlag);
  EXPECT_EQ(m.dotsRight[1][2], 0);
  // No dots left on the screen either.
  EXPECT_EQ(pixelAt(started.image(), 149, 75), rgb(0, 0, 0));  // grid line only
  EXPECT_EQ(pixelAt(started.image(), 152, 78), rgb(255, 255, 255));
}

TEST_F(MenuBar, ChangingTheDifficultyKeepsTheBoard) {
  auto& m = started.game.model();
  const auto dots = m.dotsRight;
  const QImage before = started.image().copy(20, 16, 560, 620);
  rt().chooseMenuItem(33);
  EXPECT_EQ(started.game.settings().difficulty, 3);
  EXPECT_EQ(m.dotsRight, dots);
  EXPECT_EQ(started.image().copy(20, 16, 560, 620), before);
}

}  // namespace
