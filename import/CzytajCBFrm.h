// The CB.DBF import dialog: the import frame bound to its source table
// CB.DBF (Polish stations, Mazovia-coded) and to its importer's per-record step.
#pragma once

#include <QPushButton>

#include "import/ImportFrame.h"
#include "source/DbfTable.h"

namespace tolvo {

class TCzytajCBFrm : public TImportFrm {
  Q_OBJECT

 public:
  explicit TCzytajCBFrm(QWidget* parent = nullptr);

  QPushButton* StartBtn = nullptr;
  // Opened by the first import, kept open until the dialog is destroyed.
  DbfTable Calls{"Calls", "CB.DBF"};

 public slots:
  void StartBtnClick();
  void CloseBtnClick();
};

extern TCzytajCBFrm* CzytajCBFrm;

}  // namespace tolvo
