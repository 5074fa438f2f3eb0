#include "ui/RecordProgressBar.h"

#include <QEvent>
#include <QStyle>

#include <utility>

namespace tolvo {

void RecordProgressBar::ShowRecord(int value) {
  checking_ = true;
  setValue(value);
  checking_ = false;
}

void RecordProgressBar::initStyleOption(QStyleOptionProgressBar* option) const {
  // The check needs the bar's geometry and style, which the kept option
  // holds as long as it matches the bar's settings; a painting always gets
  // the option made afresh.
  if (checking_ && keptValid_ && kept_.minimum == minimum() && kept_.maximum == maximum() &&
      kept_.rect == rect() && kept_.textVisible == isTextVisible() &&
      kept_.invertedAppearance == invertedAppearance() &&
      kept_.state.testFlag(QStyle::State_Horizontal) == (orientation() == Qt::Horizontal)) {
    *option = kept_;
    option->progress = value();
    return;
  }
  QProgressBar::initStyleOption(option);
  if (checking_) {
    kept_ = *option;
    keptValid_ = true;
  }
}

void RecordProgressBar::paintEvent(QPaintEvent* event) {
  const bool checking = std::exchange(checking_, false);
  QProgressBar::paintEvent(event);
  checking_ = checking;
}

bool RecordProgressBar::event(QEvent* event) {
  // Whatever reaches the bar (a change of font, style, palette or state, a
  // resize, the pointer, the focus) may change what its option describes;
  // only its own paintings leave it as it is.
  if (event->type() != QEvent::Paint) keptValid_ = false;
  return QProgressBar::event(event);
}

}  // namespace tolvo
