// The hint's panel.
#include "render/hint_panel.h"

namespace render {

QStringList HintPanel::wrap(const QString& text, int columns) {
  QStringList lines;
  QString line;
  for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
    QString rest = word;
    // A word longer than a line is cut.
    while (rest.size() > columns) {
      if (!line.isEmpty()) lines << line;
      lines << rest.left(columns);
      rest = rest.mid(columns);
      line.clear();
    }
    if (line.isEmpty()) {
      line = rest;
    } else if (line.size() + 1 + rest.size() <= columns) {
      line += ' ' + rest;
    } else {
      lines << line;
      line = rest;
    }
  }
  if (!line.isEmpty()) lines << line;
  return lines;
}

void HintPanel::show(const QString& caption, const QString& text) {
  platform::Canvas& rt = drawing_.canvas();
  if (background_ == 0) background_ = rt.captureImage(kLeft, kTop, kRight + 1, kBottom + 1);
  drawing_.drawFrame(0, 2, kLeft, kTop, kRight, kBottom);
  drawing_.drawFrame(1, 2, kLeft + 6, kTop + 22, kRight - 6, kBottom - 6);
  drawing_.selectFont(kFontCaption);
  const int captionX = (kLeft + kRight) / 2 - rt.textWidth(caption) / 2;
  drawing_.drawEmbossedText(kFontCaption, kBlack, captionX, kTop + 19, caption);
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(kLeft + 6, kTop + 22, kRight - 7, kBottom - 7);
  drawing_.selectFont(kFontText);
  rt.setTextBackground(platform::TextBackground::Transparent);
  const QStringList lines = wrap(text, kColumns);
  for (int i = 0; i < std::min<int>(int(lines.size()), kLines); ++i) rt.text(kLeft + 12, kTop + 26 + 13 * i, lines[i]);
  rt.setTextBackground(platform::TextBackground::Opaque);
  rt.setFill(drawing_.palette(kLightGrey));
}

void HintPanel::hide() {
  if (background_ == 0) return;
  platform::Canvas& rt = drawing_.canvas();
  rt.drawImage(background_, kLeft, kTop);
  rt.releaseImage(background_);
  background_ = 0;
}

}  // namespace render
