// punktivo-tool export and import: the built program writes each link form, reads links from
// the command line and from files into records, and refuses what it cannot take untouched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/random.h"
#include "storage/board_file.h"
#include "storage/puzzle_link.h"
#include "support/temp_dir.h"
#include "tool_runner.h"

namespace punktivo {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

const std::string kStock = std::string(PUNKTIVO_SOURCE_DATA_DIR) + "/mittel.ptv";

class LinkToolTest : public ::testing::Test {
 protected:
  TempDir dir;
  NullDisplay display;
  SeededRandom random{5};

  testing::ToolOutput run(const std::string& args) { return testing::runTool("", args, dir.path()); }

  BoardModel load(const std::string& path, int slot) {
    BoardModel model(display);
    model.quietMode = true;
    BoardFile file(model, random);
    file.boardFileName = path;
    EXPECT_TRUE(file.loadBoardRecord(slot).loaded());
    return model;
  }
  std::string exported(const std::string& args) {
    const auto r = run("export " + args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.back(), '\n');
    return r.out.substr(0, r.out.size() - 1);
  }
};

std::string q(const std::string& text) { return "'" + text + "'"; }

TEST_F(LinkToolTest, ExportWritesEachFormOfTheRecord) {
  const LinkPuzzle stock = linkPuzzleOf(load(kStock, 2));
  EXPECT_EQ(exported(q(kStock + ":3")), puzzleLink(stock, LinkForm::kFpuzzles));
  EXPECT_EQ(exported(q(kStock + ":3") + " --form sudokupad"), puzzleLink(stock, LinkForm::kSudokuPad));
  EXPECT_EQ(exported(q(kStock + ":3") + " --form json"), puzzleJson(stock));
  EXPECT_EQ(exported(q(kStock)), puzzleLink(linkPuzzleOf(load(kStock, 0)), LinkForm::kFpuzzles));
}

TEST_F(LinkToolTest, ImportWritesTheRecordOfTheLink) {
  const std::string out = (dir / "brett.ptv").string();
  for (const std::string form : {"fpuzzles", "sudokupad", "json"}) {
    SCOPED_TRACE(form);
    const std::string link = exported(q(kStock + ":4") + " --form " + form);
    const auto r = run("import " + q(link) + " -o " + q(out + ":2"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.keys.at("solutions"), "1");
    EXPECT_EQ(r.keys.at("written"), out + ":2");
    const BoardModel stock = load(kStock, 3);
    const BoardModel imported = load(out, 1);
    EXPECT_EQ(imported.givens, stock.givens);
    EXPECT_EQ(imported.board, stock.givens);
    EXPECT_EQ(imported.dotsRight, stock.dotsRight);
    EXPECT_EQ(imported.dotsDown, stock.dotsDown);
  }
  // A link kept in a file, with the line end an editor leaves behind.
  const std::string link = exported(q(kStock + ":1"));
  const auto file = dir / "link.txt";
  writeBytes(file, std::vector<uint8_t>(link.begin(), link.end()));
  auto bytes = readBytes(file);
  bytes.push_back('\n');
  writeBytes(file, bytes);
  const auto r = run("import " + q(file.string()) + " -o " + q(out + ":4"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(load(out, 3).givens, load(kStock, 0).givens);
  int givens = 0;
  for (const auto& row : load(kStock, 0).givens)
    for (const uint8_t digit : row) givens += digit != 0 ? 1 : 0;
  EXPECT_EQ(r.keys.at("givenCount"), std::to_string(givens));
}

TEST_F(LinkToolTest, RefusedLinksAndBadArgumentsWriteNothing) {
  const std::string out = (dir / "brett.ptv").string();
  // A bare grid without the dots' negative rule: the board would claim rules the puzzle lacks.
  std::string grid = R"({"size":9,"grid":[)";
  for (int r = 0; r < 9; ++r) grid += std::string(r ? "," : "") + "[{},{},{},{},{},{},{},{},{}]";
  grid += "]}";
  auto r = run("import " + q(grid) + " -o " + q(out));
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("nicht alle Punkte"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Nichts geschrieben."), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  r = run("import 'https://f-puzzles.com/?load=N4Ig!!' -o " + q(out));
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("beschädigt"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  const auto big = dir / "big.txt";
  writeBytes(big, std::vector<uint8_t>(kMostLinkBytes + 10, 'A'));
  r = run("import " + q(big.string()));
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("64 KiB"), std::string::npos) << r.err;

  for (const std::string& args : std::vector<std::string>{"export", "export " + q(kStock + ":5"), "export " + q(kStock) + " --form png", "export " + q(kStock) + " --form",
        "export " + q(kStock) + " -o x.ptv", "import", "import x -o", "import x -o a.ptv -o b.ptv", "import x -o " + q(out + ":0"),
        "export " + q((dir / "missing.ptv").string())}) {
    SCOPED_TRACE(args);
    r = run(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace punktivo
