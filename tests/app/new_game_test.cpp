// A new timed game from the stock collections: made, played to the end with the
// picker, timed, and handed to the hall of fame; and what happens without collections.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>

#include "support/gui_support.h"
#include "support/working_folder.h"

namespace {

using guitest::cellCentre;


class NewGame : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("PUNKTIVO_DATA_DIR", PUNKTIVO_SOURCE_DATA_DIR);
    started = std::make_unique<guitest::StartedGame>();
    started->runtime.clockSource = [this] { return now; };
    started->runtime.messageBoxResponder = [this](const platform::MessageBoxRequest& r) {
      messages << r.text;
      return 1;
    };
    started->game.timer().recordResult = [this] { recorded << started->game.timer().finalTime(); };
  }
  void TearDown() override {
    started->runtime.postQuit();
    started.reset();
    qunsetenv("PUNKTIVO_DATA_DIR");
  }
  app::App& game() { return started->game; }

  punktivo::testing::WorkingFolder folder;
  std::unique_ptr<guitest::StartedGame> started;
  double now = 1000.0;
  QStringList messages;
  QStringList recorded;
};

TEST_F(NewGame, SolvedByThePlayerEndsTheClockWithTheFinalTime) {
  QWidget* client = started->runtime.clientWidget();
  // Once the session runs (the solution is known then), type in every missing digit.
  QTimer::singleShot(0, [&] {
    EXPECT_TRUE(game().game().timedGame);
    EXPECT_EQ(started->runtime.labelCaption(), " 00:00:00");
    now += 83.46;  // the player needs 1:23.46
    const auto& m = game().model();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (m.givens[r][c] == 0) {
          const QPoint p = cellCentre(c, r);
          guitest::postClick(client, Qt::LeftButton, p.x(), p.y());
          const QString digit = QString::number(m.solution[r][c]);
          guitest::postTyped(client, Qt::Key_0 + m.solution[r][c], digit);
        }
    guitest::postTyped(client, Qt::Key_Escape, QString(QChar(27)));
  });
  started->runtime.chooseMenuItem(8);
  const auto& m = game().model();
  int givens = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) givens += m.givens[r][c] != 0;
  EXPECT_GE(givens, 36) << "an easy game keeps the record's givens";
  EXPECT_EQ(m.board, m.solution);
  EXPECT_EQ(game().panels().statusMessage, "Brett gelöst!!!");
  EXPECT_EQ(recorded, QStringList{"00:01:23.5"});
  EXPECT_FALSE(game().game().timedGame);
  EXPECT_EQ(started->runtime.labelCaption(), " 99:99:99");
  EXPECT_EQ(game().game().mistakeCount, 0);
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(NewGame, ASolvedGameLandsInTheHallOfFameFile) {
  app::App& app = game();
  QWidget* client = started->runtime.clientWidget();
  // The real road: the timer hands the time to the hall of fame, which asks for a name.
  app.timer().recordResult = [&app] {
    app.hallDialogs().recordResult(app.timer().finalTime().toStdString(), app.settings().difficulty);
  };
  started->runtime.dateSource = [] { return QString("07.12.2026"); };
  app.hallDialogs().onNameDialogShown = [](platform::Form& champ) {
    auto* box = champ.control("ed1");
    QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier));
    for (QChar ch : QString("Jürgen"))
      QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch)));
    // Enter accepts the name.
    QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r"));
  };
  QStringList shownRows;
  app.hallDialogs().onHallShown = [&shownRows](platform::Form& ruhm) {
    for (const QStringList& row : ruhm.listRows("liste1")) shownRows << row.join("|");
    const QPoint c = ruhm.control("cmd3")->rect().center();
    guitest::postMouse(ruhm.control("cmd3"), QEvent::MouseButtonPress, Qt::LeftButton, c.x(), c.y());
    guitest::postMouse(ruhm.control("cmd3"), QEvent::MouseButtonRelease, Qt::LeftButton, c.x(), c.y());
  };
  QTimer::singleShot(0, [&] {
    now += 42.27;
    const auto& m = app.model();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (m.givens[r][c] == 0) {
          const QPoint p = cellCentre(c, r);
          guitest::postClick(client, Qt::LeftButton, p.x(), p.y());
          guitest::postTyped(client, Qt::Key_0 + m.solution[r][c], QString::number(m.solution[r][c]));
        }
    guitest::postTyped(client, Qt::Key_Escape, QString(QChar(27)));
  });
  started->runtime.chooseMenuItem(8);
  ASSERT_EQ(shownRows.size(), 1);
  EXPECT_TRUE(shownRows[0].contains("Jürgen")) << shownRows[0].toStdString();
  EXPECT_TRUE(shownRows[0].contains("00:00:42.3"));
  QFile file("Champions.Rhm");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("J\xfcrgen\r\n07.12.2026\r\n00:00:42.3\r\n")) << bytes.left(40).toStdString();
  EXPECT_EQ(bytes.count("\r\n"), 120);
  EXPECT_EQ(started->runtime.labelCaption(), " 99:99:99");
}

TEST_F(NewGame, ThirdWrongDigitEndsTheTimingAndNothingIsRecorded) {
  QWidget* client = started->runtime.clientWidget();
  QTimer::singleShot(0, [&] {
    const auto& m = game().model();
    int wrong = 0;
    for (int r = 1; r <= 9 && wrong < 3; ++r)
      for (int c = 1; c <= 9 && wrong < 3; ++c)
        if (m.givens[r][c] == 0) {
          const QPoint p = cellCentre(c, r);
          guitest::postClick(client, Qt::LeftButton, p.x(), p.y());
          const int bad = m.solution[r][c] % 9 + 1;
          guitest::postTyped(client, Qt::Key_0 + bad, QString::number(bad));
          ++wrong;
        }
    guitest::postKeyStroke(client, Qt::Key_A);
  });
  started->runtime.chooseMenuItem(8);
  EXPECT_EQ(game().game().mistakeCount, 3);
  EXPECT_FALSE(game().game().timedGame);
  EXPECT_TRUE(recorded.isEmpty());
  EXPECT_EQ(started->runtime.labelCaption(), " 99:99:99");
}

TEST_F(NewGame, WithoutCollectionsThePlayerIsToldAndTheBoardStays) {
  qputenv("PUNKTIVO_DATA_DIR", folder.path().toUtf8());
  const auto before = game().model().dotsRight;
  started->runtime.chooseMenuItem(8);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("Kein neues Spiel möglich.")) << messages[0].toStdString();
  EXPECT_TRUE(messages[0].contains("leicht.ptv"));
  EXPECT_EQ(game().model().dotsRight, before);
  EXPECT_FALSE(game().model().quietMode);
  EXPECT_FALSE(game().game().timedGame);
}

TEST_F(NewGame, BrokenCollectionsAreReportedAndTheNextGoodOneIsPlayed) {
  QFile stock(QString(PUNKTIVO_SOURCE_DATA_DIR) + "/leicht.ptv");
  ASSERT_TRUE(stock.open(QIODevice::ReadOnly));
  const QByteArray good = stock.readAll();
  ASSERT_EQ(good.size(), 9600);
  // Each record's solution kept, its givens gone: the solver has nowhere to start.
  QByteArray withoutGivens = good;
  for (int record = 0; record < 4; ++record) withoutGivens.replace(2400 * record + 100, 100, QByteArray(100, '\0'));

  const struct {
    const char* what;
    QByteArray bytes;
    const char* message;
  } broken[] = {
      {"empty", QByteArray(), "fehlt oder ist unlesbar"},
      {"one byte", QByteArray(1, '\5'), "fehlt oder ist unlesbar"},
      {"cut inside the first record", good.left(1399), "fehlt oder ist unlesbar"},
      {"all records empty", QByteArray(9600, '\0'), "fehlt oder ist unlesbar"},
      {"random bytes", QByteArray(9600, '\x5A'), "fehlt oder ist unlesbar"},
      {"unsolvable records", withoutGivens, "enthält kein brauchbares Rätsel"},
  };
  // The working directory is searched first: a broken copy there hides the stock file.
  const QString local = folder.filePath("leicht.ptv");
  for (const auto& file : broken) {
    SCOPED_TRACE(file.what);
    QFile out(local);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(out.write(file.bytes), file.bytes.size());
    out.close();
    messages.clear();
    const auto before = game().model().dotsRight;
    const auto board = game().model().board;
    started->runtime.chooseMenuItem(8);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Kein neues Spiel möglich.")) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8(file.message))) << messages[0].toStdString();
    EXPECT_EQ(game().model().dotsRight, before);
    EXPECT_EQ(game().model().board, board);
    EXPECT_FALSE(game().model().quietMode);
    EXPECT_FALSE(game().game().timedGame);
    QFile check(local);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), file.bytes) << "a collection is only read";
  }

  // The program goes on: with the stock file in reach again, a timed game starts.
  ASSERT_TRUE(QFile::remove(local));
  messages.clear();
  bool timed = false;
  QTimer::singleShot(0, [&] {
    timed = game().game().timedGame;
    guitest::postKeyStroke(started->runtime.clientWidget(), Qt::Key_A);
  });
  started->runtime.chooseMenuItem(8);
  EXPECT_TRUE(timed);
  EXPECT_TRUE(messages.isEmpty());
  const auto& m = game().model();
  int givens = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (m.givens[r][c] != 0) {
        ++givens;
        EXPECT_EQ(m.givens[r][c], m.solution[r][c]);
      }
  EXPECT_GT(givens, 20) << "a Leicht puzzle from the stock collection";
}

TEST_F(NewGame, ExtremeThinsTheGivensAndShuffleKeepsAValidBoard) {
  started->runtime.chooseMenuItem(33);
  QTimer::singleShot(0, [&] { guitest::postKeyStroke(started->runtime.clientWidget(), Qt::Key_A); });
  started->runtime.chooseMenuItem(8);
  const auto& m = game().model();
  int givens = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) givens += m.givens[r][c] != 0;
  EXPECT_LT(givens, 22);
  EXPECT_GT(givens, 0);
  // "Brett mischen" on the restarted board: the givens move with the board.
  started->runtime.chooseMenuItem(24);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (m.givens[r][c] != 0) {
        EXPECT_EQ(m.board[r][c], m.givens[r][c]);
      }
}

}  // namespace
