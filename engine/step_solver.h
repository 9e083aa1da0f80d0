// The step solver: solves a puzzle on candidate sets as a player does, one explained step at a
// time, from the easiest technique to the hardest, and never by guessing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/board_model.h"

namespace punktivo {

// From easiest to hardest; the order is the order in which they are tried.
enum class Technique : uint8_t {
  kNakedSingle,
  kHiddenSingle,
  kDotPair,
  kNoDot,
  kDotChain,
  kLockedCandidates,
  kNakedPair,
  kHiddenPair,
  kNakedTriple,
  kHiddenTriple,
  kDomino,
  kXWing,
  kXYChain,
  kDotPattern,
};
inline constexpr int kTechniqueCount = 14;

// "naked-single", ... for key=value output.
std::string_view techniqueKey(Technique technique);
// "Nackter Einer", ... for the player.
std::string_view techniqueName(Technique technique);

// A set of digits 1-9 as bits 1-9.
using DigitMask = uint16_t;

struct CellRef {
  int row = 0, column = 0;  // 1-9
  friend bool operator==(const CellRef&, const CellRef&) = default;
};

enum class UnitKind : uint8_t { kRow, kColumn, kBox };
struct UnitRef {
  UnitKind kind = UnitKind::kRow;
  int index = 0;  // 1-9; boxes row by row
  friend bool operator==(const UnitRef&, const UnitRef&) = default;
};

struct DotRef {
  CellRef first, second;  // second lies right of or below first
  uint8_t code = kNoDot;
};

struct Placement {
  CellRef cell;
  int digit = 0;
};

struct Removal {
  CellRef cell;
  DigitMask digits = 0;
};

struct Step {
  Technique technique = Technique::kNakedSingle;
  std::vector<CellRef> cells;  // the cells whose candidates justify the step
  std::vector<UnitRef> units;
  std::vector<DotRef> dots;
  std::vector<Placement> placements;
  std::vector<Removal> removals;
  std::string text;  // German, for the player
};

// "R4C2".
std::string cellName(CellRef cell);
// "Zeile 4", "Spalte 3", "Block 5".
std::string unitName(UnitRef unit);
// The nine cells of a unit, in reading order.
std::array<CellRef, 9> unitCells(UnitRef unit);

class StepSolver {
 public:
  // The puzzle: the digits standing (givens and placed digits; bytes outside 1-9 are empty
  // cells) and the dots between the cells. Every empty cell starts with the digits its row,
  // column and box leave open.
  StepSolver(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown);

  // The next step of the easiest technique that applies, without applying it; none when no
  // technique applies, the board is full or broken.
  std::optional<Step> nextStep() const;
  // The first step of this one technique, whether or not an easier one applies.
  std::optional<Step> findStep(Technique technique) const;
  // Places and removes what the step says; a placed digit leaves its row, column and box at once.
  void apply(const Step& step);

  // Keeps only `digits` of the cell's candidates (the player's own marks, or a test's position).
  void keepOnly(CellRef cell, DigitMask digits) { cand_[index(cell)] &= digits; }

  bool solved() const;
  // A cell without a candidate, or a digit twice in a unit: the digits standing cannot be
  // completed.
  bool broken() const;
  Grid digits() const;
  DigitMask candidates(CellRef cell) const { return cand_[index(cell)]; }
  int digit(CellRef cell) const { return digit_[index(cell)]; }

  // Internal layout, shared with the techniques: cells 0-80 row by row.
  static int index(CellRef cell) { return (cell.row - 1) * 9 + cell.column - 1; }

 private:
  std::array<uint8_t, 81> digit_{};
  std::array<DigitMask, 81> cand_{};
  Grid dotsRight_{}, dotsDown_{};
  bool duplicate_ = false;

  void place(int cell, int digit);
  friend struct Techniques;
};

}  // namespace punktivo
