// The okcall.dbf import dialog: the import frame bound to its source table
// okcall.dbf (Czech stations) and to its importer's per-record step.
#pragma once

#include <QPushButton>

#include "import/ImportFrame.h"
#include "source/DbfTable.h"

namespace tolvo {

class TCzytajOKCallFrm : public TImportFrm {
  Q_OBJECT

 public:
  explicit TCzytajOKCallFrm(QWidget* parent = nullptr);

  QPushButton* StartBtn = nullptr;
  // Opened by the first import, kept open until the dialog is destroyed.
  DbfTable Calls{"Calls", "okcall.dbf"};

 public slots:
  void StartBtnClick();
};

extern TCzytajOKCallFrm* CzytajOKCallFrm;

}  // namespace tolvo
