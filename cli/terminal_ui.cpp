#include "terminal_ui.h"

#include <cstdio>

#include "tessane/platform.h"

namespace tessane::cli {

namespace {

// A box is shown as "caption: text" on standard error. Nobody is there to
// answer: an OK box is acknowledged, and a Yes/No question gets the cautious No.
int32_t PrintMessageBox(void*, HWND, const char* text, const char* caption, UINT style) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    return (style & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}

// Returning without ending the dialog cancels it.
void CancelDialog(void*, HWND, const TSN_DLGTEMPLATE*, HWND) {}

} // namespace

void InstallTerminalUi() {
    TSN_UI_HANDLER handler{};
    handler.messageBox = PrintMessageBox;
    handler.runDialog = CancelDialog;
    TsnSetUiHandler(&handler, nullptr);
}

} // namespace tessane::cli
