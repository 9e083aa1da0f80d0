// "Letztes Spiel fortsetzen" headless: which ways out of a session keep the game, what the
// menu item brings back (board, level, mistakes, the clock from where it stopped, the hall
// of fame), and what a missing or damaged file leaves untouched.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QTimer>

#include <atomic>
#include <fstream>
#include <iterator>

#include "app/menu.h"
#include "support/gui_support.h"
#include "storage/resume_file.h"
#include "support/working_folder.h"

namespace {

using guitest::cellCentre;
using punktivo::ResumeStatus;

class Resume : public ::testing::Test {
 protected:
  void SetUp() override {
    started = std::make_unique<guitest::StartedGame>();
    // The clock thread reads the clock too.
    started->runtime.clockSource = [this] { return now.load(); };
    started->runtime.messageBoxResponder = [this](const platform::MessageBoxRequest& r) {
      messages << r.text;
      return answer;
    };
    started->game.timer().recordResult = [this] { recorded << started->game.timer().finalTime(); };
    // A puzzle: the start board's dots and solution, the first three rows given.
    auto& m = model();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        m.solution[r][c] = uint8_t(guitest::kStartSolution[r - 1][c - 1]);
        if (r <= 3) m.board[r][c] = m.givens[r][c] = m.solution[r][c];
      }
    app().screen().redrawBoard();
    app().panels().updateDifficultyPanel();
  }
  void TearDown() override {
    if (started->runtime.windowExists()) started->runtime.postQuit();
    started.reset();
  }
  app::App& app() { return started->game; }
  punktivo::BoardModel& model() { return started->game.model(); }
  QWidget* client() { return started->runtime.clientWidget(); }
  void click(QPoint p) { guitest::postClick(client(), Qt::LeftButton, p.x(), p.y()); }
  void type(int digit) { guitest::postTyped(client(), Qt::Key_0 + digit, QString::number(digit)); }
  void release(int qtKey) { guitest::postKeyStroke(client(), qtKey); }
  // Once the session after the next command runs.
  void inSession(const std::function<void()>& script) { QTimer::singleShot(0, script); }
  // A timed game on the puzzle, as "&Neues Spiel" leaves it, running `script`.
  void playTimed(const std::function<void()>& script) {
    app().game().timedGame = true;
    app().timer().startTiming();
    inSession(script);
    started->runtime.chooseMenuItem(10);
  }
  punktivo::ResumeReadResult kept() const { return punktivo::readResumeFile(); }
  static std::vector<uint8_t> fileBytes() {
    std::ifstream in(punktivo::kResumeFile, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  punktivo::testing::WorkingFolder folder;
  std::unique_ptr<guitest::StartedGame> started;
  std::atomic<double> now{1000.0};
  int answer = 1;
  QStringList messages;
  QStringList recorded;
};

TEST_F(Resume, LeavingATimedGameKeepsItAndTheItemBringsItBackTimedOnToTheHallOfFame) {
  app().settings().difficulty = 2;
  playTimed([&] {
    click(cellCentre(1, 4));
    type(2);  // right
    click(cellCentre(2, 4));
    type(5);  // wrong: 4 is right
    now = now + 65.3;
    release(Qt::Key_A);
  });
  const punktivo::ResumeReadResult file = kept();
  ASSERT_TRUE(file.ok()) << file.describe();
  EXPECT_TRUE(file.state.timedGame);
  EXPECT_EQ(file.state.elapsedMilliseconds, 65300u);
  EXPECT_EQ(file.state.mistakeCount, 1);
  EXPECT_EQ(file.state.difficulty, 2);
  EXPECT_EQ(file.state.board[4][1], 2);
  EXPECT_EQ(file.state.board[4][2], 5);
  EXPECT_FALSE(app().game().timedGame);

  // Another board, another level and an hour later, the game comes back as it was.
  started->runtime.chooseMenuItem(26);
  started->runtime.chooseMenuItem(30);
  now = now + 3600;
  inSession([&] {
    EXPECT_TRUE(app().game().timedGame);
    EXPECT_EQ(started->runtime.labelCaption(), " 00:01:05");
    EXPECT_EQ(app().panels().helpText, app::kHintClickCell);
    now = now + 10;
    const auto& m = model();
    for (int r = 4; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (!(r == 4 && c == 1)) {
          click(cellCentre(c, r));
          type(m.solution[r][c]);
        }
    guitest::postTyped(client(), Qt::Key_Escape, QString(QChar(27)));
  });
  started->runtime.chooseMenuItem(app::kMenuResume);
  EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
  EXPECT_EQ(model().givens[2][5], guitest::kStartSolution[1][4]);
  EXPECT_EQ(model().dotsRight, file.state.dotsRight);
  EXPECT_EQ(app().settings().difficulty, 2);
  EXPECT_TRUE(started->runtime.menuChecked(32));
  EXPECT_EQ(app().panels().statusMessage, "Brett gelöst!!!");
  EXPECT_EQ(recorded, QStringList{"00:01:15.3"}) << "the time before the leave counts";
  EXPECT_EQ(app().game().mistakeCount, 1);
}

TEST_F(Resume, TheExitQuestionsYesKeepsTheGameStillTimed) {
  playTimed([&] {
    now = now + 12.5;
    QCoreApplication::postEvent(started->runtime.mainWindowWidget(), new QCloseEvent);
  });
  ASSERT_EQ(messages, QStringList{"Spiel beenden?"});
  EXPECT_FALSE(started->runtime.windowExists());
  const punktivo::ResumeReadResult file = kept();
  ASSERT_TRUE(file.ok()) << file.describe();
  EXPECT_TRUE(file.state.timedGame);
  EXPECT_EQ(file.state.elapsedMilliseconds, 12500u);
}

TEST_F(Resume, TheExitQuestionsNoKeepsNothing) {
  answer = 2;
  playTimed([&] {
    QCoreApplication::postEvent(started->runtime.mainWindowWidget(), new QCloseEvent);
    release(Qt::Key_A);
  });
  // The file comes from the A that followed, not from the question.
  ASSERT_EQ(messages, QStringList{"Spiel beenden?"});
  EXPECT_TRUE(kept().ok());
  std::filesystem::remove(punktivo::kResumeFile);
  answer = 1;
  started->runtime.chooseMenuItem(99);  // idle: the program ends, nothing more to keep
  EXPECT_FALSE(started->runtime.windowExists());
  EXPECT_EQ(kept().status, ResumeStatus::kMissing);
}

TEST_F(Resume, ADestroyedWindowKeepsTheGameStillTimed) {
  playTimed([&] {
    now = now + 7;
    started->runtime.handleWindowDestroyed();
  });
  EXPECT_FALSE(started->runtime.windowExists());
  const punktivo::ResumeReadResult file = kept();
  ASSERT_TRUE(file.ok()) << file.describe();
  EXPECT_TRUE(file.state.timedGame);
  EXPECT_EQ(file.state.elapsedMilliseconds, 7000u);
}

TEST_F(Resume, AnUntimedGameComesBackUntimedWithItsNotes) {
  inSession([&] {
    guitest::postClick(client(), Qt::RightButton, cellCentre(9, 9).x(), cellCentre(9, 9).y());
    type(6);
    release(Qt::Key_Escape);
  });
  started->runtime.chooseMenuItem(10);
  ASSERT_TRUE(kept().ok());
  EXPECT_FALSE(kept().state.timedGame);
  started->runtime.chooseMenuItem(26);
  inSession([&] {
    EXPECT_FALSE(app().game().timedGame);
    EXPECT_TRUE(model().candidates[9][9][6]);
    release(Qt::Key_Escape);
  });
  started->runtime.chooseMenuItem(app::kMenuResume);
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_EQ(model().givens[1][1], 4);
}

TEST_F(Resume, ABoardWithoutGivensIsNotKept) {
  started->runtime.chooseMenuItem(26);
  inSession([&] { release(Qt::Key_A); });
  started->runtime.chooseMenuItem(10);
  EXPECT_EQ(kept().status, ResumeStatus::kMissing);
}

TEST_F(Resume, WithoutAFileThePlayerIsToldAndNothingChanges) {
  const QImage before = started->image();
  const auto board = model().board;
  started->runtime.chooseMenuItem(app::kMenuResume);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("Es gibt kein gespeichertes Spiel.")) << messages[0].toStdString();
  EXPECT_EQ(started->image(), before);
  EXPECT_EQ(model().board, board);
  EXPECT_EQ(kept().status, ResumeStatus::kMissing) << "no session ran, so nothing was kept";
}

TEST_F(Resume, ADamagedOrForeignFileIsReportedAndNothingChanges) {
  std::vector<uint8_t> good;
  {
    punktivo::ResumeState state = punktivo::resumeStateOf(model());
    good = punktivo::encodeResume(state);
  }
  std::vector<uint8_t> flipped = good;
  flipped[100] ^= 1;
  const std::vector<std::vector<uint8_t>> bad = {
      {good.begin(), good.begin() + 300},  // cut short
      flipped,
      std::vector<uint8_t>(9600, 0),  // a board file under the name
  };
  for (const auto& bytes : bad) {
    {
      std::ofstream out(punktivo::kResumeFile, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    messages.clear();
    const QImage before = started->image();
    started->runtime.chooseMenuItem(app::kMenuResume);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Das gespeicherte Spiel ist beschädigt oder stammt nicht von Punktivo"))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("letztes.spiel"));
    EXPECT_EQ(started->image(), before);
    EXPECT_EQ(model().givens[1][1], 4);
    EXPECT_EQ(fileBytes(), bytes) << "the file stays as it was";
  }
}

}  // namespace
