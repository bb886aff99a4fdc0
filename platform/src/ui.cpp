// User-interface services. The platform draws nothing: message boxes and
// dialogs go to the one process-wide UI handler that a program installs.
//
// A dialog handle (HWND) given to a dialog procedure is the address of a
// DialogState that lives for the duration of DialogBoxIndirectParamA. Every
// call that takes a dialog handle looks it up among the live dialogs first,
// so a stale or foreign handle is refused instead of being dereferenced.
#include "tessane/platform.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <new>
#include <unordered_set>

namespace {

struct DialogState {
    const TSN_DLGTEMPLATE* dialogTemplate;
    DLGPROC procedure;
    intptr_t initParam;
    std::map<int32_t, UINT> checkStates;
    bool ended = false;
    intptr_t result = IDCANCEL;
    void* window = nullptr;
};

std::mutex& uiMutex() {
    static std::mutex m;
    return m;
}

TSN_UI_HANDLER& installedHandler() {
    static TSN_UI_HANDLER handler{};
    return handler;
}

std::unordered_set<DialogState*>& liveDialogs() {
    static std::unordered_set<DialogState*> dialogs;
    return dialogs;
}

TSN_UI_HANDLER currentHandler() {
    std::lock_guard lock(uiMutex());
    return installedHandler();
}

// The dialog behind handle, or null when handle is no dialog being shown.
DialogState* liveDialog(HWND handle) {
    std::lock_guard lock(uiMutex());
    auto* dialog = static_cast<DialogState*>(handle);
    return liveDialogs().count(dialog) != 0 ? dialog : nullptr;
}

bool registerDialog(DialogState* dialog) {
    try {
        std::lock_guard lock(uiMutex());
        liveDialogs().insert(dialog);
        return true;
    } catch (...) {
        return false;
    }
}

void unregisterDialog(DialogState* dialog) {
    std::lock_guard lock(uiMutex());
    liveDialogs().erase(dialog);
}

bool templateHasControl(const TSN_DLGTEMPLATE* dialogTemplate, int32_t id) {
    if (dialogTemplate->items == nullptr)
        return false;
    for (int32_t i = 0; i < dialogTemplate->itemCount; ++i) {
        if (dialogTemplate->items[i].id == id)
            return true;
    }
    return false;
}

void writeMessageToStderr(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}

// Runs the handler's dialog loop; nothing thrown by a handler goes further.
void runHandlerDialog(const TSN_UI_HANDLER& handler, HWND owner, DialogState* dialog) {
    try {
        handler.runDialog(handler.context, owner, dialog->dialogTemplate, dialog);
    } catch (...) {
        // The dialog counts as cancelled unless it had ended already.
    }
}

} // namespace

extern "C" {

void TsnSetUiHandler(const TSN_UI_HANDLER* handler, TSN_UI_HANDLER* previous) {
    std::lock_guard lock(uiMutex());
    if (previous != nullptr)
        *previous = installedHandler();
    installedHandler() = handler != nullptr ? *handler : TSN_UI_HANDLER{};
}

int32_t MessageBoxA(HWND owner, const char* text, const char* caption, UINT style) {
    TSN_UI_HANDLER handler = currentHandler();
    if (handler.messageBox == nullptr) {
        writeMessageToStderr(text, caption);
        return IDOK;
    }
    try {
        return handler.messageBox(handler.context, owner, text ? text : "", caption ? caption : "", style);
    } catch (...) {
        return IDCANCEL;
    }
}

intptr_t DialogBoxIndirectParamA(HINSTANCE, const TSN_DLGTEMPLATE* dialogTemplate, HWND owner, DLGPROC dialogProc,
                                 intptr_t initParam) {
    if (dialogTemplate == nullptr || dialogProc == nullptr || dialogTemplate->itemCount < 0)
        return -1;
    TSN_UI_HANDLER handler = currentHandler();
    if (handler.runDialog == nullptr)
        return IDCANCEL; // nobody to show it: the procedure is never called

    auto* dialog = new (std::nothrow) DialogState{dialogTemplate, dialogProc, initParam, {}};
    if (dialog == nullptr)
        return -1;
    if (!registerDialog(dialog)) {
        delete dialog;
        return -1;
    }
    runHandlerDialog(handler, owner, dialog);
    // A handler that gave up without the procedure ending the dialog cancels it.
    intptr_t result = dialog->ended ? dialog->result : IDCANCEL;
    unregisterDialog(dialog);
    delete dialog;
    return result;
}

BOOL EndDialog(HWND handle, intptr_t result) {
    DialogState* dialog = liveDialog(handle);
    if (dialog == nullptr)
        return FALSE;
    dialog->ended = true;
    dialog->result = result;
    return TRUE;
}

BOOL CheckDlgButton(HWND handle, int32_t id, UINT check) {
    DialogState* dialog = liveDialog(handle);
    if (dialog == nullptr || !templateHasControl(dialog->dialogTemplate, id))
        return FALSE;
    try {
        dialog->checkStates[id] = check;
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

UINT IsDlgButtonChecked(HWND handle, int32_t id) {
    DialogState* dialog = liveDialog(handle);
    if (dialog == nullptr)
        return BST_UNCHECKED;
    auto state = dialog->checkStates.find(id);
    return state != dialog->checkStates.end() ? state->second : BST_UNCHECKED;
}

void TsnDialogInit(HWND handle) {
    DialogState* dialog = liveDialog(handle);
    if (dialog == nullptr || dialog->ended)
        return;
    dialog->procedure(handle, WM_INITDIALOG, 0, dialog->initParam);
}

void TsnDialogCommand(HWND handle, int32_t id) {
    DialogState* dialog = liveDialog(handle);
    if (dialog == nullptr || dialog->ended)
        return;
    dialog->procedure(handle, WM_COMMAND, static_cast<uintptr_t>(static_cast<uint32_t>(id)), 0);
}

BOOL TsnDialogEnded(HWND handle, intptr_t* result) {
    DialogState* dialog = liveDialog(handle);
    if (dialog == nullptr) {
        // No such dialog (any more): report an end so that a handler's loop stops.
        if (result != nullptr)
            *result = IDCANCEL;
        return TRUE;
    }
    if (dialog->ended && result != nullptr)
        *result = dialog->result;
    return dialog->ended ? TRUE : FALSE;
}

void TsnDialogSetWindow(HWND handle, void* window) {
    if (DialogState* dialog = liveDialog(handle))
        dialog->window = window;
}

void* TsnDialogWindow(HWND handle) {
    DialogState* dialog = liveDialog(handle);
    return dialog != nullptr ? dialog->window : nullptr;
}

} // extern "C"
