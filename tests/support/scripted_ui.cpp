#include "scripted_ui.h"

#include <utility>

namespace tsntest {

ScriptedUi::ScriptedUi() {
    TSN_UI_HANDLER handler{this, &ScriptedUi::OnMessageBox, &ScriptedUi::OnRunDialog};
    TsnSetUiHandler(&handler, &previous_);
}

ScriptedUi::~ScriptedUi() { TsnSetUiHandler(&previous_, nullptr); }

void ScriptedUi::AnswerMessageBoxes(std::vector<int> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

void ScriptedUi::ScriptNextDialog(std::vector<DialogAction> actions) { scripts_.push_back(std::move(actions)); }

const std::vector<MessageBoxRecord>& ScriptedUi::MessageBoxes() const { return messageBoxes_; }

const std::vector<DialogRecord>& ScriptedUi::Dialogs() const { return dialogs_; }

int32_t ScriptedUi::OnMessageBox(void* context, HWND owner, const char* text, const char* caption, UINT style) {
    auto* self = static_cast<ScriptedUi*>(context);
    self->messageBoxes_.push_back({owner, text ? text : "", caption ? caption : "", style});
    if (self->answers_.empty())
        return IDOK;
    int answer = self->answers_.front();
    self->answers_.pop_front();
    return answer;
}

void ScriptedUi::OnRunDialog(void* context, HWND owner, const TSN_DLGTEMPLATE* dialogTemplate, HWND dialog) {
    static_cast<ScriptedUi*>(context)->RunDialog(owner, *dialogTemplate, dialog);
}

namespace {

bool dialogEnded(HWND dialog) { return TsnDialogEnded(dialog, nullptr) != FALSE; }

void perform(HWND dialog, const DialogAction& action) {
    switch (action.kind) {
    case DialogAction::Check:
        CheckDlgButton(dialog, action.id, BST_CHECKED);
        break;
    case DialogAction::Uncheck:
        CheckDlgButton(dialog, action.id, BST_UNCHECKED);
        break;
    case DialogAction::Press:
        break;
    }
    TsnDialogCommand(dialog, action.id);
}

} // namespace

void ScriptedUi::RunDialog(HWND owner, const TSN_DLGTEMPLATE& dialogTemplate, HWND dialog) {
    // Recorded by index: the procedure may show boxes or dialogs of its own.
    const size_t index = dialogs_.size();
    dialogs_.push_back({owner, dialogTemplate.caption ? dialogTemplate.caption : "", {}, {}, IDCANCEL});
    for (int32_t i = 0; i < dialogTemplate.itemCount && dialogTemplate.items != nullptr; ++i)
        dialogs_[index].itemIds.push_back(dialogTemplate.items[i].id);

    TsnDialogInit(dialog);
    for (int32_t i = 0; i < dialogTemplate.itemCount && dialogTemplate.items != nullptr; ++i) {
        const TSN_DLGITEM& item = dialogTemplate.items[i];
        if (item.kind == TSN_DLG_CHECKBOX)
            dialogs_[index].checkedAfterInit[item.id] = IsDlgButtonChecked(dialog, item.id) == BST_CHECKED;
    }

    std::vector<DialogAction> script{{DialogAction::Press, IDCANCEL}};
    if (!scripts_.empty()) {
        script = std::move(scripts_.front());
        scripts_.pop_front();
    }
    for (const DialogAction& action : script) {
        if (dialogEnded(dialog))
            break;
        perform(dialog, action);
    }

    intptr_t result = IDCANCEL;
    if (TsnDialogEnded(dialog, &result) == FALSE)
        result = IDCANCEL; // the platform cancels a dialog left open
    dialogs_[index].result = result;
}

} // namespace tsntest
