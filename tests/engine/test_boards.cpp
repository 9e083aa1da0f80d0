// Boards and board makers shared by the engine tests and benchmarks.
#include "test_boards.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace punktivo::testing {

const int kTenRoundGivens[9][9] = {
    {0, 0, 0, 7, 0, 5, 0, 3, 6}, {0, 0, 3, 0, 6, 0, 5, 0, 0}, {5, 0, 0, 3, 0, 0, 1, 0, 0},
    {0, 0, 9, 0, 7, 1, 8, 5, 0}, {0, 2, 1, 0, 9, 0, 0, 0, 0}, {6, 0, 0, 0, 0, 3, 0, 9, 0},
    {7, 0, 0, 0, 1, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 4}, {0, 0, 8, 9, 0, 2, 7, 0, 0},
};
const int kTenRoundSolution[9][9] = {
    {1, 8, 4, 7, 2, 5, 9, 3, 6}, {2, 9, 3, 1, 6, 8, 5, 4, 7}, {5, 7, 6, 3, 4, 9, 1, 2, 8},
    {3, 4, 9, 6, 7, 1, 8, 5, 2}, {8, 2, 1, 5, 9, 4, 6, 7, 3}, {6, 5, 7, 2, 8, 3, 4, 9, 1},
    {7, 3, 5, 4, 1, 6, 2, 8, 9}, {9, 6, 2, 8, 5, 7, 3, 1, 4}, {4, 1, 8, 9, 3, 2, 7, 6, 5},
};

Grid gridFrom(const int digits[9][9]) {
  Grid grid{};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) grid[r][c] = uint8_t(digits[r - 1][c - 1]);
  return grid;
}

std::string gridText(const Grid& grid) {
  std::string text;
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) text += grid[r][c] ? char('0' + grid[r][c] % 10) : '.';
    text += '\n';
  }
  return text;
}

namespace {

int draw(std::mt19937_64& rng, int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

// A permutation of 1..9 that keeps the three groups {1-3}, {4-6}, {7-9} as groups.
std::array<int, 10> groupShuffle(std::mt19937_64& rng) {
  std::array<int, 3> groups{0, 1, 2}, inGroup{0, 1, 2};
  std::shuffle(groups.begin(), groups.end(), rng);
  std::array<int, 10> order{};
  for (int g = 0; g < 3; ++g) {
    std::shuffle(inGroup.begin(), inGroup.end(), rng);
    for (int k = 0; k < 3; ++k) order[g * 3 + k + 1] = groups[g] * 3 + inGroup[k] + 1;
  }
  return order;
}

}  // namespace

Grid randomSolution(std::mt19937_64& rng) {
  const Grid start = gridFrom(kStartSolution);
  std::array<int, 10> digits{};
  std::iota(digits.begin(), digits.end(), 0);
  std::shuffle(digits.begin() + 1, digits.end(), rng);
  const std::array<int, 10> rows = groupShuffle(rng), columns = groupShuffle(rng);
  const bool transpose = draw(rng, 2) == 0;
  Grid grid{};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const int d = start[rows[r]][columns[c]];
      (transpose ? grid[c][r] : grid[r][c]) = uint8_t(digits[d]);
    }
  return grid;
}

Grid keepSome(const Grid& full, int keepPercent, std::mt19937_64& rng) {
  Grid grid{};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (draw(rng, 100) < keepPercent) grid[r][c] = full[r][c];
  return grid;
}

bool everyDigitNineTimes(const Grid& board) {
  std::array<int, 10> count{};
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) ++count[board[r][c] <= 9 ? board[r][c] : 0];
  for (int d = 1; d <= 9; ++d)
    if (count[d] != 9) return false;
  return true;
}

}  // namespace punktivo::testing
