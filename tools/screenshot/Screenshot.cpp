#include "tools/screenshot/Screenshot.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "ui/ImportDialog.h"
#include "import/ImportKinds.h"
#include "ui/QuitSignals.h"

namespace tolvo {
namespace {

const QString kRunning = QStringLiteral(".running");

// The import whose dialog has that object name.
const ImportKind* KindOfDialog(const QString& dialog) {
  for (const ImportKind& kind : ImportKinds()) {
    if (dialog == QLatin1String(kind.dialogName)) return &kind;
  }
  return nullptr;
}

// Calls `then` once `widget` is on the screen (or after three seconds, on a
// platform that never says so), and a moment later, so that it has painted.
void WhenShown(QWidget* widget, std::function<void()> then) {
  auto* poll = new QTimer(qApp);
  const QDeadlineTimer deadline(3000);
  QObject::connect(poll, &QTimer::timeout, poll, [=] {
    const QWindow* window = widget->windowHandle();
    const bool shown = widget->isVisible() && window && window->isExposed();
    if (!shown && !deadline.hasExpired()) return;
    poll->stop();
    poll->deleteLater();
    QTimer::singleShot(100, qApp, then);
  });
  poll->start(20);
}

void Finish(const QPixmap& picture, const QString& file, const std::function<void(bool)>& done) {
  // Quality 0: the smallest file PNG allows (it is lossless anyway).
  const bool saved = !picture.isNull() && picture.save(file, "PNG", 0);
  if (!saved) {
    std::fprintf(stderr, "TolvoIMP: the picture could not be saved as %s\n",
                 file.toLocal8Bit().constData());
  }
  done(saved);
  RequestQuit();
}

// The main window with its menu "System" open, in one picture.
QPixmap WindowWithMenu(MainWindow& main) {
  const QPixmap window = main.grab();
  const QPixmap menu = main.SystemMenu()->grab();
  const QRect windowRect(main.mapToGlobal(QPoint(0, 0)), window.deviceIndependentSize().toSize());
  const QRect menuRect(main.SystemMenu()->pos(), menu.deviceIndependentSize().toSize());
  const QRect all = windowRect.united(menuRect);
  const qreal ratio = window.devicePixelRatio();
  QPixmap picture(all.size() * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.drawPixmap(windowRect.topLeft() - all.topLeft(), window);
  painter.drawPixmap(menuRect.topLeft() - all.topLeft(), menu);
  return picture;
}

// Watches a running import and takes the picture half-way through it.
void WatchImport(ImportDialog* dialog, const QString& file, std::function<void(bool)> done) {
  auto* watch = new QTimer(qApp);
  const QDeadlineTimer deadline(20000);
  QObject::connect(watch, &QTimer::timeout, watch, [=] {
    bool known = false;
    const long long current = dialog->RecordNumberText().toLongLong(&known);
    long long target = 20;
    if (dialog->Kind().HasTotal()) {
      bool totalKnown = false;
      const long long total = dialog->TotalText().toLongLong(&totalKnown);
      if (totalKnown) target = std::max(1LL, total / 2);
    }
    // The import may also have ended before that: its closing message shows.
    const bool ended = QApplication::activeModalWidget() != dialog && dialog->isVisible();
    if (!(known && current >= target) && !ended && !deadline.hasExpired()) return;
    watch->stop();
    watch->deleteLater();
    Finish(dialog->grab(), file, done);
  });
  watch->start(0);
  QTimer::singleShot(0, dialog->StartButton(), [dialog] { dialog->StartButton()->click(); });
}

}  // namespace

std::optional<ScreenshotRequest> ScreenshotFromEnvironment() {
  if (!qEnvironmentVariableIsSet("TOLVO_SCREENSHOT")) return std::nullopt;
  ScreenshotRequest request;
  request.window = qEnvironmentVariable("TOLVO_SCREENSHOT");
  request.file = qEnvironmentVariable("TOLVO_SCREENSHOT_FILE");
  if (request.file.isEmpty()) request.file = request.window + QStringLiteral(".png");
  return request;
}

bool IsScreenshotWindow(const QString& window) {
  if (window == QLatin1String("DM") || window == QLatin1String("System1")) return true;
  QString dialog = window;
  if (dialog.endsWith(kRunning)) dialog.chop(kRunning.size());
  return KindOfDialog(dialog) != nullptr;
}

void TakeScreenshot(const ScreenshotRequest& request, ProgramWindows& windows,
                    std::function<void(bool)> done) {
  const QString file = request.file;
  MainWindow* main = &windows.Main();
  if (!IsScreenshotWindow(request.window)) {
    std::fprintf(stderr,
                 "TolvoIMP: no window \"%s\" to take a picture of (DM, System1, CzytajCBFrm, "
                 "CzytajLogCSPFrm, CzytajLogCOKFrm, CzytajOKCallFrm, CzytajAmateurCAFrm, "
                 "or a dialog's name followed by .running)\n",
                 request.window.toLocal8Bit().constData());
    done(false);
    RequestQuit();
    return;
  }
  if (request.window == QLatin1String("DM")) {
    WhenShown(main, [=] { Finish(main->grab(), file, done); });
    return;
  }
  if (request.window == QLatin1String("System1")) {
    WhenShown(main, [=] {
      main->menuBar()->setActiveAction(main->SystemMenu()->menuAction());
      WhenShown(main->SystemMenu(), [=] {
        const QPixmap picture = WindowWithMenu(*main);
        main->SystemMenu()->hide();
        Finish(picture, file, done);
      });
    });
    return;
  }
  QString name = request.window;
  const bool running = name.endsWith(kRunning);
  if (running) name.chop(kRunning.size());
  const ImportKind& kind = *KindOfDialog(name);
  ImportDialog* dialog = &windows.Dialog(kind.id);
  QAction* item = main->ImportAction(kind.id);
  // Opened the way the user opens it; the menu item returns only when the
  // dialog is closed, so everything else happens inside its modal loop.
  WhenShown(dialog, [=] {
    if (running) {
      WatchImport(dialog, file, done);
    } else {
      Finish(dialog->grab(), file, done);
    }
  });
  QTimer::singleShot(0, item, [item] { item->trigger(); });
}

}  // namespace tolvo
