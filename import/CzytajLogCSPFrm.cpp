#include "import/CzytajLogCSPFrm.h"

#include "import/LogCspImport.h"
#include "ui/ErrorReport.h"

namespace tolvo {

TCzytajLogCSPFrm* CzytajLogCSPFrm = nullptr;

namespace {

const ImportFrameLayout kLayout = {
    "CzytajLogCSPFrm",
    "Import z pliku LOG_C_SP.DBF (Polska)",
    "Button1",
    "Wczytaj dane z pliku LOG_C_SP.DBF",
    "Import jest przeznaczony dla użytkowników programu (program do prowadzenia dziennika stacji).\n"
    "Pozwala na wczytanie danych ze zbioru  LOG_C_SP.DBF.",
    "LOG_C_SP.DBF",
    QSize(647, 187),
    QRect(7, 4, 530, 51),
    QRect(9, 16, 512, 31),
    QRect(8, 62, 237, 25),
    QPoint(5, 101),
    QPoint(168, 101),
    true,
    QPoint(5, 125),
    QPoint(168, 125),
    631,
    QPoint(546, 16),
};

}  // namespace

TCzytajLogCSPFrm::TCzytajLogCSPFrm(QWidget* parent) : TImportFrm(kLayout, parent) {
  Button1 = StartButton;
  SetRecordStep(ImportLogCSPRecord);
  connect(Button1, &QPushButton::clicked, this, &TCzytajLogCSPFrm::Button1Click);
}

void TCzytajLogCSPFrm::Button1Click() { RunTableImport(Calls); }

}  // namespace tolvo
