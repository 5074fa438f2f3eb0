// The folder the program works in, settled before its windows are made.
#pragma once

#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

namespace tolvo {

struct StartOptions;

// Asks the user for the Tolvo folder, starting in `start`; nothing when the
// question is cancelled.
using FolderQuestion = std::function<std::optional<std::filesystem::path>(const QString& start)>;

// The program's question: Qt's own folder dialog (the same on every desktop),
// in Polish.
std::optional<std::filesystem::path> AskForTolvoFolder(const QString& start);

// The remembered Tolvo folder, kept in the user's settings of the program
// (QSettings, organisation and application "tolvoimp").
std::optional<std::filesystem::path> RememberedTolvoFolder();

// Enters the folder the program works in: FOLDER of the command line, else
// the one it was started from. Started from the menu (--menu) into a folder
// without LOG.DAT, it goes on to the remembered Tolvo folder when that holds
// LOG.DAT, else asks `ask` once and remembers the answer; a cancelled
// question leaves the folder as it is. Without --menu nothing is asked.
// False, after a message on standard error, when FOLDER cannot be entered.
bool EnterWorkingFolder(const StartOptions& options, const FolderQuestion& ask = AskForTolvoFolder);

}  // namespace tolvo
