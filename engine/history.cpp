// Undo and redo of the player's steps.
#include "engine/history.h"

namespace punktivo {

BoardSnapshot snapshotOf(const BoardModel& model) { return {model.board, model.givens, model.candidates}; }

void restoreSnapshot(BoardModel& model, const BoardSnapshot& snapshot) {
  model.board = snapshot.board;
  model.givens = snapshot.givens;
  model.candidates = snapshot.candidates;
}

void History::clear() {
  done_.clear();
  undone_.clear();
}

void History::commit(const BoardSnapshot& before, const BoardModel& model) {
  const BoardSnapshot after = snapshotOf(model);
  if (after == before) return;
  done_.push_back({before, after});
  undone_.clear();
}

bool History::undo(BoardModel& model) {
  if (done_.empty()) return false;
  restoreSnapshot(model, done_.back().before);
  undone_.push_back(done_.back());
  done_.pop_back();
  return true;
}

bool History::redo(BoardModel& model) {
  if (undone_.empty()) return false;
  restoreSnapshot(model, undone_.back().after);
  done_.push_back(undone_.back());
  undone_.pop_back();
  return true;
}

}  // namespace punktivo
