// The main window's life and documents: start-up and settings, the no-plug-in
// state, the discard questions, opening, closing, dropping, the command line,
// saving, the dialog filters and the comment encodings.
#include <QAction>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <tessane/platform.h>

#include "file_filters.h"
#include "gui_test_support.h"
#include "message_table.h"
#include "save_pipeline.h"

using tessane::MessageText;

namespace {

const char* const kFileBound[] = {"mmFileSave", "mmSaveAs", "mmFileClose", "mmTextLoad",
                                  "SaveButton", "SaveAsButton", "TextLoadButton"};

bool IsEnabled(TTessaneForm& form, const char* name) {
    if (auto* action = form.findChild<QAction*>(QLatin1String(name)))
        return action->isEnabled();
    auto* widget = form.findChild<QWidget*>(QLatin1String(name));
    return widget && widget->isEnabled();
}

bool IsChecked(TTessaneForm& form, const char* name) {
    auto* action = form.findChild<QAction*>(QLatin1String(name));
    return action && action->isChecked();
}

void Trigger(TTessaneForm& form, const char* name) {
    auto* action = form.findChild<QAction*>(QLatin1String(name));
    QVERIFY2(action, name);
    action->trigger();
}

// A drop of local files as the desktop delivers it: the drag enters the
// comment pane, then drops; Qt delivers the drop only where the enter was accepted.
void DropUrls(TTessaneForm& form, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    mime.setUrls(urls);
    QWidget* target = form.MemoComment()->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

// A save step that fails, to stand for a full disk or a vanished directory.
class FailingStep final : public tessane::FileSteps {
public:
    explicit FailingStep(tessane::FileStep failing) : failing_(failing) {}
    int Rename(tessane::FileStep step, const std::string& from, const std::string& to) override {
        return step == failing_ ? EIO : FileSteps::Rename(step, from, to);
    }

private:
    tessane::FileStep failing_;
};

// Replaces the comment as typing would, so the pane counts as edited.
void TypeComment(TTessaneForm& form, const QString& text) {
    form.MemoComment()->selectAll();
    form.MemoComment()->insertPlainText(text);
}

} // namespace

class TestDocuments : public QObject {
    Q_OBJECT

private slots:
    void startupSettings_data();
    void startupSettings();
    void closeWritesSettings();
    void closeQuestion_data();
    void closeQuestion();
    void noPlugins();
    void openAndClose();
    void openFailures_data();
    void openFailures();
    void discardQuestions_data();
    void discardQuestions();
    void dropTakesFirstFileOnly();
    void dropTextFile();
    void commandLineOpensRelativeName();
    void fileNameWithPercentShownLiterally();
    void nameFilters_data();
    void nameFilters();
    void openAndSaveFilters();
    void save_data();
    void save();
    void saveAs();
    void saveAsUnknownExtensionKeepsDocument();
    void saveFailures_data();
    void saveFailures();
    void unEditedCommentSavedByteForByte_data();
    void unEditedCommentSavedByteForByte();
    void editedCommentEncodedBack_data();
    void editedCommentEncodedBack();
    void unencodableCharacterStopsSave();
    void encodingChoiceRereadsAndIsRemembered();
};

// ---- Start-up and close ----------------------------------------------------

void TestDocuments::startupSettings_data() {
    QTest::addColumn<QByteArray>("ini"); // empty: no settings file
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<bool>("backup");
    QTest::addColumn<bool>("notExt");
    QTest::newRow("no file") << QByteArray() << false << true << false;
    QTest::newRow("all on") << QByteArray("[Edit]\nWrap=1\n[Option]\nBackup=1\nNotExt=1\n") << true << true << true;
    QTest::newRow("two is on") << QByteArray("[Edit]\nWrap=2\n[Option]\nBackup=2\n") << true << true << false;
    QTest::newRow("word is default") << QByteArray("[Edit]\nWrap=yes\n[Option]\nBackup=yes\nNotExt=on\n") << false
                                     << true << false;
    QTest::newRow("zero is off") << QByteArray("[Option]\nBackup=0\n") << false << false << false;
    QTest::newRow("hex") << QByteArray("[Edit]\nWrap=0x10\n[Option]\nBackup=$0\nNotExt=$a\n") << true << false
                         << true;
    QTest::newRow("digits then text") << QByteArray("[Option]\nBackup=0abc\n") << false << true << false;
}

void TestDocuments::startupSettings() {
    QFETCH(QByteArray, ini);
    QFETCH(bool, wrap);
    QFETCH(bool, backup);
    QFETCH(bool, notExt);
    ScriptedModalUi ui;
    ProgramDir dir;
    if (!ini.isEmpty())
        dir.write("tessane.ini", ini);
    Editor editor(dir);
    QCOMPARE(IsChecked(*editor, "mmWrap"), wrap);
    QCOMPARE(IsChecked(*editor, "mmBackUp"), backup);
    QCOMPARE(IsChecked(*editor, "mmNotExt"), notExt);
    QPlainTextEdit* memo = editor->MemoComment();
    QCOMPARE(memo->lineWrapMode(), wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    QCOMPARE(memo->horizontalScrollBarPolicy(), wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(ui.boxes.isEmpty());
    QCOMPARE(editor->Tag(), 0);
}

void TestDocuments::closeWritesSettings() {
    ScriptedModalUi ui;
    ProgramDir dir;
    Editor editor(dir);
    TypeComment(*editor, "typed with no document open");
    QVERIFY(editor->close());
    QVERIFY(ui.boxes.isEmpty()); // nothing could be saved, so nothing is asked
    QCOMPARE(dir.setting("Edit", "Wrap"), "0");
    QCOMPARE(dir.setting("Option", "Backup"), "1");
    QCOMPARE(dir.setting("Option", "NotExt"), "0");
}

void TestDocuments::closeQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes quits") << IDYES;
    QTest::newRow("no stays") << IDNO;
}

void TestDocuments::closeQuestion() {
    QFETCH(int, answer);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "old");
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    editor->MemoComment()->selectAll();
    QTest::keyClicks(editor->MemoComment(), "new");
    ui.boxAnswers << answer;
    QCOMPARE(editor->close(), answer == IDYES);
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].text, QStringLiteral("編集したコメントを保存していません。\n終了してよろしいですか？"));
    QCOMPARE(ui.boxes[0].caption, MessageText(7));
    QCOMPARE(ui.boxes[0].style, 0x124u);
    QCOMPARE(dir.exists("tessane.ini"), answer == IDYES);
    QCOMPARE(dir.memoComment("a.tmo"), QByteArray("old")); // quitting never saves
}

void TestDocuments::noPlugins() {
    ScriptedModalUi ui;
    ProgramDir dir(false);
    dir.writeMemo("a.tmo", "x");
    Editor editor(dir, {dir.file("a.tmo")});
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].text, MessageText(50));
    QCOMPARE(ui.boxes[0].caption, MessageText(6));
    QCOMPARE(ui.boxes[0].style, 0x30u);
    QCOMPARE(editor->Tag(), -1);
    for (const char* name : {"mmFileOpen", "OpenButton", "mmAboutPlugin"})
        QVERIFY2(!IsEnabled(*editor, name), name);
    for (const char* name : {"mmUndo", "mmCopy", "mmWrap", "mmBackUp", "mmAuthor", "mmAbout", "AboutButton"})
        QVERIFY2(IsEnabled(*editor, name), name);
    QVERIFY(!editor->acceptDrops());

    editor->show(); // the command line is not opened
    QTest::qWait(20);
    DropUrls(*editor, {dir.file("a.tmo")});
    editor->WMDropFiles({dir.file("a.tmo")});
    QCOMPARE(editor->StatusText(), QString());
    QCOMPARE(ui.boxes.size(), 1);
}

// ---- Open and close ----------------------------------------------------------

void TestDocuments::openAndClose() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "first line\r\nsecond");
    Editor editor(dir);
    for (const char* name : kFileBound)
        QVERIFY2(!IsEnabled(*editor, name), name);

    ui.openAnswers << dir.file("a.tmo");
    Trigger(*editor, "mmFileOpen");
    QCOMPARE(editor->StatusText(), dir.file("a.tmo"));
    QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("first line\nsecond"));
    QCOMPARE(editor->MemoFileInfo()->toPlainText(), QStringLiteral("Memo Image\nFile Size : test"));
    QVERIFY(!editor->MemoComment()->document()->isModified());
    for (const char* name : kFileBound)
        QVERIFY2(IsEnabled(*editor, name), name);

    Trigger(*editor, "mmFileClose");
    QVERIFY(ui.boxes.isEmpty());
    QCOMPARE(editor->StatusText(), QString());
    QCOMPARE(editor->MemoComment()->toPlainText(), QString());
    QCOMPARE(editor->MemoFileInfo()->toPlainText(), QString());
    QVERIFY(editor.host.FileName.empty());
    for (const char* name : kFileBound)
        QVERIFY2(!IsEnabled(*editor, name), name);
    QVERIFY(IsEnabled(*editor, "mmFileOpen"));
}

void TestDocuments::openFailures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("message");
    QTest::newRow("no plug-in for extension") << "a.xyz" << 40;
    QTest::newRow("not a memo file") << "bad.tmo" << 41;
    QTest::newRow("missing file") << "missing.tmo" << 44;
    QTest::newRow("plug-in removed after start") << "gone.tmo" << 45;
}

void TestDocuments::openFailures() {
    QFETCH(QString, name);
    QFETCH(int, message);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "kept");
    dir.writeMemo("a.xyz", "x");
    dir.writeMemo("gone.tmo", "x");
    dir.write("bad.tmo", "not a memo");
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    QTest::keyClicks(editor->MemoComment(), "edit ");
    if (name == QLatin1String("gone.tmo"))
        QFile::remove(dir.file("memo.cpi"));

    QVERIFY(!editor->OpenImageFile(dir.file(name)));
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].text, MessageText(message));
    QCOMPARE(ui.boxes[0].style, 0x30u);
    // The previous document stays, still edited.
    QCOMPARE(editor->StatusText(), dir.file("a.tmo"));
    QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("edit kept"));
    QVERIFY(editor->MemoComment()->document()->isModified());
}

void TestDocuments::discardQuestions_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("question");
    QTest::newRow("open") << "mmFileOpen" << "編集したコメントを保存していません。\n新しいファイルを開きますか？";
    QTest::newRow("close") << "mmFileClose" << "編集したコメントを保存していません。\nファイルを閉じてよろしいですか？";
    QTest::newRow("text load") << "mmTextLoad" << "現在のコメントを破棄して、\nテキストファイルを読み込みますか？";
    QTest::newRow("drop image") << "drop:b.tmo" << "編集したコメントを保存していません。\n%1\nを開きますか？";
    QTest::newRow("drop text") << "drop:c.TXT" << "現在のコメントを破棄して、\n%1\nをコメントとして読み込みますか？";
}

// No keeps everything; the question comes before any dialog.
void TestDocuments::discardQuestions() {
    QFETCH(QString, command);
    QFETCH(QString, question);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "old");
    dir.writeMemo("b.tmo", "other");
    dir.write("c.TXT", "text");
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    QTest::keyClicks(editor->MemoComment(), "new ");
    ui.boxAnswers << IDNO;
    const bool drop = command.startsWith(QLatin1String("drop:"));
    if (drop)
        editor->WMDropFiles({dir.file(command.mid(5))});
    else
        Trigger(*editor, command.toLatin1().constData());
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].text, drop ? question.arg(dir.file(command.mid(5))) : question);
    QCOMPARE(ui.boxes[0].style, 0x124u);
    QVERIFY(ui.openFilters.isEmpty());
    QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("new old"));
    QVERIFY(editor->MemoComment()->document()->isModified());
    QCOMPARE(editor->StatusText(), dir.file("a.tmo"));

    // Yes, then a cancelled dialog: still nothing lost.
    if (!drop && command != QLatin1String("mmFileClose")) {
        Trigger(*editor, command.toLatin1().constData());
        QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("new old"));
        QVERIFY(editor->MemoComment()->document()->isModified());
    }
}

void TestDocuments::dropTakesFirstFileOnly() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "A");
    dir.writeMemo("b.tmo", "B");
    Editor editor(dir);
    DropUrls(*editor, {dir.file("a.tmo"), dir.file("b.tmo"), dir.file("missing.tmo")});
    QVERIFY(ui.boxes.isEmpty());
    QCOMPARE(editor->StatusText(), dir.file("a.tmo"));
    QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("A"));
}

// A text file dropped with no document: loaded, no question, commands stay off.
void TestDocuments::dropTextFile() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.write("note.txt", "line 1\nline 2\r\n");
    Editor editor(dir);
    DropUrls(*editor, {dir.file("note.txt")});
    QVERIFY(ui.boxes.isEmpty());
    QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("line 1\nline 2\n"));
    QVERIFY(editor->MemoComment()->document()->isModified());
    QVERIFY(!IsEnabled(*editor, "mmFileSave"));
}

void TestDocuments::commandLineOpensRelativeName() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("cmd.tmo", "from the command line");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    Editor editor(dir, {"cmd.tmo", "ignored.tmo"});
    editor->show();
    QTRY_COMPARE(editor->StatusText(), QDir(dir.path()).absoluteFilePath("cmd.tmo"));
    QDir::setCurrent(previous);
    QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("from the command line"));
    QVERIFY(ui.boxes.isEmpty());
}

void TestDocuments::fileNameWithPercentShownLiterally() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "A");
    dir.writeMemo("100%s %d %1.tmo", "B");
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    QTest::keyClicks(editor->MemoComment(), "x");
    editor->WMDropFiles({dir.file("100%s %d %1.tmo")});
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].text, MessageText(20) + dir.file("100%s %d %1.tmo") + "\nを開きますか？");
    QCOMPARE(editor->StatusText(), dir.file("100%s %d %1.tmo"));
}

// ---- Filters ---------------------------------------------------------------------

void TestDocuments::nameFilters_data() {
    QTest::addColumn<QString>("filterText");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("all files matches names without a dot")
        << MessageText(31) << QStringList{"すべてのファイル (*)"};
    QTest::newRow("text files") << MessageText(32) << QStringList{"テキストファイル (*.txt)", "すべてのファイル (*)"};
    QTest::newRow("several patterns and trailing semicolon")
        << "Images|*.gif;*.jpg;*.jpeg;" << QStringList{"Images (*.gif *.jpg *.jpeg)"};
    QTest::newRow("label without pattern dropped") << "A|*.a|B" << QStringList{"A (*.a)"};
}

void TestDocuments::nameFilters() {
    QFETCH(QString, filterText);
    QFETCH(QStringList, expected);
    QCOMPARE(tessane::QtNameFilters(filterText), expected);
}

void TestDocuments::openAndSaveFilters() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "A");
    Editor editor(dir);
    QCOMPARE(tessane::OpenFilterText(editor.host), MessageText(30) + "|*.tmo;|Memo Image|*.tmo|" + MessageText(31));
    Trigger(*editor, "mmFileOpen");
    QCOMPARE(ui.openFilters.value(0), "対応するすべての形式 (*.tmo);;Memo Image (*.tmo);;すべてのファイル (*)");
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    Trigger(*editor, "mmSaveAs"); // cancelled: nothing happens
    QCOMPARE(ui.saveFilters.value(0), "Memo Image (*.tmo);;すべてのファイル (*)");
    QCOMPARE(ui.saveSuggestions.value(0), dir.file("a.tmo"));
    QVERIFY(ui.boxes.isEmpty());
}

// ---- Save ----------------------------------------------------------------------

void TestDocuments::save_data() {
    QTest::addColumn<bool>("backup");
    QTest::newRow("backup on") << true;
    QTest::newRow("backup off") << false;
}

void TestDocuments::save() {
    QFETCH(bool, backup);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("photo.tmo", "before");
    if (!backup)
        dir.write("tessane.ini", "[Option]\nBackup=0\n");
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("photo.tmo")));
    TypeComment(*editor, "after\nsave");
    Trigger(*editor, "mmFileSave");
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].text, MessageText(35));
    QCOMPARE(ui.boxes[0].caption, MessageText(7));
    QCOMPARE(ui.boxes[0].style, 0u);
    QCOMPARE(dir.memoComment("photo.tmo"), QByteArray("after\r\nsave"));
    QCOMPARE(dir.exists("photo.tm_"), backup);
    if (backup)
        QCOMPARE(dir.memoComment("photo.tm_"), QByteArray("before"));
    // Reopened: what the file now holds, unmodified.
    QCOMPARE(editor.host.Comment, std::string("after\r\nsave"));
    QVERIFY(!editor->MemoComment()->document()->isModified());
}

void TestDocuments::saveAs() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "A");
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    QTest::keyClicks(editor->MemoComment(), "new ");
    ui.saveAnswers << dir.file("b.tmo");
    Trigger(*editor, "mmSaveAs");
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].text, MessageText(35));
    QCOMPARE(dir.memoComment("b.tmo"), QByteArray("new A"));
    QCOMPARE(dir.memoComment("a.tmo"), QByteArray("A"));
    QVERIFY(!dir.exists("b.tm_"));
    QCOMPARE(editor->StatusText(), dir.file("b.tmo"));
}

void TestDocuments::saveAsUnknownExtensionKeepsDocument() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "A");
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    QTest::keyClicks(editor->MemoComment(), "new ");
    ui.saveAnswers << dir.file("copy.dat");
    Trigger(*editor, "mmSaveAs");
    QCOMPARE(ui.boxes.size(), 2);
    QCOMPARE(ui.boxes[0].text, MessageText(35));
    QCOMPARE(ui.boxes[1].text, MessageText(40));
    QCOMPARE(dir.memoComment("copy.dat"), QByteArray("new A"));
    QCOMPARE(editor->StatusText(), dir.file("a.tmo"));
    QVERIFY(editor->MemoComment()->document()->isModified());
}

void TestDocuments::saveFailures_data() {
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("failFinalStep");
    QTest::addColumn<int>("message");
    QTest::newRow("plug-in refuses") << "REFUSE this" << false << 42;
    QTest::newRow("final rename fails") << "fine" << true << 42;
    QTest::newRow("format cuts the comment") << "CUT short by the format" << false << 42;
}

// The target, the document and the edited pane are as before; no temporary
// file is left behind.
void TestDocuments::saveFailures() {
    QFETCH(QString, comment);
    QFETCH(bool, failFinalStep);
    QFETCH(int, message);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "A");
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    FailingStep failing(tessane::FileStep::TargetRename);
    Editor editor(dir);
    if (failFinalStep)
        editor->SetFileSteps(&failing);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    TypeComment(*editor, comment);
    Trigger(*editor, "mmFileSave");
    qunsetenv("TMPDIR");
    QCOMPARE(ui.boxes.size(), 1);
    QVERIFY2(ui.boxes[0].text.startsWith(MessageText(message)), qPrintable(ui.boxes[0].text));
    QCOMPARE(ui.boxes[0].style, 0x30u);
    QCOMPARE(dir.memoComment("a.tmo"), QByteArray("A"));
    QCOMPARE(editor->MemoComment()->toPlainText(), comment);
    QVERIFY(editor->MemoComment()->document()->isModified());
    QVERIFY(QDir(tmp.path()).isEmpty());
}

// ---- Encodings -------------------------------------------------------------------

void TestDocuments::unEditedCommentSavedByteForByte_data() {
    QTest::addColumn<QByteArray>("comment");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Shift-JIS") << QByteArray("\x93\xfa\x96\x7b\x8c\xea\r\n\x83\x65\x83\x58\x83\x67") // 日本語 CR LF テスト
                               << QStringLiteral("日本語\nテスト");
    QTest::newRow("UTF-8 with lone LF") << QByteArray("\xe6\x97\xa5\xe6\x9c\xac\nx") << QStringLiteral("日本\nx");
    QTest::newRow("invalid in both") << QByteArray("ok\x80\xff\xfe end\r") << QStringLiteral("ok\uFFFD\uFFFD\uFFFD end\n");
}

void TestDocuments::unEditedCommentSavedByteForByte() {
    QFETCH(QByteArray, comment);
    QFETCH(QString, shown);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", comment);
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    QCOMPARE(editor->MemoComment()->toPlainText(), shown);
    Trigger(*editor, "mmFileSave");
    QCOMPARE(ui.boxes.size(), 1);
    QCOMPARE(ui.boxes[0].text, MessageText(35));
    QCOMPARE(dir.memoComment("a.tmo"), comment);
}

void TestDocuments::editedCommentEncodedBack_data() {
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("Shift-JIS stays Shift-JIS") << QByteArray("\x93\xfa\x96\x7b") // 日本
                                               << QByteArray("\x8f\x43\x90\xb3\r\n\x93\xfa\x96\x7b"); // 修正 CR LF 日本
    QTest::newRow("UTF-8 stays UTF-8") << QByteArray("\xe6\x97\xa5\xe6\x9c\xac")
                                       << QByteArray("\xe4\xbf\xae\xe6\xad\xa3\r\n\xe6\x97\xa5\xe6\x9c\xac");
}

void TestDocuments::editedCommentEncodedBack() {
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, saved);
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", original);
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    QPlainTextEdit* memo = editor->MemoComment();
    memo->moveCursor(QTextCursor::Start);
    memo->insertPlainText(QStringLiteral("修正\n"));
    Trigger(*editor, "mmFileSave");
    QCOMPARE(dir.memoComment("a.tmo"), saved);
}

void TestDocuments::unencodableCharacterStopsSave() {
    ScriptedModalUi ui;
    ProgramDir dir;
    dir.writeMemo("a.tmo", "\x93\xfa\x96\x7b"); // Shift-JIS
    Editor editor(dir);
    QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
    editor->MemoComment()->insertPlainText(QStringLiteral("한"));
    Trigger(*editor, "mmFileSave");
    QCOMPARE(ui.boxes.size(), 1);
    QVERIFY2(ui.boxes[0].text.contains(QStringLiteral("「한」")), qPrintable(ui.boxes[0].text));
    QCOMPARE(dir.memoComment("a.tmo"), QByteArray("\x93\xfa\x96\x7b"));
    QVERIFY(editor->MemoComment()->document()->isModified());
}

// Shift-JIS bytes that are also valid UTF-8 are read as UTF-8 until the
// user says otherwise; the choice is stored at close and read at start.
void TestDocuments::encodingChoiceRereadsAndIsRemembered() {
    ScriptedModalUi ui;
    ProgramDir dir;
    const QByteArray comment("\x83\x65\x83\x58"); // テス in Shift-JIS
    dir.writeMemo("a.tmo", "\xc2\xb0"); // "°" in UTF-8, or two half-width katakana in Shift-JIS
    {
        Editor editor(dir);
        QVERIFY(editor->OpenImageFile(dir.file("a.tmo")));
        QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("°"));
        Trigger(*editor, "mmEncodingShiftJis");
        QCOMPARE(editor->MemoComment()->toPlainText(), QStringLiteral("ﾂｰ"));
        QVERIFY(!editor->MemoComment()->document()->isModified());
        QVERIFY(editor->close());
    }
    QCOMPARE(dir.setting("Option", "Encoding"), "1");
    dir.writeMemo("b.tmo", comment);
    Editor next(dir);
    QVERIFY(IsChecked(*next, "mmEncodingShiftJis"));
    QVERIFY(next->OpenImageFile(dir.file("b.tmo")));
    QCOMPARE(next->MemoComment()->toPlainText(), QStringLiteral("テス"));
    QCOMPARE(next->DocumentEncoding(), tessane::TextEncoding::ShiftJis);
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
