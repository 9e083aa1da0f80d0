// The road of a new game around the generator.
#include "engine/new_game.h"

namespace punktivo {

GenerateResult startNewGame(Generator& generator, BoardModel& model, GameState& game,
                            const Generator::RecordReader& readRecord,
                            const std::function<void()>& beforeBoardShown) {
  game.mistakeCount = 0;
  game.hintShown = false;
  const GenerateResult made = generator.generateGame(readRecord);
  if (!made.generated()) return made;
  model.unsolvedFlag = false;
  model.clearCandidates();
  game.timedGame = true;
  if (beforeBoardShown) beforeBoardShown();
  model.restartBoard();
  return made;
}

}  // namespace punktivo
