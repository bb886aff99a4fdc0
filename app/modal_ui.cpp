#include "modal_ui.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <tessane/platform.h>

namespace {

QMessageBox::Icon IconForStyle(unsigned style) {
    switch (style & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// The two-button kinds: a box closed without an answer counts as the
// negative one (No, Cancel), so nothing goes on that the user did not agree to.
int RunYesNo(QMessageBox& box, unsigned style) {
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    box.setDefaultButton((style & MB_DEFMASK) == MB_DEFBUTTON2 ? no : yes);
    box.exec();
    return box.clickedButton() == yes ? IDYES : IDNO;
}

int RunOkCancel(QMessageBox& box, unsigned style) {
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton((style & MB_DEFMASK) == MB_DEFBUTTON2 ? cancel : ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok ? IDOK : IDCANCEL;
}

class QtModalUi final : public IModalUi {
public:
    int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned style) override {
        QMessageBox box(IconForStyle(style), caption, text, QMessageBox::NoButton, owner);
        box.setTextFormat(Qt::PlainText); // file names and plug-in texts are never markup
        switch (style & MB_TYPEMASK) {
        case MB_YESNO:
            return RunYesNo(box, style);
        case MB_OKCANCEL:
            return RunOkCancel(box, style);
        default:
            box.addButton(QMessageBox::Ok);
            box.exec();
            return IDOK;
        }
    }

    QString OpenFileName(QWidget* owner, const QString& title, const QString& filters) override {
        return QFileDialog::getOpenFileName(owner, title, QString(), filters);
    }

    QString SaveFileName(QWidget* owner, const QString& title, const QString& filters,
                         const QString& suggestedName) override {
        // QFileDialog asks before overwriting by default and adds no suffix.
        return QFileDialog::getSaveFileName(owner, title, suggestedName, filters);
    }

    bool InputText(QWidget* owner, const QString& caption, const QString& prompt, QString& text,
                   int maxLength) override {
        QInputDialog dialog(owner);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(prompt);
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setTextValue(text);
        if (auto* edit = dialog.findChild<QLineEdit*>()) {
            edit->setMaxLength(maxLength);
            edit->selectAll();
        }
        if (dialog.exec() != QDialog::Accepted)
            return false;
        text = dialog.textValue().left(maxLength);
        return true;
    }
};

IModalUi* g_installed = nullptr;

} // namespace

IModalUi& ModalUi() {
    static QtModalUi qtUi;
    return g_installed ? *g_installed : qtUi;
}

void SetModalUi(IModalUi* ui) { g_installed = ui; }
