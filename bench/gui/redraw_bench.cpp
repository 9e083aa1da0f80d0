// How long the screen takes to repaint: a whole board, one cell, the picker. Each runs
// at device pixel ratios 1 and 2, with the drawing caches (the game's path) and without
// them (the plain path), so one run shows what the caches gain.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/startup.h"
#include "engine/hint.h"
#include "engine/rules.h"

namespace {

// A game started once, headless, with a full board of givens and player digits.
app::App& game() {
  static platform::Runtime* runtime = nullptr;
  static app::App* started = nullptr;
  if (started == nullptr) {
    runtime = new platform::Runtime;
    started = new app::App(*runtime);
    started->startUp();
    auto& m = started->model();
    for (int r = 1; r <= 9; ++r)
      for (int c = 1; c <= 9; ++c) {
        m.board[r][c] = uint8_t((3 * (r - 1) + (r - 1) / 3 + c - 1) % 9 + 1);
        if ((r + c) % 3 == 0) m.givens[r][c] = m.board[r][c];
      }
    m.storeSolution();
  }
  return *started;
}

// Arguments: the ratio in percent, caches on (1) or off (0).
app::App& prepared(const benchmark::State& state) {
  app::App& g = game();
  g.runtime().setDrawingCaches(state.range(1) != 0);
  g.runtime().setDevicePixelRatio(double(state.range(0)) / 100.0);
  return g;
}

void ratiosAndCaches(benchmark::internal::Benchmark* b) {
  b->ArgNames({"ratio%", "caches"});
  for (int ratio : {100, 200})
    for (int caches : {0, 1}) b->Args({ratio, caches});
}

void BM_RedrawBoard(benchmark::State& state) {
  app::App& g = prepared(state);
  for (auto _ : state) g.screen().redrawBoard();
}
BENCHMARK(BM_RedrawBoard)->Apply(ratiosAndCaches)->Unit(benchmark::kMillisecond);

void BM_DrawPlayerCell(benchmark::State& state) {
  app::App& g = prepared(state);
  for (auto _ : state) g.view().drawPlayerCell(5, 5, 7);
}
BENCHMARK(BM_DrawPlayerCell)->Apply(ratiosAndCaches)->Unit(benchmark::kMicrosecond);

void BM_DrawPicker(benchmark::State& state) {
  app::App& g = prepared(state);
  int digit = 1;
  for (auto _ : state) {
    g.input().pickerDigit = int16_t(digit);
    digit = digit % 9 + 1;
    g.cells().drawPicker(4, 4);
  }
  g.runtime().releaseImage(g.input().pickerBackground);
  g.input().backgroundHeld = false;
}
BENCHMARK(BM_DrawPicker)->Apply(ratiosAndCaches)->Unit(benchmark::kMicrosecond);

// A hint from the key to the text on screen: the next step found, the "TIPP" panel drawn
// with its headline and the cells tinted; then taken away again (as the next key does).
void BM_HintShown(benchmark::State& state) {
  app::App& g = prepared(state);
  punktivo::BoardModel& m = g.model();
  const punktivo::BoardModel saved = m;
  punktivo::deriveDots(m);  // the full board's dots, then only its givens: a puzzle
  m.board = m.givens;
  for (auto _ : state) {
    const punktivo::GameHint hint = punktivo::nextHint(m);
    g.hintPanel().show("TIPP:", QString::fromStdString(punktivo::hintHeadline(hint)));
    std::vector<app::Cell> cells;
    for (const punktivo::CellRef& cell : punktivo::hintCells(hint)) cells.push_back({cell.column, cell.row});
    g.cells().tintHintCells(cells);
    g.cells().tintHintCells({});
    g.hintPanel().hide();
  }
  m = saved;
}
BENCHMARK(BM_HintShown)->Args({100, 1})->Args({200, 1})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
