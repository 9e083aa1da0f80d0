// punktivo-tool hint, solve-logic and make: on the stock collections, on dots-only puzzles
// and on boards in play, checked against the records and the exact counter.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/exact_solver.h"
#include "storage/board_file.h"
#include "storage/data_files.h"
#include "support/temp_dir.h"
#include "tool_runner.h"

namespace punktivo {
namespace {

using testing::TempDir;
using testing::ToolOutput;

const std::filesystem::path kDataDir = PUNKTIVO_SOURCE_DATA_DIR;

const std::set<std::string> kGradeNames = {"Sanft", "Knifflig", "Verzwickt", "Teuflisch",
                                           "nicht ohne Probieren lösbar"};

std::string line(const Grid& grid) {
  std::string text;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) text += grid[r][c] == 0 ? '.' : char('0' + grid[r][c]);
  return text;
}

class LogicToolTest : public ::testing::Test {
 protected:
  TempDir dir;
  NullDisplay display;
  SeededRandom random{3};

  ToolOutput run(const std::string& args) { return testing::runTool("", args, dir.path()); }

  void load(const std::filesystem::path& path, int slot, BoardModel& model) {
    model.quietMode = true;
    BoardFile file(model, random);
    file.boardFileName = path.string();
    ASSERT_TRUE(file.loadBoardRecord(slot).loaded()) << path;
  }
  void save(BoardModel& model, const std::filesystem::path& path, int slot) {
    BoardFile file(model, random);
    file.boardFileName = path.string();
    ASSERT_TRUE(file.saveBoardRecord(slot).saved()) << path;
  }
};

// The technique counts add up to the steps.
int countedSteps(const ToolOutput& out) {
  int sum = 0;
  for (const auto& [key, value] : out.keys)
    if (key.rfind("technique.", 0) == 0) sum += std::stoi(value);
  return sum;
}

TEST_F(LogicToolTest, SolveLogicFinishesEveryStockRecordOnItsSolution) {
  for (int level = 0; level < 4; ++level)
    for (int n = 1; n <= 4; ++n) {
      const std::string file = (kDataDir / collectionFileName(level)).string();
      SCOPED_TRACE(file + ":" + std::to_string(n));
      BoardModel record(display);
      load(file, n - 1, record);
      const ToolOutput out = run("solve-logic '" + file + ":" + std::to_string(n) + "'");
      ASSERT_EQ(out.exitCode, 0) << out.err;
      EXPECT_EQ(out.keys.at("solved"), "1");
      EXPECT_EQ(out.keys.at("board"), line(record.board));
      EXPECT_EQ(kGradeNames.count(out.keys.at("grade")), 1u) << out.keys.at("grade");
      EXPECT_NE(out.keys.at("grade"), "nicht ohne Probieren lösbar");
      EXPECT_EQ(countedSteps(out), std::stoi(out.keys.at("steps")));
    }
}

TEST_F(LogicToolTest, SolveLogicListsItsStepsAndWritesTheBoardReached) {
  const std::string file = (kDataDir / "extrem.ptv").string();
  const auto out = dir / "out.ptv";
  const ToolOutput solved = run("solve-logic '" + file + ":3' --steps -o '" + out.string() + ":2'");
  ASSERT_EQ(solved.exitCode, 0) << solved.err;
  const int steps = std::stoi(solved.keys.at("steps"));
  EXPECT_TRUE(solved.keys.count("step." + std::to_string(steps)));
  EXPECT_FALSE(solved.keys.count("step." + std::to_string(steps + 1)));
  EXPECT_NE(solved.keys.at("step.1").find(" | "), std::string::npos) << solved.keys.at("step.1");

  BoardModel record(display), written(display);
  load(file, 2, record);
  load(out, 1, written);
  EXPECT_EQ(written.board, record.board);  // the solution, the placed digits as player digits
  EXPECT_EQ(written.givens, record.givens);
  EXPECT_EQ(written.dotsRight, record.dotsRight);
  EXPECT_EQ(written.dotsDown, record.dotsDown);
}

TEST_F(LogicToolTest, HintOnTheGivensAndOnABoardInPlay) {
  const std::string file = (kDataDir / "mittel.ptv").string();
  BoardModel record(display);
  load(file, 0, record);
  const ToolOutput first = run("hint '" + file + ":1'");
  ASSERT_EQ(first.exitCode, 0) << first.err;
  ASSERT_NE(first.keys.at("technique"), "none");
  EXPECT_FALSE(first.keys.at("text").empty());
  EXPECT_FALSE(first.keys.at("placements").empty() && first.keys.at("removals").empty());
  // A placement names a cell and the solution's digit there.
  const std::string& placed = first.keys.at("placements");
  if (!placed.empty()) {
    EXPECT_EQ(placed[5] - '0', record.board[placed[1] - '0'][placed[3] - '0']) << placed;
  }

  // In play: the givens and one right digit, then one wrong digit.
  BoardModel play = record;
  play.board = record.givens;
  int r = 1, c = 1;
  while (record.givens[r][c] != 0) c == 9 ? (++r, c = 1) : ++c;
  play.board[r][c] = record.board[r][c];
  const auto board = dir / "brett.ptv";
  save(play, board, 0);
  play.board[r][c] = uint8_t(record.board[r][c] % 9 + 1);
  save(play, board, 1);
  const ToolOutput right = run("hint '" + board.string() + ":1' --board");
  ASSERT_EQ(right.exitCode, 0) << right.err;
  EXPECT_NE(right.keys.at("technique"), "none");
  EXPECT_FALSE(right.keys.count("wrong"));
  const ToolOutput wrong = run("hint '" + board.string() + ":2' --board");
  ASSERT_EQ(wrong.exitCode, 0) << wrong.err;
  EXPECT_EQ(wrong.keys.at("technique"), "none");
  EXPECT_EQ(wrong.keys.at("wrong"), "R" + std::to_string(r) + "C" + std::to_string(c));
  // Without --board the player's digits do not count.
  EXPECT_FALSE(run("hint '" + board.string() + ":2'").keys.count("wrong"));
}

TEST_F(LogicToolTest, NothingToDeduceIsSaidAsSuch) {
  // No givens and dots that impose nothing: only guessing would go on.
  BoardModel open(display);
  for (auto& row : open.dotsRight) row.fill(3);
  for (auto& row : open.dotsDown) row.fill(3);
  const auto file = dir / "open.ptv";
  save(open, file, 0);
  const ToolOutput solve = run("solve-logic '" + file.string() + "'");
  ASSERT_EQ(solve.exitCode, 0) << solve.err;
  EXPECT_EQ(solve.keys.at("solved"), "0");
  EXPECT_EQ(solve.keys.at("steps"), "0");
  EXPECT_EQ(solve.keys.at("grade"), "nicht ohne Probieren lösbar");
  EXPECT_EQ(solve.keys.at("hardest"), "none");
  const ToolOutput hint = run("hint '" + file.string() + "'");
  EXPECT_EQ(hint.keys.at("technique"), "none");
  EXPECT_NE(hint.keys.at("text").find("nicht ohne Probieren"), std::string::npos);
}

TEST_F(LogicToolTest, MakeGivesSoundPuzzlesAtOrBelowTheGrade) {
  const auto out = dir / "made.ptv";
  const ToolOutput dotsOnly = run("make extrem --no-givens --seed 11 -o '" + out.string() + ":2'");
  ASSERT_EQ(dotsOnly.exitCode, 0) << dotsOnly.err;
  EXPECT_EQ(dotsOnly.keys.at("givenCount"), "0");
  EXPECT_EQ(dotsOnly.keys.at("solved"), "1");
  // The record as the collections hold theirs; the exact counter finds its one solution.
  BoardModel made(display);
  load(out, 1, made);
  EXPECT_EQ(line(made.board), dotsOnly.keys.at("solution"));
  EXPECT_EQ(made.givens, Grid{});
  const ExactSolution exact = solveExact(made.givens, made.dotsRight, made.dotsDown);
  ASSERT_TRUE(exact.unique());
  EXPECT_EQ(exact.grid, made.board);
  const ToolOutput again = run("solve-logic '" + out.string() + ":2'");
  EXPECT_EQ(again.keys.at("solved"), "1");
  EXPECT_EQ(again.keys.at("board"), dotsOnly.keys.at("solution"));

  // Same seed, same puzzle; the grade is kept; a level keeps its givens.
  const ToolOutput gentle = run("make mittel --grade sanft --seed 12");
  ASSERT_EQ(gentle.exitCode, 0) << gentle.err;
  EXPECT_EQ(gentle.keys.at("grade"), "Sanft");
  EXPECT_GE(std::stoi(gentle.keys.at("givenCount")), 28);
  EXPECT_EQ(run("make mittel --grade sanft --seed 12").keys.at("givens"), gentle.keys.at("givens"));
  const ToolOutput extreme = run("make extrem --grade 2 --seed 12");
  ASSERT_EQ(extreme.exitCode, 0) << extreme.err;
  EXPECT_TRUE(extreme.keys.at("grade") == "Sanft" || extreme.keys.at("grade") == "Knifflig");
}

TEST_F(LogicToolTest, WrongArgumentsAreRefused) {
  const std::string file = (kDataDir / "leicht.ptv").string();
  for (const std::string& args : std::vector<std::string>{"make", "make hart", "make leicht --grade leicht", "make leicht --seed x",
                                 "hint", "hint '" + file + ":5'", "hint '" + file + "' --steps",
                                 "solve-logic '" + file + "' -o", "hint '" + (dir / "missing.ptv").string() + "'"}) {
    const ToolOutput out = run(args);
    EXPECT_EQ(out.exitCode, 2) << args;
    EXPECT_NE(out.err.find("punktivo-tool: "), std::string::npos) << args;
  }
  const ToolOutput help = run("--help");
  EXPECT_NE(help.out.find("solve-logic"), std::string::npos);
}

}  // namespace
}  // namespace punktivo
