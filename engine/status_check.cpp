// The error check's decision, step for step as the status panel shows it.
#include "engine/status_check.h"

#include "engine/rules.h"

namespace punktivo {

const char* statusText(Status status) {
  switch (status) {
    case Status::kWrongDigit: return kStatusWrongDigit;
    case Status::kUnsolvable: return kStatusUnsolvable;
    case Status::kNoMistakes: return kStatusNoErrors;
    case Status::kSolved: return kStatusSolved;
    case Status::kNone: break;
  }
  return "";
}

StatusResult evaluateStatus(BoardModel& model, bool previousBoardFull) {
  StatusResult result;
  result.status = Status::kWrongDigit;
  result.red = true;
  result.boardFull = previousBoardFull;
  if (model.unsolvedFlag) {
    result.status = Status::kUnsolvable;
    result.statusMessage = statusText(result.status);
    return result;
  }

  bool anyWrong = false;
  for (int r = 1; r <= 9 && !anyWrong; ++r)
    for (int c = 1; c <= 9; ++c) {
      const uint8_t digit = model.board[r][c];
      if (digit != 0 && model.givens[r][c] == 0 && digit != model.solution[r][c]) {
        anyWrong = true;
        break;
      }
    }

  if (!anyWrong) {
    if (hasNoDuplicates(model) && isBoardConsistent(model)) {
      result.red = false;
      result.status = Status::kNoMistakes;
    } else {
      result.beep = true;
    }
  }

  result.boardFull = true;
  for (int d = 1; d <= 9; ++d)
    if (model.digitCount[d] != 9) result.boardFull = false;
  // Dots are not tested here: a full board without duplicates counts as solved.
  if (result.boardFull && hasNoDuplicates(model)) result.status = Status::kSolved;
  result.statusMessage = statusText(result.status);
  return result;
}

}  // namespace punktivo
