// The step solver: each technique is a small function that looks for one step on the candidate
// sets and explains it; StepSolver tries them from the easiest to the hardest.
#include "engine/step_solver.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <functional>

#include "engine/rules.h"

namespace punktivo {

namespace {

constexpr DigitMask kAllDigits = 0x3FE;  // bits 1-9

DigitMask bit(int digit) { return DigitMask(1u << digit); }
int countOf(DigitMask mask) { return std::popcount(unsigned(mask)); }
int lowestDigit(DigitMask mask) { return std::countr_zero(unsigned(mask)); }

CellRef cellAt(int cell) { return {cell / 9 + 1, cell % 9 + 1}; }
int boxOf(int cell) { return (cell / 27) * 3 + (cell % 9) / 3; }

// The 27 units: rows 0-8, columns 9-17, boxes 18-26, each with its cells in reading order.
struct Units {
  std::array<std::array<int, 9>, 27> cells{};
  Units() {
    for (int i = 0; i < 9; ++i)
      for (int j = 0; j < 9; ++j) {
        cells[i][j] = i * 9 + j;
        cells[9 + i][j] = j * 9 + i;
        cells[18 + i][j] = (i / 3 * 3 + j / 3) * 9 + i % 3 * 3 + j % 3;
      }
  }
};
const Units kUnits;

UnitRef unitRef(int unit) {
  return {unit < 9 ? UnitKind::kRow : unit < 18 ? UnitKind::kColumn : UnitKind::kBox, unit % 9 + 1};
}
int rowUnit(int cell) { return cell / 9; }
int columnUnit(int cell) { return 9 + cell % 9; }
int boxUnit(int cell) { return 18 + boxOf(cell); }

// Orthogonal neighbours, a before b.
bool neighbours(int a, int b) { return (b == a + 1 && a % 9 < 8) || b == a + 9; }
bool isDot(int code) { return code == kWhiteDot || code == kBlackDot; }

bool sees(int a, int b) {
  return a != b && (rowUnit(a) == rowUnit(b) || columnUnit(a) == columnUnit(b) || boxOf(a) == boxOf(b));
}

// fits[code][d]: the digits e != d that may stand beside d across a dot of that code.
struct DotFits {
  std::array<std::array<DigitMask, 10>, 3> fits{};
  DotFits() {
    for (int code = 0; code < 3; ++code)
      for (int d = 1; d <= 9; ++d)
        for (int e = 1; e <= 9; ++e)
          if (e != d && dotRuleHolds(code, d, e)) fits[code][d] |= bit(e);
  }
};
const DotFits kFits;

// --- texts ---------------------------------------------------------------------------------

// "3", "3 und 6", "1, 2 und 4" (or "oder").
std::string digitList(DigitMask mask, const char* last = "und") {
  std::string text;
  const int n = countOf(mask);
  int i = 0;
  for (int d = 1; d <= 9; ++d) {
    if ((mask & bit(d)) == 0) continue;
    if (i > 0) text += i == n - 1 ? std::string(" ") + last + " " : ", ";
    text += char('0' + d);
    ++i;
  }
  return text;
}

std::string cellList(const std::vector<int>& cells, const char* last = "und") {
  std::string text;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) text += i + 1 == cells.size() ? std::string(" ") + last + " " : ", ";
    text += cellName(cellAt(cells[i]));
  }
  return text;
}

std::string unitName(int unit) {
  static constexpr const char* kKinds[3] = {"Zeile ", "Spalte ", "Block "};
  return kKinds[unit / 9] + std::to_string(unit % 9 + 1);
}

const char* dotName(int code) {
  return code == kBlackDot ? "ein schwarzer Punkt" : code == kWhiteDot ? "ein weißer Punkt" : "kein Punkt";
}

const char* dotMeaning(int code) {
  return code == kBlackDot   ? "eine Ziffer ist das Doppelte der anderen"
         : code == kWhiteDot ? "die Ziffern folgen aufeinander"
                             : "die Ziffern folgen nicht aufeinander, und keine ist das Doppelte der anderen";
}

// "Streiche 9 aus R4C2; 5 und 7 aus R4C3."
std::string removalText(const std::array<DigitMask, 81>& removed) {
  std::string text = "Streiche ";
  bool first = true;
  for (int cell = 0; cell < 81; ++cell) {
    if (removed[cell] == 0) continue;
    if (!first) text += "; ";
    text += digitList(removed[cell]) + " aus " + cellName(cellAt(cell));
    first = false;
  }
  return text + ".";
}

}  // namespace

std::string_view techniqueKey(Technique technique) {
  static constexpr std::string_view kKeys[kTechniqueCount] = {
      "naked-single", "hidden-single", "dot-pair",     "no-dot",        "dot-chain",
      "locked-candidates", "naked-pair", "hidden-pair", "naked-triple", "hidden-triple",
      "domino",       "x-wing",        "xy-chain",      "dot-pattern"};
  return kKeys[int(technique)];
}

std::string_view techniqueName(Technique technique) {
  static constexpr std::string_view kNames[kTechniqueCount] = {
      "Nackter Einer", "Versteckter Einer", "Punktpaar",       "Kein Punkt",       "Punktkette",
      "Sperre",        "Nacktes Paar",      "Verstecktes Paar", "Nacktes Tripel", "Verstecktes Tripel",
      "Domino",        "X-Wing",            "XY-Kette",         "Punktmuster"};
  return kNames[int(technique)];
}

std::string unitName(UnitRef unit) { return unitName(int(unit.kind) * 9 + unit.index - 1); }

std::array<CellRef, 9> unitCells(UnitRef unit) {
  std::array<CellRef, 9> cells{};
  const auto& indices = kUnits.cells[size_t(int(unit.kind) * 9 + unit.index - 1)];
  for (size_t k = 0; k < 9; ++k) cells[k] = cellAt(indices[k]);
  return cells;
}

std::string cellName(CellRef cell) {
  // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + string.
  std::string name(1, 'R');
  name += char('0' + cell.row);
  name += 'C';
  name += char('0' + cell.column);
  return name;
}

// The techniques: each looks at the solver's state and returns its first step, if any.
struct Techniques {
  const StepSolver& s;

  bool empty(int cell) const { return s.digit_[cell] == 0; }
  DigitMask cand(int cell) const { return s.cand_[cell]; }
  // What a neighbour may hold: its digit, or its candidates.
  DigitMask values(int cell) const { return empty(cell) ? cand(cell) : bit(s.digit_[cell]); }

  // Dot code between two orthogonal neighbours a < b.
  int dotCode(int a, int b) const {
    return b == a + 1 ? s.dotsRight_[a / 9 + 1][a % 9 + 1] : s.dotsDown_[a % 9 + 1][a / 9 + 1];
  }
  DotRef dotRef(int a, int b) const { return {cellAt(a), cellAt(b), uint8_t(dotCode(a, b))}; }

  // Calls f(a, b) for every pair of neighbours, a left of or above b.
  template <typename F>
  static void forEachEdge(F f) {
    for (int cell = 0; cell < 81; ++cell) {
      if (cell % 9 < 8) f(cell, cell + 1);
      if (cell < 72) f(cell, cell + 9);
    }
  }

  // A step that removes `removed`, explained by `why`.
  static Step removalStep(Technique technique, const std::array<DigitMask, 81>& removed, std::string why) {
    Step step;
    step.technique = technique;
    for (int cell = 0; cell < 81; ++cell)
      if (removed[cell] != 0) step.removals.push_back({cellAt(cell), removed[cell]});
    step.text = std::move(why) + " " + removalText(removed);
    return step;
  }

  static void addCells(Step& step, const std::vector<int>& cells) {
    for (int cell : cells) step.cells.push_back(cellAt(cell));
  }

  // --- singles ---

  std::optional<Step> nakedSingle() const {
    for (int cell = 0; cell < 81; ++cell) {
      if (!empty(cell) || countOf(cand(cell)) != 1) continue;
      const int d = lowestDigit(cand(cell));
      Step step;
      step.technique = Technique::kNakedSingle;
      step.cells = {cellAt(cell)};
      step.placements = {{cellAt(cell), d}};
      step.text = "In " + cellName(cellAt(cell)) + " ist nur noch die " + std::to_string(d) +
                  " möglich. Setze " + std::to_string(d) + ".";
      return step;
    }
    return std::nullopt;
  }

  std::optional<Step> hiddenSingle() const {
    for (int unit = 0; unit < 27; ++unit)
      for (int d = 1; d <= 9; ++d) {
        int place = -1, count = 0;
        bool standing = false;
        for (int cell : kUnits.cells[unit]) {
          standing = standing || s.digit_[cell] == d;
          if (empty(cell) && (cand(cell) & bit(d)) != 0) {
            place = cell;
            ++count;
          }
        }
        if (standing || count != 1) continue;
        Step step;
        step.technique = Technique::kHiddenSingle;
        step.cells = {cellAt(place)};
        step.units = {unitRef(unit)};
        step.placements = {{cellAt(place), d}};
        step.text = "In " + unitName(unit) + " passt die " + std::to_string(d) + " nur noch in " +
                    cellName(cellAt(place)) + ". Setze " + std::to_string(d) + ".";
        return step;
      }
    return std::nullopt;
  }

  // --- dots between two cells ---

  // Digits of `cell` that find no partner among the values of `other` across the dot.
  DigitMask unfit(int cell, int other, int code) const {
    if (!empty(cell)) return 0;
    DigitMask removed = 0;
    const DigitMask partner = values(other);
    for (int d = 1; d <= 9; ++d)
      if ((cand(cell) & bit(d)) != 0 && (kFits.fits[code][d] & partner) == 0) removed |= bit(d);
    return removed;
  }

  // Why `cell` loses `removed` beside `other` (digits that fit no dot of this kind aside).
  std::string sideText(int cell, int other, DigitMask removed) const {
    if (removed == 0) return "";
    const std::string verb = countOf(removed) == 1 ? " scheidet " : " scheiden ";
    if (!empty(other))
      return " Neben der " + std::to_string(s.digit_[other]) + " in " + cellName(cellAt(other)) + verb + "in " +
             cellName(cellAt(cell)) + " " + digitList(removed) + " aus.";
    return " In " + cellName(cellAt(other)) + " kann nur noch " + digitList(cand(other), "oder") +
           " stehen; daneben" + verb + "in " + cellName(cellAt(cell)) + " " + digitList(removed) + " aus.";
  }

  // The digits that have no partner at all across a dot of `code`.
  static DigitMask partnerless(int code) {
    DigitMask none = 0;
    for (int d = 1; d <= 9; ++d)
      if (kFits.fits[code][d] == 0) none |= bit(d);
    return none;
  }

  // kDotPair for black and white dots, kNoDot for the neighbours without one.
  std::optional<Step> dotPair(bool withDot) const {
    std::optional<Step> found;
    forEachEdge([&](int a, int b) {
      const int code = dotCode(a, b);
      if (found || code > kBlackDot || isDot(code) != withDot) return;
      const DigitMask fromA = unfit(a, b, code), fromB = unfit(b, a, code);
      if ((fromA | fromB) == 0) return;
      std::array<DigitMask, 81> removed{};
      removed[a] = fromA;
      removed[b] = fromB;
      std::string why = "Zwischen " + cellName(cellAt(a)) + " und " + cellName(cellAt(b)) + " steht " +
                        dotName(code) + ": " + dotMeaning(code) + ".";
      // Both sides judged on the candidates before the step.
      const DigitMask never = DigitMask((fromA | fromB) & partnerless(code));
      if (never != 0)
        why += " " + digitList(never) + (countOf(never) == 1 ? " passt" : " passen") + " an keinen " +
               (code == kBlackDot ? "schwarzen" : "weißen") + " Punkt.";
      why += sideText(a, b, DigitMask(fromA & ~never)) + sideText(b, a, DigitMask(fromB & ~never));
      found = removalStep(withDot ? Technique::kDotPair : Technique::kNoDot, removed, why);
      found->cells = {cellAt(a), cellAt(b)};
      found->dots = {dotRef(a, b)};
    });
    return found;
  }

  // --- groups of dotted cells inside one unit ---

  struct Fillings {
    std::array<DigitMask, 81> kept{};  // per cell, the digits some filling puts there
    int count = 0;
    std::vector<std::string> shown;  // the first few, as "1-2-4"
  };

  // The fillings of `group` (cells of one unit, so all different) under the dots between
  // neighbours in it, and under the places without a dot. Gives up (nullopt) past
  // `kMostTries` partial fillings.
  std::optional<Fillings> groupFillings(const std::vector<int>& group) const {
    constexpr int kMostTries = 20000;
    constexpr size_t kMostShown = 4;
    Fillings result;
    std::vector<int> value(group.size(), 0);
    int tries = 0;
    std::function<bool(size_t, DigitMask)> fill = [&](size_t i, DigitMask used) {
      if (++tries > kMostTries) return false;
      if (i == group.size()) {
        ++result.count;
        for (size_t k = 0; k < group.size(); ++k) result.kept[group[k]] |= bit(value[k]);
        if (result.shown.size() < kMostShown) {
          std::string text;
          for (size_t k = 0; k < group.size(); ++k) {
            if (k > 0) text += '-';
            text += std::to_string(value[k]);
          }
          result.shown.push_back(text);
        }
        return true;
      }
      const int cell = group[i];
      DigitMask options = values(cell) & DigitMask(~used);
      // Every earlier member beside this one restricts it by its dot (or its missing dot).
      for (size_t k = 0; k < i; ++k) {
        const int other = group[k];
        const int a = std::min(cell, other), b = std::max(cell, other);
        if (neighbours(a, b)) {
          const int code = dotCode(a, b);
          if (code <= kBlackDot) options &= kFits.fits[code][value[k]];
        }
      }
      for (int d = 1; d <= 9; ++d)
        if ((options & bit(d)) != 0) {
          value[i] = d;
          if (!fill(i + 1, used | bit(d))) return false;
        }
      return true;
    };
    if (!fill(0, 0)) return std::nullopt;
    return result;
  }

  // The candidates of the group's open cells that no filling uses; nothing when none.
  std::optional<std::array<DigitMask, 81>> unusedCandidates(const std::vector<int>& group,
                                                            const Fillings& fillings) const {
    std::array<DigitMask, 81> removed{};
    bool any = false;
    for (int cell : group)
      if (empty(cell)) {
        removed[cell] = cand(cell) & DigitMask(~fillings.kept[cell]);
        any = any || removed[cell] != 0;
      }
    if (!any) return std::nullopt;
    return removed;
  }

  // " Möglich ist nur 1-2-4 oder 4-2-1." when the fillings are few enough to list.
  static std::string fillingsText(const Fillings& fillings) {
    if (fillings.count > int(fillings.shown.size())) return "";
    std::string text = fillings.count == 1 ? " Möglich ist nur " : " Möglich sind nur ";
    for (size_t i = 0; i < fillings.shown.size(); ++i) {
      text += i == 0 ? "" : i + 1 == fillings.shown.size() ? " oder " : ", ";
      text += fillings.shown[i];
    }
    return text + ".";
  }

  // Runs of dotted cells in a row or column and dotted groups inside a box, three cells or more.
  std::vector<std::pair<int, std::vector<int>>> dotGroups() const {
    std::vector<std::pair<int, std::vector<int>>> groups;
    for (int unit = 0; unit < 27; ++unit) {
      const auto& cells = kUnits.cells[unit];
      std::array<int, 9> root{};
      for (int i = 0; i < 9; ++i) root[i] = i;
      std::function<int(int)> find = [&](int i) { return root[i] == i ? i : root[i] = find(root[i]); };
      for (int i = 0; i < 9; ++i)
        for (int j = i + 1; j < 9; ++j) {
          const int a = cells[i], b = cells[j];
          if (neighbours(a, b) && isDot(dotCode(a, b))) root[find(i)] = find(j);
        }
      for (int i = 0; i < 9; ++i) {
        if (find(i) != i) continue;
        std::vector<int> group;
        bool open = false;
        for (int j = 0; j < 9; ++j)
          if (find(j) == i) {
            group.push_back(cells[j]);
            open = open || empty(cells[j]);
          }
        if (group.size() >= 3 && open) groups.emplace_back(unit, std::move(group));
      }
    }
    return groups;
  }

  std::optional<Step> dotChain() const {
    for (const auto& [unit, group] : dotGroups()) {
      const auto fillings = groupFillings(group);
      const auto removed = fillings ? unusedCandidates(group, *fillings) : std::nullopt;
      if (!removed) continue;
      const std::string why = "Die Punkte verbinden " + cellList(group) + " in " + unitName(unit) +
                              "; alle sind verschieden." + fillingsText(*fillings);
      Step step = removalStep(Technique::kDotChain, *removed, why);
      addCells(step, group);
      step.units = {unitRef(unit)};
      for (size_t i = 0; i < group.size(); ++i)
        for (size_t j = 0; j < group.size(); ++j) {
          const int a = group[i], b = group[j];
          if (neighbours(a, b) && isDot(dotCode(a, b))) step.dots.push_back(dotRef(a, b));
        }
      return step;
    }
    return std::nullopt;
  }

  // A whole row, column or block with all its dots and the places without one: only the
  // fillings of the whole unit count.
  std::optional<Step> dotPattern() const {
    // More fillings than this are no longer something a player checks by hand.
    constexpr int kFewFillings = 12;
    for (int unit = 0; unit < 27; ++unit) {
      const std::vector<int> cells(kUnits.cells[unit].begin(), kUnits.cells[unit].end());
      const auto fillings = groupFillings(cells);
      const auto removed = fillings && fillings->count <= kFewFillings ? unusedCandidates(cells, *fillings) : std::nullopt;
      if (!removed) continue;
      Step step = removalStep(Technique::kDotPattern, *removed,
                              "In " + unitName(unit) + " lassen die Punkte und die Stellen ohne Punkt nur " +
                                  std::to_string(fillings->count) +
                                  (fillings->count == 1 ? " Füllung" : " Füllungen") +
                                  " zu; keine braucht, was hier wegfällt." + fillingsText(*fillings));
      step.units = {unitRef(unit)};
      return step;
    }
    return std::nullopt;
  }

  // --- locked candidates ---

  // The cells of `unit` that may still take d.
  std::vector<int> placesOf(int unit, int d) const {
    std::vector<int> places;
    for (int cell : kUnits.cells[unit])
      if (empty(cell) && (cand(cell) & bit(d)) != 0) places.push_back(cell);
    return places;
  }

  std::optional<Step> lockedCandidates() const {
    for (int unit = 0; unit < 27; ++unit)
      for (int d = 1; d <= 9; ++d) {
        const std::vector<int> places = placesOf(unit, d);
        if (places.size() < 2) continue;
        // The other unit all places share: a row or column for a box, the box for a line.
        for (int other = 0; other < 27; ++other) {
          if (other == unit || (unit < 18) == (other < 18)) continue;
          const bool shared = std::all_of(places.begin(), places.end(), [&](int cell) {
            return rowUnit(cell) == other || columnUnit(cell) == other || boxUnit(cell) == other;
          });
          if (!shared) continue;
          std::array<DigitMask, 81> removed{};
          bool any = false;
          for (int cell : placesOf(other, d))
            if (std::find(places.begin(), places.end(), cell) == places.end()) removed[cell] = bit(d), any = true;
          if (!any) continue;
          Step step = removalStep(Technique::kLockedCandidates, removed,
                                  "In " + unitName(unit) + " kann die " + std::to_string(d) + " nur in " +
                                      cellList(places) + " stehen, und die liegen alle in " + unitName(other) +
                                      ". Dort fällt die " + std::to_string(d) + " sonst überall weg.");
          addCells(step, places);
          step.units = {unitRef(unit), unitRef(other)};
          return step;
        }
      }
    return std::nullopt;
  }

  // --- naked and hidden subsets ---

  // k cells of a unit holding together only k digits (naked), or k digits of a unit that fit
  // only into k cells (hidden).
  std::optional<Step> subset(int k, bool hidden) const {
    const Technique technique = hidden ? (k == 2 ? Technique::kHiddenPair : Technique::kHiddenTriple)
                                       : (k == 2 ? Technique::kNakedPair : Technique::kNakedTriple);
    for (int unit = 0; unit < 27; ++unit) {
      // Members: open cells (naked) or missing digits (hidden), each with its set of the other kind.
      std::vector<std::pair<int, unsigned>> members;
      for (int i = 0; i < 9; ++i) {
        if (!hidden) {
          const int cell = kUnits.cells[unit][i];
          if (empty(cell)) members.emplace_back(cell, cand(cell));
        } else {
          unsigned where = 0;
          bool standing = false;
          for (int j = 0; j < 9; ++j) {
            const int cell = kUnits.cells[unit][j];
            standing = standing || s.digit_[cell] == i + 1;
            if (empty(cell) && (cand(cell) & bit(i + 1)) != 0) where |= 1u << j;
          }
          if (!standing) members.emplace_back(i + 1, where);
        }
      }
      if (int(members.size()) <= k) continue;
      std::optional<Step> found;
      std::vector<int> chosen;
      std::function<void(size_t, unsigned)> pick = [&](size_t from, unsigned together) {
        if (found) return;
        if (int(chosen.size()) == k) {
          if (std::popcount(together) != k) return;
          found = subsetStep(technique, unit, chosen, members, together, hidden);
          return;
        }
        for (size_t i = from; i < members.size() && !found; ++i) {
          const int size = std::popcount(members[i].second);
          if (size < 1 || size > k) continue;
          chosen.push_back(int(i));
          pick(i + 1, together | members[i].second);
          chosen.pop_back();
        }
      };
      pick(0, 0);
      if (found) return found;
    }
    return std::nullopt;
  }

  std::optional<Step> subsetStep(Technique technique, int unit, const std::vector<int>& chosen,
                                 const std::vector<std::pair<int, unsigned>>& members, unsigned together,
                                 bool hidden) const {
    std::array<DigitMask, 81> removed{};
    std::vector<int> cells;
    DigitMask digits = 0;
    if (!hidden) {
      digits = DigitMask(together);
      for (int i : chosen) cells.push_back(members[i].first);
      for (int cell : kUnits.cells[unit])
        if (empty(cell) && std::find(cells.begin(), cells.end(), cell) == cells.end())
          removed[cell] = cand(cell) & digits;
    } else {
      for (int i : chosen) digits |= bit(members[i].first);
      for (int j = 0; j < 9; ++j)
        if ((together & (1u << j)) != 0) cells.push_back(kUnits.cells[unit][j]);
      for (int cell : cells) removed[cell] = cand(cell) & DigitMask(~digits);
    }
    if (std::all_of(removed.begin(), removed.end(), [](DigitMask m) { return m == 0; })) return std::nullopt;
    const std::string why =
        hidden ? "In " + unitName(unit) + " passen " + digitList(digits) + " nur in " + cellList(cells) +
                     ". Andere Ziffern haben dort keinen Platz."
               : "In " + unitName(unit) + " teilen sich " + cellList(cells) + " die Ziffern " + digitList(digits) +
                     ". Sonst stehen sie nirgends in " + unitName(unit) + ".";
    Step step = removalStep(technique, removed, why);
    addCells(step, cells);
    step.units = {unitRef(unit)};
    return step;
  }

  // --- dominoes ---

  // Two open cells joined by a dot in one unit: the digits that every fitting pair uses stand
  // in one of the two, so the rest of the unit loses them.
  std::optional<Step> domino() const {
    std::optional<Step> found;
    forEachEdge([&](int a, int b) {
      const int code = dotCode(a, b);
      if (found || !isDot(code) || !empty(a) || !empty(b)) return;
      DigitMask always = kAllDigits;
      std::vector<std::string> pairs;
      for (int d = 1; d <= 9; ++d) {
        if ((cand(a) & bit(d)) == 0) continue;
        for (int e = 1; e <= 9; ++e)
          if ((cand(b) & kFits.fits[code][d] & bit(e)) != 0) {
            always &= DigitMask(bit(d) | bit(e));
            pairs.push_back(std::to_string(d) + "|" + std::to_string(e));
          }
      }
      if (pairs.empty() || always == 0) return;
      std::array<DigitMask, 81> removed{};
      std::vector<int> units;
      for (int unit : {rowUnit(a), columnUnit(a), boxUnit(a)}) {
        if (unit != rowUnit(b) && unit != columnUnit(b) && unit != boxUnit(b)) continue;
        bool any = false;
        for (int cell : kUnits.cells[unit])
          if (cell != a && cell != b && empty(cell) && (cand(cell) & always) != 0)
            {
            removed[cell] |= DigitMask(cand(cell) & always);
            any = true;
          }
        if (any) units.push_back(unit);
      }
      if (units.empty()) return;
      std::string where;
      for (size_t i = 0; i < units.size(); ++i) {
        where += i > 0 ? " und " : "";
        where += unitName(units[i]);
      }
      std::string pairText;
      for (size_t i = 0; i < pairs.size(); ++i)
        {
        pairText += i == 0 ? "" : i + 1 == pairs.size() ? " oder " : ", ";
        pairText += pairs[i];
      }
      found = removalStep(Technique::kDomino, removed,
                          "Am Punkt zwischen " + cellName(cellAt(a)) + " und " + cellName(cellAt(b)) +
                              " passen nur " + pairText + ". Also steht " + digitList(always) +
                              " in einem der beiden Felder und nirgends sonst in " + where + ".");
      found->cells = {cellAt(a), cellAt(b)};
      found->dots = {dotRef(a, b)};
      for (int unit : units) found->units.push_back(unitRef(unit));
    });
    return found;
  }

  // --- X-wing ---

  std::optional<Step> xWing() const {
    for (int base : {0, 9})  // rows, then columns as the base lines
      for (int d = 1; d <= 9; ++d)
        for (int i = base; i < base + 9; ++i) {
          const std::vector<int> first = placesOf(i, d);
          if (first.size() != 2) continue;
          for (int j = i + 1; j < base + 9; ++j) {
            const std::vector<int> second = placesOf(j, d);
            if (second.size() != 2) continue;
            // The cross lines through the two places of the first line.
            const auto cross = [&](int cell) { return base == 0 ? columnUnit(cell) : rowUnit(cell); };
            if (cross(first[0]) != cross(second[0]) || cross(first[1]) != cross(second[1])) continue;
            std::array<DigitMask, 81> removed{};
            bool any = false;
            for (int line : {cross(first[0]), cross(first[1])})
              for (int cell : placesOf(line, d))
                if (cell != first[0] && cell != first[1] && cell != second[0] && cell != second[1])
                  removed[cell] = bit(d), any = true;
            if (!any) continue;
            const std::vector<int> corners = {first[0], first[1], second[0], second[1]};
            Step step = removalStep(
                Technique::kXWing, removed,
                "In " + unitName(i) + " und " + unitName(j) + " passt die " + std::to_string(d) +
                    " nur in " + cellList(corners) + ". In " + unitName(cross(first[0])) + " und " +
                    unitName(cross(first[1])) + " steht sie also in diesen Feldern und sonst nirgends.");
            addCells(step, corners);
            step.units = {unitRef(i), unitRef(j), unitRef(cross(first[0])), unitRef(cross(first[1]))};
            return step;
          }
        }
    return std::nullopt;
  }

  // --- XY-chains ---

  // A chain of cells with two candidates each, each cell seeing the next and sharing the digit
  // that links them: if the first cell is not x, the last one is. Cells seeing both ends lose x.
  std::optional<Step> xyChain() const {
    constexpr size_t kLongest = 6;
    constexpr int kMostLinks = 50000;  // bounds the search on boards full of two-candidate cells
    std::vector<int> chain;
    std::optional<Step> found;
    int links = 0;
    std::function<void(int, int)> extend = [&](int x, int enter) {
      if (found || ++links > kMostLinks) return;
      const int last = chain.back();
      const int leave = lowestDigit(DigitMask(cand(last) & ~bit(enter)));
      if (chain.size() >= 3 && leave == x) {
        std::array<DigitMask, 81> removed{};
        bool any = false;
        for (int cell = 0; cell < 81; ++cell)
          if (empty(cell) && (cand(cell) & bit(x)) != 0 && sees(cell, chain.front()) && sees(cell, last) &&
              std::find(chain.begin(), chain.end(), cell) == chain.end())
            removed[cell] = bit(x), any = true;
        if (any) {
          std::string path;
          for (size_t i = 0; i < chain.size(); ++i)
            {
            path += i > 0 ? " – " : "";
            path += cellName(cellAt(chain[i])) + " (" + digitList(cand(chain[i]), "oder") + ")";
          }
          found = removalStep(Technique::kXYChain, removed,
                              "Kette aus Feldern mit zwei Kandidaten: " + path +
                                  ". Ist der Anfang nicht " + std::to_string(x) + ", so ist es das Ende. Also ist " +
                                  cellName(cellAt(chain.front())) + " oder " + cellName(cellAt(last)) + " eine " +
                                  std::to_string(x) + ", und was beide sieht, ist keine " + std::to_string(x) + ".");
          addCells(*found, chain);
          return;
        }
      }
      if (chain.size() >= kLongest) return;
      for (int next = 0; next < 81 && !found; ++next) {
        if (!empty(next) || countOf(cand(next)) != 2 || (cand(next) & bit(leave)) == 0 || !sees(last, next) ||
            std::find(chain.begin(), chain.end(), next) != chain.end())
          continue;
        chain.push_back(next);
        extend(x, leave);
        chain.pop_back();
      }
    };
    for (int start = 0; start < 81 && !found; ++start) {
      if (!empty(start) || countOf(cand(start)) != 2) continue;
      for (int x = 1; x <= 9 && !found; ++x) {
        if ((cand(start) & bit(x)) == 0) continue;
        chain = {start};
        extend(x, x);
      }
    }
    return found;
  }
};

StepSolver::StepSolver(const Grid& digits, const Grid& dotsRight, const Grid& dotsDown)
    : dotsRight_(dotsRight), dotsDown_(dotsDown) {
  cand_.fill(kAllDigits);
  for (int cell = 0; cell < 81; ++cell) {
    const CellRef ref = cellAt(cell);
    const int d = digits[ref.row][ref.column];
    if (d >= 1 && d <= 9) {
      if ((cand_[cell] & bit(d)) == 0) duplicate_ = true;
      place(cell, d);
    }
  }
}

void StepSolver::place(int cell, int digit) {
  digit_[cell] = uint8_t(digit);
  cand_[cell] = 0;
  for (int other = 0; other < 81; ++other)
    if (sees(cell, other)) {
      if (digit_[other] == digit) duplicate_ = true;
      cand_[other] &= DigitMask(~bit(digit));
    }
}

std::optional<Step> StepSolver::findStep(Technique technique) const {
  const Techniques t{*this};
  switch (technique) {
    case Technique::kNakedSingle: return t.nakedSingle();
    case Technique::kHiddenSingle: return t.hiddenSingle();
    case Technique::kDotPair: return t.dotPair(true);
    case Technique::kNoDot: return t.dotPair(false);
    case Technique::kDotChain: return t.dotChain();
    case Technique::kLockedCandidates: return t.lockedCandidates();
    case Technique::kNakedPair: return t.subset(2, false);
    case Technique::kHiddenPair: return t.subset(2, true);
    case Technique::kNakedTriple: return t.subset(3, false);
    case Technique::kHiddenTriple: return t.subset(3, true);
    case Technique::kDomino: return t.domino();
    case Technique::kXWing: return t.xWing();
    case Technique::kXYChain: return t.xyChain();
    case Technique::kDotPattern: return t.dotPattern();
  }
  return std::nullopt;
}

std::optional<Step> StepSolver::nextStep() const {
  if (solved() || broken()) return std::nullopt;
  for (int t = 0; t < kTechniqueCount; ++t)
    if (auto step = findStep(Technique(t))) return step;
  return std::nullopt;
}

void StepSolver::apply(const Step& step) {
  for (const Placement& p : step.placements) {
    const int cell = index(p.cell);
    if (digit_[cell] == 0) place(cell, p.digit);
  }
  for (const Removal& r : step.removals) cand_[index(r.cell)] &= DigitMask(~r.digits);
}

bool StepSolver::solved() const {
  return !duplicate_ && std::all_of(digit_.begin(), digit_.end(), [](uint8_t d) { return d != 0; });
}

bool StepSolver::broken() const {
  if (duplicate_) return true;
  for (int cell = 0; cell < 81; ++cell)
    if (digit_[cell] == 0 && cand_[cell] == 0) return true;
  // A digit missing from a unit with no cell left for it.
  for (const auto& unit : kUnits.cells) {
    DigitMask covered = 0;
    for (int cell : unit) covered |= digit_[cell] != 0 ? bit(digit_[cell]) : cand_[cell];
    if (covered != kAllDigits) return true;
  }
  return false;
}

Grid StepSolver::digits() const {
  Grid grid{};
  for (int cell = 0; cell < 81; ++cell) grid[cell / 9 + 1][cell % 9 + 1] = digit_[cell];
  return grid;
}

}  // namespace punktivo
