// The exact solver: digit sets per cell, narrowed by the sudoku rules and by the dots between
// neighbours until nothing changes, then a branch on the cell with the fewest digits left.
#include "engine/exact_solver.h"

#include <array>
#include <bit>
#include <cstdint>

#include "engine/rules.h"

namespace punktivo {

namespace {

constexpr int kCells = 81;
constexpr int kUnits = 27;
constexpr uint16_t kAllDigits = 0x3FE;  // bits 1..9
constexpr uint8_t kRuledCodes = 3;      // codes 0-2 carry a rule; the others impose nothing

int cellIndex(int row, int column) { return (row - 1) * 9 + (column - 1); }

// Cheaper than std::has_single_bit where the processor's popcount is not assumed.
bool isSingle(uint16_t set) { return set != 0 && (set & (set - 1)) == 0; }

// The fixed shape of the board: the 27 units and the 20 peers of each cell.
struct Shape {
  std::array<std::array<uint8_t, 9>, kUnits> units{};
  std::array<std::array<uint8_t, 20>, kCells> peers{};

  Shape() {
    for (int k = 0; k < 9; ++k)
      for (int m = 0; m < 9; ++m) {
        units[k][m] = uint8_t(k * 9 + m);                                      // row k
        units[9 + k][m] = uint8_t(m * 9 + k);                                  // column k
        units[18 + k][m] = uint8_t((k / 3 * 3 + m / 3) * 9 + k % 3 * 3 + m % 3);  // box k
      }
    for (int i = 0; i < kCells; ++i) {
      int n = 0;
      for (int j = 0; j < kCells; ++j) {
        const bool sameRow = i / 9 == j / 9, sameColumn = i % 9 == j % 9;
        const bool sameBox = i / 27 == j / 27 && i % 9 / 3 == j % 9 / 3;
        if (j != i && (sameRow || sameColumn || sameBox)) peers[i][n++] = uint8_t(j);
      }
    }
  }
};

// support[code][set]: the digits a that keep the rule of dot code `code` beside at least one
// digit of `set`. Made from the game's own rule test, so both always agree.
struct DotSupport {
  std::array<std::array<uint16_t, 1024>, kRuledCodes> support{};

  DotSupport() {
    for (uint8_t code = 0; code < kRuledCodes; ++code)
      for (unsigned set = 1; set < 1024; ++set) {
        const int b = std::countr_zero(set);
        uint16_t fits = support[code][set & (set - 1)];
        if (b >= 1 && b <= 9)
          for (int a = 1; a <= 9; ++a)
            if (dotRuleHolds(code, a, b)) fits |= uint16_t(1u << a);
        support[code][set] = fits;
      }
  }
};

const Shape& shape() {
  static const Shape kShape;
  return kShape;
}

const DotSupport& dotSupport() {
  static const DotSupport kSupport;
  return kSupport;
}

// A dot rule from a cell to one of its neighbours.
struct Link {
  uint8_t cell = 0;
  uint8_t code = 0;
};

struct CellLinks {
  std::array<Link, 4> links{};
  int count = 0;
};

// The digits each cell may still hold, and which single cells have already been taken out of
// their peers.
struct State {
  std::array<uint16_t, kCells> digits{};
  std::array<bool, kCells> settled{};
};

class ExactSearch {
 public:
  ExactSearch(const Grid& dotsRight, const Grid& dotsDown, int limit)
      : shape_(shape()), support_(dotSupport()), limit_(limit) {
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        if (c < 9) link(cellIndex(r, c), cellIndex(r, c + 1), dotsRight[r][c]);
        if (r < 9) link(cellIndex(r, c), cellIndex(r + 1, c), dotsDown[c][r]);
      }
  }

  // Counts the solutions with `digits` fixed, up to the limit; the first one found is kept.
  int run(const Grid& digits) {
    State start;
    start.digits.fill(kAllDigits);
    Queue queue;
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        const int d = digits[r][c];
        if (d >= 1 && d <= 9) narrow(start, cellIndex(r, c), uint16_t(1u << d), queue);
      }
    for (int i = 0; i < kCells; ++i) queue.push(i);  // every cell passes its dots on once
    if (limit_ >= 1 && propagate(start, queue)) search(start);
    return found_;
  }

  const Grid& first() const { return first_; }

 private:
  // Cells whose digit sets changed and must pass the change on; each cell at most once.
  struct Queue {
    std::array<uint8_t, kCells> cells{};
    std::array<bool, kCells> queued{};
    int size = 0;
    void push(int i) {
      if (queued[i]) return;
      queued[i] = true;
      cells[size++] = uint8_t(i);
    }
    int pop() {
      const int i = cells[--size];
      queued[i] = false;
      return i;
    }
  };

  void link(int a, int b, uint8_t code) {
    if (code >= kRuledCodes) return;
    CellLinks& fromA = links_[a];
    CellLinks& fromB = links_[b];
    fromA.links[fromA.count++] = {uint8_t(b), code};
    fromB.links[fromB.count++] = {uint8_t(a), code};
  }

  // Keeps only `allowed` in cell i; false when nothing is left.
  static bool narrow(State& s, int i, uint16_t allowed, Queue& queue) {
    const uint16_t left = s.digits[i] & allowed;
    if (left == s.digits[i]) return true;
    s.digits[i] = left;
    queue.push(i);
    return left != 0;
  }

  // A changed cell: a single digit leaves its peers, and the dots narrow its neighbours.
  bool passOn(State& s, int i, Queue& queue) const {
    const uint16_t set = s.digits[i];
    if (!s.settled[i] && isSingle(set)) {
      s.settled[i] = true;
      for (const uint8_t peer : shape_.peers[i])
        if (!narrow(s, peer, uint16_t(~set), queue)) return false;
    }
    const CellLinks& cl = links_[i];
    for (int k = 0; k < cl.count; ++k)
      if (!narrow(s, cl.links[k].cell, support_.support[cl.links[k].code][set], queue)) return false;
    return true;
  }

  // A digit with one place left in a unit goes there; a digit with none is a dead end.
  bool placeHiddenSingles(State& s, Queue& queue) const {
    for (const auto& unit : shape_.units) {
      uint16_t once = 0, twice = 0;
      for (const uint8_t i : unit) {
        twice = uint16_t(twice | (once & s.digits[i]));
        once = uint16_t(once | s.digits[i]);
      }
      if (once != kAllDigits) return false;
      const uint16_t alone = once & uint16_t(~twice);
      if (alone == 0) continue;
      for (const uint8_t i : unit) {
        const uint16_t mine = s.digits[i] & alone;
        if (mine == 0 || s.digits[i] == mine) continue;
        if (!isSingle(mine)) return false;  // two digits that each need this cell
        narrow(s, i, mine, queue);
      }
    }
    return true;
  }

  // Narrows until nothing changes; false on a contradiction.
  bool propagate(State& s, Queue& queue) const {
    do {
      while (queue.size > 0)
        if (!passOn(s, queue.pop(), queue)) return false;
      if (!placeHiddenSingles(s, queue)) return false;
    } while (queue.size > 0);
    return true;
  }

  void search(const State& s) {
    int best = -1, fewest = 10;
    for (int i = 0; i < kCells && fewest > 2; ++i) {
      const int n = std::popcount(s.digits[i]);
      if (n > 1 && n < fewest) best = i, fewest = n;
    }
    if (best < 0) {
      record(s);
      return;
    }
    for (uint16_t left = s.digits[best]; left != 0 && found_ < limit_; left &= uint16_t(left - 1)) {
      State next = s;
      Queue queue;
      narrow(next, best, uint16_t(left & -left), queue);
      if (propagate(next, queue)) search(next);
    }
  }

  void record(const State& s) {
    if (found_++ > 0) return;
    for (int i = 0; i < kCells; ++i) first_[i / 9 + 1][i % 9 + 1] = uint8_t(std::countr_zero(s.digits[i]));
  }

  const Shape& shape_;
  const DotSupport& support_;
  std::array<CellLinks, kCells> links_{};
  int limit_;
  int found_ = 0;
  Grid first_{};
};

}  // namespace

int countSolutions(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, int limit) {
  return ExactSearch(dotsRight, dotsDown, limit).run(digits);
}

ExactSolution solveExact(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown) {
  ExactSearch search(dotsRight, dotsDown, 2);
  ExactSolution result;
  result.solutions = search.run(digits);
  if (result.unique()) result.grid = search.first();
  return result;
}

}  // namespace punktivo
