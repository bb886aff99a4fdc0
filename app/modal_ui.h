// Every modal interaction of the editor (message boxes, file dialogs, the
// input dialog) goes through this one interface, so tests can replace the
// real Qt dialogs with a scripted stand-in.
#pragma once

#include <QString>

class QWidget;

class IModalUi {
public:
    virtual ~IModalUi() = default;

    // A modal message box with the buttons and icon of a Win32 style
    // (MB_* bits of tessane/platform.h); returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned style) = 0;

    // File dialogs. filters is a Qt name-filter list joined by ";;". An empty
    // result means the user cancelled.
    virtual QString OpenFileName(QWidget* owner, const QString& title, const QString& filters) = 0;
    // Asks before overwriting an existing file.
    virtual QString SaveFileName(QWidget* owner, const QString& title, const QString& filters,
                                 const QString& suggestedName) = 0;

    // A one-line text input; false when cancelled. text holds the initial value
    // on entry and the answer on return.
    virtual bool InputText(QWidget* owner, const QString& caption, const QString& prompt, QString& text,
                           int maxLength) = 0;
};

// The interface in use: the real Qt dialogs unless a test installed another.
IModalUi& ModalUi();
// Installs ui (not owned); null restores the real dialogs.
void SetModalUi(IModalUi* ui);
