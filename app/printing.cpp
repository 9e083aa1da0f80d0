// printBoard and printGames: the page geometry follows the page size, so the layout scales
// with the printer's resolution; everything is drawn with the screen's drawing services.
#include "app/printing.h"

#include <algorithm>
#include <cmath>

#include "engine/rules.h"

namespace punktivo {

namespace {

// The lines and dots of a printed grid: black, the cell lines two pixels wide. A one-pixel
// outline vanishes on paper at printer resolutions, and with it every white dot: the outline
// grows with the dot.
void setPrintedLines(GridLayout& g, int boxLineWidth, double dotRadius) {
  g.cellLineWidth = 2;
  g.boxLineWidth = boxLineWidth;
  g.dotRadius = int(std::lround(dotRadius));  // the runtime draws whole radii
  g.dotLineWidth = std::max(1, g.dotRadius / 8);
}

}  // namespace

GridLayout boardPageLayout(int width, int height) {
  GridLayout g;
  g.u = width / 80;
  g.v = height / 70;
  g.originX = 5 * g.u;
  g.originY = 3 * g.v;
  g.cellWidth = 8 * g.u;
  g.cellHeight = 6 * g.v;
  setPrintedLines(g, 10, 1.2 * g.u);
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
  setPrintedLines(g, 8, 0.6 * g.u);
  g.digitPoints = 20;
  g.footerPoints = 10;
  g.footerX = 2 * g.u + dx;
  g.footerY = roundHalfEven(30.5 * g.v) + dy;
  g.digitX = 3 * g.u + dx + 7;
  g.digitY = roundHalfEven(3.5 * g.v) + dy + 3;
  return g;
}

GridLayout solutionsPageLayout(int width, int height, int game) {
  GridLayout g;
  g.u = width / 80;
  g.v = height / 70;
  const int dx = (game % 2) * 40 * g.u;
  const int dy = (game / 2) * 32 * g.v;
  // Three quarters of a puzzle's grid, centred under where the puzzle's grid would stand.
  g.originX = 6 * g.u + dx;
  g.originY = 5 * g.v + dy;
  g.cellWidth = 3 * g.u;
  g.cellHeight = roundHalfEven(2.25 * g.v);
  setPrintedLines(g, 6, 0.45 * g.u);
  g.digitPoints = 14;
  g.footerPoints = 10;
  g.footerX = g.originX;
  g.footerY = g.originY + 9 * g.cellHeight + g.v;
  g.digitX = g.originX + g.u;
  g.digitY = g.originY + roundHalfEven(0.45 * g.v);
  return g;
}

QPoint gameHeadingPosition(const GridLayout& g) { return {g.originX, g.originY - 2 * g.v}; }

QString gameHeading(int game) { return "Spiel " + QString::number(game + 1); }
QString solutionHeading(int game) { return "Lösung zu Spiel " + QString::number(game + 1); }

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
  render::BoardPainter painter(drawing_);
  painter.drawGrid(layout);
  const int givenCount = drawDigits(layout, model_.board);
  painter.drawDots(layout, model_);
  drawFooter(layout, givenCount);
  if (!printer.endDocument()) {
    reportFailure(printer);
    return false;
  }
  restoreDrawingState();
  return true;
}

bool Printing::printGames(Pages pages) {
  platform::Printer printer(runtime_, destination);
  const bool withSolutions = pages == kWithSolutions;
  const QString name = withSolutions ? "Spiele mit Lösungen drucken" : "Spiele drucken";
  bool printed = printer.selectPrinter(name) && printer.startDocument(name);
  if (printed) {
    beginPage();
    runtime_.selectFontByPoints("ARIAL", 20);
    const int width = printer.pageWidth(), height = printer.pageHeight();
    render::BoardPainter painter(drawing_);
    std::array<PrintedSolution, 4> solutions;
    for (int game = 0; game < 4; ++game) {
      const GridLayout layout = gamesPageLayout(width, height, game);
      painter.drawGrid(layout);
      // Preparing a puzzle (thinned out at "Extrem") takes a moment.
      runtime_.setPointer(platform::Pointer::Busy);
      prepareGame();
      painter.drawDots(layout, model_);
      runtime_.selectFontByPoints("ARIAL", layout.digitPoints);
      const int givenCount = drawDigits(layout, model_.givens);
      drawFooter(layout, givenCount);
      if (withSolutions) {
        drawHeading(layout, gameHeading(game));
        solutions[size_t(game)] = {model_.solution, model_.dotsRight, model_.dotsDown};
      }
    }
    runtime_.setPointer(platform::Pointer::Normal);
    if (withSolutions) {
      printed = printer.newPage();
      if (printed) printSolutions(width, height, solutions);
    }
    printed = printed && printer.endDocument();
  }
  if (printed) {
    restoreDrawingState();
  } else {
    reportFailure(printer);
  }
  model_.display().drawMainScreen();
  return printed;
}

void Printing::printSolutions(int width, int height, const std::array<PrintedSolution, 4>& solutions) {
  beginPage();
  render::BoardPainter painter(drawing_);
  for (int game = 0; game < 4; ++game) {
    const PrintedSolution& solution = solutions[size_t(game)];
    const GridLayout layout = solutionsPageLayout(width, height, game);
    painter.drawGrid(layout);
    painter.drawDots(layout, solution.dotsRight, solution.dotsDown);
    runtime_.selectFontByPoints("ARIAL", layout.digitPoints);
    for (int column = 1; column <= 9; ++column)
      for (int row = 1; row <= 9; ++row) {
        const int digit = solution.digits[row][column];
        if (digit < 1 || digit > 9) continue;
        const QPoint at = layout.digitPosition(column, row);
        runtime_.text(at.x(), at.y(), QString::number(digit));
      }
    drawHeading(layout, solutionHeading(game));
  }
}

void Printing::drawHeading(const GridLayout& g, const QString& text) {
  runtime_.selectFontByPoints("ARIAL", kHeadingPoints);
  const QPoint at = gameHeadingPosition(g);
  runtime_.text(at.x(), at.y(), text);
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
  // Nothing may be drawn on the screen while the output goes to the printer.
  const QuietScope quiet(model_);
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
