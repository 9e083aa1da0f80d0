// The input is a stock collection ("leicht.ptv" ...) as "&Neues Spiel" reads it: the new-game
// road runs over it unseen (random records, disguise, dots of the solution, candidate
// solver, at "Extrem" the thinning of givens). A game it makes must be a real puzzle; a
// collection it cannot use must leave the player's board as it was.
//
// The record filler is never read by the game, so the target takes its settings from there:
// byte 1400 of the file picks the level, byte 1401 the symmetry, bytes 1402-1403 the seed.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/board_model.h"
#include "engine/generator.h"
#include "engine/random.h"
#include "engine/rules.h"
#include "engine/solver.h"
#include "fuzz/fuzz_support.h"
#include "storage/board_file.h"

using namespace punktivo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size > kBoardFileSize + kRecordSize) return -1;
  const std::span<const uint8_t> input(data, size);
  static const std::filesystem::path file = fuzzsupport::scratchDir() / "leicht.ptv";
  fuzzsupport::writeFile(file, input);

  auto setting = [&](std::size_t at) -> unsigned { return at < size ? data[at] : 0u; };
  NullDisplay display;
  BoardModel model(display);
  Settings settings;
  settings.fillLevelNames();
  settings.difficulty = int16_t(setting(kFillerOffset) % 4);
  settings.puzzleSymmetry = setting(kFillerOffset + 1) % 2 == 0;
  SeededRandom random(setting(kFillerOffset + 2) * 256u + setting(kFillerOffset + 3));
  Solver solver(model, settings);
  Generator generator(model, settings, solver, random);
  // Enough draws to meet every record a few times, few enough to keep an input quick.
  generator.maxAttempts = 12;

  // The player's board before the new game: the built-in start pattern.
  model.loadStartBoard();
  const BoardModel before = model;

  BoardFile collection(model, random);
  collection.boardFileName = file.string();
  const GenerateResult result = generator.generateGame(collection.records());
  FUZZ_CHECK(result.attempts >= 1 && result.attempts <= generator.maxAttempts);

  if (!result.generated()) {
    FUZZ_CHECK(model.board == before.board && model.givens == before.givens);
    FUZZ_CHECK(model.dotsRight == before.dotsRight && model.dotsDown == before.dotsDown);
    FUZZ_CHECK(model.solution == before.solution && model.quietMode == before.quietMode);
    return 0;
  }

  // What the player gets: a complete solution, givens taken from it, the dots of that
  // solution, exactly one answer, and the board holding at least the givens.
  FUZZ_CHECK(result.slot >= 0 && result.slot < kRecordsPerFile);
  FUZZ_CHECK(isValidSolution(model.solution));
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const uint8_t given = model.givens[r][c];
      FUZZ_CHECK(given == 0 || given == model.solution[r][c]);
      FUZZ_CHECK(given == 0 || model.board[r][c] == given);
    }
  BoardModel dotted(display);
  dotted.quietMode = true;
  dotted.board = model.solution;
  deriveDots(dotted);
  FUZZ_CHECK(dotted.dotsRight == model.dotsRight && dotted.dotsDown == model.dotsDown);
  FUZZ_CHECK(countSolutions(model.givens, model.dotsRight, model.dotsDown, 2) == 1);

  // And the board is saved the way the player would save it.
  model.quietMode = false;
  BoardFile player(model, random);
  player.boardFileName = (fuzzsupport::scratchDir() / "brett.ptv").string();
  FUZZ_CHECK(player.saveBoardRecord(result.slot).saved());
  return 0;
}
