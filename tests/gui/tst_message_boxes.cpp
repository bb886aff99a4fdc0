// The real dialogs behind ModalUi(): the four message-box kinds of
// MessageBoxRes and MessageBoxStr (captions, buttons, icons, the button ids
// they return) and the one-line input dialog.
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <tessane/platform.h>

#include "Mbox_res.h"
#include "message_table.h"
#include "modal_ui.h"

namespace {

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Looks at the box once it is up, then presses the button with text press,
// or closes the box when press is empty.
void AnswerNextBox(SeenBox& seen, const QString& press) {
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            const auto standard = box->standardButton(button);
            const QString name = standard == QMessageBox::Yes  ? "Yes"
                                 : standard == QMessageBox::No ? "No"
                                 : standard == QMessageBox::Ok ? "OK"
                                                               : "other";
            seen.buttons << name;
            if (box->defaultButton() == button)
                seen.defaultButton = name;
            if (name == press)
                button->click();
        }
        seen.buttons.sort();
        if (press.isEmpty())
            box->reject(); // the close box or Escape
    });
}

} // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT

private slots:
    void kinds_data();
    void kinds();
    void textShownAsPlainText();
    void inputDialog_data();
    void inputDialog();
};

void TestMessageBoxes::kinds_data() {
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<int>("captionId");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<int>("result");
    QTest::newRow("warning") << 0x30u << 6 << "OK" << int(QMessageBox::Warning) << QStringList{"OK"} << ""
                             << IDOK;
    QTest::newRow("question, yes") << 0x124u << 7 << "Yes" << int(QMessageBox::Question)
                                   << QStringList{"No", "Yes"} << "No" << IDYES;
    QTest::newRow("question, no") << 0x124u << 7 << "No" << int(QMessageBox::Question)
                                  << QStringList{"No", "Yes"} << "No" << IDNO;
    QTest::newRow("question closed counts as no")
        << 0x124u << 7 << "" << int(QMessageBox::Question) << QStringList{"No", "Yes"} << "No" << IDNO;
    QTest::newRow("information") << 0x40u << 5 << "OK" << int(QMessageBox::Information) << QStringList{"OK"} << ""
                                 << IDOK;
    QTest::newRow("notice") << 0x0u << 7 << "OK" << int(QMessageBox::NoIcon) << QStringList{"OK"} << "" << IDOK;
}

void TestMessageBoxes::kinds() {
    QFETCH(unsigned, flags);
    QFETCH(int, captionId);
    QFETCH(QString, press);
    QFETCH(int, icon);
    QFETCH(QStringList, buttons);
    QFETCH(QString, defaultButton);
    QFETCH(int, result);
    SeenBox seen;
    AnswerNextBox(seen, press);
    QCOMPARE(MessageBoxRes(tessane::MsgSaved, captionId, flags), result);
    QCOMPARE(seen.caption, tessane::MessageText(captionId));
    QCOMPARE(seen.text, tessane::MessageText(tessane::MsgSaved));
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.buttons, buttons);
    if (!defaultButton.isEmpty())
        QCOMPARE(seen.defaultButton, defaultButton);
}

void TestMessageBoxes::textShownAsPlainText() {
    QMessageBox* box = nullptr;
    QTimer::singleShot(0, [&box] {
        box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        box->accept();
    });
    MessageBoxStr(QStringLiteral("<b>%s</b> 100%.gif"), 6, 0x30u);
    QVERIFY(box);
}

void TestMessageBoxes::inputDialog_data() {
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("result");
    QTest::newRow("OK") << true << "新しい名前";
    QTest::newRow("cancel") << false << "山田";
}

// The real input dialog: caption, prompt, the stored text all selected, the
// length limit, and the answer only on OK.
void TestMessageBoxes::inputDialog() {
    QFETCH(bool, accept);
    QFETCH(QString, result);
    QTimer::singleShot(0, [accept] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("作者名の設定"));
        QCOMPARE(dialog->labelText(), QStringLiteral("作者名を保存できるプラグインで使用されます。"));
        auto* edit = dialog->findChild<QLineEdit*>();
        QVERIFY(edit);
        QCOMPARE(edit->maxLength(), 255);
        QCOMPARE(edit->selectedText(), QStringLiteral("山田"));
        edit->insert(QStringLiteral("新しい名前")); // replaces the selection, as typing does
        accept ? dialog->accept() : dialog->reject();
    });
    QString text = QStringLiteral("山田");
    QCOMPARE(ModalUi().InputText(nullptr, tessane::MessageText(51), tessane::MessageText(52), text, 255), accept);
    QCOMPARE(text, result);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_message_boxes.moc"
