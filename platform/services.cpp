// The services over Qt and the standard library.
#include "platform/services.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QThread>

#include <chrono>
#include <cstdlib>
#include <random>

#include "platform/window.h"
#include "platform/window_state.h"

namespace platform {

namespace {

const std::chrono::steady_clock::time_point kClockEpoch = std::chrono::steady_clock::now();

uint64_t chooseSeed() {
  if (const char* text = std::getenv("PUNKTIVO_SEED"); text != nullptr && *text != '\0') {
    return std::strtoull(text, nullptr, 10);
  }
  std::random_device device;
  return (uint64_t(device()) << 32) ^ device();
}

}  // namespace

Services::Services(WindowState& window) : window_(window), seed_(chooseSeed()) {}

double Services::clock() const {
  if (clockSource) return clockSource();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - kClockEpoch).count();
}

QString Services::dateText() const {
  if (dateSource) return dateSource();
  return QDate::currentDate().toString("dd.MM.yyyy");
}

void Services::pause(int milliseconds) {
  // Let what was drawn reach the screen (no input is taken), then wait.
  window_.flushRepaints();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QThread::msleep(milliseconds);
}

std::thread Services::startThread(std::function<void()> body) { return std::thread(std::move(body)); }

void Services::setPointer(Pointer pointer) {
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (pointer == Pointer::Busy && !busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (pointer == Pointer::Normal) {
    while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  }
}

void Services::hidePointer() {
  if (pointerHidden_++ == 0 && window_.client != nullptr) window_.client->setCursor(Qt::BlankCursor);
}

void Services::showPointer() {
  if (pointerHidden_ > 0 && --pointerHidden_ == 0 && window_.client != nullptr) window_.client->unsetCursor();
}

void Services::beep() {
  if (window_.redrawingForRatio) return;  // drawing the screen again is not an event of the game
  ++beepCount_;
  QApplication::beep();
}

QString Services::clipboardText() const { return QGuiApplication::clipboard()->text(QClipboard::Clipboard); }

void Services::setClipboardText(const QString& text) {
  QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

}  // namespace platform
