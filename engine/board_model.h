// The one board of the game: digits, givens, solution, dots and candidate marks,
// held as the 10x10 byte images the board file stores, plus the whole-board operations.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace punktivo {

// A 10x10 byte image; element [i][j] sits at byte 10*i + j, index 0 stays unused.
using Grid = std::array<std::array<uint8_t, 10>, 10>;
// [r][c][d] flags / bytes, d = 1..9.
using CandidateFlags = std::array<std::array<std::array<bool, 10>, 10>, 10>;
using CandidateBytes = std::array<std::array<std::array<uint8_t, 10>, 10>, 10>;

enum DotCode : uint8_t { kNoDot = 0, kWhiteDot = 1, kBlackDot = 2 };

// What the engine asks of the screen. Called only while quietMode is clear,
// except where a method says otherwise. Coordinates: column first, then row.
struct BoardDisplay {
  virtual ~BoardDisplay() = default;
  virtual void drawPlayerCell(int column, int row, int digit) = 0;
  virtual void redrawBoard() = 0;
  virtual void drawDots() = 0;
  virtual void drawMainScreen() = 0;
  virtual void drawCandidateMarks() = 0;
  // Showing computed candidates takes the game out of timing: timedGame := false
  // and the clock label is refreshed. Called whatever quietMode says.
  virtual void endTimedGame() = 0;
};

// A display that draws nothing: the engine tool, fuzzers and quiet tests use it.
struct NullDisplay final : BoardDisplay {
  void drawPlayerCell(int, int, int) override {}
  void redrawBoard() override {}
  void drawDots() override {}
  void drawMainScreen() override {}
  void drawCandidateMarks() override {}
  void endTimedGame() override {}
};

// Options the player sets through the menu; they start at their defaults on every run.
// The levels, as Settings::difficulty holds them.
enum Level : int16_t { kLevelEasy = 0, kLevelMedium = 1, kLevelHard = 2, kLevelExtreme = 3 };

struct Settings {
  int16_t difficulty = kLevelEasy;  // a Level
  std::array<std::string, 4> levelNames{};
  bool puzzleSymmetry = true;
  bool showCandidates = false;
  // Tints the cells holding the digit under the keyboard cursor (remembered between runs).
  bool highlightSameDigits = true;
  // A digit entered takes itself out of the notes of every cell that sees it.
  bool tidyNotes = false;
  // A wrong digit is struck through as well as red, for whoever cannot tell the colours apart.
  bool markErrors = false;

  // The labels as the panels print them, blanks included.
  void fillLevelNames();
};

class BoardModel {
 public:
  explicit BoardModel(BoardDisplay& display) : display_(&display) {}

  Grid board{};
  Grid givens{};
  Grid solution{};
  Grid boardBackup{};
  Grid dotsRight{};  // [r][c]: dot between (r, c) and (r, c+1)
  Grid dotsDown{};   // [c][r], column first: dot between (r, c) and (r+1, c)
  CandidateFlags candidates{};
  CandidateBytes candidatesStore{};  // byte image of candidates for board files
  std::array<uint8_t, 10> digitCount{};
  std::array<uint8_t, 10> dupCount{};
  std::array<uint8_t, 10> digitMap{};
  std::array<bool, 10> digitFree{};
  bool quietMode = false;
  bool unsolvedFlag = false;

  BoardDisplay& display() { return *display_; }
  void setDisplay(BoardDisplay& display) { display_ = &display; }

  void loadStartBoard();
  void clearBoard();
  void restartBoard();
  void storeSolution();
  bool isBoardComplete();
  void clearCandidates();

 private:
  BoardDisplay* display_;
};

// quietMode set (or cleared) for as long as it lives, and then as the model had it: the
// engine's work stays unseen whoever set the mode before, and nobody forces it afterwards.
class QuietScope {
 public:
  explicit QuietScope(BoardModel& model, bool quiet = true) : model_(model), previous_(model.quietMode) {
    model.quietMode = quiet;
  }
  ~QuietScope() { model_.quietMode = previous_; }
  QuietScope(const QuietScope&) = delete;
  QuietScope& operator=(const QuietScope&) = delete;

 private:
  BoardModel& model_;
  bool previous_;
};

}  // namespace punktivo
