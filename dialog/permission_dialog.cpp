#include "dialog/permission_dialog.h"

#include "app/app_state.h"
#include "app/target_check.h"
#include "app/warning_box.h"
#include "dialog/apply_input.h"
#include "dialog/busy_state.h"
#include "dialog/user_field.h"
#include "dialog/window_title.h"
#include "permissions/apply_permissions.h"
#include "permissions/run_hidden.h"
#include "resources/resource.h"

namespace {

const int kRightBoxes[] = {IDC_FULL, IDC_READ, IDC_WRITE, IDC_CHANGE};

// A file is never walked as a tree: the box is left unticked and cannot be
// ticked. The applier asks again at every Apply, whatever the box says.
void OfferSubdirectoriesOnlyForFolders(HWND dialog)
{
    if (IsExistingFile(g_app.targetPath))
        EnableWindow(GetDlgItem(dialog, IDC_SUBDIRS), FALSE);
}

BOOL OnInitDialog(HWND dialog)
{
    ReadCurrentUserName();
    SendDlgItemMessageA(dialog, IDC_USER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_app.userName));
    FillUserList(dialog);
    for (int box : kRightBoxes)
        SendDlgItemMessageA(dialog, box, BM_SETCHECK, BST_CHECKED, 0);

    const char* refusal = ResolveCheckedTarget();
    if (refusal != nullptr) {
        // Ended before it is ever shown: nothing has run, and nothing will.
        ShowWarning(nullptr, nullptr, refusal);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    OfferSubdirectoriesOnlyForFolders(dialog);
    ComposeWindowTitle(g_app.title, sizeof g_app.title, g_app.targetPath);
    SendMessageA(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_app.title));
    return TRUE;  // focus goes to the first control that takes it
}

// Every way into the user field (typing, the IME, pasting, another program
// setting its text) ends in the one check made here, before anything runs.
void OnApply(HWND dialog)
{
    bool nameIsExact = false;
    size_t typedLength = ReadUserField(dialog, &nameIsExact);
    ApplyInputProblem problem = CheckApplyInput(typedLength, g_app.userName, nameIsExact,
                                                g_app.targetPath, g_app.ansiLeadBytes);
    if (problem != APPLY_INPUT_OK) {
        ShowWarning(dialog, nullptr, DescribeApplyInputProblem(problem));
        return;
    }
    EnterApplyRun(dialog);
    ApplyPermissions(dialog, g_app.targetPath, ShowStepProgress);
}

BOOL OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        // Busy for the whole command, warning boxes included: an Apply never
        // starts inside another, whatever is posted meanwhile.
        if (!IsDialogBusy()) {
            EnterBusyState(dialog);
            OnApply(dialog);
            LeaveBusyState(dialog);
        }
        return TRUE;
    case IDCANCEL:
        if (!IsDialogBusy())
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// Without this the arrow comes back whenever the mouse moves while a step runs.
BOOL OnSetCursor(HWND dialog)
{
    if (!IsDialogBusy())
        return FALSE;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK PermissionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_SETCURSOR:
        return OnSetCursor(dialog);
    case WM_TIMER:
        OnProgressDelayElapsed(dialog);
        return TRUE;
    case WM_QUERYENDSESSION:
        return AnswerQueryEndSession(dialog);
    case WM_CLOSE:
        // Left to the dialog manager, it would post an IDCANCEL that could
        // arrive only after the Apply and end the dialog then.
        return IsDialogBusy();
    }
    // Keys sent to the dialog itself, by another program, while busy.
    return IsDialogBusy() && message >= WM_KEYFIRST && message <= kLastKeyMessage;
}
