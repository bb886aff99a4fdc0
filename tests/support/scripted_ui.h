// A UI handler for tests: records every message box and dialog shown through
// the platform layer and answers them from a script.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "tessane/platform.h"

namespace tsntest {

struct MessageBoxRecord {
    void* owner;
    std::string text;
    std::string caption;
    unsigned style;
};

struct DialogRecord {
    void* owner;
    std::string caption;
    std::vector<int> itemIds;            // every control id of the template, in template order
    std::map<int, bool> checkedAfterInit; // check boxes only, read right after WM_INITDIALOG
    intptr_t result;                      // what DialogBoxIndirectParamA returns
};

struct DialogAction {
    enum Kind { Check, Uncheck, Press } kind;
    int id;
};

// Installs itself as the process UI handler for its lifetime (restoring the
// previous one after). Not copyable: the platform holds its address.
class ScriptedUi {
public:
    ScriptedUi();
    ~ScriptedUi();
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // Answers for the coming message boxes, in order; IDOK once the queue is empty.
    void AnswerMessageBoxes(std::vector<int> answers);
    // Actions for the next dialog, run after WM_INITDIALOG; each call scripts
    // one more dialog. A dialog with no script presses IDCANCEL. A Check or
    // Uncheck sets the box and then sends its command, like a click on an
    // automatic check box; the script stops as soon as the dialog has ended.
    void ScriptNextDialog(std::vector<DialogAction> actions);

    const std::vector<MessageBoxRecord>& MessageBoxes() const;
    const std::vector<DialogRecord>& Dialogs() const;

private:
    static int32_t OnMessageBox(void* context, HWND owner, const char* text, const char* caption, UINT style);
    static void OnRunDialog(void* context, HWND owner, const TSN_DLGTEMPLATE* dialogTemplate, HWND dialog);
    void RunDialog(HWND owner, const TSN_DLGTEMPLATE& dialogTemplate, HWND dialog);

    TSN_UI_HANDLER previous_{};
    std::deque<int> answers_;
    std::deque<std::vector<DialogAction>> scripts_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::vector<DialogRecord> dialogs_;
};

} // namespace tsntest
