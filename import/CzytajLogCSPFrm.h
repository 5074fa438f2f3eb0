// The LOG_C_SP.DBF import dialog: the import frame bound to its source table
// LOG_C_SP.DBF (Polish stations) and to its importer's per-record step.
#pragma once

#include <QPushButton>

#include "import/ImportFrame.h"
#include "source/DbfTable.h"

namespace tolvo {

class TCzytajLogCSPFrm : public TImportFrm {
  Q_OBJECT

 public:
  explicit TCzytajLogCSPFrm(QWidget* parent = nullptr);

  QPushButton* Button1 = nullptr;
  // Opened by the first import, kept open until the dialog is destroyed.
  DbfTable Calls{"Calls", "LOG_C_SP.DBF"};

 public slots:
  void Button1Click();
};

extern TCzytajLogCSPFrm* CzytajLogCSPFrm;

}  // namespace tolvo
