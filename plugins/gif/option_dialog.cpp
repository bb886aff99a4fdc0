#include "option_dialog.h"

#include <string>

#include "gif_settings.h"

namespace {
const TSN_DLGITEM kOptionDialogItems[] = {
    {kRewrite87aCheckBox, TSN_DLG_CHECKBOX, "GIF87aヘッダをGIF89aに書き換える", 10, 7, 121, 10},
    {-1, TSN_DLG_STATIC, "このチェックを外すと、GIF87aファイルの場合にコメントを保存出来なくなります。", 10,
     26, 150, 22},
    {IDOK, TSN_DLG_DEFPUSHBUTTON, "OK", 20, 54, 50, 14},
    {IDCANCEL, TSN_DLG_PUSHBUTTON, "ｷｬﾝｾﾙ", 100, 54, 50, 14},
};

// A setting the user confirmed but that did not reach the file is not dropped
// silently: the user is told, and the dialog still closes.
void SaveSettingOrWarn(HWND dialog, bool allowRewrite) {
    if (Save87aSetting(allowRewrite))
        return;
    std::string text = "設定を保存出来ませんでした。\n" + SettingsFilePath();
    MessageBoxA(dialog, text.c_str(), "警告", MB_OK | MB_ICONEXCLAMATION);
}

// Windows passes the control id in the low word of wParam.
int32_t CommandId(uintptr_t wParam) {
    return static_cast<int32_t>(wParam & 0xFFFFu);
}
} // namespace

const TSN_DLGTEMPLATE kOptionDialog = {
    "GIF Option",       170, 75,
    "ＭＳ Ｐゴシック",  9,   static_cast<int32_t>(sizeof kOptionDialogItems / sizeof kOptionDialogItems[0]),
    kOptionDialogItems,
};

intptr_t OptionDlgProc(HWND dialog, UINT message, uintptr_t wParam, intptr_t /*lParam*/) {
    if (message == WM_INITDIALOG) {
        if (Load87aSetting())
            CheckDlgButton(dialog, kRewrite87aCheckBox, BST_CHECKED);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (CommandId(wParam)) {
    case IDOK:
        SaveSettingOrWarn(dialog, IsDlgButtonChecked(dialog, kRewrite87aCheckBox) == BST_CHECKED);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}
