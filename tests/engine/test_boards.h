// Boards and board makers shared by the engine tests and benchmarks; the start solution and
// the recording display come from the tests' support folder.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "engine/board_model.h"
// Relative, so the benchmarks find them without the tests' include path.
#include "../support/boards.h"
#include "../support/recording_display.h"

namespace punktivo::testing {

// Givens on which the rule solver still places a digit in its tenth round of singles and
// would place more in an eleventh (20 cells stay empty), with their solution.
extern const int kTenRoundGivens[9][9];
extern const int kTenRoundSolution[9][9];

Grid gridFrom(const int digits[9][9]);
std::string gridText(const Grid& grid);

// A valid filled sudoku: the start solution disguised by digit, row, column, band,
// stack and transposition changes.
Grid randomSolution(std::mt19937_64& rng);
// The cells of `full` kept with probability keepPercent / 100, the rest empty.
Grid keepSome(const Grid& full, int keepPercent, std::mt19937_64& rng);

// The error check's boardFull: every digit stands nine times on the board.
bool everyDigitNineTimes(const Grid& board);

}  // namespace punktivo::testing
