// "Als Link kopieren" and "Link einfügen" headless: the link on the clipboard, the pasted
// puzzle in the editor as a loaded record would be, a refused link leaving everything as it
// was, and the help's Extras table naming every item of the menu.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>

#include "app/menu.h"
#include "storage/puzzle_link.h"
#include "support/gui_support.h"

namespace {

class Links : public ::testing::Test {
 protected:
  void SetUp() override {
    started.runtime.messageBoxResponder = [this](const platform::MessageBoxRequest& request) {
      messages.push_back(request.text);
      return request.buttons.size();  // OK, or "Nein" to the question of the solution count
    };
  }
  void TearDown() override { started.runtime.postQuit(); }
  QWidget* client() { return started.runtime.clientWidget(); }
  punktivo::BoardModel& model() { return started.game.model(); }
  guitest::StartedGame started;
  QStringList messages;
};

// A small puzzle of the start board's solution: its first row as givens, and its dots.
punktivo::LinkPuzzle puzzleOf(const punktivo::BoardModel& model) {
  punktivo::LinkPuzzle p = punktivo::linkPuzzleOf(model);
  p.givens = punktivo::Grid{};
  p.givens[1][1] = 4;
  p.givens[5][5] = 5;
  return p;
}

TEST_F(Links, CopyPutsTheGivensAndDotsOnTheClipboard) {
  model().givens[2][2] = 8;
  model().board[2][2] = 8;
  model().board[3][3] = 3;  // the player's digit stays out of the link
  started.runtime.chooseMenuItem(app::kMenuCopyLink);
  const QString text = QGuiApplication::clipboard()->text();
  ASSERT_TRUE(text.startsWith("https://f-puzzles.com/?load=")) << text.toStdString();
  const punktivo::LinkResult back = punktivo::readPuzzleLink(text.toStdString());
  ASSERT_TRUE(back.ok()) << back.message();
  EXPECT_EQ(back.puzzle, punktivo::linkPuzzleOf(model()));
  EXPECT_EQ(back.puzzle.givens[3][3], 0);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("Zwischenablage"));
}

TEST_F(Links, PasteOpensThePuzzleInTheEditor) {
  const punktivo::LinkPuzzle puzzle = puzzleOf(model());
  model().board[9][9] = 7;  // a player's digit and mark, replaced with the board
  model().candidates[9][8][3] = true;
  started.game.game().mistakeCount = 2;
  QGuiApplication::clipboard()->setText(QString::fromStdString(punktivo::puzzleLink(puzzle, punktivo::LinkForm::kSudokuPad)));
  // In the editor the player counts the solutions, then leaves it.
  guitest::postKeyStroke(client(), Qt::Key_U);
  guitest::postKeyStroke(client(), Qt::Key_A);
  started.runtime.chooseMenuItem(app::kMenuPasteLink);

  // The count the U key made in the editor: the start board's dots and two givens on its
  // solution have one solution, whose showing the player declined.
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("Eindeutig lösbar.")) << messages[0].toStdString();
  EXPECT_EQ(model().givens, puzzle.givens);
  EXPECT_EQ(model().board, puzzle.givens);
  EXPECT_EQ(model().dotsRight, puzzle.dotsRight);
  EXPECT_EQ(model().dotsDown, puzzle.dotsDown);
  EXPECT_FALSE(model().candidates[9][8][3]);
  EXPECT_EQ(started.game.game().mistakeCount, 0);
  EXPECT_FALSE(started.game.input().editorMode);
}

TEST_F(Links, ARefusedLinkChangesNothing) {
  model().givens[2][2] = model().board[2][2] = 8;
  model().board[3][3] = 3;
  const punktivo::Grid board = model().board;
  const punktivo::Grid givens = model().givens;
  const punktivo::Grid right = model().dotsRight;
  const punktivo::Grid down = model().dotsDown;
  const QString hostile[] = {
      "",
      "https://f-puzzles.com/?load=N4Ig%%%",
      "https://f-puzzles.com/?load=N4IgzglgXgpiBcBOANCA5gJwgEwQbT2AF9ljSQA3AQwBsBXOeAdlTQ",
      R"({"size":6,"grid":[],"negative":["ratio","difference"]})",
      QString(int(punktivo::kMostLinkBytes) + 1, 'A'),
  };
  for (const QString& text : hostile) {
    messages.clear();
    QGuiApplication::clipboard()->setText(text);
    started.runtime.chooseMenuItem(app::kMenuPasteLink);
    ASSERT_EQ(messages.size(), 1) << text.left(80).toStdString();
    EXPECT_TRUE(messages[0].endsWith("Das Brett bleibt, wie es war.")) << messages[0].toStdString();
    EXPECT_EQ(model().board, board);
    EXPECT_EQ(model().givens, givens);
    EXPECT_EQ(model().dotsRight, right);
    EXPECT_EQ(model().dotsDown, down);
    EXPECT_FALSE(started.game.input().editorMode);
  }
}

// Every item of the menu "E&xtras" has its row in the help's table of that menu.
TEST(HelpExtras, TheTableNamesEveryItem) {
  QFile page(QString(PUNKTIVO_SOURCE_DATA_DIR) + "/help/übersicht.htm");
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(page.readAll());
  const qsizetype start = html.indexOf("<h3>Menü „Extras“</h3>");
  ASSERT_GE(start, 0);
  const QString table = html.mid(start, html.indexOf("</table>", start) - start);
  const QStringList& definition = app::menuDefinition();
  const qsizetype menu = definition.indexOf("E&xtras");
  ASSERT_GE(menu, 0);
  int items = 0;
  for (qsizetype i = menu + 1; i < definition.size() && !definition[i].isEmpty(); ++i) {
    if (definition[i] == "-") continue;
    const QString caption = definition[i].section(':', 1).section('\t', 0, 0).remove('&');
    EXPECT_TRUE(table.contains(caption)) << caption.toStdString();
    ++items;
  }
  EXPECT_GT(items, 0) << "no items read under Extras";
}

}  // namespace
