// The game core's commands.
#include "engine/game_core.h"

#include "engine/hint.h"
#include "engine/new_game.h"
#include "engine/rules.h"

namespace punktivo {

GameCore::GameCore(BoardDisplay& display, uint64_t seed)
    : model_(display), random_(seed), solver_(model_, settings_), generator_(model_, settings_, solver_, random_) {
  lastCheck_.status = Status::kNone;
}

void GameCore::countDigits() {
  model_.digitCount.fill(0);
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const uint8_t d = model_.board[r][c];
      ++model_.digitCount[d <= 9 ? d : 0];
    }
}

const StatusResult& GameCore::checkStatus() {
  lastCheck_ = evaluateStatus(model_, lastCheck_.boardFull);
  return lastCheck_;
}

bool GameCore::endSolvedTimedGame() {
  if (lastCheck_.status != Status::kSolved || !game_.timedGame) return false;
  game_.boardSolved = true;
  return true;
}

void GameCore::startUntimed() {
  game_.timedGame = false;
  game_.mistakeCount = 0;
  game_.hintShown = false;
}

EntryOutcome GameCore::enterDigit(int column, int row, int digit) {
  EntryOutcome outcome;
  model_.board[row][column] = uint8_t(digit);
  const uint8_t solved = model_.solution[row][column];
  // While the solution holds 0 for the cell no digit is judged.
  if (digit != 0 && solved != 0 && digit != solved) {
    outcome.mistake = true;
    ++game_.mistakeCount;
    // The third wrong entry ends a timed game.
    if (game_.mistakeCount == 3) {
      game_.timedGame = false;
      outcome.timedGameEnded = true;
    }
  }
  if (!model_.quietMode) model_.display().drawPlayerCell(column, row, digit);
  if (settings_.tidyNotes) outcome.notesTidied = tidyNotes(column, row, digit);
  return outcome;
}

std::vector<CellRef> GameCore::tidyNotes(int column, int row, int digit) {
  std::vector<CellRef> tidied;
  if (digit < 1 || digit > 9) return tidied;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const bool sees = r == row || c == column || ((r - 1) / 3 == (row - 1) / 3 && (c - 1) / 3 == (column - 1) / 3);
      bool& mark = model_.candidates[r][c][digit];
      if (!sees || (r == row && c == column) || !mark) continue;
      mark = false;
      tidied.push_back({r, c});
    }
  return tidied;
}

StepOutcome GameCore::carryOutStep(const Step& step) {
  // The notes as the step leaves them, taken before its digits go in.
  const auto notes = notesAfterStep(model_, step);
  StepOutcome outcome;
  for (const Placement& p : step.placements) {
    const EntryOutcome entry = enterDigit(p.cell.column, p.cell.row, p.digit);
    outcome.entry.mistake = outcome.entry.mistake || entry.mistake;
    outcome.entry.timedGameEnded = outcome.entry.timedGameEnded || entry.timedGameEnded;
    outcome.entry.notesTidied.insert(outcome.entry.notesTidied.end(), entry.notesTidied.begin(),
                                     entry.notesTidied.end());
  }
  for (const auto& [cell, mask] : notes) {
    for (int d = 1; d <= 9; ++d) model_.candidates[cell.row][cell.column][d] = (mask >> d & 1U) != 0;
    outcome.notesSet.push_back(cell);
  }
  return outcome;
}

void GameCore::toggleCandidate(int column, int row, int digit) {
  bool& mark = model_.candidates[row][column][digit];
  mark = !mark;
}

void GameCore::step(const std::function<void()>& change) {
  const BoardSnapshot before = snapshotOf(model_, settings_);
  change();
  history_.commit(before, model_, settings_);
}

bool GameCore::undo(bool redo) {
  return redo ? history_.redo(model_, settings_) : history_.undo(model_, settings_);
}

void GameCore::solveBoard() {
  // By reference: the solve's redraw runs the check, which sets the flag anew.
  solver_.solveCommand(lastCheck_.boardFull);
}

std::optional<Grid> GameCore::solveAndShuffleBoard() {
  const QuietScope quiet(model_);
  solver_.solveWithCandidates();
  return shuffleBoard();
}

void GameCore::deriveDotsQuietly(const std::optional<Grid>& known) {
  // Drawn, the rule solver's work would put the old dots back over a board that is about
  // to get new ones, and a redraw erases only the cells' insides: their rims would stay
  // on the grid lines.
  const QuietScope quiet(model_);
  deriveDotsFromSolution(model_, solver_, known);
}

GenerateResult GameCore::newGame(const Generator::RecordReader& readRecord,
                                 const std::function<void()>& beforeBoardShown) {
  const GenerateResult made = startNewGame(generator_, model_, game_, readRecord, beforeBoardShown);
  if (made.generated()) freshHistory();
  return made;
}

}  // namespace punktivo
