// punktivo-tool end to end: the built program on fixtures written by the game's writer,
// its outputs checked against the engine run in-process on the same records.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "engine/exact_solver.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "storage/board_file.h"
#include "support/boards.h"
#include "support/temp_dir.h"
#include "tool_runner.h"

namespace punktivo {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

using testing::kStartSolution;
constexpr const char* kSolutionLine =
    "412583967589764231763921845245316798936857412871492356197648523324175689658239174";

using ToolRun = testing::ToolOutput;

class ToolTest : public ::testing::Test {
 protected:
  TempDir dir;
  NullDisplay display;
  SeededRandom random{3};
  std::string fixture;

  // Record 1: start dots, givens in rows 3, 6, 9 (the candidate solver finishes it; the
  // rule solver alone, blind to dots, cannot). Record 2: the same, completed by player
  // digits. Record 3: record 1 with a wrong player digit. Record 4: the start board, dots
  // only.
  void SetUp() override {
    fixture = (dir / "fixture.ptv").string();
    for (int slot = 0; slot < 4; ++slot) {
      BoardModel model(display);
      model.quietMode = true;
      model.loadStartBoard();
      for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) {
          const auto digit = uint8_t(kStartSolution[r - 1][c - 1]);
          if (slot != 3 && r % 3 == 0) model.givens[r][c] = model.board[r][c] = digit;
          if (slot == 1) model.board[r][c] = digit;
        }
      if (slot == 2) model.board[1][1] = 9;  // not in row 1's or column 1's givens, but wrong
      saveRecord(fixture, slot, model);
    }
  }

  void saveRecord(const std::string& path, int slot, BoardModel& model) {
    BoardFile file(model, random);
    file.boardFileName = path;
    ASSERT_TRUE(file.saveBoardRecord(slot).saved());
  }

  // The record as the game would read it.
  void loadRecord(const std::string& path, int slot, BoardModel& model) {
    model.quietMode = true;
    BoardFile file(model, random);
    file.boardFileName = path;
    ASSERT_TRUE(file.loadBoardRecord(slot).loaded());
  }

  ToolRun run(const std::string& args) { return testing::runTool("", args, dir.path()); }
};

std::string q(const std::string& path) { return "'" + path + "'"; }

TEST_F(ToolTest, ShowDrawsDigitsGivensAndDots) {
  const ToolRun r = run("show " + q(fixture + ":3"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // Row 1: player 9 at (1, 1), black dot between columns 2 and 3, white between 8 and 9.
  EXPECT_NE(r.out.find("\n 1   9   . * .   .   .   .   .   . o .\n"), std::string::npos) << r.out;
  // Its vertical dots: white below (1, 1) and (1, 6), black below (1, 8).
  EXPECT_NE(r.out.find("\n     o                   o       *\n"), std::string::npos) << r.out;
  // Row 3 is all givens.
  EXPECT_NE(r.out.find("\n 3  [7]o[6]*[3] [9] [2]*[1] [8]*[4]o[5]\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.keys.at("givenCount"), "27");
  EXPECT_EQ(r.keys.at("empty"), "53");
  EXPECT_EQ(r.keys.at("complete"), "0");
  EXPECT_EQ(r.keys.at("unsolved"), "0");
  EXPECT_EQ(r.keys.at("markCount"), "0");
}

TEST_F(ToolTest, SolveCandidatesFinishesWithDotsSolveRulesCannot) {
  ToolRun r = run("solve-candidates " + q(fixture));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.keys.at("board"), kSolutionLine);
  EXPECT_EQ(r.keys.at("complete"), "1");
  EXPECT_EQ(r.keys.at("unsolved"), "0");

  r = run("solve-rules " + q(fixture + ":1"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.keys.at("complete"), "0");
  EXPECT_EQ(r.keys.at("unsolved"), "1");
  // The rule solver on the complete record leaves it complete and clears the flag.
  r = run("solve-rules " + q(fixture + ":2"));
  EXPECT_EQ(r.keys.at("complete"), "1");
  EXPECT_EQ(r.keys.at("unsolved"), "0");
}

TEST_F(ToolTest, SolveFinishesAPuzzleOrRestartsFromTheGivens) {
  ToolRun r = run("solve " + q(fixture));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.keys.at("board"), kSolutionLine);
  EXPECT_EQ(r.keys.at("unsolved"), "0");

  // The wrong 9 at (1, 1) strands the candidate solver on an inconsistent board, so the
  // command restarts from the givens and runs the rule solver, which cannot get further
  // without the dots: only the givens remain.
  const std::string out = (dir / "out.ptv").string();
  r = run("solve " + q(fixture + ":3") + " -o " + q(out + ":2"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.keys.at("board"), r.keys.at("givens"));
  EXPECT_EQ(r.keys.at("complete"), "0");
  EXPECT_EQ(r.keys.at("unsolved"), "1");
  NullDisplay modelDisplay;
  BoardModel written(modelDisplay);
  loadRecord(out, 1, written);
  EXPECT_EQ(written.board, written.givens);

  // On the start board (dots only) no digit is placed and the board stays unsolved.
  r = run("solve " + q(fixture + ":4"));
  EXPECT_EQ(r.keys.at("empty"), "81");
  EXPECT_EQ(r.keys.at("unsolved"), "1");
}

TEST_F(ToolTest, CandidatesAreWrittenAsMarks) {
  const std::string out = (dir / "marks.ptv").string();
  const ToolRun r = run("candidates " + q(fixture) + " -o " + q(out + ":4"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.keys.at("written"), out + ":4");

  NullDisplay expectDisplay;
  BoardModel expected(expectDisplay);
  loadRecord(fixture, 0, expected);
  Settings settings;
  Solver(expected, settings).computeCandidates();
  BoardModel written(expectDisplay);
  loadRecord(out, 3, written);
  EXPECT_EQ(written.candidates, expected.candidates);
  EXPECT_EQ(written.board, expected.board);

  int marks = 0;
  for (int row = 1; row <= 9; ++row)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d) marks += expected.candidates[row][c][d];
  EXPECT_GT(marks, 0);
  EXPECT_EQ(r.keys.at("markCount"), std::to_string(marks));
  // The single (1, 3) = 2 shows in the list.
  EXPECT_NE(r.keys.at("marks").find("r1c3:2 "), std::string::npos);
  // The written file is new, so the other records are empty.
  const auto bytes = readBytes(out);
  ASSERT_EQ(bytes.size(), 9600u);
  for (std::size_t i = 0; i < 1400; ++i) ASSERT_EQ(bytes[i], 0) << i;
}

TEST_F(ToolTest, DeriveDotsFromTheDigitsOnTheBoard) {
  // Record 2 holds the full solution; take its dots away first.
  const std::string bare = (dir / "bare.ptv").string();
  NullDisplay modelDisplay;
  BoardModel model(modelDisplay);
  loadRecord(fixture, 1, model);
  model.dotsRight = {};
  model.dotsDown = {};
  saveRecord(bare, 0, model);

  const std::string out = (dir / "dots.ptv").string();
  const ToolRun r = run("derive-dots " + q(bare) + " -o " + q(out));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  deriveDots(model);
  BoardModel written(modelDisplay);
  loadRecord(out, 0, written);
  EXPECT_EQ(written.dotsRight, model.dotsRight);
  EXPECT_EQ(written.dotsDown, model.dotsDown);
  EXPECT_EQ(written.dotsRight[1][2], kBlackDot);  // 1 beside 2
  EXPECT_EQ(written.dotsRight[1][1], kNoDot);     // 4 beside 1
  EXPECT_EQ(written.dotsDown[1][1], kWhiteDot);   // 4 above 5
}

TEST_F(ToolTest, DeriveDotsFromSolutionKeepsTheBoard) {
  const std::string out = (dir / "dots.ptv").string();
  const ToolRun r = run("derive-dots-from-solution " + q(fixture + ":2") + " -o " + q(out));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  NullDisplay expectDisplay;
  BoardModel expected(expectDisplay);
  loadRecord(fixture, 1, expected);
  const Grid before = expected.board;
  Settings settings;
  Solver solver(expected, settings);
  deriveDotsFromSolution(expected, solver);

  BoardModel written(expectDisplay);
  loadRecord(out, 0, written);
  EXPECT_EQ(written.board, before);
  EXPECT_EQ(written.dotsRight, expected.dotsRight);
  EXPECT_EQ(written.dotsDown, expected.dotsDown);
  EXPECT_EQ(r.keys.at("complete"), "1");
}

TEST_F(ToolTest, SolutionIsTheWrittenBoard) {
  const std::string out = (dir / "solution.ptv").string();
  const ToolRun r = run("solution " + q(fixture) + " -o " + q(out + ":3"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.keys.at("board"), kSolutionLine);
  EXPECT_EQ(r.keys.at("complete"), "1");
  EXPECT_EQ(r.keys.at("unsolved"), "0");
  NullDisplay expectDisplay;
  BoardModel original(expectDisplay), written(expectDisplay);
  loadRecord(fixture, 0, original);
  loadRecord(out, 2, written);
  EXPECT_EQ(written.givens, original.givens);
  for (int row = 1; row <= 9; ++row)
    for (int c = 1; c <= 9; ++c) EXPECT_EQ(written.board[row][c], kStartSolution[row - 1][c - 1]);
}

// count and solve-exact judge the puzzle, the givens with the dots, whatever the player wrote:
// record 3's wrong digit is overwritten, and record 4, dots without a single given (where
// the game's solver places nothing), is solved too.
TEST_F(ToolTest, SolveExactWritesTheOneSolutionOfTheGivensAndDots) {
  const std::string out = (dir / "exact.ptv").string();
  for (const int record : {1, 3, 4}) {
    SCOPED_TRACE(record);
    const std::string ref = ":" + std::to_string(record);
    ToolRun r = run("count " + q(fixture + ref));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.keys.at("solutions"), "1");
    EXPECT_EQ(r.keys.at("board"), record == 3 ? "9" + r.keys.at("givens").substr(1) : r.keys.at("givens"));

    r = run("solve-exact " + q(fixture + ref) + " -o " + q(out + ref));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.keys.at("board"), kSolutionLine);
    EXPECT_EQ(r.keys.at("solutions"), "1");
    EXPECT_EQ(r.keys.at("written"), out + ref);
    NullDisplay modelDisplay;
    BoardModel original(modelDisplay), written(modelDisplay);
    loadRecord(fixture, record - 1, original);
    loadRecord(out, record - 1, written);
    EXPECT_EQ(written.givens, original.givens);
    EXPECT_EQ(written.dotsRight, original.dotsRight);
    EXPECT_EQ(written.dotsDown, original.dotsDown);
    for (int row = 1; row <= 9; ++row)
      for (int c = 1; c <= 9; ++c) EXPECT_EQ(written.board[row][c], kStartSolution[row - 1][c - 1]);
  }
}

TEST_F(ToolTest, SolveExactWritesNothingWithoutExactlyOneSolution) {
  // Record 1: two equal givens in row 3. Record 2: no digits and no dots, which leaves many
  // fillings. The tool must say what the engine says.
  NullDisplay modelDisplay;
  BoardModel clash(modelDisplay), empty(modelDisplay);
  loadRecord(fixture, 0, clash);
  clash.givens[3][1] = clash.board[3][1] = clash.givens[3][2];
  ASSERT_EQ(countSolutions(clash.givens, clash.dotsRight, clash.dotsDown), 0);
  ASSERT_EQ(countSolutions(empty.givens, empty.dotsRight, empty.dotsDown), 2);
  const std::string puzzles = (dir / "puzzles.ptv").string();
  saveRecord(puzzles, 0, clash);
  saveRecord(puzzles, 1, empty);

  const std::string out = (dir / "never.ptv").string();
  for (const auto& [record, solutions, message] :
       {std::tuple{1, "0", "no solution"}, std::tuple{2, "2", "more than one solution"}}) {
    SCOPED_TRACE(record);
    const std::string ref = puzzles + ":" + std::to_string(record);
    ToolRun r = run("count " + q(ref));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.keys.at("solutions"), solutions);

    r = run("solve-exact " + q(ref) + " -o " + q(out));
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.keys.at("solutions"), solutions);
    EXPECT_EQ(r.err, "punktivo-tool: " + ref + ": " + message + ", nothing written\n");
    EXPECT_FALSE(r.keys.contains("written"));
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST_F(ToolTest, StatusReportsWhatTheErrorCheckWouldShow) {
  struct Case {
    int record;
    const char* message;
    const char* color;
    const char* beep;
    const char* boardFull;
  };
  const Case cases[] = {
      {1, "\"Keine Fehler! \"", "black", "0", "0"},
      {2, "\"Brett gelöst!!!\"", "black", "0", "1"},
      // The solution is computed with the wrong digit in place, so it cannot be found.
      {3, "\"Nicht lösbar!!!\"", "red", "0", "0"},
      {4, "\"Nicht lösbar!!!\"", "red", "0", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    const ToolRun r = run("status " + q(fixture + ":" + std::to_string(c.record)));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.keys.at("statusMessage"), c.message);
    EXPECT_EQ(r.keys.at("color"), c.color);
    EXPECT_EQ(r.keys.at("beep"), c.beep);
    EXPECT_EQ(r.keys.at("boardFull"), c.boardFull);
  }
  // Two givens that break their dot (7 beside 6 without the white dot): the solution is
  // still found, no player digit is wrong, and the consistency test fails with a beep.
  NullDisplay modelDisplay;
  BoardModel model(modelDisplay);
  loadRecord(fixture, 0, model);
  model.dotsRight[3][1] = kNoDot;
  const std::string broken = (dir / "broken.ptv").string();
  saveRecord(broken, 0, model);
  const ToolRun r = run("status " + q(broken));
  EXPECT_EQ(r.keys.at("statusMessage"), "\"Falsche Zahl! \"");
  EXPECT_EQ(r.keys.at("unsolved"), "0");
  EXPECT_EQ(r.keys.at("beep"), "1");
  EXPECT_EQ(r.keys.at("color"), "red");
}

TEST_F(ToolTest, OutputKeepsTheOtherRecords) {
  const auto before = readBytes(fixture);
  const ToolRun r = run("solution " + q(fixture + ":4") + " -o " + q(fixture + ":4"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto after = readBytes(fixture);
  ASSERT_EQ(after.size(), 9600u);
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + 7200, after.begin()));
}

TEST_F(ToolTest, BadArgumentsAndUnreadableFilesExitWith2AndWriteNothing) {
  const std::string out = (dir / "never.ptv").string();
  writeBytes(dir / "short.ptv", std::vector<uint8_t>(2400 + 1399, 0));
  std::filesystem::create_directory(dir / "folder.ptv");
  const std::string cases[] = {
      "",
      "show",
      "frobnicate " + q(fixture),
      "show " + q(fixture + ":5"),
      "show " + q(fixture + ":0"),
      "show " + q(fixture + ":12"),
      "show " + q(":1"),
      "show " + q((dir / "missing.ptv").string()),
      "show " + q((dir / "short.ptv").string() + ":2"),
      "show " + q((dir / "folder.ptv").string()),
      "show " + q(fixture) + " extra",
      "show " + q(fixture) + " -o",
      "show " + q(fixture) + " -o " + q(out + ":9"),
      "show " + q(fixture) + " -o " + q(out) + " -o " + q(out),
      "solve " + q((dir / "missing.ptv").string()) + " -o " + q(out),
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args);
    const ToolRun r = run(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty()) << r.out;
    // One line of explanation.
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  // The short file still serves the record it holds in full.
  EXPECT_EQ(run("show " + q((dir / "short.ptv").string() + ":1")).exitCode, 0);
}

TEST_F(ToolTest, FailedWriteExitsWith1) {
  const ToolRun r = run("show " + q(fixture) + " -o " + q((dir / "no" / "such.ptv").string()));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
}

TEST_F(ToolTest, HelpGoesToStdout) {
  const ToolRun r = run("--help");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("usage: punktivo-tool"), std::string::npos);
}

}  // namespace
}  // namespace punktivo
