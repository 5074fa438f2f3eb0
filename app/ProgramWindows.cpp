#include "app/ProgramWindows.h"

#include "app/MainWindow.h"
#include "ui/ImportDialog.h"
#include "ui/ErrorReport.h"

namespace tolvo {
namespace {

std::size_t Index(ImportKindId kind) { return static_cast<std::size_t>(kind); }

}  // namespace

ProgramWindows::ProgramWindows() : main_(std::make_unique<MainWindow>()) {
  for (ImportKindId kind : kCreationOrder)
    dialogs_[Index(kind)] = std::make_unique<ImportDialog>(ImportKindOf(kind), *main_, main_.get());
  QObject::connect(main_.get(), &MainWindow::ImportChosen, main_.get(), [this](ImportKindId kind) {
    // The dialog's result is of no interest.
    Guarded([&] { Dialog(kind).exec(); });
  });
}

ProgramWindows::~ProgramWindows() {
  for (auto kind = kCreationOrder.rbegin(); kind != kCreationOrder.rend(); ++kind)
    dialogs_[Index(*kind)].reset();
  main_.reset();
}

ImportDialog& ProgramWindows::Dialog(ImportKindId kind) const { return *dialogs_[Index(kind)]; }

void ProgramWindows::CloseAll() {
  for (auto kind = kCreationOrder.rbegin(); kind != kCreationOrder.rend(); ++kind)
    dialogs_[Index(*kind)]->hide();
  if (main_->isVisible()) main_->close();
}

}  // namespace tolvo
