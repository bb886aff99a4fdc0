// The UI services: the default behaviour with no handler, the dialog
// machinery driven through the scripted handler, and refused handles.
#include "scripted_ui.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tsntest::DialogAction;
using tsntest::ScriptedUi;

constexpr int32_t kOptionBox = 1001;
constexpr int32_t kSecondBox = 1002;

const TSN_DLGITEM kItems[] = {
    {-1, TSN_DLG_STATIC, "Options", 7, 7, 100, 8},
    {kOptionBox, TSN_DLG_CHECKBOX, "Option", 7, 20, 100, 10},
    {kSecondBox, TSN_DLG_CHECKBOX, "Second", 7, 32, 100, 10},
    {IDOK, TSN_DLG_DEFPUSHBUTTON, "OK", 7, 50, 50, 14},
    {IDCANCEL, TSN_DLG_PUSHBUTTON, "Cancel", 60, 50, 50, 14},
};
const TSN_DLGTEMPLATE kTemplate = {"Settings", 120, 70, "Sans", 9, 5, kItems};

// What the test procedure saw and does: the box starts as *state says, OK
// stores the box's state back and ends with IDOK, Cancel ends with IDCANCEL.
struct ProcState {
    bool option = false;
    int initCalls = 0;
    intptr_t initParam = 0;
    bool endOnInit = false;
    bool ignoreCancel = false;
    int messageBoxAnswer = 0;
};

intptr_t testProc(HWND dialog, UINT message, uintptr_t wParam, intptr_t lParam) {
    static ProcState* state = nullptr;
    if (message == WM_INITDIALOG) {
        state = reinterpret_cast<ProcState*>(lParam);
        ++state->initCalls;
        state->initParam = lParam;
        CheckDlgButton(dialog, kOptionBox, state->option ? BST_CHECKED : BST_UNCHECKED);
        if (state->endOnInit)
            EndDialog(dialog, 42);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (wParam) {
    case IDOK:
        state->option = IsDlgButtonChecked(dialog, kOptionBox) == BST_CHECKED;
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        if (!state->ignoreCancel)
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    case kSecondBox: // asks a question owned by the dialog
        state->messageBoxAnswer = MessageBoxA(dialog, "Sure?", "Question", MB_YESNO);
        return TRUE;
    default:
        return FALSE;
    }
}

intptr_t showDialog(ProcState& state) {
    return DialogBoxIndirectParamA(nullptr, &kTemplate, nullptr, testProc, reinterpret_cast<intptr_t>(&state));
}

TEST(UiWithoutHandler, MessageBoxWritesCaptionAndTextToStderrAndAnswersOk) {
    testing::internal::CaptureStderr();
    int32_t answer = MessageBoxA(nullptr, "The file is damaged.", "Tessane", MB_OKCANCEL);
    std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDOK);
    EXPECT_NE(written.find("Tessane"), std::string::npos);
    EXPECT_NE(written.find("The file is damaged."), std::string::npos);
}

TEST(UiWithoutHandler, DialogIsCancelledWithoutCallingTheProcedure) {
    ProcState state;
    EXPECT_EQ(showDialog(state), IDCANCEL);
    EXPECT_EQ(state.initCalls, 0);
}

TEST(UiHandler, NullTemplateOrProcedureFails) {
    ScriptedUi ui;
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, nullptr, nullptr, testProc, 0), -1);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kTemplate, nullptr, nullptr, 0), -1);
    EXPECT_TRUE(ui.Dialogs().empty());
}

TEST(UiHandler, ScriptedHandlerIsRemovedWithItsScope) {
    {
        ScriptedUi ui;
        MessageBoxA(nullptr, "inside", "A", MB_OK);
        EXPECT_EQ(ui.MessageBoxes().size(), 1u);
    }
    TSN_UI_HANDLER current{};
    TsnSetUiHandler(nullptr, &current);
    EXPECT_EQ(current.messageBox, nullptr);
    EXPECT_EQ(current.runDialog, nullptr);
}

TEST(ScriptedUiTest, RecordsMessageBoxesAndAnswersInOrderThenOk) {
    ScriptedUi ui;
    int owner = 0;
    ui.AnswerMessageBoxes({IDYES, IDNO});
    EXPECT_EQ(MessageBoxA(&owner, "one", "First", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "two", "Second", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "three", "Third", MB_OK), IDOK);
    ASSERT_EQ(ui.MessageBoxes().size(), 3u);
    EXPECT_EQ(ui.MessageBoxes()[0].owner, &owner);
    EXPECT_EQ(ui.MessageBoxes()[0].text, "one");
    EXPECT_EQ(ui.MessageBoxes()[0].caption, "First");
    EXPECT_EQ(ui.MessageBoxes()[0].style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(ui.MessageBoxes()[2].caption, "Third");
}

TEST(ScriptedUiTest, UnscriptedDialogIsCancelledAfterInit) {
    ScriptedUi ui;
    ProcState state;
    state.option = true;
    EXPECT_EQ(showDialog(state), IDCANCEL);
    EXPECT_EQ(state.initCalls, 1);
    EXPECT_EQ(state.initParam, reinterpret_cast<intptr_t>(&state));
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    const tsntest::DialogRecord& record = ui.Dialogs()[0];
    EXPECT_EQ(record.caption, "Settings");
    EXPECT_EQ(record.itemIds, (std::vector<int>{-1, kOptionBox, kSecondBox, IDOK, IDCANCEL}));
    EXPECT_EQ(record.checkedAfterInit, (std::map<int, bool>{{kOptionBox, true}, {kSecondBox, false}}));
    EXPECT_EQ(record.result, IDCANCEL);
}

TEST(ScriptedUiTest, CheckThenOkReachesTheProcedureAndReturnsItsResult) {
    ScriptedUi ui;
    ProcState state;
    ui.ScriptNextDialog({{DialogAction::Check, kOptionBox}, {DialogAction::Press, IDOK}});
    EXPECT_EQ(showDialog(state), IDOK);
    EXPECT_TRUE(state.option);
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    EXPECT_EQ(ui.Dialogs()[0].result, IDOK);

    ui.ScriptNextDialog({{DialogAction::Uncheck, kOptionBox}, {DialogAction::Press, IDOK}});
    EXPECT_EQ(showDialog(state), IDOK);
    EXPECT_FALSE(state.option);
}

TEST(ScriptedUiTest, ScriptStopsOnceTheDialogHasEnded) {
    ScriptedUi ui;
    ProcState state;
    ui.ScriptNextDialog({{DialogAction::Press, IDCANCEL}, {DialogAction::Check, kOptionBox}, {DialogAction::Press, IDOK}});
    EXPECT_EQ(showDialog(state), IDCANCEL);
    EXPECT_FALSE(state.option);
}

TEST(ScriptedUiTest, EndDialogDuringInitSkipsTheScript) {
    ScriptedUi ui;
    ProcState state;
    state.endOnInit = true;
    ui.ScriptNextDialog({{DialogAction::Check, kOptionBox}, {DialogAction::Press, IDOK}});
    EXPECT_EQ(showDialog(state), 42);
    EXPECT_FALSE(state.option);
}

TEST(ScriptedUiTest, DialogLeftOpenByTheHandlerIsCancelled) {
    ScriptedUi ui;
    ProcState state;
    state.ignoreCancel = true;
    EXPECT_EQ(showDialog(state), IDCANCEL);
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    EXPECT_EQ(ui.Dialogs()[0].result, IDCANCEL);
}

TEST(ScriptedUiTest, MessageBoxFromInsideADialogIsOwnedByTheDialog) {
    ScriptedUi ui;
    ProcState state;
    ui.AnswerMessageBoxes({IDNO});
    ui.ScriptNextDialog({{DialogAction::Check, kSecondBox}, {DialogAction::Press, IDOK}});
    EXPECT_EQ(showDialog(state), IDOK);
    EXPECT_EQ(state.messageBoxAnswer, IDNO);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    EXPECT_NE(ui.MessageBoxes()[0].owner, nullptr);
    EXPECT_EQ(ui.MessageBoxes()[0].caption, "Question");
}

// A handler that keeps the dialog handle so the test can use it afterwards.
struct HandleKeeper {
    HWND dialog = nullptr;
    void* windowSeen = nullptr;
    BOOL checkUnknownControl = TRUE;
};

void keepHandleAndEnd(void* context, HWND, const TSN_DLGTEMPLATE*, HWND dialog) {
    auto* keeper = static_cast<HandleKeeper*>(context);
    keeper->dialog = dialog;
    int window = 0;
    TsnDialogSetWindow(dialog, &window);
    keeper->windowSeen = TsnDialogWindow(dialog) == &window ? dialog : nullptr;
    keeper->checkUnknownControl = CheckDlgButton(dialog, 4711, BST_CHECKED);
    EndDialog(dialog, 7);
}

intptr_t idleProc(HWND, UINT, uintptr_t, intptr_t) { return FALSE; }

TEST(UiHandler, DialogHandleIsRefusedOnceTheDialogIsGone) {
    HandleKeeper keeper;
    TSN_UI_HANDLER handler{&keeper, nullptr, keepHandleAndEnd};
    TSN_UI_HANDLER previous{};
    TsnSetUiHandler(&handler, &previous);
    intptr_t result = DialogBoxIndirectParamA(nullptr, &kTemplate, nullptr, idleProc, 0);
    TsnSetUiHandler(&previous, nullptr);

    EXPECT_EQ(result, 7);
    EXPECT_EQ(keeper.windowSeen, keeper.dialog);
    EXPECT_EQ(keeper.checkUnknownControl, FALSE);
    EXPECT_EQ(EndDialog(keeper.dialog, IDOK), FALSE);
    EXPECT_EQ(CheckDlgButton(keeper.dialog, kOptionBox, BST_CHECKED), FALSE);
    EXPECT_EQ(IsDlgButtonChecked(keeper.dialog, kOptionBox), BST_UNCHECKED);
    EXPECT_EQ(TsnDialogWindow(keeper.dialog), nullptr);
    intptr_t ended = 0;
    EXPECT_EQ(TsnDialogEnded(keeper.dialog, &ended), TRUE);
    EXPECT_EQ(ended, IDCANCEL);
    int notADialog = 0;
    EXPECT_EQ(EndDialog(&notADialog, IDOK), FALSE);
    EXPECT_EQ(EndDialog(nullptr, IDOK), FALSE);
}

} // namespace
