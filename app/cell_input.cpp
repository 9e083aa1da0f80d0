// The digit picker, board clicks, and painting cell contents.
#include "app/cell_input.h"

#include <algorithm>
#include <cmath>

namespace app {

using namespace render;

namespace {
constexpr int kPickerSize = 90;
constexpr int kSquare = 30;
}  // namespace

void CellInput::Win_0_MouseMove(int, int, double x, double y) {
  if (!input_.pickerOpen) return;
  const int mx = int(std::lround(x)) - input_.pickerX;
  const int my = int(std::lround(y)) - input_.pickerY;
  if (mx < 0 || my < 0 || mx >= kPickerSize || my >= kPickerSize) return;
  const int digit = (my / kSquare) * 3 + mx / kSquare + 1;
  if (digit != input_.pickerDigit) {
    input_.pickerDigit = int16_t(digit);
    drawPicker(input_.pickerColumn, input_.pickerRow);
  }
}

std::optional<Cell> CellInput::cellAtMouse() const {
  const platform::Runtime& rt = drawing_.runtime();
  const int x = rt.mouseX() - view_.boardOriginX;
  const int y = rt.mouseY() - view_.boardOriginY;
  if (x < 0 || y < 0 || x >= 9 * view_.cellWidth || y >= 9 * view_.cellHeight) return std::nullopt;
  return Cell{x / view_.cellWidth + 1, y / view_.cellHeight + 1};
}

void CellInput::drawPicker(int column, int row) {
  platform::Runtime& rt = drawing_.runtime();
  input_.pickerBusy = true;
  panels_.helpText = input_.candidateInput ? "Bitte Kandidaten notieren!" : "Rechte Taste löscht Feld!";
  panels_.showHelpText();
  const int px = view_.cellX(column) - 16;
  const int py = view_.cellY(row) - 16;
  if (!input_.backgroundHeld) {
    input_.pickerBackground = rt.captureImage(px, py, px + kPickerSize, py + kPickerSize);
    input_.backgroundHeld = true;
  }
  rt.setFillStyle(platform::FillStyle::Solid);
  for (int d = 1; d <= 9; ++d) {
    const int x = px + kSquare * ((d - 1) % 3);
    const int y = py + kSquare * ((d - 1) / 3);
    rt.setRasterOp(platform::RasterOp::Copy);
    rt.setTextBackground(platform::TextBackground::Opaque);
    rt.setPen(drawing_.palette(kBlack));
    rt.setFill(drawing_.palette(d == input_.pickerDigit ? kLightGrey : kWhite));
    rt.filledBox(x, y, x + kSquare, y + kSquare);
    rt.setRasterOp(platform::RasterOp::Merge);
    rt.setTextBackground(platform::TextBackground::Transparent);
    drawing_.selectFont(kFontPicker);
    rt.text(x + 6, y + 1, QString::number(d));
  }
  rt.setRasterOp(platform::RasterOp::Copy);
  rt.setTextBackground(platform::TextBackground::Opaque);
  rt.setFill(drawing_.palette(kWhite));
  input_.pickerBusy = false;
}

void CellInput::restoreBackground() {
  drawing_.runtime().drawImage(input_.pickerBackground, input_.pickerX, input_.pickerY);
}

void CellInput::toggleCandidate(int column, int row, int digit) {
  bool& mark = model_.candidates[row][column][digit];
  mark = !mark;
}

void CellInput::pickerInput(int column, int row) {
  platform::Runtime& rt = drawing_.runtime();
  // The picker's place first: a mouse move while the click is still held redraws it.
  input_.pickerX = int16_t(view_.cellX(column) - 16);
  input_.pickerY = int16_t(view_.cellY(row) - 16);
  input_.pickerColumn = int16_t(column);
  input_.pickerRow = int16_t(row);
  input_.pickerOpen = true;
  waitButtonsUp();
  for (;;) {
    input_.pickerCleared = false;
    rt.processEventsOnce();
    if (!rt.windowExists()) break;
    const platform::WindowMessage& m = rt.lastMessage();
    if (m.kind == platform::MessageKind::LeftPress) {
      const int x = rt.mouseX() - input_.pickerX;
      const int y = rt.mouseY() - input_.pickerY;
      if (x < 0 || y < 0 || x >= kPickerSize || y >= kPickerSize) continue;  // the picker stays
      input_.pickerBusy = true;
      restoreBackground();
      if (input_.candidateInput) {
        if (input_.pickerDigit >= 1 && input_.pickerDigit <= 9) toggleCandidate(column, row, input_.pickerDigit);
        solver_.refreshCandidates();
      } else {
        enterDigit(column, row, input_.pickerDigit);
      }
      input_.pickerBusy = false;
      break;
    }
    if (m.kind == platform::MessageKind::RightPress) {
      input_.pickerCleared = true;
      input_.pickerBusy = true;
      restoreBackground();
      if (input_.candidateInput) {
        for (int d = 1; d <= 9; ++d) model_.candidates[row][column][d] = false;
        solver_.refreshCandidates();
      } else if (!input_.editorMode) {
        model_.board[row][column] = 0;
        drawPlayerCell(column, row, 0);
      }
      input_.pickerBusy = false;
      break;
    }
    if (m.kind == platform::MessageKind::Char) {
      const char32_t ch = m.character == 27 ? U'0' : m.character;
      if (ch < U'0' || ch > U'9') continue;
      // The key's release belongs to this choice, not to the loop around the picker.
      rt.consumeKeyRelease(m.key);
      const int digit = int(ch - U'0');
      input_.pickerBusy = true;
      restoreBackground();
      if (input_.candidateInput) {
        if (digit != 0) toggleCandidate(column, row, digit);
        solver_.refreshCandidates();
      } else {
        input_.pickerDigit = int16_t(digit);
        enterDigit(column, row, digit);
      }
      input_.pickerBusy = false;
      break;
    }
  }
  rt.releaseImage(input_.pickerBackground);
  input_.backgroundHeld = false;
  input_.pickerOpen = false;
  if (!rt.windowExists()) return;
  waitButtonsUp();
  panels_.helpText = QString(kHintClickCell) + " " + (drawing_.largeFontMode ? "   " : "");
  panels_.showHelpText();
  if (settings_.showCandidates) solver_.refreshCandidates();
}

void CellInput::enterDigit(int column, int row, int digit) {
  model_.board[row][column] = uint8_t(digit);
  if (input_.editorMode) return;
  countMistake(column, row);
  drawPlayerCell(column, row, digit);
  if (settings_.tidyNotes) tidyNotes(column, row, digit);
}

void CellInput::tidyNotes(int column, int row, int digit) {
  if (digit < 1 || digit > 9) return;
  bool changed = false;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c) {
      const bool sees = r == row || c == column || ((r - 1) / 3 == (row - 1) / 3 && (c - 1) / 3 == (column - 1) / 3);
      bool& mark = model_.candidates[r][c][digit];
      if (!sees || (r == row && c == column) || !mark) continue;
      mark = false;
      view_.drawCandidateMarksOf(c, r);
      changed = true;
    }
  // The marks' boxes reach under the dots at the cells' edges.
  if (changed) view_.drawDots();
}

void CellInput::countMistake(int column, int row) {
  const uint8_t digit = model_.board[row][column];
  const uint8_t solved = model_.solution[row][column];
  // While the solution holds 0 for the cell no digit is judged.
  if (digit == 0 || solved == 0 || digit == solved) return;
  ++game_.mistakeCount;
  // The third wrong entry ends a timed game.
  if (game_.mistakeCount == 3) {
    game_.timedGame = false;
    timer_.refreshClock();
  }
}

void CellInput::waitButtonsUp() { drawing_.runtime().waitButtonsUp(); }

void CellInput::eraseCell(int column, int row) {
  platform::Runtime& rt = drawing_.runtime();
  const int x = view_.cellX(column) + 1;
  const int y = view_.cellY(row) + 1;
  // One pixel less beside a box line, so the red lines stay whole.
  const int right = x + (column % 3 == 0 ? 57 : 58);
  const int bottom = y + (row % 3 == 0 ? 57 : 58);
  const QColor background = cellBackground(column, row);
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(background);
  rt.setFill(background);
  rt.filledBox(x, y, right, bottom);
}

bool CellInput::wrongDigit(int column, int row) const {
  const uint8_t solved = model_.solution[row][column];
  return solved != 0 && solved != model_.board[row][column];
}

void CellInput::drawPlayerCell(int column, int row, int digit) {
  // Red on every drawing; a mistake is counted once, where the player enters the digit.
  paintPlayerCell(column, row, digit, digit != 0 && wrongDigit(column, row));
}

void CellInput::repaintCells() {
  for (int column = 1; column <= 9; ++column)
    for (int row = 1; row <= 9; ++row) paintCellContent(column, row);
}

void CellInput::repaintPicker() {
  if (!input_.pickerOpen || !input_.backgroundHeld) return;
  // The background is taken again from the board just drawn.
  drawing_.runtime().releaseImage(input_.pickerBackground);
  input_.backgroundHeld = false;
  drawPicker(input_.pickerColumn, input_.pickerRow);
}

QColor CellInput::cellBackground(int column, int row) const {
  const Cell cursor{input_.cursorColumn, input_.cursorRow};
  return tintOf(column, row, input_.cursorShown, cursor, highlightedDigit(), hinted_);
}

QColor CellInput::tintOf(int column, int row, bool cursorShown, Cell cursor, int digit, const CellSet& hinted) const {
  if (cursorShown && cursor == Cell{column, row}) return kCursorTint;
  if (hinted.test(size_t(cellBit(column, row)))) return kHintTint;
  if (digit != 0 && model_.board[row][column] == digit) return kSameDigitTint;
  return drawing_.palette(kWhite);
}

int CellInput::highlightedDigit() const {
  if (!input_.cursorShown || !settings_.highlightSameDigits) return 0;
  return model_.board[input_.cursorRow][input_.cursorColumn];
}

bool CellInput::moveCursor(int key) {
  int column = input_.cursorColumn, row = input_.cursorRow;
  switch (key) {
    case platform::kKeyLeft: column = std::max(1, column - 1); break;
    case platform::kKeyRight: column = std::min(9, column + 1); break;
    case platform::kKeyUp: row = std::max(1, row - 1); break;
    case platform::kKeyDown: row = std::min(9, row + 1); break;
    case platform::kKeyHome: column = 1; break;
    case platform::kKeyEnd: column = 9; break;
    case platform::kKeyPageUp: row = 1; break;
    case platform::kKeyPageDown: row = 9; break;
    default: return false;
  }
  // The first key shows the cursor where it stands.
  if (input_.cursorShown) {
    input_.cursorColumn = int16_t(column);
    input_.cursorRow = int16_t(row);
  }
  input_.cursorShown = true;
  repaintHighlight();
  return true;
}

void CellInput::followClick(int column, int row) {
  if (!input_.cursorShown) return;
  input_.cursorColumn = int16_t(column);
  input_.cursorRow = int16_t(row);
  repaintHighlight();
}

void CellInput::hideCursor() {
  input_.cursorShown = false;
  repaintHighlight();
}

void CellInput::repaintHighlight() {
  const Cell cursor{input_.cursorColumn, input_.cursorRow};
  const int digit = highlightedDigit();
  bool changed = false;
  for (int column = 1; column <= 9; ++column)
    for (int row = 1; row <= 9; ++row) {
      if (tintOf(column, row, paintedCursorShown_, paintedCursor_, paintedDigit_, paintedHinted_) ==
          tintOf(column, row, input_.cursorShown, cursor, digit, hinted_))
        continue;
      repaintCell(column, row);
      changed = true;
    }
  if (changed) view_.drawDots();
  paintedCursorShown_ = input_.cursorShown;
  paintedCursor_ = cursor;
  paintedDigit_ = digit;
  paintedHinted_ = hinted_;
}

void CellInput::tintHintCells(const std::vector<Cell>& cells) {
  hinted_.reset();
  for (const Cell& cell : cells) hinted_.set(size_t(cellBit(cell.column, cell.row)));
  repaintHighlight();
}

void CellInput::paintCellContent(int column, int row) {
  const uint8_t given = model_.givens[row][column];
  if (given != 0) {
    drawGivenCell(column, row, given);
  } else {
    drawPlayerCell(column, row, model_.board[row][column]);
  }
}

void CellInput::repaintCell(int column, int row) {
  paintCellContent(column, row);
  if (model_.givens[row][column] == 0) view_.drawCandidateMarksOf(column, row);
}

void CellInput::paintPlayerCell(int column, int row, int digit, bool wrong) {
  platform::Runtime& rt = drawing_.runtime();
  const int x = view_.cellX(column) + 1;
  const int y = view_.cellY(row) + 1;
  eraseCell(column, row);
  rt.setPen(drawing_.palette(kBlue));
  if (wrong && settings_.markErrors) strikeThrough(x, y);
  if (digit != 0) {
    drawing_.selectFont(kFontCell);
    rt.setTextBackground(platform::TextBackground::Transparent);
    rt.setRasterOp(platform::RasterOp::Merge);
    if (wrong) rt.setPen(drawing_.palette(kRed));
    rt.text(x + 10, y + 1, QString::number(digit));
    rt.setRasterOp(platform::RasterOp::Copy);
    rt.setTextBackground(platform::TextBackground::Opaque);
    drawing_.selectFont(kFontMessage);
  }
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  view_.drawDots();
}

void CellInput::strikeThrough(int x, int y) {
  // Corner to corner, clear of the dots in the middle of the cell's sides: a shape that
  // stays when the colours go (greyscale, colour-blind eyes).
  platform::Runtime& rt = drawing_.runtime();
  rt.setPen(drawing_.palette(kRed));
  rt.setLineWidth(kStrokeWidth);
  rt.line(x + kStrokeInset, y + kStrokeInset, x + 57 - kStrokeInset, y + 57 - kStrokeInset);
  rt.setLineWidth(1);
  rt.setPen(drawing_.palette(kBlue));
}

void CellInput::drawGivenCell(int column, int row, int digit) {
  platform::Runtime& rt = drawing_.runtime();
  const int x = view_.cellX(column) + 1;
  const int y = view_.cellY(row) + 1;
  eraseCell(column, row);
  rt.setPen(drawing_.palette(kBlack));
  if (digit != 0) {
    drawing_.selectFont(kFontCell);
    rt.setTextBackground(platform::TextBackground::Transparent);
    rt.setRasterOp(platform::RasterOp::Merge);
    rt.text(x + 10, y + 1, QString::number(digit));
    rt.setRasterOp(platform::RasterOp::Copy);
    rt.setTextBackground(platform::TextBackground::Opaque);
    drawing_.selectFont(kFontMessage);
  }
  rt.setPen(drawing_.palette(kBlue));
  rt.setFill(drawing_.palette(kWhite));
  model_.givens[row][column] = uint8_t(digit);
  view_.drawDots();
}

}  // namespace app
