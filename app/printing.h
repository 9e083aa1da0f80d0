// The two print commands: the board in the model as one large grid, or a page of four
// freshly prepared puzzles; with the page geometry both derive from the page size.
#pragma once

#include <QPoint>
#include <QString>

#include <array>

#include "engine/board_model.h"
#include "engine/generator.h"
#include "engine/solver.h"
#include "platform/printer.h"
#include "platform/runtime.h"
#include "render/board_painter.h"
#include "render/drawing.h"
#include "storage/board_file.h"

namespace punktivo {

using render::roundHalfEven;

// Where one printed grid and its texts lie, in printer pixels; the grid and dots are drawn by
// the board painter from the layout it extends.
struct GridLayout : render::BoardLayout {
  int u = 0, v = 0;  // page units: W div 80, H div 70
  double digitPoints = 0, footerPoints = 0;
  int footerX = 0, footerY = 0;
  int digitX = 0, digitY = 0;  // top-left corner of the digit of cell (1, 1)

  QPoint digitPosition(int column, int row) const {
    return {digitX + (column - 1) * cellWidth, digitY + (row - 1) * cellHeight};
  }
};

// printBoard: one large grid on a page of width x height printer pixels.
GridLayout boardPageLayout(int width, int height);
// printGames: game k (0 top left, 1 top right, 2 bottom left, 3 bottom right).
GridLayout gamesPageLayout(int width, int height, int game);
// The solutions page: the solution of game k, smaller, in the same quarter of the page.
GridLayout solutionsPageLayout(int width, int height, int game);
// Where the heading of game k stands, above its grid: on the games page ("Spiel k+1") and
// on the solutions page ("Lösung zu Spiel k+1").
QPoint gameHeadingPosition(const GridLayout& layout);
inline constexpr double kHeadingPoints = 12;
QString gameHeading(int game);
QString solutionHeading(int game);

// "Schwierigkeitsgrad: " + level name + "mit n Zahlen".
QString footerText(const Settings& settings, int givenCount);

class Printing {
 public:
  Printing(platform::Runtime& runtime, render::Drawing& drawing, BoardModel& model, Settings& settings,
           Solver& solver, Generator& generator, BoardFile& boardFile)
      : runtime_(runtime),
        drawing_(drawing),
        model_(model),
        settings_(settings),
        solver_(solver),
        generator_(generator),
        boardFile_(boardFile) {}

  // Where the pages go; the game prints on the system's printers.
  platform::PrintDestination destination = platform::PrintDestination::systemPrinter();

  // "Brett drucken": the board in the model with all its digits, its dots and the footer.
  // True when the page was printed; otherwise the player was told "Druckerfehler!".
  bool printBoard();
  // "Spiele drucken": four new puzzles of the current level, givens only. The model keeps
  // the fourth; the main screen is redrawn in every case.
  enum Pages { kPuzzlesOnly, kWithSolutions };
  // With solutions, a second page holds the four solutions, smaller, each headed with the
  // number its puzzle carries on the first page.
  bool printGames(Pages pages = kPuzzlesOnly);

 private:
  // Digits of `digits` at the layout's positions; returns how many cells hold a given.
  int drawDigits(const GridLayout& layout, const Grid& digits);
  void drawFooter(const GridLayout& layout, int givenCount);
  void drawHeading(const GridLayout& layout, const QString& text);
  // What the solutions page shows of one printed game.
  struct PrintedSolution {
    Grid digits{}, dotsRight{}, dotsDown{};
  };
  void printSolutions(int width, int height, const std::array<PrintedSolution, 4>& solutions);
  void prepareGame();
  void beginPage();
  void restoreDrawingState();
  void reportFailure(platform::Printer& printer);

  platform::Runtime& runtime_;
  render::Drawing& drawing_;
  BoardModel& model_;
  Settings& settings_;
  Solver& solver_;
  Generator& generator_;
  BoardFile& boardFile_;
};

}  // namespace punktivo
