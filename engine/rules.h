// The rules of the puzzle as tests, and the one place where dots are made.
// Coordinates: column first, then row, as the callers pass them.
#pragma once

#include <optional>

#include "engine/board_model.h"

namespace punktivo {

class Solver;

// The rule of a dot code for the digits a and b of two joined cells: 0 none, 1 white
// (they differ by 1), 2 black (one is twice the other). Other codes impose nothing.
bool dotRuleHolds(int code, int a, int b);

// No digit 1-9 twice in any column, row or box (empty cells ignored).
bool hasNoDuplicates(BoardModel& model);
// The same for the box whose top-left cell is (firstColumn, firstRow), each 1, 4 or 7.
bool boxHasNoDuplicates(BoardModel& model, int firstColumn, int firstRow);
// Dot rules between the filled cell and its filled left/right neighbours.
bool checkRowDots(const BoardModel& model, int column, int row);
// Dot rules between the filled cell and its filled upper/lower neighbours.
bool checkColumnDots(const BoardModel& model, int column, int row);
// Every empty cell admits a digit under the plain rules, every filled cell keeps its dots.
bool isBoardConsistent(BoardModel& model);
// Sets every dot code from the digits on the board (an empty cell counts as 0).
void deriveDots(BoardModel& model);
// Completes a copy of the board with the rule solver and derives the dots from it;
// board is unchanged afterwards, solution holds the board as it was.
void deriveDotsFromSolution(BoardModel& model, Solver& solver);
// The same, but where the rule solver leaves the board incomplete and the solution is
// `known`, the dots are those of the known solution: a puzzle the rule solver cannot finish
// keeps its dots (and with them its one solution) through a shuffle.
void deriveDotsFromSolution(BoardModel& model, Solver& solver, const std::optional<Grid>& known);

}  // namespace punktivo
