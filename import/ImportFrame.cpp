#include "import/ImportFrame.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <climits>
#include <exception>
#include <stdexcept>
#include <string>

#include "app/ErrorReport.h"
#include "app/FMostrak.h"
#include "app/QuitSignals.h"
#include "source/DbfTable.h"
#include "source/FileLookup.h"
#include "source/TextReport.h"

namespace tolvo {
namespace {

// The main window as the frame's callbook host.
class MainWindowHost : public ICallbookHost {
 public:
  bool OpenCallbook() override { return Window().OpenCallbook(); }
  ICallbook& Callbook() override { return Window().Callbook(); }
  std::string OpenFailure() override { return Window().OpenFailure(); }

 private:
  static TDM& Window() {
    if (!DM) throw std::logic_error("Okno główne programu nie istnieje");
    return *DM;
  }
};

// Number of report lines before the first station.
constexpr int kReportHeaderLines = 4;

int ToBarValue(long long value) {
  if (value < 0) return 0;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// A label sized to its text; `room` is the width it may take before it
// runs into its neighbour.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                  QPoint at, int room) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  FitTextToWidth(label, room);
  label->move(at);
  label->resize(label->sizeHint());
  return label;
}

}  // namespace

// Marks a run: the start button is disabled for its duration and whatever
// ends it (its end, an error) gives the button back.
class TImportFrm::RunScope {
 public:
  explicit RunScope(TImportFrm& frame) : frame_(frame) {
    frame_.running_ = true;
    frame_.StartButton->setEnabled(false);
  }
  ~RunScope() {
    frame_.running_ = false;
    frame_.StartButton->setEnabled(true);
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  TImportFrm& frame_;
};

TImportFrm::TImportFrm(const ImportFrameLayout& layout, QWidget* parent)
    : QDialog(parent), sourceFile_(layout.sourceFile) {
  setObjectName(QString::fromLatin1(layout.instanceName));
  setWindowTitle(QString::fromUtf8(layout.caption));
  // A fixed dialog frame: no resizing, no maximising, no help button.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  const QFont font = ProgramFont(11);
  const QFont large = ProgramFont(15);
  setFont(font);
  setFixedSize(layout.client);

  GroupBox2 = new QGroupBox(QStringLiteral("Informacje"), this);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  GroupBox2->setGeometry(layout.groupBox2);
  Label1 = new QLabel(QString::fromUtf8(layout.information), GroupBox2);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setTextFormat(Qt::PlainText);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The text keeps clear of the frame and the title, however the style
  // draws them: it starts no higher and no further left than the box's
  // contents, and where the font at hand is wider than the one the dialog
  // was laid out for, it is narrowed to the box and the label grown to it.
  const QRect inside = GroupBox2->contentsRect();
  const QPoint at(std::max(layout.label1.x(), inside.left()),
                  std::max(layout.label1.y(), inside.top()));
  const int room = inside.right() + 1 - at.x();
  const int depth = inside.bottom() + 1 - at.y();
  FitTextToWidth(Label1, room);
  const QSize wanted = Label1->sizeHint();
  Label1->setGeometry(at.x(), at.y(),
                      std::min(std::max(layout.label1.width(), wanted.width()), room),
                      std::min(std::max(layout.label1.height(), wanted.height()), depth));

  StartButton = new QPushButton(QString::fromUtf8(layout.startCaption), this);
  StartButton->setObjectName(QString::fromLatin1(layout.startName));
  StartButton->setAutoDefault(false);
  StartButton->setGeometry(layout.startButton);

  const QString processed = QString::fromUtf8("Przetwarzany wpis:");
  const int wide = layout.client.width();
  Label2 = MakeLabel(this, "Label2", processed, large, layout.label2,
                     layout.logBookAkt.x() - layout.label2.x() - 4);
  LogBookAktLbl = MakeLabel(this, "LogBookAktLbl", processed, large, layout.logBookAkt, wide);
  if (layout.withTotal) {
    Label3 = MakeLabel(this, "Label3", QString::fromUtf8("Liczba wszystkich wpisów:"), large,
                       layout.label3, layout.logbookAll.x() - layout.label3.x() - 4);
    LogbookAllLbl = MakeLabel(this, "LogbookAllLbl", processed, large, layout.logbookAll, wide);

    GroupBox1 = new QGroupBox(QStringLiteral("Zaawansowanie"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(0, layout.client.height() - 41, layout.client.width(), 41);
    ProgBarSP = new QProgressBar(GroupBox1);
    ProgBarSP->setObjectName(QStringLiteral("ProgBarSP"));
    ProgBarSP->setTextVisible(false);
    ProgBarSP->setGeometry(8, 16, layout.progBarWidth, 17);
    ProgBarSP->setRange(0, 100);
    ProgBarSP->setValue(0);
  }
  // The number labels are as wide as the dialog lets them be.
  for (QLabel* number : {LogBookAktLbl, LogbookAllLbl}) {
    if (number) number->resize(layout.client.width() - number->x() - 8, number->height());
  }

  CloseBtn = new QPushButton(QStringLiteral("&Zamknij"), this);
  CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
  CloseBtn->setGeometry(QRect(layout.closeButton, QSize(90, 25)));
  CloseBtn->setDefault(true);
  connect(CloseBtn, &QPushButton::clicked, this, [this] { Guarded([this] { reject(); }); });
  // Tab goes from the start button to the close button and back, as they
  // stand in the dialog; the close button takes the focus first.
  setTabOrder(StartButton, CloseBtn);

  // Placed once, before the first showing, so that the toolkit does not
  // centre it over the main window instead.
  CentreOnDesktop(this);
}

TImportFrm::~TImportFrm() = default;

void TImportFrm::FormActivate() {
  // While an import runs the labels show its progress; coming back to the
  // dialog from another window must not wipe the total out.
  if (running_) return;
  ClearNumbers();
}

void TImportFrm::ClearNumbers() {
  LogBookAktLbl->clear();
  if (LogbookAllLbl) LogbookAllLbl->clear();
}

void TImportFrm::showEvent(QShowEvent* event) {
  // Placed again at the first showing, now with the frame where the window
  // system knows it already; later showings keep where the user put it.
  if (!placed_ && !event->spontaneous()) {
    placed_ = true;
    CentreOnDesktop(this);
  }
  QDialog::showEvent(event);
  Guarded([this] { FormActivate(); });
}

bool TImportFrm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Guarded([this] { FormActivate(); });
  return QDialog::event(event);
}

void TImportFrm::reject() {
  // The import runs inside the start button's handler; the dialog must not
  // go away under it. The close is carried out when the run has ended.
  if (running_) {
    closeRequested_ = true;
    return;
  }
  QDialog::reject();
}

ICallbookHost& TImportFrm::Host() {
  static MainWindowHost mainWindow;
  return host_ ? *host_ : mainWindow;
}

void TImportFrm::RunImport(const std::function<void()>& body) {
  Guarded([&] {
    if (running_ || QuitRequested()) return;
    std::exception_ptr failure;
    {
      RunScope scope(*this);
      try {
        body();
      } catch (...) {
        failure = std::current_exception();
      }
    }
    if (failure) std::rethrow_exception(failure);
  });
  if (closeRequested_ && !running_) {
    closeRequested_ = false;
    Guarded([this] { QDialog::reject(); });
  }
}

std::optional<std::filesystem::path> TImportFrm::CheckFilesAndOpenCallbook() {
  if (!FindInWorkingFolder(kDatabaseFile)) {
    ShowMessage(QString::fromUtf8(kMissingFilePrefix) + QString::fromUtf8(kDatabaseFile));
    return std::nullopt;
  }
  std::optional<std::filesystem::path> source = FindInWorkingFolder(sourceFile_);
  if (!source) {
    ShowMessage(QString::fromUtf8(kMissingFilePrefix) + QString::fromUtf8(sourceFile_));
    return std::nullopt;
  }
  if (!Host().OpenCallbook()) {
    // The fixed line, and under it why and what to do.
    const std::string cause = Host().OpenFailure();
    ShowMessage(QString::fromUtf8(kCannotOpenCallbook) +
                (cause.empty() ? QString() : QLatin1Char('\n') + QString::fromStdString(cause)));
    return std::nullopt;
  }
  return source;
}

void TImportFrm::RunTableImport(TDbfTable& calls) {
  RunImport([&] {
    if (!CheckFilesAndOpenCallbook()) return;
    ICallbook& book = Host().Callbook();
    calls.Open();
    const long long count = static_cast<long long>(calls.RecordCount());
    // A bar whose maximum equals its minimum turns into a busy indicator;
    // an empty table shows an empty bar instead.
    ProgBarSP->setRange(0, count > 0 ? ToBarValue(count) : 1);
    LogbookAllLbl->setText(QString::number(count));
    ProgBarSP->setValue(0);
    calls.First();
    while (!calls.Eof()) {
      const long long recNo = static_cast<long long>(calls.RecNo());
      ProgBarSP->setValue(ToBarValue(recNo));
      LogBookAktLbl->setText(QString::number(recNo));
      QApplication::processEvents();
      // Asked to end meanwhile: stop between two records, as if the
      // program had been closed; every record so far has been posted.
      if (QuitRequested()) return;
      if (recordStep_) recordStep_(calls, book);
      calls.Next();
    }
    ShowMessage(QString::fromUtf8(kImportFinished));
    ClearNumbers();
    ProgBarSP->setValue(0);
  });
}

void TImportFrm::RunReportImport() {
  RunImport([&] {
    std::optional<std::filesystem::path> path = CheckFilesAndOpenCallbook();
    if (!path) return;
    ICallbook& book = Host().Callbook();
    TTextReport report;
    report.Open(*path);
    LogBookAktLbl->setText(QStringLiteral("0"));
    std::string line;
    for (int i = 0; i < kReportHeaderLines && report.ReadLine(line); ++i) {
    }
    long long counter = 0;
    while (report.ReadLine(line)) {
      ++counter;
      LogBookAktLbl->setText(QString::number(counter));
      QApplication::processEvents();
      if (QuitRequested()) return;
      if (lineStep_) lineStep_(line, book);
    }
    report.Close();
    ShowMessage(QString::fromUtf8(kImportFinished));
    LogBookAktLbl->clear();
  });
}

}  // namespace tolvo
