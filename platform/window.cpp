// Qt window classes of the runtime: they translate Qt's events into window messages.
#include "platform/window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/runtime.h"

namespace platform {

namespace {

// The digit of a keypad key by its X key code (KP_7 79 ... KP_0 90 on every PC keyboard),
// or -1.
int keypadDigit(quint32 scan) {
  switch (scan) {
    case 79: return 7;
    case 80: return 8;
    case 81: return 9;
    case 83: return 4;
    case 84: return 5;
    case 85: return 6;
    case 87: return 1;
    case 88: return 2;
    case 89: return 3;
    case 90: return 0;
    default: return -1;
  }
}

int keyCode(const QKeyEvent* event) {
  const int key = event->key();
  // With NumLock on, X turns Shift with a keypad digit into the key's other meaning (KP_Home
  // for 7, KP_Up for 8 ...): known by its key code, it is the digit, as Shift+1-9 is.
  if (event->modifiers() & Qt::ShiftModifier)
    if (const int digit = keypadDigit(event->nativeScanCode()); digit >= 0) return '0' + digit;
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  switch (key) {
    case Qt::Key_Escape: return kKeyEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kKeyEnter;
    case Qt::Key_Backspace: return kKeyBackspace;
    case Qt::Key_Delete: return kKeyDelete;
    case Qt::Key_Left: return kKeyLeft;
    case Qt::Key_Up: return kKeyUp;
    case Qt::Key_Right: return kKeyRight;
    case Qt::Key_Down: return kKeyDown;
    case Qt::Key_Home: return kKeyHome;
    case Qt::Key_End: return kKeyEnd;
    case Qt::Key_PageUp: return kKeyPageUp;
    case Qt::Key_PageDown: return kKeyPageDown;
    default: break;
  }
  // Shift turns the digits of the top row into punctuation, which differs between layouts;
  // the X key codes 10..19 are those keys ("1".."9", "0") on every PC keyboard.
  const quint32 scan = event->nativeScanCode();
  if ((event->modifiers() & Qt::ShiftModifier) && scan >= 10 && scan <= 19) return scan == 19 ? '0' : int('1' + scan - 10);
  return kKeyOther;
}

int modifierBits(const QKeyEvent* event) {
  const Qt::KeyboardModifiers m = event->modifiers();
  return (m & Qt::ShiftModifier ? kModShift : 0) | (m & Qt::ControlModifier ? kModControl : 0) |
         (m & Qt::AltModifier ? kModAlt : 0);
}

// Identifies a physical key across its press and release (the Qt key may differ when a
// modifier changed in between); posted events have no scan code.
int keyIdentity(const QKeyEvent* event) {
  return event->nativeScanCode() != 0 ? int(event->nativeScanCode()) | 0x40000000 : event->key();
}

}  // namespace

ClientWidget::ClientWidget(Runtime& runtime, QWidget* parent) : QWidget(parent), runtime_(runtime) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void ClientWidget::paintEvent(QPaintEvent* event) {
  // A window moved to a screen of another ratio paints the picture scaled until the
  // game has drawn it anew.
  if (devicePixelRatioF() != runtime_.devicePixelRatio()) runtime_.followScreenLater();
  QPainter painter(this);
  runtime_.paintClient(painter, event->rect());
}

void ClientWidget::keyPressEvent(QKeyEvent* event) {
  const int key = keyCode(event);
  if (!event->isAutoRepeat()) runtime_.handleKeyPress(keyIdentity(event), key, modifierBits(event));
  char32_t character = 0;
  if (key == kKeyEscape) {
    character = 27;
  } else if (!event->text().isEmpty()) {
    character = event->text().toUcs4().value(0);
  }
  if (character != 0) runtime_.handleInput({MessageKind::Char, key, character, 0, 0, modifierBits(event)});
  event->accept();
}

void ClientWidget::keyReleaseEvent(QKeyEvent* event) {
  // A release whose press went to a menu or a dialog is theirs, not the game's.
  std::optional<WindowMessage> release;
  if (!event->isAutoRepeat()) {
    release = runtime_.takeKeyRelease(keyIdentity(event));
  } else if (const int key = keyCode(event); key > kKeyOther) {
    // A held arrow (or Home, End, PgUp, PgDn) key moves on with the keyboard's repeat.
    release = runtime_.repeatedKeyRelease(keyIdentity(event));
  }
  if (release) runtime_.handleInput(*release);
  event->accept();
}

void ClientWidget::focusOutEvent(QFocusEvent* event) {
  // Whatever is let go while a menu or a dialog has the keyboard does not come back here.
  runtime_.forgetPressedKeys();
  QWidget::focusOutEvent(event);
}

void ClientWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF p = event->position();
  runtime_.handleMouseMove(int(event->buttons()), int(event->modifiers() & Qt::ShiftModifier), p.x(), p.y());
  WindowMessage message;
  message.x = qRound(p.x());
  message.y = qRound(p.y());
  if (event->button() == Qt::LeftButton) {
    message.kind = MessageKind::LeftPress;
  } else if (event->button() == Qt::RightButton) {
    message.kind = MessageKind::RightPress;
  }
  if (message.kind != MessageKind::None) runtime_.handleInput(message);
  event->accept();
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* event) {
  runtime_.handleButtonRelease(event->button());
  event->accept();
}

void ClientWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = event->position();
  runtime_.handleMouseMove(int(event->buttons()), int(event->modifiers() & Qt::ShiftModifier), p.x(), p.y());
  event->accept();
}

bool ClientWidget::event(QEvent* event) {
  if (event->type() == QEvent::Type(kQuitEventType)) {
    runtime_.handleQuitRequest();
    return true;
  }
  if (event->type() == QEvent::ScreenChangeInternal) runtime_.followScreenLater();
  return QWidget::event(event);
}

MainWindow::MainWindow(Runtime& runtime) : runtime_(runtime) {}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (runtime_.handleCloseRequest()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace platform
