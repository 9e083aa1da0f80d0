// Comforts as a player meets them: the pause (P, and by itself when the window is
// minimised) that hides the board and stops the clock, the stroke through a wrong digit
// that a greyscale screen still shows, and notes tidied by an entered digit, back by undo.
#include <gtest/gtest.h>

#include <QColor>

#include "storage/resume_file.h"
#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

const QRect kBoard(29, 45, 540, 540);  // inside the board's frame
constexpr QRgb kFace = 0xffc0c0c0U;     // the pause face's grey

QRect cellRect(int row, int column) { return QRect(29 + 60 * (column - 1) + 1, 45 + 60 * (row - 1) + 1, 58, 58); }

// Pixels of the board that are not the face's grey: only its text when the board is hidden.
int notFace(const QImage& board) {
  int count = 0;
  for (int y = 0; y < board.height(); ++y)
    for (int x = 0; x < board.width(); ++x) count += board.pixel(x, y) != kFace;
  return count;
}
bool boardHidden(Game& game) { return notFace(game.grab(kBoard)) < 4000; }


// The first empty cell of a board of 81 digits, and another empty one in its row.
struct TwoCells {
  int row = 0, first = 0, second = 0;
};
TwoCells twoEmptyInARow(const std::string& board) {
  for (int r = 1; r <= 9; ++r) {
    const std::string line = board.substr(size_t(r - 1) * 9, 9);
    const size_t a = line.find('0');
    const size_t b = a == std::string::npos ? a : line.find('0', a + 1);
    if (b != std::string::npos) return {r, int(a) + 1, int(b) + 1};
  }
  return {};
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

TEST(Pause, PHidesTheBoardStopsTheClockAndThePausedTimeNeverCounts) {
  Game game;
  const auto begun = std::chrono::steady_clock::now();
  const TimedGame timed = startTimedGame(game);
  const TwoCells cells = twoEmptyInARow(timed.board);
  ASSERT_NE(cells.row, 0);
  const char digit = timed.solution[size_t(9 * (cells.row - 1) + cells.first - 1)];
  enterDigit(game, cells.row, cells.first, std::string(1, digit).c_str());
  const QImage shown = game.stillImage(kBoard);

  const auto paused = std::chrono::steady_clock::now();
  game.tap("p");
  ASSERT_TRUE(waitUntil([&] { return boardHidden(game); })) << "the board is still shown";
  // Neither digits nor notes nor dots: the face's text is all there is.
  EXPECT_TRUE(game.clockStopped()) << "the clock runs on in the pause";
  EXPECT_TRUE(game.clockStopped());
  const auto resumed = std::chrono::steady_clock::now();
  game.tap("p");
  ASSERT_TRUE(waitUntil([&] { return game.grab(kBoard) == shown; })) << "the board did not come back as it was";
  EXPECT_TRUE(game.clockMoves()) << "the clock did not go on";
  // The same pause through the menu, and a click on the face ends it.
  game.chooseMenu("x", "p");
  ASSERT_TRUE(waitUntil([&] { return boardHidden(game); }));
  const auto clicked = std::chrono::steady_clock::now();
  EXPECT_TRUE(game.clockStopped());
  const auto secondPause = std::chrono::steady_clock::now() - clicked;
  game.click(kBoard.center().x(), kBoard.center().y());
  ASSERT_TRUE(waitUntil([&] { return game.grab(kBoard) == shown; }));
  EXPECT_FALSE(game.pickerShown(5, 5));
  leaveSession(game);
  const auto left = std::chrono::steady_clock::now();

  // The game kept on leaving has the time played, without the pauses.
  const punktivo::ResumeReadResult kept = punktivo::readResumeFile(game.dir() / punktivo::kResumeFile);
  ASSERT_TRUE(kept.ok());
  ASSERT_TRUE(kept.state.timedGame);
  const double played = kept.state.elapsedMilliseconds / 1000.0;
  const double pauses = seconds(resumed - paused) + seconds(secondPause);
  ASSERT_GT(pauses, 4.0);
  EXPECT_LE(played, seconds(left - begun) - pauses + 1.0) << "a pause was counted";
  EXPECT_GT(played, 0.0);
}

TEST(Pause, AMinimisedWindowPausesTheGameUntilP) {
  Game game;
  const TimedGame timed = startTimedGame(game);
  ASSERT_EQ(timed.board.size(), 81u);
  const QImage shown = game.stillImage(kBoard);
  game.x().minimize(game.mainWindow());
  ASSERT_TRUE(waitUntil([&] { return !game.x().findWindow(kMainTitle).viewable; })) << "not minimised";
  game.x().restore(game.mainWindow());
  ASSERT_TRUE(waitUntil([&] { return game.x().findWindow(kMainTitle).viewable; }));
  ASSERT_TRUE(waitUntil([&] { return boardHidden(game); })) << "the game did not pause itself";
  EXPECT_TRUE(game.clockStopped());
  game.tap("p");
  ASSERT_TRUE(waitUntil([&] { return game.grab(kBoard) == shown; }));
  EXPECT_TRUE(game.clockMoves());
  leaveSession(game);
}

// Pixels of a cell in greyscale near its top-left and bottom-right corners, where no digit
// reaches, that are clearly not white: the stroke's ends. (Pure red turns mid-grey, 130.)
int cornerInk(const QImage& cell) {
  const QImage grey = cell.convertToFormat(QImage::Format_Grayscale8);
  int ink = 0;
  for (const QRect corner : {QRect(4, 4, 8, 8), QRect(46, 46, 8, 8)})
    for (int y = corner.top(); y <= corner.bottom(); ++y)
      for (int x = corner.left(); x <= corner.right(); ++x) ink += qGray(grey.pixel(x, y)) < 200;
  return ink;
}

TEST(ErrorShape, WithTheOptionAGreyscaleScreenTellsAWrongDigitFromARightOne) {
  Game game;
  game.chooseMenu("x", "m");
  ASSERT_TRUE(waitUntil([&] { return game.readFile("punktivo.opt").size() > 14; })) << "the option was not kept";
  const std::string options = [&] {
    const std::vector<uint8_t> bytes = game.readFile("punktivo.opt");
    return std::string(bytes.begin(), bytes.end());
  }();
  EXPECT_EQ(options, "hervorheben=1\nfehlermarke=1\n");
  const TimedGame timed = startTimedGame(game);
  const TwoCells cells = twoEmptyInARow(timed.board);
  ASSERT_NE(cells.row, 0);
  const char right = timed.solution[size_t(9 * (cells.row - 1) + cells.first - 1)];
  const char rightOfSecond = timed.solution[size_t(9 * (cells.row - 1) + cells.second - 1)];
  const char wrong = rightOfSecond == '9' ? '1' : char(rightOfSecond + 1);
  enterDigit(game, cells.row, cells.first, std::string(1, right).c_str());
  enterDigit(game, cells.row, cells.second, std::string(1, wrong).c_str());
  ASSERT_EQ(game.cellInk(cells.row, cells.second), Ink::Red);
  const QImage rightCell = game.stillImage(cellRect(cells.row, cells.first));
  const QImage wrongCell = game.stillImage(cellRect(cells.row, cells.second));
  EXPECT_EQ(cornerInk(rightCell), 0);
  EXPECT_GE(cornerInk(wrongCell), 12) << "no stroke a greyscale screen shows";
  // Switched off, the stroke goes and the red digit stays.
  game.chooseMenu("x", "m");
  ASSERT_TRUE(waitUntil([&] { return cornerInk(game.grab(cellRect(cells.row, cells.second))) == 0; }));
  EXPECT_EQ(game.cellInk(cells.row, cells.second), Ink::Red);
  leaveSession(game);
}

TEST(TidyNotes, AnEnteredDigitTakesItsNoteFromTheRowAndUndoBringsItBack) {
  Game game;
  game.chooseMenu("x", "n");
  ASSERT_TRUE(waitUntil([&] { return !game.readFile("punktivo.opt").empty(); }));
  const TimedGame timed = startTimedGame(game);
  const TwoCells cells = twoEmptyInARow(timed.board);
  ASSERT_NE(cells.row, 0);
  const char digit = timed.solution[size_t(9 * (cells.row - 1) + cells.first - 1)];
  const QRect noteCell = cellRect(cells.row, cells.second);
  const QImage bare = game.stillImage(noteCell);
  // The digit noted in the second cell with the right button's picker.
  const QPoint second = game.cellCentre(cells.row, cells.second);
  game.click(second.x(), second.y(), 3);
  ASSERT_TRUE(waitUntil([&] { return game.pickerShown(cells.row, cells.second); }));
  game.tap(std::string(1, digit).c_str());
  ASSERT_TRUE(waitUntil([&] { return !game.pickerShown(cells.row, cells.second); }));
  const QImage noted = game.stillImage(noteCell);
  ASSERT_NE(noted, bare) << "no note drawn";

  enterDigit(game, cells.row, cells.first, std::string(1, digit).c_str());
  ASSERT_TRUE(waitUntil([&] { return game.grab(noteCell) == bare; })) << "the note stayed";
  game.x().chord("Control_L", "z");
  ASSERT_TRUE(waitUntil([&] { return game.cellInk(cells.row, cells.first) == Ink::None; }));
  ASSERT_TRUE(waitUntil([&] { return game.grab(noteCell) == noted; })) << "undo did not bring the note back";
  game.x().chord("Control_L", "y");
  ASSERT_TRUE(waitUntil([&] { return game.grab(noteCell) == bare && game.cellInk(cells.row, cells.first) == Ink::Blue; }));
  leaveSession(game);
}

}  // namespace
}  // namespace e2e
