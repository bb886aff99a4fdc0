// The platform UI handler of the editor. Message boxes go through ModalUi();
// a dialog template becomes a modal QDialog whose controls drive the plug-in's
// dialog procedure through the platform (TsnDialogInit, TsnDialogCommand).
#include "qt_ui_handler.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "modal_ui.h"

namespace {

QString FromUtf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

// a * b / c rounded to the nearest integer, halves away from zero, as the
// Windows MulDiv rounds (c > 0).
int MulDivRounded(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / c);
}

// One control of a template dialog and what it was made from.
struct TControl {
    int32_t Id;
    int32_t Kind;
    QWidget* Widget;
};

class CTemplateDialog final : public QDialog {
public:
    CTemplateDialog(const TSN_DLGTEMPLATE& dialogTemplate, HWND dialog, QWidget* owner);

    // Shows the procedure's check states in the check boxes.
    void ReadCheckStates();
    // Closes the dialog when the procedure has ended it; true then.
    bool CloseIfEnded();

protected:
    // Escape and the close box send IDCANCEL; the dialog closes only when the
    // procedure ends it.
    void reject() override { SendCommand(IDCANCEL); }

private:
    void CreateControls(const TSN_DLGTEMPLATE& dialogTemplate);
    QWidget* CreateControl(const TSN_DLGITEM& item);
    void FitControlsToTexts(QSize clientSize);
    void MoveControlsBelow(int top, int distance);
    void SendCommand(int32_t id);

    HWND Dialog;
    QSize BaseUnits;
    std::vector<TControl> Controls;
};

CTemplateDialog::CTemplateDialog(const TSN_DLGTEMPLATE& dialogTemplate, HWND dialog, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      Dialog(dialog) {
    setWindowTitle(FromUtf8(dialogTemplate.caption));
    setFont(DialogFont(dialogTemplate.fontName, dialogTemplate.pointSize));
    BaseUnits = DialogBaseUnits(font());
    CreateControls(dialogTemplate);
    const QRect client = DialogUnitsToPixels(0, 0, dialogTemplate.cx, dialogTemplate.cy, BaseUnits);
    FitControlsToTexts(client.size());
}

void CTemplateDialog::CreateControls(const TSN_DLGTEMPLATE& dialogTemplate) {
    if (!dialogTemplate.items || dialogTemplate.itemCount <= 0)
        return;
    for (int32_t i = 0; i < dialogTemplate.itemCount; ++i) {
        const TSN_DLGITEM& item = dialogTemplate.items[i];
        QWidget* widget = CreateControl(item);
        if (!widget)
            continue; // a kind this handler does not know is left out
        widget->setProperty("controlId", item.id);
        widget->setGeometry(DialogUnitsToPixels(item.x, item.y, item.cx, item.cy, BaseUnits));
        Controls.push_back({item.id, item.kind, widget});
    }
}

QWidget* CTemplateDialog::CreateControl(const TSN_DLGITEM& item) {
    const QString text = FromUtf8(item.text);
    const int32_t id = item.id;
    switch (item.kind) {
    case TSN_DLG_CHECKBOX: {
        auto* box = new QCheckBox(text, this);
        connect(box, &QCheckBox::clicked, this, [this, id](bool checked) {
            CheckDlgButton(Dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
            SendCommand(id);
        });
        return box;
    }
    case TSN_DLG_STATIC: {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case TSN_DLG_PUSHBUTTON:
    case TSN_DLG_DEFPUSHBUTTON: {
        auto* button = new QPushButton(text, this);
        button->setDefault(item.kind == TSN_DLG_DEFPUSHBUTTON);
        connect(button, &QPushButton::clicked, this, [this, id] { SendCommand(id); });
        return button;
    }
    default:
        return nullptr;
    }
}

// Linux fonts are often wider than the ones a template was laid out for. A
// control grows until its whole text shows, the controls below a taller text
// move down with it, and the dialog grows to hold them all, keeping the
// template's right and bottom margins.
void CTemplateDialog::FitControlsToTexts(QSize clientSize) {
    QRect original;
    for (const TControl& control : Controls)
        original |= control.Widget->geometry();
    const int rightMargin = std::max(0, clientSize.width() - original.right() - 1);
    const int bottomMargin = std::max(0, clientSize.height() - original.bottom() - 1);

    for (const TControl& control : Controls) {
        QRect rect = control.Widget->geometry();
        if (control.Kind == TSN_DLG_STATIC) {
            const int needed = control.Widget->heightForWidth(rect.width());
            if (needed > rect.height()) {
                MoveControlsBelow(rect.bottom() + 1, needed - rect.height());
                rect.setHeight(needed);
            }
        } else {
            const QSize hint = control.Widget->sizeHint();
            rect.setWidth(std::max(rect.width(), hint.width()));
            if (hint.height() > rect.height()) { // grow about the centre
                rect.moveTop(std::max(0, rect.top() - (hint.height() - rect.height()) / 2));
                rect.setHeight(hint.height());
            }
        }
        control.Widget->setGeometry(rect);
    }

    QRect fitted;
    for (const TControl& control : Controls)
        fitted |= control.Widget->geometry();
    const int width = std::max(clientSize.width(), fitted.right() + 1 + rightMargin);
    const int height = std::max(clientSize.height(), fitted.bottom() + 1 + bottomMargin);
    setFixedSize(std::max(width, 1), std::max(height, 1));
}

void CTemplateDialog::MoveControlsBelow(int top, int distance) {
    for (const TControl& control : Controls) {
        if (control.Widget->y() >= top)
            control.Widget->move(control.Widget->x(), control.Widget->y() + distance);
    }
}

void CTemplateDialog::ReadCheckStates() {
    for (const TControl& control : Controls) {
        if (control.Kind == TSN_DLG_CHECKBOX)
            static_cast<QCheckBox*>(control.Widget)->setChecked(IsDlgButtonChecked(Dialog, control.Id) != BST_UNCHECKED);
    }
}

bool CTemplateDialog::CloseIfEnded() {
    intptr_t result = 0;
    if (!TsnDialogEnded(Dialog, &result))
        return false;
    QDialog::done(QDialog::Accepted); // the platform keeps the procedure's result
    return true;
}

void CTemplateDialog::SendCommand(int32_t id) {
    TsnDialogCommand(Dialog, id);
    if (!CloseIfEnded())
        ReadCheckStates(); // the procedure may have changed a check box
}

// Forgets the dialog's window on every way out of RunDialog.
struct TDialogWindowScope {
    HWND Dialog;
    TDialogWindowScope(HWND dialog, QWidget* window) : Dialog(dialog) { TsnDialogSetWindow(dialog, window); }
    ~TDialogWindowScope() { TsnDialogSetWindow(Dialog, nullptr); }
    TDialogWindowScope(const TDialogWindowScope&) = delete;
    TDialogWindowScope& operator=(const TDialogWindowScope&) = delete;
};

// Widgets need a QApplication; without one a dialog counts as cancelled and a
// message box goes to standard error, as with no handler at all.
bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

void RunDialog(void*, HWND owner, const TSN_DLGTEMPLATE* dialogTemplate, HWND dialog) {
    if (!dialogTemplate || !dialog || !HaveWidgets())
        return;
    try {
        CTemplateDialog window(*dialogTemplate, dialog, OwnerWidget(owner));
        TDialogWindowScope scope(dialog, &window);
        TsnDialogInit(dialog);
        if (window.CloseIfEnded())
            return; // ended during its initialisation: never shown
        window.ReadCheckStates();
        window.exec();
    } catch (...) {
        // Nothing may unwind into the platform's C frames; the dialog ends
        // as if cancelled.
    }
}

int32_t ShowMessageBox(void*, HWND owner, const char* text, const char* caption, UINT style) {
    if (!HaveWidgets()) {
        std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
        return IDOK;
    }
    try {
        return ModalUi().MessageBox(OwnerWidget(owner), FromUtf8(text), FromUtf8(caption), style);
    } catch (...) {
        return IDCANCEL;
    }
}

} // namespace

void InstallQtUiHandler() {
    TSN_UI_HANDLER handler{};
    handler.context = nullptr;
    handler.messageBox = ShowMessageBox;
    handler.runDialog = RunDialog;
    TsnSetUiHandler(&handler, nullptr);
}

QWidget* OwnerWidget(HWND owner) {
    if (!owner)
        return nullptr;
    if (void* window = TsnDialogWindow(owner))
        return static_cast<QWidget*>(window);
    // A plug-in hands back whatever it was given; only a live widget is used.
    if (!HaveWidgets())
        return nullptr;
    const QWidgetList widgets = QApplication::allWidgets();
    auto* widget = static_cast<QWidget*>(owner);
    return widgets.contains(widget) ? widget : nullptr;
}

QFont DialogFont(const char* family, int pointSize) {
    QStringList families;
    if (family && *family)
        families << QString::fromUtf8(family);
    families << QStringLiteral("IPAPGothic") << QStringLiteral("IPAGothic") << QStringLiteral("Noto Sans CJK JP");
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize > 0 ? pointSize : 9);
    return font;
}

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {std::max(1, (letters + 26) / 52), std::max(1, metrics.height())};
}

QRect DialogUnitsToPixels(int x, int y, int cx, int cy, QSize baseUnits) {
    return {MulDivRounded(x, baseUnits.width(), 4), MulDivRounded(y, baseUnits.height(), 8),
            std::max(0, MulDivRounded(cx, baseUnits.width(), 4)),
            std::max(0, MulDivRounded(cy, baseUnits.height(), 8))};
}
