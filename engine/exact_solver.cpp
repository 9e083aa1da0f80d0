// The exact solver: digit sets per cell, narrowed by the sudoku rules and by the dots between
// neighbours until nothing changes, then a branch on the cell with the fewest digits left.
// Where that search runs long (nearly empty boards that have no solution), it starts again
// with each box's possible fillings as tables, which narrow much further.
#include "engine/exact_solver.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <memory>

#include "engine/rules.h"

namespace punktivo {

namespace {

constexpr int kCells = 81;
constexpr int kUnits = 27;
constexpr uint16_t kAllDigits = 0x3FE;  // bits 1..9
constexpr uint8_t kRuledCodes = 3;      // codes 0-2 carry a rule; the others impose nothing
// The work is counted in steps: a branch of the search is one, and so are this many steps of
// finding a box's fillings for its table.
constexpr int kFillingStepsPerStep = 64;
// The plain search gives up after this many steps and the box tables take over: real puzzles
// need a handful, and building the tables costs more than that.
constexpr long kPlainSteps = 64;
// A box's fillings as bits of this many words; a box with more fillings gets no table (an
// empty box with no dots inside has 1640).
constexpr int kFillingWords = 32;
using FillingSet = std::array<uint64_t, kFillingWords>;
// A box whose fillings take more steps than this to find gets no table either.
constexpr int kFillingSteps = 16 * kFillingWords * 64;

int cellIndex(int row, int column) { return (row - 1) * 9 + (column - 1); }
int boxOf(int cell) { return cell / 27 * 3 + cell % 9 / 3; }
int placeInBox(int cell) { return cell / 9 % 3 * 3 + cell % 3; }

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

// The fillings of each box that its digits and inner dots allow: bit t of fits[box][place][d]
// is set when filling t has digit d at that place of the box.
struct BoxTables {
  std::array<bool, 9> used{};
  std::array<std::array<std::array<FillingSet, 10>, 9>, 9> fits{};
  std::array<std::array<std::array<uint8_t, 10>, 9>, 9> lastFound{};  // a word to look in first
};

// The digits each cell may still hold, and which single cells have already been taken out of
// their peers; with box tables, the fillings still open (and which words of them have any),
// the digits each table has seen go, and the boxes whose cells must be narrowed to their open
// fillings.
struct State {
  std::array<uint16_t, kCells> digits{};
  std::array<bool, kCells> settled{};
  std::array<FillingSet, 9> open{};
  std::array<uint32_t, 9> openWords{};
  std::array<uint16_t, kCells> tabled{};
  uint16_t boxesToNarrow = 0;
};

class ExactSearch {
 public:
  ExactSearch(const Grid& dotsRight, const Grid& dotsDown, int limit, long maxSteps)
      : shape_(shape()), support_(dotSupport()), limit_(limit),
        maxSteps_(maxSteps < 0 ? std::numeric_limits<long>::max() : maxSteps) {
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        if (c < 9) link(cellIndex(r, c), cellIndex(r, c + 1), dotsRight[r][c]);
        if (r < 9) link(cellIndex(r, c), cellIndex(r + 1, c), dotsDown[c][r]);
        if (c < 9) dotLeft_[size_t(cellIndex(r, c + 1))] = dotsRight[r][c];
        if (r < 9) dotAbove_[size_t(cellIndex(r + 1, c))] = dotsDown[c][r];
      }
  }

  // Counts the solutions with `digits` fixed, up to the limit; the first one found is kept.
  // -1 when the bound on steps came first.
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
    if (limit_ < 1 || !propagate(start, queue)) return 0;
    stageEnd_ = std::min(maxSteps_, kPlainSteps);
    search(start);
    if (steps_ <= stageEnd_) return found_;
    // The long way: start again with the box tables.
    found_ = 0;
    stageEnd_ = maxSteps_;
    const bool fillable = buildTables(start);
    if (steps_ > maxSteps_) return -1;
    if (!fillable) return 0;
    for (int i = 0; i < kCells; ++i) queue.push(i);
    if (propagate(start, queue)) search(start);
    return steps_ <= maxSteps_ ? found_ : -1;
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
    return tables_ == nullptr || closeFillings(s, i);
  }

  // Builds the table of every box with few enough fillings (a box alike to one before, in its
  // digits and inner dots, takes over its fillings); false when a box has none (or the steps
  // ran out).
  bool buildTables(State& s) {
    tables_ = std::make_unique<BoxTables>();
    std::array<std::array<uint16_t, 18>, 9> kinds{};  // a box's digit sets and inner dots
    for (int b = 0; b < 9; ++b) {
      for (int p = 0; p < 9; ++p) {
        const int cell = shape_.units[18 + b][p];
        kinds[b][p] = s.digits[cell];
        kinds[b][9 + p] = uint16_t((p % 3 > 0 ? dotLeft_[cell] << 8 : 0) | (p >= 3 ? dotAbove_[cell] : 0));
      }
      const int alike = int(std::find(kinds.begin(), kinds.begin() + b, kinds[b]) - kinds.begin());
      if (alike < b) {
        if (!tables_->used[alike]) continue;
        tables_->fits[b] = tables_->fits[alike];
        s.open[b] = s.open[alike];
        s.openWords[b] = s.openWords[alike];
      } else {
        Filling f;
        const bool complete = fillBox(s, b, 0, 0, f);
        if (steps_ > maxSteps_) return false;
        if (!complete) continue;  // too many, or too long to find: no table
        if (f.count == 0) return false;
        s.open[b].fill(0);
        for (int t = 0; t < f.count; ++t) s.open[b][size_t(t / 64)] |= uint64_t(1) << (t % 64);
        s.openWords[b] = uint32_t((uint64_t(1) << ((f.count + 63) / 64)) - 1);
      }
      tables_->used[b] = true;
      for (const uint8_t cell : shape_.units[18 + b]) s.tabled[cell] = s.digits[cell];
    }
    return true;
  }

  // A box filling being built: its digits so far, and how many were entered and tried.
  struct Filling {
    std::array<int, 9> digits{};
    int count = 0;
    int steps = 0;
  };

  // Enters every filling of box b from `place` on, after the digits `used`, into its table;
  // false when there are more than a table holds or the search for them runs too long.
  bool fillBox(const State& s, int b, int place, uint16_t used, Filling& f) {
    if (++f.steps > kFillingSteps) return false;
    if (f.steps % kFillingStepsPerStep == 0 && ++steps_ > maxSteps_) return false;
    if (place == 9) {
      if (f.count == kFillingWords * 64) return false;
      for (int p = 0; p < 9; ++p) tables_->fits[b][p][f.digits[p]][size_t(f.count / 64)] |= uint64_t(1) << (f.count % 64);
      ++f.count;
      return true;
    }
    const int cell = shape_.units[18 + b][place];
    uint16_t allowed = uint16_t(s.digits[cell] & ~used);
    if (place % 3 > 0) allowed &= besideDigit(dotLeft_[cell], f.digits[place - 1]);
    if (place >= 3) allowed &= besideDigit(dotAbove_[cell], f.digits[place - 3]);
    for (; allowed != 0; allowed &= uint16_t(allowed - 1)) {
      const int d = std::countr_zero(allowed);
      f.digits[place] = d;
      if (!fillBox(s, b, place + 1, uint16_t(used | (1u << d)), f)) return false;
    }
    return true;
  }

  // The digits the dot code allows beside digit d.
  uint16_t besideDigit(uint8_t code, int d) const {
    return code < kRuledCodes ? support_.support[code][1u << d] : kAllDigits;
  }

  // The fillings of cell i's box that hold a digit cell i has lost are closed; the box's cells
  // are narrowed to the open ones later, once per round. False when none is left open.
  bool closeFillings(State& s, int i) const {
    const int b = boxOf(i);
    const uint16_t lost = uint16_t(s.tabled[i] & ~s.digits[i]);
    if (!tables_->used[b] || lost == 0) return true;
    s.tabled[i] = s.digits[i];
    const auto& fits = tables_->fits[b][size_t(placeInBox(i))];
    uint64_t closed = 0;
    for (uint32_t words = s.openWords[b]; words != 0; words &= words - 1) {
      const auto w = size_t(std::countr_zero(words));
      uint64_t gone = 0;
      for (uint16_t d = lost; d != 0; d &= uint16_t(d - 1)) gone |= fits[size_t(std::countr_zero(d))][w];
      closed |= s.open[b][w] & gone;
      s.open[b][w] &= ~gone;
      if (s.open[b][w] == 0) s.openWords[b] &= ~(uint32_t(1) << w);
    }
    if (closed != 0) s.boxesToNarrow |= uint16_t(1u << b);
    return s.openWords[b] != 0;
  }


  // Each cell of box b keeps the digits that some open filling has there.
  bool narrowToFillings(State& s, int b, Queue& queue) const {
    for (int p = 0; p < 9; ++p) {
      const int cell = shape_.units[18 + b][p];
      uint16_t kept = 0;
      for (uint16_t left = s.digits[cell]; left != 0; left &= uint16_t(left - 1)) {
        const int d = std::countr_zero(left);
        if (isOpen(s, b, p, d)) kept |= uint16_t(1u << d);
      }
      if (!narrow(s, cell, kept, queue)) return false;
    }
    return true;
  }

  // Some open filling of box b has digit d at `place`. The word where one was found last time
  // is tried first: it mostly still has one.
  bool isOpen(const State& s, int b, int place, int d) const {
    const FillingSet& fits = tables_->fits[size_t(b)][size_t(place)][size_t(d)];
    const FillingSet& open = s.open[size_t(b)];
    uint8_t& hint = tables_->lastFound[size_t(b)][size_t(place)][size_t(d)];
    if ((fits[hint] & open[hint]) != 0) return true;
    for (uint32_t words = s.openWords[size_t(b)]; words != 0; words &= words - 1) {
      const auto w = size_t(std::countr_zero(words));
      if ((fits[w] & open[w]) != 0) {
        hint = uint8_t(w);
        return true;
      }
    }
    return false;
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
    for (;;) {
      while (queue.size > 0)
        if (!passOn(s, queue.pop(), queue)) return false;
      if (s.boxesToNarrow != 0) {
        const int b = std::countr_zero(s.boxesToNarrow);
        s.boxesToNarrow &= uint16_t(s.boxesToNarrow - 1);
        if (!narrowToFillings(s, b, queue)) return false;
        continue;
      }
      if (!placeHiddenSingles(s, queue)) return false;
      if (queue.size == 0) return true;
    }
  }


  // The open cell with the fewest digits among `cells`, or -1 when all are settled.
  template <typename Cells>
  static int fewestDigits(const State& s, const Cells& cells) {
    int best = -1, fewest = 10;
    for (const auto i : cells) {
      const int n = std::popcount(s.digits[size_t(i)]);
      if (n > 1 && n < fewest) best = int(i), fewest = n;
      if (fewest == 2) break;
    }
    return best;
  }

  // The cell to branch on: the one with the fewest digits; with box tables, unless that cell
  // has only two, the one with the fewest digits in the open box with the fewest open
  // fillings, where a guess narrows the most (it halves the work on nearly empty boards).
  int branchCell(const State& s) const {
    static constexpr auto kAll = [] {
      std::array<uint8_t, kCells> all{};
      for (int i = 0; i < kCells; ++i) all[size_t(i)] = uint8_t(i);
      return all;
    }();
    const int best = fewestDigits(s, kAll);
    if (tables_ == nullptr || best < 0 || std::popcount(s.digits[size_t(best)]) == 2) return best;
    int tightest = -1, least = std::numeric_limits<int>::max();
    for (int b = 0; b < 9; ++b) {
      if (!tables_->used[b] || fewestDigits(s, shape_.units[18 + b]) < 0) continue;
      int open = 0;
      for (const uint64_t word : s.open[b]) open += std::popcount(word);
      if (open < least) least = open, tightest = b;
    }
    return tightest < 0 ? best : fewestDigits(s, shape_.units[18 + tightest]);
  }

  void search(const State& s) {
    if (++steps_ > stageEnd_) return;
    const int best = branchCell(s);
    if (best < 0) {
      record(s);
      return;
    }
    for (uint16_t left = s.digits[best]; left != 0 && found_ < limit_ && steps_ <= stageEnd_;
         left &= uint16_t(left - 1)) {
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
  std::array<uint8_t, kCells> dotLeft_{}, dotAbove_{};  // the dot codes towards the left and upper neighbour
  std::unique_ptr<BoxTables> tables_;
  int limit_;
  long maxSteps_;
  long stageEnd_ = 0;  // the step count at which this stage of the search gives up
  long steps_ = 0;
  int found_ = 0;
  Grid first_{};
};

}  // namespace

int countSolutions(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, int limit) {
  return ExactSearch(dotsRight, dotsDown, limit, kUnbounded).run(digits);
}

ExactSolution solveExact(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown) {
  return solveExactWithin(digits, dotsRight, dotsDown, kUnbounded);
}

ExactSolution solveExactWithin(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown, long maxSteps) {
  ExactSearch search(dotsRight, dotsDown, 2, maxSteps);
  ExactSolution result;
  result.solutions = search.run(digits);
  if (result.unique()) result.grid = search.first();
  return result;
}

}  // namespace punktivo
