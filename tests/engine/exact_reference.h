// The solutions of a puzzle counted the literal way, to check the exact solver against: the
// empty cells are filled in reading order with 1-9, and every trial digit is checked against
// its row, column and box and, with the game's own dot tests, against its filled neighbours.
#pragma once

#include "engine/board_model.h"

namespace punktivo::literal {

// Up to `limit` solutions of the fixed `digits` (a byte outside 1-9 is an empty cell) under
// the dots; the first one found goes to *first when it is given.
int countSolutions(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, int limit,
                   Grid* first = nullptr);

}  // namespace punktivo::literal
