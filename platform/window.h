// The main window and its client widget; both hand everything to the Runtime.
#pragma once

#include <QMainWindow>
#include <QWidget>

namespace platform {

class Runtime;

class ClientWidget final : public QWidget {
  Q_OBJECT
 public:
  ClientWidget(Runtime& runtime, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  Runtime& runtime_;
};

class MainWindow final : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(Runtime& runtime);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Runtime& runtime_;
};

// Posted by Runtime::postQuit; ends every waiting loop when it is processed.
constexpr int kQuitEventType = 1000 + 0x5054;  // QEvent::User + a private offset

}  // namespace platform
