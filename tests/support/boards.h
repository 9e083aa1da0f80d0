// Boards the tests share: the solution of the built-in start board.
#pragma once

namespace punktivo::testing {

// The one filling of the built-in start board's dots.
inline constexpr int kStartSolution[9][9] = {
    {4, 1, 2, 5, 8, 3, 9, 6, 7}, {5, 8, 9, 7, 6, 4, 2, 3, 1}, {7, 6, 3, 9, 2, 1, 8, 4, 5},
    {2, 4, 5, 3, 1, 6, 7, 9, 8}, {9, 3, 6, 8, 5, 7, 4, 1, 2}, {8, 7, 1, 4, 9, 2, 3, 5, 6},
    {1, 9, 7, 6, 4, 8, 5, 2, 3}, {3, 2, 4, 1, 7, 5, 6, 8, 9}, {6, 5, 8, 2, 3, 9, 1, 7, 4},
};

}  // namespace punktivo::testing
