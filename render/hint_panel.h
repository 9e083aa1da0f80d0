// The hint's panel: a frame captioned "TIPP:" in the empty corner above the statistics, with
// the hint's text wrapped into it; taken away, the corner is as it was.
#pragma once

#include <QString>
#include <QStringList>

#include "render/drawing.h"

namespace render {

class HintPanel {
 public:
  static constexpr int kLeft = 603, kTop = 8, kRight = 837, kBottom = 190;
  // Characters of the fixed-pitch text face per line, and lines, inside the frame.
  static constexpr int kColumns = 26, kLines = 11;

  explicit HintPanel(Drawing& drawing) : drawing_(drawing) {}

  // The frame under `caption` ("TIPP:"), centred over it, with `text` wrapped in.
  void show(const QString& caption, const QString& text);
  void hide();
  bool shown() const { return background_ != 0; }

  // The text broken into lines of at most `columns` characters, at blanks where it can.
  static QStringList wrap(const QString& text, int columns);

 private:
  Drawing& drawing_;
  platform::ImageHandle background_ = 0;  // the corner as it was, while the panel stands
};

}  // namespace render
