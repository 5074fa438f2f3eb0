// The program: the main window, the five import dialogs, the message loop.
#include <QApplication>

#include <memory>

#include "app/ErrorReport.h"
#include "app/FMostrak.h"
#include "import/CzytajAmateurCAFrm.h"
#include "import/CzytajCBFrm.h"
#include "import/CzytajLogCOKFrm.h"
#include "import/CzytajLogCSPFrm.h"
#include "import/CzytajOKCallFrm.h"

using namespace tolvo;

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Only the name: an explicit display name would be appended to every
  // window caption by some window systems.
  QApplication::setApplicationName(QString::fromUtf8(kAppTitle));

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
  const int result = app.exec();

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
