#include "ui/ErrorReport.h"

#include <QApplication>
#include <QByteArray>
#include <QMessageBox>
#include <QStringDecoder>
#include <QWindow>

#include <cstdio>
#include <string>

#include "text/Cp1250Text.h"
#include "ui/Centring.h"
#include "ui/QuitSignals.h"

namespace tolvo {
namespace {

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

// A message box in the middle of the screen, whatever its text. The box
// sets its size only as it is shown (a long text wraps at a width taken from
// the screen), so it is placed after that; and again when it is first on the
// screen, where a window manager has put a frame round it by then.
class CentredMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    CentreOnDesktop(this);
    if (QWindow* window = windowHandle()) window->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    QWindow* window = windowHandle();
    if (watched == window && event->type() == QEvent::Expose && window->isExposed()) {
      window->removeEventFilter(this);
      CentreOnDesktop(this);
    }
    return QMessageBox::eventFilter(watched, event);
  }
};

void ShowBox(MessageKind kind, const QString& text) {
  CentredMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                        QString::fromUtf8(kAppTitle), text, QMessageBox::Ok);
  box.exec();
}

void Deliver(MessageKind kind, const QString& text) {
  if (QuitRequested()) {
    // The program is ending on its own: nobody waits for a plain message,
    // and an error goes to the terminal too, should the box not be seen.
    if (kind == MessageKind::Plain) return;
    std::fprintf(stderr, "%s: %s\n", kAppTitle, text.toLocal8Bit().constData());
  }
  if (Hook()) {
    Hook()(kind, text);
  } else {
    ShowBox(kind, text);
  }
}

}  // namespace

MessageHook SetMessageHook(MessageHook hook) {
  MessageHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

void ShowMessage(const QString& text) { Deliver(MessageKind::Plain, text); }

QString UnknownErrorText() {
  return QString::fromUtf8(
      "Wystąpił nieoczekiwany błąd, którego przyczyny program nie zna. Spróbuj ponownie; jeśli "
      "błąd się powtórzy, zamknij TolvoIMP i uruchom go jeszcze raz.");
}

QString ErrorReportText(std::string_view message) {
  QByteArray bytes(message.data(), static_cast<qsizetype>(message.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(bytes);
  if (utf8.hasError()) text = QString::fromStdString(Cp1250ToUtf8(message));
  if (text.isEmpty()) return UnknownErrorText();
  // Compare the last code point, not the last UTF-16 unit.
  const char32_t last = text.back().isLowSurrogate() && text.size() > 1
                            ? QChar::surrogateToUcs4(text[text.size() - 2], text.back())
                            : text.back().unicode();
  if (last > U'.') text += QLatin1Char('.');
  return text;
}

void ShowErrorReport(std::string_view message) {
  Deliver(MessageKind::Error, ErrorReportText(message));
}

void ReportCurrentException() noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      ShowErrorReport(e.what());
    } catch (...) {
      Deliver(MessageKind::Error, UnknownErrorText());
    }
  } catch (...) {
    // Showing the report failed (out of memory, a throwing hook): nothing
    // is left to show it with, so at least leave a trace on the console.
    std::fputs("TolvoIMP: nie udało się pokazać komunikatu o błędzie\n", stderr);
  }
}

}  // namespace tolvo
