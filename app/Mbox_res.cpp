#include "Mbox_res.h"

#include <QApplication>

#include "message_table.h"
#include "modal_ui.h"

int MessageBoxRes(int textId, int captionId, unsigned flags, QWidget* owner) {
    return MessageBoxStr(tessane::MessageText(textId), captionId, flags, owner);
}

int MessageBoxStr(const QString& text, int captionId, unsigned flags, QWidget* owner) {
    if (!owner)
        owner = QApplication::activeWindow();
    return ModalUi().MessageBox(owner, text, tessane::MessageText(captionId), flags);
}
