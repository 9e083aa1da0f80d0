// The literal solution count: plain backtracking in reading order, every rule checked cell by
// cell.
#include "exact_reference.h"

#include "engine/rules.h"

namespace punktivo::literal {

namespace {

class Backtracking {
 public:
  Backtracking(const Grid& dotsRight, const Grid& dotsDown, int limit, Grid* first)
      : limit_(limit), first_(first) {
    model_.dotsRight = dotsRight;
    model_.dotsDown = dotsDown;
  }

  int count(const Grid& digits) {
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) model_.board[r][c] = digits[r][c] <= 9 ? digits[r][c] : 0;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c)
        if (model_.board[r][c] != 0 && !fits(r, c)) return 0;
    fill(0);
    return found_;
  }

 private:
  // The digit in (r, c) is nowhere else in its row, column or box, and keeps its dots.
  bool fits(int r, int c) const {
    const uint8_t d = model_.board[r][c];
    for (int k = 1; k <= 9; ++k)
      if ((k != c && model_.board[r][k] == d) || (k != r && model_.board[k][c] == d)) return false;
    const int top = (r - 1) / 3 * 3 + 1, left = (c - 1) / 3 * 3 + 1;
    for (int rr = top; rr < top + 3; ++rr)
      for (int cc = left; cc < left + 3; ++cc)
        if ((rr != r || cc != c) && model_.board[rr][cc] == d) return false;
    return checkRowDots(model_, c, r) && checkColumnDots(model_, c, r);
  }

  void fill(int cell) {
    if (found_ >= limit_) return;
    if (cell == 81) {
      if (found_++ == 0 && first_ != nullptr) *first_ = model_.board;
      return;
    }
    const int r = cell / 9 + 1, c = cell % 9 + 1;
    if (model_.board[r][c] != 0) {
      fill(cell + 1);
      return;
    }
    for (uint8_t d = 1; d <= 9; ++d) {
      model_.board[r][c] = d;
      if (fits(r, c)) fill(cell + 1);
    }
    model_.board[r][c] = 0;
  }

  NullDisplay display_;
  BoardModel model_{display_};
  int limit_;
  Grid* first_;
  int found_ = 0;
};

}  // namespace

int countSolutions(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, int limit, Grid* first) {
  if (limit < 1) return 0;
  return Backtracking(dotsRight, dotsDown, limit, first).count(digits);
}

}  // namespace punktivo::literal
