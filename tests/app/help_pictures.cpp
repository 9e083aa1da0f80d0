// Draws the pictures of the help pages with the game itself: a started game, headless,
// set to the situation each picture shows, cut out of the window as PNG files.
// Usage: punktivo-help-pictures <folder>   (tools/build_help.sh --pictures runs it)
#include <QApplication>
#include <QDir>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <initializer_list>
#include <vector>

#include <cstdio>

#include "app/play_session.h"
#include "app/startup.h"
#include "engine/hint.h"
#include "engine/rules.h"
#include "engine/step_solver.h"

namespace {

// A finished board; the pictures show parts of it.
constexpr int kSolution[9][9] = {
    {4, 1, 2, 5, 8, 3, 9, 6, 7}, {5, 8, 9, 7, 6, 4, 2, 3, 1}, {7, 6, 3, 9, 2, 1, 8, 4, 5},
    {2, 4, 5, 3, 1, 6, 7, 9, 8}, {9, 3, 6, 8, 5, 7, 4, 1, 2}, {8, 7, 1, 4, 9, 2, 3, 5, 6},
    {1, 9, 7, 6, 4, 8, 5, 2, 3}, {3, 2, 4, 1, 7, 5, 6, 8, 9}, {6, 5, 8, 2, 3, 9, 1, 7, 4},
};

// Givens of the example game: a pattern symmetric under the half turn.
constexpr const char* kGivens[9] = {
    "x...x...x", "..x...x..", ".x.x.x.x.", "x.......x", "..x.x.x..", "x.......x", ".x.x.x.x.",
    "..x...x..", "x...x...x",
};

// Client rectangle of the cells from (c1, r1) to (c2, r2), grid lines included.
QRect cells(int c1, int r1, int c2, int r2, int margin = 0) {
  const int x = 29 + 60 * (c1 - 1), y = 45 + 60 * (r1 - 1);
  return QRect(x - margin, y - margin, 60 * (c2 - c1 + 1) + 1 + 2 * margin, 60 * (r2 - r1 + 1) + 1 + 2 * margin);
}

// 8-bit colour keeps the pictures (and the help file) small: the 256 most frequent colours
// (the screen has few; only the smoothed edges of letters add more), each pixel the nearest.
QImage eightBit(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  QHash<QRgb, int> counts;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) ++counts[line[x] | 0xFF000000u];
  }
  std::vector<std::pair<int, QRgb>> ranked;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) ranked.emplace_back(-it.value(), it.key());
  std::sort(ranked.begin(), ranked.end());
  QList<QRgb> table;
  for (size_t i = 0; i < ranked.size() && i < 256; ++i) table.push_back(ranked[i].second);
  return rgb.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither | Qt::AvoidDither);
}

// A position for one technique of the hints: the digits standing, the dots and the marks
// that narrow some cells. Neighbours without a dot set here carry no rule (code 3, drawn as
// none), as in the step solver's own tests; digits side by side get the dot they demand.
struct Position {
  punktivo::Grid digits{}, right{}, down{};
  std::vector<std::pair<punktivo::CellRef, punktivo::DigitMask>> marks;
  Position() {
    for (auto& row : right) row.fill(3);
    for (auto& row : down) row.fill(3);
  }
  void keep(int row, int column, std::initializer_list<int> list) {
    punktivo::DigitMask mask = 0;
    for (int d : list) mask = punktivo::DigitMask(mask | 1u << d);
    marks.push_back({{row, column}, mask});
  }
  // The digits `gone` fit nowhere in the row but in the columns `except`.
  void strip(int row, std::initializer_list<int> gone, std::initializer_list<int> except) {
    for (int c = 1; c <= 9; ++c) {
      if (std::find(except.begin(), except.end(), c) != except.end()) continue;
      punktivo::DigitMask mask = 0x3FE;
      for (int d : gone) mask = punktivo::DigitMask(mask & ~(1u << d));
      marks.push_back({{row, c}, mask});
    }
  }
};

struct TechniquePicture {
  punktivo::Technique technique;
  const char* file;
  int c1, r1, c2, r2;  // the part of the board shown
  void (*build)(Position&);
};

using punktivo::kBlackDot;
using punktivo::kNoDot;
using punktivo::kWhiteDot;
using T = punktivo::Technique;

// One position for each row of the help's table of techniques (the pairs twice).
const TechniquePicture kTechniquePictures[] = {
    {T::kNakedSingle, "technik_nackter_einer.png", 1, 1, 9, 1,
     [](Position& p) {
       const int row[9] = {4, 1, 2, 5, 8, 3, 9, 6, 0};
       for (int c = 1; c <= 9; ++c) p.digits[1][c] = uint8_t(row[c - 1]);
     }},
    {T::kHiddenSingle, "technik_versteckter_einer.png", 1, 1, 9, 1, [](Position& p) { p.strip(1, {7}, {4}); }},
    {T::kDotPair, "technik_punktpaar.png", 2, 4, 3, 4,
     [](Position& p) {
       p.right[4][2] = kBlackDot;
       p.keep(4, 3, {3, 6});
     }},
    {T::kNoDot, "technik_kein_punkt.png", 4, 4, 5, 4,
     [](Position& p) {
       p.right[4][4] = kNoDot;
       p.keep(4, 5, {4, 5});
     }},
    {T::kDotChain, "technik_punktkette.png", 1, 1, 3, 3,
     [](Position& p) {
       p.right[1][1] = kWhiteDot;
       p.down[2][1] = kWhiteDot;  // R1C2-R2C2
       p.digits[2][2] = 1;
     }},
    {T::kLockedCandidates, "technik_sperre.png", 1, 1, 9, 3,
     [](Position& p) {
       p.strip(2, {5}, {4, 5, 6, 7, 8, 9});
       p.strip(3, {5}, {4, 5, 6, 7, 8, 9});
     }},
    {T::kNakedPair, "technik_nacktes_paar.png", 1, 1, 9, 3,
     [](Position& p) {
       p.keep(1, 1, {1, 2});
       p.keep(1, 2, {1, 2});
     }},
    {T::kHiddenPair, "technik_verstecktes_paar.png", 1, 1, 9, 1, [](Position& p) { p.strip(1, {8, 9}, {1, 5}); }},
    {T::kDomino, "technik_domino.png", 1, 1, 9, 3,
     [](Position& p) {
       p.right[1][1] = kBlackDot;
       p.keep(1, 1, {3, 6});
       p.keep(1, 2, {3, 6});
     }},
    {T::kXWing, "technik_x_wing.png", 1, 1, 9, 5,
     [](Position& p) {
       p.strip(1, {4}, {2, 7});
       p.strip(5, {4}, {2, 7});
     }},
    {T::kXYChain, "technik_xy_kette.png", 1, 1, 5, 5,
     [](Position& p) {
       p.keep(1, 1, {1, 2});
       p.keep(1, 5, {2, 3});
       p.keep(5, 5, {1, 3});
     }},
    {T::kDotPattern, "technik_punktmuster.png", 1, 1, 9, 1,
     [](Position& p) {
       const int row[9] = {0, 0, 0, 5, 8, 3, 9, 6, 7};
       for (int c = 1; c <= 9; ++c) p.digits[1][c] = uint8_t(row[c - 1]);
       p.right[1][1] = kNoDot;
       p.right[1][2] = kBlackDot;
       p.right[1][3] = kNoDot;
     }},
};

// The dot two digits side by side demand (1|2 counts as white).
punktivo::DotCode dotBetween(int a, int b) {
  if (punktivo::dotRuleHolds(kWhiteDot, a, b)) return kWhiteDot;
  return punktivo::dotRuleHolds(kBlackDot, a, b) ? kBlackDot : kNoDot;
}

class Pictures {
 public:
  explicit Pictures(const QString& folder) : folder_(folder) {
    game_.startUp();
    pump();
  }
  ~Pictures() { game_.shutDown(); }

  bool run() {
    return mainWindow() && dots() && digitColours() && picker() && candidates() && buttons() && workedExample() &&
           techniques();
  }

 private:
  punktivo::BoardModel& model() { return game_.model(); }

  void pump() {
    for (int i = 0; i < 3; ++i) runtime_.processEventsOnce();
  }

  bool save(const QImage& image, const QString& name) {
    const QImage small = eightBit(image);
    const QString path = folder_ + "/" + name;
    if (!small.save(path, "PNG", 0)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), small.width(), small.height());
    return true;
  }

  QImage client() {
    pump();
    return runtime_.grabClient();
  }

  void exampleGame() {
    auto& m = model();
    m.clearBoard();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) m.board[r][c] = uint8_t(kSolution[r - 1][c - 1]);
    punktivo::deriveDots(m);
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        m.solution[r][c] = m.board[r][c];
        const bool given = kGivens[r - 1][c - 1] == 'x';
        m.givens[r][c] = given ? m.board[r][c] : 0;
        if (!given) m.board[r][c] = 0;
      }
    m.clearCandidates();
    game_.game().mistakeCount = 0;
  }

  bool mainWindow() {
    exampleGame();
    auto& m = model();
    // A few digits of the player, one of them wrong; marks in two cells.
    m.board[1][2] = 1;
    m.board[1][3] = 2;
    m.board[2][1] = 5;
    m.board[3][1] = 7;
    m.board[2][2] = 6;  // wrong: 8 belongs here
    for (int d : {3, 5, 6}) m.candidates[5][2][d] = true;
    for (int d : {1, 3}) m.candidates[4][5][d] = true;
    game_.screen().redrawBoard();
    game_.panels().updateDifficultyPanel();
    for (int i = 0; i < 6; ++i) app::drawSessionButton(game_, i, false);
    game_.panels().helpText = app::kHintClickCell;
    game_.panels().drawHelpPanel();
    runtime_.setLabelCaption(" 00:03:27");
    const QImage whole = client();
    return save(whole, "hauptfenster.png") && save(whole.copy(QRect(603, 200, 235, 435)), "tafeln.png");
  }

  bool dots() {
    auto& m = model();
    m.clearBoard();
    // Three pairs: 4|5 under a white dot, 3|6 under a black one, 2|7 without a dot.
    const int pairs[3][3] = {{4, 5, punktivo::kWhiteDot}, {3, 6, punktivo::kBlackDot}, {2, 7, punktivo::kNoDot}};
    for (int i = 0; i < 3; ++i) {
      const int row = 2 + 3 * i;
      m.board[row][2] = m.givens[row][2] = uint8_t(pairs[i][0]);
      m.board[row][3] = m.givens[row][3] = uint8_t(pairs[i][1]);
      m.dotsRight[row][2] = uint8_t(pairs[i][2]);
    }
    // A white and a black dot between cells above each other.
    m.board[2][5] = m.givens[2][5] = 8;
    m.board[3][5] = m.givens[3][5] = 4;
    m.dotsDown[5][2] = punktivo::kBlackDot;
    m.board[2][6] = m.givens[2][6] = 2;
    m.board[3][6] = m.givens[3][6] = 1;
    m.dotsDown[6][2] = punktivo::kBlackDot;
    m.dotsRight[2][5] = punktivo::kNoDot;
    m.dotsRight[3][5] = punktivo::kNoDot;
    game_.screen().redrawBoard();
    const QImage image = client();
    return save(image.copy(cells(2, 2, 3, 2)), "punkt_weiss.png") &&
           save(image.copy(cells(2, 5, 3, 5)), "punkt_schwarz.png") &&
           save(image.copy(cells(2, 8, 3, 8)), "punkt_kein.png") &&
           save(image.copy(cells(5, 2, 6, 3)), "punkte_senkrecht.png");
  }

  bool digitColours() {
    exampleGame();
    auto& m = model();
    // A right digit (blue), a wrong one (red) and a given (black), with no dot between them.
    m.board[1][3] = 2;
    m.board[1][4] = 6;  // 5 belongs here
    m.dotsRight[1][2] = punktivo::kNoDot;  // the half dot at the picture's edge would only puzzle
    game_.screen().redrawBoard();
    return save(client().copy(cells(3, 1, 5, 1)), "farben.png");
  }

  bool picker() {
    exampleGame();
    game_.screen().redrawBoard();
    game_.input().pickerDigit = 5;
    game_.input().candidateInput = false;
    game_.cells().drawPicker(5, 4);
    const bool ok = save(client().copy(cells(4, 3, 6, 5, 8)), "zahlenwahl.png");
    // The picker is left on screen; the next picture redraws the whole board.
    return ok;
  }

  bool candidates() {
    auto& m = model();
    m.clearBoard();
    // Beside a 4 under a black dot only 2 and 8 are left; elsewhere marks as a player notes them.
    m.board[1][1] = m.givens[1][1] = 4;
    m.dotsRight[1][1] = punktivo::kBlackDot;
    for (int d : {2, 8}) m.candidates[1][2][d] = true;
    for (int d : {1, 3, 5, 7, 9}) m.candidates[1][3][d] = true;
    for (int d = 1; d <= 9; ++d) m.candidates[2][1][d] = true;
    for (int d : {3, 5}) m.candidates[2][2][d] = true;
    m.board[2][3] = m.givens[2][3] = 6;
    game_.screen().redrawBoard();
    return save(client().copy(cells(1, 1, 3, 2)), "kandidaten.png");
  }

  bool buttons() {
    for (int i = 0; i < 6; ++i) app::drawSessionButton(game_, i, false);
    return save(client().copy(QRect(29, 596, 541, 31)), "knoepfe.png");
  }

  // The worked example of the tips page: row 8 of the finished board with its own dots, five
  // givens; then the marks after the black dot; then the row solved.
  bool workedExample() {
    exampleGame();
    auto& m = model();
    constexpr int kRow = 8;
    const auto rowDots = m.dotsRight[kRow];
    m.clearBoard();
    m.dotsRight[kRow] = rowDots;  // no dots to the rows above and below: only this row counts
    for (int c = 1; c <= 9; ++c) m.solution[kRow][c] = uint8_t(kSolution[kRow - 1][c - 1]);
    for (int c : {4, 6, 7, 8, 9}) m.board[kRow][c] = m.givens[kRow][c] = m.solution[kRow][c];
    game_.screen().redrawBoard();
    if (!save(client().copy(cells(1, kRow, 9, kRow)), "beispiel_1.png")) return false;
    for (int d : {3, 7}) m.candidates[kRow][1][d] = m.candidates[kRow][5][d] = true;
    for (int d : {2, 4}) m.candidates[kRow][2][d] = m.candidates[kRow][3][d] = true;
    game_.screen().redrawBoard();
    if (!save(client().copy(cells(1, kRow, 9, kRow)), "beispiel_2.png")) return false;
    m.clearCandidates();
    for (int c = 1; c <= 9; ++c) m.board[kRow][c] = m.solution[kRow][c];
    game_.screen().redrawBoard();
    return save(client().copy(cells(1, kRow, 9, kRow)), "beispiel_3.png");
  }

  // Each technique on its position, tinted and marked as the hint shows it. The step solver
  // must find the technique there: a picture never shows a wrong example.
  bool techniques() {
    auto& m = model();
    for (const TechniquePicture& picture : kTechniquePictures) {
      Position p;
      picture.build(p);
      for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) {
          const int d = p.digits[r][c];
          if (d != 0 && c < 9 && p.digits[r][c + 1] != 0) p.right[r][c] = dotBetween(d, p.digits[r][c + 1]);
          if (d != 0 && r < 9 && p.digits[r + 1][c] != 0) p.down[c][r] = dotBetween(d, p.digits[r + 1][c]);
        }
      punktivo::StepSolver solver(p.digits, p.right, p.down);
      for (const auto& [cell, mask] : p.marks) solver.keepOnly(cell, mask);
      punktivo::GameHint hint;
      hint.kind = punktivo::GameHint::Kind::kStep;
      hint.step = solver.findStep(picture.technique);
      if (!hint.step) {
        std::fprintf(stderr, "%s: no %s in its position\n", picture.file,
                     std::string(punktivo::techniqueName(picture.technique)).c_str());
        return false;
      }
      m.clearBoard();
      m.board = m.givens = p.digits;
      m.dotsRight = p.right;
      m.dotsDown = p.down;
      std::vector<app::Cell> tinted;
      for (const punktivo::CellRef& cell : punktivo::hintCells(hint)) {
        tinted.push_back({cell.column, cell.row});
        const punktivo::DigitMask marks = solver.candidates(cell);
        for (int d = 1; d <= 9; ++d) m.candidates[cell.row][cell.column][d] = (marks >> d & 1U) != 0;
      }
      game_.cells().tintHintCells(tinted);
      game_.screen().redrawBoard();
      if (!save(client().copy(cells(picture.c1, picture.r1, picture.c2, picture.r2)), picture.file)) return false;
    }
    game_.cells().tintHintCells({});
    return true;
  }

  QString folder_;
  platform::Runtime runtime_;
  app::App game_{runtime_};
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  QDir().mkpath(argv[1]);
  Pictures pictures(QString::fromLocal8Bit(argv[1]));
  return pictures.run() ? 0 : 1;
}
