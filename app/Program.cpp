#include "app/Program.h"

#include <QApplication>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "app/StartFolder.h"
#include "app/StartOptions.h"
#include "ui/ErrorReport.h"
#include "ui/QuitSignals.h"

namespace tolvo {

int RunProgram(QApplication& app, const std::function<void(ProgramWindows&)>& started) {
  // Only the name: an explicit display name would be appended to every
  // window caption by some window systems.
  QApplication::setApplicationName(QString::fromUtf8(kAppTitle));
  int exitStatus = 0;
  const std::optional<StartOptions> options =
      ParseStartOptions(QApplication::arguments().mid(1), exitStatus);
  if (!options) return exitStatus;
  if (!EnterWorkingFolder(*options)) return 1;
  // Before anything can be posted: from here on a signal ends the program
  // the orderly way instead of killing it.
  QuitSignals quitSignals;

  ProgramWindows windows;
  if (options->connection) windows.Main().UseConnection(*options->connection);
  windows.Main().show();
  if (started) QTimer::singleShot(0, &windows.Main(), [&] { started(windows); });
  const int result = app.exec();

  // Asked to end while the windows were open: they close as if the user had
  // closed them, and closing the main window commits the rows posted so
  // far. A failed commit is still reported.
  if (QuitRequested()) windows.CloseAll();
  return result;
}

}  // namespace tolvo
