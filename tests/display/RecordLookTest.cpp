// The import window looks, at every stage of an import, exactly as it would
// with the stock label and progress bar in place of the record number and
// the bar it has: idle, at records 1, 2, 3, 10, 1000 and the last, and after
// the closing message. What is on the screen is compared: read back from the
// X server (Xvfb, the xcb platform), or put together from the windows'
// pictures on the offscreen platform, where the number's surface is a
// window of its own over the dialog's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "import/ImportKinds.h"
#include "tests/display/ImportWindowProcess.h"
#include "tests/support/DisplayServer.h"
#include "ui/ErrorReport.h"
#include "ui/ImportDialog.h"
#include "ui/RecordNumberLabel.h"

namespace tolvo {
namespace {

constexpr int kRecords = 1200;
const std::set<int> kShownAt = {1, 2, 3, 10, 1000, kRecords};

void Settle(int ms) {
  const QDeadlineTimer deadline(ms);
  while (!deadline.hasExpired()) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
}

void ShowAndSettle(QWidget& w) {
  w.show();
  const QDeadlineTimer deadline(10000);
  while (!(w.windowHandle() && w.windowHandle()->isExposed()) && !deadline.hasExpired()) Settle(20);
  w.activateWindow();
  Settle(300);
}

// What the screen shows of `dialog`'s window.
QImage Shown(QWidget& dialog) {
  QImage shown =
      dialog.screen()->grabWindow(dialog.winId()).toImage().convertToFormat(QImage::Format_RGB32);
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) return shown;
  // Offscreen, each window keeps its own picture: the number's surface goes
  // over the dialog's where its container stands.
  auto* number = dialog.findChild<RecordNumberLabel*>();
  auto* container =
      number ? number->findChild<QWidget*>(QStringLiteral("RecordNumberSurface")) : nullptr;
  if (container && container->isVisible()) {
    QPainter painter(&shown);
    painter.drawImage(container->mapTo(&dialog, QPoint(0, 0)),
                      dialog.screen()->grabWindow(number->SurfaceWindow()->winId()).toImage());
  }
  return shown;
}

// Pictures of the dialog through an import of kRecords records: idle, at
// every record of kShownAt, and after the closing message.
std::vector<QImage> DialogPictures() {
  MemoryHost host;
  ImportDialog dialog(ImportKindOf(ImportKindId::CB), host);
  std::vector<QImage> pictures;
  int record = 0;
  dialog.SetRecordStep([&](const IRecordFields&, IStationLookup&) {
    if (kShownAt.count(++record)) pictures.push_back(Shown(dialog));
    return RecordPlan::Skip(RecordOutcome::Skipped);
  });
  ShowAndSettle(dialog);
  pictures.push_back(Shown(dialog));
  dialog.StartButton()->click();
  Settle(300);
  pictures.push_back(Shown(dialog));
  return pictures;
}

// The same with the stock widgets, given the calls that the import makes.
std::vector<QImage> StockPictures() {
  MemoryHost host;
  ImportDialog dialog(ImportKindOf(ImportKindId::CB), host);
  QWidget* own = dialog.RecordNumberWidget();
  auto* number = new QLabel(&dialog);
  number->setFont(own->font());
  number->setGeometry(own->geometry());
  own->hide();
  QProgressBar* ownBar = dialog.ProgressBar();
  auto* bar = new QProgressBar(dialog.ProgressBox());
  bar->setTextVisible(false);
  bar->setGeometry(ownBar->geometry());
  bar->setRange(0, 100);
  bar->setValue(0);
  ownBar->hide();
  auto* total = static_cast<QLabel*>(dialog.TotalWidget());

  std::vector<QImage> pictures;
  ShowAndSettle(dialog);
  pictures.push_back(Shown(dialog));
  // During the import the start button is disabled.
  dialog.StartButton()->setEnabled(false);
  bar->setRange(0, kRecords);
  total->setText(QString::number(kRecords));
  bar->setValue(0);
  for (int record = 1; record <= kRecords; ++record) {
    bar->setValue(record);
    number->setText(QString::number(record));
    QApplication::processEvents();
    if (kShownAt.count(record)) pictures.push_back(Shown(dialog));
  }
  dialog.StartButton()->setEnabled(true);
  number->clear();
  total->clear();
  bar->setValue(0);
  Settle(300);
  pictures.push_back(Shown(dialog));
  return pictures;
}

// Runs both in this process, on the platform the environment names, and
// tells which pictures differ ("" when none does).
std::string CompareInThisProcess() {
  ImportWindowProcess process(kRecords);
  SetMessageHook([](MessageKind, const QString&) {});
  const std::vector<QImage> dialog = DialogPictures();
  const std::vector<QImage> stock = StockPictures();
  if (dialog.size() != stock.size())
    return "pictures: " + std::to_string(dialog.size()) + " against " +
           std::to_string(stock.size());
  std::string differing;
  for (std::size_t i = 0; i < dialog.size(); ++i) {
    if (dialog[i].isNull() || dialog[i] != stock[i]) differing += " " + std::to_string(i);
  }
  return differing.empty() ? ""
                           : "differing pictures (0 = idle, last = after the end):" + differing;
}

void ExpectTheStockLook(bool offscreen) {
  std::string problem;
  const std::unique_ptr<DisplayServer> x = DisplayServer::StartX(problem);
  if (!x) GTEST_SKIP() << problem;
  std::string text;
  const bool ended = x->RunClient(
      [offscreen] {
        if (offscreen) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return CompareInThisProcess() + "\n";
      },
      180, text);
  ASSERT_TRUE(ended);
  EXPECT_EQ(text, "\n");
}

TEST(RecordLook, OffscreenTheDialogLooksAsTheStockWidgetsDrawIt) { ExpectTheStockLook(true); }

TEST(RecordLook, OnXTheDialogLooksAsTheStockWidgetsDrawIt) { ExpectTheStockLook(false); }

}  // namespace
}  // namespace tolvo
