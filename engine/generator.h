// New puzzles by disguise: the transformations of board and givens, the shuffle, the new-game
// loop over stock records and the thinning of givens at "Extrem". Whether a finished puzzle has
// exactly one answer is judged by the exact solver.
#pragma once

#include <functional>
#include <optional>

#include "engine/board_model.h"
#include "engine/exact_solver.h"
#include "engine/random.h"
#include "engine/solver.h"

namespace punktivo {

// True when `grid` holds every digit once per row, column and box (all 81 cells filled).
bool isValidSolution(const Grid& grid);

// The solution of the puzzle on the board, where it is certain: that of the board as it
// stands (its digits with the dots) when it has exactly one, else that of its givens alone
// when they have exactly one (a wrong digit of the player's does not lose the puzzle).
std::optional<Grid> knownSolution(const BoardModel& model);

// How a new game went.
enum class GenerateStatus {
  kGenerated,
  kNoRecord,    // no attempt read a usable record (missing or broken collection file)
  kUnsolvable,  // records were read, but none could be finished in the allowed attempts
};

struct GenerateResult {
  GenerateStatus status = GenerateStatus::kNoRecord;
  int attempts = 0;     // records drawn, the successful one included
  int recordsRead = 0;  // draws for which the reader delivered a record
  int badRecords = 0;   // read, but not a complete solution with givens on it
  int notUnique = 0;    // completed by the solver, but not to the one solution (requireUnique)
  int slot = -1;        // the record the game was made from
  bool generated() const { return status == GenerateStatus::kGenerated; }
};

class Generator {
 public:
  // Loads record `slot` (0-3) of the current level's collection into the model and says
  // whether a record was read. The generator itself never touches files.
  using RecordReader = std::function<bool(int slot)>;

  static constexpr int kDefaultMaxAttempts = 200;

  Generator(BoardModel& model, Settings& settings, Solver& solver, RandomSource& random)
      : model_(model), settings_(settings), solver_(solver), random_(random) {}

  // Records drawn before generateGame gives up.
  int maxAttempts = kDefaultMaxAttempts;
  // A finished puzzle must also have exactly one solution under all rules, and the solver
  // must have reached that solution (not some other filling its guess step stumbled on);
  // otherwise the record is drawn again, and reduceGivens keeps a given whose removal would
  // break this. Off: the plain test "the candidate solver completes the board".
  bool requireUnique = true;
  // Called with true before reduceGivens and false after it: the caller shows the busy
  // mouse pointer meanwhile.
  std::function<void(bool busy)> showBusy;

  // The transformations, each on board and givens together. Rows, columns 1-9; bands,
  // stacks 1-3.
  void swapRows(int a, int b);
  void swapColumns(int a, int b);
  void swapBands(int a, int b);
  void swapStacks(int a, int b);
  void swapMiddleLines();
  void flipVertical();
  void flipHorizontal();
  // new[i][j] := old[j][10-i]; builds in boardBackup and solution (overwritten).
  void rotateQuarter();
  // Every digit d >= 1 becomes digitMap[d], a fresh random permutation of 1-9.
  void permuteDigits();

  // One complete random disguise of board and givens, ending with storeSolution. The
  // symmetric path (kept half-turn symmetry of the givens) when puzzleSymmetry is set and
  // difficulty is not 3, else the free path. The caller derives the dots afterwards.
  void shuffleBoard();
  // The shuffle of "Brett mischen" and of the X keys: shuffleBoard, with the board's known
  // solution (knownSolution, taken before) carried through the same transformations, so
  // that the caller can derive the dots of the same puzzle where the rule solver cannot
  // complete the shuffled board. The draws are those of shuffleBoard.
  std::optional<Grid> shuffleBoardCarryingSolution();

  // The engine part of "&Neues Spiel", worked out unseen (quietMode is as the caller had it
  // afterwards): board holds the solution (difficulty 0-2) or only the givens (3), dots and
  // solution belong to the new puzzle. On failure the whole model is as it was before.
  GenerateResult generateGame(const RecordReader& readRecord);

  // Removes, cell by cell column by column, every given the solver can do without. Expects
  // board = solution with the puzzle's givens; leaves only the givens on the board.
  void reduceGivens();

 private:
  void swapCellsOfRows(int a, int b);
  // The puzzle on the board counts as finished (see requireUnique); board as the solver left it.
  bool solverFinishes();

  BoardModel& model_;
  Settings& settings_;
  Solver& solver_;
  RandomSource& random_;
  // A grid the transformations move along with board and givens (the known solution during
  // shuffleBoardCarryingSolution), or none.
  Grid* carried_ = nullptr;
};

}  // namespace punktivo
