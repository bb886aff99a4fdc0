// The real gif plug-in's settings dialog rendered by the Qt handler: it shows
// the stored setting, writes it on OK only, and cancelling is no failure.
// Uses bin/tessane.ini beside this program and puts it back afterwards.
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <optional>

#include "cpi.h"
#include "modal_driver.h"
#include "qt_ui_handler.h"
#include "scripted_modal_ui.h"
#include "tessane_data.h"
#include "tessane_plug.h"

namespace {

QString BinPath(const char* name) { return QCoreApplication::applicationDirPath() + "/" + name; }

QByteArray Stored87a() {
    char value[32] = {};
    GetPrivateProfileStringA("gif.cpi", "87a", "<missing>", value, sizeof value,
                             BinPath("tessane.ini").toUtf8().constData());
    return value;
}

void Store87a(const char* value) {
    QVERIFY(WritePrivateProfileStringA("gif.cpi", "87a", value, BinPath("tessane.ini").toUtf8().constData()));
}

QCheckBox* RewriteCheckBox(QDialog& dialog) {
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->property("controlId").toInt() == 1000)
            return box;
    }
    return nullptr;
}

QPushButton* Button(QDialog& dialog, int id) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->property("controlId").toInt() == id)
            return button;
    }
    return nullptr;
}

} // namespace

class GifOptionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void settingRoundTrips_data();
    void settingRoundTrips();
    void cancelFromInformationDialogIsNoFailure();

private:
    std::optional<QByteArray> SavedSettings;
};

void GifOptionTest::initTestCase() {
    if (!QFile::exists(BinPath("gif.cpi")))
        QSKIP("bin/gif.cpi is not built");
    InstallQtUiHandler();
    QFile settings(BinPath("tessane.ini"));
    if (settings.open(QIODevice::ReadOnly))
        SavedSettings = settings.readAll();
}

void GifOptionTest::cleanupTestCase() {
    QFile settings(BinPath("tessane.ini"));
    if (!SavedSettings) {
        settings.remove();
        return;
    }
    if (settings.open(QIODevice::WriteOnly | QIODevice::Truncate))
        settings.write(*SavedSettings);
}

void GifOptionTest::settingRoundTrips_data() {
    QTest::addColumn<QByteArray>("stored"); // empty: the key is missing
    QTest::addColumn<bool>("shownChecked");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<int>("button");
    QTest::addColumn<QByteArray>("storedAfter");

    QTest::newRow("2 shows unchecked, OK writes 0") << QByteArray("2") << false << false << IDOK << QByteArray("0");
    QTest::newRow("missing key shows checked") << QByteArray() << true << false << IDOK << QByteArray("1");
    QTest::newRow("1, unchecked, OK writes 0") << QByteArray("1") << true << true << IDOK << QByteArray("0");
    QTest::newRow("0, checked, OK writes 1") << QByteArray("0") << false << true << IDOK << QByteArray("1");
    QTest::newRow("Cancel keeps 2") << QByteArray("2") << false << true << IDCANCEL << QByteArray("2");
}

void GifOptionTest::settingRoundTrips() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, shownChecked);
    QFETCH(bool, toggle);
    QFETCH(int, button);
    QFETCH(QByteArray, storedAfter);

    Store87a(stored.isEmpty() ? nullptr : stored.constData());
    HMODULE module = LoadLibraryA(BinPath("gif.cpi").toUtf8().constData());
    QVERIFY(module);
    auto configure = reinterpret_cast<CPI_ConfigurationDlgFunc>(GetProcAddress(module, "ConfigurationDlg"));
    QVERIFY(configure);

    CScriptedModalUi modalUi;
    QWidget owner;
    bool shown = false;
    WhenModalShown([&](QDialog& dialog) {
        shown = true;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("GIF Option"));
        QCOMPARE(dialog.parentWidget(), &owner);
        QCheckBox* box = RewriteCheckBox(dialog);
        QVERIFY(box);
        QCOMPARE(box->isChecked(), shownChecked);
        if (toggle)
            box->click();
        QTest::mouseClick(Button(dialog, button), Qt::LeftButton);
    });
    const int32_t result = configure(&owner, CPI_CONFIG_SETTINGS);
    FreeLibrary(module);

    QVERIFY(shown);
    QCOMPARE(result, CPI_OK);
    QCOMPARE(Stored87a(), storedAfter);
    QVERIFY(modalUi.Boxes.empty());
}

void GifOptionTest::cancelFromInformationDialogIsNoFailure() {
    Store87a("1");
    CTessane host;
    QVERIFY(host.AddPlugin(BinPath("gif.cpi").toStdString()));
    CScriptedModalUi modalUi;
    TPlugInForm form(host);
    auto* list = form.findChild<QListWidget*>("PluginList");
    auto* option = form.findChild<QPushButton*>("OptionButton");
    list->setCurrentRow(0);
    QVERIFY(option->isEnabled());

    bool shown = false;
    WhenModalShown([&](QDialog& dialog) {
        shown = true;
        QCOMPARE(dialog.parentWidget(), static_cast<QWidget*>(&form));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QTest::mouseClick(option, Qt::LeftButton);
    QVERIFY(shown);
    QVERIFY(modalUi.Boxes.empty()); // no message 45
    QCOMPARE(Stored87a(), QByteArray("1"));
}

QTEST_MAIN(GifOptionTest)
#include "gif_option_test.moc"
