// What a child process of the import window's display tests sets up: a
// working folder with an empty Log.dat and a CB.DBF of `records` call
// signs, the display and the application; and the store the dialog writes
// to, in memory and always open.
#pragma once

#include <QApplication>

#include <fstream>
#include <memory>
#include <string>

#include "store/MemoryCallbook.h"
#include "tests/support/ScratchFolder.h"
#include "tools/writers/DbfWriter.h"
#include "ui/DisplaySetup.h"
#include "ui/ImportDialog.h"

namespace tolvo {

class ImportWindowProcess {
 public:
  explicit ImportWindowProcess(int records) : folder_(ScratchFolder::Enter::Yes) {
    std::ofstream(folder_ / "Log.dat").put('\0');
    DbfWriter table(folder_ / "CB.DBF", {{"ZNAK", 'C', 10}});
    for (int i = 0; i < records; ++i) table.Add({"SP" + std::to_string(i)});
    table.Finish();
    PrepareDisplay();
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }

 private:
  ScratchFolder folder_;
  int argc_ = 1;
  char name_[16] = "tolvo-display";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

class MemoryHost : public ICallbookHost {
 public:
  bool OpenCallbook() override { return true; }
  ICallbook& OpenedCallbook() override { return book_; }

 private:
  MemoryCallbook book_;
};

}  // namespace tolvo
