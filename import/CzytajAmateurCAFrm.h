// The AMATEUR.RPT import dialog: the import frame reading the text report
// of Canadian stations line by line, with a running count and no total.
#pragma once

#include <QPushButton>

#include "import/ImportFrame.h"

namespace tolvo {

class TCzytajAmateurCAFrm : public TImportFrm {
  Q_OBJECT

 public:
  explicit TCzytajAmateurCAFrm(QWidget* parent = nullptr);

  QPushButton* Button1 = nullptr;

 public slots:
  void Button1Click();
};

extern TCzytajAmateurCAFrm* CzytajAmateurCAFrm;

}  // namespace tolvo
