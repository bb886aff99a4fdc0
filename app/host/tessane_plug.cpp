#include "tessane_plug.h"

#include <QFont>
#include <QScreen>
#include <QStringList>

#include "Mbox_res.h"
#include "comment_codec.h"
#include "cpi.h"
#include "tessane_data.h"
#include "ui_tessane_plug.h"

namespace {

// The dialog's font: its own family first, then Japanese fonts found on Linux.
QFont PlugInFormFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(12);
    return font;
}

// A description is 8-bit text, decoded as the window decodes comments.
QString DecodeDescription(const std::string& bytes) {
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return tessane::DecodeComment(raw, tessane::EncodingChoice::Automatic).text;
}

} // namespace

TPlugInForm::TPlugInForm(CTessane& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), Host(host), ui(new Ui::PlugInForm) {
    ui->setupUi(this);
    setFont(PlugInFormFont());
    setFixedSize(342, 123);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->PluginList, &QListWidget::itemSelectionChanged, this, &TPlugInForm::PluginListClick);
    connect(ui->OptionButton, &QPushButton::clicked, this, &TPlugInForm::OptionButtonClick);
    connect(ui->AboutButton, &QPushButton::clicked, this, &TPlugInForm::OptionButtonClick);
    FormCreate();
}

TPlugInForm::~TPlugInForm() = default;

void TPlugInForm::FormCreate() {
    const int32_t count = Host.PluginCount();
    for (int32_t index = 0; index < count; ++index) {
        const QString description = DecodeDescription(Host.PluginDescription(index));
        auto* item = new QListWidgetItem(description, ui->PluginList);
        item->setToolTip(description); // a long description is cut off by the list's width
    }
}

// Follows every change of the selection, by mouse or keyboard.
void TPlugInForm::PluginListClick() {
    const int32_t flags = Host.PluginFlags(SelectedIndex());
    ui->AboutButton->setEnabled((flags & CPI_FLAG_ABOUT) != 0);
    ui->OptionButton->setEnabled((flags & CPI_FLAG_SETTINGS) != 0);
}

// Shared by both buttons: the button's tag is the configuration function.
void TPlugInForm::OptionButtonClick() {
    const QObject* button = sender();
    if (!button)
        return;
    const int32_t function = button->property("tag").toInt();
    const int32_t index = SelectedIndex();
    if (!Host.ConfigurePlugin(static_cast<QWidget*>(this), index, function))
        MessageBoxRes(45, 6, MbWarning, this);
}

int TPlugInForm::SelectedIndex() const {
    const QModelIndexList selected = ui->PluginList->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TPlugInForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!Centred) {
        Centred = true;
        CentreOnScreen();
    }
}

void TPlugInForm::CentreOnScreen() {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
