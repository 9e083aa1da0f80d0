// The game's hint and the puzzle's grade.
#include "engine/hint.h"

#include "engine/exact_solver.h"

namespace punktivo {

namespace {

// The player's notes of the cell as a mask, 0 without any.
DigitMask notesOf(const BoardModel& model, int row, int column) {
  DigitMask notes = 0;
  for (int d = 1; d <= 9; ++d)
    if (model.candidates[row][column][d]) notes = DigitMask(notes | (1u << d));
  return notes;
}

// The step solver on the board's digits, with the player's notes where they keep the
// solution's digit (a wrong note is ignored rather than built upon).
StepSolver solverOf(const BoardModel& model, const Grid& solution) {
  StepSolver solver(model.board, model.dotsRight, model.dotsDown);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const DigitMask notes = notesOf(model, r, c);
      if (model.board[r][c] == 0 && (notes & (1u << solution[r][c])) != 0) solver.keepOnly({r, c}, notes);
    }
  return solver;
}

}  // namespace

std::vector<std::pair<CellRef, DigitMask>> notesAfterStep(const BoardModel& model, const Step& step) {
  const ExactSolution exact = solveExact(model.givens, model.dotsRight, model.dotsDown);
  if (!exact.unique()) return {};
  StepSolver solver = solverOf(model, exact.grid);
  solver.apply(step);
  std::vector<std::pair<CellRef, DigitMask>> notes;
  for (const Removal& removal : step.removals) notes.emplace_back(removal.cell, solver.candidates(removal.cell));
  return notes;
}

GameHint nextHint(const BoardModel& model) {
  GameHint hint;
  const ExactSolution exact = solveExact(model.givens, model.dotsRight, model.dotsDown);
  if (!exact.unique()) {
    hint.kind = GameHint::Kind::kNoSolution;
    return hint;
  }
  bool full = true;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const uint8_t d = model.board[r][c];
      full = full && d == exact.grid[r][c];
      if (d != 0 && model.givens[r][c] == 0 && d != exact.grid[r][c]) {
        hint.kind = GameHint::Kind::kWrongDigit;
        hint.wrongCell = {r, c};
        return hint;
      }
    }
  if (full) {
    hint.kind = GameHint::Kind::kSolved;
    return hint;
  }
  hint.step = solverOf(model, exact.grid).nextStep();
  hint.kind = hint.step ? GameHint::Kind::kStep : GameHint::Kind::kNoStep;
  return hint;
}

std::string hintHeadline(const GameHint& hint) {
  switch (hint.kind) {
    case GameHint::Kind::kWrongDigit:
      return cellName(hint.wrongCell) + " ist falsch";
    case GameHint::Kind::kSolved:
      return "Alles gelöst: kein Tipp nötig.";
    case GameHint::Kind::kNoSolution:
      return "Das Rätsel hat keine eindeutige Lösung.";
    case GameHint::Kind::kNoStep:
      return "Kein logischer Schritt gefunden: hier hilft nur Probieren.";
    case GameHint::Kind::kStep:
      break;
  }
  const Step& step = *hint.step;
  std::string where;
  if (!step.units.empty()) {
    for (const UnitRef& unit : step.units) where += (where.empty() ? "" : ", ") + unitName(unit);
  } else {
    for (const CellRef& cell : step.cells) where += (where.empty() ? "" : ", ") + cellName(cell);
  }
  return std::string(techniqueName(step.technique)) + (where.empty() ? "" : ": " + where);
}

std::string hintExplanation(const GameHint& hint) {
  if (hint.kind == GameHint::Kind::kWrongDigit)
    return cellName(hint.wrongCell) + " ist falsch: die Ziffer dort passt nicht zur Lösung. Leere das Feld.";
  if (hint.kind != GameHint::Kind::kStep) return hintHeadline(hint);
  return std::string(techniqueName(hint.step->technique)) + ". " + hint.step->text;
}

std::vector<CellRef> hintCells(const GameHint& hint) {
  if (hint.kind == GameHint::Kind::kWrongDigit) return {hint.wrongCell};
  if (hint.kind != GameHint::Kind::kStep) return {};
  std::vector<CellRef> cells;
  const auto add = [&](CellRef cell) {
    for (const CellRef& known : cells)
      if (known == cell) return;
    cells.push_back(cell);
  };
  // Where: the units the step looks at, or the cells.
  for (const UnitRef& unit : hint.step->units)
    for (const CellRef& cell : unitCells(unit)) add(cell);
  for (const CellRef& cell : hint.step->cells) add(cell);
  for (const Placement& p : hint.step->placements) add(p.cell);
  for (const Removal& r : hint.step->removals) add(r.cell);
  return cells;
}

PuzzleGrade gradePuzzle(const BoardModel& model) {
  const LogicRun run = solveLogically(model.givens, model.dotsRight, model.dotsDown);
  return {gradeOf(run), run.solved ? run.hardest : std::nullopt};
}

std::string gradeText(const PuzzleGrade& grade) {
  std::string text = "Bewertung: " + std::string(gradeName(grade.grade));
  if (grade.hardest) text += " (schwerste Technik: " + std::string(techniqueName(*grade.hardest)) + ")";
  return text;
}

}  // namespace punktivo
