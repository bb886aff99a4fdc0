// TPlugInForm: the plug-in information dialog. It lists the loaded plug-ins by
// their descriptions and opens the selected plug-in's about box or settings.
#pragma once

#include <QDialog>
#include <memory>

class CTessane;
class QShowEvent;

namespace Ui {
class PlugInForm;
}

class TPlugInForm : public QDialog {
    Q_OBJECT
public:
    explicit TPlugInForm(CTessane& host, QWidget* parent = nullptr);
    ~TPlugInForm() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void PluginListClick();
    void OptionButtonClick();
    // The plug-in index of the selected line; -1 with no selection.
    int SelectedIndex() const;
    void CentreOnScreen();

    CTessane& Host;
    std::unique_ptr<Ui::PlugInForm> ui;
    bool Centred = false;
};
