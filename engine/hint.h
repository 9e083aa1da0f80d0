// The game's hint: the player's digits checked against the puzzle's one solution first, then
// the next logical step of the step solver, from the digits on the board and the player's
// notes where they agree with the solution.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/board_model.h"
#include "engine/grade.h"
#include "engine/step_solver.h"

namespace punktivo {

struct GameHint {
  enum class Kind {
    kWrongDigit,  // a digit of the player's differs from the solution
    kStep,        // the next logical step
    kNoStep,      // no technique applies: only trying helps on
    kSolved,      // nothing left to do
    kNoSolution,  // the givens with the dots have no single solution
  };
  Kind kind = Kind::kNoStep;
  CellRef wrongCell;          // kWrongDigit
  std::optional<Step> step;   // kStep
};

GameHint nextHint(const BoardModel& model);

// The notes of the cells the step removes candidates from, as the step leaves them (what
// carrying out the hint writes into the player's notes).
std::vector<std::pair<CellRef, DigitMask>> notesAfterStep(const BoardModel& model, const Step& step);

// One line for a first look: the technique and where ("Punktpaar: R1C1, R1C2"), or what the
// hint found ("R3C5 ist falsch").
std::string hintHeadline(const GameHint& hint);
// The whole explanation, what is placed or removed included.
std::string hintExplanation(const GameHint& hint);
// The cells the hint is about (tinted on the board).
std::vector<CellRef> hintCells(const GameHint& hint);

// The grade of the puzzle given by its givens and dots, and its hardest technique.
struct PuzzleGrade {
  Grade grade = Grade::kStuck;
  std::optional<Technique> hardest;
};
PuzzleGrade gradePuzzle(const BoardModel& model);
// "Bewertung: Knifflig (schwerste Technik: Punktkette)".
std::string gradeText(const PuzzleGrade& grade);

}  // namespace punktivo
