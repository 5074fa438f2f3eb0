// The program's message boxes and the one guard at the event-handler
// boundary. Every handler that Qt calls runs inside Guarded, so that no
// exception ever unwinds through the event loop: an error ends the handler,
// is shown in the default error report, and the program goes on running.
#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <string_view>
#include <utility>

namespace tolvo {

// The application title: caption of the main window and of every message box.
inline constexpr const char* kAppTitle = "TolvoIMP";

enum class MessageKind {
  Plain,  // OK button, no icon
  Error,  // OK button, error icon
};

// Where messages go. The default shows a modal message box and returns when
// it is closed; widget tests install a recorder instead.
using MessageHook = std::function<void(MessageKind, const QString&)>;

// Installs `hook` (an empty one restores the message boxes) and returns the
// previous one.
MessageHook SetMessageHook(MessageHook hook);

// A plain message box: OK button, no icon, caption kAppTitle, centred on the
// screen. Waits until it is closed.
void ShowMessage(const QString& text);

// The text of an error as the user sees it: the message as UTF-8 when it is
// valid UTF-8, otherwise as Windows-1250 (the server's own wording); a full
// stop appended when the last character's code is above that of the full
// stop. An empty message becomes the generic text.
QString ErrorReportText(std::string_view message);

// The text shown for an error that carries no message of its own.
QString UnknownErrorText();

// The default error report: an error box with ErrorReportText(message).
void ShowErrorReport(std::string_view message);

// Reports the exception currently being handled (call only inside a catch).
void ReportCurrentException() noexcept;

// Runs `handler`; whatever it throws is reported and goes no further.
template <class F>
void Guarded(F&& handler) noexcept {
  try {
    std::forward<F>(handler)();
  } catch (...) {
    ReportCurrentException();
  }
}

}  // namespace tolvo
