// Board families for the exact counter, shared by its tests and its benchmark: near-empty
// boards, cleared boards with a few givens or dots, random dot codes, random valid puzzles and
// full boards with one wrong digit. Many of them have no solution at all.
#pragma once

#include <array>
#include <random>

#include "engine/board_model.h"

namespace punktivo::testing {

struct Puzzle {
  Grid givens{}, dotsRight{}, dotsDown{};
};

enum class CountFamily {
  nearEmpty,      // no givens, every neighbour pair without a dot but for 0-6 random dots
  clearedFew,     // a cleared board with 1-4 random givens or dots
  randomDots,     // no givens, every dot code random, at a density drawn per board
  validPuzzle,    // a random solution's dots and 0-40 % of its digits
  oneWrongDigit,  // a random solution's dots and digits, one digit changed
};

constexpr std::array<CountFamily, 5> kCountFamilies = {CountFamily::nearEmpty, CountFamily::clearedFew,
                                                        CountFamily::randomDots, CountFamily::validPuzzle,
                                                        CountFamily::oneWrongDigit};

const char* familyName(CountFamily family);
Puzzle makeCountBoard(CountFamily family, std::mt19937_64& rng);

// The dots the digits of a full grid make, without givens.
Puzzle dotsOf(const Grid& full);

}  // namespace punktivo::testing
