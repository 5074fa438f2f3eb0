// The import dialog: one class for the five imports, each dialog configured
// by its entry in the table of import kinds. It holds the controls and their
// layout, the checks before an import, the opening of the callbook, the run
// over the source with the progress display and the message loop, and the
// closing message.
#pragma once

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "import/ImportKinds.h"
#include "import/ImportRun.h"
#include "store/ICallbook.h"
#include "ui/RecordProgressBar.h"

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tolvo {

class DbfTable;
class RecordNumberLabel;

// Where the dialog's callbook comes from: the program's main window, or in
// tests and benchmarks a store of their own.
class ICallbookHost {
 public:
  virtual ~ICallbookHost() = default;
  // Opens (again) the callbook on the working folder's LOG.DAT; false when
  // that fails.
  virtual bool OpenCallbook() = 0;
  // Whether that callbook is the working folder's LOG.DAT, which the dialog
  // looks for before anything else; false for a database named otherwise.
  virtual bool UsesWorkingFolderDatabase() const { return true; }
  // The callbook the steps write to; valid after a successful OpenCallbook.
  virtual ICallbook& OpenedCallbook() = 0;
  // Why OpenCallbook failed, as one line; empty when there is nothing to add.
  virtual std::string OpenFailure() { return {}; }
  // Who is asked, about once a second, whether a row that waits for a lock
  // held by another program should go on waiting (see
  // Callbook::SetLockWaitHandler); an empty function takes the handler away.
  // A store that never waits may ignore it.
  virtual void SetLockWaitHandler(std::function<bool()>) {}
};

class ImportDialog : public QDialog {
  Q_OBJECT

 public:
  ImportDialog(const ImportKind& kind, ICallbookHost& host, QWidget* parent = nullptr);
  ~ImportDialog() override;

  const ImportKind& Kind() const { return kind_; }

  // True while an import runs.
  bool Running() const { return running_; }

  // Replaces the kind's per-record (or per-line) step; an empty one hands
  // no record on. For tests, the fault driver and the benchmark.
  void SetRecordStep(RecordStep step) { recordStep_ = std::move(step); }
  void SetLineStep(LineStep step) { lineStep_ = std::move(step); }

  // The controls. The total, its caption, the progress box and the bar are
  // nullptr in a dialog without a total.
  QGroupBox* InformationBox() const { return informationBox_; }
  QLabel* InformationLabel() const { return informationLabel_; }
  QPushButton* StartButton() const { return startButton_; }
  QLabel* RecordCaption() const { return recordCaption_; }
  QLabel* TotalCaption() const { return totalCaption_; }
  QGroupBox* ProgressBox() const { return progressBox_; }
  QProgressBar* ProgressBar() const { return progressBar_; }
  QPushButton* CloseButton() const { return closeButton_; }
  // What the number labels show: the record being processed and the total
  // ("" for no total).
  QString RecordNumberText() const;
  QString TotalText() const;
  // Where the numbers stand, for checks of the layout.
  QWidget* RecordNumberWidget() const;
  QWidget* TotalWidget() const;

  // Closing while an import runs waits for the import to end.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  class RunScope;
  class Display;

  // The group box "Informacje" with the kind's information text.
  void MakeInformation();
  // The number labels with their captions, and the box with the progress
  // bar where the kind has a total.
  void MakeProgress();

  // The start button: one whole import.
  void Start();
  // Runs whenever the dialog becomes the active window: empties the number
  // labels, unless an import runs.
  void Activated();
  // Runs `body` as the start button's handler: one run at a time, the start
  // button disabled meanwhile, an error reported once the run has ended, a
  // close asked for during the run carried out after it.
  void RunGuarded(const std::function<void()>& body);
  // The checks before an import; the source file's path when they pass.
  std::optional<std::filesystem::path> CheckFilesAndOpenCallbook();
  // The end of a run through the whole source: the closing message, then
  // the numbers emptied and the bar back at 0.
  void Finished();
  void ClearNumbers();

  const ImportKind& kind_;
  ICallbookHost& host_;
  RecordStep recordStep_;
  LineStep lineStep_;
  // A dBASE kind's table: opened by the first import and kept open until
  // the dialog is destroyed.
  std::unique_ptr<DbfTable> table_;

  QGroupBox* informationBox_ = nullptr;             // GroupBox2
  QLabel* informationLabel_ = nullptr;              // Label1
  QPushButton* startButton_ = nullptr;              // StartBtn or Button1
  QLabel* recordCaption_ = nullptr;                 // Label2
  RecordNumberLabel* recordNumberLabel_ = nullptr;  // LogBookAktLbl
  QLabel* totalCaption_ = nullptr;                  // Label3
  QLabel* totalLabel_ = nullptr;                    // LogbookAllLbl
  QGroupBox* progressBox_ = nullptr;                // GroupBox1
  RecordProgressBar* progressBar_ = nullptr;        // ProgBarSP
  QPushButton* closeButton_ = nullptr;              // CloseBtn

  bool running_ = false;
  bool closeRequested_ = false;
  bool placed_ = false;
};

}  // namespace tolvo
