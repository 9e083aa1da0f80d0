// The road of a new game around the generator, one copy for the game, punktivo-tool and the
// tests: a puzzle made from stock records, then the model and the game state ready for play.
#pragma once

#include <functional>

#include "engine/board_model.h"
#include "engine/game_state.h"
#include "engine/generator.h"

namespace punktivo {

// The steps of "Neues Spiel" in their order: the mistake count starts at 0; a puzzle is made
// from the records `readRecord` delivers (generateGame). Once made, the board loses its
// unsolved mark and every candidate, the game is timed, `beforeBoardShown` runs (the game
// starts its clock and draws its panels there), and
// the board goes back to its givens (restartBoard). When no puzzle could be made, only the
// mistake count has changed.
GenerateResult startNewGame(Generator& generator, BoardModel& model, GameState& game,
                            const Generator::RecordReader& readRecord,
                            const std::function<void()>& beforeBoardShown = {});

}  // namespace punktivo
