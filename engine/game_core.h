// The game core: between the engine's procedures and the screen. It owns the board model,
// the settings, the game state (mistakes and timing flags), the undo history and the random
// source, and offers the game's commands; what they change comes back as a value, and the
// screen draws what it is told. The design's procedures still draw through BoardDisplay
// while quietMode is clear.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/board_model.h"
#include "engine/game_state.h"
#include "engine/generator.h"
#include "engine/history.h"
#include "engine/random.h"
#include "engine/solver.h"
#include "engine/status_check.h"
#include "engine/step_solver.h"

namespace punktivo {

// What a digit entered into a cell changed besides the cell.
struct EntryOutcome {
  bool mistake = false;         // a wrong digit, counted
  bool timedGameEnded = false;  // it was the third: the timed game is over
  // Cells whose notes lost the digit ("Notizen automatisch bereinigen").
  std::vector<CellRef> notesTidied;
};

// What carrying out a step of the step solver changed besides the cells it placed.
struct StepOutcome {
  EntryOutcome entry;              // its placements', together
  std::vector<CellRef> notesSet;   // cells whose notes its removals set
};

class GameCore {
 public:
  GameCore(BoardDisplay& display, uint64_t seed);
  GameCore(const GameCore&) = delete;
  GameCore& operator=(const GameCore&) = delete;

  BoardModel& model() { return model_; }
  const BoardModel& model() const { return model_; }
  Settings& settings() { return settings_; }
  const Settings& settings() const { return settings_; }
  GameState& game() { return game_; }
  Solver& solver() { return solver_; }
  Generator& generator() { return generator_; }
  History& history() { return history_; }
  RandomSource& random() { return random_; }

  // --- the error check -------------------------------------------------------------------
  // How often each digit stands on the board (digitCount), for the statistics.
  void countDigits();
  // Judges the board as the status panel shows it, with the digits as last counted. The
  // check's boardFull is kept for the solve command.
  const StatusResult& checkStatus();
  Status status() const { return lastCheck_.status; }
  bool boardFull() const { return lastCheck_.boardFull; }
  // A timed game whose board the last check found solved is over: boardSolved is set, so
  // the clock shows the final time. False (and nothing changed) for any other game.
  bool endSolvedTimedGame();
  // Reading a record, or a puzzle from a link: no clock, no mistakes, no hint taken.
  void startUntimed();

  // --- commands on the board --------------------------------------------------------------
  // A digit (0 empties the cell) entered by the player: a wrong one counts as a mistake
  // (once, here), the third ends a timed game; the cell is drawn; with tidyNotes set the
  // digit leaves the notes of every cell that sees it.
  EntryOutcome enterDigit(int column, int row, int digit);
  void toggleCandidate(int column, int row, int digit);
  // A hint carried out: its digits entered as the player's, and the notes of the cells it
  // removes candidates from left as the step has them.
  StepOutcome carryOutStep(const Step& step);
  // Runs a change of the board as one step the player can undo.
  void step(const std::function<void()>& change);
  // After a new game, a load, a shuffle, a solve: nothing to undo.
  void freshHistory() { history_.clear(); }
  // One step back (or forward again); false when there was none.
  bool undo(bool redo);
  // "Brett lösen": the candidate solver, and where it cannot finish, the rule solver on the
  // givens. boardFull is read after the solve, whose redraw runs the check again.
  void solveBoard();
  // "Brett mischen" and the X keys: the board disguised; returns the board's solution where it
  // was known before, carried through the same transformations.
  std::optional<Grid> shuffleBoard() { return generator_.shuffleBoardCarryingSolution(); }
  // The X keys: the board solved by the candidate solver, then shuffled, both unseen.
  std::optional<Grid> solveAndShuffleBoard();
  // The dots of the board's solution, derived unseen; from `known` where the rule solver
  // cannot complete the board.
  void deriveDotsQuietly(const std::optional<Grid>& known = std::nullopt);
  // "Neues Spiel" from the records `readRecord` delivers (see startNewGame); a game made
  // starts with nothing to undo.
  GenerateResult newGame(const Generator::RecordReader& readRecord, const std::function<void()>& beforeBoardShown);

 private:
  // `digit` taken out of the notes of every other cell in the row, column and box.
  std::vector<CellRef> tidyNotes(int column, int row, int digit);

  Settings settings_;
  BoardModel model_;
  GameState game_;
  History history_;
  SeededRandom random_;
  Solver solver_;
  Generator generator_;
  StatusResult lastCheck_;
};

}  // namespace punktivo
