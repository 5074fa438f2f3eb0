// The whole run of the program, from the application's title to the last
// window destroyed, so that the program and a test driver run the same code.
#pragma once

#include <functional>

class QApplication;

namespace tolvo {

// Sets the title, installs the handlers for SIGTERM and SIGINT, creates the
// main window and the five import dialogs (hidden, in their fixed order),
// shows the main window and runs the message loop until it is closed or the
// program is asked to end by a signal; then closes what is still open (which
// commits the rows of the last import) and destroys the dialogs, the last
// created first, and the main window last. `started`, when given, runs once
// from the message loop after the main window has been shown.
int RunProgram(QApplication& app, const std::function<void()>& started = {});

}  // namespace tolvo
