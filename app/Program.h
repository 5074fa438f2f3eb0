// The whole run of the program, from the application's title to the last
// window destroyed, so that the program and a test driver run the same code.
#pragma once

#include <functional>

class QApplication;

namespace tolvo {

class ProgramWindows;

// Sets the title, reads the command line (StartOptions; a wrong one ends
// the program with status 2 before any window is made), enters the working
// folder (EnterWorkingFolder; one that cannot be entered ends it with
// status 1), installs the handlers for SIGTERM and SIGINT, makes the
// program's windows (ProgramWindows), shows the main window and runs the
// message loop until it is closed or the program is asked to end by a
// signal; then closes what is still open (which commits the rows of the
// last import) and destroys the windows. `started`, when given, runs once
// from the message loop after the main window has been shown.
int RunProgram(QApplication& app, const std::function<void(ProgramWindows&)>& started = {});

}  // namespace tolvo
