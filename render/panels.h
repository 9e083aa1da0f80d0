// The four information panels beside the board: statistics, status (with the error
// check), difficulty and help. They own the texts they show.
#pragma once

#include <QString>

#include "engine/game_state.h"
#include "engine/board_model.h"
#include "render/drawing.h"

namespace render {

class Panels {
 public:
  Panels(Drawing& drawing, punktivo::BoardModel& model, punktivo::Settings& settings, punktivo::GameState& game)
      : drawing_(drawing), model_(model), settings_(settings), game_(game) {}

  QString helpText;
  QString statusMessage;
  bool boardFull = false;
  int16_t givenCount = 0;

  void drawStatisticsPanel();
  void updateStatistics();
  void drawStatusPanel();
  void checkAndShowStatus();
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
  punktivo::BoardModel& model_;
  punktivo::Settings& settings_;
  punktivo::GameState& game_;
};

// A number as a two-character right-aligned field.
QString twoDigits(int value);

}  // namespace render
