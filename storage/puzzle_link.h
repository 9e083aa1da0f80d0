// Puzzles as links of the web's solving tools: the f-puzzles JSON of the givens and dots,
// packed with LZ-string into an f-puzzles or SudokuPad link, and the strict reading back of
// such a link (or the bare JSON) that takes only what the board can hold faithfully.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/board_model.h"

namespace punktivo {

inline constexpr std::string_view kFpuzzlesPrefix = "https://f-puzzles.com/?load=";
inline constexpr std::string_view kSudokuPadPrefix = "https://sudokupad.app/fpuzzles";
// Longer text is refused before anything is decoded.
inline constexpr std::size_t kMostLinkBytes = 64 * 1024;
// The unpacked JSON of a 9x9 puzzle is a few kilobytes; far more is refused while unpacking.
inline constexpr std::size_t kMostJsonUnits = 256 * 1024;

enum class LinkForm { kFpuzzles, kSudokuPad, kJson };

// What a link carries: the givens and the dots, as the board model holds them.
struct LinkPuzzle {
  Grid givens{};
  Grid dotsRight{};
  Grid dotsDown{};
  bool operator==(const LinkPuzzle&) const = default;
};

// The model's givens and dots (not the player's digits). Digits outside 1-9 and dot codes
// other than white and black, which a damaged record may hold, are left out as the game
// leaves them out.
LinkPuzzle linkPuzzleOf(const BoardModel& model);

// f-puzzles JSON: size 9, grid[row][column] with value and given, difference (white) and
// ratio (black) dots, and negative ["ratio","difference"] with "nonconsecutive" (f-puzzles'
// own name for the white dots' absence rule): no dot means neither relation.
std::string puzzleJson(const LinkPuzzle& puzzle);
std::string puzzleLink(const LinkPuzzle& puzzle, LinkForm form);

enum class LinkError {
  kNone,
  kTooLong,         // over kMostLinkBytes
  kNotALink,        // neither an f-puzzles nor a SudokuPad-f-puzzles link nor JSON
  kBadBase64,       // the payload holds characters outside Base64
  kBadPacking,      // the LZ-string data are damaged (or unpack to far too much)
  kBadJson,         // the unpacked text is no JSON, or not laid out as f-puzzles lays it out
  kNotNineByNine,   // size other than 9
  kOtherRule,       // a constraint the game does not know (its name in LinkResult::detail)
  kNotNeighbours,   // a dot between cells that do not touch
  kBadRatio,        // a black dot with a ratio other than 2
  kBadDifference,   // a white dot with a difference other than 1
  kTwoDots,         // a white and a black dot between the same two cells
  kNotAllDots,      // the absence rules missing: negative "ratio", and "difference" or
                    // "nonconsecutive" (as f-puzzles writes it)
};

struct LinkResult {
  LinkError error = LinkError::kNone;
  std::string detail;  // the rule or the cells the message names
  LinkPuzzle puzzle;   // only when error == kNone
  bool ok() const { return error == LinkError::kNone; }
  // The message for the player, in German.
  std::string message() const;
};

// An f-puzzles link (…f-puzzles.com/?load=…), a SudokuPad link to f-puzzles data
// (…sudokupad.app/fpuzzles…), or the bare JSON; blanks around it are ignored.
LinkResult readPuzzleLink(std::string_view text);

// The puzzle into the model as a typed-in board: the givens are the digits, no marks.
void placeLinkPuzzle(const LinkPuzzle& puzzle, BoardModel& model);

}  // namespace punktivo
