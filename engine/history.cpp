// Undo and redo of the player's steps.
#include "engine/history.h"

namespace punktivo {

BoardSnapshot snapshotOf(const BoardModel& model, const Settings& settings) {
  return {model.board, model.givens, model.candidates, settings.showCandidates};
}

void restoreSnapshot(BoardModel& model, Settings& settings, const BoardSnapshot& snapshot) {
  model.board = snapshot.board;
  model.givens = snapshot.givens;
  model.candidates = snapshot.candidates;
  settings.showCandidates = snapshot.showCandidates;
}

void History::clear() {
  done_.clear();
  undone_.clear();
}

void History::commit(const BoardSnapshot& before, const BoardModel& model, const Settings& settings) {
  const BoardSnapshot after = snapshotOf(model, settings);
  if (after == before) return;
  done_.push_back({before, after});
  undone_.clear();
}

bool History::undo(BoardModel& model, Settings& settings) {
  if (done_.empty()) return false;
  restoreSnapshot(model, settings, done_.back().before);
  undone_.push_back(done_.back());
  done_.pop_back();
  return true;
}

bool History::redo(BoardModel& model, Settings& settings) {
  if (undone_.empty()) return false;
  restoreSnapshot(model, settings, undone_.back().after);
  done_.push_back(undone_.back());
  undone_.pop_back();
  return true;
}

}  // namespace punktivo
