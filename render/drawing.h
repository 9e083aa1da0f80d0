// The look of the game: the 16-colour palette, the fonts by code, the 3-D frame,
// embossed captions and the push button with its highlighted hot-key letter.
#pragma once

#include <QColor>
#include <QString>

#include <array>

#include "platform/canvas.h"
#include "platform/services.h"

namespace render {

// Palette indices the drawing code names.
enum PaletteIndex : int {
  kBlack = 0,
  kHotLetter = 1,
  kBlue = 4,
  kLightGrey = 7,
  kDarkGrey = 8,
  kRed = 9,
  kBackground = 12,
  kWhite = 15,
};

// Font codes of the game.
enum FontCode : int {
  kFontSmall = 4,
  kFontPicker = 6,
  kFontText = 8,  // fixed pitch, 8 x 12: panel texts, numbers, hints
  kFontButton = 14,
  kFontCaption = 16,
  kFontCandidate = 18,
  kFontMessage = 20,
  kFontCell = 40,
};

class Drawing {
 public:
  // Everything is drawn on the canvas; the services hide the pointer while a button is drawn.
  Drawing(platform::Canvas& canvas, platform::Services& services) : canvas_(canvas), services_(services) {}

  platform::Canvas& canvas() { return canvas_; }

  void initPalette();
  QColor palette(int index) const { return palette_.at(size_t(index)); }
  // Makes the font of the code current; creates all fonts on the first call.
  void selectFont(int fontCode);
  void deleteFonts();
  // style 0 raised, 1 sunken; width - style + 1 nested lines per side.
  void drawFrame(int style, int width, int left, int top, int right, int bottom);
  void drawEmbossedText(int fontCode, int colourIndex, int x, int y, const QString& text);
  void drawHotLetter(int fontCode, int x, int y, const QString& letter);
  // A push button 26 px high whose width follows its caption; "_" marks the hot key.
  void drawButton(int style, int x, int y, const QString& caption);

  // Stays clear on this platform: no system metric asks for the large layout.
  bool largeFontMode = false;

 private:
  void createFonts();

  platform::Canvas& canvas_;
  platform::Services& services_;
  std::array<QColor, 16> palette_{};
  bool fontsCreated_ = false;
  // Created fonts by code: 4, 6, 8, 18, 20, 40 and the one never selected.
  std::array<platform::FontHandle, 7> fonts_{};
};

}  // namespace render
