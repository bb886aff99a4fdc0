// The settings dialog (resource 101): one check box for the GIF87a rewrite.
#pragma once

#include <cstdint>

#include "tessane/platform.h"

constexpr int32_t kRewrite87aCheckBox = 1000;

extern const TSN_DLGTEMPLATE kOptionDialog;

// WM_INITDIALOG shows the setting; OK saves the check box and ends with 1;
// Cancel ends with 2 without saving. Everything else is left unhandled.
intptr_t OptionDlgProc(HWND dialog, UINT message, uintptr_t wParam, intptr_t lParam);
