// TTessaneForm: the editor's one window. It shows the open file's comment in
// an editable pane and its description below, and runs the document, editing
// and option commands. The document itself lives in the host object.
#pragma once

#include <memory>

#include <QMainWindow>
#include <QStringList>

#include "comment_codec.h"
#include "settings.h"

class CTessane;
class QActionGroup;
class QLabel;
class QPlainTextEdit;
namespace Ui {
class TTessaneForm;
}
namespace tessane {
class FileSteps;
}

class TTessaneForm : public QMainWindow {
    Q_OBJECT

public:
    // programDirectory holds the plug-ins, "tessane.ini" and "template.txt"
    // (it ends with '/'); arguments are the command line without the program.
    TTessaneForm(CTessane& host, const QString& programDirectory, const QStringList& arguments,
                 QWidget* parent = nullptr);
    ~TTessaneForm() override;

    // -1 when start-up accepted no plug-in, else 0.
    int Tag() const { return tag_; }
    QString StatusText() const;
    QPlainTextEdit* MemoComment() const;
    QPlainTextEdit* MemoFileInfo() const;
    tessane::TextEncoding DocumentEncoding() const { return documentEncoding_; }

    // Opens name as the document; true on success, else a warning box.
    bool OpenImageFile(const QString& name);
    // Replaces the comment pane's text with a text file's and marks it modified.
    void LoadTextFile(const QString& name);
    // Files dropped on the window: only the first is taken.
    void WMDropFiles(const QStringList& names);
    // Writes the document with the pane's comment to target, then reopens it.
    void SaveImageFile(const QString& target);

    // A relative name made absolute; any other name as it is.
    static QString ExpandLongFileName(const QString& name);

    // Tests replace the save's file steps (not owned; null: the real ones).
    void SetFileSteps(tessane::FileSteps* steps) { fileSteps_ = steps; }

public slots:
    void mmFileOpenClick();
    void mmFileSaveClick();
    void mmSaveAsClick();
    void mmFileCloseClick();
    void mmTextLoadClick();
    void mmExitClick();
    void mmUndoClick();
    void mmCutClick();
    void mmCopyClick();
    void mmPasteClick();
    void mmDeleteClick();
    void mmSelectAllClick();
    void mmTemplateClick();
    void mmWrapClick();
    void mmBackUpClick();
    void mmNotExtClick();
    void mmEncodingClick();
    void mmAuthorClick();
    void mmAboutPluginClick();
    void mmAboutClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction, in order.
    void SetUpControls();
    void SetUpToolButtons();
    void SetUpFonts();
    void ConnectActions();
    void FormCreate();
    void FormShow();
    void CentreOnScreen();

    void ReadSettings();
    void WriteSettings();
    void ApplyWordWrap();
    void EnableFileCommands(bool on);
    tessane::EncodingChoice CurrentEncodingChoice() const;
    void SetEncodingChoice(tessane::EncodingChoice choice);
    void ShowDocument();

    bool DocumentOpen() const;
    // Asks text as a question when an edited comment of an open document
    // would be lost; false when the user answered No.
    bool ConfirmDiscard(const QString& question);
    QString FileNameMessage(int textId, const QString& fileName) const;
    QPlainTextEdit* ActiveMemo() const;
    // The bytes a save writes as the comment; false after telling the user
    // that the text cannot be encoded.
    bool CommentBytesForSave(QByteArray& bytes);
    // Reads a whole text file, cut at a zero byte; false after reporting why not.
    bool ReadTextFile(const QString& path, QString& text);
    void ReportError(const QString& text);
    bool HandleFileDrag(QEvent* event);
    void* Owner();

    std::unique_ptr<Ui::TTessaneForm> ui_;
    CTessane& host_;
    QString programDirectory_;
    QStringList arguments_;
    tessane::CSettingsFile settings_;
    QLabel* statusLabel_ = nullptr;
    QActionGroup* encodingGroup_ = nullptr;
    tessane::TextEncoding documentEncoding_ = tessane::TextEncoding::Utf8;
    tessane::FileSteps* fileSteps_ = nullptr;
    int tag_ = 0;
    bool shown_ = false;
};
