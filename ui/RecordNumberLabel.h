// The number of the record an import is at: a one-line label whose text
// changes for every record. It looks exactly as a plain label does (the text
// left-aligned and vertically centred, in the window text colour on the
// window's background), and it keeps a label's names for its text, so that
// it stands in for one. What differs is how a change reaches the screen: the
// text is drawn at once on a window-system surface of its own (a child
// window on X11, a subsurface on Wayland) that is no wider than the text, so
// that every change sends the display server the few pixels of the digits
// and none of the dialog's, and nothing waits for the server. A number is
// put together from pictures of its digits drawn once, where that gives
// exactly the pixels of drawing it as text, so that counting up shapes and
// rasterises no text.
#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string_view>

class QPainter;
class QWindow;

namespace tolvo {

class RecordNumberLabel : public QWidget {
  Q_OBJECT

 public:
  explicit RecordNumberLabel(const QString& text = QString(), QWidget* parent = nullptr);
  ~RecordNumberLabel() override;

  QString text() const { return text_; }
  // Draws the new text on the surface before it returns, when the window is
  // on the screen; otherwise the window's next exposure draws it.
  void setText(const QString& text);
  void clear() { setText(QString()); }
  // setText(QString::number(number)), without building a string when the
  // number is the one shown.
  void SetNumber(std::int64_t number);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // The window the text is drawn on, for tests that follow what reaches the
  // display server.
  QWindow* SurfaceWindow() const;

 signals:
  // The surface shows `text` and has been handed to the display server:
  // `changed` after a change of the text, false when the window system asked
  // for the drawing (first showing, exposure, resizing).
  void Drawn(const QString& text, bool changed);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Surface;

  // Draws `text` as a label does, onto `painter`, whose origin is the
  // label's; with `background` the window's background over `area` first.
  void DrawText(QPainter& painter, const QRect& area, bool background, const QString& text) const;
  // The text shown, when it is a number of ASCII digits alone; else empty.
  std::string_view Digits() const { return {digits_.data(), digitCount_}; }
  // Takes note of the text that has been set.
  void TextChanged();
  // Where the surface goes for `text`: from the label's left edge over the
  // text's ink, however the glyphs overhang their advance, with a margin
  // for anti-aliasing.
  QRect InkRect(const QString& text) const;
  // Where it goes for any number of `count` digits, once the digits' pictures
  // compose at that length: over the ink of every digit at every place.
  QRect NumberInkRect(std::size_t count);
  // Shows, grows or hides the surface for the current text.
  void FitSurface();
  // Draws the surface now if it is on the screen.
  void DrawSurface(bool changed);

  QString text_;
  static constexpr std::size_t kMaxDigits = 20;
  std::array<char, kMaxDigits> digits_{};
  std::size_t digitCount_ = 0;
  // NumberInkRect's answers by digit count; empty for not yet measured.
  std::array<QRect, kMaxDigits + 1> numberInk_{};
  Surface* surface_ = nullptr;  // owned by `container_`
  QWidget* container_ = nullptr;
  QWindow* watchedWindow_ = nullptr;  // the top-level window whose exposure draws the surface
};

}  // namespace tolvo
