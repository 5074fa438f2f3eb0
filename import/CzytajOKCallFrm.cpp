#include "import/CzytajOKCallFrm.h"

#include "import/OkCallImport.h"
#include "ui/ErrorReport.h"

namespace tolvo {

TCzytajOKCallFrm* CzytajOKCallFrm = nullptr;

namespace {

const ImportFrameLayout kLayout = {
    "CzytajOKCallFrm",
    "Import z pliku OKCALL.DBF (Czechy)",
    "StartBtn",
    "Wczytaj dane z pliku OKCALL.DBF",
    "Plik OKCALL.DBF  znajduje się pod internetowym adrersem:\n"
    "(katalog serwera FTP z czeskim wykazem stacji krótkofalarskich)",
    "OKCALL.DBF",
    QSize(536, 200),
    QRect(7, 4, 410, 60),
    QRect(9, 16, 281, 26),
    QRect(8, 68, 237, 25),
    QPoint(5, 110),
    QPoint(168, 110),
    true,
    QPoint(5, 134),
    QPoint(167, 134),
    521,
    QPoint(432, 16),
};

}  // namespace

TCzytajOKCallFrm::TCzytajOKCallFrm(QWidget* parent) : TImportFrm(kLayout, parent) {
  StartBtn = StartButton;
  SetRecordStep(ImportOKCallRecord);
  connect(StartBtn, &QPushButton::clicked, this, &TCzytajOKCallFrm::StartBtnClick);
}

void TCzytajOKCallFrm::StartBtnClick() { RunTableImport(Calls); }

}  // namespace tolvo
