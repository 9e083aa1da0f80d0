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
  const platform::Runtime& rt = runtime_;
  const int x = rt.mouseX() - view_.boardOriginX;
  const int y = rt.mouseY() - view_.boardOriginY;
  if (x < 0 || y < 0 || x >= 9 * view_.cellWidth || y >= 9 * view_.cellHeight) return std::nullopt;
  return Cell{x / view_.cellWidth + 1, y / view_.cellHeight + 1};
}

void CellInput::drawPicker(int column, int row) {
  platform::Runtime& rt = runtime_;
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
  runtime_.drawImage(input_.pickerBackground, input_.pickerX, input_.pickerY);
}

void CellInput::pickerInput(int column, int row) {
  platform::Runtime& rt = runtime_;
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
        if (input_.pickerDigit >= 1 && input_.pickerDigit <= 9) core_.toggleCandidate(column, row, input_.pickerDigit);
        core_.solver().refreshCandidates();
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
        core_.solver().refreshCandidates();
      } else if (!input_.editorMode) {
        model_.board[row][column] = 0;
        view_.drawPlayerCell(column, row, 0);
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
        if (digit != 0) core_.toggleCandidate(column, row, digit);
        core_.solver().refreshCandidates();
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
  if (core_.settings().showCandidates) core_.solver().refreshCandidates();
}

void CellInput::enterDigit(int column, int row, int digit) {
  if (input_.editorMode) {
    model_.board[row][column] = uint8_t(digit);
    return;
  }
  showEntry(core_.enterDigit(column, row, digit));
}

void CellInput::showEntry(const punktivo::EntryOutcome& outcome) {
  if (outcome.timedGameEnded) timer_.refreshClock();
  for (const punktivo::CellRef& cell : outcome.notesTidied) view_.drawCandidateMarksOf(cell.column, cell.row);
  // The marks' boxes reach under the dots at the cells' edges.
  if (!outcome.notesTidied.empty()) view_.drawDots();
}

void CellInput::waitButtonsUp() { runtime_.waitButtonsUp(); }

void CellInput::repaintPicker() {
  if (!input_.pickerOpen || !input_.backgroundHeld) return;
  // The background is taken again from the board just drawn.
  runtime_.releaseImage(input_.pickerBackground);
  input_.backgroundHeld = false;
  drawPicker(input_.pickerColumn, input_.pickerRow);
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
  render::CellTints tints;
  tints.cursorShown = input_.cursorShown;
  tints.cursorColumn = input_.cursorColumn;
  tints.cursorRow = input_.cursorRow;
  tints.highlightSameDigits = core_.settings().highlightSameDigits;
  tints.hinted = hinted_;
  view_.setTints(tints);
  const int digit = view_.highlightedDigit(tints);
  bool changed = false;
  for (int column = 1; column <= 9; ++column)
    for (int row = 1; row <= 9; ++row) {
      if (view_.tintOf(paintedTints_, paintedDigit_, column, row) == view_.tintOf(tints, digit, column, row)) continue;
      view_.repaintCell(column, row);
      changed = true;
    }
  if (changed) view_.drawDots();
  paintedTints_ = tints;
  paintedDigit_ = digit;
}

void CellInput::tintHintCells(const std::vector<Cell>& cells) {
  hinted_.reset();
  for (const Cell& cell : cells) hinted_.set(render::CellTints::bit(cell.column, cell.row));
  repaintHighlight();
}

}  // namespace app
