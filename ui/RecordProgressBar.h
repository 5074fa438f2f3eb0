// The import's progress bar: a stock progress bar, drawn and read exactly as
// one, that is told the record number once a record. The stock bar's own
// check of whether a new value changes its pixels builds its whole style
// option every time (palette, font metrics, the formatted percentage), which
// costs more than the repaints it saves; this bar answers that check from a
// style option kept since the last change of anything the option describes.
// It repaints at exactly the values at which a stock bar repaints.
#pragma once

#include <QProgressBar>
#include <QStyleOptionProgressBar>

namespace tolvo {

class RecordProgressBar : public QProgressBar {
 public:
  using QProgressBar::QProgressBar;

  // setValue(value), with the check of the pixels made from the kept option.
  void ShowRecord(int value);

 protected:
  void initStyleOption(QStyleOptionProgressBar* option) const override;
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  mutable QStyleOptionProgressBar kept_;
  mutable bool keptValid_ = false;
  bool checking_ = false;  // inside ShowRecord's setValue, before any painting
};

}  // namespace tolvo
