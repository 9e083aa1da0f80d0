// Puzzle links through the real clipboard of the X server: "Als Link kopieren" hands another
// program the board's link, hostile links pasted with "Link einfügen" give a message and
// change nothing, and a good one opens in the editor and is saved as its record.
#include <gtest/gtest.h>

#include "engine/exact_solver.h"
#include "engine/random.h"
#include "storage/board_file.h"
#include "storage/puzzle_link.h"
#include "tests/e2e/clipboard.h"
#include "tests/e2e/scenarios.h"

namespace e2e {
namespace {

const QRect kBoardWell(28, 44, 542, 542);

punktivo::LinkPuzzle stockPuzzle(const char* file, int slot) {
  punktivo::NullDisplay display;
  punktivo::BoardModel model(display);
  model.quietMode = true;
  punktivo::SeededRandom random(1);
  punktivo::BoardFile reader(model, random);
  reader.boardFileName = std::string(PUNKTIVO_SOURCE_DATA_DIR) + "/" + file;
  EXPECT_TRUE(reader.loadBoardRecord(slot).loaded());
  return punktivo::linkPuzzleOf(model);
}

TEST(Links, CopyHandsOutTheLinkAndHostilePastesChangeNothing) {
  Game game;
  Clipboard clipboard(game.x().displayName());

  // The start screen's board: the built-in dots, no givens.
  game.chooseMenu("x", "k");
  ASSERT_TRUE(game.waitDialog(kMainTitle)) << "no word that the link was copied";
  game.closeDialogWith("Return");
  ASSERT_TRUE(waitUntil([&] { return game.idleShown(); }));
  const std::optional<std::string> copied = clipboard.read();
  ASSERT_TRUE(copied.has_value()) << "the game does not hand out the clipboard";
  ASSERT_EQ(copied->rfind(punktivo::kFpuzzlesPrefix, 0), 0U) << *copied;
  const punktivo::LinkResult start = punktivo::readPuzzleLink(*copied);
  ASSERT_TRUE(start.ok()) << start.message();
  EXPECT_EQ(start.puzzle.givens, punktivo::Grid{});
  EXPECT_EQ(punktivo::countSolutions(start.puzzle.givens, start.puzzle.dotsRight, start.puzzle.dotsDown), 1);

  const QImage before = game.stillImage(kBoardWell);
  ASSERT_FALSE(before.isNull());
  std::string killer = punktivo::puzzleJson(stockPuzzle("leicht.ptv", 0));
  killer.insert(1, R"("killercage":[{"cells":["R1C1","R1C2"],"value":"10"}],)");
  std::string unshown = punktivo::puzzleJson(stockPuzzle("leicht.ptv", 0));
  unshown.erase(unshown.find(R"(,"negative")"));
  unshown += "}";
  const std::string hostile[] = {
      "https://f-puzzles.com/?load=N4IgzglgXgpiBcBOANCA5gJwgEwQbT2AF9l*",             // not Base64
      "https://f-puzzles.com/?load=N4IgzglgXgpiBcBOANCA5gJwgEwQbT2AF9ljSQA3AQwBsBXOeAdlTQ",  // cut short
      killer,
      unshown,
      std::string(punktivo::kFpuzzlesPrefix) + std::string(punktivo::kMostLinkBytes, 'A'),
  };
  for (const std::string& text : hostile) {
    SCOPED_TRACE(text.substr(0, 80));
    clipboard.offer(text);
    game.chooseMenu("x", "e");
    ASSERT_TRUE(game.waitDialog(kMainTitle)) << "no message for a link the board cannot take";
    game.closeDialogWith("Return");
    ASSERT_TRUE(waitUntil([&] { return game.idleShown(); })) << "the game went on after the message";
    EXPECT_TRUE(game.stillImage(kBoardWell) == before) << "the board changed";
  }
  EXPECT_FALSE(game.readFile("brett.ptv").size() > 0) << "something was saved";

  // A stock puzzle as SudokuPad links it: the editor opens it, and S saves it as record 1.
  const punktivo::LinkPuzzle schwer = stockPuzzle("schwer.ptv", 2);
  clipboard.offer(punktivo::puzzleLink(schwer, punktivo::LinkForm::kSudokuPad));
  game.chooseMenu("x", "e");
  ASSERT_TRUE(waitUntil([&] { return game.sessionShown(); })) << "no editor";
  EXPECT_TRUE(game.stillImage(kBoardWell) != before);
  game.saveThroughDialog();
  leaveSession(game);
  const std::vector<uint8_t> saved = game.readFile("brett.ptv");
  ASSERT_EQ(saved.size(), punktivo::kBoardFileSize);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const auto at = std::size_t(10) * std::size_t(r) + std::size_t(c);
      EXPECT_EQ(saved[punktivo::kGivensOffset + at], schwer.givens[r][c]) << r << "," << c;
      EXPECT_EQ(saved[punktivo::kBoardOffset + at], schwer.givens[r][c]) << r << "," << c;
      EXPECT_EQ(saved[punktivo::kDotsRightOffset + at], schwer.dotsRight[r][c]) << r << "," << c;
      EXPECT_EQ(saved[punktivo::kDotsDownOffset + at], schwer.dotsDown[r][c]) << r << "," << c;
    }
  EXPECT_EQ(game.solutionOfSaved(0).size(), 81U) << "the saved puzzle has not exactly one solution";
}

}  // namespace
}  // namespace e2e
