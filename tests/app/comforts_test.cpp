// The comforts of play, offscreen: notes tidied by an entered digit (and back by undo), the
// stroke through a wrong digit, and the pause that stops the clock and hides the board.
#include <gtest/gtest.h>

#include <QTimer>

#include "app/menu.h"
#include "storage/resume_file.h"
#include "in_loop.h"
#include "support/gui_support.h"
#include "support/temp_dir.h"

namespace {

using guitest::cellCentre;
using guitest::pickerSquare;

const QRect kBoardInside(29, 45, 540, 540);

class Comforts : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& m = model();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) m.solution[r][c] = uint8_t(guitest::kStartSolution[r - 1][c - 1]);
    m.board[1][1] = m.givens[1][1] = 4;
    started.game.screen().redrawBoard();
  }

  punktivo::BoardModel& model() { return started.game.model(); }
  app::App& app() { return started.game; }
  QWidget* client() { return started.runtime.clientWidget(); }
  void click(QPoint p) { guitest::postClick(client(), Qt::LeftButton, p.x(), p.y()); }
  void type(int qtKey, const QString& text) { guitest::postTyped(client(), qtKey, text); }
  void release(int qtKey) { guitest::postKeyStroke(client(), qtKey); }
  void undo() {
    QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier));
    QCoreApplication::postEvent(client(), new QKeyEvent(QEvent::KeyRelease, Qt::Key_Z, Qt::ControlModifier));
  }
  // Runs a play session ("Spielstart") over the input posted before.
  void session() { started.runtime.chooseMenuItem(app::kMenuStartGame); }
  QImage board() { return started.image().copy(kBoardInside); }
  void startTimedGame() {
    app().game().timedGame = true;
    app().timer().startTiming();
    app().timer().refreshClock();
  }

  // Option writes go to a folder of the test's own.
  punktivo::testing::TempDir dir;
  punktivo::testing::WorkingDir inDir{dir.path()};
  guitest::StartedGame started;
};

// Notes of digit 1 in a cell of the same row, column and box as (row 1, column 2), and
// in one that sees none of them; a note of 2 in the same row.
void noteAround(punktivo::BoardModel& m) {
  m.candidates[1][7][1] = true;  // row 1
  m.candidates[6][2][1] = true;  // column 2
  m.candidates[3][3][1] = true;  // box 1
  m.candidates[5][5][1] = true;  // sees nothing
  m.candidates[1][7][2] = true;
}

TEST_F(Comforts, TidyNotesTakeTheDigitFromEveryCellThatSeesItAndOneUndoBringsThemBack) {
  app().settings().tidyNotes = true;
  noteAround(model());
  app().view().drawCandidateMarks();
  const QImage noted = board();
  const punktivo::CandidateFlags before = model().candidates;
  click(cellCentre(2, 1));
  click(pickerSquare(2, 1, 1));  // 1 is right there
  release(Qt::Key_Escape);
  session();
  EXPECT_EQ(model().board[1][2], 1);
  EXPECT_FALSE(model().candidates[1][7][1]);
  EXPECT_FALSE(model().candidates[6][2][1]);
  EXPECT_FALSE(model().candidates[3][3][1]);
  EXPECT_TRUE(model().candidates[5][5][1]);
  EXPECT_TRUE(model().candidates[1][7][2]);
  // The mark 1 (top left of its cell) is gone from the screen as well.
  const QRect markOne(29 + 60 * 6 + 5, 45 + 1, 15, 16);
  EXPECT_NE(started.image().copy(markOne), noted.copy(markOne.translated(-29, -45)));

  undo();
  release(Qt::Key_Escape);
  session();
  EXPECT_EQ(model().board[1][2], 0);
  EXPECT_EQ(model().candidates, before);
  EXPECT_EQ(board(), noted);
}

TEST_F(Comforts, WithoutTheOptionAnEnteredDigitLeavesTheNotesAlone) {
  noteAround(model());
  const punktivo::CandidateFlags before = model().candidates;
  click(cellCentre(2, 1));
  type(Qt::Key_1, "1");
  release(Qt::Key_Escape);
  session();
  EXPECT_EQ(model().board[1][2], 1);
  EXPECT_EQ(model().candidates, before);
}

// Dark pixels on the cell's diagonal, between the digit's place and the corners.
int strokeInk(const QImage& image, int column, int row) {
  const int x = 29 + 60 * (column - 1) + 1, y = 45 + 60 * (row - 1) + 1;
  int ink = 0;
  for (int i = render::kStrokeInset + 1; i < 12; ++i) ink += qGray(image.pixel(x + i, y + i)) < 160;
  for (int i = 46; i < 57 - render::kStrokeInset; ++i) ink += qGray(image.pixel(x + i, y + i)) < 160;
  return ink;
}

TEST_F(Comforts, AWrongDigitIsStruckThroughOnlyWithTheOptionAndARightOneNever) {
  model().board[1][2] = 1;  // right
  model().board[1][3] = 7;  // wrong: 2 is right
  app().screen().redrawBoard();
  EXPECT_EQ(strokeInk(started.image(), 3, 1), 0);
  started.runtime.chooseMenuItem(app::kMenuMarkErrors);
  EXPECT_TRUE(app().settings().markErrors);
  EXPECT_TRUE(started.runtime.menuChecked(app::kMenuMarkErrors));
  EXPECT_GE(strokeInk(started.image(), 3, 1), 8);
  EXPECT_EQ(strokeInk(started.image(), 2, 1), 0);
  // Remembered, and drawn on every later drawing of the cell.
  EXPECT_EQ(punktivo::testing::readBytes(dir / "punktivo.opt"),
            std::vector<uint8_t>({'h', 'e', 'r', 'v', 'o', 'r', 'h', 'e', 'b', 'e', 'n', '=', '1', '\n', 'f', 'e', 'h',
                                  'l', 'e', 'r', 'm', 'a', 'r', 'k', 'e', '=', '1', '\n'}));
  app().screen().redrawBoard();
  EXPECT_GE(strokeInk(started.image(), 3, 1), 8);
  started.runtime.chooseMenuItem(app::kMenuMarkErrors);
  EXPECT_EQ(strokeInk(started.image(), 3, 1), 0);
}

// Inside the board: how many pixels are not the face's grey.
int notFace(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) != QColor(192, 192, 192);
  return count;
}

class Pause : public Comforts {
 protected:
  void SetUp() override {
    Comforts::SetUp();
    started.runtime.clockSource = [this] { return now; };
    model().board[2][2] = 8;
    app().screen().redrawBoard();
    app().freshHistory();
  }
  void TearDown() override {
    app().game().timedGame = false;
    app().timer().joinClockThread();
  }
  // Runs `action` from inside the session loop, once it waits for input.
  void during(const std::function<void()>& action) { QTimer::singleShot(0, client(), action); }
  void when(const std::function<bool()>& holds, const std::function<void()>& action) {
    guitest::whenInLoop(client(), holds, action);
  }
  void whenPaused(const std::function<void()>& action) { when([this] { return app().session().paused(); }, action); }

  double now = 1000.0;
};

TEST_F(Pause, PHidesTheBoardAndStopsTheClockUntilPAgain) {
  startTimedGame();
  const QImage shown = board();
  QImage hidden, resumed;
  double pausedElapsed = -1;
  release(Qt::Key_P);
  whenPaused([&] {
    now += 600;  // ten minutes of pause
    hidden = board();
    pausedElapsed = app().timer().elapsedTime();
    release(Qt::Key_F);  // ignored while paused: no notes filled in behind the face
    release(Qt::Key_P);
    when([this] { return !app().session().paused(); }, [&] {
      resumed = board();  // still inside the session
      release(Qt::Key_A);
    });
  });
  session();
  ASSERT_FALSE(hidden.isNull());
  // Only the text of the face differs from its grey: no grid, no digit, no dot.
  EXPECT_LT(notFace(hidden), 4000);
  EXPECT_DOUBLE_EQ(pausedElapsed, 0.0);
  EXPECT_EQ(resumed, shown) << "P again did not take the face away";
  EXPECT_EQ(board(), shown);
  EXPECT_FALSE(model().candidates[5][5][1]);
  EXPECT_DOUBLE_EQ(app().timer().elapsedTime(), 0.0) << "the pause was counted";
  now += 5;
  EXPECT_DOUBLE_EQ(app().timer().elapsedTime(), 5.0);
}

TEST_F(Pause, AClickOnTheFaceResumesAndOpensNoPicker) {
  startTimedGame();
  const QImage shown = board();
  started.runtime.postCommand(app::kMenuPause);
  during([&] {
    click(cellCentre(5, 5));
    during([&] { release(Qt::Key_A); });
  });
  session();
  EXPECT_EQ(board(), shown);
  EXPECT_EQ(model().board[5][5], 0);
  EXPECT_FALSE(app().session().paused());
}

TEST_F(Pause, MinimisingPausesAndAbbruchKeepsTheGameWithoutThePause) {
  startTimedGame();
  now += 42;
  during([&] {
    started.runtime.mainWindowWidget()->showMinimized();
    whenPaused([&] {
      now += 1000;
      release(Qt::Key_A);
    });
  });
  session();
  started.runtime.mainWindowWidget()->showNormal();
  EXPECT_FALSE(app().game().timedGame);
  const std::vector<uint8_t> kept = punktivo::testing::readBytes(dir / "letztes.spiel");
  ASSERT_FALSE(kept.empty());
  // The kept game resumed: its clock goes on from 42 s.
  release(Qt::Key_P);  // paused, so that the leaving below adds nothing
  release(Qt::Key_A);
  app().menu().Win_0_MenuEvent(app::kMenuResume);
  EXPECT_NEAR(app().timer().elapsedTime(), 42.0, 0.01);
}

TEST_F(Pause, ThePausedGameLeftByTheCloseBoxIsKeptWithoutThePause) {
  started.runtime.messageBoxResponder = [](const platform::MessageBoxRequest&) { return 1; };  // "&JA"
  startTimedGame();
  now += 30;
  release(Qt::Key_P);
  whenPaused([&] {
    now += 900;
    QCoreApplication::postEvent(started.runtime.mainWindowWidget(), new QCloseEvent);
  });
  session();
  EXPECT_FALSE(started.runtime.windowExists());
  const punktivo::ResumeReadResult kept = punktivo::readResumeFile(dir / punktivo::kResumeFile);
  ASSERT_TRUE(kept.ok());
  EXPECT_TRUE(kept.state.timedGame);
  EXPECT_EQ(kept.state.elapsedMilliseconds, 30000u);
}

TEST_F(Pause, AnUntimedGameDoesNotPause) {
  const QImage shown = board();
  release(Qt::Key_P);
  release(Qt::Key_A);
  session();
  EXPECT_FALSE(app().session().paused());
  EXPECT_EQ(board(), shown);
}

}  // namespace
