// Palette, fonts, frames, embossed text and buttons.
#include "render/drawing.h"

#include <cmath>

namespace render {

namespace {

constexpr int kRgb[16][3] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {255, 255, 0},   {0, 0, 188},     {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {64, 64, 64},  {255, 0, 0},     {0, 255, 0},     {233, 221, 211},
    {180, 201, 208}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

struct CreatedFont {
  int code;  // 0: created but never selected
  const char* face;
  int height, width, weight;
  bool fixedPitch;
};

constexpr CreatedFont kCreatedFonts[7] = {
    {4, "ARIAL", 12, 6, 200, false},   {6, "ARIAL", 30, 16, 200, false},
    {8, "Terminal", 12, 8, 400, true}, {18, "ARIAL", 21, 10, 400, false},
    {20, "ARIAL", 26, 14, 200, false}, {40, "ARIAL", 58, 32, 200, false},
    {0, "ARIAL", 17, 8, 400, false},
};

}  // namespace

void Drawing::initPalette() {
  for (size_t i = 0; i < palette_.size(); ++i) palette_[i] = QColor(kRgb[i][0], kRgb[i][1], kRgb[i][2]);
}

void Drawing::createFonts() {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    const CreatedFont& f = kCreatedFonts[i];
    platform::FontDescription d;
    d.face = f.face;
    d.height = f.height;
    d.width = f.width;
    d.weight = f.weight;
    d.fixedPitch = f.fixedPitch;
    fonts_[i] = canvas_.createFont(d);
  }
  fontsCreated_ = true;
}

void Drawing::deleteFonts() {
  if (fontsCreated_) canvas_.deleteFonts();
  fontsCreated_ = false;
}

void Drawing::selectFont(int fontCode) {
  if (!fontsCreated_) createFonts();
  for (size_t i = 0; i < fonts_.size(); ++i) {
    if (kCreatedFonts[i].code == fontCode && fontCode != 0) {
      canvas_.selectFont(fonts_[i]);
      return;
    }
  }
  if (fontCode == kFontButton) {
    canvas_.selectSystemFont("Fixedsys", 9);
  } else {
    canvas_.selectSystemFont("System", 9.75);
  }
}

void Drawing::drawFrame(int style, int width, int left, int top, int right, int bottom) {
  platform::Canvas& rt = canvas_;
  rt.setLineWidth(1);
  rt.setLineStyleSolid();
  rt.setRasterOp(platform::RasterOp::Copy);
  const int lines = width - style;
  rt.setPen(palette(style == 0 ? kWhite : kDarkGrey));
  for (int i = 0; i <= lines; ++i) {
    rt.line(left + i, top + i, right, top + i);
    rt.line(left + i, top + i, left + i, bottom);
  }
  rt.setPen(palette(style == 0 ? kDarkGrey : kWhite));
  for (int i = 0; i <= lines; ++i) {
    rt.line(left + i, bottom - i, right + 1, bottom - i);
    rt.line(right - i, top + i, right - i, bottom);
  }
  rt.setPen(palette(kBlack));
}

void Drawing::drawEmbossedText(int fontCode, int colourIndex, int x, int y, const QString& text) {
  platform::Canvas& rt = canvas_;
  selectFont(fontCode);
  y -= 14;
  if (largeFontMode && fontCode == kFontButton) x += 11;
  rt.setTextBackground(platform::TextBackground::Transparent);
  rt.setPen(palette(kWhite));
  rt.text(x, y, text);
  rt.setPen(palette(colourIndex));
  rt.text(x - 1, y - 1, text);
  rt.setTextBackground(platform::TextBackground::Opaque);
  rt.setPen(palette(kBlack));
  rt.setFill(palette(kLightGrey));
  selectFont(kFontText);
}

void Drawing::drawHotLetter(int fontCode, int x, int y, const QString& letter) {
  platform::Canvas& rt = canvas_;
  selectFont(fontCode);
  y -= 14;
  rt.setTextBackground(platform::TextBackground::Transparent);
  rt.setPen(palette(kWhite));
  rt.text(x, y, letter);
  rt.setPen(palette(kHotLetter));
  rt.text(x - 1, y - 1, letter);
  rt.setTextBackground(platform::TextBackground::Opaque);
  rt.setPen(palette(kBlack));
  rt.setFill(palette(kWhite));
}

void Drawing::drawButton(int style, int x, int y, const QString& caption) {
  platform::Canvas& rt = canvas_;
  services_.hidePointer();
  const int p = int(caption.indexOf('_')) + 1;  // 1-based, 0 when there is none
  const int n = int(caption.size()) - 1;
  QString shown = caption;
  QString letter;
  if (p > 0) {
    letter = caption.mid(p, 1);
    shown = caption.left(p - 1) + " " + caption.mid(p + 1);
  }
  const int w = int(std::lround(8.0 * n + 20));
  drawFrame(style, 2, x, y, x + w, y + 26);
  rt.setPen(palette(kBlack));
  rt.box(x - 1, y - 1, x + w, y + 26);
  const int length = int(shown.size());
  int tx = x + int(std::lround(4.0 * ((n - 1) - length) + 14));
  int ty = y + 20;
  if (largeFontMode) {
    tx -= 8;
    ty -= 2;
  }
  drawEmbossedText(kFontButton, kBlack, largeFontMode ? tx - 12 : tx, ty, shown);
  if (p > 0 && !letter.isEmpty()) {
    const int hx = tx + 8 * (p - 1) - (p == 1 ? 1 : 0);
    drawHotLetter(kFontButton, hx, ty, letter);
  }
  services_.showPointer();
  rt.setTextBackground(platform::TextBackground::Opaque);
  rt.setPen(palette(kBlack));
  rt.setFill(palette(kWhite));
}

}  // namespace render
