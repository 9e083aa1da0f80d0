// The clock label of the runtime: a child label of the client area whose caption any
// thread may set; other threads hand it to the user-interface thread.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QLabel;

namespace platform {

struct WindowState;
class CaptionSink;

class ClockLabel {
 public:
  explicit ClockLabel(WindowState& window);
  ~ClockLabel();
  ClockLabel(const ClockLabel&) = delete;
  ClockLabel& operator=(const ClockLabel&) = delete;

  void createLabel(int x, int y, int width, int height, const QString& caption,
                   const QString& fontFace, double points, QColor background);
  // Safe from any thread: the caption is handed to the user-interface thread.
  void setLabelCaption(const QString& caption);
  QString labelCaption() const;
  // A caption another thread sent: set unless the user-interface thread has set one itself
  // since it was sent (`epoch` then differs).
  void applyQueuedCaption(const QString& caption, int epoch);

 private:
  WindowState& window_;
  QLabel* label_ = nullptr;  // owned by the client widget
  std::unique_ptr<CaptionSink> captionSink_;
  std::atomic<int> captionEpoch_{0};
};

// Receives captions that another thread hands to the user-interface thread.
class CaptionSink final : public QObject {
  Q_OBJECT
 public:
  explicit CaptionSink(ClockLabel& label) : label_(label) {}
  // Called by name through the event queue.
  Q_INVOKABLE void applyCaption(const QString& caption, int epoch);

 private:
  ClockLabel& label_;
};

}  // namespace platform
