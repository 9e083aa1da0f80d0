// Boards and random sources shared by the generator tests.
#pragma once

#include <deque>
#include <vector>

#include "engine/board_model.h"
#include "engine/random.h"

namespace punktivo::testing {

// A complete grid (the one filling of the built-in start board's dots).
inline constexpr uint8_t kGrid[9][9] = {
    {4, 1, 2, 5, 8, 3, 9, 6, 7}, {5, 8, 9, 7, 6, 4, 2, 3, 1}, {7, 6, 3, 9, 2, 1, 8, 4, 5},
    {2, 4, 5, 3, 1, 6, 7, 9, 8}, {9, 3, 6, 8, 5, 7, 4, 1, 2}, {8, 7, 1, 4, 9, 2, 3, 5, 6},
    {1, 9, 7, 6, 4, 8, 5, 2, 3}, {3, 2, 4, 1, 7, 5, 6, 8, 9}, {6, 5, 8, 2, 3, 9, 1, 7, 4},
};

inline Grid gridOf(const uint8_t (&cells)[9][9]) {
  Grid grid{};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) grid[r][c] = cells[r - 1][c - 1];
  return grid;
}

// Givens on the cells where keep(r, c) holds, taken from grid.
template <typename Keep>
Grid givensOf(const Grid& grid, Keep keep) {
  Grid givens{};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (keep(r, c)) givens[r][c] = grid[r][c];
  return givens;
}

// A pattern symmetric under the half turn (r, c) -> (10-r, 10-c), about 40 cells, that is
// not symmetric under the quarter turn or the mirrors.
inline bool symmetricPattern(int r, int c) {
  const int a = r * 7 + c * 3, b = (10 - r) * 7 + (10 - c) * 3;
  return (a % 5 < 2) || (b % 5 < 2);
}

inline int givenCount(const Grid& givens) {
  int n = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) n += givens[r][c] != 0;
  return n;
}

inline bool halfTurnSymmetric(const Grid& givens) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if ((givens[r][c] != 0) != (givens[10 - r][10 - c] != 0)) return false;
  return true;
}

// Every given sits on a cell of board that holds the same digit.
inline bool givensOnBoard(const Grid& givens, const Grid& board) {
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (givens[r][c] != 0 && givens[r][c] != board[r][c]) return false;
  return true;
}

// Answers from a script first, then a default: 0, except for random(9), which counts
// 0, 1, ..., 8 round and round so that a digit permutation finds a free digit at every draw.
// Logs every n asked for.
class ScriptedRandom final : public RandomSource {
 public:
  std::deque<int> script;
  std::vector<int> asked;

  int random(int n) override {
    asked.push_back(n);
    if (!script.empty()) {
      const int value = script.front();
      script.pop_front();
      return value;
    }
    if (n == 9) return nines_++ % 9;
    return 0;
  }

 private:
  int nines_ = 0;
};

}  // namespace punktivo::testing
