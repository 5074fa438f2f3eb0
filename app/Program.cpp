#include "app/Program.h"

#include <QApplication>
#include <QTimer>

#include <memory>

#include "app/FMostrak.h"
#include "import/CzytajAmateurCAFrm.h"
#include "import/CzytajCBFrm.h"
#include "import/CzytajLogCOKFrm.h"
#include "import/CzytajLogCSPFrm.h"
#include "import/CzytajOKCallFrm.h"
#include "ui/ErrorReport.h"
#include "ui/QuitSignals.h"

namespace tolvo {

int RunProgram(QApplication& app, const std::function<void()>& started) {
  // Only the name: an explicit display name would be appended to every
  // window caption by some window systems.
  QApplication::setApplicationName(QString::fromUtf8(kAppTitle));
  // Before anything can be posted: from here on a signal ends the program
  // the orderly way instead of killing it.
  QuitSignals quitSignals;

  auto mainWindow = std::make_unique<TDM>();
  DM = mainWindow.get();
  // Created hidden, in this order; they live until the program ends.
  auto okCall = std::make_unique<TCzytajOKCallFrm>(DM);
  CzytajOKCallFrm = okCall.get();
  auto logCSP = std::make_unique<TCzytajLogCSPFrm>(DM);
  CzytajLogCSPFrm = logCSP.get();
  auto logCOK = std::make_unique<TCzytajLogCOKFrm>(DM);
  CzytajLogCOKFrm = logCOK.get();
  auto amateur = std::make_unique<TCzytajAmateurCAFrm>(DM);
  CzytajAmateurCAFrm = amateur.get();
  auto cb = std::make_unique<TCzytajCBFrm>(DM);
  CzytajCBFrm = cb.get();

  DM->show();
  if (started) QTimer::singleShot(0, DM, started);
  const int result = app.exec();

  if (QuitRequested()) {
    // Asked to end while the windows were open: they close as if the user
    // had closed them, and closing the main window commits the rows posted
    // so far. A failed commit is still reported.
    for (QDialog* dialog : {static_cast<QDialog*>(CzytajCBFrm),
                            static_cast<QDialog*>(CzytajAmateurCAFrm),
                            static_cast<QDialog*>(CzytajLogCOKFrm),
                            static_cast<QDialog*>(CzytajLogCSPFrm),
                            static_cast<QDialog*>(CzytajOKCallFrm)}) {
      dialog->hide();
    }
    if (DM->isVisible()) DM->close();
  }

  // The dialogs go first, the last created first; then the main window.
  CzytajCBFrm = nullptr;
  cb.reset();
  CzytajAmateurCAFrm = nullptr;
  amateur.reset();
  CzytajLogCOKFrm = nullptr;
  logCOK.reset();
  CzytajLogCSPFrm = nullptr;
  logCSP.reset();
  CzytajOKCallFrm = nullptr;
  okCall.reset();
  mainWindow.reset();
  return result;
}

}  // namespace tolvo
