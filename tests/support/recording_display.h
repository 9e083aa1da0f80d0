// A BoardDisplay that records every call the engine makes on the screen, in order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/board_model.h"

namespace punktivo::testing {

struct DisplayCall {
  enum Kind : uint8_t { PlayerCell, RedrawBoard, Dots, MainScreen, CandidateMarks, EndTimedGame };
  Kind kind;
  int column = 0, row = 0, digit = 0;
  bool operator==(const DisplayCall&) const = default;
};

inline std::string callText(const DisplayCall& call) {
  switch (call.kind) {
    case DisplayCall::PlayerCell:
      return "drawPlayerCell(" + std::to_string(call.column) + "," + std::to_string(call.row) + "," +
             std::to_string(call.digit) + ")";
    case DisplayCall::RedrawBoard:
      return "redrawBoard";
    case DisplayCall::Dots:
      return "drawDots";
    case DisplayCall::MainScreen:
      return "drawMainScreen";
    case DisplayCall::CandidateMarks:
      return "drawCandidateMarks";
    case DisplayCall::EndTimedGame:
      return "endTimedGame";
  }
  return "?";
}
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

  int count(DisplayCall::Kind kind) const {
    return int(std::count_if(calls.begin(), calls.end(), [kind](const DisplayCall& c) { return c.kind == kind; }));
  }
};

}  // namespace punktivo::testing
