// The real message boxes behind MessageBoxRes and MessageBoxStr: the four box
// kinds, their captions, buttons and icons, and the button ids they return.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <tessane/platform.h>

#include "Mbox_res.h"
#include "message_table.h"

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

QTEST_MAIN(TestMessageBoxes)
#include "tst_message_boxes.moc"
