// Helpers of the window tests: a started game, pixel access and posted input.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QCloseEvent>

#include <memory>

#include "app/startup.h"
#include "support/boards.h"

namespace guitest {

inline QColor rgb(int r, int g, int b) { return QColor(r, g, b); }

using punktivo::testing::kStartSolution;

// Client point in the middle of a cell, and of digit d's square of the picker over it.
inline QPoint cellCentre(int column, int row) { return {29 + 60 * (column - 1) + 30, 45 + 60 * (row - 1) + 30}; }
inline QPoint pickerSquare(int column, int row, int digit) {
  const int px = 29 + 60 * (column - 1) - 16, py = 45 + 60 * (row - 1) - 16;
  return {px + 30 * ((digit - 1) % 3) + 15, py + 30 * ((digit - 1) / 3) + 15};
}

inline QColor pixelAt(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// A game that has run its start-up sequence, headless.
struct StartedGame {
  platform::Runtime runtime;
  app::App game{runtime};
  StartedGame() { game.startUp(); }
  ~StartedGame() { game.shutDown(); }
  const QImage& image() const { return runtime.backingImage(); }
};

// A key pressed and let go in the client area without typing a character.
inline void postKeyStroke(QWidget* target, int qtKey) {
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, qtKey, Qt::NoModifier));
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, qtKey, Qt::NoModifier));
}

inline void postTyped(QWidget* target, int qtKey, const QString& text) {
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, qtKey, Qt::NoModifier, text));
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, qtKey, Qt::NoModifier, text));
}

inline void postMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, int x, int y) {
  const QPointF local(x, y);
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QCoreApplication::postEvent(target, new QMouseEvent(type, local, target->mapToGlobal(local), button, held,
                                                      Qt::NoModifier));
}

inline void postMove(QWidget* target, int x, int y) { postMouse(target, QEvent::MouseMove, Qt::NoButton, x, y); }

inline void postClick(QWidget* target, Qt::MouseButton button, int x, int y) {
  postMove(target, x, y);
  postMouse(target, QEvent::MouseButtonPress, button, x, y);
  postMouse(target, QEvent::MouseButtonRelease, button, x, y);
}

}  // namespace guitest
