// The record dialog: a click or a key on a record acts at once; cancel changes nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/gui_support.h"
#include "storage/atomic_file.h"
#include "app/board_dialog.h"
#include "support/working_folder.h"

namespace {

using punktivo::BoardDialog;

class RecordDialog : public ::testing::Test {
 protected:
  void TearDown() override {
    started.runtime.postQuit();
  }
  // Clicks a control of the dialog the way a player does, once it is shown.
  void clickWhenShown(const QString& control) {
    dialog().onShown = [control](platform::Form& form) {
      QWidget* w = form.control(control);
      const QPoint centre = w->rect().center();
      guitest::postMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, centre.x(), centre.y());
      guitest::postMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, centre.x(), centre.y());
    };
  }
  void typeWhenShown(const QString& text, int qtKey) {
    dialog().onShown = [text, qtKey](platform::Form& form) {
      QWidget* focused = form.control(form.focusedControl().isEmpty() ? "opt1" : form.focusedControl());
      QCoreApplication::postEvent(focused, new QKeyEvent(QEvent::KeyPress, qtKey, Qt::NoModifier, text));
    };
  }
  BoardDialog& dialog() { return started.game.boardDialog(); }
  punktivo::BoardModel& model() { return started.game.model(); }

  punktivo::testing::WorkingFolder folder;
  guitest::StartedGame started;
};

TEST_F(RecordDialog, SaveByClickingARecordThenLoadItByTypingItsNumber) {
  model().board[2][5] = model().givens[2][5] = 7;
  model().candidates[3][3][9] = true;
  clickWhenShown("opt3");
  started.game.openSaveDialog();
  EXPECT_EQ(started.game.boardFile().boardSlot, 2);
  QFile file("brett.ptv");
  ASSERT_TRUE(file.exists());
  EXPECT_EQ(file.size(), 9600);

  model().clearBoard();
  typeWhenShown("3", Qt::Key_3);
  started.game.openLoadDialog();
  EXPECT_EQ(model().board[2][5], 7);
  EXPECT_EQ(model().givens[2][5], 7);
  EXPECT_TRUE(model().candidates[3][3][9]);
  EXPECT_EQ(model().dotsDown[1][1], 1) << "the start board's dots travelled with the record";
}

TEST_F(RecordDialog, EnterTakesTheFocusedRecordAndCancelKeepsTheBoard) {
  model().board[9][9] = 3;
  typeWhenShown("\r", Qt::Key_Return);  // focus is on record 1
  started.game.openSaveDialog();
  EXPECT_EQ(started.game.boardFile().boardSlot, 0);

  model().board[9][9] = 5;
  const auto before = model().board;
  clickWhenShown("cmd2");
  started.game.openLoadDialog();
  EXPECT_EQ(model().board, before);
}

TEST_F(RecordDialog, AFailedSaveIsReportedAndKeepsTheOldFile) {
  model().board[1][1] = 1;
  clickWhenShown("opt1");
  started.game.openSaveDialog();
  QFile file("brett.ptv");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray saved = file.readAll();
  file.close();
  QStringList messages;
  started.runtime.messageBoxResponder = [&](const platform::MessageBoxRequest& r) {
    messages << r.text;
    return 1;
  };
  punktivo::FailAfterBytes failing(100);
  started.game.boardFile().setFileCalls(failing);
  model().board[1][1] = 2;
  clickWhenShown("opt1");
  started.game.openSaveDialog();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("Das Brett konnte nicht gesichert werden."));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), saved);
}

}  // namespace
