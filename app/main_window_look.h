// How the main window looks: its icons and fonts.
#pragma once

#include <QFont>
#include <QIcon>

namespace tessane {

// The desktop theme's icon themeName; else the bundled icon of that name
// (bundledName, may be null); else the style's nearest standard icon.
QIcon ThemeIcon(const char* themeName, const char* bundledName);
QIcon ProgramIcon();

// The window's font: the design's family first, then Japanese fonts found on
// Linux, at 9 points.
QFont WindowFont(const QFont& base);
// The panes' fixed-pitch font, the same way.
QFont MemoFont(const QFont& base);

} // namespace tessane
