// The clock label over a QLabel.
#include "platform/clock_label.h"

#include <QLabel>
#include <QThread>

#include <cmath>

#include "platform/font_faces.h"
#include "platform/window.h"
#include "platform/window_state.h"

namespace platform {

ClockLabel::ClockLabel(WindowState& window) : window_(window), captionSink_(std::make_unique<CaptionSink>(*this)) {}

ClockLabel::~ClockLabel() = default;

void ClockLabel::createLabel(int x, int y, int width, int height, const QString& caption,
                             const QString& fontFace, double points, QColor background) {
  label_ = new QLabel(caption, window_.client);
  label_->setGeometry(x, y, width, height);
  QFont font(fontFace.toUpper() == "ARIAL" ? kSansFamily : fontFace);
  font.setPixelSize(int(std::lround(points * 96.0 / 72.0)));
  label_->setFont(font);
  QPalette colours = label_->palette();
  colours.setColor(QPalette::Window, background);
  colours.setColor(QPalette::WindowText, Qt::black);
  label_->setPalette(colours);
  label_->setAutoFillBackground(true);
  label_->show();
}

void ClockLabel::setLabelCaption(const QString& caption) {
  if (label_ == nullptr) return;
  if (QThread::currentThread() == label_->thread()) {
    // A caption set here outranks every caption another thread sent before it.
    ++captionEpoch_;
    label_->setText(caption);
  } else {
    // Posted by name: the caption is copied into the event by Qt, and the epoch tells the
    // user-interface thread whether it is still wanted when it arrives.
    QMetaObject::invokeMethod(captionSink_.get(), "applyCaption", Qt::QueuedConnection, Q_ARG(QString, caption),
                              Q_ARG(int, captionEpoch_.load()));
  }
}

void ClockLabel::applyQueuedCaption(const QString& caption, int epoch) {
  if (label_ != nullptr && epoch == captionEpoch_.load()) label_->setText(caption);
}

QString ClockLabel::labelCaption() const { return label_ != nullptr ? label_->text() : QString(); }

void CaptionSink::applyCaption(const QString& caption, int epoch) { label_.applyQueuedCaption(caption, epoch); }

}  // namespace platform
