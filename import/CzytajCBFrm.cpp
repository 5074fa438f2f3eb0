#include "import/CzytajCBFrm.h"

#include "import/CbImport.h"
#include "ui/ErrorReport.h"

namespace tolvo {

TCzytajCBFrm* CzytajCBFrm = nullptr;

namespace {

const ImportFrameLayout kLayout = {
    "CzytajCBFrm",
    "Import z pliku CB.DBF (Polska)",
    "StartBtn",
    "Wczytaj dane z pliku CB.DBF",
    "Import jest przeznaczony dla użytkowników polskiego programu\n"
    "callbookowego, który przechowuje dane w pliku CB.DBF.\n"
    "W programie tym polskie litery są kodowane w standardzie Mazovia.\n"
    "Podczas wczytywania są one zamieniane na stronę kodową Windows.",
    "CB.DBF",
    QSize(539, 208),
    QRect(7, 4, 410, 77),
    QRect(9, 16, 392, 57),
    QRect(8, 84, 237, 25),
    QPoint(5, 120),
    QPoint(168, 120),
    true,
    QPoint(5, 144),
    QPoint(167, 144),
    521,
    QPoint(432, 16),
};

}  // namespace

TCzytajCBFrm::TCzytajCBFrm(QWidget* parent) : TImportFrm(kLayout, parent) {
  StartBtn = StartButton;
  SetRecordStep(ImportCBRecord);
  connect(StartBtn, &QPushButton::clicked, this, &TCzytajCBFrm::StartBtnClick);
  // Its own close handler in place of the frame's; the effect is the same.
  CloseBtn->disconnect(this);
  connect(CloseBtn, &QPushButton::clicked, this, &TCzytajCBFrm::CloseBtnClick);
}

void TCzytajCBFrm::StartBtnClick() { RunTableImport(Calls); }

void TCzytajCBFrm::CloseBtnClick() {
  Guarded([this] { reject(); });
}

}  // namespace tolvo
