// A scripted stand-in for the editor's modal dialogs: records every message
// box and answers IDOK. Installed for its lifetime.
#pragma once

#include <QString>
#include <vector>

#include "modal_ui.h"
#include "tessane/platform.h"

struct TRecordedBox {
    QWidget* Owner;
    QString Text;
    QString Caption;
    unsigned Style;
};

class CScriptedModalUi final : public IModalUi {
public:
    CScriptedModalUi() { SetModalUi(this); }
    ~CScriptedModalUi() override { SetModalUi(nullptr); }
    CScriptedModalUi(const CScriptedModalUi&) = delete;
    CScriptedModalUi& operator=(const CScriptedModalUi&) = delete;

    int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned style) override {
        Boxes.push_back({owner, text, caption, style});
        return IDOK;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    bool InputText(QWidget*, const QString&, const QString&, QString&, int) override { return false; }

    std::vector<TRecordedBox> Boxes;
};
