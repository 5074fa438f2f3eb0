// The program: the main window, the five import dialogs, the message loop.
#include <QApplication>

#include <functional>

#include "app/Program.h"
#include "app/Screenshot.h"
#include "ui/DisplaySetup.h"
#include "source/ProcessSetup.h"

int main(int argc, char* argv[]) {
  tolvo::PrepareProcess();
  tolvo::PrepareDisplay();
  QApplication app(argc, argv);
  std::function<void(tolvo::ProgramWindows&)> started;
  bool pictureFailed = false;
  // The documentation's pictures are taken by the program itself.
  if (std::optional<tolvo::ScreenshotRequest> shot = tolvo::ScreenshotFromEnvironment()) {
    started = [&pictureFailed, request = *shot](tolvo::ProgramWindows& windows) {
      tolvo::TakeScreenshot(request, windows,
                            [&pictureFailed](bool saved) { pictureFailed = !saved; });
    };
  }
  const int result = tolvo::RunProgram(app, started);
  return pictureFailed ? 1 : result;
}
