// The program: the main window, the five import dialogs, the message loop.
#include <QApplication>

#include "app/Program.h"
#include "source/ProcessSetup.h"
#include "ui/DisplaySetup.h"

int main(int argc, char* argv[]) {
  tolvo::PrepareProcess();
  tolvo::PrepareDisplay();
  QApplication app(argc, argv);
  return tolvo::RunProgram(app, {});
}
