#include "import/CzytajLogCOKFrm.h"

#include "import/LogCokImport.h"
#include "ui/ErrorReport.h"

namespace tolvo {

TCzytajLogCOKFrm* CzytajLogCOKFrm = nullptr;

namespace {

const ImportFrameLayout kLayout = {
    "CzytajLogCOKFrm",
    "Import z pliku LOG_C_OK.DBF (Czechy)",
    "StartBtn",
    "Wczytaj dane z pliku LOG_C_OK.DBF",
    "Import jest przeznaczony dla użytkowników programu (program do prowadzenia dziennika stacji).\n"
    "Pozwala na wczytanie danych ze zbioru  LOG_C_OK.DBF.",
    "LOG_C_OK.DBF",
    QSize(649, 200),
    QRect(6, 4, 530, 58),
    QRect(9, 16, 512, 38),
    QRect(8, 68, 237, 25),
    QPoint(5, 110),
    QPoint(168, 110),
    true,
    QPoint(5, 134),
    QPoint(168, 134),
    631,
    QPoint(546, 15),
};

}  // namespace

TCzytajLogCOKFrm::TCzytajLogCOKFrm(QWidget* parent) : TImportFrm(kLayout, parent) {
  StartBtn = StartButton;
  SetRecordStep(ImportLogCOKRecord);
  connect(StartBtn, &QPushButton::clicked, this, &TCzytajLogCOKFrm::StartBtnClick);
}

void TCzytajLogCOKFrm::StartBtnClick() { RunTableImport(Calls); }

}  // namespace tolvo
