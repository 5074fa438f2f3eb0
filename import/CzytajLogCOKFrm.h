// The LOG_C_OK.DBF import dialog: the import frame bound to its source table
// LOG_C_OK.DBF (Czech stations) and to its importer's per-record step.
#pragma once

#include <QPushButton>

#include "import/ImportFrame.h"
#include "source/DbfTable.h"

namespace tolvo {

class TCzytajLogCOKFrm : public TImportFrm {
  Q_OBJECT

 public:
  explicit TCzytajLogCOKFrm(QWidget* parent = nullptr);

  QPushButton* StartBtn = nullptr;
  // Opened by the first import, kept open until the dialog is destroyed.
  DbfTable Calls{"Calls", "LOG_C_OK.DBF"};

 public slots:
  void StartBtnClick();
};

extern TCzytajLogCOKFrm* CzytajLogCOKFrm;

}  // namespace tolvo
