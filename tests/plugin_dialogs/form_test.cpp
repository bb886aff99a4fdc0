// The plug-in information dialog: its buttons follow the selected plug-in's
// flags, a button configures the plug-in on the selected line, and a failed
// configuration call shows message 45.
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "qt_ui_handler.h"
#include "scripted_modal_ui.h"
#include "tessane_data.h"
#include "tessane_plug.h"

namespace {

const QString kMessage45 = QStringLiteral("プラグインの読み込みに失敗しました。");
const QString kWarningCaption = QStringLiteral("警告");

void AddRecord(CTessane& host, const std::string& path, const std::string& description, int32_t flags) {
    TPluginList record;
    record.Path = path;
    record.Description = description;
    record.Flags = flags;
    host.Plugins.push_back(record);
}

std::string FixturePath(const char* name) { return std::string(TSN_FIXTURE_DIR) + "/dialogs_fixture_" + name + ".cpi"; }

struct TFormControls {
    QListWidget* List;
    QPushButton* Option;
    QPushButton* About;
};

TFormControls ControlsOf(TPlugInForm& form) {
    return {form.findChild<QListWidget*>("PluginList"), form.findChild<QPushButton*>("OptionButton"),
            form.findChild<QPushButton*>("AboutButton")};
}

} // namespace

class PlugInFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallQtUiHandler(); }
    void buttonsFollowSelection();
    void buttonConfiguresPluginOnSelectedLine_data();
    void buttonConfiguresPluginOnSelectedLine();
};

void PlugInFormTest::buttonsFollowSelection() {
    CTessane host;
    AddRecord(host, "/nowhere/gif.cpi", "GIF89a Comment Plug-In", 17);
    AddRecord(host, "/nowhere/jpeg.cpi", "JPEG Comment Plug-In", 1);
    TPlugInForm form(host);
    const TFormControls c = ControlsOf(form);
    QVERIFY(c.List && c.Option && c.About);

    QCOMPARE(c.List->count(), 2);
    QCOMPARE(c.List->item(0)->text(), QStringLiteral("GIF89a Comment Plug-In"));
    QCOMPARE(c.List->item(1)->text(), QStringLiteral("JPEG Comment Plug-In"));
    QVERIFY(!c.Option->isEnabled());
    QVERIFY(!c.About->isEnabled());
    auto* ok = form.findChild<QPushButton*>("OK");
    QCOMPARE(ok->nextInFocusChain(), c.Option); // tab order: OK, settings, about, list
    QCOMPARE(c.Option->nextInFocusChain(), c.About);
    QCOMPARE(c.About->nextInFocusChain(), c.List);

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(c.List->viewport(), Qt::LeftButton, {}, c.List->visualItemRect(c.List->item(0)).center());
    QVERIFY(c.Option->isEnabled()); // flags 17
    QVERIFY(c.About->isEnabled());

    QTest::mouseClick(c.List->viewport(), Qt::LeftButton, {}, c.List->visualItemRect(c.List->item(1)).center());
    QVERIFY(!c.Option->isEnabled()); // flags 1
    QVERIFY(c.About->isEnabled());

    c.List->setFocus();
    QTest::keyClick(c.List, Qt::Key_Up); // the keyboard moves the selection too
    QCOMPARE(c.List->currentRow(), 0);
    QVERIFY(c.Option->isEnabled());

    c.List->clearSelection();
    QVERIFY(!c.Option->isEnabled());
    QVERIFY(!c.About->isEnabled());
}

// Rows 0 and 1 are two fixture plug-ins with the same description (a answers
// 0, b answers 1, a failure); row 2 is a plug-in file that is gone.
void PlugInFormTest::buttonConfiguresPluginOnSelectedLine_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("boxTexts");

    QTest::newRow("a about") << 0 << "AboutButton" << QStringList{"a 0"};
    QTest::newRow("a settings") << 0 << "OptionButton" << QStringList{"a 1"};
    QTest::newRow("b about fails") << 1 << "AboutButton" << QStringList{"b 0", kMessage45};
    QTest::newRow("b settings fails") << 1 << "OptionButton" << QStringList{"b 1", kMessage45};
    QTest::newRow("missing plug-in") << 2 << "OptionButton" << QStringList{kMessage45};
}

void PlugInFormTest::buttonConfiguresPluginOnSelectedLine() {
    QFETCH(int, row);
    QFETCH(QString, button);
    QFETCH(QStringList, boxTexts);

    CTessane host;
    AddRecord(host, FixturePath("a"), "Fixture Plug-In", 17);
    AddRecord(host, FixturePath("b"), "Fixture Plug-In", 17);
    AddRecord(host, std::string(TSN_FIXTURE_DIR) + "/gone.cpi", "Gone Plug-In", 17);
    CScriptedModalUi modalUi;
    TPlugInForm form(host);
    const TFormControls c = ControlsOf(form);
    QCOMPARE(c.List->item(0)->text(), c.List->item(1)->text());

    c.List->setCurrentRow(row);
    auto* pressed = form.findChild<QPushButton*>(button);
    QVERIFY(pressed && pressed->isEnabled());
    QTest::mouseClick(pressed, Qt::LeftButton);

    QCOMPARE(static_cast<qsizetype>(modalUi.Boxes.size()), boxTexts.size());
    for (size_t i = 0; i < modalUi.Boxes.size(); ++i) {
        const TRecordedBox& box = modalUi.Boxes[i];
        QCOMPARE(box.Text, boxTexts[static_cast<qsizetype>(i)]);
        QCOMPARE(box.Owner, static_cast<QWidget*>(&form)); // the plug-in's boxes too
        if (box.Text == kMessage45) {
            QCOMPARE(box.Caption, kWarningCaption);
            QCOMPARE(box.Style, 0x30u);
        }
    }
}

QTEST_MAIN(PlugInFormTest)
#include "form_test.moc"
