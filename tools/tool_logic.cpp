// punktivo-tool's dot-logic operations: the next explained step, the whole logical solve with
// its grade, and fresh puzzles for authors. Output as key=value lines, like the other operations.
#include "tools/tool_logic.h"

#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/exact_solver.h"
#include "engine/grade.h"
#include "engine/puzzle_maker.h"
#include "engine/step_solver.h"
#include "storage/board_file.h"
#include "tools/tool_common.h"

namespace punktivo {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitWriteFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoPuzzle = 3;

struct LogicArguments {
  std::string operation;
  RecordRef input;  // hint, solve-logic
  std::optional<RecordRef> output;
  bool fromBoard = false;  // start from the board as it stands, not from the givens
  bool listSteps = false;
  MakeOptions make;
  std::optional<uint64_t> seed;
};

std::optional<LogicArguments> parseLogicArguments(int argc, char** argv, std::string& error) {
  LogicArguments args;
  args.operation = argv[1];
  const bool make = args.operation == "make";
  if (argc < 3) {
    error = make ? "make needs a level" : args.operation + " needs a file";
    return std::nullopt;
  }
  if (make) {
    const auto level = parseLevel(argv[2]);
    if (!level) {
      error = std::string("unknown level '") + argv[2] + "' (leicht, mittel, schwer, extrem or 0-3)";
      return std::nullopt;
    }
    args.make.level = *level;
  } else {
    auto input = parseRecordRef(argv[2], error);
    if (!input) return std::nullopt;
    args.input = *input;
  }
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (!make && arg == "--board") {
      args.fromBoard = true;
    } else if (args.operation == "solve-logic" && arg == "--steps") {
      args.listSteps = true;
    } else if (make && arg == "--no-givens") {
      args.make.noGivens = true;
    } else if (make && arg == "--seed") {
      if (!hasValue || !(args.seed = parseSeed(argv[++i]))) {
        error = "--seed needs a number";
        return std::nullopt;
      }
    } else if (make && arg == "--grade") {
      const auto grade = hasValue ? parseGrade(argv[++i]) : std::nullopt;
      if (!grade) {
        error = "--grade needs sanft, knifflig, verzwickt, teuflisch or 1-4";
        return std::nullopt;
      }
      args.make.hardest = *grade;
    } else if (args.operation != "hint" && arg == "-o") {
      if (!takeOutput(i, argc, argv, args.output, error)) return std::nullopt;
    } else {
      error = "unexpected argument '" + arg + "' (try --help)";
      return std::nullopt;
    }
  }
  return args;
}

// Appends `word` to a list, after `separator` unless the list is empty. (Appending, not
// "literal" + string: GCC 12 warns falsely (-Wrestrict) on the latter.)
void appendTo(std::string& list, const std::string& word, const char* separator = " ") {
  if (!list.empty()) list += separator;
  list += word;
}

std::string digitsOf(DigitMask mask) {
  std::string text;
  for (int d = 1; d <= 9; ++d)
    if ((mask & (1u << d)) != 0) text += char('0' + d);
  return text;
}

// "R5C5=7 R4C2-9 R4C3-57".
std::string changesText(const Step& step) {
  std::string text;
  for (const Placement& p : step.placements) appendTo(text, cellName(p.cell) + "=" + char('0' + p.digit));
  for (const Removal& r : step.removals) appendTo(text, cellName(r.cell) + "-" + digitsOf(r.digits));
  return text;
}

void printStep(const Step& step) {
  static constexpr const char* kUnitKinds[3] = {"Zeile ", "Spalte ", "Block "};
  static constexpr const char* kDotNames[3] = {"ohne", "weiss", "schwarz"};
  std::string cells, units, dots;
  for (const CellRef& cell : step.cells) appendTo(cells, cellName(cell));
  for (const UnitRef& unit : step.units) appendTo(units, kUnitKinds[int(unit.kind)] + std::to_string(unit.index), ", ");
  for (const DotRef& dot : step.dots)
    appendTo(dots, cellName(dot.first) + "-" + cellName(dot.second) + ":" + kDotNames[dot.code <= 2 ? dot.code : 0]);
  std::string placements, removals;
  for (const Placement& p : step.placements) appendTo(placements, cellName(p.cell) + "=" + char('0' + p.digit));
  for (const Removal& r : step.removals) appendTo(removals, cellName(r.cell) + ":" + digitsOf(r.digits));
  std::cout << "technique=" << techniqueKey(step.technique) << '\n'
            << "name=" << techniqueName(step.technique) << '\n'
            << "cells=" << cells << '\n'
            << "units=" << units << '\n'
            << "dots=" << dots << '\n'
            << "placements=" << placements << '\n'
            << "removals=" << removals << '\n'
            << "text=" << step.text << '\n';
}

// The digits the step solver starts from: the givens, or with --board the board as it stands.
// Digits on the board that differ from the puzzle's one solution are listed in `wrong`.
Grid startDigits(const BoardModel& model, bool fromBoard, std::vector<CellRef>& wrong) {
  if (!fromBoard) return model.givens;
  Grid digits = model.board;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (model.givens[r][c] >= 1 && model.givens[r][c] <= 9) digits[r][c] = model.givens[r][c];
  const ExactSolution exact = solveExact(model.givens, model.dotsRight, model.dotsDown);
  if (exact.unique())
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (digits[r][c] >= 1 && digits[r][c] <= 9 && digits[r][c] != exact.grid[r][c]) wrong.push_back({r, c});
  return digits;
}

void printWrong(const std::vector<CellRef>& wrong) {
  if (wrong.empty()) return;
  std::string cells;
  for (const CellRef& cell : wrong) appendTo(cells, cellName(cell));
  std::cout << "wrong=" << cells << '\n';
}

int hint(const BoardModel& model, const LogicArguments& args) {
  std::vector<CellRef> wrong;
  const StepSolver solver(startDigits(model, args.fromBoard, wrong), model.dotsRight, model.dotsDown);
  printWrong(wrong);
  if (!wrong.empty()) {
    // A step from wrong digits would mislead: the mistakes come first.
    std::cout << "technique=none\ntext=" << (wrong.size() == 1 ? "Diese Ziffer ist falsch: " : "Diese Ziffern sind falsch: ");
    for (size_t i = 0; i < wrong.size(); ++i) std::cout << (i > 0 ? ", " : "") << cellName(wrong[i]);
    std::cout << ".\n";
    return kExitOk;
  }
  if (const auto step = solver.nextStep()) {
    printStep(*step);
    return kExitOk;
  }
  std::cout << "technique=none\ntext="
            << (solver.solved()   ? "Das Brett ist gelöst."
                : solver.broken() ? "Auf dem Brett steht ein Widerspruch: so geht es nicht auf."
                                  : "Hier hilft keine Regel mehr weiter: nicht ohne Probieren lösbar.")
            << '\n';
  return kExitOk;
}

void printRun(const LogicRun& run) {
  std::cout << "solved=" << (run.solved ? 1 : 0) << '\n'
            << "steps=" << run.steps << '\n'
            << "grade=" << gradeName(run.grade) << '\n'
            << "hardest=" << (run.hardest ? techniqueKey(*run.hardest) : "none") << '\n';
  for (int t = 0; t < kTechniqueCount; ++t)
    std::cout << "technique." << techniqueKey(Technique(t)) << "=" << run.counts[t] << '\n';
}

int solveLogic(BoardModel& model, const LogicArguments& args, RandomSource& random) {
  std::vector<CellRef> wrong;
  const LogicRun run =
      solveLogically(startDigits(model, args.fromBoard, wrong), model.dotsRight, model.dotsDown, args.listSteps);
  printWrong(wrong);
  std::cout << "board=" << gridLine(run.digits) << '\n';
  printRun(run);
  for (size_t i = 0; i < run.trail.size(); ++i)
    std::cout << "step." << i + 1 << "=" << techniqueKey(run.trail[i].technique) << " " << changesText(run.trail[i])
              << " | " << run.trail[i].text << '\n';
  if (!args.output) return kExitOk;
  model.board = run.digits;
  return writeRecord(model, *args.output, random) ? kExitOk : kExitWriteFailed;
}

int make(const LogicArguments& args) {
  const uint64_t seed = args.seed ? *args.seed : std::random_device{}();
  SeededRandom random(seed);
  const auto made = makePuzzle(args.make, random);
  std::cout << "seed=" << seed << '\n' << "level=" << kLevelWords[args.make.level] << '\n';
  if (!made) {
    std::cerr << "punktivo-tool: no puzzle at or below grade " << gradeName(args.make.hardest) << " in "
              << args.make.maxGrids << " grids\n";
    return kExitNoPuzzle;
  }
  int givens = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) givens += made->givens[r][c] != 0 ? 1 : 0;
  std::cout << "givens=" << gridLine(made->givens) << '\n'
            << "solution=" << gridLine(made->solution) << '\n'
            << "givenCount=" << givens << '\n'
            << "grids=" << made->grids << '\n';
  printRun(made->run);
  if (!args.output) return kExitOk;
  // Laid out as the stock collections hold their records: the board is the solution.
  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  model.board = made->solution;
  model.givens = made->givens;
  model.dotsRight = made->dotsRight;
  model.dotsDown = made->dotsDown;
  return writeRecord(model, *args.output, random) ? kExitOk : kExitWriteFailed;
}

}  // namespace

std::optional<int> runLogicOperation(int argc, char** argv) {
  if (argc < 2) return std::nullopt;
  const std::string_view op = argv[1];
  if (op != "hint" && op != "solve-logic" && op != "make") return std::nullopt;
  std::string error;
  const auto args = parseLogicArguments(argc, argv, error);
  if (!args) {
    std::cerr << "punktivo-tool: " << error << '\n';
    return kExitUsage;
  }
  if (args->operation == "make") return make(*args);

  NullDisplay display;
  BoardModel model(display);
  model.quietMode = true;
  SeededRandom random(std::random_device{}());  // only the writer's filler bytes draw
  if (!readRecord(model, args->input, random)) return kExitUsage;
  return args->operation == "hint" ? hint(model, *args) : solveLogic(model, *args, random);
}

}  // namespace punktivo
