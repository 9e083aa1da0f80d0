// punktivo-tool generate and shuffle: the new-game road and the shuffle command from the
// command line, checked against the collections and the engine's own judges.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/generator.h"
#include "storage/board_file.h"
#include "storage/data_files.h"
#include "support/temp_dir.h"
#include "tool_runner.h"

namespace punktivo {
namespace {

using testing::TempDir;

const std::filesystem::path kDataDir = PUNKTIVO_SOURCE_DATA_DIR;

using testing::ToolOutput;

Grid gridFromLine(const std::string& line) {
  Grid grid{};
  if (line.size() != 81) return grid;
  for (int i = 0; i < 81; ++i) grid[i / 9 + 1][i % 9 + 1] = line[i] == '.' ? 0 : uint8_t(line[i] - '0');
  return grid;
}

int countGivens(const Grid& givens) {
  int n = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) n += givens[r][c] != 0;
  return n;
}

class GenerateToolTest : public ::testing::Test {
 protected:
  TempDir dir;
  NullDisplay display;
  SeededRandom random{8};

  // Runs the tool in `cwd` with PUNKTIVO_DATA_DIR set to dataDir (unset when empty).
  ToolOutput run(const std::string& args, const std::filesystem::path& cwd, const std::string& dataDir = "") {
    const std::string env = dataDir.empty() ? "env -u PUNKTIVO_DATA_DIR " : "env PUNKTIVO_DATA_DIR='" + dataDir + "' ";
    return testing::runTool("cd '" + cwd.string() + "' && " + env, args, dir.path());
  }

  void load(const std::filesystem::path& path, int slot, BoardModel& model) {
    model.quietMode = true;
    BoardFile file(model, random);
    file.boardFileName = path.string();
    ASSERT_TRUE(file.loadBoardRecord(slot).loaded()) << path;
  }
};

TEST_F(GenerateToolTest, GenerateInAFolderHoldingTheCollectionGivesAGame) {
  const auto work = dir / "game";
  std::filesystem::create_directory(work);
  std::filesystem::copy_file(kDataDir / "leicht.ptv", work / "leicht.ptv");

  const ToolOutput first = run("generate leicht --seed 5 -o out.ptv:3", work);
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.keys.at("level"), "leicht");
  EXPECT_EQ(first.keys.at("seed"), "5");
  EXPECT_EQ(first.keys.at("unique"), "1");
  // As the player receives it: only the givens on the board, as many as the record has.
  EXPECT_EQ(first.keys.at("board"), first.keys.at("givens"));
  const int record = std::stoi(first.keys.at("record"));
  ASSERT_GE(record, 1);
  ASSERT_LE(record, 4);
  BoardModel stock(display);
  load(work / "leicht.ptv", record - 1, stock);
  EXPECT_EQ(first.keys.at("givenCount"), std::to_string(countGivens(stock.givens)));

  // The written record is that puzzle, with its dots: the candidate solver finishes it.
  BoardModel written(display);
  load(work / "out.ptv", 2, written);
  EXPECT_EQ(written.givens, gridFromLine(first.keys.at("givens")));
  EXPECT_EQ(written.board, written.givens);
  EXPECT_EQ(countSolutions(written.givens, written.dotsRight, written.dotsDown, 2), 1);
  Settings settings;
  Solver solver(written, settings);
  solver.solveWithCandidates();
  EXPECT_TRUE(written.isBoardComplete());
  EXPECT_TRUE(isValidSolution(written.board));

  // The same seed gives the same game; another seed another one.
  const ToolOutput again = run("generate 0 --seed 5", work);
  EXPECT_EQ(again.keys.at("board"), first.keys.at("board"));
  const ToolOutput other = run("generate leicht --seed 6", work);
  EXPECT_NE(other.keys.at("board"), first.keys.at("board"));
}

TEST_F(GenerateToolTest, ExtremeGamesAreThinnedFromTheDataFolder) {
  const ToolOutput r = run("generate extrem --seed 9", dir.path(), kDataDir.string());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_LT(std::stoi(r.keys.at("givenCount")), 22);  // every record of extrem.ptv has more
  EXPECT_EQ(r.keys.at("unique"), "1");
}

TEST_F(GenerateToolTest, MissingCollectionIsReportedNotHung) {
  if (std::filesystem::exists(dataSearchPath().back() / "schwer.ptv"))
    GTEST_SKIP() << "an installed schwer.ptv would be found";
  const ToolOutput r = run("generate schwer -o never.ptv", dir.path());
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_NE(r.err.find("no puzzle record could be read"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "never.ptv"));
}

TEST_F(GenerateToolTest, ShuffleDisguisesARecordAsTheMenuCommandDoes) {
  const std::string record = "'" + (kDataDir / "mittel.ptv").string() + ":2'";
  BoardModel stock(display);
  load(kDataDir / "mittel.ptv", 1, stock);

  const ToolOutput r = run("shuffle " + record + " --seed 4", dir.path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const Grid board = gridFromLine(r.keys.at("board")), givens = gridFromLine(r.keys.at("givens"));
  EXPECT_TRUE(isValidSolution(board));
  EXPECT_EQ(countGivens(givens), countGivens(stock.givens));
  for (int row = 1; row <= 9; ++row)
    for (int c = 1; c <= 9; ++c) {
      EXPECT_TRUE(givens[row][c] == 0 || givens[row][c] == board[row][c]);
      EXPECT_EQ(givens[row][c] != 0, givens[10 - row][10 - c] != 0);  // symmetric path
    }
  EXPECT_NE(r.keys.at("board"), r.keys.at("givens"));

  EXPECT_EQ(run("shuffle " + record + " --seed 4", dir.path()).keys.at("board"), r.keys.at("board"));
  // "Extrem" and the option turned off take the free path: other draws, another board.
  EXPECT_NE(run("shuffle " + record + " --seed 4 --level extrem", dir.path()).keys.at("board"),
            r.keys.at("board"));
  EXPECT_NE(run("shuffle " + record + " --seed 4 --no-symmetry", dir.path()).keys.at("board"),
            r.keys.at("board"));
}

TEST_F(GenerateToolTest, BadGenerateArgumentsExitWith2) {
  const std::string record = "'" + (kDataDir / "leicht.ptv").string() + "'";
  for (const std::string& args : std::vector<std::string>{"generate", "generate hard", "generate 4", "generate leicht --seed",
                                 "generate leicht --seed x", "generate leicht --level 2",
                                 "show " + record + " --seed 3", "shuffle " + record + " --level 7"}) {
    SCOPED_TRACE(args);
    const ToolOutput r = run(args, dir.path(), kDataDir.string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_FALSE(r.err.empty());
  }
}

}  // namespace
}  // namespace punktivo
