// Draws the pictures of the help pages with the game itself: a started game, headless,
// set to the situation each picture shows, cut out of the window as PNG files.
// Usage: punktivo-help-pictures <folder>   (tools/build_help.sh --pictures runs it)
#include <QApplication>
#include <QDir>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <vector>

#include <cstdio>

#include "app/play_session.h"
#include "app/startup.h"
#include "engine/rules.h"

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

class Pictures {
 public:
  explicit Pictures(const QString& folder) : folder_(folder) {
    game_.startUp();
    pump();
  }
  ~Pictures() { game_.shutDown(); }

  bool run() {
    return mainWindow() && dots() && digitColours() && picker() && candidates() && buttons() && workedExample();
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
    game_.view().redrawBoard();
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
    game_.view().redrawBoard();
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
    game_.view().redrawBoard();
    return save(client().copy(cells(3, 1, 5, 1)), "farben.png");
  }

  bool picker() {
    exampleGame();
    game_.view().redrawBoard();
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
    game_.view().redrawBoard();
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
    game_.view().redrawBoard();
    if (!save(client().copy(cells(1, kRow, 9, kRow)), "beispiel_1.png")) return false;
    for (int d : {3, 7}) m.candidates[kRow][1][d] = m.candidates[kRow][5][d] = true;
    for (int d : {2, 4}) m.candidates[kRow][2][d] = m.candidates[kRow][3][d] = true;
    game_.view().redrawBoard();
    if (!save(client().copy(cells(1, kRow, 9, kRow)), "beispiel_2.png")) return false;
    m.clearCandidates();
    for (int c = 1; c <= 9; ++c) m.board[kRow][c] = m.solution[kRow][c];
    game_.view().redrawBoard();
    return save(client().copy(cells(1, kRow, 9, kRow)), "beispiel_3.png");
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
