// Information panels.
#include "render/panels.h"

#include <algorithm>

namespace render {

namespace {
constexpr int kPanelLeft = 603;
}

QString twoDigits(int value) { return QString::number(value).rightJustified(2, ' '); }

void Panels::drawPanelFrame(int top, const QString& caption, int captionX, bool helpPanel) {
  platform::Canvas& rt = drawing_.canvas();
  const int X = kPanelLeft;
  const int shorter = helpPanel ? 6 : 0;
  drawing_.drawFrame(0, 2, X, top, X + 234, top + 78 - shorter);
  drawing_.drawFrame(1, 2, X + 6, top + 22, X + 228, top + 72 - shorter);
  drawing_.drawEmbossedText(kFontCaption, kBlack, captionX, top + 19, caption);
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(X + 6, top + 22, X + 227, top + 71 - shorter);
}

void Panels::drawStatisticsPanel() {
  platform::Canvas& rt = drawing_.canvas();
  drawPanelFrame(200, "STATISTIK:", 687);
  rt.text(619, 232, "Zahlen");
  rt.text(619, 252, "Anzahl");
  for (int d = 1; d <= 9; ++d) {
    const int x = 675 + 16 * (d - 1);
    rt.text(x, 232, twoDigits(d));
    rt.text(x, 252, twoDigits(0));
  }
  rt.line(615, 246, 825, 246);
  rt.line(674, 228, 674, 267);
}

void Panels::drawDigitCounts(const std::array<uint8_t, 10>& counts) {
  platform::Canvas& rt = drawing_.canvas();
  rt.line(674, 228, 674, 267);
  drawing_.selectFont(kFontText);
  for (int d = 1; d <= 9; ++d) rt.text(659 + 16 * d, 252, twoDigits(counts[size_t(d)]) + " ");
}

void Panels::drawStatusPanel() { drawPanelFrame(292, "STATUSMELDUNG:", 661); }

void Panels::showStatus(const QString& message, bool red, bool drawMessage, int mistakes) {
  platform::Canvas& rt = drawing_.canvas();
  statusMessage = message;
  if (drawMessage) drawStatusLine(statusMessage, red ? kRed : kBlack);
  drawing_.selectFont(kFontText);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  rt.text(674, 350, "Fehler: " + QString::number(mistakes) + "/3");
}

void Panels::showStatusText(const QString& text, bool red) {
  statusMessage = text;
  drawStatusLine(text, red ? kRed : kBlack);
  drawing_.selectFont(kFontText);
  drawing_.canvas().setPen(drawing_.palette(kBlack));
}

void Panels::drawStatusLine(const QString& text, int colour) {
  platform::Canvas& rt = drawing_.canvas();
  // The line is wiped first: a text shown before may be wider than this one.
  rt.setFillStyle(platform::FillStyle::Solid);
  rt.setPen(drawing_.palette(kWhite));
  rt.setFill(drawing_.palette(kWhite));
  rt.filledBox(612, 324, 828, 349);
  rt.setPen(drawing_.palette(colour));
  drawing_.selectFont(kFontMessage);
  // Moved left as far as a wide text needs to stay inside the panel.
  rt.text(std::max(612, std::min(626, 826 - rt.textWidth(text))), 324, text);
}

void Panels::drawDifficultyPanel() {
  platform::Canvas& rt = drawing_.canvas();
  drawPanelFrame(384, "SCHWIERIGKEITSGRAD:", 643);
  rt.text(631, drawing_.largeFontMode ? 411 : 414, "Vorgegebene Zahlen: " + twoDigits(givenCount));
  updateDifficultyPanel();
}

void Panels::updateDifficultyPanel() {
  platform::Canvas& rt = drawing_.canvas();
  givenCount = 0;
  for (int r = 1; r <= 9; ++r)
    for (int c = 1; c <= 9; ++c)
      if (model_.givens[r][c] != 0) ++givenCount;
  drawing_.selectFont(kFontText);
  rt.text(791, drawing_.largeFontMode ? 411 : 414, twoDigits(givenCount) + " ");
  drawing_.selectFont(kFontMessage);
  const int level = settings_.difficulty >= 0 && settings_.difficulty <= 3 ? settings_.difficulty : 0;
  rt.text(656, 426, QString::fromStdString(settings_.levelNames[size_t(level)]) + "  ");
  drawing_.selectFont(kFontText);
}

void Panels::drawHelpPanel() {
  drawPanelFrame(476, "HILFEFENSTER:", 671, true);
  showHelpText();
}

void Panels::showHelpText() {
  platform::Canvas& rt = drawing_.canvas();
  rt.setRasterOp(platform::RasterOp::Copy);
  rt.setTextBackground(platform::TextBackground::Opaque);
  rt.setPen(drawing_.palette(kBlack));
  rt.setFill(drawing_.palette(kWhite));
  drawing_.selectFont(kFontText);
  rt.text(616, 515, helpText);
}

}  // namespace render
