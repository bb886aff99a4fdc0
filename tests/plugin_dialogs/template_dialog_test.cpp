// Dialog templates rendered as Qt dialogs: dialog units become pixels as on
// Windows, texts are never cut off, and every click, Escape or close box
// reaches the dialog procedure, whose EndDialog result comes back.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <vector>

#include "modal_driver.h"
#include "qt_ui_handler.h"
#include "scripted_modal_ui.h"

namespace {

constexpr int32_t kCheckId = 1000;
constexpr int32_t kInfoId = 3;

const TSN_DLGITEM kItems[] = {
    {kCheckId, TSN_DLG_CHECKBOX, "Box", 10, 7, 100, 14},
    {-1, TSN_DLG_STATIC, "Text", 10, 26, 150, 22},
    {IDOK, TSN_DLG_DEFPUSHBUTTON, "OK", 20, 54, 50, 14},
    {IDCANCEL, TSN_DLG_PUSHBUTTON, "Cancel", 100, 54, 50, 14},
    {kInfoId, TSN_DLG_PUSHBUTTON, "Info", 100, 70, 50, 14},
};
const TSN_DLGTEMPLATE kTemplate = {"Test Dialog", 170, 90, "Sans", 9, 5, kItems};

// What the procedure saw.
struct TProcedureLog {
    bool InitChecked = false; // checks the box during WM_INITDIALOG
    std::vector<int32_t> Commands;
    UINT CheckedAtOk = 99;
} Log;

intptr_t TestProc(HWND dialog, UINT message, uintptr_t wParam, intptr_t) {
    if (message == WM_INITDIALOG) {
        if (Log.InitChecked)
            CheckDlgButton(dialog, kCheckId, BST_CHECKED);
        return TRUE;
    }
    const auto id = static_cast<int32_t>(wParam);
    Log.Commands.push_back(id);
    if (id == IDOK)
        Log.CheckedAtOk = IsDlgButtonChecked(dialog, kCheckId);
    if (id == IDOK || id == IDCANCEL)
        EndDialog(dialog, id);
    if (id == kInfoId)
        MessageBoxA(dialog, "Grüße", "Info", MB_OK);
    return TRUE;
}

template <class T> T* Control(QDialog& dialog, int32_t id) {
    for (T* widget : dialog.findChildren<T*>()) {
        if (widget->property("controlId").toInt() == id)
            return widget;
    }
    return nullptr;
}

intptr_t RunTestDialog(const TSN_DLGTEMPLATE& dialogTemplate, HWND owner = nullptr) {
    return DialogBoxIndirectParamA(nullptr, &dialogTemplate, owner, TestProc, 0);
}

} // namespace

class TemplateDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallQtUiHandler(); }
    void init() { Log = {}; }
    void unitsConvertLikeWindows_data();
    void unitsConvertLikeWindows();
    void controlsStandAtTheirRectangles();
    void longTextsGrowTheDialog();
    void actionsReachProcedure_data();
    void actionsReachProcedure();
    void messageBoxOwnedByDialog();
    void ownerMapping();
};

void TemplateDialogTest::unitsConvertLikeWindows_data() {
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QSize>("base");
    QTest::addColumn<QRect>("pixels");
    // x * w / 4 and y * h / 8, halves rounded away from zero like MulDiv.
    QTest::newRow("check box, 6x13") << QRect(10, 7, 121, 10) << QSize(6, 13) << QRect(15, 11, 182, 16);
    QTest::newRow("button, 5x12") << QRect(20, 54, 50, 14) << QSize(5, 12) << QRect(25, 81, 63, 21);
    QTest::newRow("negative x") << QRect(-3, 0, 4, 8) << QSize(6, 8) << QRect(-5, 0, 6, 8);
}

void TemplateDialogTest::unitsConvertLikeWindows() {
    QFETCH(QRect, units);
    QFETCH(QSize, base);
    QFETCH(QRect, pixels);
    QCOMPARE(DialogUnitsToPixels(units.x(), units.y(), units.width(), units.height(), base), pixels);
}

void TemplateDialogTest::controlsStandAtTheirRectangles() {
    Log.InitChecked = true;
    bool inspected = false;
    WhenModalShown([&](QDialog& dialog) {
        inspected = true;
        const QSize base = DialogBaseUnits(dialog.font());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Test Dialog"));
        QCOMPARE(dialog.size(), DialogUnitsToPixels(0, 0, 170, 90, base).size());
        for (const TSN_DLGITEM& item : kItems) {
            QWidget* widget = Control<QWidget>(dialog, item.id);
            QVERIFY(widget);
            QCOMPARE(widget->geometry(), DialogUnitsToPixels(item.x, item.y, item.cx, item.cy, base));
        }
        QVERIFY(Control<QCheckBox>(dialog, kCheckId)->isChecked()); // set during WM_INITDIALOG
        QVERIFY(Control<QPushButton>(dialog, IDOK)->isDefault());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QCOMPARE(RunTestDialog(kTemplate), IDCANCEL);
    QVERIFY(inspected);
}

// A Japanese text longer than its rectangle wraps into more lines: the text
// grows, the buttons below move down, and nothing is cut off.
void TemplateDialogTest::longTextsGrowTheDialog() {
    const TSN_DLGITEM items[] = {
        {kCheckId, TSN_DLG_CHECKBOX, "GIF87aヘッダをGIF89aに書き換える、とても長い説明", 10, 7, 60, 10},
        {-1, TSN_DLG_STATIC,
         "このチェックを外すと、GIF87aファイルの場合にコメントを保存出来なくなります。"
         "このチェックを外すと、GIF87aファイルの場合にコメントを保存出来なくなります。",
         10, 26, 150, 12},
        {IDOK, TSN_DLG_DEFPUSHBUTTON, "OK", 20, 40, 50, 14},
        {IDCANCEL, TSN_DLG_PUSHBUTTON, "ｷｬﾝｾﾙ", 100, 40, 50, 14},
    };
    const TSN_DLGTEMPLATE dialogTemplate = {"GIF Option", 170, 60, "ＭＳ Ｐゴシック", 9, 4, items};
    bool inspected = false;
    WhenModalShown([&](QDialog& dialog) {
        inspected = true;
        auto* box = Control<QCheckBox>(dialog, kCheckId);
        auto* label = dialog.findChild<QLabel*>();
        auto* ok = Control<QPushButton>(dialog, IDOK);
        QVERIFY(box->width() >= box->sizeHint().width());
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(ok->y() >= label->geometry().bottom());
        for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY(dialog.rect().contains(child->geometry()));
        QTest::mouseClick(Control<QPushButton>(dialog, IDCANCEL), Qt::LeftButton);
    });
    QCOMPARE(RunTestDialog(dialogTemplate), IDCANCEL);
    QVERIFY(inspected);
}

void TemplateDialogTest::actionsReachProcedure_data() {
    QTest::addColumn<bool>("initChecked");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::addColumn<std::vector<int32_t>>("commands");

    using V = std::vector<int32_t>;
    QTest::newRow("OK, unchanged") << true << false << "ok" << IDOK << V{IDOK};
    QTest::newRow("OK after unchecking") << true << true << "ok" << IDOK << V{kCheckId, IDOK};
    QTest::newRow("OK after checking") << false << true << "ok" << IDOK << V{kCheckId, IDOK};
    QTest::newRow("Enter presses the default button") << false << false << "enter" << IDOK << V{IDOK};
    QTest::newRow("Cancel") << true << true << "cancel" << IDCANCEL << V{kCheckId, IDCANCEL};
    QTest::newRow("Escape") << false << false << "escape" << IDCANCEL << V{IDCANCEL};
    QTest::newRow("close box") << false << false << "close" << IDCANCEL << V{IDCANCEL};
}

void TemplateDialogTest::actionsReachProcedure() {
    QFETCH(bool, initChecked);
    QFETCH(bool, toggle);
    QFETCH(QString, action);
    QFETCH(int, result);
    QFETCH(std::vector<int32_t>, commands);

    Log.InitChecked = initChecked;
    WhenModalShown([&](QDialog& dialog) {
        if (toggle)
            Control<QCheckBox>(dialog, kCheckId)->click();
        if (action == "ok")
            QTest::mouseClick(Control<QPushButton>(dialog, IDOK), Qt::LeftButton);
        else if (action == "cancel")
            QTest::mouseClick(Control<QPushButton>(dialog, IDCANCEL), Qt::LeftButton);
        else if (action == "enter")
            QTest::keyClick(&dialog, Qt::Key_Return);
        else if (action == "escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
    });
    QCOMPARE(RunTestDialog(kTemplate), intptr_t{result});
    QCOMPARE(Log.Commands, commands);
    if (result == IDOK)
        QCOMPARE(Log.CheckedAtOk, (initChecked != toggle) ? BST_CHECKED : BST_UNCHECKED);
}

void TemplateDialogTest::messageBoxOwnedByDialog() {
    CScriptedModalUi modalUi;
    QWidget owner;
    QDialog* shown = nullptr;
    WhenModalShown([&](QDialog& dialog) {
        shown = &dialog;
        QCOMPARE(dialog.parentWidget(), &owner);
        QTest::mouseClick(Control<QPushButton>(dialog, kInfoId), Qt::LeftButton);
        QVERIFY(dialog.isVisible()); // the procedure did not end it
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QCOMPARE(RunTestDialog(kTemplate, &owner), IDCANCEL);
    QCOMPARE(modalUi.Boxes.size(), size_t{1});
    QCOMPARE(modalUi.Boxes[0].Owner, static_cast<QWidget*>(shown));
    QCOMPARE(modalUi.Boxes[0].Text, QStringLiteral("Grüße"));
    QCOMPARE(modalUi.Boxes[0].Caption, QStringLiteral("Info"));
}

void TemplateDialogTest::ownerMapping() {
    CScriptedModalUi modalUi;
    QWidget window;
    int notAWidget = 0;
    MessageBoxA(&window, "a", "c", MB_YESNO | MB_ICONQUESTION);
    MessageBoxA(&notAWidget, "b", "c", MB_OK);
    MessageBoxA(nullptr, "c", "c", MB_OK);
    QCOMPARE(modalUi.Boxes.size(), size_t{3});
    QCOMPARE(modalUi.Boxes[0].Owner, &window);
    QCOMPARE(modalUi.Boxes[0].Style, MB_YESNO | MB_ICONQUESTION);
    QCOMPARE(modalUi.Boxes[1].Owner, nullptr); // never taken for a widget
    QCOMPARE(modalUi.Boxes[2].Owner, nullptr);
}

QTEST_MAIN(TemplateDialogTest)
#include "template_dialog_test.moc"
