#include "import/CzytajAmateurCAFrm.h"

#include "import/AmateurImport.h"

namespace tolvo {

TCzytajAmateurCAFrm* CzytajAmateurCAFrm = nullptr;

namespace {

const ImportFrameLayout kLayout = {
    "CzytajAmateurCAFrm",
    "Import z pliku AMATEUR.RPT (Kanada)",
    "Button1",
    "Wczytaj dane z pliku AMATEUR.RPT",
    "Pod internetowym adresem: (serwer FTP kanadyjskiego urzędu ISED) znajduje\n"
    "się plik CDNCALDB.ZIP. Po jego rozpakowaniu otrzyma się m. in. plik\n"
    "AMATEUR.RPT zawierający informacje o krótkofalowcach z Kanady.",
    "AMATEUR.RPT",
    QSize(536, 135),
    QRect(7, 4, 410, 68),
    QRect(9, 16, 392, 48),
    QRect(8, 79, 237, 25),
    QPoint(5, 110),
    QPoint(168, 110),
    false,
    QPoint(),
    QPoint(),
    0,
    QPoint(432, 16),
};

}  // namespace

TCzytajAmateurCAFrm::TCzytajAmateurCAFrm(QWidget* parent) : TImportFrm(kLayout, parent) {
  Button1 = StartButton;
  SetLineStep(ImportAmateurLine);
  connect(Button1, &QPushButton::clicked, this, &TCzytajAmateurCAFrm::Button1Click);
}

void TCzytajAmateurCAFrm::Button1Click() { RunReportImport(); }

}  // namespace tolvo
