// Pictures of the program's windows for its documentation. With
//   TOLVO_SCREENSHOT=<window>  TOLVO_SCREENSHOT_FILE=<picture.png>
// in the environment the program, once started, shows that window, saves a
// PNG of it and ends as if closed. <window> is "DM" (the main window),
// "System1" (the main window with its menu open), the object name of an
// import dialog ("CzytajCBFrm", ...), or a dialog's name followed by
// ".running" (the dialog half-way through its import).
#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace tolvo {

class ProgramWindows;

struct ScreenshotRequest {
  QString window;
  QString file;
};

// The request in the environment; nullopt when TOLVO_SCREENSHOT is not set.
std::optional<ScreenshotRequest> ScreenshotFromEnvironment();

// Whether `window` names something TakeScreenshot can show.
bool IsScreenshotWindow(const QString& window);

// Call from the message loop once the main window is shown. Shows the
// window, saves the picture, calls `done` (true when the file was written)
// and asks the program to end.
void TakeScreenshot(const ScreenshotRequest& request, ProgramWindows& windows,
                    std::function<void(bool)> done);

}  // namespace tolvo
