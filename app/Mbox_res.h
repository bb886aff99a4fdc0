// Message boxes whose caption, and optionally text, come from the message table.
#pragma once

#include <QString>

class QWidget;

// Box kinds: flags and caption id of each.
enum MessageBoxKind : unsigned {
    MbWarning = 0x30,   // caption 6, OK, exclamation icon
    MbQuestion = 0x124, // caption 7, Yes/No, question icon, No is the default
    MbInformation = 0x40, // caption 5, OK, information icon
    MbNotice = 0x00,      // caption 7, OK, no icon
};

// Shows message textId with caption captionId and the Win32 style flags,
// modal, through ModalUi(); returns the button id (IDOK, IDYES, IDNO).
// owner null: the application's active window.
int MessageBoxRes(int textId, int captionId, unsigned flags, QWidget* owner = nullptr);
// The same with a text the caller assembled.
int MessageBoxStr(const QString& text, int captionId, unsigned flags, QWidget* owner = nullptr);
