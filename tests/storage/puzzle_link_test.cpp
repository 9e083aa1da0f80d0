// Links to and from the web's solving tools: the JSON reader, the written form, round trips of
// every stock puzzle, real published links, and every kind of link the board cannot take.
#include "storage/puzzle_link.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/exact_solver.h"
#include "engine/random.h"
#include "storage/board_file.h"
#include "storage/json_value.h"
#include "storage/lz_string.h"

namespace punktivo {
namespace {

std::string packed(const std::string& json) { return std::string(kFpuzzlesPrefix) + lzCompressToBase64(utf8ToUtf16(json)); }

// An empty grid as f-puzzles writes it, with the cells given as "R1C1":5 style pairs.
std::string gridJson(const std::string& firstCell = "{}") {
  std::string grid = "[";
  for (int r = 0; r < 9; ++r) {
    grid += r == 0 ? "[" : ",[";
    for (int c = 0; c < 9; ++c) grid += (c == 0 ? "" : ",") + (r == 0 && c == 0 ? firstCell : std::string("{}"));
    grid += "]";
  }
  return grid + "]";
}

std::string puzzleText(const std::string& extra, const std::string& negative = R"(["ratio","difference"])",
                       const std::string& firstCell = "{}") {
  return R"({"size":9,"grid":)" + gridJson(firstCell) + extra + R"(,"negative":)" + negative + "}";
}

TEST(JsonReader, ReadsTheGrammarAndRefusesTheRest) {
  const auto doc = parseJson(R"( {"a":[1,-2.5e1,true,false,null,"x\u00e4\ud83d\ude00\n"],"b":{}} )");
  ASSERT_TRUE(doc.has_value());
  const JsonValue* a = doc->find("a");
  ASSERT_TRUE(a != nullptr && a->isArray() && a->items.size() == 6);
  EXPECT_EQ(a->items[0].number, 1);
  EXPECT_EQ(a->items[1].number, -25);
  EXPECT_TRUE(a->items[2].boolean);
  EXPECT_EQ(a->items[4].kind, JsonValue::Kind::kNull);
  EXPECT_EQ(a->items[5].text, "xä😀\n");
  EXPECT_TRUE(doc->find("b")->isObject());
  EXPECT_EQ(doc->find("c"), nullptr);

  for (const char* bad : {"", "{", "[1,]", "{\"a\":1,}", "[01]", "[1.]", "[.5]", "[+1]", "[\"a\nb\"]",
                          "[\"\\x\"]", "[\"\\u12g4\"]", "tru", "[1] 2", "{\"a\" 1}", "{1:2}", "[inf]"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(parseJson(bad).has_value());
  }
  // Deep nesting is refused instead of running the stack down.
  EXPECT_TRUE(parseJson(std::string(kJsonMostDepth, '[') + std::string(kJsonMostDepth, ']')).has_value());
  EXPECT_FALSE(parseJson(std::string(kJsonMostDepth + 2, '[') + std::string(kJsonMostDepth + 2, ']')).has_value());
  EXPECT_FALSE(parseJson(std::string(100000, '[')).has_value());
}

LinkPuzzle samplePuzzle() {
  LinkPuzzle p;
  p.givens[1][1] = 5;
  p.givens[9][9] = 1;
  p.dotsRight[1][1] = kWhiteDot;
  p.dotsDown[1][2] = kBlackDot;  // between R2C1 and R3C1
  return p;
}

TEST(PuzzleLink, WritesTheJsonOfFpuzzles) {
  const std::string json = puzzleJson(samplePuzzle());
  EXPECT_EQ(json.rfind(R"({"size":9,"grid":[[{"value":5,"given":true},{},)", 0), 0U) << json;
  EXPECT_NE(json.find(R"({},{"value":1,"given":true}]])"), std::string::npos);
  EXPECT_NE(json.find(R"("difference":[{"cells":["R1C1","R1C2"]}],"ratio":[{"cells":["R2C1","R3C1"]}])"),
            std::string::npos);
  EXPECT_NE(json.find(R"("negative":["ratio","difference"],"nonconsecutive":true})"), std::string::npos);

  const std::string link = puzzleLink(samplePuzzle(), LinkForm::kFpuzzles);
  ASSERT_EQ(link.rfind(kFpuzzlesPrefix, 0), 0U);
  EXPECT_EQ(utf16ToUtf8(*lzDecompressFromBase64(link.substr(kFpuzzlesPrefix.size()), kMostJsonUnits)), json);
  const std::string pad = puzzleLink(samplePuzzle(), LinkForm::kSudokuPad);
  EXPECT_EQ(pad, std::string(kSudokuPadPrefix) + link.substr(kFpuzzlesPrefix.size()));
  EXPECT_EQ(puzzleLink(samplePuzzle(), LinkForm::kJson), json);
}

TEST(PuzzleLink, LeavesOutWhatADamagedRecordHolds) {
  NullDisplay display;
  BoardModel model(display);
  model.givens[1][1] = 12;      // no digit
  model.board[2][2] = 4;        // the player's digit, not part of the puzzle
  model.dotsRight[3][3] = 7;    // no dot code
  model.dotsRight[4][4] = kBlackDot;
  const LinkPuzzle p = linkPuzzleOf(model);
  EXPECT_EQ(p.givens, Grid{});
  EXPECT_EQ(p.dotsRight[3][3], kNoDot);
  EXPECT_EQ(p.dotsRight[4][4], kBlackDot);
}

// Every stock puzzle goes out as a link of each form and comes back as the same puzzle, which
// the exact counter solves to the stock solution.
TEST(PuzzleLink, RoundTripsEveryStockPuzzle) {
  NullDisplay display;
  SeededRandom random(1);
  int puzzles = 0;
  for (const char* name : {"leicht.ptv", "mittel.ptv", "schwer.ptv", "extrem.ptv"}) {
    for (int slot = 0; slot < kRecordsPerFile; ++slot) {
      SCOPED_TRACE(std::string(name) + ":" + std::to_string(slot + 1));
      BoardModel stock(display);
      stock.quietMode = true;
      BoardFile file(stock, random);
      file.boardFileName = std::string(PUNKTIVO_SOURCE_DATA_DIR) + "/" + name;
      ASSERT_TRUE(file.loadBoardRecord(slot).loaded());
      const LinkPuzzle out = linkPuzzleOf(stock);
      for (const LinkForm form : {LinkForm::kFpuzzles, LinkForm::kSudokuPad, LinkForm::kJson}) {
        const LinkResult in = readPuzzleLink(puzzleLink(out, form));
        ASSERT_TRUE(in.ok()) << in.message();
        EXPECT_EQ(in.puzzle, out);
      }
      BoardModel imported(display);
      imported.candidates[1][1][1] = true;
      placeLinkPuzzle(readPuzzleLink(puzzleLink(out, LinkForm::kFpuzzles)).puzzle, imported);
      EXPECT_EQ(imported.givens, stock.givens);
      EXPECT_EQ(imported.dotsRight, stock.dotsRight);
      EXPECT_EQ(imported.dotsDown, stock.dotsDown);
      EXPECT_EQ(imported.board, stock.givens);
      EXPECT_EQ(imported.candidates, CandidateFlags{});
      const ExactSolution exact = solveExact(imported.givens, imported.dotsRight, imported.dotsDown);
      ASSERT_TRUE(exact.unique());
      EXPECT_EQ(exact.grid, stock.board);
      ++puzzles;
    }
  }
  EXPECT_EQ(puzzles, 16);
}

TEST(PuzzleLink, ReadsTheFormsOfALink) {
  const std::string json = puzzleJson(samplePuzzle());
  const std::string data = lzCompressToBase64(utf8ToUtf16(json));
  std::string escaped;  // as a browser may hand it over: + / = written as %-escapes
  for (const char c : data)
    escaped += c == '+' ? "%2B" : c == '/' ? "%2f" : c == '=' ? "%3D" : std::string(1, c);
  for (const std::string& text :
       {"https://f-puzzles.com/?load=" + data, "  http://www.f-puzzles.com/?id=1&load=" + data + "#top\n",
        "HTTPS://F-PUZZLES.COM/?load=" + escaped, "f-puzzles.com?load=" + data, "https://sudokupad.app/fpuzzles" + data,
        "https://beta.sudokupad.app/fpuzzles" + data + "?setting-nogrid=1",
        "https://sudokupad.app/?puzzleid=fpuzzles" + data, "\t" + json + "\r\n"}) {
    SCOPED_TRACE(text);
    const LinkResult result = readPuzzleLink(text);
    EXPECT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(result.puzzle, samplePuzzle());
  }
}

TEST(PuzzleLink, TakesHarmlessAdditions) {
  // Texts, the solver's notes and colours, a digit the solver entered, dots with their
  // default numbers written out, empty lists and switched-off options.
  const std::string extra =
      R"(,"title":"Punkte","author":"A. Autor","ruleset":"…","solution":[1,2],"highlightConflicts":true,)"
      R"("killercage":[],"diagonal+":false,"difference":[{"cells":["r5c5","R5C6"],"value":"1"}],)"
      R"("ratio":[{"cells":["R6C5","R5C5"],"value":2},{"cells":["R7C7","R7C8"],"value":""}])";
  const LinkResult result =
      readPuzzleLink(packed(puzzleText(extra, R"(["difference","ratio"])", R"({"value":3,"centerPencilMarks":[1,2],"c":"#FF0000"})")));
  ASSERT_TRUE(result.ok()) << result.message();
  EXPECT_EQ(result.puzzle.givens, Grid{});  // the 3 was no given
  EXPECT_EQ(result.puzzle.dotsRight[5][5], kWhiteDot);
  EXPECT_EQ(result.puzzle.dotsDown[5][5], kBlackDot);
  EXPECT_EQ(result.puzzle.dotsRight[7][7], kBlackDot);
}

struct Hostile {
  std::string text;
  LinkError error;
  const char* words;  // a part of the message the player must see
};

TEST(PuzzleLink, RefusesWhatTheBoardCannotTakeFaithfully) {
  const std::string dots = R"(,"difference":[{"cells":["R1C1","R1C2"]}])";
  std::string big = puzzleJson(samplePuzzle());
  big.insert(1, R"("title":")" + std::string(kMostLinkBytes, 'x') + R"(",)");
  const std::string sixBySix = R"({"size":6,"grid":[],"negative":["ratio","difference"]})";
  const std::string data = lzCompressToBase64(utf8ToUtf16(puzzleJson(samplePuzzle())));
  const Hostile cases[] = {
      {big, LinkError::kTooLong, "64 KiB"},
      {"", LinkError::kNotALink, "kein Link"},
      {"https://example.com/?load=" + data, LinkError::kNotALink, "f-puzzles"},
      {"https://f-puzzles.com/?id=abc", LinkError::kNotALink, "SudokuPad"},
      {"https://sudokupad.app/scl" + data, LinkError::kNotALink, "f-puzzles-Daten"},
      {"https://f-puzzles.com/?load=" + data.substr(0, 10) + "*" + data.substr(10), LinkError::kBadBase64, "beschädigt"},
      {"https://f-puzzles.com/?load=%2", LinkError::kBadBase64, "Base64"},
      {"https://f-puzzles.com/?load=", LinkError::kBadBase64, "Base64"},
      {"https://f-puzzles.com/?load=" + data.substr(0, data.size() / 2), LinkError::kBadPacking, "entpacken"},
      {"https://f-puzzles.com/?load=////////", LinkError::kBadPacking, "entpacken"},
      {packed("{\"size\":9,"), LinkError::kBadJson, "beschädigt"},
      {packed(R"({"size":9,"grid":[[{}]],"negative":["ratio","difference"]})"), LinkError::kBadJson, "unvollständig"},
      {packed(puzzleText("", R"(["ratio","difference"])", R"({"given":true})")), LinkError::kBadJson, "beschädigt"},
      {packed(puzzleText("", R"(["ratio","difference"])", R"({"value":10,"given":true})")), LinkError::kBadJson, "beschädigt"},
      {packed(sixBySix), LinkError::kNotNineByNine, "9 × 9"},
      {packed(puzzleText(R"(,"killercage":[{"cells":["R1C1","R1C2"],"value":"3"}])")), LinkError::kOtherRule, "„killercage“"},
      {packed(puzzleText(R"(,"diagonal+":true)")), LinkError::kOtherRule, "diagonal+"},
      {packed(puzzleText("", R"(["ratio","difference"])", R"({"region":4})")), LinkError::kOtherRule, "region"},
      {packed(puzzleText("", R"(["ratio","difference","xv"])")), LinkError::kOtherRule, "negative: xv"},
      {packed(puzzleText(R"(,"ratio":[{"cells":["R1C1","R2C2"]}])")), LinkError::kNotNeighbours, "R1C1–R2C2"},
      {packed(puzzleText(R"(,"difference":[{"cells":["R1C1","R1C1"]}])")), LinkError::kNotNeighbours, "nebeneinander"},
      {packed(puzzleText(R"(,"difference":[{"cells":["R1C1","R1C2","R1C3"]}])")), LinkError::kBadJson, "beschädigt"},
      {packed(puzzleText(R"(,"difference":[{"cells":["R1C1","R0C2"]}])")), LinkError::kBadJson, "beschädigt"},
      {packed(puzzleText(R"(,"ratio":[{"cells":["R1C1","R1C2"],"value":"3"}])")), LinkError::kBadRatio, "Verhältnis"},
      {packed(puzzleText(R"(,"difference":[{"cells":["R1C1","R1C2"],"value":2}])")), LinkError::kBadDifference, "Unterschied"},
      {packed(puzzleText(dots + R"(,"ratio":[{"cells":["R1C2","R1C1"]}])")), LinkError::kTwoDots, "weißer und ein schwarzer"},
      {packed(puzzleText(dots, R"(["ratio"])")), LinkError::kNotAllDots, "nicht alle Punkte"},
      {packed(puzzleText(dots, R"([])")), LinkError::kNotAllDots, "nicht alle Punkte"},
      {packed(R"({"size":9,"grid":)" + gridJson() + "}"), LinkError::kNotAllDots, "nicht alle Punkte"},
      {packed(puzzleText(R"(,"nonconsecutive":true)", R"([])")), LinkError::kNotAllDots, "nicht alle Punkte"},
      {packed(puzzleText(R"(,"nonconsecutive":"ja")", R"(["ratio"])")), LinkError::kOtherRule, "nonconsecutive"},
  };
  for (const Hostile& h : cases) {
    SCOPED_TRACE(h.text.substr(0, 200));
    const LinkResult result = readPuzzleLink(h.text);
    EXPECT_EQ(result.error, h.error);
    EXPECT_NE(result.message().find(h.words), std::string::npos) << result.message();
    EXPECT_EQ(result.puzzle, LinkPuzzle{});
  }
}


// Real links, published with their solvers' tests in dclamage/SudokuSolverRust:
// standard-constraints/src/fpuzzles_parser.rs (test_kropki, test_kropki_pairs) and
// standard-constraints/src/message_handler.rs (test_antikropki_count). f-puzzles writes the
// white dots' absence rule as "nonconsecutive" and the black dots' as negative "ratio".
constexpr const char* kKropki =
    "N4IgzglgXgpiBcBOANCA5gJwgEwQbT2AF9ljSSzKLryBdZQmq8l54+x1p7rjtn/nQaCR3PgIm9hk0UM6zR4rssX0QAOwD26gMbawMHQFcAL"
    "hABuceCYxGYqbBABmTmBhi6rhEDpgAbPzB8EAAlRABhRBBUEIAOSJBaCh9/QOCQgHZwgFZo0PjcpNIUgKD4PFCIgBY8uPCaotBfUvT4gEZa+"
    "IAmROTmtPLQgDZwgGZarPHGkoGKkJHxmOyx3uL+srmRmpiF1abUjeH62pHCvoP0rNydnL2Zw5CqhKWE6fX00efQrtfzlsGQj9YrU2uFgW8Lg"
    "CfkNaj8zmtIXNPttvscIf8kbcYnC7u8AZ8YTFPvD9hjQp9FqEnlM/rMqSsYk8GrSHk9CfSMrjEaFlsCXpz0XSQst2Y9wjDBQ8sqKRhKWa1wp"
    "yYvE5QiyWEwbUIgL5QCsnz8prJZdFSdTcaASMDfNzUQ1OoYGgAIZmSzBDAuiCaRKoD1mb3lUlCoG1T7g3WY61PcNqoXdLXhHoWubxmJZJMRn"
    "lYrPM2MPZbXLOqoNSzU3GMlj6J2pPDN5hWFuq5yt601po2ZjWUjXN+4KlGZNGd2W1EVc9WfJXkjv1/HVonhDrJ0KgjoxUF1ltzUHdn40pJAA=";
constexpr const char* kKropkiSolution =
    "482617953951832647637945128268793415593124786174568239815279364329486571746351892";
constexpr const char* kAntiKropki =
    "N4IgzglgXgpiBcBOANCA5gJwgEwQbT2AF9ljSSzKLryBdZQmq8l54+x1p7rjtn/nQaCR3PgIm9hk0UM6zR4rssX0QAOwD26gMbawMHQFcAL"
    "hABuceCYxGYqdTDQBDM5fwgMriJpBqvZr7weLREQA";
constexpr const char* kKropkiPairs =
    "N4IgzglgXgpiBcBOANCA5gJwgEwQbT1ADcBDAGwFc54AWAX2WPKoQA4GnLqAmDkUrggBsfAS3gBGUc2oB2aYKQLxAVmXUAzHQC6yQvxkI1jA4"
    "sTqEUk2Ortrh+FvuLez8SLfV6nhPN36bYQtHYPkfJXDvTlVgq2ieYPZ/eIRXFPgPdLt0sPTzcKd0qNNxOJLqNWTyhHz043TC6slgtKbiwPhcpu"
    "ymkSqOso6ujvaHet7EluDGjvN+hx6B4PGO1qHg2qaZh0y2nT0GqfDNkcnw3Y6Vh2GHKXnFG8VRxQuHbcUrxUGFjantXRA2AgADNgTAMDAAHYA"
    "Y2o+lhZDIYHwIAASogAMKIECoVGsLEgbR8BFIlGo2QYlQ4tH4qlEkwk5HwPBozE0al4jHs+mgRlk/ESDn47iE4kwRFMlmooQYjQcilynkgPnM"
    "tEyuW4lSy0UM8Wk1XSrkc9U63l6yVqo24mV0sUSskUqnWymm5Xmsk0AmaglKlVSjRetHcH12/VS4OsDkSDGR33ug3BoQc4O23X2g0B9m44Pc0"
    "MW1EBp1Bl1x9P+jFJ3GF11+tEBjVoz2KvMe7W4z25tNhxsVjme2Q1+NSrWR70D0vd1Fays9pMT/MUmeGuctg34ge4/Errv5zGj1kY8erqUU/e"
    "c2PHtEUjeWo87skys8yu9mstorUi9sYkVEgEYEgAC4QAA9vgr6ThGHIBhe94ZjGfbwfO/LfhymI/penKfleKFIQaWpFlORq4cOLretu4ELvBz"
    "owRRZIBlhqKeuhsFSrSQpERh17yohGGYg26IcSxNJWthna0QaMpLtOg5vgWh5QTxQlyQxAaCsRaLRoKuLRsx4lStG/HBs2RJAA==";

// "It's April, Phil" by Sam Cappleman-Lynes (CC BY 4.0), as listed in
// dclamage/SudokuVariantSolverJS puzzles/puzzles.json: f-puzzles' export with title, author,
// rules text and givens, whose rules leave dots out.
constexpr const char* kNotAllDotsGiven =
    "N4IgzglgXgpiBcBOANCALhNAbO8QEk0ByMAAgEEAHAJwi2VIAUALOkVAQwFc1mB7aghABlDgFtSAYQ6VKOMRwB2AWgAyAT0Uww7ENS44wMNEIB"
    "yAhVlLCuAEz4BrLqX2HSMueoB0pADqL/ABEIAHNMMiNKDmoONBhbUgAjdXdSAHdWONJ7NFIxLjBcxJhSAGM+RSNSnggANxgffAAzUjQ0vmzQ8P"
    "dqEsjo2PiklI4krA5Sh2y+NAYKkvzCpJL7LkScVuYSma3qH38grrQyNMxmUkUOnOW2mBhFTZgJBRSwWIgwJpSYM5hqBi0v3+pAESR2IJavG0JX"
    "KilsmAgFTAXl0IVotgQAG1MaBahwsFxcABGVBheqKBBofQwAC+yFx+MJCAALKS6vdKdS6cBubz6XyefyALrIHEC8X8yWCnkisVSiXSkB4gnEtn"
    "kzmE7lKxm4VkgMkc+BUzXC0XShUW01y8307UqhAk/XsilGrlSu1M+B6g0u420+VWm1By0ys1a5Wex0+jX+hn2r1qw1+kPi2XBgPp0PWlPuiOqp"
    "3q10muOe73OmM0oUikDwppNP73Uq4HEgJtYLA6eCYkAAJQAzJJmboewAmQcgIVatsdrG9gAckgAbMOAOxLidTmDtzvdnsAVkkI+HzMPG9t053v"
    "YPR9Q+8kRLPoAvs7vc+HB8Qj9bW5nXd7iFPW8AIfSdzx/S8ezXIdb0XcdQKfcCXwHZdbxPZd4O/bcXzHN9byJSQ3ww58/x7fDcN7fDPyIxCSIH"
    "PthzHejqKwkiFxXVdJHY5jf13WDPxggiN2rGIMD4LEEJY3cxz3Bi4M3ST53XW8Fxk7iILXdjbzXdD5J43s6OHAchzUl8DwfASQN0iCT34q9JCo"
    "qzTMEgTCMc1jAP/U8TJIk9zN7E8j0nScgA==";

TEST(PuzzleLink, ImportsRealKropkiLinks) {
  // All dots given: the exact counter finds the one solution the solver's test expects.
  const LinkResult kropki = readPuzzleLink(std::string(kFpuzzlesPrefix) + kKropki);
  ASSERT_TRUE(kropki.ok()) << kropki.message();
  EXPECT_EQ(kropki.puzzle.givens, Grid{});
  const ExactSolution exact = solveExact(kropki.puzzle.givens, kropki.puzzle.dotsRight, kropki.puzzle.dotsDown);
  ASSERT_TRUE(exact.unique());
  std::string solution;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) solution += static_cast<char>('0' + exact.grid[r][c]);
  EXPECT_EQ(solution, kKropkiSolution);
  // And in SudokuPad's form it is the same puzzle.
  EXPECT_EQ(readPuzzleLink(std::string(kSudokuPadPrefix) + kKropki).puzzle, kropki.puzzle);

  // No dot and no given: no neighbours consecutive or 1:2 anywhere. The test counts 8448
  // such grids, and so does the exact counter.
  const LinkResult none = readPuzzleLink(std::string(kFpuzzlesPrefix) + kAntiKropki);
  ASSERT_TRUE(none.ok()) << none.message();
  EXPECT_EQ(none.puzzle, LinkPuzzle{});
  EXPECT_EQ(countSolutions(none.puzzle.givens, none.puzzle.dotsRight, none.puzzle.dotsDown, 100000), 8448);

  // "Kropki Pairs" does not give all dots (no absence rule): refused, as the board would
  // claim rules the puzzle lacks.
  const LinkResult pairs = readPuzzleLink(std::string(kFpuzzlesPrefix) + kKropkiPairs);
  EXPECT_EQ(pairs.error, LinkError::kNotAllDots);
  // So is a published puzzle with givens and texts: for the missing rule, not for those.
  EXPECT_EQ(readPuzzleLink(std::string(kFpuzzlesPrefix) + kNotAllDotsGiven).error, LinkError::kNotAllDots);
}

}  // namespace
}  // namespace punktivo
