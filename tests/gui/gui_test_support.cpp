#include "gui_test_support.h"

#include <QFile>
#include <QTest>

#include <tessane/platform.h>

int ScriptedModalUi::MessageBox(QWidget*, const QString& text, const QString& caption, unsigned style) {
    boxes.append({text, caption, style});
    if (!boxAnswers.isEmpty())
        return boxAnswers.takeFirst();
    return (style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

QString ScriptedModalUi::OpenFileName(QWidget*, const QString&, const QString& filters) {
    openFilters.append(filters);
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString ScriptedModalUi::SaveFileName(QWidget*, const QString&, const QString& filters, const QString& suggestedName) {
    saveFilters.append(filters);
    saveSuggestions.append(suggestedName);
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

bool ScriptedModalUi::InputText(QWidget*, const QString& caption, const QString& prompt, QString& text,
                                int maxLength) {
    inputs.append({caption, prompt, text, maxLength});
    if (inputAnswers.isEmpty())
        return false;
    const InputAnswer answer = inputAnswers.takeFirst();
    if (answer.ok)
        text = answer.text;
    return answer.ok;
}

ProgramDir::ProgramDir(bool withPlugin) {
    if (withPlugin)
        QFile::copy(QStringLiteral(TSN_MEMO_PLUGIN), file(QStringLiteral("memo.cpi")));
}

void ProgramDir::write(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray ProgramDir::read(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool ProgramDir::exists(const QString& name) const { return QFile::exists(file(name)); }

QString ProgramDir::setting(const char* section, const char* key) const {
    char buffer[300];
    GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer,
                             QFile::encodeName(file(QStringLiteral("tessane.ini"))).constData());
    return QString::fromUtf8(buffer);
}

Editor::Editor(const ProgramDir& dir, const QStringList& arguments)
    : form(std::make_unique<TTessaneForm>(host, dir.path(), arguments)) {}

Editor::~Editor() { form.reset(); }
