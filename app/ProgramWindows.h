// The program's windows, owned in one place: the main window and the five
// import dialogs, made and unmade in the program's fixed order. The program,
// the fault driver and the widget tests all build their windows with it.
#pragma once

#include <array>
#include <memory>

#include "import/ImportKinds.h"

namespace tolvo {

class ImportDialog;
class MainWindow;

class ProgramWindows {
 public:
  // The order in which the dialogs are made.
  static constexpr std::array<ImportKindId, 5> kCreationOrder = {
      ImportKindId::OKCall, ImportKindId::LogCSP, ImportKindId::LogCOK, ImportKindId::Amateur,
      ImportKindId::CB};

  // Makes the main window, then the dialogs in kCreationOrder, hidden, each
  // writing to the main window's callbook. Choosing an import from the menu
  // shows its dialog modally and returns when it is closed. The dialogs are
  // only shown and hidden, never made again, so that what they hold (an
  // opened source table) lasts from one showing to the next.
  ProgramWindows();
  // Destroys the dialogs, the last made first, then the main window; that
  // commits the rows the imports posted, as closing it does.
  ~ProgramWindows();
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  MainWindow& Main() const { return *main_; }
  ImportDialog& Dialog(ImportKindId kind) const;

  // Closes what is still open, as the user would: the dialogs are hidden,
  // the last made first, and the main window is closed if it is shown
  // (which commits). For the end of the program on a request to quit.
  void CloseAll();

 private:
  std::unique_ptr<MainWindow> main_;
  // By ImportKindId.
  std::array<std::unique_ptr<ImportDialog>, 5> dialogs_;
};

}  // namespace tolvo
