#include "ui/RecordNumberLabel.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QExposeEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOption>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    const Geometry geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr),
                            &std::free);
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
                  static_cast<uint16_t>(image.width()), static_cast<uint16_t>(image.height()), 0, 0,
                  0, depth_, static_cast<uint32_t>(image.sizeInBytes()), image.constBits());
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

// Pictures of a number's digits, drawn once for a canvas: for each length
// of a number, the canvas drawn with one digit at every place ("000",
// "111", ... "999"), cut into one range of columns a place. A number of that
// length is then put together by copying, at each place, the columns of its
// digit's picture: no text is shaped or rasterised, and where the canvas
// already shows a number of the same length only the places that differ are
// copied. A length is used only when, for every ordered pair of digits, the
// number that alternates them ("1212", "2121") comes out exactly as drawing
// it as text does; otherwise numbers of that length are drawn as text.
class DigitPictures {
 public:
  // Draws `text` onto all of `canvas`, as the label draws it there.
  using Render = std::function<void(QImage& canvas, const QString& text)>;

  // Forgets every picture; the next use draws them again for the canvas.
  void Clear() {
    for (Length& length : lengths_) length = Length{};
  }

  // Puts `digits` together on `canvas`, which shows `shown` (a number drawn
  // by this, or empty for anything else); false when numbers of that length
  // are to be drawn as text. `placeStart(i)` is where place i begins on the
  // canvas, in device pixels.
  bool Compose(QImage& canvas, std::string_view digits, std::string_view shown) const {
    const std::size_t count = digits.size();
    if (Composes(count) != true) return false;
    const Length& length = lengths_[count];
    const bool sameLength = shown.size() == count;
    for (std::size_t i = 0; i < count; ++i) {
      if (sameLength && shown[i] == digits[i]) continue;
      CopyPlace(length, i, digits[i] - '0', canvas);
    }
    return true;
  }

  // Draws the pictures for numbers of `count` digits on `canvas`, once.
  void Prepare(std::size_t count, const QImage& canvas, const Render& render,
               const std::function<double(std::size_t)>& placeStart) {
    if (count == 0 || count >= lengths_.size() || lengths_[count].tried) return;
    DrawPictures(lengths_[count], count, canvas, render, placeStart);
  }

  // Whether numbers of `count` digits are put together; nothing when that
  // has not been tried yet.
  std::optional<bool> Composes(std::size_t count) const {
    if (count == 0 || count >= lengths_.size() || !lengths_[count].tried) return std::nullopt;
    return lengths_[count].usable;
  }

 private:
  struct Length {
    bool tried = false;
    bool usable = false;
    std::array<QImage, 10> pictures;  // the canvas with every place showing the digit
    std::vector<int> cuts;            // place i: columns cuts[i] to cuts[i + 1]
  };

  static void CopyPlace(const Length& length, std::size_t place, int digit, QImage& canvas) {
    const QImage& picture = length.pictures[static_cast<std::size_t>(digit)];
    const int bytes = canvas.depth() / 8;
    const auto from = static_cast<std::size_t>(length.cuts[place] * bytes);
    const auto size =
        static_cast<std::size_t>((length.cuts[place + 1] - length.cuts[place]) * bytes);
    const auto stride = static_cast<std::size_t>(canvas.bytesPerLine());
    uchar* to = canvas.bits() + from;
    const uchar* in = picture.constBits() + from;
    for (int y = 0; y < canvas.height(); ++y, to += stride, in += stride) std::memcpy(to, in, size);
  }

  static void DrawPictures(Length& length, std::size_t count, const QImage& canvas,
                           const Render& render,
                           const std::function<double(std::size_t)>& placeStart) {
    length.tried = true;
    if (canvas.depth() % 8 != 0 || canvas.isNull()) return;
    length.cuts.assign(count + 1, 0);
    for (std::size_t i = 1; i < count; ++i)
      length.cuts[i] = std::clamp(static_cast<int>(std::lround(placeStart(i))), length.cuts[i - 1],
                                  canvas.width());
    length.cuts[count] = canvas.width();
    for (int d = 0; d < 10; ++d) {
      QImage& picture = length.pictures[static_cast<std::size_t>(d)];
      picture = QImage(canvas.size(), canvas.format());
      picture.setDevicePixelRatio(canvas.devicePixelRatio());
      render(picture, QString(static_cast<qsizetype>(count), QChar(u'0' + d)));
    }
    QImage drawn(canvas.size(), canvas.format()), composed(canvas.size(), canvas.format());
    drawn.setDevicePixelRatio(canvas.devicePixelRatio());
    for (int a = 0; a < 10 && count > 1; ++a) {
      for (int b = 0; b < 10; ++b) {
        if (a == b) continue;
        QString text(static_cast<qsizetype>(count), QChar());
        for (std::size_t i = 0; i < count; ++i) {
          const int digit = i % 2 == 0 ? a : b;
          text[static_cast<qsizetype>(i)] = QChar(u'0' + digit);
          CopyPlace(length, i, digit, composed);
        }
        render(drawn, text);
        if (drawn != composed) {
          length.pictures = {};
          return;
        }
      }
    }
    length.usable = true;
  }

  std::array<Length, 21> lengths_;
};

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
    QRect area = label_.container_->geometry();
    const qreal ratio = devicePixelRatio();
#if TOLVO_WITH_XCB
    if (!xImagesTried_ || (xImages_ && xImages_->Window() != winId())) {
      xImagesTried_ = true;
      xImages_ = XWindowImages::For(*this);
    }
    if (xImages_) {
      PaintCanvas(area, QImage::Format_RGB32, ratio);
      xImages_->Put(canvas_);
      Drawn(changed);
      return;
    }
#endif
    // The whole surface, as a region kept from one drawing to the next.
    const QRect own(QPoint(0, 0), area.size());
    if (store_.size() != own.size() || ownRegion_.boundingRect() != own) {
      store_.resize(own.size());
      ownRegion_ = QRegion(own);
    }
    store_.beginPaint(ownRegion_);
    QPaintDevice* device = store_.paintDevice();
    auto* image =
        device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    if (image && image->devicePixelRatio() == ratio && image->size() == area.size() * ratio &&
        image->depth() % 8 == 0) {
      // The store's own pixels, in its own format: the canvas is copied in.
      PaintCanvas(area, image->format(), ratio);
      const auto bytes = static_cast<std::size_t>(canvas_.width() * canvas_.depth() / 8);
      const auto stride = static_cast<std::size_t>(image->bytesPerLine());
      const auto canvasStride = static_cast<std::size_t>(canvas_.bytesPerLine());
      uchar* to = image->bits();
      const uchar* from = canvas_.constBits();
      for (int y = 0; y < canvas_.height(); ++y, to += stride, from += canvasStride)
        std::memcpy(to, from, bytes);
    } else {
      QPainter painter(device);
      painter.translate(-area.topLeft());
      label_.DrawText(painter, area, true, label_.text_);
      shown_.clear();
    }
    store_.endPaint();
    store_.flush(ownRegion_);
    Drawn(changed);
  }

  // Whether numbers of `count` digits are put together from pictures here;
  // nothing when not yet known.
  std::optional<bool> Composes(std::size_t count) const { return pictures_.Composes(count); }

  // Forgets the digits' pictures: the label's font, colours or state changed.
  void ForgetPictures() {
    pictures_.Clear();
    shown_.clear();
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

  void Drawn(bool changed) {
    stale_ = false;
    emit label_.Drawn(label_.text_, changed);
  }

  // Draws the label's text for `area` onto the canvas, an image in `format`:
  // a number from its digits' pictures where they compose, else as text.
  void PaintCanvas(const QRect& area, QImage::Format format, qreal ratio) {
    const QSize pixels = area.size() * ratio;
    if (canvas_.size() != pixels || canvas_.format() != format ||
        canvas_.devicePixelRatio() != ratio || canvasArea_ != area ||
        canvasOrigin_ != label_.mapTo(label_.window(), QPoint(0, 0))) {
      canvas_ = QImage(pixels, format);
      canvas_.setDevicePixelRatio(ratio);
      canvasArea_ = area;
      canvasOrigin_ = label_.mapTo(label_.window(), QPoint(0, 0));
      ForgetPictures();
    }
    const auto render = [this, area](QImage& canvas, const QString& text) {
      QPainter painter(&canvas);
      painter.translate(-area.topLeft());
      label_.DrawText(painter, area, true, text);
    };
    const std::string_view digits = label_.Digits();
    if (!pictures_.Composes(digits.size())) {
      // Where a place begins: the digits' advance apart from the text's start.
      const auto placeStart = [&](std::size_t place) {
        const double advance = QFontMetricsF(label_.font()).horizontalAdvance(QLatin1Char('0'));
        const double left = label_.contentsRect().left() - area.left();
        return (left + advance * static_cast<double>(place)) * ratio;
      };
      pictures_.Prepare(digits.size(), canvas_, render, placeStart);
    }
    if (pictures_.Compose(canvas_, digits, shown_)) {
      shown_.assign(digits);
      return;
    }
    render(canvas_, label_.text_);
    shown_.clear();
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
  // The drawing that the surface shows, with the part of the label it was
  // drawn for and the number it shows (empty when not a composed number).
  QImage canvas_;
  QRegion ownRegion_;
  QRect canvasArea_;
  QPoint canvasOrigin_;  // where the label stands in its window, which the background follows
  std::string shown_;
  DigitPictures pictures_;
#if TOLVO_WITH_XCB
  std::unique_ptr<XWindowImages> xImages_;
  bool xImagesTried_ = false;
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
  digitCount_ = 0;
  if (text_.size() < static_cast<qsizetype>(kMaxDigits)) {
    for (const QChar c : text_) {
      if (c < u'0' || c > u'9') {
        digitCount_ = 0;
        break;
      }
      digits_[digitCount_++] = static_cast<char>(c.unicode());
    }
  }
  TextChanged();
}

void RecordNumberLabel::SetNumber(std::int64_t number) {
  std::array<char, kMaxDigits> digits{};
  const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), number);
  const auto count = static_cast<std::size_t>(end - digits.data());
  if (error != std::errc() || number < 0) {
    setText(QString::number(number));
    return;
  }
  if (Digits() == std::string_view(digits.data(), count)) return;
  digits_ = digits;
  digitCount_ = count;
  // The text is rewritten in place: no allocation while nothing else holds it.
  text_.resize(static_cast<qsizetype>(count));
  QChar* out = text_.data();
  for (std::size_t i = 0; i < count; ++i) out[i] = QChar(static_cast<char16_t>(digits[i]));
  TextChanged();
}

void RecordNumberLabel::TextChanged() {
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

QRect RecordNumberLabel::NumberInkRect(std::size_t count) {
  if (surface_->Composes(count) != true) return InkRect(text_);
  QRect& ink = numberInk_[count];
  if (ink.isNull()) {
    for (char16_t d = u'0'; d <= u'9'; ++d)
      ink |= InkRect(QString(static_cast<qsizetype>(count), QChar(d)));
  }
  return ink;
}

void RecordNumberLabel::FitSurface() {
  const QRect wanted = digitCount_ > 0 ? NumberInkRect(digitCount_) : InkRect(text_);
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

void RecordNumberLabel::DrawText(QPainter& painter, const QRect& area, bool background,
                                 const QString& text) const {
  if (background) {
    // The window's background, aligned as the window paints it.
    const QWidget* top = window();
    painter.setBrushOrigin(-mapTo(top, QPoint(0, 0)));
    painter.fillRect(area, top->palette().brush(top->backgroundRole()));
  }
  painter.setFont(font());
  QStyleOption option;
  option.initFrom(this);
  style()->drawItemText(&painter, contentsRect(), kTextFlags, option.palette, isEnabled(), text,
                        foregroundRole());
}

void RecordNumberLabel::paintEvent(QPaintEvent*) {
  // The label's own drawing, in the window: what a picture of the window
  // shows, and what is seen where the surface is not.
  QPainter painter(this);
  DrawText(painter, rect(), false, text_);
}

void RecordNumberLabel::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
      numberInk_ = {};
      surface_->ForgetPictures();
      updateGeometry();
      update();
      FitSurface();
      DrawSurface(false);
      break;
    default: break;
  }
  QWidget::changeEvent(event);
}

void RecordNumberLabel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  numberInk_ = {};
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
