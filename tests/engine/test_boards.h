// Boards and a recording display shared by the engine tests and benchmarks.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine/board_model.h"

namespace punktivo::testing {

// The one filling of the built-in start board's dots.
extern const int kStartSolution[9][9];

// Givens on which the rule solver still places a digit in its tenth round of singles and
// would place more in an eleventh (20 cells stay empty), with their solution.
extern const int kTenRoundGivens[9][9];
extern const int kTenRoundSolution[9][9];

Grid gridFrom(const int digits[9][9]);
std::string gridText(const Grid& grid);

// A valid filled sudoku: the start solution disguised by digit, row, column, band,
// stack and transposition changes.
Grid randomSolution(std::mt19937_64& rng);
// The cells of `full` kept with probability keepPercent / 100, the rest empty.
Grid keepSome(const Grid& full, int keepPercent, std::mt19937_64& rng);

// The error check's boardFull: every digit stands nine times on the board.
bool everyDigitNineTimes(const Grid& board);

// Every call the engine makes on the screen, in order.
struct DisplayCall {
  enum Kind : uint8_t { PlayerCell, RedrawBoard, Dots, MainScreen, CandidateMarks, EndTimedGame };
  Kind kind;
  int column = 0, row = 0, digit = 0;
  bool operator==(const DisplayCall&) const = default;
};
std::string callText(const DisplayCall& call);
inline void PrintTo(const DisplayCall& call, std::ostream* out) { *out << callText(call); }

struct RecordingDisplay final : BoardDisplay {
  std::vector<DisplayCall> calls;
  void drawPlayerCell(int column, int row, int digit) override {
    calls.push_back({DisplayCall::PlayerCell, column, row, digit});
  }
  // Runs on every redrawBoard, as the game's error check runs there.
  std::function<void()> onRedrawBoard;
  void redrawBoard() override {
    calls.push_back({DisplayCall::RedrawBoard});
    if (onRedrawBoard) onRedrawBoard();
  }
  void drawDots() override { calls.push_back({DisplayCall::Dots}); }
  void drawMainScreen() override { calls.push_back({DisplayCall::MainScreen}); }
  void drawCandidateMarks() override { calls.push_back({DisplayCall::CandidateMarks}); }
  void endTimedGame() override { calls.push_back({DisplayCall::EndTimedGame}); }
};

}  // namespace punktivo::testing
