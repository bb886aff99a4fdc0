// The editing commands: the pane they act on, templates, text-file loading,
// word wrap, the author name and the about box.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

#include <tessane/platform.h>

#include "gui_test_support.h"
#include "message_table.h"

using tessane::MessageText;

namespace {

void Trigger(TTessaneForm& form, const char* name) {
    auto* action = form.findChild<QAction*>(QLatin1String(name));
    QVERIFY2(action, name);
    action->trigger();
}

// Selects the characters [from, to) of the comment pane.
void SelectComment(TTessaneForm& form, int from, int to) {
    QTextCursor cursor = form.MemoComment()->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    form.MemoComment()->setTextCursor(cursor);
}

// An open memo document whose comment is "hello world", with the window
// shown so that focus can move.
struct OpenDocument {
    OpenDocument() {
        dir.writeMemo("a.tmo", "hello world");
        editor = std::make_unique<Editor>(dir);
        editor->form->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor->form.get()));
        QVERIFY(editor->form->OpenImageFile(dir.file("a.tmo")));
    }
    TTessaneForm& form() { return *editor->form; }
    ScriptedModalUi ui;
    ProgramDir dir;
    std::unique_ptr<Editor> editor;
};

} // namespace

class TestEditing : public QObject {
    Q_OBJECT

private slots:
    void commandsFollowFocus_data();
    void commandsFollowFocus();
    void undoActsOnCommentPaneOnly();
    void pasteOfEmptyClipboardDoesNotCrash();
    void templateInsertion_data();
    void templateInsertion();
    void templateNotUndoable();
    void templateCommandNeedsFileAtStartUp();
    void textLoad_data();
    void textLoad();
    void wrapToggle();
    void authorName_data();
    void authorName();
    void aboutBox();
};

void TestEditing::commandsFollowFocus_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("infoFocused");
    QTest::addColumn<QString>("comment");   // the comment pane's text afterwards
    QTest::addColumn<QString>("clipboard"); // afterwards; the clipboard starts as "clip"
    QTest::addColumn<QString>("selected");  // the active pane's selection afterwards
    // The comment "hello world" with "world" selected; the info pane's first
    // word "Memo" selected.
    QTest::newRow("cut comment") << "mmCut" << false << "hello " << "world" << "";
    QTest::newRow("cut info does nothing") << "mmCut" << true << "hello world" << "clip" << "Memo";
    QTest::newRow("copy comment") << "mmCopy" << false << "hello world" << "world" << "world";
    QTest::newRow("copy info") << "mmCopy" << true << "hello world" << "Memo" << "Memo";
    QTest::newRow("paste comment") << "mmPaste" << false << "hello clip" << "clip" << "";
    QTest::newRow("paste info does nothing") << "mmPaste" << true << "hello world" << "clip" << "Memo";
    QTest::newRow("delete comment") << "mmDelete" << false << "hello " << "clip" << "";
    QTest::newRow("delete info does nothing") << "mmDelete" << true << "hello world" << "clip" << "Memo";
    QTest::newRow("select all comment") << "mmSelectAll" << false << "hello world" << "clip" << "hello world";
    QTest::newRow("select all info") << "mmSelectAll" << true << "hello world" << "clip"
                                     << QStringLiteral("Memo Image\u2029File Size : test");
}

void TestEditing::commandsFollowFocus() {
    QFETCH(QString, command);
    QFETCH(bool, infoFocused);
    QFETCH(QString, comment);
    QFETCH(QString, clipboard);
    QFETCH(QString, selected);
    OpenDocument doc;
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    SelectComment(doc.form(), 6, 11);
    QTextCursor info = doc.form().MemoFileInfo()->textCursor();
    info.setPosition(0);
    info.setPosition(4, QTextCursor::KeepAnchor);
    doc.form().MemoFileInfo()->setTextCursor(info);
    QPlainTextEdit* active = infoFocused ? doc.form().MemoFileInfo() : doc.form().MemoComment();
    active->setFocus();
    QTRY_VERIFY(active->hasFocus());

    // Through the tool-bar button where there is one, as a user clicks it.
    const QString button = command == "mmCut"         ? "CutButton"
                           : command == "mmCopy"      ? "CopyButton"
                           : command == "mmPaste"     ? "PasteButton"
                           : command == "mmSelectAll" ? "SelAllButton"
                                                      : "";
    if (auto* toolButton = doc.form().findChild<QToolButton*>(button))
        QTest::mouseClick(toolButton, Qt::LeftButton);
    else
        Trigger(doc.form(), command.toLatin1().constData());
    QVERIFY(active->hasFocus()); // the command did not move the focus
    QCOMPARE(doc.form().MemoComment()->toPlainText(), comment);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    QCOMPARE(active->textCursor().selectedText(), selected);
    QCOMPARE(doc.form().MemoComment()->document()->isModified(), comment != QLatin1String("hello world"));
}

void TestEditing::undoActsOnCommentPaneOnly() {
    OpenDocument doc;
    auto* undoButton = doc.form().findChild<QToolButton*>("UndoButton");
    QVERIFY(undoButton);
    doc.form().MemoComment()->setFocus();
    QTest::keyClicks(doc.form().MemoComment(), "x");
    doc.form().MemoFileInfo()->setFocus();
    QTRY_VERIFY(doc.form().MemoFileInfo()->hasFocus());
    QTest::mouseClick(undoButton, Qt::LeftButton);
    QCOMPARE(doc.form().MemoComment()->toPlainText(), QStringLiteral("xhello world"));
    doc.form().MemoComment()->setFocus();
    QTRY_VERIFY(doc.form().MemoComment()->hasFocus());
    QTest::mouseClick(undoButton, Qt::LeftButton);
    QCOMPARE(doc.form().MemoComment()->toPlainText(), QStringLiteral("hello world"));
}

// Qt 6.4 crashed on pasting clipboard data without any format.
void TestEditing::pasteOfEmptyClipboardDoesNotCrash() {
    OpenDocument doc;
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    doc.form().MemoComment()->setFocus();
    Trigger(doc.form(), "mmPaste");
    QTest::keyClick(doc.form().MemoComment(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(doc.form().MemoComment()->toPlainText(), QStringLiteral("hello world"));
    QVERIFY(!doc.form().MemoComment()->document()->isModified());
}

void TestEditing::templateInsertion_data() {
    QTest::addColumn<QByteArray>("templateBytes");
    QTest::addColumn<QString>("expected"); // "hello world" with "world" selected
    QTest::newRow("no final line break") << QByteArray("one\r\ntwo") << "hello one\ntwo\n";
    QTest::newRow("three lines replace the selection") << QByteArray("a\nb\rc\r\n") << "hello a\nb\nc\n";
    QTest::newRow("empty file removes the selection") << QByteArray() << "hello ";
    QTest::newRow("zero byte ends the text") << QByteArray("cut\0here\n", 9) << "hello cut\n";
    QTest::newRow("Shift-JIS") << QByteArray("\x93\xfa\x96\x7b") << QStringLiteral("hello 日本\n");
}

void TestEditing::templateInsertion() {
    QFETCH(QByteArray, templateBytes);
    QFETCH(QString, expected);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.write("template.txt", templateBytes);
    dir.writeMemo("a.tmo", "hello world");
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    SelectComment(*editor, 6, 11);
    Trigger(*editor, "mmTemplate");
    QCOMPARE(editor->MemoComment()->toPlainText(), expected);
    QVERIFY(editor->MemoComment()->document()->isModified());
    QVERIFY(ui.boxes.isEmpty());
}

void TestEditing::templateNotUndoable() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.write("template.txt", "T");
    Editor editor(dir);
    QTest::keyClicks(editor->MemoComment(), "ab");
    Trigger(*editor, "mmTemplate");
    QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("abT\n"));
    Trigger(*editor, "mmUndo");
    QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("abT\n"));
    QVERIFY(editor->MemoComment()->document()->isModified());
}

void TestEditing::templateCommandNeedsFileAtStartUp() {
    ScriptedModalUi ui;
    ProgramDir dir;
    Editor editor(dir);
    auto* action = editor->findChild<QAction*>("mmTemplate");
    QVERIFY(!action->isEnabled());
    QVERIFY(!editor->findChild<QWidget*>("InsertTmpButton")->isEnabled());
    dir.write("template.txt", "late");
    QVERIFY(!action->isEnabled());
    Editor next(dir);
    QVERIFY(next->findChild<QAction*>("mmTemplate")->isEnabled());
}

void TestEditing::textLoad_data() {
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unedited: no question") << false << -1 << "from file\nline 2";
    QTest::newRow("edited, yes") << true << IDYES << "from file\nline 2";
    QTest::newRow("edited, no") << true << IDNO << "x hello world";
}

void TestEditing::textLoad() {
    QFETCH(bool, edited);
    QFETCH(int, answer);
    QFETCH(QString, expected);
    OpenDocument doc;
    doc.dir.write("note.txt", QByteArray("from file\r\nline 2\0rest", 22));
    if (edited)
        QTest::keyClicks(doc.form().MemoComment(), "x ");
    if (answer != -1)
        doc.ui.boxAnswers << answer;
    doc.ui.openAnswers << doc.dir.file("note.txt");
    Trigger(doc.form(), "mmTextLoad");
    QCOMPARE(doc.ui.boxes.size(), edited ? 1 : 0);
    if (edited)
        QCOMPARE(doc.ui.boxes[0].text, MessageText(11));
    QCOMPARE(doc.ui.openFilters.size(), answer == IDNO ? 0 : 1);
    if (answer != IDNO)
        QCOMPARE(doc.ui.openFilters[0], "テキストファイル (*.txt);;すべてのファイル (*)");
    QCOMPARE(doc.form().MemoComment()->toPlainText(), expected);
    QVERIFY(doc.form().MemoComment()->document()->isModified() == (edited || answer != IDNO));
    QCOMPARE(doc.form().StatusText(), doc.dir.file("a.tmo")); // the document stays open
}

void TestEditing::wrapToggle() {
    ScriptedModalUi ui;
    ProgramDir dir;
    Editor editor(dir);
    QPlainTextEdit* memo = editor->MemoComment();
    Trigger(*editor, "mmWrap");
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    Trigger(*editor, "mmWrap");
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void TestEditing::authorName_data() {
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("OK") << true << "山田 花子" << "山田 花子";
    QTest::newRow("OK with empty box") << true << "" << "";
    QTest::newRow("cancel") << false << "ignored" << "old name";
    QTest::newRow("cut to 255") << true << QString(300, QLatin1Char('n')) << QString(255, QLatin1Char('n'));
}

void TestEditing::authorName() {
    QFETCH(bool, ok);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.write("tessane.ini", "[Author]\nName=old name\n");
    Editor editor(dir);
    ui.inputAnswers << ScriptedModalUi::InputAnswer{ok, typed};
    Trigger(*editor, "mmAuthor");
    QCOMPARE(ui.inputs.size(), 1);
    QCOMPARE(ui.inputs[0].caption, MessageText(51));
    QCOMPARE(ui.inputs[0].prompt, MessageText(52));
    QCOMPARE(ui.inputs[0].initial, QStringLiteral("old name"));
    QCOMPARE(ui.inputs[0].maxLength, 255);
    QCOMPARE(dir.setting("Author", "Name"), stored);
}

void TestEditing::aboutBox() {
    ScriptedModalUi ui;
    ProgramDir dir;
    Editor editor(dir);
    Trigger(*editor, "mmAbout");
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].caption, QStringLiteral("情報"));
    QCOMPARE(ui.boxes[0].style, 0x40u);
    const QStringList lines = ui.boxes[0].text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.mid(0, 4), (QStringList{"Tessane", "", "Version 1.02 (2000.08.28)", ""}));
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
