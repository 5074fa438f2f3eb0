// The number of the record an import is at: a one-line label whose text
// changes for every record. It looks exactly as a plain label does (the text
// left-aligned and vertically centred, in the window text colour on the
// window's background), and it keeps a label's names for its text, so that
// it stands in for one. What differs is how a change reaches the screen: the
// text is drawn at once on a window-system surface of its own (a child
// window on X11, a subsurface on Wayland) that is no wider than the text, so
// that every change sends the display server the few pixels of the digits
// and none of the dialog's, and nothing waits for the server.
#pragma once

#include <QString>
#include <QWidget>

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

  // Draws the text as a label does, onto `painter`, whose origin is the
  // label's; with `background` the window's background over `area` first.
  void DrawText(QPainter& painter, const QRect& area, bool background) const;
  // Where the surface goes for `text`: from the label's left edge over the
  // text's ink, however the glyphs overhang their advance, with a margin
  // for anti-aliasing.
  QRect InkRect(const QString& text) const;
  // Shows, grows or hides the surface for the current text.
  void FitSurface();
  // Draws the surface now if it is on the screen.
  void DrawSurface(bool changed);

  QString text_;
  Surface* surface_ = nullptr;       // owned by `container_`
  QWidget* container_ = nullptr;
  QWindow* watchedWindow_ = nullptr;  // the top-level window whose exposure draws the surface
};

}  // namespace tolvo
