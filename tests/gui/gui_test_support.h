// Shared pieces of the editor's tests: a scripted stand-in for every modal
// interaction, and a throw-away program directory with its own plug-in,
// settings file and template.
#pragma once

#include <memory>

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include "modal_ui.h"
#include "tessane_data.h"
#include "tessane_main.h"

struct BoxCall {
    QString text;
    QString caption;
    unsigned style;
};

// Answers every box, file dialog and input dialog from queues and records
// what was asked. An empty queue answers Yes/OK, and cancels file dialogs.
class ScriptedModalUi final : public IModalUi {
public:
    ScriptedModalUi() { SetModalUi(this); }
    ~ScriptedModalUi() override { SetModalUi(nullptr); }

    int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned style) override;
    QString OpenFileName(QWidget* owner, const QString& title, const QString& filters) override;
    QString SaveFileName(QWidget* owner, const QString& title, const QString& filters,
                         const QString& suggestedName) override;
    bool InputText(QWidget* owner, const QString& caption, const QString& prompt, QString& text,
                   int maxLength) override;

    QList<BoxCall> boxes;
    QList<int> boxAnswers;

    QStringList openAnswers;
    QStringList openFilters; // one entry per open dialog shown
    QStringList saveAnswers;
    QStringList saveFilters;
    QStringList saveSuggestions;

    struct InputAnswer {
        bool ok;
        QString text;
    };
    QList<InputAnswer> inputAnswers;
    struct InputCall {
        QString caption, prompt, initial;
        int maxLength;
    };
    QList<InputCall> inputs;
};

// A program directory in a temporary folder: the memo plug-in (unless made
// without), "tessane.ini", "template.txt" and documents all go here.
class ProgramDir {
public:
    explicit ProgramDir(bool withPlugin = true);
    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;
    // A memo document: the magic, then the comment bytes.
    void writeMemo(const QString& name, const QByteArray& comment) const { write(name, "TMEMO" + comment); }
    QByteArray memoComment(const QString& name) const { return read(name).mid(5); }
    // The value of a settings-file entry, or "<missing>".
    QString setting(const char* section, const char* key) const;

private:
    QTemporaryDir dir_;
};

// The host and its window, destroyed in the right order.
struct Editor {
    explicit Editor(const ProgramDir& dir, const QStringList& arguments = {});
    ~Editor();
    TTessaneForm& operator*() { return *form; }
    TTessaneForm* operator->() { return form.get(); }

    CTessane host;
    std::unique_ptr<TTessaneForm> form;
};
