// The frame that the five import dialogs share: the controls and their
// layout, the checks before an import, the opening of the callbook, the
// walk over the source with the progress display and the message pump, and
// the closing message. Each dialog is this frame, configured by its layout,
// plus its own source table and per-record step.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "source/RecordFields.h"
#include "store/ICallbook.h"

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tolvo {

class TDbfTable;

// What tells one dialog from another. Texts are UTF-8.
struct ImportFrameLayout {
  const char* instanceName;     // object name of the dialog
  const char* caption;          // window caption
  const char* startName;        // "StartBtn" or "Button1"
  const char* startCaption;
  const char* information;      // Label1, lines separated by '\n'
  const char* sourceFile;       // name tested in the working folder
  QSize client;                 // client area, fixed
  QRect groupBox2;              // "Informacje"
  QRect label1;                 // inside GroupBox2
  QRect startButton;
  QPoint label2;                // "Przetwarzany wpis:"
  QPoint logBookAkt;
  bool withTotal;               // Label3, LogbookAllLbl, GroupBox1, ProgBarSP
  QPoint label3;                // "Liczba wszystkich wpisów:"
  QPoint logbookAll;
  int progBarWidth;
  QPoint closeButton;
};

// What the frame needs of the callbook store; the program's main window by
// default.
class ICallbookHost {
 public:
  virtual ~ICallbookHost() = default;
  virtual bool OpenCallbook() = 0;
  virtual ICallbook& Callbook() = 0;
  // Why OpenCallbook failed, as one line; empty when there is nothing to add.
  virtual std::string OpenFailure() { return {}; }
};

// The frame's fixed messages.
inline constexpr const char* kMissingFilePrefix = "Brak pliku: ";
inline constexpr const char* kDatabaseFile = "Log.dat";
inline constexpr const char* kCannotOpenCallbook = "Nie udało się otworzyć bazy Tolvo.dat";
inline constexpr const char* kImportFinished = "Zakończono przetwarzanie!";

class TImportFrm : public QDialog {
  Q_OBJECT

 public:
  using RecordStep = std::function<void(const IRecordFields&, ICallbook&)>;
  using LineStep = std::function<void(std::string_view, ICallbook&)>;

  explicit TImportFrm(const ImportFrameLayout& layout, QWidget* parent = nullptr);
  ~TImportFrm() override;

  QGroupBox* GroupBox2 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* StartButton = nullptr;  // StartBtn or Button1, by the layout
  QLabel* Label2 = nullptr;
  QLabel* LogBookAktLbl = nullptr;
  QLabel* Label3 = nullptr;         // not in a dialog without a total
  QLabel* LogbookAllLbl = nullptr;  // not in a dialog without a total
  QGroupBox* GroupBox1 = nullptr;   // not in a dialog without a total
  QProgressBar* ProgBarSP = nullptr;  // not in a dialog without a total
  QPushButton* CloseBtn = nullptr;

  // True while an import runs.
  bool Running() const { return running_; }

  // The store the imports write to; nullptr (the default) means the main
  // window's.
  void SetCallbookHost(ICallbookHost* host) { host_ = host; }

  // The per-record (or per-line) step; each dialog sets its importer's.
  void SetRecordStep(RecordStep step) { recordStep_ = std::move(step); }
  void SetLineStep(LineStep step) { lineStep_ = std::move(step); }

 public slots:
  // Runs whenever the dialog becomes the active window: empties the number
  // labels.
  void FormActivate();

 protected:
  // One whole import of a dBASE table, run from the start button.
  void RunTableImport(TDbfTable& calls);
  // One whole import of the text report, run from the start button.
  void RunReportImport();

  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 public:
  // Closing while an import runs waits for the import to end.
  void reject() override;

 private:
  class RunScope;

  // Runs `body` as the start button's handler: one run at a time, the start
  // button disabled meanwhile, an error reported once the run has ended, a
  // close asked for during the run carried out after it.
  void RunImport(const std::function<void()>& body);
  // The checks before an import; the source file's path when they pass.
  std::optional<std::filesystem::path> CheckFilesAndOpenCallbook();
  ICallbookHost& Host();
  void ClearNumbers();

  const char* sourceFile_;
  RecordStep recordStep_;
  LineStep lineStep_;
  ICallbookHost* host_ = nullptr;
  bool running_ = false;
  bool closeRequested_ = false;
  bool placed_ = false;
};

}  // namespace tolvo
