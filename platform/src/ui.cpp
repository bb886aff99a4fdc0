// User-interface services. Placeholder until the handler machinery lands.
#include "tessane/platform.h"

#include <cstdio>

extern "C" {
int32_t MessageBoxA(HWND, const char* text, const char* caption, UINT) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return IDOK;
}
intptr_t DialogBoxIndirectParamA(HINSTANCE, const TSN_DLGTEMPLATE*, HWND, DLGPROC, intptr_t) { return IDCANCEL; }
BOOL EndDialog(HWND, intptr_t) { return FALSE; }
BOOL CheckDlgButton(HWND, int32_t, UINT) { return FALSE; }
UINT IsDlgButtonChecked(HWND, int32_t) { return BST_UNCHECKED; }
void TsnSetUiHandler(const TSN_UI_HANDLER*, TSN_UI_HANDLER*) {}
void TsnDialogInit(HWND) {}
void TsnDialogCommand(HWND, int32_t) {}
BOOL TsnDialogEnded(HWND, intptr_t*) { return FALSE; }
void TsnDialogSetWindow(HWND, void*) {}
void* TsnDialogWindow(HWND) { return nullptr; }
}
