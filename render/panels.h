// The four information panels beside the board: statistics, status, difficulty and help.
// They draw the texts and counts they are given, and own the texts they show.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

#include "engine/board_model.h"
#include "render/drawing.h"

namespace render {

class Panels {
 public:
  Panels(Drawing& drawing, const punktivo::BoardModel& model, const punktivo::Settings& settings)
      : drawing_(drawing), model_(model), settings_(settings) {}

  QString helpText;
  QString statusMessage;
  int16_t givenCount = 0;

  // Frame and labels of the statistics; the counts come with drawDigitCounts.
  void drawStatisticsPanel();
  // How often each digit 1-9 stands on the board.
  void drawDigitCounts(const std::array<uint8_t, 10>& counts);
  // The status panel's frame; its texts come with showStatus.
  void drawStatusPanel();
  // The error check's message (it becomes statusMessage; drawn unless `drawMessage` is
  // clear) in red or black, and the mistakes of the timed game.
  void showStatus(const QString& message, bool red, bool drawMessage, int mistakes);
  // Shows `text` in the status line (it becomes statusMessage) until the next error check.
  void showStatusText(const QString& text, bool red);
  void drawDifficultyPanel();
  void updateDifficultyPanel();
  void drawHelpPanel();
  void showHelpText();

 private:
  void drawPanelFrame(int top, const QString& caption, int captionX, bool helpPanel = false);
  void drawStatusLine(const QString& text, int colour);

  Drawing& drawing_;
  const punktivo::BoardModel& model_;
  const punktivo::Settings& settings_;
};

// A number as a two-character right-aligned field.
QString twoDigits(int value);

}  // namespace render
