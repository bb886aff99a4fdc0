// The command-line tool's answer to plug-in user interface: message boxes go
// to standard error, dialogs are cancelled.
#pragma once

namespace tessane::cli {

// Installs the terminal UI handler for the whole process.
void InstallTerminalUi();

} // namespace tessane::cli
