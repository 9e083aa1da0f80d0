// The player's steps on one board, for undo and redo. A step keeps what the board held
// before and after it: digits, givens and candidate marks, and whether the computed
// candidates were shown in place of the player's notes (the dots never change by a step).
#pragma once

#include <vector>

#include "engine/board_model.h"

namespace punktivo {

struct BoardSnapshot {
  Grid board{};
  Grid givens{};
  CandidateFlags candidates{};
  bool showCandidates = false;
  bool operator==(const BoardSnapshot&) const = default;
};

BoardSnapshot snapshotOf(const BoardModel& model, const Settings& settings);
void restoreSnapshot(BoardModel& model, Settings& settings, const BoardSnapshot& snapshot);

class History {
 public:
  // A fresh history: nothing to undo or redo.
  void clear();
  // Records the step from `before` to what the model holds now; a step that changed
  // nothing is no step. A new step drops what was undone.
  void commit(const BoardSnapshot& before, const BoardModel& model, const Settings& settings);
  // Puts the model back to before the last step (after the last undone one); false when
  // there is none.
  bool undo(BoardModel& model, Settings& settings);
  bool redo(BoardModel& model, Settings& settings);
  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }

 private:
  struct Step {
    BoardSnapshot before, after;
  };
  std::vector<Step> done_;
  std::vector<Step> undone_;
};

}  // namespace punktivo
