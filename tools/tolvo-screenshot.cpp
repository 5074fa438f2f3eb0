// tolvo-screenshot: the program, with its windows shown for the
// documentation's pictures (see tools/screenshot/Screenshot.h and
// tools/screenshots.sh).
#include <QApplication>

#include <functional>

#include "app/Program.h"
#include "tools/screenshot/Screenshot.h"
#include "ui/DisplaySetup.h"
#include "source/ProcessSetup.h"

int main(int argc, char* argv[]) {
  tolvo::PrepareProcess();
  tolvo::PrepareDisplay();
  QApplication app(argc, argv);
  std::function<void(tolvo::ProgramWindows&)> started;
  bool pictureFailed = false;
  if (std::optional<tolvo::ScreenshotRequest> shot = tolvo::ScreenshotFromEnvironment()) {
    started = [&pictureFailed, request = *shot](tolvo::ProgramWindows& windows) {
      tolvo::TakeScreenshot(request, windows,
                            [&pictureFailed](bool saved) { pictureFailed = !saved; });
    };
  }
  const int result = tolvo::RunProgram(app, started);
  return pictureFailed ? 1 : result;
}
