// The platform UI handler of the editor: plug-ins' message boxes and dialog
// templates become real modal Qt windows.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "tessane/platform.h"

class QWidget;

// Installs the handler for the whole process. Plug-in message boxes go
// through ModalUi() (app/modal_ui.h); plug-in dialog templates become real
// modal Qt dialogs. An owner HWND is a QWidget* or a dialog handle whose
// window was set with TsnDialogSetWindow.
void InstallQtUiHandler();

// The widget an owner HWND stands for: the window of a dialog handle, a live
// QWidget, or null for null and for anything else.
QWidget* OwnerWidget(HWND owner);

// The font a dialog template names, with Japanese fallbacks for families
// that Linux does not have.
QFont DialogFont(const char* family, int pointSize);

// Dialog base units of a font as Windows measures them: the average width of
// the 52 Latin letters (rounded) and the character height.
QSize DialogBaseUnits(const QFont& font);

// A rectangle in dialog units converted to pixels by the base units
// (x: units * width / 4, y: units * height / 8, rounded as MulDiv does).
QRect DialogUnitsToPixels(int x, int y, int cx, int cy, QSize baseUnits);
