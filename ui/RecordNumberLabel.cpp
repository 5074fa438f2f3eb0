#include "ui/RecordNumberLabel.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QExposeEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOption>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <memory>

#if TOLVO_WITH_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace tolvo {
namespace {

// A label's default alignment, and the direction of the digits.
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextForceLeftToRight;
// The longest wait for the display server's answer to the last drawing
// before the surface goes.
constexpr int kSettleMs = 250;
// Pixels of anti-aliasing that may fall beyond a glyph's ink rectangle,
// across and down.
constexpr int kInkSlack = 2;
constexpr int kInkRows = 1;

#if TOLVO_WITH_XCB
// Puts images straight into an X window: one PutImage request each, sent at
// once. The toolkit's own way copies every image through a pixmap, with two
// clip changes, five requests that the server works through for every record.
class XWindowImages {
 public:
  // For `window` when it is on an X server that takes the pixels of a
  // QImage::Format_RGB32 image as they are (32 bits a pixel, least
  // significant byte first, 8 bits each of red, green and blue); nullptr
  // otherwise. Asks the server about the window: two round trips, once.
  static std::unique_ptr<XWindowImages> For(const QWindow& window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window.handle()) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || xcb_connection_has_error(c)) return nullptr;
    const auto id = static_cast<xcb_window_t>(window.winId());
    using Geometry = std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)>;
    using Attributes = std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)>;
    const Geometry geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr), &std::free);
    const Attributes attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr), &std::free);
    if (!geometry || !attributes) return nullptr;
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (Q_BYTE_ORDER != Q_LITTLE_ENDIAN || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
      return nullptr;
    bool pixels = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
      if (f.data->depth == geometry->depth)
        pixels = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    bool colours = false;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s))
      for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
          if (v.data->visual_id == attributes->visual)
            colours = v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                      v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00 &&
                      v.data->blue_mask == 0xff;
    if (!pixels || !colours) return nullptr;
    std::unique_ptr<XWindowImages> images(new XWindowImages(c, id, geometry->depth));
    const uint32_t noExposures = 0;
    xcb_create_gc(c, images->gc_, id, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    return images;
  }

  ~XWindowImages() {
    if (qGuiApp && !xcb_connection_has_error(connection_)) xcb_free_gc(connection_, gc_);
  }

  xcb_window_t Window() const { return window_; }

  void Put(const QImage& image) {
    xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                  static_cast<uint16_t>(image.width()), static_cast<uint16_t>(image.height()), 0,
                  0, 0, depth_, static_cast<uint32_t>(image.sizeInBytes()), image.constBits());
    xcb_flush(connection_);
  }

 private:
  XWindowImages(xcb_connection_t* c, xcb_window_t window, uint8_t depth)
      : connection_(c), window_(window), gc_(xcb_generate_id(c)), depth_(depth) {}

  xcb_connection_t* connection_;
  xcb_window_t window_;
  xcb_gcontext_t gc_;
  uint8_t depth_;
};
#endif

}  // namespace

// The window the text is drawn on, with a backing store of its own: what it
// hands to the display server is the size of the text, not of the dialog.
class RecordNumberLabel::Surface final : public QWindow {
 public:
  explicit Surface(RecordNumberLabel& label) : label_(label), store_(this) {}

  // Never the focus window, or the dialog would lose its focus widget to
  // it. Of the tooltip type, because a window system that activates every
  // window it shows (the offscreen one does) spares tooltips.
  void KeepOutOfFocus() {
    setFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
             Qt::WindowDoesNotAcceptFocus);
  }

  // On the screen: shown, and exposed itself or inside an exposed top-level
  // window (a subsurface on Wayland is never sent an exposure of its own).
  bool Showing() const {
    if (!isVisible() || Size().isEmpty()) return false;
    if (isExposed()) return true;
    const QWidget* top = label_.window();
    return top->windowHandle() && top->windowHandle()->isExposed();
  }

  // Draws the label's text, hands it to the display server, and says so; or,
  // when not on the screen, leaves it to the next exposure.
  void Draw(bool changed) {
    if (!Showing()) {
      stale_ = true;
      return;
    }
    // The part of the label that the surface covers.
    const QRect area = label_.container_->geometry();
    if (!PutToX(area)) {
      const QRect own(QPoint(0, 0), area.size());
      store_.resize(own.size());
      store_.beginPaint(own);
      {
        QPainter painter(store_.paintDevice());
        painter.translate(-area.topLeft());
        label_.DrawText(painter, area, true);
      }
      store_.endPaint();
      store_.flush(own);
    }
    stale_ = false;
    emit label_.Drawn(label_.text_, changed);
  }

  bool Stale() const { return stale_; }

  // On Wayland the toolkit asks the compositor for a frame event with the
  // first drawing after the last one was answered, and takes the answer on a
  // thread of its own. Qt 6.4 can free a surface's pending frame request
  // twice when that answer arrives while the surface is being hidden, which
  // aborts the program. So before the surface is hidden, this waits (at most
  // kSettleMs) until the last request has been answered: the toolkit then
  // delivers an update request, which this asks for. Only queued calls are
  // run meanwhile (the toolkit's handling of the answer among them): no user
  // input, no painting.
  void Settle() {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || !Showing()) return;
    answered_ = false;
    requestUpdate();
    const QDeadlineTimer deadline(kSettleMs);
    while (!answered_ && !deadline.hasExpired()) {
      QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
      if (!answered_) QThread::usleep(200);
    }
  }

 private:
  // The size the label has given the surface; the window itself may learn
  // of a change only when the window system confirms it.
  QSize Size() const { return label_.container_->size(); }

  // On X11: draws into an image of its own and puts it into the window with
  // one request; false where that does not apply.
  bool PutToX(const QRect& area) {
#if TOLVO_WITH_XCB
    if (!xImagesTried_ || (xImages_ && xImages_->Window() != winId())) {
      xImagesTried_ = true;
      xImages_ = XWindowImages::For(*this);
    }
    if (!xImages_) return false;
    const qreal ratio = devicePixelRatio();
    const QSize pixels = area.size() * ratio;
    if (canvas_.size() != pixels) {
      canvas_ = QImage(pixels, QImage::Format_RGB32);
      canvas_.setDevicePixelRatio(ratio);
    }
    {
      QPainter painter(&canvas_);
      painter.translate(-area.topLeft());
      label_.DrawText(painter, area, true);
    }
    xImages_->Put(canvas_);
    return true;
#else
    Q_UNUSED(area);
    return false;
#endif
  }

 protected:
  void exposeEvent(QExposeEvent*) override {
    if (isExposed()) Draw(false);
  }
  void resizeEvent(QResizeEvent*) override { stale_ = true; }
  bool event(QEvent* event) override {
    if (event->type() == QEvent::UpdateRequest) {
      answered_ = true;
      return true;
    }
    return QWindow::event(event);
  }

 private:
  RecordNumberLabel& label_;
  QBackingStore store_;
  bool stale_ = true;
  bool answered_ = false;  // an update request has come since Settle asked for one
#if TOLVO_WITH_XCB
  std::unique_ptr<XWindowImages> xImages_;
  bool xImagesTried_ = false;
  QImage canvas_;
#endif
};

RecordNumberLabel::RecordNumberLabel(const QString& text, QWidget* parent)
    : QWidget(parent), text_(text) {
  surface_ = new Surface(*this);
  container_ = QWidget::createWindowContainer(surface_, this);
  surface_->KeepOutOfFocus();  // after the container has set flags of its own
  container_->setObjectName(QStringLiteral("RecordNumberSurface"));
  container_->setFocusPolicy(Qt::NoFocus);
  container_->setAttribute(Qt::WA_TransparentForMouseEvents);
  container_->hide();
  FitSurface();
}

RecordNumberLabel::~RecordNumberLabel() {
  if (watchedWindow_) watchedWindow_->removeEventFilter(this);
}

QWindow* RecordNumberLabel::SurfaceWindow() const { return surface_; }

void RecordNumberLabel::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  FitSurface();
  DrawSurface(true);
}

QSize RecordNumberLabel::sizeHint() const {
  // As a label measures its text: one line, no margins.
  const QRect bounds = QFontMetrics(font()).boundingRect(0, 0, 2000, 2000, Qt::AlignLeft, text_);
  return bounds.size().expandedTo(minimumSize());
}

QSize RecordNumberLabel::minimumSizeHint() const { return sizeHint(); }

QRect RecordNumberLabel::InkRect(const QString& text) const {
  if (text.isEmpty()) return {};
  const QFontMetrics metrics(font());
  const QRect area = contentsRect();
  // The line as a label places it: at the left, centred vertically.
  const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
  const QRect bounds = metrics.boundingRect(text);
  QRect ink = metrics.tightBoundingRect(text).translated(area.left(), baseline);
  ink.setLeft(area.left());
  ink.setRight(area.left() + std::max(bounds.right(), metrics.horizontalAdvance(text) - 1));
  return ink.adjusted(0, -kInkRows, kInkSlack, kInkRows).intersected(rect());
}

void RecordNumberLabel::FitSurface() {
  const QRect wanted = InkRect(text_);
  if (wanted.isEmpty()) {
    if (!container_->isHidden()) {
      // What the surface covered shows the label's own drawing again.
      const QRect covered = container_->geometry();
      surface_->Settle();
      container_->hide();
      update(covered);
    }
    return;
  }
  // The surface grows with the text and keeps its size while the text
  // fits, so that counting up does not resize it at every record; an empty
  // text hides it.
  const QRect kept = container_->isHidden() ? QRect() : container_->geometry().intersected(rect());
  const QRect fitted = wanted.united(kept);
  if (container_->geometry() != fitted) container_->setGeometry(fitted);
  if (container_->isHidden()) container_->show();
}

void RecordNumberLabel::DrawSurface(bool changed) {
  if (!container_->isHidden()) surface_->Draw(changed);
}

void RecordNumberLabel::DrawText(QPainter& painter, const QRect& area, bool background) const {
  if (background) {
    // The window's background, aligned as the window paints it.
    const QWidget* top = window();
    painter.setBrushOrigin(-mapTo(top, QPoint(0, 0)));
    painter.fillRect(area, top->palette().brush(top->backgroundRole()));
  }
  painter.setFont(font());
  QStyleOption option;
  option.initFrom(this);
  style()->drawItemText(&painter, contentsRect(), kTextFlags, option.palette, isEnabled(), text_,
                        foregroundRole());
}

void RecordNumberLabel::paintEvent(QPaintEvent*) {
  // The label's own drawing, in the window: what a picture of the window
  // shows, and what is seen where the surface is not.
  QPainter painter(this);
  DrawText(painter, rect(), false);
}

void RecordNumberLabel::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
      updateGeometry();
      update();
      FitSurface();
      DrawSurface(false);
      break;
    default:
      break;
  }
  QWidget::changeEvent(event);
}

void RecordNumberLabel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitSurface();
}

void RecordNumberLabel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The top-level window's exposure draws the surface, where the window
  // system does not expose the surface itself.
  QWindow* top = window()->windowHandle();
  if (top != watchedWindow_) {
    if (watchedWindow_) watchedWindow_->removeEventFilter(this);
    watchedWindow_ = top;
    if (watchedWindow_) watchedWindow_->installEventFilter(this);
  }
  FitSurface();
  if (surface_->Stale()) DrawSurface(false);
}

bool RecordNumberLabel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedWindow_ && event->type() == QEvent::Expose && watchedWindow_->isExposed())
    DrawSurface(false);
  return QWidget::eventFilter(watched, event);
}

}  // namespace tolvo
