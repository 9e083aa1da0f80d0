// punktivo-tool: runs one engine operation on a board record and prints the outcome as
// key=value lines; optionally writes the resulting model as a record, with the game's writer.
#include <array>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "engine/board_model.h"
#include "engine/collection_check.h"
#include "engine/exact_solver.h"
#include "engine/generator.h"
#include "engine/new_game.h"
#include "engine/random.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "engine/status_check.h"
#include "storage/board_file.h"
#include "tools/tool_common.h"
#include "tools/tool_logic.h"
#include "tools/tool_links.h"

namespace punktivo {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitWriteFailed = 1;
constexpr int kExitBelowBar = 1;  // validate: a record falls short of the quality bar
constexpr int kExitUsage = 2;
constexpr int kExitNoPuzzle = 3;
constexpr int kExitNotUnique = 4;  // solve-exact: no solution, or more than one

constexpr const char* kUsage =
    "usage: punktivo-tool OPERATION FILE[:N] [-o OUTFILE[:N]]\n"
    "       punktivo-tool shuffle FILE[:N] [--seed S] [--level LEVEL] [--no-symmetry] [-o OUTFILE[:N]]\n"
    "       punktivo-tool generate LEVEL [--seed S] [--no-symmetry] [-o OUTFILE[:N]]\n"
    "       punktivo-tool validate FILE [--disguises N] [--seed S] [--no-symmetry]\n"
    "       punktivo-tool hint FILE[:N] [--board]\n"
    "       punktivo-tool solve-logic FILE[:N] [--board] [--steps] [-o OUTFILE[:N]]\n"
    "       punktivo-tool make LEVEL [--grade G] [--seed S] [--no-givens] [-o OUTFILE[:N]]\n"
    "       punktivo-tool export FILE[:N] [--form fpuzzles|sudokupad|json]\n"
    "       punktivo-tool import LINK|LINKFILE [-o OUTFILE[:N]]\n"
    "  N = record 1-4 (default 1); LEVEL = leicht mittel schwer extrem or 0-3;\n"
    "  G = sanft knifflig verzwickt teuflisch or 1-4\n"
    "operations: show solve solve-candidates solve-rules candidates derive-dots\n"
    "            derive-dots-from-solution solution status count solve-exact shuffle\n"
    "            generate validate hint solve-logic make export import\n";

constexpr std::string_view kOperations[] = {
    "show",        "solve",     "solve-candidates", "solve-rules",
    "candidates",  "derive-dots", "derive-dots-from-solution", "solution", "status",
    "count",       "solve-exact", "shuffle",     "generate", "validate"};

// validate: disguises tried per record, and the seed when none is given, so that a check
// of the same file always comes out the same.
constexpr int kDefaultDisguises = 200;
constexpr int kMostDisguises = 1000000;
constexpr uint64_t kDefaultValidateSeed = 1;

struct Arguments {
  std::string operation;
  RecordRef input;  // not for generate; for validate the whole file
  std::optional<RecordRef> output;
  // shuffle, generate and validate: the settings the game would have.
  int level = 0;
  bool symmetry = true;
  std::optional<uint64_t> seed;
  int disguises = kDefaultDisguises;  // validate
};

std::optional<Arguments> parseArguments(int argc, char** argv, std::string& error) {
  if (argc < 3) {
    error = "need an operation and a file (try --help)";
    return std::nullopt;
  }
  Arguments args;
  args.operation = argv[1];
  bool known = false;
  for (auto op : kOperations) known = known || op == args.operation;
  if (!known) {
    error = "unknown operation '" + args.operation + "' (try --help)";
    return std::nullopt;
  }
  const bool generate = args.operation == "generate";
  const bool validate = args.operation == "validate";
  const bool randomised = generate || validate || args.operation == "shuffle";
  if (generate) {
    const auto level = parseLevel(argv[2]);
    if (!level) {
      error = std::string("unknown level '") + argv[2] + "' (leicht, mittel, schwer, extrem or 0-3)";
      return std::nullopt;
    }
    args.level = *level;
  } else if (validate) {
    // All four records are judged: the name is taken as it stands.
    args.input.file = argv[2];
    if (args.input.file.empty()) {
      error = "missing file name";
      return std::nullopt;
    }
  } else {
    auto input = parseRecordRef(argv[2], error);
    if (!input) return std::nullopt;
    args.input = *input;
  }
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (randomised && arg == "--seed") {
      if (i + 1 >= argc || !(args.seed = parseSeed(argv[i + 1]))) {
        error = "--seed needs a number";
        return std::nullopt;
      }
      ++i;
    } else if (randomised && arg == "--no-symmetry") {
      args.symmetry = false;
    } else if (args.operation == "shuffle" && arg == "--level") {
      const auto level = i + 1 < argc ? parseLevel(argv[i + 1]) : std::nullopt;
      if (!level) {
        error = "--level needs leicht, mittel, schwer, extrem or 0-3";
        return std::nullopt;
      }
      args.level = *level;
      ++i;
    } else if (validate && arg == "--disguises") {
      const auto count = i + 1 < argc ? parseSeed(argv[i + 1]) : std::nullopt;
      if (!count || *count < 1 || *count > uint64_t(kMostDisguises)) {
        error = "--disguises needs a number from 1 to " + std::to_string(kMostDisguises);
        return std::nullopt;
      }
      args.disguises = int(*count);
      ++i;
    } else if (!validate && arg == "-o") {
      if (!takeOutput(i, argc, argv, args.output, error)) return std::nullopt;
    } else {
      error = "unexpected argument '" + arg + "' (try --help)";
      return std::nullopt;
    }
  }
  return args;
}

char dotSymbol(uint8_t code) {
  switch (code) {
    case kNoDot: return ' ';
    case kWhiteDot: return 'o';
    case kBlackDot: return '*';
    default: return '?';  // unknown code: no rule, drawn as no dot by the game
  }
}

// Digits (givens in brackets), with the dot symbol between horizontal neighbours and a
// line of dot symbols between the rows.
void printBoard(const BoardModel& model) {
  std::cout << "     1   2   3   4   5   6   7   8   9\n";
  for (int r = 1; r <= 9; ++r) {
    // Appends, not "literal" + string: GCC 12 warns falsely (-Wrestrict) on the latter.
    std::string line(" ");
    line += std::to_string(r);
    line += "  ";
    for (int c = 1; c <= 9; ++c) {
      const uint8_t digit = model.board[r][c];
      const char shown = digit == 0 ? '.' : static_cast<char>('0' + digit);
      if (model.givens[r][c] != 0)
        line += std::string("[") + shown + "]";
      else
        line += std::string(" ") + shown + " ";
      if (c < 9) line += dotSymbol(model.dotsRight[r][c]);
    }
    while (line.back() == ' ') line.pop_back();
    std::cout << line << '\n';
    if (r < 9) {
      std::string dots = "    ";
      for (int c = 1; c <= 9; ++c) dots += std::string(" ") + dotSymbol(model.dotsDown[c][r]) + "  ";
      while (!dots.empty() && dots.back() == ' ') dots.pop_back();
      std::cout << dots << '\n';
    }
  }
  std::cout << '\n';
}

std::string marksList(const BoardModel& model) {
  std::string list;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      std::string digits;
      for (int d = 1; d <= 9; ++d)
        if (model.candidates[r][c][d]) digits += static_cast<char>('0' + d);
      if (digits.empty()) continue;
      if (!list.empty()) list += ' ';
      list += 'r';
      list += std::to_string(r);
      list += 'c';
      list += std::to_string(c);
      list += ':';
      list += digits;
    }
  return list;
}

int markCount(const BoardModel& model) {
  int count = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      for (int d = 1; d <= 9; ++d) count += model.candidates[r][c][d] ? 1 : 0;
  return count;
}

int givenCount(const BoardModel& model) {
  int count = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) count += model.givens[r][c] != 0 ? 1 : 0;
  return count;
}

// validate: every record of the file against the quality bar of the stock collections.
int validateFile(const Arguments& args) {
  NullDisplay display;
  std::array<std::optional<BoardModel>, kRecordsPerFile> records;
  SeededRandom unused(0);  // a reader never draws
  for (int slot = 0; slot < kRecordsPerFile; ++slot) {
    BoardModel& model = records[slot].emplace(display);
    model.quietMode = true;
    BoardFile reader(model, unused);
    reader.boardFileName = args.input.file;
    const LoadResult load = reader.loadBoardRecord(slot);
    if (!load.loaded()) {
      std::cerr << "punktivo-tool: " << args.input.file << ":" << slot + 1 << ": " << load.describe()
                << '\n';
      return kExitUsage;
    }
  }

  const uint64_t seed = args.seed ? *args.seed : kDefaultValidateSeed;
  std::cout << "seed=" << seed << '\n'
            << "disguises=" << args.disguises << '\n'
            << "shuffle=" << (args.symmetry ? "symmetric" : "free") << '\n';
  bool allValid = true;
  for (int slot = 0; slot < kRecordsPerFile; ++slot) {
    // Each record has a stream of its own, so its numbers do not depend on the others.
    const RecordQuality q = checkRecord(*records[slot], args.disguises, args.symmetry, seed * 4 + uint64_t(slot));
    const std::string key = "record" + std::to_string(slot + 1) + ".";
    std::cout << key << "validSolution=" << q.validSolution << '\n'
              << key << "givensOnSolution=" << q.givensOnSolution << '\n'
              << key << "dotsMatchSolution=" << q.dotsMatchSolution << '\n'
              << key << "givens=" << q.givens << '\n'
              << key << "solutions=" << q.solutions << '\n'
              << key << "candidateSolverFinishes=" << q.candidateSolverFinishes << '\n'
              << key << "disguisesFinished=" << std::fixed << std::setprecision(3) << q.disguiseShare() << '\n'
              << key << "meanPasses=" << std::setprecision(2) << q.meanPasses << '\n'
              << key << "valid=" << q.meetsBar() << '\n';
    allValid = allValid && q.meetsBar();
  }
  std::cout << "valid=" << allValid << '\n';
  return allValid ? kExitOk : kExitBelowBar;
}

int run(int argc, char** argv) {
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    std::cout << kUsage;
    return kExitOk;
  }
  if (const auto logic = runLogicOperation(argc, argv)) return *logic;
  if (const auto linked = runLinkOperation(argc, argv)) return *linked;
  std::string error;
  const auto args = parseArguments(argc, argv, error);
  if (!args) {
    std::cerr << "punktivo-tool: " << error << '\n';
    return kExitUsage;
  }
  if (args->operation == "validate") return validateFile(*args);

  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  Settings settings;
  settings.fillLevelNames();
  settings.difficulty = int16_t(args->level);
  settings.puzzleSymmetry = args->symmetry;
  const uint64_t seed = args->seed ? *args->seed : std::random_device{}();
  SeededRandom random(seed);
  Solver solver(model, settings);
  Generator generator(model, settings, solver, random);
  const std::string& op = args->operation;

  std::optional<GenerateResult> generated;
  if (op == "generate") {
    // The new-game road, unseen: a random record of the level's collection, found where the
    // game finds it, disguised and checked; then what the dispatch does before play starts.
    BoardFile collection(model, random);
    GameState game;
    generated = startNewGame(generator, model, game, collection.collectionRecords(args->level));
    if (!generated->generated()) {
      std::cerr << "punktivo-tool: " << collection.boardFileName << ": "
                << (generated->status == GenerateStatus::kNoRecord
                        ? "no puzzle record could be read"
                        : "no record could be made into a puzzle")
                << " (" << generated->attempts << " attempts)\n";
      return generated->status == GenerateStatus::kNoRecord ? kExitUsage : kExitNoPuzzle;
    }
  } else {
    if (!readRecord(model, args->input, random)) return kExitUsage;
  }

  std::optional<StatusResult> status;
  std::optional<int> solutions;  // count and solve-exact: of the givens with the dots
  if (op == "generate") {
    // done above
  } else if (op == "shuffle") {
    // "Brett mischen": the board as it stands is disguised and gets the dots of its solution.
    // Where the rule solver cannot complete the shuffled board, the dots come from the
    // board's solution, known before and carried along: the same puzzle in disguise.
    const auto known = generator.shuffleBoardCarryingSolution();
    deriveDotsFromSolution(model, solver, known);
  } else if (op == "show") {
    printBoard(model);
  } else if (op == "solve") {
    // As in the game after loading: the solution is computed, the statistics and the
    // check run, and the solve command gets the check's boardFull.
    solver.computeSolution();
    model.isBoardComplete();
    const StatusResult check = evaluateStatus(model, false);
    solver.solveCommand(check.boardFull);
  } else if (op == "solve-candidates") {
    solver.solveWithCandidates();
  } else if (op == "solve-rules") {
    solver.solveByRules();
  } else if (op == "candidates") {
    solver.computeCandidates();
  } else if (op == "derive-dots") {
    deriveDots(model);
  } else if (op == "derive-dots-from-solution") {
    deriveDotsFromSolution(model, solver);
  } else if (op == "solution") {
    solver.computeSolution();
    model.board = model.solution;
  } else if (op == "count") {
    solutions = countSolutions(model.givens, model.dotsRight, model.dotsDown, 2);
  } else if (op == "solve-exact") {
    const ExactSolution exact = solveExact(model.givens, model.dotsRight, model.dotsDown);
    solutions = exact.solutions;
    if (exact.unique()) {
      model.board = exact.grid;
      model.unsolvedFlag = false;
    }
  } else if (op == "status") {
    solver.computeSolution();
    model.isBoardComplete();
    status = evaluateStatus(model, false);
  }

  const bool complete = model.isBoardComplete();
  std::cout << "board=" << gridLine(model.board) << '\n'
            << "givens=" << gridLine(model.givens) << '\n'
            << "complete=" << (complete ? 1 : 0) << '\n'
            << "unsolved=" << (model.unsolvedFlag ? 1 : 0) << '\n'
            << "empty=" << int(model.digitCount[0]) << '\n'
            << "givenCount=" << givenCount(model) << '\n';
  if (op == "show" || op == "candidates") {
    std::cout << "markCount=" << markCount(model) << '\n' << "marks=" << marksList(model) << '\n';
  }
  if (op == "shuffle" || op == "generate") std::cout << "seed=" << seed << '\n';
  if (generated) {
    std::cout << "level=" << kLevelWords[args->level] << '\n'
              << "record=" << generated->slot + 1 << '\n'
              << "attempts=" << generated->attempts << '\n'
              << "unique=" << (countSolutions(model.givens, model.dotsRight, model.dotsDown, 2) == 1 ? 1 : 0)
              << '\n';
  }
  if (solutions) std::cout << "solutions=" << *solutions << '\n';
  if (op == "solve-exact" && solutions != 1) {
    std::cerr << "punktivo-tool: " << args->input.file << ":" << args->input.record << ": "
              << (solutions == 0 ? "no solution" : "more than one solution")
              << (args->output ? ", nothing written" : "") << '\n';
    return kExitNotUnique;
  }
  if (status) {
    std::cout << "statusMessage=\"" << status->statusMessage << "\"\n"
              << "color=" << (status->red ? "red" : "black") << '\n'
              << "beep=" << (status->beep ? 1 : 0) << '\n'
              << "boardFull=" << (status->boardFull ? 1 : 0) << '\n';
  }

  if (args->output && !writeRecord(model, *args->output, random)) return kExitWriteFailed;
  return kExitOk;
}

}  // namespace
}  // namespace punktivo

int main(int argc, char** argv) { return punktivo::run(argc, argv); }
