#include "ui/ImportDialog.h"

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
#include <string>
#include <utility>

#include "import/ImportChecks.h"
#include "source/DbfTable.h"
#include "source/FileLookup.h"
#include "ui/Centring.h"
#include "ui/ErrorReport.h"
#include "ui/Fonts.h"
#include "ui/QuitSignals.h"
#include "ui/RecordNumberLabel.h"
#include "ui/RecordProgressBar.h"

namespace tolvo {
namespace {

int ToBarValue(long long value) {
  if (value < 0) return 0;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

QPoint ToPoint(ImportDialogLayout::Point p) { return {p.x, p.y}; }
QRect ToRect(ImportDialogLayout::Box b) { return {b.x, b.y, b.width, b.height}; }

// A label sized to its text; `room` is the width it may take before it
// runs into its neighbour.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                  ImportDialogLayout::Point at, int room) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  FitTextToWidth(label, room);
  label->move(ToPoint(at));
  label->resize(label->sizeHint());
  return label;
}

}  // namespace

// The dialog as a run's display: the number labels and the bar follow the
// records, and the message loop runs once for every record, so that the
// dialog is repainted and answers the user throughout; a request to end the
// program stops the run between two records.
class ImportDialog::Display : public IRunDisplay {
 public:
  explicit Display(ImportDialog& dialog) : dialog_(dialog) {}

  void Begin(std::optional<std::int64_t> total) override {
    if (!total) {
      dialog_.recordNumberLabel_->setText(QStringLiteral("0"));
      return;
    }
    // A bar whose maximum equals its minimum turns into a busy indicator;
    // an empty table shows an empty bar instead.
    dialog_.progressBar_->setRange(0, *total > 0 ? ToBarValue(*total) : 1);
    dialog_.totalLabel_->setText(QString::number(*total));
    dialog_.progressBar_->setValue(0);
  }

  void ShowRecord(std::int64_t number) override {
    if (dialog_.progressBar_) dialog_.progressBar_->ShowRecord(ToBarValue(number));
    dialog_.recordNumberLabel_->SetNumber(number);
    QApplication::processEvents();
    shown_ = true;
  }

  // Asked to end meanwhile: stop between two records, as if the program
  // had been closed; every record so far has been posted. Asked without a
  // record before it, while the table passes over a long run of deleted
  // records, the message loop runs here, so that the dialog still answers.
  bool StopRequested() override {
    if (!std::exchange(shown_, false)) QApplication::processEvents();
    return QuitRequested();
  }

 private:
  ImportDialog& dialog_;
  bool shown_ = false;
};

// Marks a run: the start button is disabled for its duration and whatever
// ends it (its end, an error) gives the button back.
class ImportDialog::RunScope {
 public:
  explicit RunScope(ImportDialog& dialog) : dialog_(dialog) {
    dialog_.running_ = true;
    dialog_.startButton_->setEnabled(false);
  }
  ~RunScope() {
    dialog_.running_ = false;
    dialog_.startButton_->setEnabled(true);
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  ImportDialog& dialog_;
};

ImportDialog::ImportDialog(const ImportKind& kind, ICallbookHost& host, QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      host_(host),
      recordStep_(kind.recordStep),
      lineStep_(kind.lineStep) {
  if (kind.source == SourceKind::DbaseTable)
    table_ = std::make_unique<DbfTable>("Calls", kind.tableName);
  const ImportDialogLayout& layout = kind.layout;

  setObjectName(QString::fromLatin1(kind.dialogName));
  setWindowTitle(QString::fromUtf8(kind.caption));
  // A fixed dialog frame: no resizing, no maximising, no help button.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(ProgramFont(11));
  setFixedSize(layout.client.width, layout.client.height);

  MakeInformation();
  startButton_ = new QPushButton(QString::fromUtf8(kind.startCaption), this);
  startButton_->setObjectName(QString::fromLatin1(kind.startName));
  startButton_->setAutoDefault(false);
  startButton_->setGeometry(ToRect(layout.startButton));
  connect(startButton_, &QPushButton::clicked, this, &ImportDialog::Start);
  MakeProgress();

  closeButton_ = new QPushButton(QStringLiteral("&Zamknij"), this);
  closeButton_->setObjectName(QStringLiteral("CloseBtn"));
  closeButton_->setGeometry(QRect(ToPoint(layout.closeButton), QSize(90, 25)));
  closeButton_->setDefault(true);
  connect(closeButton_, &QPushButton::clicked, this, [this] { Guarded([this] { reject(); }); });
  // Tab goes from the start button to the close button and back, as they
  // stand in the dialog; the close button takes the focus first.
  setTabOrder(startButton_, closeButton_);

  // Placed once, before the first showing, so that the toolkit does not
  // centre it over the main window instead.
  CentreOnDesktop(this);
}

void ImportDialog::MakeInformation() {
  const ImportDialogLayout& layout = kind_.layout;
  informationBox_ = new QGroupBox(QStringLiteral("Informacje"), this);
  informationBox_->setObjectName(QStringLiteral("GroupBox2"));
  informationBox_->setGeometry(ToRect(layout.informationBox));
  informationLabel_ = new QLabel(QString::fromUtf8(kind_.information), informationBox_);
  informationLabel_->setObjectName(QStringLiteral("Label1"));
  informationLabel_->setTextFormat(Qt::PlainText);
  informationLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The text keeps clear of the frame and the title, however the style
  // draws them: it starts no higher and no further left than the box's
  // contents, and where the font at hand is wider than the one the dialog
  // was laid out for, it is narrowed to the box and the label grown to it.
  const QRect inside = informationBox_->contentsRect();
  const ImportDialogLayout::Box& text = layout.informationText;
  const QPoint at(std::max(text.x, inside.left()), std::max(text.y, inside.top()));
  const int room = inside.right() + 1 - at.x();
  const int depth = inside.bottom() + 1 - at.y();
  FitTextToWidth(informationLabel_, room);
  const QSize wanted = informationLabel_->sizeHint();
  informationLabel_->setGeometry(at.x(), at.y(),
                                 std::min(std::max(text.width, wanted.width()), room),
                                 std::min(std::max(text.height, wanted.height()), depth));
}

void ImportDialog::MakeProgress() {
  const ImportDialogLayout& layout = kind_.layout;
  const QFont large = ProgramFont(15);
  const QString processed = QString::fromUtf8("Przetwarzany wpis:");
  const int wide = layout.client.width;
  recordCaption_ = MakeLabel(this, "Label2", processed, large, layout.recordCaption,
                             layout.recordNumber.x - layout.recordCaption.x - 4);
  // The number that changes for every record draws itself on a surface of
  // its own, at the cost of its digits alone.
  recordNumberLabel_ = new RecordNumberLabel(processed, this);
  recordNumberLabel_->setObjectName(QStringLiteral("LogBookAktLbl"));
  recordNumberLabel_->setFont(large);
  recordNumberLabel_->move(ToPoint(layout.recordNumber));
  recordNumberLabel_->resize(recordNumberLabel_->sizeHint());
  if (kind_.HasTotal()) {
    totalCaption_ =
        MakeLabel(this, "Label3", QString::fromUtf8("Liczba wszystkich wpisów:"), large,
                  layout.totalCaption, layout.totalNumber.x - layout.totalCaption.x - 4);
    totalLabel_ = MakeLabel(this, "LogbookAllLbl", processed, large, layout.totalNumber, wide);

    progressBox_ = new QGroupBox(QStringLiteral("Zaawansowanie"), this);
    progressBox_->setObjectName(QStringLiteral("GroupBox1"));
    progressBox_->setGeometry(0, layout.client.height - 41, layout.client.width, 41);
    progressBar_ = new RecordProgressBar(progressBox_);
    progressBar_->setObjectName(QStringLiteral("ProgBarSP"));
    progressBar_->setTextVisible(false);
    progressBar_->setGeometry(8, 16, layout.progressBarWidth, 17);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
  }
  // The number labels are as wide as the dialog lets them be.
  for (QWidget* number :
       {static_cast<QWidget*>(recordNumberLabel_), static_cast<QWidget*>(totalLabel_)}) {
    if (number) number->resize(layout.client.width - number->x() - 8, number->height());
  }
}

ImportDialog::~ImportDialog() = default;

QString ImportDialog::RecordNumberText() const { return recordNumberLabel_->text(); }

QString ImportDialog::TotalText() const { return totalLabel_ ? totalLabel_->text() : QString(); }

QWidget* ImportDialog::RecordNumberWidget() const { return recordNumberLabel_; }

QWidget* ImportDialog::TotalWidget() const { return totalLabel_; }

void ImportDialog::Activated() {
  // While an import runs the labels show its progress; coming back to the
  // dialog from another window must not wipe the total out.
  if (running_) return;
  ClearNumbers();
}

void ImportDialog::ClearNumbers() {
  recordNumberLabel_->clear();
  if (totalLabel_) totalLabel_->clear();
}

void ImportDialog::showEvent(QShowEvent* event) {
  // Placed again at the first showing, now with the frame where the window
  // system knows it already; later showings keep where the user put it.
  if (!placed_ && !event->spontaneous()) {
    placed_ = true;
    CentreOnDesktop(this);
  }
  QDialog::showEvent(event);
  Guarded([this] { Activated(); });
}

bool ImportDialog::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Guarded([this] { Activated(); });
  return QDialog::event(event);
}

void ImportDialog::reject() {
  // The import runs inside the start button's handler; the dialog must not
  // go away under it. The close is carried out when the run has ended.
  if (running_) {
    closeRequested_ = true;
    return;
  }
  QDialog::reject();
}

void ImportDialog::RunGuarded(const std::function<void()>& body) {
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

std::optional<std::filesystem::path> ImportDialog::CheckFilesAndOpenCallbook() {
  const ImportFiles files = FindImportFiles(kind_, host_.UsesWorkingFolderDatabase());
  if (!files.Found()) {
    // The fixed text alone, as the dialog has always said it.
    ShowMessage(QString::fromStdString(files.message));
    return std::nullopt;
  }
  const std::optional<std::filesystem::path>& source = files.list;
  if (!host_.OpenCallbook()) {
    // The fixed line, and under it why and what to do.
    const std::string cause = host_.OpenFailure();
    ShowMessage(QString::fromUtf8(kCannotOpenCallbook) +
                (cause.empty() ? QString() : QLatin1Char('\n') + QString::fromStdString(cause)));
    return std::nullopt;
  }
  return source;
}

void ImportDialog::Start() {
  RunGuarded([this] {
    const std::optional<std::filesystem::path> file = CheckFilesAndOpenCallbook();
    if (!file) return;
    Display display(*this);
    // A row that waits for another program's lock keeps the dialog alive:
    // its messages are handled meanwhile, and closing it or ending the
    // program gives the wait up.
    host_.SetLockWaitHandler([this] {
      QCoreApplication::processEvents();
      return !QuitRequested() && !closeRequested_;
    });
    struct HandlerReset {
      ICallbookHost& host;
      ~HandlerReset() { host.SetLockWaitHandler({}); }
    } reset{host_};
    RunSummary summary;
    if (table_) {
      TableSource source(*table_, recordStep_);
      summary = RunImport(source, host_.OpenedCallbook(), display);
    } else {
      ReportSource source(*file, lineStep_);
      summary = RunImport(source, host_.OpenedCallbook(), display);
    }
    if (!summary.stopped) Finished();
  });
}

void ImportDialog::Finished() {
  ShowMessage(QString::fromUtf8(kImportFinished));
  ClearNumbers();
  if (progressBar_) progressBar_->setValue(0);
}

}  // namespace tolvo
