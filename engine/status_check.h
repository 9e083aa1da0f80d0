// The decision of the error check: which status message, in which colour, with or without
// the warning beep, and whether the board is full. No drawing; the status panel draws it.
#pragma once

#include <string>

#include "engine/board_model.h"

namespace punktivo {

inline constexpr const char* kStatusWrongDigit = "Falsche Zahl! ";
inline constexpr const char* kStatusUnsolvable = "Nicht lösbar!!!";
inline constexpr const char* kStatusNoErrors = "Keine Fehler! ";
inline constexpr const char* kStatusSolved = "Brett gelöst!!!";

// Where the game stands by the error check (kNone before the first check).
enum class Status { kNone, kWrongDigit, kUnsolvable, kNoMistakes, kSolved };

// The message the status panel shows for a status ("" for kNone).
const char* statusText(Status status);

struct StatusResult {
  Status status = Status::kWrongDigit;
  std::string statusMessage;
  bool red = true;     // drawn in red (palette 9), else black
  bool beep = false;   // the platform's warning beep sounds
  bool boardFull = false;
};

// The steps of checkAndShowStatus without the drawing. Reads model.digitCount as the last
// count left it (the caller counts first). boardFull stays previousBoardFull when the
// solver has marked the board unsolvable.
StatusResult evaluateStatus(BoardModel& model, bool previousBoardFull);

}  // namespace punktivo
