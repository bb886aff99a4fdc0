#include "tessane_main.h"

#include <new>

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTextCursor>
#include <QUrl>

#include <tessane/platform.h>

#include "Mbox_res.h"
#include "file_filters.h"
#include "main_window_look.h"
#include "message_table.h"
#include "modal_ui.h"
#include "save_pipeline.h"
#include "tessane_data.h"
#include "tessane_plug.h"
#include "ui_tessane_main.h"

using namespace tessane;

namespace {

// Message 47: a character of an edited comment that the document's encoding
// cannot hold ("%s" is the character).
constexpr int kMsgUnencodable = 47;
// The about text is the one text shown that is not in the message table.
const char* const kAboutText =
    "Tessane\n\nVersion 1.02 (2000.08.28)\n\nThe Tessane project\n"
    "A comment editor for GIF and JPEG images\n"
    "Formats come from the comment plug-ins beside the program";
constexpr int kAuthorMaxLength = 255;

std::string ToHost(const QString& name) { return QFile::encodeName(name).toStdString(); }
QString FromHost(const std::string& name) {
    return QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

// The extension as the drop rule sees it: from the last dot on, when that dot
// stands after the last path separator.
QString DropExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator = name.lastIndexOf(QLatin1Char('/'));
    return dot > separator ? name.mid(dot).toLower() : QString();
}

} // namespace

TTessaneForm::TTessaneForm(CTessane& host, const QString& programDirectory, const QStringList& arguments,
                           QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TTessaneForm>()), host_(host),
      programDirectory_(programDirectory), arguments_(arguments),
      settings_(ToHost(programDirectory + QStringLiteral("tessane.ini"))) {
    ui_->setupUi(this);
    SetUpControls();
    SetUpToolButtons();
    SetUpFonts();
    ConnectActions();
    setAcceptDrops(true);
    CentreOnScreen(); // before start-up, so that its boxes stand over the window's place
    try {
        FormCreate();
    } catch (const std::exception& error) {
        ReportError(QString::fromLocal8Bit(error.what()));
    }
}

TTessaneForm::~TTessaneForm() = default;

QString TTessaneForm::StatusText() const { return statusLabel_->text(); }
QPlainTextEdit* TTessaneForm::MemoComment() const { return ui_->MemoComment; }
QPlainTextEdit* TTessaneForm::MemoFileInfo() const { return ui_->MemoFileInfo; }

// ---- Construction -----------------------------------------------------------

void TTessaneForm::SetUpControls() {
    // The description pane: read-only, button-face background, reached by
    // clicking only, 80 pixels high at start.
    QPalette infoPalette = ui_->MemoFileInfo->palette();
    infoPalette.setColor(QPalette::Base, infoPalette.color(QPalette::Button));
    ui_->MemoFileInfo->setPalette(infoPalette);
    ui_->Splitter1->setStretchFactor(0, 1);
    ui_->Splitter1->setStretchFactor(1, 0);
    ui_->Splitter1->setSizes({height(), 80});

    // One simple panel with one text; shown as plain text so that a '%' or
    // '<' in a file name appears as it is.
    statusLabel_ = new QLabel(this);
    statusLabel_->setObjectName(QStringLiteral("StatusText"));
    statusLabel_->setTextFormat(Qt::PlainText);
    statusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path must not widen the window: the label shows what fits.
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ui_->StatusBar->addWidget(statusLabel_, 1);
    ui_->StatusBar->setSizeGripEnabled(true);

    encodingGroup_ = new QActionGroup(this);
    encodingGroup_->addAction(ui_->mmEncodingAuto);
    encodingGroup_->addAction(ui_->mmEncodingShiftJis);
    encodingGroup_->addAction(ui_->mmEncodingUtf8);

    // File drops on the panes are the window's, not text to insert.
    ui_->MemoComment->viewport()->installEventFilter(this);
    ui_->MemoFileInfo->viewport()->installEventFilter(this);
    resize(500, 400);
}

void TTessaneForm::SetUpToolButtons() {
    const struct {
        QAction* action;
        const char* buttonName;
        const char* themeIcon;
        const char* bundledIcon;
    } buttons[] = {
        {ui_->mmFileOpen, "OpenButton", "document-open", "open"},
        {ui_->mmFileSave, "SaveButton", "document-save", "save"},
        {ui_->mmSaveAs, "SaveAsButton", "document-save-as", "save-as"},
        {ui_->mmTextLoad, "TextLoadButton", "document-import", "text-load"},
        {ui_->mmUndo, "UndoButton", "edit-undo", "undo"},
        {ui_->mmCut, "CutButton", "edit-cut", "cut"},
        {ui_->mmCopy, "CopyButton", "edit-copy", "copy"},
        {ui_->mmPaste, "PasteButton", "edit-paste", "paste"},
        {ui_->mmSelectAll, "SelAllButton", "edit-select-all", "select-all"},
        {ui_->mmTemplate, "InsertTmpButton", "insert-text", "template"},
        {ui_->mmAbout, "AboutButton", "help-about", "about"},
    };
    for (const auto& button : buttons) {
        button.action->setIcon(ThemeIcon(button.themeIcon, button.bundledIcon));
        if (QWidget* widget = ui_->ButtonPanel->widgetForAction(button.action)) {
            widget->setObjectName(QLatin1String(button.buttonName));
            widget->setFixedSize(25, 25);
        }
    }
    ui_->mmFileClose->setIcon(ThemeIcon("document-close", nullptr));
    ui_->mmExit->setIcon(ThemeIcon("application-exit", nullptr));
    ui_->mmDelete->setIcon(ThemeIcon("edit-delete", nullptr));
    ui_->ButtonPanel->setIconSize(QSize(16, 16));
    setWindowIcon(ProgramIcon());
}

void TTessaneForm::SetUpFonts() {
    setFont(WindowFont(font()));
    const QFont memoFont = MemoFont(font());
    ui_->MemoComment->setFont(memoFont);
    ui_->MemoFileInfo->setFont(memoFont);
}

void TTessaneForm::ConnectActions() {
    const struct {
        QAction* action;
        void (TTessaneForm::*handler)();
    } handlers[] = {
        {ui_->mmFileOpen, &TTessaneForm::mmFileOpenClick},
        {ui_->mmFileSave, &TTessaneForm::mmFileSaveClick},
        {ui_->mmSaveAs, &TTessaneForm::mmSaveAsClick},
        {ui_->mmFileClose, &TTessaneForm::mmFileCloseClick},
        {ui_->mmTextLoad, &TTessaneForm::mmTextLoadClick},
        {ui_->mmExit, &TTessaneForm::mmExitClick},
        {ui_->mmUndo, &TTessaneForm::mmUndoClick},
        {ui_->mmCut, &TTessaneForm::mmCutClick},
        {ui_->mmCopy, &TTessaneForm::mmCopyClick},
        {ui_->mmPaste, &TTessaneForm::mmPasteClick},
        {ui_->mmDelete, &TTessaneForm::mmDeleteClick},
        {ui_->mmSelectAll, &TTessaneForm::mmSelectAllClick},
        {ui_->mmTemplate, &TTessaneForm::mmTemplateClick},
        {ui_->mmWrap, &TTessaneForm::mmWrapClick},
        {ui_->mmBackUp, &TTessaneForm::mmBackUpClick},
        {ui_->mmNotExt, &TTessaneForm::mmNotExtClick},
        {ui_->mmEncodingAuto, &TTessaneForm::mmEncodingClick},
        {ui_->mmEncodingShiftJis, &TTessaneForm::mmEncodingClick},
        {ui_->mmEncodingUtf8, &TTessaneForm::mmEncodingClick},
        {ui_->mmAuthor, &TTessaneForm::mmAuthorClick},
        {ui_->mmAboutPlugin, &TTessaneForm::mmAboutPluginClick},
        {ui_->mmAbout, &TTessaneForm::mmAboutClick},
    };
    for (const auto& entry : handlers)
        connect(entry.action, &QAction::triggered, this, entry.handler);
}

// Settings, template file, plug-ins.
void TTessaneForm::FormCreate() {
    ReadSettings();
    ApplyWordWrap();
    const bool haveTemplate = QFileInfo::exists(programDirectory_ + QStringLiteral("template.txt"));
    ui_->mmTemplate->setEnabled(haveTemplate);
    if (!host_.LoadPlugins(ToHost(programDirectory_), "*.cpi")) {
        MessageBoxRes(MsgNoPluginsFound, MsgCaptionWarning, MbWarning, this);
        ui_->mmFileOpen->setEnabled(false);
        ui_->mmAboutPlugin->setEnabled(false);
        setAcceptDrops(false);
        tag_ = -1;
    }
}

void TTessaneForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // Open the command line's file once the window is on the screen, so that
    // a warning about it has its window behind it.
    QMetaObject::invokeMethod(this, &TTessaneForm::FormShow, Qt::QueuedConnection);
}

void TTessaneForm::CentreOnScreen() {
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TTessaneForm::FormShow() {
    if (tag_ == -1 || arguments_.isEmpty())
        return;
    OpenImageFile(ExpandLongFileName(arguments_.first()));
}

QString TTessaneForm::ExpandLongFileName(const QString& name) {
    if (name.isEmpty() || !QFileInfo(name).isRelative())
        return name;
    return QDir::current().absoluteFilePath(name);
}

// ---- Settings ---------------------------------------------------------------

void TTessaneForm::ReadSettings() {
    ui_->mmWrap->setChecked(settings_.ReadBool(kWrapSetting));
    ui_->mmBackUp->setChecked(settings_.ReadBool(kBackupSetting));
    ui_->mmNotExt->setChecked(settings_.ReadBool(kNotExtSetting));
    SetEncodingChoice(EncodingChoiceFromSetting(settings_.ReadInt(kEncodingSetting)));
}

void TTessaneForm::WriteSettings() {
    settings_.WriteBool(kWrapSetting, ui_->mmWrap->isChecked());
    settings_.WriteBool(kBackupSetting, ui_->mmBackUp->isChecked());
    settings_.WriteBool(kNotExtSetting, ui_->mmNotExt->isChecked());
    settings_.WriteInt(kEncodingSetting, static_cast<int>(CurrentEncodingChoice()));
}

EncodingChoice TTessaneForm::CurrentEncodingChoice() const {
    if (ui_->mmEncodingShiftJis->isChecked())
        return EncodingChoice::ShiftJis;
    if (ui_->mmEncodingUtf8->isChecked())
        return EncodingChoice::Utf8;
    return EncodingChoice::Automatic;
}

void TTessaneForm::SetEncodingChoice(EncodingChoice choice) {
    switch (choice) {
    case EncodingChoice::ShiftJis:
        ui_->mmEncodingShiftJis->setChecked(true);
        break;
    case EncodingChoice::Utf8:
        ui_->mmEncodingUtf8->setChecked(true);
        break;
    case EncodingChoice::Automatic:
        ui_->mmEncodingAuto->setChecked(true);
        break;
    }
}

// ---- Close --------------------------------------------------------------------

void TTessaneForm::mmExitClick() { close(); }

void TTessaneForm::closeEvent(QCloseEvent* event) {
    if (!ConfirmDiscard(MessageText(MsgUnsavedComment) + MessageText(MsgQuit))) {
        event->ignore();
        return;
    }
    WriteSettings();
    event->accept();
}

// ---- Document state -------------------------------------------------------

bool TTessaneForm::DocumentOpen() const { return !host_.FileName.empty(); }

void TTessaneForm::EnableFileCommands(bool on) {
    for (QAction* action : {ui_->mmFileSave, ui_->mmSaveAs, ui_->mmFileClose, ui_->mmTextLoad})
        action->setEnabled(on);
}

bool TTessaneForm::ConfirmDiscard(const QString& question) {
    if (!ui_->MemoComment->document()->isModified() || !DocumentOpen())
        return true;
    return MessageBoxStr(question, MsgCaptionConfirm, MbQuestion, this) != IDNO;
}

// The message with the file name put in for its "%s", literally.
QString TTessaneForm::FileNameMessage(int textId, const QString& fileName) const {
    QString text = MessageText(textId);
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    if (at >= 0)
        text.replace(at, 2, QDir::toNativeSeparators(fileName));
    return text;
}

void* TTessaneForm::Owner() { return static_cast<QWidget*>(this); }

void TTessaneForm::ReportError(const QString& text) {
    ModalUi().MessageBox(this, text, QStringLiteral("Tessane"), MB_OK | MB_ICONHAND);
}

// ---- Open and close -------------------------------------------------------

bool TTessaneForm::OpenImageFile(const QString& name) {
    const int32_t result = host_.OpenFile(Owner(), ToHost(name), ui_->mmNotExt->isChecked());
    if (result != CPI_OK) {
        MessageBoxRes(MessageForResult(result), MsgCaptionWarning, MbWarning, this);
        return false;
    }
    ShowDocument();
    return true;
}

// The host's document in the panes, unmodified.
void TTessaneForm::ShowDocument() {
    const QByteArray comment(host_.Comment.data(), static_cast<qsizetype>(host_.Comment.size()));
    const DecodedText decoded = DecodeComment(comment, CurrentEncodingChoice());
    documentEncoding_ = decoded.encoding;
    statusLabel_->setText(FromHost(host_.FileName));
    ui_->MemoComment->setPlainText(decoded.text);
    ui_->MemoComment->document()->setModified(false);
    const QByteArray info(host_.FileInfo.data(), static_cast<qsizetype>(host_.FileInfo.size()));
    ui_->MemoFileInfo->setPlainText(DecodeComment(info, EncodingChoice::Automatic).text);
    EnableFileCommands(true);
}

void TTessaneForm::mmFileOpenClick() {
    if (!ConfirmDiscard(MessageText(MsgUnsavedComment) + MessageText(MsgOpenNewFile)))
        return;
    const QString name =
        ModalUi().OpenFileName(this, QString(), QtNameFilters(OpenFilterText(host_)).join(QStringLiteral(";;")));
    if (!name.isEmpty())
        OpenImageFile(name);
}

void TTessaneForm::mmFileCloseClick() {
    if (!ConfirmDiscard(MessageText(MsgUnsavedComment) + MessageText(MsgCloseFile)))
        return;
    host_.CloseFile();
    ui_->MemoComment->clear();
    ui_->MemoComment->document()->setModified(false);
    ui_->MemoFileInfo->clear();
    statusLabel_->clear();
    EnableFileCommands(false);
}

void TTessaneForm::WMDropFiles(const QStringList& names) {
    if (tag_ == -1 || names.isEmpty())
        return;
    const QString name = names.first();
    const bool textFile = DropExtension(name) == QLatin1String(".txt");
    const QString question = textFile ? FileNameMessage(MsgLoadTextFileNamed, name)
                                      : MessageText(MsgUnsavedComment) + FileNameMessage(MsgOpenFileNamed, name);
    if (!ConfirmDiscard(question))
        return;
    if (textFile)
        LoadTextFile(name);
    else
        OpenImageFile(name);
}

// A drag that carries local files is the window's, wherever it is over.
bool TTessaneForm::HandleFileDrag(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QList<QUrl> urls = drop->mimeData() ? drop->mimeData()->urls() : QList<QUrl>();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return false;
    if (tag_ == -1) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        WMDropFiles({urls.first().toLocalFile()});
    return true;
}

void TTessaneForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!HandleFileDrag(event))
        QMainWindow::dragEnterEvent(event);
}

void TTessaneForm::dropEvent(QDropEvent* event) {
    if (!HandleFileDrag(event))
        QMainWindow::dropEvent(event);
}

bool TTessaneForm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (HandleFileDrag(event))
            return true;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Save -----------------------------------------------------------------

void TTessaneForm::mmFileSaveClick() { SaveImageFile(FromHost(host_.FileName)); }

void TTessaneForm::mmSaveAsClick() {
    const QString filters = QtNameFilters(SaveFilterText(host_)).join(QStringLiteral(";;"));
    const QString name = ModalUi().SaveFileName(this, QString(), filters, FromHost(host_.FileName));
    if (!name.isEmpty())
        SaveImageFile(name);
}

bool TTessaneForm::CommentBytesForSave(QByteArray& bytes) {
    if (!ui_->MemoComment->document()->isModified()) {
        // Unedited: exactly the bytes the file held, whatever they are.
        bytes = QByteArray(host_.Comment.data(), static_cast<qsizetype>(host_.Comment.size()));
        return true;
    }
    const EncodedText encoded = EncodeComment(ui_->MemoComment->toPlainText(), documentEncoding_);
    if (!encoded.unencodable.isEmpty()) {
        QString text = MessageText(kMsgUnencodable);
        const qsizetype at = text.indexOf(QLatin1String("%s"));
        if (at >= 0)
            text.replace(at, 2, encoded.unencodable);
        MessageBoxStr(text, MsgCaptionWarning, MbWarning, this);
        return false;
    }
    bytes = encoded.bytes;
    return true;
}

void TTessaneForm::SaveImageFile(const QString& target) {
    QByteArray comment;
    if (!CommentBytesForSave(comment))
        return;
    const std::string text(comment.constData(), static_cast<size_t>(comment.size()));
    const bool backup = ui_->mmBackUp->isChecked();
    // The new image is read back before it replaces anything, so a format
    // that cannot hold the whole text fails the save instead of cutting it.
    tessane::FileSteps realSteps;
    const SaveOutcome outcome =
        tessane::SaveImageFile(host_, Owner(), ToHost(target), text, backup, fileSteps_ ? *fileSteps_ : realSteps,
                               tessane::CommentKeptCheck(host_, Owner(), text));
    if (outcome.code != CPI_OK || outcome.messageId != 0) {
        QString message = MessageText(outcome.messageId);
        if (!outcome.reason.empty()) // names the file and the cause
            message += QLatin1Char('\n') + QString::fromLocal8Bit(outcome.reason.c_str());
        MessageBoxStr(message, MsgCaptionWarning, MbWarning, this);
        return;
    }
    MessageBoxRes(MsgSaved, MsgCaptionConfirm, MbNotice, this);
    OpenImageFile(target);
}

// ---- Text files and templates ------------------------------------------

bool TTessaneForm::ReadTextFile(const QString& path, QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReportError(QDir::toNativeSeparators(path) + QLatin1Char('\n') + file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ReportError(QDir::toNativeSeparators(path) + QLatin1Char('\n') + file.errorString());
        return false;
    }
    text = DecodeComment(CutAtZeroByte(bytes), CurrentEncodingChoice()).text;
    return true;
}

void TTessaneForm::LoadTextFile(const QString& name) {
    QString text;
    if (!ReadTextFile(name, text))
        return;
    ui_->MemoComment->setPlainText(text);
    ui_->MemoComment->document()->setModified(true);
}

void TTessaneForm::mmTextLoadClick() {
    if (!ConfirmDiscard(MessageText(MsgLoadTextFile)))
        return;
    const QString filters = QtNameFilters(MessageText(MsgFilterTextFiles)).join(QStringLiteral(";;"));
    const QString name = ModalUi().OpenFileName(this, QStringLiteral("ﾃｷｽﾄﾌｧｲﾙを読み込む"), filters);
    if (!name.isEmpty())
        LoadTextFile(name);
}

void TTessaneForm::mmTemplateClick() {
    QString text;
    try {
        if (!ReadTextFile(programDirectory_ + QStringLiteral("template.txt"), text))
            return;
    } catch (const std::bad_alloc&) {
        MessageBoxRes(MsgMemoryError, MsgCaptionWarning, MbWarning, this);
        return;
    }
    // Every line ends with a line break, the last one too.
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    QTextDocument* document = ui_->MemoComment->document();
    // The insertion is outside the undo history: undo cannot take it back.
    document->setUndoRedoEnabled(false);
    QTextCursor cursor = ui_->MemoComment->textCursor();
    cursor.insertText(text);
    ui_->MemoComment->setTextCursor(cursor);
    document->setUndoRedoEnabled(true);
    document->setModified(true);
}

// ---- Edit commands --------------------------------------------------------

// The pane the edit commands act on: the description pane when it has the
// focus, the comment pane in every other case.
QPlainTextEdit* TTessaneForm::ActiveMemo() const {
    return focusWidget() == ui_->MemoFileInfo ? ui_->MemoFileInfo : ui_->MemoComment;
}

void TTessaneForm::mmUndoClick() {
    if (ActiveMemo() == ui_->MemoComment)
        ui_->MemoComment->undo();
}

void TTessaneForm::mmCutClick() {
    if (ActiveMemo() == ui_->MemoComment)
        ui_->MemoComment->cut();
}

void TTessaneForm::mmCopyClick() { ActiveMemo()->copy(); }

void TTessaneForm::mmPasteClick() {
    if (ActiveMemo() == ui_->MemoComment)
        ui_->MemoComment->paste();
}

void TTessaneForm::mmDeleteClick() {
    if (ActiveMemo() == ui_->MemoComment)
        ui_->MemoComment->textCursor().removeSelectedText();
}

void TTessaneForm::mmSelectAllClick() { ActiveMemo()->selectAll(); }

// ---- Options --------------------------------------------------------------

void TTessaneForm::ApplyWordWrap() {
    const bool wrap = ui_->mmWrap->isChecked();
    ui_->MemoComment->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    ui_->MemoComment->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    ui_->MemoComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

// The action has toggled its own check mark already.
void TTessaneForm::mmWrapClick() { ApplyWordWrap(); }
void TTessaneForm::mmBackUpClick() {}
void TTessaneForm::mmNotExtClick() {}

// An unedited comment is shown again as the new choice reads it; an edited
// one keeps its text and is saved in the new encoding.
void TTessaneForm::mmEncodingClick() {
    if (!DocumentOpen())
        return;
    if (ui_->MemoComment->document()->isModified()) {
        const QByteArray comment(host_.Comment.data(), static_cast<qsizetype>(host_.Comment.size()));
        documentEncoding_ = DetectEncoding(comment, CurrentEncodingChoice());
        return;
    }
    ShowDocument();
}

void TTessaneForm::mmAuthorClick() {
    QString name = QString::fromUtf8(settings_.ReadString(kAuthorNameSetting));
    if (!ModalUi().InputText(this, MessageText(MsgAuthorCaption), MessageText(MsgAuthorPrompt), name,
                             kAuthorMaxLength))
        return;
    settings_.WriteString(kAuthorNameSetting, name.left(kAuthorMaxLength).toStdString());
}

void TTessaneForm::mmAboutPluginClick() {
    try {
        TPlugInForm form(host_, this);
        form.exec();
    } catch (const std::bad_alloc&) {
        MessageBoxRes(MsgMemoryError, MsgCaptionWarning, MbWarning, this);
    }
}

void TTessaneForm::mmAboutClick() {
    MessageBoxStr(QString::fromUtf8(kAboutText), MsgCaptionInformation, MbInformation, this);
}
