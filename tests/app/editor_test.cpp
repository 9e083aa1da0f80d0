// The board editor driven by posted input.
#include <gtest/gtest.h>

#include "engine/exact_solver.h"
#include "engine/game_core.h"
#include "storage/board_file.h"

#include <vector>

#include "support/gui_support.h"

namespace {

using guitest::cellCentre;
using guitest::pickerSquare;


int darkPixelsInCell(const QImage& image, int column, int row) {
  int dark = 0;
  for (int x = 29 + 60 * (column - 1) + 9; x < 29 + 60 * column - 9; ++x)
    for (int y = 45 + 60 * (row - 1) + 9; y < 45 + 60 * row - 9; ++y) dark += image.pixelColor(x, y).lightness() < 60;
  return dark;
}

// Pixels of the board well that differ from a fresh picture of the same model, which this
// then leaves on the screen.
int pixelsUnlikeAFreshPicture(guitest::StartedGame& started) {
  const QRect well(28, 44, 542, 542);
  const QImage shown = started.image().copy(well);
  started.game.screen().drawMainScreen();
  started.game.screen().redrawBoard();
  const QImage fresh = started.image().copy(well);
  int differing = 0;
  for (int y = 0; y < well.height(); ++y)
    for (int x = 0; x < well.width(); ++x) differing += shown.pixel(x, y) != fresh.pixel(x, y);
  return differing;
}

class Editor : public ::testing::Test {
 protected:
  void TearDown() override { started.runtime.postQuit(); }
  QWidget* client() { return started.runtime.clientWidget(); }
  punktivo::BoardModel& model() { return started.game.model(); }
  void click(Qt::MouseButton b, QPoint p) { guitest::postClick(client(), b, p.x(), p.y()); }
  void type(int qtKey, const QString& text) { guitest::postTyped(client(), qtKey, text); }
  guitest::StartedGame started;
};

TEST_F(Editor, EntersReplacesAndRemovesGivens) {
  started.game.input().candidateInput = true;  // left over from a session: the editor enters digits
  click(Qt::LeftButton, cellCentre(1, 1));
  click(Qt::LeftButton, pickerSquare(1, 1, 4));
  click(Qt::LeftButton, cellCentre(2, 1));
  type(Qt::Key_7, "7");
  click(Qt::LeftButton, cellCentre(2, 1));  // replace the 7 ...
  type(Qt::Key_1, "1");                     // ... by 1
  click(Qt::LeftButton, cellCentre(3, 1));
  type(Qt::Key_2, "2");
  click(Qt::LeftButton, cellCentre(3, 1));
  type(Qt::Key_0, "0");                     // "0" empties it again
  click(Qt::LeftButton, cellCentre(4, 1));
  type(Qt::Key_5, "5");
  click(Qt::LeftButton, cellCentre(4, 1));
  click(Qt::RightButton, QPoint(700, 80));  // right click in the picker: empties
  click(Qt::LeftButton, cellCentre(5, 1));
  type(Qt::Key_8, "8");
  click(Qt::RightButton, cellCentre(5, 1));  // right click on a given removes it
  click(Qt::LeftButton, cellCentre(6, 1));
  type(Qt::Key_3, "3");
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);

  const auto& m = model();
  EXPECT_EQ(m.board[1][1], 4);
  EXPECT_EQ(m.givens[1][1], 4);
  EXPECT_EQ(m.board[1][2], 1);
  EXPECT_EQ(m.givens[1][2], 1);
  for (int c : {3, 4, 5}) {
    EXPECT_EQ(m.board[1][c], 0) << c;
    EXPECT_EQ(m.givens[1][c], 0) << c;
  }
  EXPECT_EQ(m.givens[1][6], 3);
  EXPECT_FALSE(started.game.input().editorMode);
  EXPECT_EQ(started.game.panels().givenCount, 3);
  // Drawn as givens (black), the replaced digit without traces of the old one.
  const QImage& image = started.image();
  EXPECT_GT(darkPixelsInCell(image, 2, 1), 30);
  EXPECT_LT(darkPixelsInCell(image, 2, 1), darkPixelsInCell(image, 1, 1)) << "a 1 has less ink than a 4";
  EXPECT_EQ(darkPixelsInCell(image, 3, 1), 0);
  EXPECT_EQ(darkPixelsInCell(image, 5, 1), 0);
}

TEST_F(Editor, RightClickOnAPlayerDigitChangesNothing) {
  model().board[5][5] = 6;
  click(Qt::RightButton, cellCentre(5, 5));
  guitest::postKeyStroke(client(), Qt::Key_Escape);
  started.runtime.chooseMenuItem(11);
  EXPECT_EQ(model().board[5][5], 6);
}

TEST_F(Editor, AClickTakesTheShownCursorAlongToTheClickedCell) {
  guitest::postKeyStroke(client(), Qt::Key_Home);  // the cursor shows at (1, 1)
  click(Qt::LeftButton, cellCentre(3, 7));         // column 3, row 7
  type(Qt::Key_Escape, QString(QChar(27)));        // the picker closes
  type(Qt::Key_5, "5");                            // at the cursor
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  EXPECT_EQ(model().board[7][3], 5);
  EXPECT_EQ(model().board[3][7], 0);
}

TEST_F(Editor, AGivenOffTheLastGamesSolutionCountsNoMistake) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) model().solution[r][c] = uint8_t(guitest::kStartSolution[r - 1][c - 1]);
  click(Qt::LeftButton, cellCentre(2, 1));
  click(Qt::LeftButton, pickerSquare(2, 1, 7));  // the last game had 1 there
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  EXPECT_EQ(model().givens[1][2], 7);
  EXPECT_EQ(started.game.game().mistakeCount, 0);
}

TEST_F(Editor, RGivesTheDotsOfTheEnteredBoardsSolution) {
  // The start board's one filling, rows 1-8 typed in and one cell of row 9 entered by hand; the dots
  // are cleared first.
  started.runtime.chooseMenuItem(26);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (r < 9) model().board[r][c] = model().givens[r][c] = uint8_t(guitest::kStartSolution[r - 1][c - 1]);
  click(Qt::LeftButton, cellCentre(9, 9));
  type(Qt::Key_4, "4");
  guitest::postKeyStroke(client(), Qt::Key_R);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  punktivo::NullDisplay none;
  punktivo::BoardModel start(none);
  start.loadStartBoard();
  EXPECT_EQ(model().dotsRight, start.dotsRight);
  EXPECT_EQ(model().dotsDown, start.dotsDown);
  EXPECT_EQ(model().givens[9][9], 4);
  EXPECT_EQ(model().board[9][5], 0) << "R leaves the board as entered";
}

TEST_F(Editor, FAndCDoNothingAndXKeepsTheSolvedDigits) {
  for (int r = 1; r <= 6; ++r)
    for (int c = 1; c <= 9; ++c) model().board[r][c] = model().givens[r][c] = uint8_t(guitest::kStartSolution[r - 1][c - 1]);
  guitest::postKeyStroke(client(), Qt::Key_F);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  int marks = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d) marks += model().candidates[r][c][d];
  EXPECT_EQ(marks, 0);

  guitest::postKeyStroke(client(), Qt::Key_X);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  EXPECT_TRUE(model().isBoardComplete());
  EXPECT_EQ(model().solution, model().board);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (model().givens[r][c] != 0) {
        EXPECT_EQ(model().givens[r][c], model().board[r][c]);
      }
}

TEST_F(Editor, TheHiddenSolveKeepsWhatTheCandidateSolverFinished) {
  // An Extrem game: the candidate solver finishes its givens with the dots, the rule solver
  // (plain rules and one guess) does not.
  punktivo::NullDisplay none;
  punktivo::GameCore made(none, 7);
  made.settings().fillLevelNames();
  made.settings().difficulty = punktivo::kLevelExtreme;
  punktivo::BoardFile stock(made.model(), made.random());
  stock.boardFileName = PUNKTIVO_SOURCE_DATA_DIR "/extrem.ptv";
  made.model().quietMode = true;
  ASSERT_TRUE(made.newGame(stock.records(), {}).generated());
  punktivo::BoardModel& m = made.model();
  m.board = m.givens;
  made.solver().solveByRules();
  ASSERT_FALSE(m.isBoardComplete()) << "the rule solver finishes this one: pick another seed";

  model().givens = model().board = m.givens;
  model().dotsRight = m.dotsRight;
  model().dotsDown = m.dotsDown;
  guitest::postKeyStroke(client(), Qt::Key_Q);
  guitest::postKeyStroke(client(), Qt::Key_Z);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  // Finished and sound, the board stays as the candidate solver left it: the rule solver
  // starts again from the givens only where the candidate solver left the board unsound.
  EXPECT_EQ(model().board, m.solution);
}

TEST_F(Editor, XAndRStartTheUndoHistoryAfresh) {
  const auto enterGivenThen = [this](int column, int key) {
    click(Qt::LeftButton, cellCentre(column, 1));
    type(Qt::Key_0 + column, QString::number(column));
    for (const int k : {key, int(Qt::Key_A)}) guitest::postKeyStroke(client(), k);
    started.runtime.chooseMenuItem(11);
  };
  enterGivenThen(1, Qt::Key_Shift);  // a key of no meaning: the given stays a step
  EXPECT_TRUE(started.game.core().history().canUndo());
  enterGivenThen(2, Qt::Key_X);
  EXPECT_FALSE(started.game.core().history().canUndo()) << "X";
  enterGivenThen(3, Qt::Key_R);
  EXPECT_FALSE(started.game.core().history().canUndo()) << "R";
}

TEST_F(Editor, ShuffleXAndRLeaveACleanGridWithOnlyTheNewDots) {
  // "Brett mischen" on the start board, a puzzle of dots alone: the rule solver cannot
  // complete the empty board, so the dots come from its one solution, carried through the
  // shuffle; the disguise is a puzzle of dots alone again.
  const auto startDots = model().dotsRight;
  started.runtime.chooseMenuItem(24);
  EXPECT_NE(model().dotsRight, startDots);
  EXPECT_NE(model().dotsRight, punktivo::Grid{});
  EXPECT_GE(punktivo::countSolutions(punktivo::Grid{}, model().dotsRight, model().dotsDown, 2), 1);
  EXPECT_EQ(pixelsUnlikeAFreshPicture(started), 0) << "Brett mischen";
  // The start board's dots on screen, and givens of another filling, whose dots differ.
  const auto otherFilling = [this](int rows) {
    model().loadStartBoard();
    for (int r = 1; r <= rows; ++r)
      for (int c = 1; c <= 9; ++c)
        model().board[r][c] = model().givens[r][c] = uint8_t(10 - guitest::kStartSolution[r - 1][c - 1]);
    started.game.screen().drawMainScreen();
    started.game.screen().redrawBoard();
  };
  otherFilling(6);
  const auto before = model().dotsRight;
  for (const int key : {Qt::Key_X, Qt::Key_A}) guitest::postKeyStroke(client(), key);
  started.runtime.chooseMenuItem(11);
  EXPECT_NE(model().dotsRight, before);
  EXPECT_EQ(pixelsUnlikeAFreshPicture(started), 0) << "editor X";
  otherFilling(8);
  for (const int key : {Qt::Key_R, Qt::Key_A}) guitest::postKeyStroke(client(), key);
  started.runtime.chooseMenuItem(11);
  EXPECT_NE(model().dotsRight, before);
  EXPECT_EQ(pixelsUnlikeAFreshPicture(started), 0) << "editor R";
}

// U counts the solutions of the givens with the dots: the start board's dots have one
// filling. No leaves the board as it is; yes fills the other cells with the solution, in the
// player's blue, and the givens stay the author's.
TEST_F(Editor, UReportsAUniqueSolutionAndFillsItInOnYes) {
  std::vector<QString> questions;
  int answer = 2;
  started.runtime.messageBoxResponder = [&](const platform::MessageBoxRequest& request) {
    questions.push_back(request.text);
    return answer;
  };
  click(Qt::LeftButton, cellCentre(1, 1));
  type(Qt::Key_4, "4");
  guitest::postKeyStroke(client(), Qt::Key_U);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Eindeutig lösbar.\nLösung anzeigen?");
  EXPECT_EQ(started.game.panels().statusMessage.toStdString(), "Eindeutig lösbar");
  EXPECT_EQ(model().board[1][2], 0) << "no changed the board";
  EXPECT_EQ(darkPixelsInCell(started.image(), 2, 1), 0);

  answer = 1;
  guitest::postKeyStroke(client(), Qt::Key_U);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  EXPECT_EQ(questions.size(), 2u);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      EXPECT_EQ(model().board[r][c], guitest::kStartSolution[r - 1][c - 1]) << r << c;
      EXPECT_EQ(model().givens[r][c], r == 1 && c == 1 ? 4 : 0) << r << c;
    }
  EXPECT_EQ(started.game.panels().statusMessage.toStdString(), "Brett gelöst!!!");
  int blue = 0;
  for (int x = 89 + 9; x < 149 - 9; ++x)
    for (int y = 45 + 9; y < 105 - 9; ++y) blue += started.image().pixelColor(x, y) == guitest::rgb(0, 0, 188);
  EXPECT_GT(blue, 30) << "the solution's digits are drawn as the player's";
}

// No solution and several: reported in red, nothing asked, the board unchanged. Only a plain U
// counts, and the next error check draws its shorter message without traces of the report.
TEST_F(Editor, UReportsNoneOrSeveralWithoutAskingAndOnlyWithoutModifiers) {
  int asked = 0;
  started.runtime.messageBoxResponder = [&](const platform::MessageBoxRequest&) { return ++asked, 2; };
  const auto statusLine = [this] { return started.image().copy(QRect(610, 320, 218, 30)); };
  const auto pressU = [this](Qt::KeyboardModifiers held) {
    QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyPress, Qt::Key_U, held));
    QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_U, held));
  };
  // Two equal givens in row 1 over the start board's dots: no solution.
  for (const int c : {1, 5}) {
    click(Qt::LeftButton, cellCentre(c, 1));
    type(Qt::Key_4, "4");
  }
  pressU(Qt::NoModifier);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  EXPECT_EQ(started.game.panels().statusMessage.toStdString(), "Keine Lösung");
  EXPECT_EQ(asked, 0);
  int red = 0;
  const QImage line = statusLine();
  for (int x = 0; x < line.width(); ++x)
    for (int y = 0; y < line.height(); ++y) red += line.pixelColor(x, y) == guitest::rgb(255, 0, 0);
  EXPECT_GT(red, 30) << "a puzzle without a solution is reported in red";

  // A cleared board: no digits, and no dots, so that no neighbours may be consecutive or
  // double: still many fillings. Shift+U and Ctrl+U count nothing.
  started.runtime.chooseMenuItem(26);
  started.game.screen().showStatus();
  const QString before = started.game.panels().statusMessage;
  pressU(Qt::ShiftModifier);
  pressU(Qt::ControlModifier);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  EXPECT_EQ(started.game.panels().statusMessage, before) << before.toStdString();
  pressU(Qt::NoModifier);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(11);
  EXPECT_EQ(started.game.panels().statusMessage.toStdString(), "Mehrere Lösungen");
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(model().board, punktivo::Grid{});

  const QImage report = statusLine();
  started.game.screen().showStatistics();
  EXPECT_FALSE(statusLine() == report);
  const QImage checked = statusLine();
  started.game.panels().drawStatusPanel();
  started.game.screen().showStatus();
  EXPECT_TRUE(statusLine() == checked) << "the report left pixels behind the error check's message";
}

}  // namespace
