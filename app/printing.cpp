// printBoard and printGames: the page geometry follows the page size, so the layout scales
// with the printer's resolution; everything is drawn with the screen's drawing services.
#include "app/printing.h"

#include <algorithm>
#include <cmath>

#include "engine/rules.h"

namespace punktivo {

namespace {

// The design's fill-style values for dots: 8 leaves a dot white inside its outline,
// 41 fills it black.
constexpr int kWhiteDotStyle = 8;
constexpr int kBlackDotStyle = 41;

// quietMode for the whole preparation of a puzzle: nothing may be drawn while the output
// goes to the printer.
class QuietPreparation {
 public:
  explicit QuietPreparation(BoardModel& model) : model_(model), previous_(model.quietMode) {
    model_.quietMode = true;
  }
  ~QuietPreparation() { model_.quietMode = previous_; }

 private:
  BoardModel& model_;
  bool previous_;
};

}  // namespace

int roundHalfEven(double value) {
  double rounded = std::round(value);  // halves away from zero
  if (std::abs(value - std::trunc(value)) == 0.5) rounded = 2.0 * std::round(value / 2.0);
  return int(rounded);
}

QPoint GridLayout::rightDotCentre(int column, int row) const {
  return {originX + column * cellWidth, originY + roundHalfEven(cellHeight / 2.0) + (row - 1) * cellHeight};
}

QPoint GridLayout::downDotCentre(int column, int row) const {
  return {originX + (column - 1) * cellWidth + roundHalfEven(cellWidth / 2.0), originY + row * cellHeight};
}

GridLayout boardPageLayout(int width, int height) {
  GridLayout g;
  g.u = width / 80;
  g.v = height / 70;
  g.originX = 5 * g.u;
  g.originY = 3 * g.v;
  g.cellWidth = 8 * g.u;
  g.cellHeight = 6 * g.v;
  g.boxLineWidth = 10;
  g.dotRadius = 1.2 * g.u;
  g.digitPoints = 54;
  g.footerPoints = 12;
  g.footerX = 5 * g.u;
  g.footerY = 59 * g.v;
  g.digitX = roundHalfEven(6.5 * g.u) + roundHalfEven(g.u / 2.0) + 7;
  g.digitY = 4 * g.v + roundHalfEven(-g.v / 3.0) + 3;
  return g;
}

GridLayout gamesPageLayout(int width, int height, int game) {
  GridLayout g;
  g.u = width / 80;
  g.v = height / 70;
  const int dx = (game % 2) * 40 * g.u;
  const int dy = (game / 2) * 32 * g.v;
  g.originX = 2 * g.u + dx;
  g.originY = 3 * g.v + dy;
  g.cellWidth = 4 * g.u;
  g.cellHeight = 3 * g.v;
  g.boxLineWidth = 8;
  g.dotRadius = 0.6 * g.u;
  g.digitPoints = 20;
  g.footerPoints = 10;
  g.footerX = 2 * g.u + dx;
  g.footerY = roundHalfEven(30.5 * g.v) + dy;
  g.digitX = 3 * g.u + dx + 7;
  g.digitY = roundHalfEven(3.5 * g.v) + dy + 3;
  return g;
}

QString footerText(const Settings& settings, int givenCount) {
  const int level = std::clamp<int>(settings.difficulty, 0, 3);
  return "Schwierigkeitsgrad: " + QString::fromStdString(settings.levelNames[size_t(level)]) + "mit " +
         QString::number(givenCount) + " Zahlen";
}

bool Printing::printBoard() {
  platform::Printer printer(runtime_, destination);
  const QString name = "Brett drucken";
  if (!printer.selectPrinter(name) || !printer.startDocument(name)) {
    reportFailure(printer);
    return false;
  }
  beginPage();
  runtime_.selectFontByPoints("ARIAL", 54);
  const GridLayout layout = boardPageLayout(printer.pageWidth(), printer.pageHeight());
  drawGrid(layout);
  const int givenCount = drawDigits(layout, model_.board);
  drawDots(layout);
  drawFooter(layout, givenCount);
  if (!printer.endDocument()) {
    reportFailure(printer);
    return false;
  }
  restoreDrawingState();
  return true;
}

bool Printing::printGames() {
  platform::Printer printer(runtime_, destination);
  const QString name = "Spiele drucken";
  bool printed = printer.selectPrinter(name) && printer.startDocument(name);
  if (printed) {
    beginPage();
    runtime_.selectFontByPoints("ARIAL", 20);
    const int width = printer.pageWidth(), height = printer.pageHeight();
    for (int game = 0; game < 4; ++game) {
      const GridLayout layout = gamesPageLayout(width, height, game);
      drawGrid(layout);
      // Preparing a puzzle (thinned out at "Extrem") takes a moment.
      runtime_.setPointer(platform::Pointer::Busy);
      prepareGame();
      drawDots(layout);
      runtime_.selectFontByPoints("ARIAL", layout.digitPoints);
      const int givenCount = drawDigits(layout, model_.givens);
      drawFooter(layout, givenCount);
    }
    runtime_.setPointer(platform::Pointer::Normal);
    printed = printer.endDocument();
  }
  if (printed) {
    restoreDrawingState();
  } else {
    reportFailure(printer);
  }
  model_.display().drawMainScreen();
  return printed;
}

void Printing::beginPage() {
  // The printer's default black pen; digits go on the paper without a background box,
  // which would cut into the grid lines below them.
  runtime_.setPen(drawing_.palette(render::kBlack));
  runtime_.setFill(drawing_.palette(render::kWhite));
  runtime_.setFillStyle(platform::FillStyle::Solid);
  runtime_.setLineStyleSolid();
  runtime_.setLineWidth(1);
  runtime_.setTextBackground(platform::TextBackground::Transparent);
}

void Printing::drawGrid(const GridLayout& g) {
  runtime_.setLineWidth(2);
  for (int row = 1; row <= 9; ++row) {
    for (int column = 1; column <= 9; ++column) {
      const int x = g.originX + (column - 1) * g.cellWidth;
      const int y = g.originY + (row - 1) * g.cellHeight;
      runtime_.box(x, y, x + g.cellWidth, y + g.cellHeight);
    }
  }
  runtime_.setLineWidth(g.boxLineWidth);
  for (int band = 0; band < 3; ++band) {
    for (int stack = 0; stack < 3; ++stack) {
      const int x = g.originX + stack * 3 * g.cellWidth;
      const int y = g.originY + band * 3 * g.cellHeight;
      runtime_.box(x, y, x + 3 * g.cellWidth, y + 3 * g.cellHeight);
    }
  }
  runtime_.setLineWidth(1);
}

void Printing::drawDots(const GridLayout& g) {
  // The runtime draws whole radii.
  const int radius = int(std::lround(g.dotRadius));
  const auto fillStyle = [this](int style) {
    runtime_.setFillStyle(platform::FillStyle::Solid);
    runtime_.setFill(drawing_.palette(style == kBlackDotStyle ? render::kBlack : render::kWhite));
  };
  const auto dot = [&](uint8_t code, QPoint centre) {
    if (code == kWhiteDot) {
      fillStyle(kWhiteDotStyle);
    } else if (code == kBlackDot) {
      fillStyle(kBlackDotStyle);
    } else {
      return;
    }
    runtime_.circle(centre.x(), centre.y(), radius);
  };
  // A one-pixel outline vanishes on paper at printer resolutions, and with it every white
  // dot: the outline grows with the dot.
  runtime_.setLineWidth(std::max(1, radius / 8));
  for (int row = 1; row <= 9; ++row)
    for (int column = 1; column <= 8; ++column) dot(model_.dotsRight[row][column], g.rightDotCentre(column, row));
  for (int column = 1; column <= 9; ++column)
    for (int row = 1; row <= 8; ++row) dot(model_.dotsDown[column][row], g.downDotCentre(column, row));
  runtime_.setLineWidth(1);
  fillStyle(kWhiteDotStyle);
}

int Printing::drawDigits(const GridLayout& g, const Grid& digits) {
  int givenCount = 0;
  for (int column = 1; column <= 9; ++column) {
    for (int row = 1; row <= 9; ++row) {
      const int digit = digits[row][column];
      if (digit == 0) continue;
      const QPoint at = g.digitPosition(column, row);
      runtime_.text(at.x(), at.y(), QString::number(digit));
      if (model_.givens[row][column] != 0) ++givenCount;
    }
  }
  return givenCount;
}

void Printing::drawFooter(const GridLayout& g, int givenCount) {
  runtime_.selectFontByPoints("ARIAL", g.footerPoints);
  runtime_.text(g.footerX, g.footerY, footerText(settings_, givenCount));
}

void Printing::prepareGame() {
  QuietPreparation quiet(model_);
  // Prepared the way a new game is: a disguise changes the dots, and a few disguises leave a
  // puzzle with more than one solution, so records are disguised until the solver finishes
  // one to its only solution (Extrem thinned out as well).
  const GenerateResult made = generator_.generateGame(boardFile_.collectionRecords(settings_.difficulty));
  if (made.generated()) return;
  // No collection, or nothing in it that could be finished: the board in the model is
  // disguised and printed again.
  generator_.shuffleBoard();
  if (settings_.difficulty == kLevelExtreme) {
    generator_.reduceGivens();
  } else {
    deriveDotsFromSolution(model_, solver_);
  }
}

void Printing::restoreDrawingState() {
  runtime_.setPen(drawing_.palette(render::kBlack));
  runtime_.setFill(drawing_.palette(render::kWhite));
  runtime_.setFillStyle(platform::FillStyle::Solid);
  runtime_.setLineWidth(1);
  runtime_.setTextBackground(platform::TextBackground::Opaque);
  // The printer's faces are sized for its resolution; the screen's text font again.
  drawing_.selectFont(render::kFontText);
}

void Printing::reportFailure(platform::Printer& printer) {
  printer.abort();
  runtime_.setPointer(platform::Pointer::Normal);
  restoreDrawingState();
  runtime_.messageBox(platform::MessageIcon::Critical, "Druckerfehler!", "&OK", 1);
}

}  // namespace punktivo
